// Recording undo entries, undo and redo. The entry format and the stack
// walking live in core/mphundostorage; this file reads and restores the
// editor's state.

#include "hexeditor/mphexeditor.h"

#include <algorithm>
#include <cstring>

using namespace MPHUndoFlags;
using MPHUndo::ReadInt;
using MPHUndo::WriteInt;

namespace {
// Redo record: 30-byte header, data area, ten bookmarks, selection.
constexpr int32_t RedoHeaderSize = 30;
constexpr int32_t BookmarkSlot = 8;

const uint8_t* bytesOf(const QByteArray& a) { return reinterpret_cast<const uint8_t*>(a.constData()); }
} // namespace

// ---- recording ---------------------------------------------------------------

bool TCustomMPHexEditor::CanCreateUndo(int undoKind, int32_t count, int32_t replCount)
{
    bool allowed = DataSize() > 0;
    if (!allowed)
        allowed = undoKind == ukInsert || undoKind == ukAppend || undoKind == ukAllData;
    if (allowed && NoSizeChangeInForce()) {
        switch (undoKind) {
        case ukRemove:
        case ukInsert:
        case ukAppend:
        case ukInsertNibble:
        case ukDeleteNibble:
            allowed = false;
            break;
        case ukReplace:
            allowed = count == replCount;
            break;
        default:
            break;
        }
    }
    if (!allowed && undoKind == ukCombined)
        allowed = m_undoStorage->EntryCount() >= count;
    return allowed;
}

int TCustomMPHexEditor::UndoBeginUpdate()
{
    m_undoStorage->BeginUpdate();
    return m_undoStorage->SuspendCount();
}

int TCustomMPHexEditor::UndoEndUpdate()
{
    m_undoStorage->EndUpdate();
    return m_undoStorage->SuspendCount();
}

void TCustomMPHexEditor::CreateUndo(int kind, int32_t position, int32_t count, int32_t count2,
                                    const QString& description)
{
    if (!CanCreateUndo(kind, count, count2))
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::CannotUpdateUndo));
    if (m_undoStorage->SuspendCount() == 0)
        RecordUndo(kind, position, count, count2, description);
    m_modified = true;
}

void TCustomMPHexEditor::CombineUndo(int32_t count, const QString& description)
{
    CreateUndo(ukCombined, 0, count, 0, description);
}

QByteArray TCustomMPHexEditor::SavedUndoData(int kind, int32_t position, int32_t count, int32_t count2,
                                             const QString& description, uint32_t& flags)
{
    auto bytesAt = [this](int32_t at, int32_t n) {
        if (n < 0)
            throw EMPHexEditor(MPHStrings::Text(MPHStrings::OutOfBounds));
        QByteArray saved(n, '\0');
        if (n > 0)
            ReadBuffer(saved.data(), at, n);
        return saved;
    };
    auto marked = [this](int32_t at) {
        return !InsertMode() && at >= 0 && at < m_changedBytes.size() && m_changedBytes.testBit(at);
    };
    switch (kind) {
    case ukChangeBytes:
        if (marked(position))
            flags |= ufFirstByteChanged;
        if (count == 2 && marked(position + 1))
            flags |= ufSecondByteChanged;
        return bytesAt(position, count);
    case ukRemove:
    case ukConvert:
        return bytesAt(position, count);
    case ukReplace:
        return bytesAt(position, count2);
    case ukInsertNibble:
    case ukDeleteNibble:
        if (marked(position))
            flags |= ufFirstByteChanged;
        return bytesAt(position, 1);
    case ukCombined: {
        const QByteArray text = description.toLocal8Bit().left(255);
        return char(uint8_t(text.size())) + text;
    }
    case ukAllData:
        return bytesAt(0, DataSize());
    default:
        return QByteArray();
    }
}

