#include "app/diffcommand.h"

#include "firmware/core/bootimage.h"

#include "hexeditor/core/mphdiff.h"
#include "hexeditor/mphexeditor.h"
#include "platform/core/streams.h"

#include <QTextStream>

#include <algorithm>
#include <memory>
#include <vector>

namespace editboot {

namespace {

// Both files are read this many bytes at a time: memory stays small.
constexpr int64_t ChunkSize = 1 << 20;

// Fills buffer with exactly count bytes; a file that ends earlier has
// changed since its size was taken.
void ReadExactly(TFileStream& file, uint8_t* buffer, int64_t count)
{
    int64_t done = 0;
    while (done < count) {
        const int64_t n = file.Read(buffer + done, count - done);
        if (n <= 0)
            throw EReadError(QStringLiteral("Cannot read \"%1\": it changed while it was read").arg(file.FileName()));
        done += n;
    }
}

// Writes ranges, joining those that meet across chunk borders.
class TRangeWriter
{
public:
    explicit TRangeWriter(QTextStream& out) : m_out(out) {}

    void Add(int64_t start, int64_t length)
    {
        if (m_pending && m_range.End() == start) {
            m_range.Length += length;
            return;
        }
        Flush();
        m_range = TMPHDiffRange{start, length};
        m_pending = true;
    }

    void Flush()
    {
        if (!m_pending)
            return;
        m_out << DiffLine(m_range.Start, m_range.Length) << '\n';
        m_pending = false;
        m_any = true;
    }

    bool Any() const { return m_any || m_pending; }

private:
    QTextStream& m_out;
    TMPHDiffRange m_range;
    bool m_pending = false;
    bool m_any = false;
};

} // namespace

QString DiffLine(int64_t offset, int64_t length)
{
    return QStringLiteral("%1 %2").arg(offset, 8, 16, QLatin1Char('0')).toUpper().arg(length);
}

int DiffFiles(const QString& pathA, const QString& pathB, QTextStream& out)
{
    std::unique_ptr<TFileStream> fileA = boot::OpenImage(pathA);
    std::unique_ptr<TFileStream> fileB = boot::OpenImage(pathB);
    const int64_t sizeA = fileA->Size();
    const int64_t sizeB = fileB->Size();
    const int64_t common = std::min(sizeA, sizeB);
    std::vector<uint8_t> bufferA(size_t(std::min(common, ChunkSize)));
    std::vector<uint8_t> bufferB(bufferA.size());
    TRangeWriter writer(out);
    TMPHDiff diff;
    for (int64_t base = 0; base < common; base += ChunkSize) {
        const int64_t n = std::min(ChunkSize, common - base);
        ReadExactly(*fileA, bufferA.data(), n);
        ReadExactly(*fileB, bufferB.data(), n);
        diff.Compute(bufferA.data(), n, bufferB.data(), n);
        for (const TMPHDiffRange& r : diff.Ranges())
            writer.Add(base + r.Start, r.Length);
    }
    if (sizeA != sizeB)
        writer.Add(common, std::max(sizeA, sizeB) - common);
    // The sizes the rest was taken from must still hold.
    fileA->CheckUnchanged();
    fileB->CheckUnchanged();
    writer.Flush();
    return writer.Any() ? DiffDifferent : DiffEqual;
}

} // namespace editboot
