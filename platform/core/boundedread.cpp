#include "platform/core/boundedread.h"

#include "platform/core/streams.h"

QByteArray ReadBoundedFile(const QString& path, int64_t maxSize)
{
    const std::unique_ptr<TFileStream> file = TFileStream::OpenInput(path);
    const auto tooLarge = [&] {
        return EReadError(QStringLiteral("File \"%1\" is too large (more than %2 bytes)").arg(path).arg(maxSize));
    };
    if (file->Size() > maxSize)
        throw tooLarge();
    // One byte more than allowed tells a file that grew meanwhile.
    QByteArray bytes(static_cast<qsizetype>(maxSize + 1), '\0');
    qsizetype done = 0;
    while (done < bytes.size()) {
        const int64_t n = file->Read(bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            break;
        done += static_cast<qsizetype>(n);
    }
    if (done > maxSize)
        throw tooLarge();
    bytes.truncate(done);
    return bytes;
}