void TCustomMPHexEditor::RecordUndo(int kind, int32_t position, int32_t count, int32_t count2,
                                    const QString& description)
{
    TMPHUndoHeader h;
    h.Flags = 1u << kind;
    // Saved bytes first: a range outside the data raises before anything changes.
    const QByteArray data = SavedUndoData(kind, position, count, count2, description, h.Flags);

    const bool charField = CaretInCharField();
    h.CaretPosition = PositionAtCell(Col(), Row());
    if (!charField && Col() != CellAtPosition(h.CaretPosition, false).X)
        h.Flags |= ufSecondNibble;
    if (charField)
        h.Flags |= ufInCharField;
    if (m_insertMode)
        h.Flags |= ufInsertMode;
    if (m_unicodeChars)
        h.Flags |= ufUnicodeChars;
    if (m_unicodeBigEndian)
        h.Flags |= ufUnicodeBigEndian;
    if (m_modified)
        h.Flags |= ufModified;
    h.Position = position;
    h.Count = kind == ukAllData ? DataSize() : count;
    h.Count2 = count2;
    h.Translation = static_cast<uint8_t>(m_translation);
    h.BytesPerUnit = m_bytesPerUnit;

    std::optional<TMPHUndoSelection> selection;
    if (m_selAnchor >= 0)
        selection = TMPHUndoSelection{m_selFirst, m_selLast, m_selAnchor};
    const QByteArray entry = MPHUndo::EncodeEntry(h, data, description.toLocal8Bit(), selection);

    TMPHUndoStorage& s = *m_undoStorage;
    s.ClearRedo();
    s.SetUndoText(description.isEmpty() ? MPHUndo::DefaultText(kind) : description);
    s.PushEntry(entry, m_maxUndo);

    // Bookmarks behind the change follow their bytes. The size checked against
    // is the one after the change, so an insertion keeps the bookmarks it moves.
    const int64_t size = DataSize();
    bool moved = false;
    if (kind == ukRemove)
        moved = m_bookmarks.Shift(position + count, -count, size);
    else if (kind == ukInsert)
        moved = m_bookmarks.Shift(position, count, size + count);
    else if (kind == ukReplace && count != count2)
        moved = m_bookmarks.Shift(position + count2, count - count2, size + count - count2);
    if (moved)
        BookmarkChanged();

    if (kind == ukCursorMove) {
        int64_t offset = 0;
        int32_t entrySize = 0;
        if (s.NewestEntry(offset, entrySize))
            WriteInt(s.Memory() + offset + 8, position);
        s.SetUndoSelection(position, count);
    }
}

// ---- queries and reset ----------------------------------------------------------

bool TCustomMPHexEditor::CanUndo() const
{
    return !m_readOnlyView && m_undoStorage->CanUndo();
}

bool TCustomMPHexEditor::CanRedo() const
{
    return !m_readOnlyView && m_undoStorage->HasRedo();
}

void TCustomMPHexEditor::ResetUndo()
{
    m_undoStorage->Reset(true);
}

// ---- undo --------------------------------------------------------------------------

void TCustomMPHexEditor::Undo()
{
    TMPHUndoStorage& s = *m_undoStorage;
    if (!s.CanUndo()) {
        s.Reset(false);
        return;
    }
    TMPHUndoEntry entry;
    if (s.SizeConst() < MPHUndo::MinStackSize || !s.ReadNewest(entry)) {
        s.Reset(true);
        return;
    }
    if (MPHUndo::KindOf(entry.Header.Flags) == ukCombined) {
        s.RemoveLastUndo();
        const TMPHRedoStep marker{QByteArray(), s.PoppedEntry(), s.PoppedDescription()};
        const int32_t depth = s.RedoUnitCount();
        ++m_redoGroupDepth;
        for (int32_t i = 0; i < entry.Header.Count && s.CanUndo(); ++i)
            Undo();
        --m_redoGroupDepth;
        if (m_multiLevelRedo)
            CollectRedoGroup(depth, marker);
        else
            s.ClearRedo();
        return;
    }
    s.SetRedoRecord(BuildRedoRecord(entry));
    RevertEntry(entry);
    if (m_multiLevelRedo)
        s.PushRedoUnit(s.TakeCurrentRedo(), m_redoGroupDepth > 0 ? 0 : m_maxUndo);
}

void TCustomMPHexEditor::CollectRedoGroup(int32_t depth, const TMPHRedoStep& marker)
{
    TMPHUndoStorage& s = *m_undoStorage;
    TMPHRedoUnit group;
    // The last unit pushed is the oldest step of the group: it is redone first.
    while (s.RedoUnitCount() > depth) {
        TMPHRedoUnit unit = s.PopRedoUnit();
        group.insert(group.end(), unit.begin(), unit.end());
    }
    if (group.empty() || marker.Entry.isEmpty())
        return;
    group.push_back(marker);
    s.PushRedoUnit(std::move(group), m_redoGroupDepth > 0 ? 0 : m_maxUndo);
}

