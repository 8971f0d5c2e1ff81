// Recording undo entries, the view state they keep, undo and redo. The entry
// format, the redo record and the stack walking live in core/mphundostorage;
// the per-kind reverting and re-applying in editor_undokinds.cpp.

#include "hexeditor/mphexeditor.h"

#include <algorithm>
#include <cstring>

using namespace MPHUndoFlags;

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
        allowed = m_undo.Storage->EntryCount() >= count;
    return allowed;
}

int TCustomMPHexEditor::UndoBeginUpdate()
{
    m_undo.Storage->BeginUpdate();
    return m_undo.Storage->SuspendCount();
}

int TCustomMPHexEditor::UndoEndUpdate()
{
    m_undo.Storage->EndUpdate();
    return m_undo.Storage->SuspendCount();
}

void TCustomMPHexEditor::CreateUndo(int kind, int32_t position, int32_t count, int32_t count2,
                                    const QString& description)
{
    if (!CanCreateUndo(kind, count, count2))
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::CannotUpdateUndo));
    if (m_undo.Storage->SuspendCount() == 0)
        RecordUndo(kind, position, count, count2, description);
    m_document.Modified = true;
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
        return !InsertMode() && at >= 0 && at < m_document.ChangedBytes.size() && m_document.ChangedBytes.testBit(at);
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
    // Saved bytes first: a range outside the data raises before anything
    // changes. Kinds that save a plain copy of the data get it written
    // straight into the stack (no copy of a large range beside it).
    int64_t directBytes = -1;
    if (kind == ukRemove || kind == ukConvert || kind == ukReplace || kind == ukAllData) {
        const int32_t at = kind == ukAllData ? 0 : position;
        directBytes = kind == ukAllData ? DataSize() : kind == ukReplace ? count2 : count;
        if (at < 0 || directBytes < 0 || int64_t(at) + directBytes > DataSize())
            throw EMPHexEditor(MPHStrings::Text(MPHStrings::OutOfBounds));
    }
    const QByteArray data =
        directBytes < 0 ? SavedUndoData(kind, position, count, count2, description, h.Flags) : QByteArray();

    MPHUndo::StoreViewState(h, CaptureViewState());
    h.Position = position;
    h.Count = kind == ukAllData ? DataSize() : count;
    h.Count2 = count2;

    std::optional<TMPHUndoSelection> selection;
    if (m_selection.Anchor >= 0)
        selection = TMPHUndoSelection{m_selection.First, m_selection.Last, m_selection.Anchor};

    TMPHUndoStorage& s = *m_undo.Storage;
    s.ClearRedo();
    s.SetUndoText(description.isEmpty() ? MPHUndo::DefaultText(kind) : description);
    if (directBytes < 0) {
        s.PushEntry(MPHUndo::EncodeEntry(h, data, description.toLocal8Bit(), selection), m_undo.MaxUndo);
    } else {
        uint8_t* saved = s.PushEntryInPlace(h, directBytes, description.toLocal8Bit(), selection, m_undo.MaxUndo);
        if (directBytes > 0)
            m_document.Data->PeekBytes(kind == ukAllData ? 0 : position, saved, directBytes);
    }

    // Bookmarks behind the change follow their bytes. The size checked against
    // is the one after the change, so an insertion keeps the bookmarks it moves.
    const int64_t size = DataSize();
    bool moved = false;
    if (kind == ukRemove)
        moved = m_document.Bookmarks.Shift(position + count, -count, size);
    else if (kind == ukInsert)
        moved = m_document.Bookmarks.Shift(position, count, size + count);
    else if (kind == ukReplace && count != count2)
        moved = m_document.Bookmarks.Shift(position + count2, count - count2, size + count - count2);
    if (moved)
        BookmarkChanged();

    if (kind == ukCursorMove) {
        s.SetNewestCaret(position);
        s.SetUndoSelection(position, count);
    }
}

// ---- queries and reset ----------------------------------------------------------

bool TCustomMPHexEditor::CanUndo() const
{
    return !m_readOnlyView && m_undo.Storage->CanUndo();
}

bool TCustomMPHexEditor::CanRedo() const
{
    return !m_readOnlyView && m_undo.Storage->HasRedo();
}

void TCustomMPHexEditor::ResetUndo()
{
    m_undo.Storage->Reset(true);
}

// ---- the view state ------------------------------------------------------------------

TMPHViewState TCustomMPHexEditor::CaptureViewState()
{
    TMPHViewState v;
    v.InCharField = CaretInCharField();
    v.CaretPosition = PositionAtCell(Col(), Row());
    v.SecondNibble = !v.InCharField && Col() != CellAtPosition(v.CaretPosition, false).X;
    v.InsertMode = m_insertMode;
    v.UnicodeChars = m_unicodeChars;
    v.UnicodeBigEndian = m_unicodeBigEndian;
    v.Modified = m_document.Modified;
    v.Translation = static_cast<uint8_t>(m_translation);
    v.BytesPerUnit = m_bytesPerUnit;
    return v;
}

