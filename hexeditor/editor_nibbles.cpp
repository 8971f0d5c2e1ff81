// Inserting and deleting one nibble: the data from a position to the end is
// shifted by four bits through a temporary file. Neither records undo; they
// also serve undo of the nibble entries.

#include "hexeditor/mphexeditor.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <vector>

namespace {
constexpr int64_t ShiftBlock = 512;
constexpr int64_t CopyBlock = 65536;

uint32_t tickCount()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// A file in the system temporary folder named after the tick count (8
// upper-case hex digits, ".MPHT"); removed with the guard on every way out.
class TemporaryShiftFile
{
public:
    TemporaryShiftFile()
    {
        QString folder = QDir::tempPath().trimmed();
        if (!folder.endsWith(QLatin1Char('/')))
            folder += QLatin1Char('/');
        uint32_t tick = tickCount();
        // Another editor (in this or another process) may take the same
        // name between the look and the create: its file is then locked and
        // ours fails; the next name is tried, as for a file that exists.
        for (int attempt = 0;; ++attempt) {
            m_path = folder + QStringLiteral("%1.MPHT").arg(tick, 8, 16, QLatin1Char('0')).toUpper();
            if (!QFile::exists(m_path)) {
                try {
                    m_stream = std::make_unique<TFileStream>(m_path, TFileMode::fmCreate, TShareMode::fmShareExclusive);
                    return;
                } catch (const EFileOpenError&) {
                    if (attempt >= 16 || !QFile::exists(m_path))
                        throw;
                }
            }
            const uint32_t next = tickCount();
            tick = next == tick ? tick + 1 : next;
        }
    }
    ~TemporaryShiftFile()
    {
        m_stream.reset();
        QFile::remove(m_path);
    }
    TFileStream& Stream() { return *m_stream; }
    const QString& Path() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<TFileStream> m_stream;
};

// Pops the busy cursor on every way out.
class BusyScope
{
public:
    explicit BusyScope(TCustomMPHexEditor& editor) : m_editor(editor) { m_editor.PushBusyCursor(); }
    ~BusyScope() { m_editor.PopBusyCursor(); }

private:
    TCustomMPHexEditor& m_editor;
};
} // namespace

void TCustomMPHexEditor::WriteShiftedData(TStream& file, int32_t position)
{
    const int64_t size = DataSize();
    uint8_t carry = 0;
    uint8_t block[ShiftBlock];
    uint8_t source[ShiftBlock];
    for (int64_t at = position; at < size; at += ShiftBlock) {
        const int64_t n = std::min(ShiftBlock, size - at);
        m_document.Data->PeekBytes(at, source, n);
        for (int64_t i = 0; i < n; ++i) {
            const uint8_t v = source[i];
            block[i] = uint8_t((v >> 4) | (carry << 4));
            carry = v & 0x0F;
        }
        file.WriteBuffer(block, n);
    }
}

namespace {
// Reads count bytes of file from offset into the data at position.
void copyBack(TStream& file, int64_t offset, TMPHMemoryStream& data, int64_t position, int64_t count)
{
    file.Seek(offset, TSeekOrigin::soBeginning);
    std::vector<uint8_t> block(size_t(std::min(CopyBlock, std::max<int64_t>(count, 1))));
    for (int64_t done = 0; done < count;) {
        const int64_t n = std::min(CopyBlock, count - done);
        file.ReadBuffer(block.data(), n);
        data.WriteBufferAt(block.data(), position + done, n);
        done += n;
    }
}

void putByte(TMPHMemoryStream& data, int64_t position, uint8_t value)
{
    data.WriteBufferAt(&value, position, 1);
}
} // namespace

bool TCustomMPHexEditor::InsertNibble(int32_t position, bool highNibble)
{
    const int32_t size = DataSize();
    if (size == 0)
        return false;
    if (position < 0 || position >= size)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::OutOfBounds));
    CheckGrowth(int64_t(size) + 1);
    BusyScope busy(*this);
    TemporaryShiftFile temp;
    WriteShiftedData(temp.Stream(), position);

    const uint8_t b = ByteAt(position);
    const uint8_t e = ByteAt(size - 1);
    // Grow first: when memory runs out nothing has changed yet.
    m_document.Data->SetSize(int64_t(size) + 1);
    copyBack(temp.Stream(), 0, *m_document.Data, position, int64_t(size) - position);
    putByte(*m_document.Data, position, highNibble ? uint8_t(b >> 4) : uint8_t(b & 0xF0));
    putByte(*m_document.Data, size, uint8_t(e << 4));
    ApplyDataChange({position, size - position, size + 1 - position});
    Changed();
    return true;
}

bool TCustomMPHexEditor::DeleteNibble(int32_t position, bool highNibble)
{
    const int32_t size = DataSize();
    if (size == 0)
        return false;
    if (position < 0 || position >= size)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::OutOfBounds));
    BusyScope busy(*this);
    TemporaryShiftFile temp;
    WriteShiftedData(temp.Stream(), position);

    const uint8_t b = ByteAt(position);
    const int64_t length = int64_t(size) - position;
    TMPHMemoryStream& data = *m_document.Data;
    copyBack(temp.Stream(), 1, data, position, length - 1);
    if (!highNibble) {
        if (position == size - 1)
            // Only the high nibble stays; the zero nibble enters behind it.
            putByte(data, position, uint8_t(b & 0xF0));
        else
            putByte(data, position, uint8_t((data.PeekByte(position) & 0x0F) | (b & 0xF0)));
    }
    if (highNibble || position != size - 1)
        putByte(data, size - 1, uint8_t(data.PeekByte(size - 1) << 4));
    ApplyDataChange({position, size - position, size - position});
    Changed();
    return true;
}
