#pragma once
// Undo storage: a byte stack of undo entries inside a memory stream, the one
// redo record, and the copy of the entry the last undo removed.
//
// Entry layout (all integers 32-bit little-endian signed):
//   0  EntrySize            total length (repeated as the last 4 bytes)
//   4  Flags                one kind bit (0..10) plus the uf* flags
//   8  caret position
//  12  Position, 16 Count, 20 Count2
//  24  Translation (1 byte), 25 BytesPerUnit
//  29  data (N >= 1 bytes)
//      [description text (L bytes), L]          with ufDescription
//      [SelFirst, SelLast, SelAnchor]           with ufSelection
//      EntrySize
// This file holds the widget-free part: encoding, walking from both ends,
// dropping the oldest and popping the newest entry, the redo record's codec
// and the view state's flags. Reading and restoring the editor's state lives
// beside the editor (editor_undo.cpp, editor_undokinds.cpp).

#include "hexeditor/core/mphbookmarks.h"
#include "platform/core/streams.h"
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class TCustomMPHexEditor;

enum TMPHUndoKind : int {
    ukChangeBytes,
    ukRemove,
    ukInsert,
    ukReplace,
    ukAppend,
    ukInsertNibble,
    ukDeleteNibble,
    ukConvert,
    ukCursorMove,
    ukCombined,
    ukAllData
};

// Flag bits besides the kind bit.
namespace MPHUndoFlags {
inline constexpr uint32_t ufKindMask = 0x7FF;
inline constexpr uint32_t ufFirstByteChanged = 0x800;
inline constexpr uint32_t ufSecondByteChanged = 0x1000;
inline constexpr uint32_t ufModified = 0x2000;
inline constexpr uint32_t ufSecondNibble = 0x4000;
inline constexpr uint32_t ufInCharField = 0x8000;
inline constexpr uint32_t ufSelection = 0x10000;
inline constexpr uint32_t ufInsertMode = 0x20000;
inline constexpr uint32_t ufUnicodeChars = 0x40000;
inline constexpr uint32_t ufUnicodeBigEndian = 0x80000;
inline constexpr uint32_t ufDescription = 0x100000;
} // namespace MPHUndoFlags

// The fixed part of an entry (bytes 4..28) and of the redo record.
struct TMPHUndoHeader
{
    uint32_t Flags = 0;
    int32_t CaretPosition = 0;
    int32_t Position = 0;
    int32_t Count = 0;
    int32_t Count2 = 0;
    uint8_t Translation = 0;
    int32_t BytesPerUnit = 1;
};

struct TMPHUndoSelection
{
    int32_t SelFirst = -1;
    int32_t SelLast = -1;
    int32_t SelAnchor = -1;
    bool operator==(const TMPHUndoSelection&) const = default;
};

// The editor's view state an entry and a redo record keep: where the caret
// stood and the settings undo and redo put back.
struct TMPHViewState
{
    int32_t CaretPosition = 0;
    bool InCharField = false;
    bool SecondNibble = false; // in the hex field, on the byte's second digit
    bool InsertMode = false;   // the stored switch
    bool UnicodeChars = false;
    bool UnicodeBigEndian = false;
    bool Modified = false;
    uint8_t Translation = 0;
    int32_t BytesPerUnit = 1;
    bool operator==(const TMPHViewState&) const = default;
};

// The one redo record, decoded. Laid out as a 30-byte header like an entry's
// whose first int32 is the offset of the bookmark copy (30 + D), the redo
// data area of D + 1 bytes from offset 29 (D is Count - 1 for ukChangeBytes,
// else the number of data bytes, leaving one spare byte), the ten bookmarks
// (an int32 position and a field byte, 8 bytes each), and SelFirst, SelLast,
// SelAnchor.
struct TMPHRedoRecord
{
    TMPHUndoHeader Header;
    QByteArray Data; // for ukChangeBytes the whole data area
    TMPHBookmarks::Table Bookmarks{};
    TMPHUndoSelection Selection;
};

