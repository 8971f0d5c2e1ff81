#include "hexview/clipboardwatch.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace hexview {

TClipboardWatch::TClipboardWatch(QObject* parent) : QObject(parent), m_probe(new TClipboardProbe(this))
{
    setObjectName(QStringLiteral("clipboardWatch"));
    connect(m_probe, &TClipboardProbe::Finished, this, &TClipboardWatch::Answered);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TClipboardWatch::ClipboardChanged);
    ClipboardChanged();
}

bool TClipboardWatch::OwnedHere() const
{
    return !UseProbe || QGuiApplication::clipboard()->ownsClipboard();
}

void TClipboardWatch::ClipboardChanged()
{
    m_offer = TClipboardOffer();
    if (!OwnedHere())
        m_probe->Start(ProbeTimeoutMs);
    emit OfferChanged();
}

void TClipboardWatch::Answered(const TClipboardOffer& offer)
{
    m_offer = offer;
    emit OfferChanged();
}

QStringList TClipboardWatch::OfferedTypes() const
{
    // Without another program to ask (the data is this process's own, or the
    // platform hands over its list without a round trip), and when the probe
    // could not reach the display, Qt gives the list.
    const bool qtKnows = OwnedHere() || (m_offer.State == TClipboardOffer::osUnknown && !m_probe->Running());
    if (qtKnows) {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        return data ? data->formats() : QStringList();
    }
    return m_offer.State == TClipboardOffer::osAnswered ? m_offer.MimeTypes : QStringList();
}

bool TClipboardWatch::OwnerAnswers()
{
    if (OwnedHere())
        return true;
    const TClipboardOffer offer = AskNow(ReadTimeoutMs);
    if (offer.State == TClipboardOffer::osAnswered || offer.State == TClipboardOffer::osSilent) {
        m_offer = offer;
        emit OfferChanged();
    }
    // Unknown: the display could not be asked; Qt's own reading decides.
    return offer.State != TClipboardOffer::osSilent;
}

} // namespace hexview
