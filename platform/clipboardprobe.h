#pragma once
// What the system clipboard offers, and whether the program that owns it
// answers at all, found without Qt's clipboard. On X11 Qt's clipboard waits
// for the owner on the calling thread, several seconds for every question
// when the owner never answers; the probe asks the owner only for its list of
// types (TARGETS), over an X connection of its own, with a time limit, and
// can do so in a worker thread.

#include <QObject>
#include <QStringList>

#include <memory>

class QTimer;

struct TClipboardOffer
{
    enum TState
    {
        osUnknown,  // not asked, or the display cannot be reached
        osAnswered, // the owner sent its list of types
        osNoOwner,  // nobody owns the clipboard
        osSilent,   // the owner did not answer in time
    };
    TState State = osUnknown;
    // The owner's types as Qt names them ("text/plain", "text/uri-list",
    // "application/x-qt-windows-mime;value=..."); only when answered.
    QStringList MimeTypes;
};

Q_DECLARE_METATYPE(TClipboardOffer)

// Whether the probe applies: Qt runs on X11.
bool ClipboardProbeAvailable();

// Asks the X server display (empty: $DISPLAY) for the types of the CLIPBOARD
// selection and waits at most timeoutMs for the owner. Blocks the calling
// thread; thread-safe (a connection of its own per call).
TClipboardOffer QueryClipboardOffer(const QByteArray& display, int timeoutMs);

// The Qt name of an X11 target (UTF8_STRING is "text/plain" ...), as Qt's own
// clipboard names them.
QString MimeTypeOfTarget(const QByteArray& targetName);

// Runs QueryClipboardOffer in a worker thread. Finished arrives on the
// probe's thread; a query started while another runs supersedes it (the
// older answer is dropped). Nothing waits for a running query: it ends on its
// own once its time is up.
class TClipboardProbe : public QObject
{
    Q_OBJECT
public:
    explicit TClipboardProbe(QObject* parent = nullptr);
    ~TClipboardProbe() override;

    void Start(int timeoutMs);
    bool Running() const;

    // Asks in a worker thread and waits for it at most timeoutMs (plus the
    // connection's own set-up); osSilent when the wait ran out.
    static TClipboardOffer AskNow(int timeoutMs);

signals:
    void Finished(const TClipboardOffer& offer);

private:
    struct TSlot;
    void Poll();

    std::shared_ptr<TSlot> m_slot;
    QTimer* m_timer = nullptr;
};
