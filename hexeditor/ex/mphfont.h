#pragma once
// The font settings the extended editor exposes by name ("Font.Size",
// "PrintFont.Style" ...): a small QObject over a QFont with the five
// published attributes Charset, Color, Name, Size and Style.
//
// - Name: the font family.
// - Size: the size in points; a negative value is a height in pixels.
// - Style: a set of fsBold, fsItalic, fsUnderline, fsStrikeOut.
// - Charset: a character-set number (0..255) kept with the font; Qt picks
//   glyphs by Unicode, so it only travels with the settings.
// - Color: the text colour (a 32-bit colour value) kept with the font; the
//   editor draws its cells in its Colors, a printout uses this colour.
//
// An instance either owns its QFont (PrintFont) or is bound to a widget, in
// which case it reads and writes that widget's font (the editor's Font).

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace MPHFontEnums {
Q_NAMESPACE

enum TMPHFontStyle {
    fsBold = 0x01,
    fsItalic = 0x02,
    fsUnderline = 0x04,
    fsStrikeOut = 0x08,
};
Q_DECLARE_FLAGS(TMPHFontStyles, TMPHFontStyle)
Q_FLAG_NS(TMPHFontStyles)

} // namespace MPHFontEnums
Q_DECLARE_OPERATORS_FOR_FLAGS(MPHFontEnums::TMPHFontStyles)
using namespace MPHFontEnums;

class TMPHFont : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Charset READ Charset WRITE SetCharset)
    Q_PROPERTY(quint32 Color READ Color WRITE SetColor)
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(int Size READ Size WRITE SetSize)
    Q_PROPERTY(MPHFontEnums::TMPHFontStyles Style READ Style WRITE SetStyle)

public:
    static constexpr int DefaultCharset = 1;
    // The system's window text colour.
    static constexpr quint32 DefaultColor = 0xFF000008u;
    static constexpr int MaxSize = 1000;

    // A font of its own, starting as a copy of font.
    explicit TMPHFont(const QFont& font, QObject* parent = nullptr);
    // The font of widget: reads and writes widget->font().
    explicit TMPHFont(QWidget* widget, QObject* parent = nullptr);

    QFont Font() const;
    void SetFont(const QFont& font);
    // Copies the font, Charset and Color of another TMPHFont; any other
    // source raises EConvertError naming both classes.
    void Assign(const QObject* source);

    int Charset() const { return m_charset; }
    void SetCharset(int value);
    quint32 Color() const { return m_color; }
    void SetColor(quint32 value) { m_color = value; }
    QString Name() const { return Font().family(); }
    void SetName(const QString& value);
    int Size() const;
    void SetSize(int value);
    TMPHFontStyles Style() const;
    void SetStyle(TMPHFontStyles value);

    // Same font, Charset and Color.
    bool Equals(const TMPHFont& other) const;

private:
    QFont m_font;
    QPointer<QWidget> m_widget;
    bool m_bound = false;
    int m_charset = DefaultCharset;
    quint32 m_color = DefaultColor;
};