// One entry decoded from the stack.
struct TMPHUndoEntry
{
    TMPHUndoHeader Header;
    QByteArray Data;        // the N saved bytes
    QByteArray Description; // 8-bit text; empty without ufDescription
    std::optional<TMPHUndoSelection> Selection;
    int32_t Size = 0;
};

namespace MPHUndo {
inline constexpr int32_t HeaderSize = 29;
// A stack shorter than this holds no entry.
inline constexpr int32_t MinStackSize = 30;
// Size of an entry with one data byte and no optional blocks.
inline constexpr int32_t MinEntrySize = 34;
inline constexpr int32_t BookmarkCopySize = 80;

// Index of the lowest kind bit, 11 when none is set.
int KindOf(uint32_t flags);
// The text an entry of the kind gets when no description is given.
QString DefaultText(int kind);

int32_t ReadInt(const uint8_t* p);
void WriteInt(uint8_t* p, int32_t value);
void WriteHeader(uint8_t* entry, const TMPHUndoHeader& header);
TMPHUndoHeader ReadHeader(const uint8_t* entry);

// Bytes of an entry with dataSize data bytes (at least one is stored).
int64_t EncodedEntrySize(int64_t dataSize, const QByteArray& description, bool selection);
// Writes everything of an entry at p but its data bytes.
void WriteEntryFrame(uint8_t* p, const TMPHUndoHeader& header, int64_t dataSize, const QByteArray& description,
                     const std::optional<TMPHUndoSelection>& selection);
// Builds the bytes of one entry. data may be empty (one zero byte is stored).
QByteArray EncodeEntry(const TMPHUndoHeader& header, const QByteArray& data, const QByteArray& description,
                       const std::optional<TMPHUndoSelection>& selection);
// Decodes an entry of size bytes; false when its sizes do not add up.
bool DecodeEntry(const uint8_t* entry, int32_t size, TMPHUndoEntry& out);

inline constexpr int32_t RedoHeaderSize = 30;
inline constexpr int32_t BookmarkSlot = 8;
inline constexpr int32_t RedoSelectionSize = 12;

// The view state into a header (caret, its flags, translation, bytes per
// unit; other flags are kept) and back out of one.
void StoreViewState(TMPHUndoHeader& header, const TMPHViewState& state);
TMPHViewState ViewStateOf(const TMPHUndoHeader& header);

// The bytes of a redo record, and back; decoding fails (false) when the
// record is too short for its own offsets.
QByteArray EncodeRedoRecord(const TMPHRedoRecord& record);
bool DecodeRedoRecord(const QByteArray& bytes, TMPHRedoRecord& out);
} // namespace MPHUndo

// One undone step kept for redo beyond the single record: the redo record
// built when it was undone (empty for a group marker), the entry the undo
// popped, and the undo text at that moment.
struct TMPHRedoStep
{
    QByteArray Record;
    QByteArray Entry;
    QString Description;
    int64_t Bytes() const { return Record.size() + Entry.size(); }
};
// What one redo command re-applies, in order: one step, or for an undone
// group its steps oldest first followed by the group's marker.
using TMPHRedoUnit = std::vector<TMPHRedoStep>;

class TMPHUndoStorage : public TMemoryStream
{
public:
    explicit TMPHUndoStorage(TCustomMPHexEditor* owner) : m_owner(owner) {}

    void SetSize(int64_t newSize) override;

    int32_t EntryCount() const { return m_entryCount; }
    int32_t SuspendCount() const { return m_suspendCount; }
    void BeginUpdate() { ++m_suspendCount; }
    void EndUpdate() { if (m_suspendCount > 0) --m_suspendCount; }
    TCustomMPHexEditor* OwnerEditor() const { return m_owner; }