void TCustomMPHexEditor::RestoreViewState(const TMPHViewState& v, const std::function<void()>& putSelection)
{
    // Insert mode first: it decides whether the caret may stand after the last byte.
    SetInsertMode(v.InsertMode);
    PlaceCaret(v.CaretPosition, v.InCharField, v.SecondNibble);
    m_document.Modified = v.Modified;
    // The selection before the settings: a new BytesPerUnit may drop it.
    putSelection();
    SetUnicodeChars(v.UnicodeChars);
    SetUnicodeBigEndian(v.UnicodeBigEndian);
    // In unicode mode the setter refuses translations: assign the field.
    if (m_unicodeChars) {
        if (m_translation != static_cast<TMPHTranslationKind>(v.Translation))
            viewport()->update();
        m_translation = static_cast<TMPHTranslationKind>(v.Translation);
    } else
        SetTranslation(static_cast<TMPHTranslationKind>(v.Translation));
    SetBytesPerUnit(v.BytesPerUnit);
}

// ---- undo --------------------------------------------------------------------------

void TCustomMPHexEditor::Undo()
{
    TMPHUndoStorage& s = *m_undo.Storage;
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
        ++m_undo.RedoGroupDepth;
        for (int32_t i = 0; i < entry.Header.Count && s.CanUndo(); ++i)
            Undo();
        --m_undo.RedoGroupDepth;
        if (m_undo.MultiLevelRedo)
            CollectRedoGroup(depth, marker);
        else
            s.ClearRedo();
        return;
    }
    s.SetRedoRecord(BuildRedoRecord(entry));
    RevertEntry(entry);
    if (m_undo.MultiLevelRedo)
        s.PushRedoUnit(s.TakeCurrentRedo(), m_undo.RedoGroupDepth > 0 ? 0 : m_undo.MaxUndo);
}

void TCustomMPHexEditor::CollectRedoGroup(int32_t depth, const TMPHRedoStep& marker)
{
    TMPHUndoStorage& s = *m_undo.Storage;
    TMPHRedoUnit group;
    // The last unit pushed is the oldest step of the group: it is redone first.
    while (s.RedoUnitCount() > depth) {
        TMPHRedoUnit unit = s.PopRedoUnit();
        group.insert(group.end(), unit.begin(), unit.end());
    }
    if (group.empty() || marker.Entry.isEmpty())
        return;
    group.push_back(marker);
    s.PushRedoUnit(std::move(group), m_undo.RedoGroupDepth > 0 ? 0 : m_undo.MaxUndo);
}

void TCustomMPHexEditor::SetMultiLevelRedo(bool value)
{
    if (value == m_undo.MultiLevelRedo)
        return;
    m_undo.MultiLevelRedo = value;
    // Without the extension only the single record may remain.
    if (!value && m_undo.Storage->RedoUnitCount() > 0)
        m_undo.Storage->ClearRedo();
}

TMPHDataChange TCustomMPHexEditor::RevertEntry(const TMPHUndoEntry& e)
{
    TMPHDataChange change;
    switch (MPHUndo::KindOf(e.Header.Flags)) {
    case ukChangeBytes: change = UndoChangeBytes(e); break;
    case ukRemove: change = UndoRemove(e); break;
    case ukInsert: change = UndoInsert(e); break;
    case ukReplace: change = UndoReplace(e); break;
    case ukAppend: change = UndoAppend(e); break;
    case ukInsertNibble:
    case ukDeleteNibble: change = UndoNibble(e); break;
    case ukConvert: change = UndoConvert(e); break;
    case ukAllData: change = UndoAllData(e); break;
    default: change = UndoCursorMove(e); break;
    }
    ApplyDataChange(change);
    m_undo.Storage->RemoveLastUndo();
    return change;
}

void TCustomMPHexEditor::RestoreAfterUndo(const TMPHUndoEntry& e)
{
    const int32_t oldFirst = m_selection.First;
    const int32_t oldLast = m_selection.Last;
    RestoreViewState(MPHUndo::ViewStateOf(e.Header), [this, &e] {
        if (!e.Selection)
            ResetSelection(false);
        else if (e.Selection->SelLast != -1)
            StoreSelection(e.Selection->SelAnchor, e.Selection->SelFirst, e.Selection->SelLast);
        else if (DataSize() > 0)
            Seek(e.Selection->SelFirst, 0);
    });
    SelectionMoved(oldFirst, oldLast);
    Changed();
}

// ---- redo --------------------------------------------------------------------------

