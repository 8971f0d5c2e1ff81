#pragma once
// Text forms of selected bytes for Edit > Copy as...: spaced hex, a C array,
// a Python bytes literal and Base64.

#include <QByteArray>
#include <QString>

namespace hexview {

enum class TCopyFormat { SpacedHex, CArray, PythonBytes, Base64 };

// "DE AD BE EF"
QString SpacedHexText(const QByteArray& bytes);
// "unsigned char data[4] = {\n    0xDE, 0xAD, 0xBE, 0xEF\n};\n", 12 bytes a line.
QString CArrayText(const QByteArray& bytes);
// b'\xde\xad\xbe\xef' (every byte escaped, so the text is exact and unambiguous)
QString PythonBytesText(const QByteArray& bytes);
QString Base64Text(const QByteArray& bytes);

QString CopyText(TCopyFormat format, const QByteArray& bytes);

// Hex text made ready for the editor's hex decoding (which takes every hex
// digit it finds): the body of a C array between its braces, the inside of a
// Python bytes literal, and without the 0x and \x prefixes, whose 0 and
// letters would otherwise count as digits. Other text is returned as it is.
QString HexDigitsText(const QString& text);

} // namespace hexview
