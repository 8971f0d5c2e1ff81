#pragma once
// What the clipboard offers, known without the window ever waiting for the
// program that owns it: the list of types is asked in the background when
// the clipboard changes (on X11 over the clipboard probe), the data is read
// only when the user pastes, and only after the owner has answered a short
// question. A clipboard this process owns, and platforms without the probe,
// are asked through Qt directly (no other program is involved there).

#include "platform/clipboardprobe.h"

#include <QObject>
#include <QStringList>
#include <functional>

namespace hexview {

class TClipboardWatch : public QObject
{
    Q_OBJECT
public:
    explicit TClipboardWatch(QObject* parent);

    // The types offered now as far as known: empty while the background
    // question runs, when nothing is offered and when the owner did not answer.
    QStringList OfferedTypes() const;
    // Before the clipboard's data is read for the user: true when the owner
    // answers (waiting at most ReadTimeoutMs) or no other program is asked.
    bool OwnerAnswers();

    static constexpr int ProbeTimeoutMs = 2000;
    static constexpr int ReadTimeoutMs = 2000;

    // Test seams: whether the probe is used (default: on X11), and how it
    // asks in the foreground (default: TClipboardProbe::AskNow).
    bool UseProbe = ClipboardProbeAvailable();
    std::function<TClipboardOffer(int timeoutMs)> AskNow = &TClipboardProbe::AskNow;

signals:
    // The offered types may have changed (the answer of the background question).
    void OfferChanged();

private:
    bool OwnedHere() const;
    void ClipboardChanged();
    void Answered(const TClipboardOffer& offer);

    TClipboardProbe* m_probe;
    TClipboardOffer m_offer;
};

} // namespace hexview
