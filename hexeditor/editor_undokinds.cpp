// Undo and redo, one function per entry kind: each changes the data the way
// its kind needs and returns the change it made. The entry format and the
// redo record live in core/mphundostorage; editor_undo.cpp dispatches here.

#include "hexeditor/mphexeditor.h"

#include <algorithm>

using namespace MPHUndoFlags;

// ---- undo ----------------------------------------------------------------------------

TMPHDataChange TCustomMPHexEditor::UndoChangeBytes(const TMPHUndoEntry& e)
{
    const TMPHUndoHeader& h = e.Header;
    const int32_t p = h.Position;
    WriteBuffer(e.Data.constData(), p, h.Count);
    SetChangeMark(p, h.Flags & ufFirstByteChanged);
    if (h.Count == 2)
        SetChangeMark(p + 1, h.Flags & ufSecondByteChanged);
    RestoreAfterUndo(e);
    return {p, h.Count, h.Count};
}

TMPHDataChange TCustomMPHexEditor::UndoRemove(const TMPHUndoEntry& e)
{
    const TMPHUndoHeader& h = e.Header;
    const int32_t p = h.Position;
    InsertData(e.Data.constData(), h.Count, p);
    RestoreAfterUndo(e);
    // Bookmarks from the removal point on move forward again: those behind
    // the removed bytes return to where they were before the removal.
    if (m_document.Bookmarks.Shift(p, h.Count, DataSize()))
        BookmarkChanged();
    CutChangeMarks(p);
    return {p, 0, h.Count};
}

TMPHDataChange TCustomMPHexEditor::UndoInsert(const TMPHUndoEntry& e)
{
    const TMPHUndoHeader& h = e.Header;
    const int32_t p = h.Position;
    DeleteData(p, p + h.Count, -1, -1);
    RestoreAfterUndo(e);
    ShiftBookmarks(p, -h.Count);
    CutChangeMarks(p);
    return {p, h.Count, 0};
}

TMPHDataChange TCustomMPHexEditor::UndoReplace(const TMPHUndoEntry& e)
{
    const TMPHUndoHeader& h = e.Header;
    const int32_t p = h.Position;
    DeleteData(p, p + h.Count, -1, -1);
    InsertData(e.Data.constData(), h.Count2, p);
    RestoreAfterUndo(e);
    if (h.Count != h.Count2)
        ShiftBookmarks(p + h.Count, h.Count2 - h.Count);
    CutChangeMarks(std::max(0, p - 1));
    return {p, h.Count, h.Count2};
}

TMPHDataChange TCustomMPHexEditor::UndoAppend(const TMPHUndoEntry& e)
{
    const int32_t p = e.Header.Position;
    const int32_t oldSize = DataSize();
    MoveColRow(TMPHGridGeometry::FirstHexColumn, Row(), true);
    m_document.Data->SetSize(p);
    UpdateGridSize();
    CutChangeMarks(p);
    RestoreAfterUndo(e);
    return {p, oldSize - p, 0};
}

TMPHDataChange TCustomMPHexEditor::UndoNibble(const TMPHUndoEntry& e)
{
    const TMPHUndoHeader& h = e.Header;
    const int32_t p = h.Position;
    const int32_t oldSize = DataSize();
    if (MPHUndo::KindOf(h.Flags) == ukInsertNibble)
        DeleteNibble(p, false);
    else
        InsertNibble(p, false);
    m_document.Data->WriteBufferAt(e.Data.constData(), p, 1);
    SetChangeMark(p, h.Flags & ufFirstByteChanged);
    m_document.Data->SetSize(DataSize() - 1);
    UpdateGridSize();
    RestoreAfterUndo(e);
    CutChangeMarks(p);
    return {p, oldSize - p, DataSize() - p};
}

TMPHDataChange TCustomMPHexEditor::UndoConvert(const TMPHUndoEntry& e)
{
    const TMPHUndoHeader& h = e.Header;
    WriteBuffer(e.Data.constData(), h.Position, h.Count);
    RestoreAfterUndo(e);
    CutChangeMarks(h.Position);
    return {h.Position, h.Count, h.Count};
}

TMPHDataChange TCustomMPHexEditor::UndoAllData(const TMPHUndoEntry& e)
{
    const TMPHUndoHeader& h = e.Header;
    const int32_t oldSize = DataSize();
    m_document.Data->SetSize(h.Count);
    if (h.Count > 0)
        m_document.Data->WriteBufferAt(e.Data.constData(), 0, h.Count);
    UpdateGridSize();
    RestoreAfterUndo(e);
    return {0, oldSize, h.Count};
}

TMPHDataChange TCustomMPHexEditor::UndoCursorMove(const TMPHUndoEntry& e)
{
    RestoreAfterUndo(e);
    return {e.Header.Position, 0, 0};
}

// ---- redo ----------------------------------------------------------------------------

TMPHDataChange TCustomMPHexEditor::RedoChangeBytes(const TMPHRedoRecord& r)
{
    const TMPHUndoHeader& h = r.Header;
    WriteBuffer(r.Data.constData(), h.Position, h.Count);
    return {h.Position, h.Count, h.Count};
}

TMPHDataChange TCustomMPHexEditor::RedoRemove(const TMPHRedoRecord& r)
{
    const TMPHUndoHeader& h = r.Header;
    DeleteData(h.Position, h.Position + h.Count, -1, -1);
    return {h.Position, h.Count, 0};
}

TMPHDataChange TCustomMPHexEditor::RedoInsert(const TMPHRedoRecord& r)
{
    const TMPHUndoHeader& h = r.Header;
    InsertData(r.Data.constData(), h.Count, h.Position);
    return {h.Position, 0, h.Count};
}

TMPHDataChange TCustomMPHexEditor::RedoReplace(const TMPHRedoRecord& r)
{
    const TMPHUndoHeader& h = r.Header;
    DeleteData(h.Position, h.Position + h.Count2, -1, -1);
    InsertData(r.Data.constData(), h.Count, h.Position);
    return {h.Position, h.Count2, h.Count};
}

TMPHDataChange TCustomMPHexEditor::RedoConvert(const TMPHRedoRecord& r)
{
    const TMPHUndoHeader& h = r.Header;
    DeleteData(h.Position, h.Position + h.Count, -1, -1);
    InsertData(r.Data.constData(), h.Count, h.Position);
    return {h.Position, h.Count, h.Count};
}

TMPHDataChange TCustomMPHexEditor::RedoAppend(const TMPHRedoRecord& r)
{
    const int32_t at = DataSize();
    const int32_t count = int32_t(r.Data.size());
    AppendData(r.Data.constData(), count);
    return {at, 0, count};
}

TMPHDataChange TCustomMPHexEditor::RedoWholeData(const TMPHRedoRecord& r)
{
    const int32_t count = r.Header.Count;
    const int32_t oldSize = DataSize();
    m_document.Data->SetSize(count);
    if (count > 0)
        m_document.Data->WriteBufferAt(r.Data.constData(), 0, count);
    UpdateGridSize();
    return {0, oldSize, count};
}