void TCustomMPHexEditor::SetMultiLevelRedo(bool value)
{
    if (value == m_multiLevelRedo)
        return;
    m_multiLevelRedo = value;
    // Without the extension only the single record may remain.
    if (!value && m_undoStorage->RedoUnitCount() > 0)
        m_undoStorage->ClearRedo();
}

void TCustomMPHexEditor::RevertEntry(const TMPHUndoEntry& e)
{
    const TMPHUndoHeader& h = e.Header;
    const int32_t p = h.Position;
    TMPHUndoStorage& s = *m_undoStorage;
    switch (MPHUndo::KindOf(h.Flags)) {
    case ukChangeBytes:
        WriteBuffer(e.Data.constData(), p, h.Count);
        SetChangeMark(p, h.Flags & ufFirstByteChanged);
        if (h.Count == 2)
            SetChangeMark(p + 1, h.Flags & ufSecondByteChanged);
        RestoreAfterUndo(e);
        InvalidateRowsOf(p, p + h.Count - 1);
        break;
    case ukRemove:
        InsertData(e.Data.constData(), h.Count, p);
        RestoreAfterUndo(e);
        // Bookmarks from the removal point on move forward again: those behind
        // the removed bytes return to where they were before the removal.
        if (m_bookmarks.Shift(p, h.Count, DataSize()))
            BookmarkChanged();
        CutChangeMarks(p);
        break;
    case ukInsert:
        DeleteData(p, p + h.Count, -1, -1);
        RestoreAfterUndo(e);
        ShiftBookmarks(p, -h.Count);
        CutChangeMarks(p);
        break;
    case ukReplace:
        DeleteData(p, p + h.Count, -1, -1);
        InsertData(e.Data.constData(), h.Count2, p);
        RestoreAfterUndo(e);
        if (h.Count != h.Count2)
            ShiftBookmarks(p + h.Count, h.Count2 - h.Count);
        CutChangeMarks(std::max(0, p - 1));
        break;
    case ukAppend:
        MoveColRow(TMPHGridGeometry::FirstHexColumn, Row(), true);
        m_dataStorage->SetSize(p);
        UpdateGridSize();
        CutChangeMarks(p);
        RestoreAfterUndo(e);
        break;
    case ukInsertNibble:
    case ukDeleteNibble: {
        if (MPHUndo::KindOf(h.Flags) == ukInsertNibble)
            DeleteNibble(p, false);
        else
            InsertNibble(p, false);
        m_dataStorage->WriteBufferAt(e.Data.constData(), p, 1);
        SetChangeMark(p, h.Flags & ufFirstByteChanged);
        m_dataStorage->SetSize(DataSize() - 1);
        UpdateGridSize();
        RestoreAfterUndo(e);
        CutChangeMarks(p);
        break;
    }
    case ukConvert:
        WriteBuffer(e.Data.constData(), p, h.Count);
        RestoreAfterUndo(e);
        CutChangeMarks(p);
        break;
    case ukAllData:
        m_dataStorage->SetSize(h.Count);
        if (h.Count > 0)
            m_dataStorage->WriteBufferAt(e.Data.constData(), 0, h.Count);
        UpdateGridSize();
        RestoreAfterUndo(e);
        break;
    default:
        RestoreAfterUndo(e);
        break;
    }
    InvalidateGrid();
    s.RemoveLastUndo();
}

void TCustomMPHexEditor::RestoreViewSettings(uint8_t translation, bool unicode, bool bigEndian,
                                             int32_t bytesPerUnit)
{
    SetUnicodeChars(unicode);
    SetUnicodeBigEndian(bigEndian);
    // In unicode mode the setter refuses translations: assign the field.
    if (m_unicodeChars)
        m_translation = static_cast<TMPHTranslationKind>(translation);
    else
        SetTranslation(static_cast<TMPHTranslationKind>(translation));
    SetBytesPerUnit(bytesPerUnit);
}

