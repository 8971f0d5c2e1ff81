#pragma once
// Undo storage: a byte stack of undo entries inside a memory stream.
// This step holds what loading and emptying a document need: the entry count,
// the suspension counter and emptying; recording and undoing come with the
// editing operations.

#include "platform/core/streams.h"
#include <QString>
#include <cstdint>

class TCustomMPHexEditor;

class TMPHUndoStorage : public TMemoryStream
{
public:
    explicit TMPHUndoStorage(TCustomMPHexEditor* owner) : m_owner(owner) {}

    void SetSize(int64_t newSize) override;

    int32_t EntryCount() const { return m_entryCount; }
    int32_t SuspendCount() const { return m_suspendCount; }
    void BeginUpdate() { ++m_suspendCount; }
    void EndUpdate() { if (m_suspendCount > 0) --m_suspendCount; }
    // Empties the stack and forgets the redo record.
    void Reset();
    const QString& UndoText() const { return m_undoText; }
    TCustomMPHexEditor* OwnerEditor() const { return m_owner; }

private:
    TCustomMPHexEditor* m_owner;
    int32_t m_entryCount = 0;
    int32_t m_suspendCount = 0;
    QString m_undoText;
};
