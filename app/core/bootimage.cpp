// The boot block operations behind "Extract" and "Insert", the atomic save,
// and the ID strings read through the editor's selection.

#include "app/core/bootimage.h"

#include "hexeditor/mphexeditor.h"
#include "platform/core/codepages.h"

#include <QSaveFile>

#include <algorithm>

namespace boot {

namespace {

// Reads until count bytes arrived or the stream ends; returns the number read.
int64_t ReadUpTo(TStream& stream, uint8_t* buffer, int64_t count)
{
    int64_t done = 0;
    while (done < count) {
        const int64_t n = stream.Read(buffer + done, count - done);
        if (n < 0)
            throw EReadError(QStringLiteral("Stream read error"));
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

std::unique_ptr<TMPHMemoryStream> LoadWholeFile(const QString& path)
{
    // Read only and sharing everything, so that write-protected files and
    // files another program has open can be used.
    TFileStream file(path, TFileMode::fmOpenRead, TShareMode::fmShareDenyNone);
    auto memory = std::make_unique<TMPHMemoryStream>();
    memory->LoadFromStream(file);
    return memory;
}

} // namespace

TBlockBuffer& SharedBlockBuffer()
{
    static TBlockBuffer buffer{}; // zeros until the first block command
    return buffer;
}

std::unique_ptr<TMPHMemoryStream> ExtractBlock(const QString& imagePath, TBlockBuffer& buffer)
{
    TFileStream image(imagePath, TFileMode::fmOpenRead, TShareMode::fmShareDenyNone);
    const int32_t offset = FindBootMarker(image);
    image.SetPosition(offset);
    const int64_t got = ReadUpTo(image, buffer.data(), BootBlockSize);
    // When fewer than 65,536 bytes follow the marker, the rest of the block is
    // cleared rather than left holding bytes of an earlier Extract or Insert:
    // an extracted boot file then depends on its image alone.
    std::fill(buffer.begin() + got, buffer.end(), uint8_t(0));

    auto block = std::make_unique<TMPHMemoryStream>();
    block->WriteBuffer(buffer.data(), BootBlockSize);
    block->SetPosition(0);
    return block;
}

std::unique_ptr<TMPHMemoryStream> LoadImageAtMarker(const QString& imagePath)
{
    auto image = LoadWholeFile(imagePath);
    const int32_t offset = FindBootMarker(*image);
    image->SetPosition(offset);
    return image;
}

std::unique_ptr<TMPHMemoryStream> LoadBootFile(const QString& bootPath)
{
    TFileStream file(bootPath, TFileMode::fmOpenRead, TShareMode::fmShareDenyNone);
    // Refuse a file of the wrong length before reading it: it may be large.
    if (file.Size() != BootBlockSize)
        return nullptr;
    auto boot = std::make_unique<TMPHMemoryStream>();
    boot->LoadFromStream(file);
    // The file may have changed between the two looks at it.
    if (boot->Size() != BootBlockSize)
        return nullptr;
    boot->SetPosition(0);
    return boot;
}

void InsertBlock(TMPHMemoryStream& image, TMPHMemoryStream& bootFile, TBlockBuffer& buffer)
{
    // Checked before anything changes: a block of any other length would
    // leave the image with a partial or oversized boot block.
    if (bootFile.Size() != BootBlockSize)
        throw EStreamError(QStringLiteral("A boot file must be %1 bytes long, this one is %2 bytes long")
                               .arg(BootBlockSize)
                               .arg(bootFile.Size()));
    bootFile.SetPosition(0);
    bootFile.ReadBuffer(buffer.data(), BootBlockSize);
    // Writing at the image's position overwrites the old block and grows the
    // image when the block runs past its end.
    image.WriteBuffer(buffer.data(), BootBlockSize);
}

void SaveStreamToFile(TMemoryStream& stream, const QString& path)
{
    // QSaveFile writes a temporary file next to the target and renames it over
    // the target only on commit; on any failure the target stays as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EFileOpenError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));

    const char* data = reinterpret_cast<const char*>(stream.Memory());
    int64_t left = stream.Size();
    while (left > 0) {
        const qint64 n = file.write(data, left);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            throw EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, reason));
        }
        data += n;
        left -= n;
    }
    if (!file.commit())
        throw EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
}

QByteArray ReadIdBytes(TCustomMPHexEditor& editor, int32_t first, int32_t last)
{
    editor.SetSelStart(first);
    editor.SetSelEnd(last);
    return editor.SelectionAsText();
}

QString IdLabelText(const QByteArray& bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return AnsiToQString(zero < 0 ? bytes : bytes.left(zero));
}

} // namespace boot