QByteArray TCustomMPHexEditor::BuildRedoRecord(const TMPHUndoEntry& e)
{
    const int kind = MPHUndo::KindOf(e.Header.Flags);
    TMPHRedoRecord r;
    r.Header = e.Header;
    r.Header.Flags = kind <= 10 ? 1u << kind : 0;
    const int32_t size = DataSize();
    auto present = [&](int32_t at, int32_t n) {
        n = std::clamp(n, 0, std::max(0, size - at));
        QByteArray bytes(n, '\0');
        if (n > 0)
            m_document.Data->ReadBufferAt(bytes.data(), at, n);
        return bytes;
    };
    auto marked = [this](int32_t at) {
        return !InsertMode() && at < m_document.ChangedBytes.size() && m_document.ChangedBytes.testBit(at);
    };
    TMPHUndoHeader& h = r.Header;
    switch (kind) {
    case ukChangeBytes:
        r.Data = present(h.Position, h.Count);
        if (marked(h.Position))
            h.Flags |= ufFirstByteChanged;
        if (h.Count == 2 && marked(h.Position + 1))
            h.Flags |= ufSecondByteChanged;
        break;
    case ukAppend:
        r.Data = present(h.Position, size - h.Position);
        break;
    case ukInsertNibble:
    case ukDeleteNibble:
    case ukAllData:
        r.Data = present(0, size);
        h.Count = size;
        break;
    case ukInsert:
    case ukReplace:
    case ukConvert:
        r.Data = present(h.Position, h.Count);
        break;
    case ukRemove:
    case ukCursorMove:
        break;
    default:
        return QByteArray();
    }
    MPHUndo::StoreViewState(h, CaptureViewState());
    r.Bookmarks = m_document.Bookmarks.All();
    r.Selection = TMPHUndoSelection{m_selection.First, m_selection.Last, m_selection.Anchor};
    return MPHUndo::EncodeRedoRecord(r);
}

TMPHDataChange TCustomMPHexEditor::ApplyRedoData(const TMPHRedoRecord& r)
{
    switch (MPHUndo::KindOf(r.Header.Flags)) {
    case ukChangeBytes: return RedoChangeBytes(r);
    case ukRemove: return RedoRemove(r);
    case ukInsert: return RedoInsert(r);
    case ukReplace: return RedoReplace(r);
    case ukConvert: return RedoConvert(r);
    case ukAppend: return RedoAppend(r);
    case ukInsertNibble:
    case ukDeleteNibble:
    case ukAllData: return RedoWholeData(r);
    default: return {r.Header.Position, 0, 0};
    }
}

void TCustomMPHexEditor::Redo()
{
    TMPHUndoStorage& s = *m_undo.Storage;
    if (!s.HasRedo())
        return;
    if (m_undo.MultiLevelRedo && s.RedoRecord().isEmpty() && s.RedoUnitCount() > 0) {
        RedoUnit(s.PopRedoUnit());
        return;
    }
    RedoCurrentRecord();
}

void TCustomMPHexEditor::RedoCurrentRecord()
{
    TMPHUndoStorage& s = *m_undo.Storage;
    TMPHRedoRecord record;
    if (MPHUndo::DecodeRedoRecord(s.RedoRecord(), record)) {
        ApplyDataChange(ApplyRedoData(record));
        RestoreAfterRedo(record);
    }
    s.ClearCurrentRedo();
    Changed();
}

void TCustomMPHexEditor::RedoUnit(const TMPHRedoUnit& unit)
{
    TMPHUndoStorage& s = *m_undo.Storage;
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

void TCustomMPHexEditor::RestoreAfterRedo(const TMPHRedoRecord& r)
{
    const TMPHUndoHeader& h = r.Header;
    if (m_document.Bookmarks.All() != r.Bookmarks) {
        m_document.Bookmarks.SetAll(r.Bookmarks);
        viewport()->update();
    }
    const int32_t oldFirst = m_selection.First;
    const int32_t oldLast = m_selection.Last;
    RestoreViewState(MPHUndo::ViewStateOf(h), [this, &r] {
        m_selection.First = r.Selection.SelFirst;
        m_selection.Last = r.Selection.SelLast;
        m_selection.Anchor = r.Selection.SelAnchor;
    });
    SelectionMoved(oldFirst, oldLast);
    SetChangeMark(h.Position, h.Flags & ufFirstByteChanged);
    if (MPHUndo::KindOf(h.Flags) == ukChangeBytes && h.Count == 2)
        SetChangeMark(h.Position + 1, h.Flags & ufSecondByteChanged);

    TMPHUndoStorage& s = *m_undo.Storage;
    s.RepushPopped();
    s.SetUndoText(s.PoppedDescription());
    BookmarkChanged();
}
