#include "app/formfonts.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// QLineEdit keeps this many pixels free on each side of its text.
constexpr int kLineEditInnerMargin = 2;

} // namespace

void InstallFontSubstitutes()
{
    const QStringList sans{QStringLiteral("Liberation Sans")};
    for (const char* face : {"MS Sans Serif", "Microsoft Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "Arial",
                             "Tahoma"}) {
        if (QFont::substitutes(QLatin1String(face)) != sans) {
            QFont::removeSubstitutions(QLatin1String(face));
            QFont::insertSubstitutions(QLatin1String(face), sans);
        }
    }
    const QStringList mono{QStringLiteral("Liberation Mono")};
    if (QFont::substitutes(QStringLiteral("Courier New")) != mono) {
        QFont::removeSubstitutions(QStringLiteral("Courier New"));
        QFont::insertSubstitutions(QStringLiteral("Courier New"), mono);
    }
}

QFont FormFont(bool bold)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

QFont EditorFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(15);
    return font;
}

int LineEditTextWidth(const QLineEdit& edit)
{
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.rect = edit.rect();
    option.lineWidth = edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit) : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    option.features = QStyleOptionFrame::None;
    const QRect contents = edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit);
    const QMargins margins = edit.textMargins();
    return contents.width() - margins.left() - margins.right() - 2 * kLineEditInnerMargin;
}

void SetFittingBoldFont(QLineEdit& edit, const QString& text)
{
    // The same face, narrowed just as far as needed (the font engine scales
    // the glyphs horizontally); never below three quarters of its width.
    QFont font = FormFont(true);
    const int room = LineEditTextWidth(edit);
    for (int stretch = 100; stretch >= 75; --stretch) {
        font.setStretch(stretch);
        if (QFontMetrics(font).horizontalAdvance(text) <= room)
            break;
    }
    edit.setFont(font);
}
