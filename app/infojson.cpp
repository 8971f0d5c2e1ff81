#include "app/infojson.h"

#include "app/idstrings.h"
#include "firmware/core/bootimage.h"
#include "firmware/core/bootstructure.h"
#include "hexeditor/mphexeditor.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace editboot {

namespace {

QString CrcText(uint32_t crc)
{
    return QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper();
}

QJsonObject Range(int64_t first, int64_t last)
{
    return QJsonObject{{QStringLiteral("first"), double(first)},
                       {QStringLiteral("last"), double(last)},
                       {QStringLiteral("length"), double(last - first + 1)}};
}

QJsonObject IdField(TCustomMPHexEditor& editor, int32_t first, int32_t last)
{
    const QByteArray bytes = boot::ReadIdBytes(editor, first, last);
    QJsonObject id = Range(first, last);
    id.insert(QStringLiteral("text"), boot::IdLabelText(bytes));
    id.insert(QStringLiteral("hex"), QString::fromLatin1(bytes.toHex()));
    return id;
}

} // namespace

void WriteInfoJson(const QString& imagePath, QTextStream& out)
{
    const QString path = QFileInfo(imagePath).absoluteFilePath();
    TMPHexEditor editor;
    editor.CreateEmptyFile(QString());
    editor.LoadFromFile(path);
    // Read first: an image too short for them fails as plain "info" does.
    const QJsonObject id1 = IdField(editor, boot::FirstIdStart, boot::FirstIdEnd);
    const QJsonObject id2 = IdField(editor, boot::SecondIdStart, boot::SecondIdEnd);
    const int32_t size = editor.DataSize();
    const boot::TBootStructure s = boot::AnalyseBootStructure(editor.DataStorage().Memory(), size);

    QJsonObject block = Range(s.BlockFirst, s.BlockLast);
    block.insert(QStringLiteral("crc32"), CrcText(s.BlockCrc));
    const QJsonObject root{
        {QStringLiteral("path"), path},
        {QStringLiteral("file_name"), QFileInfo(path).fileName()},
        {QStringLiteral("size"), double(size)},
        {QStringLiteral("marker_found"), s.MarkerFound},
        {QStringLiteral("marker_offset"), double(s.MarkerOffset)},
        {QStringLiteral("boot_block"), block},
        {QStringLiteral("id1"), id1},
        {QStringLiteral("id2"), id2},
        {QStringLiteral("crc32"), CrcText(s.ImageCrc)},
    };
    out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

} // namespace editboot
