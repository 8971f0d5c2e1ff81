// The boot block operations behind "Extract" and "Insert", the atomic save,
// and the ID strings' label text.

#include "firmware/core/bootimage.h"

#include "hexeditor/core/mphexception.h"
#include "hexeditor/core/mphlimits.h"
#include "hexeditor/core/mphstrings.h"
#include "platform/core/atomicsave.h"
#include "platform/core/codepages.h"
#include "platform/core/exceptions.h"
#include "platform/core/fileutils.h"

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

std::unique_ptr<TMPHMemoryStream> LoadWholeFile(TFileStream& file)
{
    // The load checks that the file did not change while it was read.
    auto memory = std::make_unique<TMPHMemoryStream>();
    memory->LoadFromStream(file);
    return memory;
}

} // namespace

std::unique_ptr<TFileStream> OpenImage(const QString& path)
{
    std::unique_ptr<TFileStream> file = TFileStream::OpenInput(path);
    const int64_t size = file->Size();
    if (size > MPHMaxDataSize)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::FileTooLarge)
                               .arg(path)
                               .arg(size)
                               .arg(MPHMaxDataSize));
    return file;
}

TBlockBuffer& SharedBlockBuffer()
{
    static TBlockBuffer buffer{}; // zeros until the first block command
    return buffer;
}

std::unique_ptr<TMPHMemoryStream> ExtractBlock(const QString& imagePath, TBlockBuffer& buffer)
{
    // Read only and sharing everything, so that write-protected files and
    // files another program has open can be used.
    std::unique_ptr<TFileStream> file = OpenImage(imagePath);
    TFileStream& image = *file;
    const int32_t offset = FindBootMarker(image);
    image.SetPosition(offset);
    TBlockBuffer read{};
    const int64_t got = ReadUpTo(image, read.data(), BootBlockSize);
    // The marker and the block must come from one and the same image.
    image.CheckUnchanged();
    std::copy(read.begin(), read.begin() + got, buffer.begin());
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
    std::unique_ptr<TFileStream> file = OpenImage(imagePath);
    auto image = LoadWholeFile(*file);
    const int32_t offset = FindBootMarker(*image);
    image->SetPosition(offset);
    return image;
}

std::unique_ptr<TMPHMemoryStream> LoadBootFile(const QString& bootPath)
{
    std::unique_ptr<TFileStream> file = TFileStream::OpenInput(bootPath);
    // Refuse a file of the wrong length before reading it: it may be large.
    if (file->Size() != BootBlockSize)
        return nullptr;
    auto boot = LoadWholeFile(*file);
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

void RefuseBlockOverImage(const QString& imagePath, const QString& targetPath)
{
    if (SameFile(imagePath, targetPath))
        throw EFileOpenError(
            QStringLiteral("Cannot write the boot block to \"%1\": it is the image itself").arg(targetPath));
}

void SaveStreamToFile(TMemoryStream& stream, const QString& path)
{
    SaveFileAtomically(path, stream.Memory(), stream.Size());
}

QString IdLabelText(const QByteArray& bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return AnsiToQString(zero < 0 ? bytes : bytes.left(zero));
}

} // namespace boot
