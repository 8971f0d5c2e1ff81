#include "hexeditor/ex/mphfont.h"

#include "hexeditor/ex/mphexstrings.h"
#include "hexeditor/ex/mphprintoptions.h"

TMPHFont::TMPHFont(const QFont& font, QObject* parent)
    : QObject(parent)
    , m_font(font)
{
}

TMPHFont::TMPHFont(QWidget* widget, QObject* parent)
    : QObject(parent)
    , m_widget(widget)
    , m_bound(true)
{
}

QFont TMPHFont::Font() const
{
    if (m_bound)
        return m_widget ? m_widget->font() : QFont();
    return m_font;
}

void TMPHFont::SetFont(const QFont& font)
{
    if (!m_bound)
        m_font = font;
    else if (m_widget)
        m_widget->setFont(font);
}

void TMPHFont::Assign(const QObject* source)
{
    const auto* other = qobject_cast<const TMPHFont*>(source);
    if (!other)
        RaiseAssignError(source, this);
    SetFont(other->Font());
    m_charset = other->m_charset;
    m_color = other->m_color;
}

void TMPHFont::SetCharset(int value)
{
    if (value < 0 || value > 255)
        throw EConvertError(MPHExStrings::Text(MPHExStrings::InvalidFontCharset).arg(value));
    m_charset = value;
}

void TMPHFont::SetName(const QString& value)
{
    if (value.trimmed().isEmpty())
        throw EConvertError(MPHExStrings::Text(MPHExStrings::EmptyFontName));
    QFont font = Font();
    font.setFamily(value);
    SetFont(font);
}

int TMPHFont::Size() const
{
    const QFont font = Font();
    if (font.pointSize() > 0)
        return font.pointSize();
    return font.pixelSize() > 0 ? -font.pixelSize() : 0;
}

void TMPHFont::SetSize(int value)
{
    if (value == 0 || value > MaxSize || value < -MaxSize)
        throw EConvertError(MPHExStrings::Text(MPHExStrings::InvalidFontSize).arg(value));
    QFont font = Font();
    if (value > 0)
        font.setPointSize(value);
    else
        font.setPixelSize(-value);
    SetFont(font);
}

TMPHFontStyles TMPHFont::Style() const
{
    const QFont font = Font();
    TMPHFontStyles styles;
    styles.setFlag(fsBold, font.bold());
    styles.setFlag(fsItalic, font.italic());
    styles.setFlag(fsUnderline, font.underline());
    styles.setFlag(fsStrikeOut, font.strikeOut());
    return styles;
}

void TMPHFont::SetStyle(TMPHFontStyles value)
{
    QFont font = Font();
    font.setBold(value.testFlag(fsBold));
    font.setItalic(value.testFlag(fsItalic));
    font.setUnderline(value.testFlag(fsUnderline));
    font.setStrikeOut(value.testFlag(fsStrikeOut));
    SetFont(font);
}

bool TMPHFont::Equals(const TMPHFont& other) const
{
    return Font() == other.Font() && m_charset == other.m_charset && m_color == other.m_color;
}
