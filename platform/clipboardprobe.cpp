// The clipboard probe: the owner's TARGETS asked over a private XCB
// connection, with poll() bounding the wait.

#include "platform/clipboardprobe.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QTimer>

#include <xcb/xcb.h>

#include <poll.h>

#include <condition_variable>
#include <cstring>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Closes the connection and frees replies on every way out.
struct TConnection
{
    xcb_connection_t* c;
    ~TConnection() { xcb_disconnect(c); }
};

template <typename T>
struct TReply
{
    T* p;
    ~TReply() { std::free(p); }
};

xcb_atom_t InternAtom(xcb_connection_t* c, const char* name)
{
    TReply<xcb_intern_atom_reply_t> reply{
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr)};
    return reply.p ? reply.p->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t RootOf(xcb_connection_t* c, int screenNumber)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; it.rem && i < screenNumber; ++i)
        xcb_screen_next(&it);
    return it.rem ? it.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

// Waits for the SelectionNotify of window; false when the time ran out or
// the connection broke. *property gets the property named in it.
bool WaitForNotify(xcb_connection_t* c, xcb_window_t window, const QDeadlineTimer& deadline,
                   xcb_atom_t* property)
{
    const int fd = xcb_get_file_descriptor(c);
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            const bool notify = (event->response_type & 0x7F) == XCB_SELECTION_NOTIFY &&
                                reinterpret_cast<xcb_selection_notify_event_t*>(event)->requestor == window;
            if (notify)
                *property = reinterpret_cast<xcb_selection_notify_event_t*>(event)->property;
            std::free(event);
            if (notify)
                return true;
        }
        if (xcb_connection_has_error(c))
            return false;
        const qint64 remaining = deadline.remainingTime();
        if (remaining == 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, int(remaining));
    }
}

// The names of the atoms in the TARGETS answer stored in property.
QStringList TargetTypes(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property)
{
    QStringList types;
    TReply<xcb_get_property_reply_t> value{
        xcb_get_property_reply(c, xcb_get_property(c, 1, window, property, XCB_ATOM_ANY, 0, 4096), nullptr)};
    if (!value.p || value.p->format != 32)
        return types;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(value.p));
    const int count = xcb_get_property_value_length(value.p) / 4;
    std::vector<xcb_get_atom_name_cookie_t> cookies;
    for (int i = 0; i < count; ++i)
        cookies.push_back(xcb_get_atom_name(c, atoms[i]));
    for (const xcb_get_atom_name_cookie_t& cookie : cookies) {
        TReply<xcb_get_atom_name_reply_t> name{xcb_get_atom_name_reply(c, cookie, nullptr)};
        if (!name.p)
            continue;
        const QString type = MimeTypeOfTarget(
            QByteArray(xcb_get_atom_name_name(name.p), xcb_get_atom_name_name_length(name.p)));
        if (!types.contains(type))
            types.append(type);
    }
    return types;
}

} // namespace

bool ClipboardProbeAvailable()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

QString MimeTypeOfTarget(const QByteArray& targetName)
{
    if (targetName == "STRING" || targetName == "UTF8_STRING" || targetName == "TEXT")
        return QStringLiteral("text/plain");
    if (targetName == "PIXMAP")
        return QStringLiteral("image/ppm");
    if (targetName == "text/x-moz-url")
        return QStringLiteral("text/uri-list");
    return QString::fromLatin1(targetName);
}

TClipboardOffer QueryClipboardOffer(const QByteArray& display, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    TClipboardOffer offer;
    int screenNumber = 0;
    TConnection connection{xcb_connect(display.isEmpty() ? nullptr : display.constData(), &screenNumber)};
    xcb_connection_t* c = connection.c;
    if (xcb_connection_has_error(c))
        return offer;
    const xcb_atom_t clipboard = InternAtom(c, "CLIPBOARD");
    const xcb_atom_t targets = InternAtom(c, "TARGETS");
    const xcb_atom_t property = InternAtom(c, "EDITBOOT_CLIPBOARD_PROBE");
    const xcb_window_t root = RootOf(c, screenNumber);
    if (clipboard == XCB_ATOM_NONE || targets == XCB_ATOM_NONE || property == XCB_ATOM_NONE || !root)
        return offer;
    TReply<xcb_get_selection_owner_reply_t> owner{
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr)};
    if (!owner.p)
        return offer;
    if (owner.p->owner == XCB_WINDOW_NONE) {
        offer.State = TClipboardOffer::osNoOwner;
        return offer;
    }
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_convert_selection(c, window, clipboard, targets, property, XCB_CURRENT_TIME);
    xcb_flush(c);
    xcb_atom_t answered = XCB_ATOM_NONE;
    if (!WaitForNotify(c, window, deadline, &answered)) {
        offer.State = xcb_connection_has_error(c) ? TClipboardOffer::osUnknown : TClipboardOffer::osSilent;
        return offer;
    }
    offer.State = TClipboardOffer::osAnswered;
    // An owner that refuses TARGETS answers with no property: it offers nothing.
    if (answered != XCB_ATOM_NONE)
        offer.MimeTypes = TargetTypes(c, window, answered);
    return offer;
}

// ---- the worker ---------------------------------------------------------------------------

struct TClipboardProbe::TSlot
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    TClipboardOffer offer;

    static std::shared_ptr<TSlot> Launch(int timeoutMs)
    {
        auto slot = std::make_shared<TSlot>();
        const QByteArray display = qgetenv("DISPLAY");
        std::thread([slot, display, timeoutMs] {
            TClipboardOffer offer = QueryClipboardOffer(display, timeoutMs);
            const std::lock_guard<std::mutex> lock(slot->mutex);
            slot->offer = std::move(offer);
            slot->finished = true;
            slot->done.notify_all();
        }).detach();
        return slot;
    }
};

TClipboardProbe::TClipboardProbe(QObject* parent) : QObject(parent), m_timer(new QTimer(this))
{
    m_timer->setInterval(15);
    connect(m_timer, &QTimer::timeout, this, &TClipboardProbe::Poll);
}

TClipboardProbe::~TClipboardProbe() = default;

void TClipboardProbe::Start(int timeoutMs)
{
    m_slot = TSlot::Launch(timeoutMs);
    m_timer->start();
}

bool TClipboardProbe::Running() const
{
    return m_slot != nullptr;
}

void TClipboardProbe::Poll()
{
    if (!m_slot)
        return;
    TClipboardOffer offer;
    {
        const std::lock_guard<std::mutex> lock(m_slot->mutex);
        if (!m_slot->finished)
            return;
        offer = m_slot->offer;
    }
    m_slot.reset();
    m_timer->stop();
    emit Finished(offer);
}

TClipboardOffer TClipboardProbe::AskNow(int timeoutMs)
{
    std::shared_ptr<TSlot> slot = TSlot::Launch(timeoutMs);
    std::unique_lock<std::mutex> lock(slot->mutex);
    // The query bounds its own wait; the margin covers connecting.
    if (!slot->done.wait_for(lock, std::chrono::milliseconds(timeoutMs + 500), [&] { return slot->finished; })) {
        TClipboardOffer silent;
        silent.State = TClipboardOffer::osSilent;
        return silent;
    }
    return slot->offer;
}
