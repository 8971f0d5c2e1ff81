#pragma once
// The hex editor control: TCustomMPHexEditor holds the document, the caret and
// the selection on top of the grid base; TMPHexEditor publishes it.
//
// Implementation files, by concern:
//   editor_data.cpp       document state, loading, data access, grid size
//   editor_selection.cpp  cell/position mapping, caret-move rule, selection
//   editor_layout.cpp     column widths and row heights

#include "hexeditor/core/mphexception.h"
#include "hexeditor/core/mphmemorystream.h"
#include "hexeditor/core/mphtypes.h"
#include "hexeditor/core/mphundostorage.h"
#include "platform/busycursor.h"
#include "platform/customgrid.h"

#include <QBitArray>
#include <QByteArray>
#include <QString>
#include <memory>

class TCustomMPHexEditor : public TCustomGrid
{
    Q_OBJECT
    // Published properties, in the order the settings export walks them.
    Q_PROPERTY(int BytesPerRow READ BytesPerRow WRITE SetBytesPerRow)
    Q_PROPERTY(int MaxUndo READ MaxUndo WRITE SetMaxUndo)
    Q_PROPERTY(bool InsertMode READ InsertMode WRITE SetInsertMode)
    Q_PROPERTY(bool FindProgress READ FindProgress WRITE SetFindProgress)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)

public:
    explicit TCustomMPHexEditor(QWidget* parent = nullptr);
    ~TCustomMPHexEditor() override;

    // Largest data size the editor holds: positions are 32-bit signed.
    static constexpr int64_t MaxDataSize = 0x7FFFFFFF;

    // ---- document (data buffer, loading) -------------------------------
    TMPHMemoryStream& DataStorage() { return *m_dataStorage; }
    TMPHUndoStorage& UndoStorage() { return *m_undoStorage; }
    int32_t DataSize() const { return static_cast<int32_t>(m_dataStorage->SizeConst()); }
    const QString& FileName() const { return m_fileName; }
    const QString& LoadingFileName() const { return m_loadingFileName; }
    bool ReadOnlyFile() const { return m_readOnlyFile; }
    bool HasFile() const { return m_hasFile; }
    bool Modified() const { return m_modified; }
    void SetModified(bool value) { m_modified = value; }
    QBitArray& ChangedBytes() { return m_changedBytes; }
    const QBitArray& ChangedBytes() const { return m_changedBytes; }

    void LoadFromFile(const QString& fileName);
    void LoadFromStream(TStream& stream);
    void CreateEmptyFile(const QString& name);

    uint8_t ByteAt(int32_t index);
    void SetByteAt(int32_t index, uint8_t value);
    void ReadBuffer(void* buffer, int32_t index, int32_t count);
    virtual void WriteBuffer(const void* buffer, int32_t index, int32_t count);

    void UpdateGridSize();
    // Recomputes column widths and row heights from the settings and the font.
    virtual void AdjustMetrics();

    // The ten virtual operations of the editor, in slot order.
    virtual void SelectionChanged();
    virtual void Changed();
    virtual void PrepareFileOverwrite();
    virtual bool CanCreateUndo(int undoKind, int32_t count, int32_t replCount);
    virtual void BookmarkChanged();
    virtual void UndoBeginUpdate();
    virtual void UndoEndUpdate();
    virtual QString FormatOffset(uint32_t offset);
    virtual QString OffsetToText(uint32_t offset);

    int MaxUndo() const { return m_maxUndo; }
    void SetMaxUndo(int value) { m_maxUndo = value; }
    bool FindProgress() const { return m_findProgress; }
    void SetFindProgress(bool value) { m_findProgress = value; }
    QString Version() const;
    void SetVersion(const QString&) {}

    TNotifyEvent OnChange;
    TMPHProgressEvent OnProgress;
    TNotifyEvent OnSelectionChanged;

    void PushBusyCursor();
    void PopBusyCursor();

    // ---- layout settings used by the mapping ----------------------------
    int BytesPerRow() const { return m_bytesPerRow; }
    void SetBytesPerRow(int value);
    int HexColumnCount() const { return 2 * m_bytesPerRow; }
    int BytesPerUnit() const { return m_bytesPerUnit; }
    bool UnicodeChars() const { return m_unicodeChars; }
    bool InsertMode() const { return m_insertMode; }
    // Switches insert mode; the grid gains or loses the append row.
    void SetInsertMode(bool value);
    int CharWidth() const { return m_charWidth; }
    int CharHeight() const { return m_charHeight; }

    // ---- positions and selection -----------------------------------------
    int32_t PositionAtCell(int col, int row);
    int RowOfPosition(int32_t position) const;
    TGridCoord CellAtPosition(int32_t position, bool charField) const;
    int OtherFieldColumn(int col) const;
    int OtherFieldColumnAndSet(int col);
    int32_t AlignToUnit(int32_t position) const;
    void AlignRange(int32_t& p, int32_t& q) const;

    int32_t CaretPosition();
    bool InCharField();
    void SetInCharField(bool value);
    int32_t SelStart();
    void SetSelStart(int32_t value);
    int32_t SelEnd();
    void SetSelEnd(int32_t value);
    int32_t SelCount() const;
    QByteArray SelectionAsText();
    void ResetSelection(bool repaint);
    void SetSelection(int32_t startPosition, int32_t endPosition);

    int32_t SelAnchor() const { return m_selAnchor; }
    int32_t SelFirst() const { return m_selFirst; }
    int32_t SelLast() const { return m_selLast; }
    int32_t SelectionOrigin() const { return m_selectionOrigin; }
    bool ExtendingSelection() const { return m_extendingSelection; }
    void SetExtendingSelection(bool value) { m_extendingSelection = value; }
    // Number of selection notifications waiting for the event loop.
    int PendingSelectionChanges() const { return m_selectionChangedCount; }

