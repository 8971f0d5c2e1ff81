#include "hexeditor/core/mphsettingstext.h"

#include "platform/core/exceptions.h"

#include <QMetaEnum>
#include <cstring>
#include <limits>

const std::array<const char*, 67> MPHPublicPropertyNames = {
    "ShowRuler", "DrawGutter3D", "CreateBackup", "BackupExtension", "OleDragDrop",
    "ClipboardAsHexText", "FlushClipboardAtShutDown", "SupportsOtherClipFormats",
    "UseEditorFontForPrinting", "ZoomOnWheel", "BytesPerRow", "BytesPerColumn", "Translation",
    "OffsetFormat", "CaretKind", "FocusFrame", "SwapNibbles", "MaskChar", "NoSizeChange",
    "AllowInsertMode", "DrawGridLines", "ReadOnlyView", "HideSelection", "GraySelectionIfNotFocused",
    "GutterWidth", "MaxUndo", "InsertMode", "HexLowerCase", "Colors.Background",
    "Colors.ChangedBackground", "Colors.ChangedText", "Colors.CursorFrame",
    "Colors.NonFocusCursorFrame", "Colors.Offset", "Colors.OddColumn", "Colors.EvenColumn",
    "Colors.CurrentOffsetBackground", "Colors.OffsetBackGround", "Colors.CurrentOffset",
    "Colors.ActiveFieldBackground", "Colors.Grid", "PrintFont.Charset", "PrintFont.Color",
    "PrintFont.Name", "PrintFont.Size", "PrintFont.Style", "PrintOptions.MarginLeft",
    "PrintOptions.MarginTop", "PrintOptions.MarginRight", "PrintOptions.MarginBottom",
    "PrintOptions.PageHeader", "PrintOptions.PageFooter", "PrintOptions.Flags", "Font.Charset",
    "Font.Color", "Font.Name", "Font.Size", "Font.Style", "BytesPerUnit", "RulerBytesPerUnit",
    "ShowPositionIfNotFocused", "UnicodeChars", "UnicodeBigEndian", "BytesPerBlock",
    "SeparateBlocksInCharField", "FindProgress", "RulerNumberBase",
};

