#include "hexeditor/core/mphundostorage.h"

#include <algorithm>
#include <cstring>

using namespace MPHUndoFlags;

namespace MPHUndo {

int KindOf(uint32_t flags)
{
    for (int k = 0; k <= 10; ++k)
        if (flags & (1u << k))
            return k;
    return 11;
}

QString DefaultText(int kind)
{
    static const char* const texts[] = {"Change byte(s)", "Remove data",   "Insert buffer", "Replace",
                                        "Append buffer",  "Insert nibble", "Delete nibble", "Convert",
                                        "Cursor movement", "Multiple modification", "All data saved"};
    if (kind < 0 || kind > 10)
        return QString();
    return QString::fromLatin1(texts[kind]);
}

int32_t ReadInt(const uint8_t* p)
{
    const uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    return static_cast<int32_t>(v);
}

void WriteInt(uint8_t* p, int32_t value)
{
    const auto v = static_cast<uint32_t>(value);
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

void WriteHeader(uint8_t* entry, const TMPHUndoHeader& h)
{
    WriteInt(entry + 4, static_cast<int32_t>(h.Flags));
    WriteInt(entry + 8, h.CaretPosition);
    WriteInt(entry + 12, h.Position);
    WriteInt(entry + 16, h.Count);
    WriteInt(entry + 20, h.Count2);
    entry[24] = h.Translation;
    WriteInt(entry + 25, h.BytesPerUnit);
}

TMPHUndoHeader ReadHeader(const uint8_t* entry)
{
    TMPHUndoHeader h;
    h.Flags = static_cast<uint32_t>(ReadInt(entry + 4));
    h.CaretPosition = ReadInt(entry + 8);
    h.Position = ReadInt(entry + 12);
    h.Count = ReadInt(entry + 16);
    h.Count2 = ReadInt(entry + 20);
    h.Translation = entry[24];
    h.BytesPerUnit = ReadInt(entry + 25);
    return h;
}

int64_t EncodedEntrySize(int64_t dataSize, const QByteArray& description, bool selection)
{
    int64_t size = HeaderSize + std::max<int64_t>(1, dataSize) + 4;
    if (!description.isEmpty())
        size += description.size() + 4;
    if (selection)
        size += 12;
    return size;
}

void WriteEntryFrame(uint8_t* p, const TMPHUndoHeader& header, int64_t dataSize, const QByteArray& description,
                     const std::optional<TMPHUndoSelection>& selection)
{
    TMPHUndoHeader h = header;
    h.Flags &= ~(ufDescription | ufSelection);
    if (!description.isEmpty())
        h.Flags |= ufDescription;
    if (selection)
        h.Flags |= ufSelection;
    const int64_t size = EncodedEntrySize(dataSize, description, selection.has_value());
    WriteInt(p, static_cast<int32_t>(size));
    WriteHeader(p, h);
    uint8_t* q = p + HeaderSize + std::max<int64_t>(1, dataSize);
    if (!description.isEmpty()) {
        std::memcpy(q, description.constData(), size_t(description.size()));
        q += description.size();
        WriteInt(q, static_cast<int32_t>(description.size()));
        q += 4;
    }
    if (selection) {
        WriteInt(q, selection->SelFirst);
        WriteInt(q + 4, selection->SelLast);
        WriteInt(q + 8, selection->SelAnchor);
        q += 12;
    }
    WriteInt(q, static_cast<int32_t>(size));
}

QByteArray EncodeEntry(const TMPHUndoHeader& header, const QByteArray& data, const QByteArray& description,
                       const std::optional<TMPHUndoSelection>& selection)
{
    const int64_t size = EncodedEntrySize(data.size(), description, selection.has_value());
    QByteArray entry(static_cast<qsizetype>(size), '\0');
    auto* p = reinterpret_cast<uint8_t*>(entry.data());
    WriteEntryFrame(p, header, data.size(), description, selection);
    if (!data.isEmpty())
        std::memcpy(p + HeaderSize, data.constData(), size_t(data.size()));
    return entry;
}

bool DecodeEntry(const uint8_t* entry, int32_t size, TMPHUndoEntry& out)
{
    if (size < MinEntrySize || ReadInt(entry) != size || ReadInt(entry + size - 4) != size)
        return false;
    out = TMPHUndoEntry();
    out.Size = size;
    out.Header = ReadHeader(entry);
    int32_t end = size - 4; // start of the trailing EntrySize
    if (out.Header.Flags & ufSelection) {
        end -= 12;
        if (end < HeaderSize + 1)
            return false;
        out.Selection = TMPHUndoSelection{ReadInt(entry + end), ReadInt(entry + end + 4), ReadInt(entry + end + 8)};
    }
    if (out.Header.Flags & ufDescription) {
        end -= 4;
        if (end < HeaderSize + 1)
            return false;
        const int32_t length = ReadInt(entry + end);
        if (length < 0 || end - length < HeaderSize + 1)
            return false;
        end -= length;
        out.Description = QByteArray(reinterpret_cast<const char*>(entry + end), length);
    }
    out.Data = QByteArray(reinterpret_cast<const char*>(entry + HeaderSize), end - HeaderSize);
    return true;
}


void StoreViewState(TMPHUndoHeader& h, const TMPHViewState& v)
{
    h.CaretPosition = v.CaretPosition;
    h.Flags |= (v.SecondNibble ? ufSecondNibble : 0) | (v.InCharField ? ufInCharField : 0)
               | (v.InsertMode ? ufInsertMode : 0) | (v.UnicodeChars ? ufUnicodeChars : 0)
               | (v.UnicodeBigEndian ? ufUnicodeBigEndian : 0) | (v.Modified ? ufModified : 0);
    h.Translation = v.Translation;
    h.BytesPerUnit = v.BytesPerUnit;
}

TMPHViewState ViewStateOf(const TMPHUndoHeader& h)
{
    TMPHViewState v;
    v.CaretPosition = h.CaretPosition;
    v.InCharField = h.Flags & ufInCharField;
    v.SecondNibble = h.Flags & ufSecondNibble;
    v.InsertMode = h.Flags & ufInsertMode;
    v.UnicodeChars = h.Flags & ufUnicodeChars;
    v.UnicodeBigEndian = h.Flags & ufUnicodeBigEndian;
    v.Modified = h.Flags & ufModified;
    v.Translation = h.Translation;
    v.BytesPerUnit = h.BytesPerUnit;
    return v;
}

QByteArray EncodeRedoRecord(const TMPHRedoRecord& record)
{
    const QByteArray& data = record.Data;
    const bool changeBytes = KindOf(record.Header.Flags) == ukChangeBytes;
    const int32_t d = changeBytes ? std::max(0, int32_t(data.size()) - 1) : int32_t(data.size());
    QByteArray bytes(RedoHeaderSize + d + BookmarkCopySize + RedoSelectionSize, '\0');
    auto* r = reinterpret_cast<uint8_t*>(bytes.data());
    WriteInt(r, RedoHeaderSize + d);
    WriteHeader(r, record.Header);
    if (!data.isEmpty())
        std::memcpy(r + HeaderSize, data.constData(), size_t(data.size()));
    uint8_t* marks = r + RedoHeaderSize + d;
    for (int i = 0; i < TMPHBookmarks::Count; ++i) {
        const TMPHBookmark& mark = record.Bookmarks[size_t(i)];
        WriteInt(marks + i * BookmarkSlot, mark.mPosition);
        marks[i * BookmarkSlot + 4] = mark.mInCharField ? 1 : 0;
    }
    uint8_t* sel = marks + BookmarkCopySize;
    WriteInt(sel, record.Selection.SelFirst);
    WriteInt(sel + 4, record.Selection.SelLast);
    WriteInt(sel + 8, record.Selection.SelAnchor);
    return bytes;
}

bool DecodeRedoRecord(const QByteArray& bytes, TMPHRedoRecord& out)
{
    if (bytes.size() < RedoHeaderSize + BookmarkCopySize + RedoSelectionSize)
        return false;
    const auto* r = reinterpret_cast<const uint8_t*>(bytes.constData());
    const int32_t marksAt = ReadInt(r);
    if (marksAt < RedoHeaderSize || marksAt > bytes.size() - BookmarkCopySize - RedoSelectionSize)
        return false;
    out = TMPHRedoRecord();
    out.Header = ReadHeader(r);
    const int32_t d = marksAt - RedoHeaderSize;
    const bool changeBytes = KindOf(out.Header.Flags) == ukChangeBytes;
    out.Data = QByteArray(bytes.constData() + HeaderSize, changeBytes ? d + 1 : d);
    const uint8_t* marks = r + marksAt;
    for (int i = 0; i < TMPHBookmarks::Count; ++i)
        out.Bookmarks[size_t(i)] = TMPHBookmark{ReadInt(marks + i * BookmarkSlot), marks[i * BookmarkSlot + 4] != 0};
    const uint8_t* sel = marks + BookmarkCopySize;
    out.Selection = TMPHUndoSelection{ReadInt(sel), ReadInt(sel + 4), ReadInt(sel + 8)};
    return true;
}

} // namespace MPHUndo

using namespace MPHUndo;

void TMPHUndoStorage::SetSize(int64_t newSize)
{
    TMemoryStream::SetSize(newSize);
    if (newSize < MinStackSize)
        m_entryCount = 0;
}

void TMPHUndoStorage::Reset(bool clearRedoToo)
{
    SetSize(0);
    SetPosition(0);
    m_entryCount = 0;
    m_suspendCount = 0;
    m_undoText.clear();
    if (clearRedoToo)
        ClearRedo();
}

void TMPHUndoStorage::ClearRedo()
{
    ClearCurrentRedo();
    m_redoUnits.clear();
    m_redoBytes = 0;
}

void TMPHUndoStorage::ClearCurrentRedo()
{
    m_redoRecord.clear();
    m_poppedEntry.clear();
    m_poppedDescription.clear();
}

namespace {
int64_t BytesOf(const TMPHRedoUnit& unit)
{
    int64_t bytes = 0;
    for (const TMPHRedoStep& step : unit)
        bytes += step.Bytes();
    return bytes;
}
} // namespace

TMPHRedoUnit TMPHUndoStorage::TakeCurrentRedo()
{
    TMPHRedoUnit unit;
    if (!m_redoRecord.isEmpty())
        unit.push_back({m_redoRecord, m_poppedEntry, m_poppedDescription});
    ClearCurrentRedo();
    return unit;
}

void TMPHUndoStorage::PushRedoUnit(TMPHRedoUnit unit, int maxUndo)
{
    if (unit.empty())
        return;
    while (maxUndo > 0 && !m_redoUnits.empty() && m_redoBytes > maxUndo) {
        m_redoBytes -= BytesOf(m_redoUnits.front());
        m_redoUnits.erase(m_redoUnits.begin());
    }
    m_redoBytes += BytesOf(unit);
    m_redoUnits.push_back(std::move(unit));
}

TMPHRedoUnit TMPHUndoStorage::PopRedoUnit()
{
    if (m_redoUnits.empty())
        return {};
    TMPHRedoUnit unit = std::move(m_redoUnits.back());
    m_redoUnits.pop_back();
    m_redoBytes -= BytesOf(unit);
    return unit;
}

void TMPHUndoStorage::RestoreRedoStep(const TMPHRedoStep& step)
{
    m_redoRecord = step.Record;
    m_poppedEntry = step.Entry;
    m_poppedDescription = step.Description;
}

QString TMPHUndoStorage::RedoText() const
{
    if (!m_redoUnits.empty() && !m_redoUnits.back().empty())
        return m_redoUnits.back().back().Description;
    return m_poppedDescription;
}

void TMPHUndoStorage::SetRedoRecord(QByteArray record)
{
    m_redoRecord = std::move(record);
    m_poppedEntry.clear();
}

void TMPHUndoStorage::PushEntry(const QByteArray& entry, int maxUndo)
{
    while (maxUndo > 0 && m_entryCount > 0 && SizeConst() > maxUndo)
        DropFirstUndo();
    const int64_t at = SizeConst();
    TMemoryStream::SetSize(at + entry.size());
    std::memcpy(Memory() + at, entry.constData(), size_t(entry.size()));
    ++m_entryCount;
}

uint8_t* TMPHUndoStorage::PushEntryInPlace(const TMPHUndoHeader& header, int64_t dataSize,
                                           const QByteArray& description,
                                           const std::optional<TMPHUndoSelection>& selection, int maxUndo)
{
    while (maxUndo > 0 && m_entryCount > 0 && SizeConst() > maxUndo)
        DropFirstUndo();
    const int64_t at = SizeConst();
    const int64_t size = EncodedEntrySize(dataSize, description, selection.has_value());
    TMemoryStream::SetSize(at + size);
    uint8_t* entry = Memory() + at;
    WriteEntryFrame(entry, header, dataSize, description, selection);
    ++m_entryCount;
    return entry + HeaderSize;
}

void TMPHUndoStorage::DropFirstUndo()
{
    const int64_t size = SizeConst();
    const int32_t first = size > 3 ? ReadInt(Memory()) : 0;
    if (size > 3 && first > HeaderSize && first <= size) {
        std::memmove(Memory(), Memory() + first, size_t(size - first));
        SetSize(size - first);
        if (m_entryCount > 0)
            --m_entryCount;
    } else {
        SetSize(0);
        m_entryCount = 0;
    }
}

bool TMPHUndoStorage::NewestEntry(int64_t& offset, int32_t& size) const
{
    const int64_t total = SizeConst();
    if (total < MinStackSize)
        return false;
    size = ReadInt(Memory() + total - 4);
    if (size < MinEntrySize || size > total)
        return false;
    offset = total - size;
    return true;
}

bool TMPHUndoStorage::ReadNewest(TMPHUndoEntry& entry) const
{
    int64_t offset = 0;
    int32_t size = 0;
    return NewestEntry(offset, size) && DecodeEntry(Memory() + offset, size, entry);
}

QString TMPHUndoStorage::TextOfNewest() const
{
    TMPHUndoEntry entry;
    if (!ReadNewest(entry))
        return QString();
    const int kind = KindOf(entry.Header.Flags);
    QString text = QString::fromLocal8Bit(entry.Description);
    if (kind == ukCombined && !entry.Data.isEmpty()) {
        const int length = std::min<int>(uint8_t(entry.Data[0]), int(entry.Data.size()) - 1);
        if (length > 0)
            text = QString::fromLocal8Bit(entry.Data.mid(1, length));
    }
    return text.isEmpty() ? DefaultText(kind) : text;
}

void TMPHUndoStorage::RemoveLastUndo()
{
    int64_t offset = 0;
    int32_t size = 0;
    if (!NewestEntry(offset, size)) {
        Reset(false);
        return;
    }
    m_poppedEntry = QByteArray(reinterpret_cast<const char*>(Memory() + offset), size);
    m_poppedDescription = m_undoText;
    SetSize(offset);
    if (m_entryCount > 0)
        --m_entryCount;
    if (m_entryCount > 0 && SizeConst() >= MinStackSize)
        m_undoText = TextOfNewest();
    else
        Reset(false);
}

void TMPHUndoStorage::RepushPopped()
{
    if (m_poppedEntry.isEmpty())
        return;
    const int64_t at = SizeConst();
    TMemoryStream::SetSize(at + m_poppedEntry.size());
    std::memcpy(Memory() + at, m_poppedEntry.constData(), size_t(m_poppedEntry.size()));
    ++m_entryCount;
    m_poppedEntry.clear();
}

void TMPHUndoStorage::SetNewestCaret(int32_t position)
{
    int64_t offset = 0;
    int32_t size = 0;
    if (NewestEntry(offset, size))
        WriteInt(Memory() + offset + 8, position);
}

void TMPHUndoStorage::SetUndoSelection(int32_t position, int32_t count)
{
    int64_t offset = 0;
    int32_t size = 0;
    if (!CanUndo() || !NewestEntry(offset, size))
        return;
    uint8_t* entry = Memory() + offset;
    uint32_t flags = static_cast<uint32_t>(ReadInt(entry + 4));
    if (!(flags & ufSelection)) {
        TMemoryStream::SetSize(SizeConst() + 12);
        entry = Memory() + offset;
        flags |= ufSelection;
        WriteInt(entry + 4, static_cast<int32_t>(flags));
        size += 12;
        WriteInt(entry, size);
        WriteInt(entry + size - 4, size);
    }
    WriteInt(entry + 8, position);
    uint8_t* block = entry + size - 16;
    WriteInt(block, position);
    WriteInt(block + 4, count == 0 ? -1 : position + count - 1);
    WriteInt(block + 8, position);
}

bool TMPHUndoStorage::WalkFromFront(std::vector<int32_t>& sizes) const
{
    sizes.clear();
    const int64_t total = SizeConst();
    int64_t at = 0;
    while (at < total) {
        if (total - at < MinEntrySize)
            return false;
        const int32_t size = ReadInt(Memory() + at);
        if (size < MinEntrySize || size > total - at || ReadInt(Memory() + at + size - 4) != size)
            return false;
        sizes.push_back(size);
        at += size;
    }
    return true;
}

bool TMPHUndoStorage::WalkFromBack(std::vector<int32_t>& sizes) const
{
    sizes.clear();
    int64_t end = SizeConst();
    while (end > 0) {
        if (end < MinEntrySize)
            return false;
        const int32_t size = ReadInt(Memory() + end - 4);
        if (size < MinEntrySize || size > end || ReadInt(Memory() + end - size) != size)
            return false;
        sizes.push_back(size);
        end -= size;
    }
    std::reverse(sizes.begin(), sizes.end());
    return true;
}