protected:
    bool SelectCell(int col, int row) override;
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

    // Called once the stored settings have been applied (or the window is
    // first shown): an editor in use always starts as "Untitled".
public:
    void Loaded();
protected:
    // Moves the caret onto the system caret's cell (painting completes it).
    virtual void UpdateCaretPos();
    // Repaints the rows from the row of position first to the row of position last.
    void InvalidateRowsOf(int32_t first, int32_t last);

    // Copies count bytes from source to destination in 61,440-byte chunks,
    // reporting progress to OnProgress; count -1 copies the rest of source.
    void CopyWithProgress(TStream& source, TStream& destination, int64_t count, TMPHProgressKind kind);
    // Checks that a file can be read and whether it can be written exclusively.
    bool FileAccessCheck(const QString& name, int* error);
    void StoreSelection(int32_t anchor, int32_t first, int32_t last);

    std::unique_ptr<TMPHMemoryStream> m_dataStorage;
    std::unique_ptr<TMPHUndoStorage> m_undoStorage;
    QBitArray m_changedBytes;
    QString m_fileName = QStringLiteral("---");
    QString m_loadingFileName;
    bool m_readOnlyFile = true;
    bool m_hasFile = false;
    bool m_modified = false;
    int m_maxUndo = 1048576;
    bool m_findProgress = false;

    int m_bytesPerRow = 16;
    int m_bytesPerUnit = 1;
    bool m_unicodeChars = false;
    bool m_insertMode = false;
    int m_charWidth = -1;
    int m_charHeight = 0;

    int32_t m_selAnchor = -1;
    int32_t m_selFirst = -1;
    int32_t m_selLast = -1;
    int32_t m_selectionOrigin = -1;
    bool m_extendingSelection = false;
    bool m_inCharField = false;
    bool m_inSelectCell = false;
    int m_selectionChangedCount = 0;

    TBusyCursorStack m_busyCursors;
    bool m_loaded = false;
};

class TMPHexEditor : public TCustomMPHexEditor
{
    Q_OBJECT
public:
    explicit TMPHexEditor(QWidget* parent = nullptr) : TCustomMPHexEditor(parent) {}
};