void TCustomMPHexEditor::RestoreAfterUndo(const TMPHUndoEntry& e)
{
    const TMPHUndoHeader& h = e.Header;
    // Insert mode first: it decides whether the caret may stand after the last byte.
    SetInsertMode(h.Flags & ufInsertMode);
    PlaceCaret(h.CaretPosition, h.Flags & ufInCharField, h.Flags & ufSecondNibble);
    m_modified = h.Flags & ufModified;
    if (e.Selection) {
        if (e.Selection->SelLast == -1) {
            if (DataSize() > 0)
                Seek(e.Selection->SelFirst, 0);
        } else {
            StoreSelection(e.Selection->SelAnchor, e.Selection->SelFirst, e.Selection->SelLast);
        }
    } else {
        ResetSelection(false);
    }
    RestoreViewSettings(h.Translation, h.Flags & ufUnicodeChars, h.Flags & ufUnicodeBigEndian, h.BytesPerUnit);
    InvalidateGrid();
    Changed();
}

// ---- redo --------------------------------------------------------------------------

QByteArray TCustomMPHexEditor::BuildRedoRecord(const TMPHUndoEntry& e)
{
    const int kind = MPHUndo::KindOf(e.Header.Flags);
    TMPHUndoHeader h = e.Header;
    h.Flags = kind <= 10 ? 1u << kind : 0;
    QByteArray data;
    const int32_t size = DataSize();
    auto present = [&](int32_t at, int32_t n) {
        n = std::clamp(n, 0, std::max(0, size - at));
        QByteArray bytes(n, '\0');
        if (n > 0)
            m_dataStorage->ReadBufferAt(bytes.data(), at, n);
        return bytes;
    };
    switch (kind) {
    case ukChangeBytes:
        data = present(h.Position, h.Count);
        if (!InsertMode() && h.Position < m_changedBytes.size() && m_changedBytes.testBit(h.Position))
            h.Flags |= ufFirstByteChanged;
        if (h.Count == 2 && !InsertMode() && h.Position + 1 < m_changedBytes.size()
            && m_changedBytes.testBit(h.Position + 1))
            h.Flags |= ufSecondByteChanged;
        break;
    case ukAppend:
        data = present(h.Position, size - h.Position);
        break;
    case ukInsertNibble:
    case ukDeleteNibble:
    case ukAllData:
        data = present(0, size);
        h.Count = size;
        break;
    case ukInsert:
    case ukReplace:
    case ukConvert:
        data = present(h.Position, h.Count);
        break;
    case ukRemove:
    case ukCursorMove:
        break;
    default:
        return QByteArray();
    }
    const bool charField = CaretInCharField();
    h.CaretPosition = PositionAtCell(Col(), Row());
    if (!charField && Col() != CellAtPosition(h.CaretPosition, false).X)
        h.Flags |= ufSecondNibble;
    h.Flags |= (charField ? ufInCharField : 0) | (m_insertMode ? ufInsertMode : 0)
               | (m_unicodeChars ? ufUnicodeChars : 0) | (m_unicodeBigEndian ? ufUnicodeBigEndian : 0)
               | (m_modified ? ufModified : 0);
    h.Translation = static_cast<uint8_t>(m_translation);
    h.BytesPerUnit = m_bytesPerUnit;

    const int32_t d = kind == ukChangeBytes ? std::max(0, int32_t(data.size()) - 1) : int32_t(data.size());
    QByteArray record(RedoHeaderSize + d + MPHUndo::BookmarkCopySize + 12, '\0');
    auto* r = reinterpret_cast<uint8_t*>(record.data());
    WriteInt(r, RedoHeaderSize + d);
    MPHUndo::WriteHeader(r, h);
    if (!data.isEmpty())
        std::memcpy(r + MPHUndo::HeaderSize, data.constData(), size_t(data.size()));
    uint8_t* marks = r + RedoHeaderSize + d;
    for (int i = 0; i < TMPHBookmarks::Count; ++i) {
        WriteInt(marks + i * BookmarkSlot, m_bookmarks.At(i).mPosition);
        marks[i * BookmarkSlot + 4] = m_bookmarks.At(i).mInCharField ? 1 : 0;
    }
    uint8_t* sel = marks + MPHUndo::BookmarkCopySize;
    WriteInt(sel, m_selFirst);
    WriteInt(sel + 4, m_selLast);
    WriteInt(sel + 8, m_selAnchor);
    return record;
}

