// The clipboard probe against a real X server (a private Xvfb): an owner that
// never answers is reported silent instead of blocking, an answering owner
// gives its types, and no owner is told apart.

#include "platform/clipboardprobe.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// An X server of the test's own, on a free display number.
class TPrivateXServer
{
public:
    TPrivateXServer()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            return;
        // -noreset: the server must not restart when its last client leaves.
        m_server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                              QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                              QStringLiteral("0"), QStringLiteral("320x200x24")});
        QByteArray number;
        while (!number.contains('\n') && m_server.waitForReadyRead(10000))
            number += m_server.readAllStandardOutput();
        if (number.trimmed().isEmpty())
            return;
        m_display = ":" + number.trimmed();
    }
    ~TPrivateXServer()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }
    QByteArray Display() const { return m_display; }

private:
    QProcess m_server;
    QByteArray m_display;
};

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// A program that takes the clipboard and then never looks at its requests.
class TDeafOwner
{
public:
    explicit TDeafOwner(const QByteArray& display) : m_c(xcb_connect(display.constData(), nullptr))
    {
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        const xcb_window_t window = xcb_generate_id(m_c);
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_set_selection_owner(m_c, window, Atom(m_c, "CLIPBOARD"), XCB_CURRENT_TIME);
        xcb_get_selection_owner_reply_t* owner =
            xcb_get_selection_owner_reply(m_c, xcb_get_selection_owner(m_c, Atom(m_c, "CLIPBOARD")), nullptr);
        m_owns = owner && owner->owner == window;
        std::free(owner);
    }
    ~TDeafOwner() { xcb_disconnect(m_c); }
    bool Owns() const { return m_owns; }

private:
    xcb_connection_t* m_c;
    bool m_owns = false;
};

} // namespace

TEST(ClipboardProbe, SilentAnsweringAndMissingOwnersAreToldApart)
{
    TPrivateXServer server;
    if (server.Display().isEmpty())
        GTEST_SKIP() << "Xvfb (scripts/deps.sh) is not installed";
    const QByteArray display = server.Display();

    EXPECT_EQ(QueryClipboardOffer(display, 500).State, TClipboardOffer::osNoOwner);
    {
        TDeafOwner deaf(display);
        ASSERT_TRUE(deaf.Owns());
        const TClipboardOffer offer = QueryClipboardOffer(display, 300);
        EXPECT_EQ(offer.State, TClipboardOffer::osSilent);
        EXPECT_TRUE(offer.MimeTypes.isEmpty());

        // The same through the worker, as the window runs it.
        const QByteArray savedDisplay = qgetenv("DISPLAY");
        qputenv("DISPLAY", display);
        TClipboardProbe probe;
        QSignalSpy finished(&probe, &TClipboardProbe::Finished);
        probe.Start(300);
        EXPECT_TRUE(probe.Running());
        ASSERT_TRUE(finished.wait(5000));
        EXPECT_EQ(finished.at(0).at(0).value<TClipboardOffer>().State, TClipboardOffer::osSilent);
        EXPECT_FALSE(probe.Running());
        EXPECT_EQ(TClipboardProbe::AskNow(300).State, TClipboardOffer::osSilent);
        qputenv("DISPLAY", savedDisplay);
    }
    EXPECT_EQ(QueryClipboardOffer(display, 500).State, TClipboardOffer::osNoOwner)
        << "the owner's connection is gone";

    const QString xclip = QStandardPaths::findExecutable(QStringLiteral("xclip"));
    if (xclip.isEmpty())
        GTEST_SKIP() << "xclip (scripts/deps.sh) is not installed";
    QProcess owner;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    owner.setProcessEnvironment(env);
    owner.start(xclip, {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-i"),
                        QStringLiteral("-quiet")});
    owner.write("hello");
    owner.closeWriteChannel();
    TClipboardOffer offer;
    for (int attempt = 0; attempt < 50 && offer.State != TClipboardOffer::osAnswered; ++attempt) {
        offer = QueryClipboardOffer(display, 1000);
        if (offer.State != TClipboardOffer::osAnswered)
            owner.waitForReadyRead(100);
    }
    EXPECT_EQ(offer.State, TClipboardOffer::osAnswered);
    EXPECT_TRUE(offer.MimeTypes.contains(QStringLiteral("text/plain"))) << offer.MimeTypes.join(' ').toStdString();
    owner.kill();
    owner.waitForFinished(5000);
}

TEST(ClipboardProbe, TargetsAreNamedAsQtNamesThem)
{
    EXPECT_EQ(MimeTypeOfTarget("UTF8_STRING"), QStringLiteral("text/plain"));
    EXPECT_EQ(MimeTypeOfTarget("STRING"), QStringLiteral("text/plain"));
    EXPECT_EQ(MimeTypeOfTarget("text/x-moz-url"), QStringLiteral("text/uri-list"));
    EXPECT_EQ(MimeTypeOfTarget("image/png"), QStringLiteral("image/png"));
    EXPECT_EQ(MimeTypeOfTarget("application/x-qt-windows-mime;value=\"FileContents\""),
              QStringLiteral("application/x-qt-windows-mime;value=\"FileContents\""));
}