bool IsListedPropertyName(const QString& name)
{
    for (const char* listed : MPHPublicPropertyNames) {
        if (name.compare(QLatin1String(listed), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QStringList SplitSettingsLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

TMPHSettingsLine ParseSettingsLine(const QString& line)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return {QString(), QString()};
    return {line.left(eq), line.mid(eq + 1)};
}

namespace {

enum class Kind { Bool, Signed, Unsigned, String, Enum, Flags, Other };

Kind KindOf(const QMetaProperty& property)
{
    if (property.isFlagType())
        return Kind::Flags;
    if (property.isEnumType())
        return Kind::Enum;
    switch (property.metaType().id()) {
    case QMetaType::Bool:
        return Kind::Bool;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
    case QMetaType::Char:
        return Kind::Signed;
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
        return Kind::Unsigned;
    case QMetaType::QString:
        return Kind::String;
    default:
        return Kind::Other;
    }
}

// The integral value stored in a variant of an integral, enumeration or flag type.
qint64 RawInteger(const QVariant& value, bool isSigned)
{
    const qsizetype size = value.metaType().sizeOf();
    const void* data = value.constData();
    switch (size) {
    case 1: return isSigned ? qint64(*static_cast<const qint8*>(data)) : qint64(*static_cast<const quint8*>(data));
    case 2: return isSigned ? qint64(*static_cast<const qint16*>(data)) : qint64(*static_cast<const quint16*>(data));
    case 4: return isSigned ? qint64(*static_cast<const qint32*>(data)) : qint64(*static_cast<const quint32*>(data));
    case 8: {
        qint64 v;
        std::memcpy(&v, data, 8);
        return v;
    }
    default:
        return 0;
    }
}

// A variant of type metaType holding v (which the caller has range-checked).
QVariant FromRawInteger(QMetaType metaType, qint64 v)
{
    QVariant result(metaType);
    const qsizetype size = metaType.sizeOf();
    if (size == 1) { const qint8 x = qint8(v); std::memcpy(result.data(), &x, 1); }
    else if (size == 2) { const qint16 x = qint16(v); std::memcpy(result.data(), &x, 2); }
    else if (size == 4) { const qint32 x = qint32(v); std::memcpy(result.data(), &x, 4); }
    else if (size == 8) std::memcpy(result.data(), &v, 8);
    return result;
}

// The smallest and largest value of an integral property type.
void IntegerRange(const QMetaProperty& property, bool isSigned, qint64& low, qint64& high)
{
    const qsizetype bits = property.metaType().sizeOf() * 8;
    if (isSigned) {
        low = bits >= 64 ? std::numeric_limits<qint64>::min() : -(qint64(1) << (bits - 1));
        high = bits >= 64 ? std::numeric_limits<qint64>::max() : (qint64(1) << (bits - 1)) - 1;
    } else {
        low = 0;
        high = bits >= 64 ? std::numeric_limits<qint64>::max() : (qint64(1) << bits) - 1;
    }
}

[[noreturn]] void RaiseInvalid(const QString& text, const QString& fullName)
{
    throw EConvertError(QStringLiteral("Invalid value \"%1\" for the setting %2").arg(text, fullName));
}

int EnumValueOf(const QMetaEnum& enumerator, const QString& name, bool& found)
{
    for (int i = 0; i < enumerator.keyCount(); ++i) {
        if (name.compare(QLatin1String(enumerator.key(i)), Qt::CaseInsensitive) == 0) {
            found = true;
            return enumerator.value(i);
        }
    }
    found = false;
    return 0;
}

QString FlagsText(const QMetaEnum& enumerator, qint64 value)
{
    QStringList names;
    for (int i = 0; i < enumerator.keyCount(); ++i) {
        const qint64 bit = enumerator.value(i);
        if (bit != 0 && (value & bit) == bit)
            names.append(QLatin1String(enumerator.key(i)));
    }
    return names.join(u',');
}

qint64 FlagsFromText(const QMetaEnum& enumerator, const QString& text, const QString& fullName)
{
    QString body = text.trimmed();
    if (body.startsWith(u'[') && body.endsWith(u']'))
        body = body.mid(1, body.size() - 2);
    qint64 value = 0;
    if (body.trimmed().isEmpty())
        return value;
    for (const QString& part : body.split(u',')) {
        bool found = false;
        const int bit = EnumValueOf(enumerator, part.trimmed(), found);
        if (!found)
            RaiseInvalid(text, fullName);
        value |= bit;
    }
    return value;
}

} // namespace

bool IsSettingsValueType(const QMetaProperty& property)
{
    return KindOf(property) != Kind::Other;
}

QString PropertyValueText(const QMetaProperty& property, const QVariant& value)
{
    switch (KindOf(property)) {
    case Kind::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Signed:
        return QString::number(RawInteger(value, true));
    case Kind::Unsigned:
        return QString::number(RawInteger(value, false));
    case Kind::String:
        return value.toString();
    case Kind::Enum: {
        const qint64 v = RawInteger(value, true);
        const char* key = property.enumerator().valueToKey(int(v));
        return key ? QString::fromLatin1(key) : QString::number(v);
    }
    case Kind::Flags:
        return FlagsText(property.enumerator(), RawInteger(value, false));
    case Kind::Other:
        break;
    }
    return value.toString();
}

QVariant PropertyValueFromText(const QMetaProperty& property, const QString& text, const QString& fullName)
{
    const QMetaType type = property.metaType();
    switch (KindOf(property)) {
    case Kind::Bool: {
        const QString t = text.trimmed();
        if (t.compare(u"True", Qt::CaseInsensitive) == 0)
            return QVariant(true);
        if (t.compare(u"False", Qt::CaseInsensitive) == 0)
            return QVariant(false);
        RaiseInvalid(text, fullName);
    }
    case Kind::Signed:
    case Kind::Unsigned: {
        const bool isSigned = KindOf(property) == Kind::Signed;
        bool ok = false;
        const qint64 v = text.trimmed().toLongLong(&ok, 10);
        qint64 low = 0, high = 0;
        IntegerRange(property, isSigned, low, high);
        if (!ok || v < low || v > high)
            RaiseInvalid(text, fullName);
        return FromRawInteger(type, v);
    }
    case Kind::String:
        return QVariant(text);
    case Kind::Enum: {
        bool found = false;
        const int v = EnumValueOf(property.enumerator(), text.trimmed(), found);
        if (!found)
            RaiseInvalid(text, fullName);
        return FromRawInteger(type, v);
    }
    case Kind::Flags:
        return FromRawInteger(type, FlagsFromText(property.enumerator(), text, fullName));
    case Kind::Other:
        break;
    }
    RaiseInvalid(text, fullName);
}