    const QString& UndoText() const { return m_undoText; }
    void SetUndoText(const QString& text) { m_undoText = text; }

    bool CanUndo() const { return m_entryCount > 0 && m_suspendCount < 1 && SizeConst() > 0; }
    // Empties the stack (counters and text too); with clearRedoToo also the
    // redo record and the popped entry.
    void Reset(bool clearRedoToo = true);
    void ClearRedo();

    // Drops oldest entries while the stack exceeds maxUndo (maxUndo <= 0: no
    // limit), then appends entry. The limit is tested before the append.
    void PushEntry(const QByteArray& entry, int maxUndo);
    // The same for an entry written straight into the stack: its data bytes
    // (dataSize, zero at first) are the caller's to fill at the address
    // returned, valid until the stack changes. A large entry is so made
    // without a copy beside the stack.
    uint8_t* PushEntryInPlace(const TMPHUndoHeader& header, int64_t dataSize, const QByteArray& description,
                              const std::optional<TMPHUndoSelection>& selection, int maxUndo);
    void DropFirstUndo();
    // Pops the newest entry into PoppedEntry and updates UndoText.
    void RemoveLastUndo();
    // Offset and size of the newest entry; false on an empty stack.
    bool NewestEntry(int64_t& offset, int32_t& size) const;
    bool ReadNewest(TMPHUndoEntry& entry) const;
    // Sets the caret position of the newest entry (nothing on an empty stack).
    void SetNewestCaret(int32_t position);
    // Makes the newest entry select count bytes from position when undone
    // (adds the selection block when missing). Only when CanUndo.
    void SetUndoSelection(int32_t position, int32_t count);

    // Entry sizes walked from the front and from the back; both succeed and
    // agree on a sound stack.
    bool WalkFromFront(std::vector<int32_t>& sizes) const;
    bool WalkFromBack(std::vector<int32_t>& sizes) const;

    // The one redo record (empty when none).
    const QByteArray& RedoRecord() const { return m_redoRecord; }
    void SetRedoRecord(QByteArray record);
    bool HasRedo() const { return !m_redoRecord.isEmpty() || !m_redoUnits.empty(); }
    const QByteArray& PoppedEntry() const { return m_poppedEntry; }
    int32_t PoppedEntrySize() const { return int32_t(m_poppedEntry.size()); }
    const QString& PoppedDescription() const { return m_poppedDescription; }
    // Appends PoppedEntry to the stack again (redo) and forgets it.
    void RepushPopped();
    // Forgets the redo record and the popped entry, keeping the redo stack.
    void ClearCurrentRedo();

    // The redo stack (used by the editor only while it keeps every undone
    // step): units, the next one to redo last. ClearRedo empties it too.
    // Takes the redo record and popped entry as one unit (empty when no
    // record was built) and forgets them.
    TMPHRedoUnit TakeCurrentRedo();
    // Drops the units furthest from the present while the stack's bytes
    // exceed maxUndo (maxUndo <= 0: no limit), then pushes unit. As on the
    // undo stack, the limit is tested before the push.
    void PushRedoUnit(TMPHRedoUnit unit, int maxUndo);
    TMPHRedoUnit PopRedoUnit();
    int32_t RedoUnitCount() const { return int32_t(m_redoUnits.size()); }
    int64_t RedoStackBytes() const { return m_redoBytes; }
    // Makes step the redo record and popped entry again.
    void RestoreRedoStep(const TMPHRedoStep& step);
    // The text of the step the next redo re-applies.
    QString RedoText() const;

private:
    QString TextOfNewest() const;

    TCustomMPHexEditor* m_owner;
    int32_t m_entryCount = 0;
    int32_t m_suspendCount = 0;
    QString m_undoText;
    QByteArray m_redoRecord;
    QByteArray m_poppedEntry;
    QString m_poppedDescription;
    std::vector<TMPHRedoUnit> m_redoUnits;
    int64_t m_redoBytes = 0;
};