void TCustomMPHexEditor::ApplyRedoData(const QByteArray& record)
{
    const uint8_t* r = bytesOf(record);
    const TMPHUndoHeader h = MPHUndo::ReadHeader(r);
    const int kind = MPHUndo::KindOf(h.Flags);
    const char* data = record.constData() + MPHUndo::HeaderSize;
    const int32_t p = h.Position;
    switch (kind) {
    case ukChangeBytes:
        WriteBuffer(data, p, h.Count);
        break;
    case ukRemove:
        DeleteData(p, p + h.Count, -1, -1);
        break;
    case ukInsert:
        InsertData(data, h.Count, p);
        break;
    case ukReplace:
        DeleteData(p, p + h.Count2, -1, -1);
        InsertData(data, h.Count, p);
        break;
    case ukConvert:
        DeleteData(p, p + h.Count, -1, -1);
        InsertData(data, h.Count, p);
        break;
    case ukAppend:
        AppendData(data, ReadInt(r) - RedoHeaderSize);
        break;
    case ukInsertNibble:
    case ukDeleteNibble:
    case ukAllData:
        m_dataStorage->SetSize(h.Count);
        if (h.Count > 0)
            m_dataStorage->WriteBufferAt(data, 0, h.Count);
        UpdateGridSize();
        break;
    default:
        break;
    }
}

void TCustomMPHexEditor::Redo()
{
    TMPHUndoStorage& s = *m_undoStorage;
    if (!s.HasRedo())
        return;
    if (m_multiLevelRedo && s.RedoRecord().isEmpty() && s.RedoUnitCount() > 0) {
        RedoUnit(s.PopRedoUnit());
        return;
    }
    RedoCurrentRecord();
}

void TCustomMPHexEditor::RedoCurrentRecord()
{
    TMPHUndoStorage& s = *m_undoStorage;
    const QByteArray record = s.RedoRecord();
    ApplyRedoData(record);
    RestoreAfterRedo(record);
    s.ClearCurrentRedo();
    Changed();
}

void TCustomMPHexEditor::RedoUnit(const TMPHRedoUnit& unit)
{
    TMPHUndoStorage& s = *m_undoStorage;
    for (const TMPHRedoStep& step : unit) {
        s.RestoreRedoStep(step);
        if (!step.Record.isEmpty()) {
            RedoCurrentRecord();
            continue;
        }
        // A group's marker: back on the stack above the steps it groups.
        s.RepushPopped();
        s.SetUndoText(step.Description);
        s.ClearCurrentRedo();
    }
    Changed();
}

void TCustomMPHexEditor::RestoreAfterRedo(const QByteArray& record)
{
    const uint8_t* r = bytesOf(record);
    const TMPHUndoHeader h = MPHUndo::ReadHeader(r);
    const uint8_t* marks = r + ReadInt(r);
    TMPHBookmarks::Table table;
    for (int i = 0; i < TMPHBookmarks::Count; ++i)
        table[size_t(i)] = TMPHBookmark{ReadInt(marks + i * BookmarkSlot), marks[i * BookmarkSlot + 4] != 0};
    m_bookmarks.SetAll(table);

    SetInsertMode(h.Flags & ufInsertMode);
    PlaceCaret(h.CaretPosition, h.Flags & ufInCharField, h.Flags & ufSecondNibble);
    m_modified = h.Flags & ufModified;
    const uint8_t* sel = marks + MPHUndo::BookmarkCopySize;
    m_selFirst = ReadInt(sel);
    m_selLast = ReadInt(sel + 4);
    m_selAnchor = ReadInt(sel + 8);
    RestoreViewSettings(h.Translation, h.Flags & ufUnicodeChars, h.Flags & ufUnicodeBigEndian, h.BytesPerUnit);

    SetChangeMark(h.Position, h.Flags & ufFirstByteChanged);
    if (MPHUndo::KindOf(h.Flags) == ukChangeBytes && h.Count == 2)
        SetChangeMark(h.Position + 1, h.Flags & ufSecondByteChanged);

    TMPHUndoStorage& s = *m_undoStorage;
    s.RepushPopped();
    s.SetUndoText(s.PoppedDescription());
    InvalidateGrid();
    BookmarkChanged();
}
