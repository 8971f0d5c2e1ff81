#pragma once
// The hex editor control: TCustomMPHexEditor holds the document, the caret and
// the selection on top of the grid base; TMPHexEditor publishes it.
//
// Implementation files, by concern:
//   editor_data.cpp       document state, loading, data access, grid size
//   editor_selection.cpp  cell/position mapping, caret-move rule, selection
//   editor_layout.cpp     column widths and row heights, the layout settings
//   editor_translation.cpp  character translation and unicode mode
//   editor_offsets.cpp    offset format and offset texts
//   editor_bookmarks.cpp  bookmarks and their icons
//   editor_find.cpp       finding bytes and text, with progress
//   editor_keyboard.cpp   key down: navigation, deletion, insert mode, bookmarks
//   editor_typing.cpp     typed characters in the hex and the character field
//   editor_mouse.cpp      mouse presses, moves, releases, the pointer shape
//   editor_scrolling.cpp  wheel, scroll bars, top-left changes, resize, focus
//   editor_paint.cpp      painting: cells, colours, frames, grid lines, edges
//   editor_caret.cpp      the drawn caret, its shape, blinking and placement
//   editor_undo.cpp       recording undo entries, the view state, undo and redo
//   editor_undokinds.cpp  reverting and re-applying, one function per entry kind
//   editor_editing.cpp    the data-changing operations and editing settings
//   editor_nibbles.cpp    shifting the data by one nibble (temporary file)

#include "hexeditor/core/mphbookmarks.h"
#include "hexeditor/core/mphchangemarks.h"
#include "hexeditor/core/mphdatachange.h"
#include "hexeditor/core/mphdocument.h"
#include "hexeditor/core/mphexception.h"
#include "hexeditor/core/mphgridgeometry.h"
#include "hexeditor/core/mphlayout.h"
#include "hexeditor/core/mphlimits.h"
#include "hexeditor/core/mphmemorystream.h"
#include "hexeditor/core/mphoffsetformat.h"
#include "hexeditor/core/mphsearch.h"
#include "hexeditor/core/mphtranslation.h"
#include "hexeditor/core/mphselectionstate.h"
#include "hexeditor/core/mphtypes.h"
#include "hexeditor/core/mphundorecorder.h"
#include "hexeditor/core/mphundostorage.h"
#include "hexeditor/mphcolors.h"
#include "platform/busycursor.h"
#include "platform/customgrid.h"

#include <QBitArray>
#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <QVector>
#include <algorithm>
#include <functional>
#include <memory>

// ---- keyboard and mouse events ------------------------------------------------
// Key down: the handler may change key (a Qt::Key code; 0 drops it).
using TMPHKeyEvent = std::function<void(QObject* sender, int& key, Qt::KeyboardModifiers shift)>;
// A typed character: the handler may change it.
using TMPHKeyPressEvent = std::function<void(QObject* sender, QChar& key)>;

// A mouse point after AdjustMousePoint: pixels and the grid cell it stands for.
struct TMPHMousePoint
{
    int X = 0;
    int Y = 0;
    TGridCoord Cell{-1, -1};
};
struct TMPHPaintContext;
struct TMPHCellColors;

class TCustomMPHexEditor : public TCustomGrid
{
    Q_OBJECT
    // Published properties, in the order the settings export walks them.
    Q_PROPERTY(bool ShowRuler READ ShowRuler WRITE SetShowRuler)
    Q_PROPERTY(int BytesPerRow READ BytesPerRow WRITE SetBytesPerRow)
    Q_PROPERTY(int BytesPerColumn READ BytesPerColumn WRITE SetBytesPerColumn)
    Q_PROPERTY(MPHEnums::TMPHTranslationKind Translation READ Translation WRITE SetTranslation)
    Q_PROPERTY(QString OffsetFormat READ OffsetFormat WRITE SetOffsetFormat)
    // The character code; never stored (MaskChar_AsInteger is).
    Q_PROPERTY(int MaskChar READ MaskCharCode WRITE SetMaskCharCode STORED false)
    Q_PROPERTY(int GutterWidth READ GutterWidth WRITE SetGutterWidth)
    Q_PROPERTY(bool SwapNibbles READ SwapNibbles WRITE SetSwapNibbles)
    Q_PROPERTY(int MaxUndo READ MaxUndo WRITE SetMaxUndo)
    Q_PROPERTY(bool InsertMode READ InsertMode WRITE SetInsertMode)
    Q_PROPERTY(bool HexLowerCase READ HexLowerCase WRITE SetHexLowerCase)
    Q_PROPERTY(int BytesPerUnit READ BytesPerUnit WRITE SetBytesPerUnit)
    Q_PROPERTY(int RulerBytesPerUnit READ RulerBytesPerUnit WRITE SetRulerBytesPerUnit)
    Q_PROPERTY(bool UnicodeChars READ UnicodeChars WRITE SetUnicodeChars)
    Q_PROPERTY(bool UnicodeBigEndian READ UnicodeBigEndian WRITE SetUnicodeBigEndian)
    Q_PROPERTY(int BytesPerBlock READ BytesPerBlock WRITE SetBytesPerBlock)
    Q_PROPERTY(bool SeparateBlocksInCharField READ SeparateBlocksInCharField WRITE SetSeparateBlocksInCharField)
    Q_PROPERTY(bool FindProgress READ FindProgress WRITE SetFindProgress)
    Q_PROPERTY(int RulerNumberBase READ RulerNumberBase WRITE SetRulerNumberBase)
    // Worth storing only while CustomBookmarkBitmap is true.
    Q_PROPERTY(QImage BookmarkBitmap READ BookmarkBitmap WRITE SetBookmarkBitmap)
    // The stored form of MaskChar: worth storing only while IsMaskCharStored().
    Q_PROPERTY(QVariant MaskChar_AsInteger READ MaskCharAsIntegerValue WRITE SetMaskCharAsIntegerValue)
    Q_PROPERTY(QString Version READ Version WRITE SetVersion)
    // Keyboard input.
    Q_PROPERTY(bool WantTabs READ WantTabs WRITE SetWantTabs)
    // ---- painting properties -------------------------------------------------
    Q_PROPERTY(MPHEnums::TMPHCaretKind CaretKind READ CaretKind WRITE SetCaretKind)
    Q_PROPERTY(bool FocusFrame READ FocusFrame WRITE SetFocusFrame)
    Q_PROPERTY(bool DrawGridLines READ DrawGridLines WRITE SetDrawGridLines)
    Q_PROPERTY(bool DrawGutter3D READ DrawGutter3D WRITE SetDrawGutter3D)
    Q_PROPERTY(bool HideSelection READ HideSelection WRITE SetHideSelection)
    Q_PROPERTY(bool GraySelectionIfNotFocused READ GraySelectionIfNotFocused WRITE SetGraySelectionIfNotFocused)
    Q_PROPERTY(bool ShowPositionIfNotFocused READ ShowPositionIfNotFocused WRITE SetShowPositionIfNotFocused)
    Q_PROPERTY(TMPHColors* Colors READ Colors WRITE SetColors)
    // ---- editing settings (editor_editing.cpp) ----
    Q_PROPERTY(bool ReadOnlyView READ ReadOnlyView WRITE SetReadOnlyView)
    Q_PROPERTY(bool NoSizeChange READ NoSizeChange WRITE SetNoSizeChange)
    Q_PROPERTY(bool AllowInsertMode READ AllowInsertMode WRITE SetAllowInsertMode)

    // ==== public interface, by area ===============================================
public:
    explicit TCustomMPHexEditor(QWidget* parent = nullptr);
    ~TCustomMPHexEditor() override;
    // Called once the stored settings have been applied (or the window is
    // first shown): an editor in use always starts as "Untitled".
    void Loaded();

    // Largest data size the editor holds: positions are 32-bit signed.
    static constexpr int64_t MaxDataSize = MPHMaxDataSize;

    // ---- document (data buffer, loading) -------------------------------
    TMPHMemoryStream& DataStorage() { return *m_document.Data; }
    TMPHUndoStorage& UndoStorage() { return *m_undo.Storage; }
    int32_t DataSize() const { return static_cast<int32_t>(m_document.Data->SizeConst()); }
    const QString& FileName() const { return m_document.FileName; }
    const QString& LoadingFileName() const { return m_document.LoadingFileName; }
    bool ReadOnlyFile() const { return m_document.ReadOnlyFile; }
    bool HasFile() const { return m_document.HasFile; }
    bool Modified() const { return m_document.Modified; }
    void SetModified(bool value) { m_document.Modified = value; }
    TMPHChangeMarks& ChangedBytes() { return m_document.ChangedBytes; }
    const TMPHChangeMarks& ChangedBytes() const { return m_document.ChangedBytes; }

    void LoadFromFile(const QString& fileName);
    void LoadFromStream(TStream& stream);
    void CreateEmptyFile(const QString& name);

    // ---- opening large files without copying them (off by default) -----
    // When on, LoadFromFile opens a file of at least OnDemandMinSize bytes
    // without copying it: DataStorage reads its bytes when they are shown
    // or used (TMemoryStream::OpenOnDemand), so opening takes the same
    // time for any size and memory grows with what is read and changed.
    // No progress is reported for such an open. The document keeps the
    // file open until it is replaced; a file that another program rewrites
    // or shortens meanwhile can no longer be read: what was not read yet
    // shows as zeros, the error is handed to the application's error
    // handler once, and saving or copying the data fails with it. Smaller
    // files are copied as by default (a copy costs no more than the cache).
    static constexpr int64_t DefaultOnDemandMinSize = int64_t(16) << 20;
    bool OpenOnDemand() const { return m_openOnDemand; }
    void SetOpenOnDemand(bool value) { m_openOnDemand = value; }
    int64_t OnDemandMinSize() const { return m_onDemandMinSize; }
    void SetOnDemandMinSize(int64_t value) { m_onDemandMinSize = value; }

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
    // Suspend / resume undo recording; return the new suspension count.
    virtual int UndoBeginUpdate();
    virtual int UndoEndUpdate();
    virtual QString FormatOffset(uint32_t offset);
    virtual QString OffsetToText(uint32_t offset);

    // The hex field shows the low nibble of a byte first (display and typing).
    bool SwapNibbles() const { return m_swapNibbles; }
    void SetSwapNibbles(bool value);

    int MaxUndo() const { return m_undo.MaxUndo; }
    void SetMaxUndo(int value) { m_undo.MaxUndo = value; }
    bool FindProgress() const { return m_findProgress; }
    void SetFindProgress(bool value) { m_findProgress = value; }
    QString Version() const;
    void SetVersion(const QString&) {}


    void PushBusyCursor();
    void PopBusyCursor();

    // ---- layout settings used by the mapping ----------------------------
    int BytesPerRow() const { return m_bytesPerRow; }
    void SetBytesPerRow(int value);
    int HexColumnCount() const { return Geometry().HexColumnCount(); }
    // The grid geometry in force (read-only): columns, rows, cell <-> position.
    TMPHGridGeometry Geometry() const { return TMPHGridGeometry(m_bytesPerRow, m_unicodeChars); }
    int BytesPerUnit() const { return m_bytesPerUnit; }
    bool UnicodeChars() const { return m_unicodeChars; }
    // True only while insert mode is switched on and insertion is allowed.
    bool InsertMode() const;
    // Switches insert mode; the grid gains or loses the append row.
    void SetInsertMode(bool value);
    int CharWidth() const { return m_charWidth; }
    int CharHeight() const { return m_charHeight; }

    // ---- layout settings (editor_layout.cpp) -------------------------------
    int BytesPerColumn() const { return m_bytesPerColumn; }
    void SetBytesPerColumn(int value);
    void SetBytesPerUnit(int value);
    int RulerBytesPerUnit() const { return m_rulerBytesPerUnit; }
    void SetRulerBytesPerUnit(int value);
    // Bytes per ruler unit in effect: RulerBytesPerUnit, or BytesPerUnit for -1.
    int RulerUnit() const { return m_rulerUnit; }
    int BytesPerBlock() const { return m_bytesPerBlock; }
    void SetBytesPerBlock(int value);
    bool SeparateBlocksInCharField() const { return m_separateBlocksInCharField; }
    void SetSeparateBlocksInCharField(bool value);
    bool ShowRuler() const { return m_showRuler; }
    void SetShowRuler(bool value);
    int RulerNumberBase() const { return m_rulerNumberBase; }
    void SetRulerNumberBase(int value);
    int GutterWidth() const { return m_gutterWidth; }
    void SetGutterWidth(int value);
    // Length of the widest offset text plus 1; -1 until the first layout.
    int GutterChars() const { return m_gutterChars; }
    const QString& HexRulerText() const { return m_hexRulerText; }
    const QString& CharRulerText() const { return m_charRulerText; }
    // Recomputes the gutter column's width only.
    void UpdateGutterWidth();
    // Rebuilds HexRulerText and CharRulerText.
    void BuildRulerTexts();

    // ---- character translation (editor_translation.cpp) ---------------------
    TMPHTranslationKind Translation() const { return m_translation; }
    void SetTranslation(TMPHTranslationKind value);
    void SetUnicodeChars(bool value);
    bool UnicodeBigEndian() const { return m_unicodeBigEndian; }
    void SetUnicodeBigEndian(bool value);
    uint8_t MaskChar() const { return m_maskChar; }
    void SetMaskChar(uint8_t value);
    int MaskCharCode() const { return m_maskChar; }
    // Raises EMPHexEditor for a code outside 0..255.
    void SetMaskCharCode(int value);
    QVariant MaskCharAsIntegerValue() const { return int(m_maskChar); }
    // An integer 0..255 becomes MaskChar; anything else gives ".".
    void SetMaskCharAsIntegerValue(const QVariant& value);
    bool IsMaskCharStored() const { return m_maskChar != '.'; }
    const TMPHCharSet& MaskedChars() const { return m_maskedChars; }
    // The 8-bit character shown for byte b in the character field.
    uint8_t TranslateToDisplay(uint8_t b) const;
    // The byte stored for a typed 8-bit character; a result in MaskedChars
    // (0 in particular) means the character cannot be entered.
    uint8_t TranslateFromInput(uint8_t ch) const;
    // The UTF-16 character shown in unicode mode for the character cell of
    // position (masked codes become MaskChar).
    char16_t UnicodeCharAt(int32_t position);

    // ---- offset format (editor_offsets.cpp) --------------------------------
    QString OffsetFormat() const { return m_offsetFormat.Format; }
    // Parses the format; a refused format leaves the previous one in force.
    void SetOffsetFormat(const QString& value);
    const TMPHOffsetFormat& OffsetFormatRecord() const { return m_offsetFormat; }
    bool HexLowerCase() const { return m_hexLowerCase; }
    void SetHexLowerCase(bool value);
    // The 16 digits used for hex cells (upper or lower case letters).
    const char* HexDigitTable() const { return m_hexDigits; }
    // True while OnGetOffsetText is asked for the largest offset (gutter width).
    bool IsMaxOffset() const { return m_isMaxOffset; }

    // ---- bookmarks (editor_bookmarks.cpp) -------------------------------------
    const TMPHBookmarks& Bookmarks() const { return m_document.Bookmarks; }
    // Puts back all ten bookmarks at once (redo).
    void SetBookmarks(const TMPHBookmarks::Table& table);
    void SetBookmark(int index, int32_t position, bool inCharField);
    bool GotoBookmark(int index);
    void ShiftBookmarks(int32_t from, int32_t delta);
    // The icon strip (200 x 10); a null image restores the built-in icons.
    QImage BookmarkBitmap() const { return m_bookmarkBitmap; }
    void SetBookmarkBitmap(const QImage& value);
    bool CustomBookmarkBitmap() const { return m_customBookmarkBitmap; }
    // The twenty 10 x 10 icons cut from BookmarkBitmap, with the colour of its
    // top-left pixel made transparent.
    const QVector<QImage>& BookmarkImages() const { return m_bookmarkImages; }

    // ---- undo (editor_undo.cpp) ---------------------------------------------
    // Records an entry for a change about to be made (unless recording is
    // suspended) and sets Modified; raises "Cannot update undo storage" when
    // CanCreateUndo refuses.
    void CreateUndo(int kind, int32_t position, int32_t count, int32_t count2, const QString& description = {});
    bool CanUndo() const;
    bool CanRedo() const;
    void Undo();
    void Redo();
    void ResetUndo();
    // Groups the last count entries into one undo step.
    void CombineUndo(int32_t count, const QString& description = {});
    const QString& UndoText() const { return m_undo.Storage->UndoText(); }
    // Extensions, off by default and plain accessors (not published, not in
    // the settings text), so the published shape stays as it was.
    // With MultiLevelRedo each undo pushes its redo record (a whole group for
    // a combined step) onto a redo stack bounded by MaxUndo like the undo
    // stack; each redo pops one. Switching it off drops the stack.
    bool MultiLevelRedo() const { return m_undo.MultiLevelRedo; }
    // Rows per wheel notch; 0 pages (a view less one row) per notch.
    int WheelRows() const { return m_wheelRows; }
    void SetWheelRows(int value) { m_wheelRows = std::max(0, value); }
    void SetMultiLevelRedo(bool value);
    // The text of the step Redo would re-apply.
    QString RedoText() const { return m_undo.Storage->RedoText(); }

    // ---- editing (editor_editing.cpp, editor_nibbles.cpp) ---------------------
    bool ReadOnlyView() const { return m_readOnlyView; }
    void SetReadOnlyView(bool value);
    bool NoSizeChange() const { return m_noSizeChange; }
    void SetNoSizeChange(bool value);
    // Set while the data is moved within the editor (NoSizeChange is then not in force).
    bool SuspendNoSizeChange() const { return m_suspendNoSizeChange; }
    void SetSuspendNoSizeChange(bool value) { m_suspendNoSizeChange = value; }
    bool NoSizeChangeInForce() const { return m_noSizeChange && !m_suspendNoSizeChange; }
    bool AllowInsertMode() const { return m_allowInsertMode; }
    void SetAllowInsertMode(bool value);
    // The stored insert-mode switch, whether or not insertion is allowed now.
    bool InsertModeSwitch() const { return m_insertMode; }

    void ChangeByte(int32_t position, uint8_t oldByte, uint8_t newByte, const QString& description = {});
    // Words are two bytes in data order: the low byte first.
    void ChangeWord(int32_t position, uint16_t oldWord, uint16_t newWord, const QString& description = {});
    void DeleteSelection(const QString& description = {});
    void DeleteAtCaret(bool backwards, const QString& description = {});
    void InsertBuffer(const void* buffer, int32_t count, int32_t position, const QString& description = {},
                      bool moveCaret = true);
    void AppendBuffer(const void* buffer, int32_t count, const QString& description = {}, bool moveCaret = true);
    void ReplaceSelection(const void* buffer, int32_t count, const QString& description = {}, bool moveCaret = true);
    int32_t Replace(const void* buffer, int32_t position, int32_t oldCount, int32_t newCount,
                    const QString& description = {}, bool moveCaret = true);
    bool InsertNibble(int32_t position, bool highNibble);
    bool DeleteNibble(int32_t position, bool highNibble);
    int32_t Seek(int32_t offset, int origin);
    void SelectAll();

    // Data changes that record nothing (undo, redo and the operations above).
    void InsertData(const void* buffer, int32_t count, int32_t position);
    void AppendData(const void* buffer, int32_t count);
    void DeleteData(int32_t start, int32_t end, int caretCol, int caretRow);
    // The last data change that went through the change path (position,
    // bytes removed, bytes inserted).
    const TMPHDataChange& LastDataChange() const { return m_lastDataChange; }

    // ---- finding (editor_find.cpp) ------------------------------------------
    // The encoding under which text typed into the character field is stored
    // (translation or unicode mode), for text patterns.
    TMPHSearchPattern::TextEncoding SearchTextEncoding() const;
    // The start of the first match of pattern from start on (forward) or the
    // last match at or before start (backward), wrapping at the ends when
    // wrap is set; -1 when there is none. While FindProgress is True the
    // search reports OnProgress with pkFind in chunks, and a handler that
    // sets Cancel stops it with EMPHexEditor "Operation cancelled".
    int32_t Find(const TMPHSearchPattern& pattern, int32_t start, bool forward, bool wrap = true);
    // Finds the next (or previous) match after the caret or the current
    // selection, wrapping, and selects its bytes with the caret on the first
    // one, scrolled into view. False, and nothing changed, when there is none.
    bool FindNext(const TMPHSearchPattern& pattern, bool forward);
    // Extension (no operation of the editor calls it): replaces every match
    // of matcher inside [params.RangeFirst, params.RangeEnd), taken left to
    // right without overlaps, by replacement, as one undo step (a replacement
    // of the bytes from the first match to the end of the last). The matches
    // are counted first (params.Progress reports 0 to 50; a cancel raises
    // "Operation cancelled" with nothing changed); then the data are
    // rewritten in place in one pass from the old bytes the undo entry holds
    // (progress 50 to 100, no cancel), so the memory needed is the data plus
    // that entry. Returns the number of matches replaced (0: nothing changed).
    // Raises like Replace (size limit, fixed size).
    int64_t ReplaceAll(const TMPHMatcher& matcher, const QByteArray& replacement, const TMPHFindParams& params,
                       const QString& description = {});

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

    int32_t SelAnchor() const { return m_selection.Anchor; }
    int32_t SelFirst() const { return m_selection.First; }
    int32_t SelLast() const { return m_selection.Last; }
    int32_t SelectionOrigin() const { return m_selection.Origin; }
    bool ExtendingSelection() const { return m_selection.Extending; }
    void SetExtendingSelection(bool value) { m_selection.Extending = value; }
    // Number of selection notifications waiting for the event loop.
    int PendingSelectionChanges() const { return m_selectionChangedCount; }

    // ---- keyboard (editor_keyboard.cpp, editor_typing.cpp) -------------------
    // Whether Tab and Shift+Tab reach the editor (else they move the focus).
    bool WantTabs() const { return m_wantTabs; }
    void SetWantTabs(bool value) { m_wantTabs = value; }
    // Key down: OnKeyDown first, then the key table. key is a Qt::Key code
    // (letters and digits are their upper-case character codes); shift holds
    // Shift, Control and Alt. Errors of the editing operations pass through.
    virtual void KeyDown(int& key, Qt::KeyboardModifiers shift);
    // A typed character: OnKeyPress first, then typing at the caret.
    virtual void KeyPress(QChar& key);

    // ---- mouse and scrolling (editor_mouse.cpp, editor_scrolling.cpp) --------
    // In insert mode a point on the right half of a cell stands for the cell
    // after it (and past the end of a row for the next row's first cell).
    TMPHMousePoint AdjustMousePoint(int x, int y) const;
    // AdjustMousePoint's insert-mode rules on a point in grid coordinates.
    void AdjustInsertPoint(TMPHMousePoint& point) const;
    // Whether the data cell under the point (viewport pixels) is selected;
    // the second form asks where the pointer is now.
    bool IsMouseOverSelection(int x, int y);
    bool IsMouseOverSelection();
    // The cell under the point is in the gutter, the spacer or the ruler.
    bool IsOverFixedCell(int x, int y) const;
    // A left press inside the selection that has not become a drag yet, and
    // where it happened (adjusted viewport pixels).
    bool PendingSelectionClick() const { return m_pendingSelectionClick; }
    QPoint PendingClickPoint() const { return m_pendingClickPoint; }
    // The grid's can-focus answer, and not while the window is disabled or hidden.
    bool CanFocus() const override;
    // ---- painting (editor_paint.cpp) -------------------------------------------
    // The owned colour set; setting it copies the given set into the owned one.
    TMPHColors* Colors() const { return m_colors; }
    void SetColors(TMPHColors* value);
    TMPHCaretKind CaretKind() const { return m_caretKind; }
    void SetCaretKind(TMPHCaretKind value);
    // Frames are dotted focus rectangles instead of coloured outlines.
    bool FocusFrame() const { return m_focusFrame; }
    void SetFocusFrame(bool value);
    bool DrawGridLines() const { return m_drawGridLines; }
    void SetDrawGridLines(bool value);
    bool DrawGutter3D() const { return m_drawGutter3D; }
    // Repaints at once.
    void SetDrawGutter3D(bool value);
    bool HideSelection() const { return m_hideSelection; }
    void SetHideSelection(bool value);
    bool GraySelectionIfNotFocused() const { return m_graySelectionIfNotFocused; }
    void SetGraySelectionIfNotFocused(bool value);
    bool ShowPositionIfNotFocused() const { return m_showPositionIfNotFocused; }
    void SetShowPositionIfNotFocused(bool value);
    // For OnDrawCell handlers: the data position of the data cell being drawn
    // (-1 for gutter, ruler and corner cells) and whether it is selected.
    int32_t DrawDataPosition() const { return m_drawDataPosition; }
    bool IsDrawDataSelected() const { return m_isDrawDataSelected; }
    // The field painted as the active one (true: the character field).
    bool ActiveFieldShown() const { return m_activeFieldShown; }
    // The drop marker, set by drag and drop: a line in the cell while visible.
    bool DropMarkerVisible() const { return m_dropMarkerVisible; }
    int DropMarkerCol() const { return m_dropMarkerCol; }
    int DropMarkerRow() const { return m_dropMarkerRow; }
    void SetDropMarker(bool visible, int col, int row);
    // ---- drop position (editor_dropmarker.cpp) -------------------------------
    // Shows the marker at the data position under the viewport point (inside
    // the selection: its first byte; lowered to a unit) and scrolls one row
    // and one column toward the point. Returns the position.
    int32_t ShowDropPosition(int x, int y);
    // Hides the marker and repaints.
    void HideDropPosition();
    // The marker's data position, -1 while it is hidden.
    int32_t DropPosition();
    // ---- end drop position ---------------------------------------------------

    // ---- caret (editor_caret.cpp) -------------------------------------------------
    // Builds the caret image for CaretKind and shows the caret.
    void CreateCaretShape();
    // The caret image: CharWidth x (CharHeight - 2); white pixels invert.
    const QImage& CaretBitmap() const { return m_caretBitmap; }
    // Where the caret's top-left corner is (viewport coordinates); (-50, -50)
    // while its cell is not visible.
    QPoint CaretPos() const { return m_caretPos; }
    // The caret exists (the control has the focus) and is not hidden.
    bool CaretShown() const { return m_caretExists && m_caretShown; }
    // Re-creates the caret when CaretKind is ckAuto and the control is
    // focused; for changes of the read-only view and the insert mode.
    void RefreshAutoCaret();


    // ==== events ==================================================================
    TNotifyEvent OnChange;
    TMPHProgressEvent OnProgress;
    TNotifyEvent OnSelectionChanged;
    TMPHGetOffsetTextEvent OnGetOffsetText;
    TNotifyEvent OnBookmarkChanged;
    TMPHKeyEvent OnKeyDown;
    TMPHKeyPressEvent OnKeyPress;
    // A typed character that cannot be entered.
    TNotifyEvent OnInvalidKey;
    // Fired after the top-left visible cell changed.
    TNotifyEvent OnTopLeftChanged;
    // Called for every drawn cell but the spacer, the gap column and data
    // cells past the data end.
    TMPHDrawCellEvent OnDrawCell;

    // ==== protected operations for derived classes: Qt event handlers, input
    // handling, the document's file state, undo machinery, view settings and
    // the painting steps ==================================================================
protected:
    // ---- the document's file state (saving and backups in derived classes) ------
    // The document now stands for fileName as saved: its file exists and is
    // writable, it is not modified and carries no change marks.
    void MarkSaved(const QString& fileName);
    // Names the document's file and whether it is read-only, without loading
    // it or notifying anyone.
    void SetFileState(const QString& fileName, bool readOnlyFile);
    // A left press inside the selection stops waiting to become a click (a
    // drag or a double click took it over).
    void DropPendingSelectionClick() { m_pendingSelectionClick = false; }
    // A write override reports here the count bytes it wrote at index
    // (through the one change path: the rows are repainted).
    void DataWritten(int32_t index, int32_t count);

    // ---- keyboard, mouse and scrolling -----------------------------------------
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    // Tab, shortcut overrides, focus loss and the resize message; true when
    // the event was consumed.
    bool HandleInputEvent(QEvent* e);
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void ScrollTimerTick() override;
    void wheelEvent(QWheelEvent* e) override;
    // One wheel notch without the base's modifier handling; true when handled.
    // The extended editor adds zooming here.
    virtual bool DoMouseWheelDown(Qt::KeyboardModifiers shift, Qt::MouseButtons buttons);
    virtual bool DoMouseWheelUp(Qt::KeyboardModifiers shift, Qt::MouseButtons buttons);
    void TopLeftChanged() override;
    // The caret follows every move of the current cell: the caret-move rule
    // runs before the grid has stored the new cell.
    void CurrentCellChanged(int oldCol, int oldRow) override;
    void resizeEvent(QResizeEvent* e) override;
    // Typing at caret position p, after the common checks.
    void TypeInCharField(char16_t ch, bool hasAnsi, uint8_t ansi, int32_t p);
    void TypeInHexField(char16_t ch, int32_t p);
    // The common press handling of single and double clicks.
    void EditorMouseDown(QMouseEvent* e, bool doubleClick);
    // A copy of a mouse event moved to another point.
    static std::unique_ptr<QMouseEvent> MovedMouseEvent(const QMouseEvent& e, QPoint point);
    // Arrow over the selection and the fixed cells while nothing is held,
    // else the I-beam.
    void UpdatePointerShape(int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers shift);

    // The caret-move rule (editor_selection.cpp): the decision comes from the
    // core (DecideCaretCell); SelectCell applies it, repaints through
    // CaretMoved and extends or drops the selection.
    bool SelectCell(int col, int row) override;
    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

    // Moves the caret onto the current cell and keeps the active field in step.
    virtual void UpdateCaretPos();
    // Repaints the rows from the row of position first to the row of position last.
    void InvalidateRowsOf(int32_t first, int32_t last);

    // Copies count bytes from source to destination in 61,440-byte chunks,
    // reporting progress to OnProgress; count -1 copies the rest of source.
    void CopyWithProgress(TStream& source, TStream& destination, int64_t count, TMPHProgressKind kind);
    // Checks that a file can be read and whether it can be written exclusively.
    bool FileAccessCheck(const QString& name, int* error);
    // The load of an opened file without copying it (OpenOnDemand).
    void LoadOnDemand(std::unique_ptr<TFileStream> file);
    // What every load does once the data are in place: undo history,
    // change marks, grid, Modified, caret, notification.
    void ResetAfterLoad();
    void StoreSelection(int32_t anchor, int32_t first, int32_t last);

    bool CaretInCharField() const { return Geometry().IsCharColumn(Col()); }
    // Moves the caret onto position (clamped to where a caret may stand) in the given field.
    void PlaceCaret(int32_t position, bool charField, bool secondNibble = false);
    // Moves the caret onto the first byte's cell in the given field.
    void MoveToFirstCell(bool charField);
    // Sets or clears the change mark of position by the marking rules.
    void SetChangeMark(int32_t position, bool changed);
    // Drops every change mark from position on.
    void CutChangeMarks(int32_t position);
    // Refuses a change that would make the data larger than MaxDataSize.
    void CheckGrowth(int64_t newSize) const;
    // Selects first..last with the anchor given, as stored positions.
    void SelectRange(int32_t anchor, int32_t first, int32_t last);
    void RecordUndo(int kind, int32_t position, int32_t count, int32_t count2, const QString& description);
    QByteArray SavedUndoData(int kind, int32_t position, int32_t count, int32_t count2, const QString& description,
                             uint32_t& flags);
    QByteArray BuildRedoRecord(const TMPHUndoEntry& entry);
    // Reverts the newest entry by its kind and pops it; returns the data change made.
    TMPHDataChange RevertEntry(const TMPHUndoEntry& entry);
    void RestoreAfterUndo(const TMPHUndoEntry& entry);
    // Re-applies a redo record's data change by its kind; returns the change made.
    TMPHDataChange ApplyRedoData(const TMPHRedoRecord& record);
    void RestoreAfterRedo(const TMPHRedoRecord& record);
    // The view state entries and redo records keep: the caret (position,
    // field, digit), insert mode, Modified, translation, unicode mode, bytes
    // per unit. Restoring puts back insert mode, the caret and Modified, lets
    // putSelection restore the selection, then the view settings.
    TMPHViewState CaptureViewState();
    void RestoreViewState(const TMPHViewState& state, const std::function<void()>& putSelection);
    // One function per entry kind (editor_undokinds.cpp).
    TMPHDataChange UndoChangeBytes(const TMPHUndoEntry& entry);
    TMPHDataChange UndoRemove(const TMPHUndoEntry& entry);
    TMPHDataChange UndoInsert(const TMPHUndoEntry& entry);
    TMPHDataChange UndoReplace(const TMPHUndoEntry& entry);
    TMPHDataChange UndoAppend(const TMPHUndoEntry& entry);
    // ukInsertNibble and ukDeleteNibble.
    TMPHDataChange UndoNibble(const TMPHUndoEntry& entry);
    TMPHDataChange UndoConvert(const TMPHUndoEntry& entry);
    TMPHDataChange UndoAllData(const TMPHUndoEntry& entry);
    TMPHDataChange UndoCursorMove(const TMPHUndoEntry& entry);
    TMPHDataChange RedoChangeBytes(const TMPHRedoRecord& record);
    TMPHDataChange RedoRemove(const TMPHRedoRecord& record);
    TMPHDataChange RedoInsert(const TMPHRedoRecord& record);
    TMPHDataChange RedoReplace(const TMPHRedoRecord& record);
    TMPHDataChange RedoConvert(const TMPHRedoRecord& record);
    TMPHDataChange RedoAppend(const TMPHRedoRecord& record);
    // ukInsertNibble, ukDeleteNibble and ukAllData: the whole data again.
    TMPHDataChange RedoWholeData(const TMPHRedoRecord& record);
    void RedoCurrentRecord();
    void RedoUnit(const TMPHRedoUnit& unit);
    // Pops the units the undo of a group pushed above depth and pushes them,
    // with the group's marker, as one unit.
    void CollectRedoGroup(int32_t depth, const TMPHRedoStep& marker);
    // Writes the data from position on, shifted right by one nibble, to file.
    void WriteShiftedData(TStream& file, int32_t position);

    // ---- view settings (layout, translation, offsets, bookmarks) -----------
    TMPHLayoutSettings LayoutSettings() const;
    TMPHOffsetUnitSources OffsetUnitSources() const;
    void BookmarkBitmapChanged();

    // Sets the view defaults (font, default offset format, ruler texts,
    // bookmark icons); the constructor calls it before it lays out the grid.
    void InitViewDefaults();

    // ---- painting and caret state ---------------------------------------------------
    // Creates the colour set and the caret timer; called by the constructor.
    void InitPaintDefaults();
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // The steps of a paint, in their order (editor_paint.cpp).
    void PreparePaint(TMPHPaintContext& ctx);
    void CollectVisibleBands(TMPHPaintContext& ctx);
    int FramedColumn(bool focused);
    void DrawCellText(TMPHPaintContext& ctx, int col, int row, const QRect& cell, QString text,
                      const TMPHCellColors& colors, bool gutter);
    void PaintCorners(TMPHPaintContext& ctx);
    QString RulerTextOf(int col) const;
    void PaintRuler(TMPHPaintContext& ctx);
    void PaintGutter(TMPHPaintContext& ctx);
    void PaintBookmarkIcons(TMPHPaintContext& ctx, int row, const QRect& cell);
    void PaintDataCells(TMPHPaintContext& ctx);
    bool IsChangedForDisplay(int32_t p, bool unicodeCell) const;
    QString DataCellText(int col, int32_t p);
    void PaintDataCell(TMPHPaintContext& ctx, int col, int row, const QRect& cell);
    void ApplySelectionColors(TMPHPaintContext& ctx, int col, int32_t p, TMPHCellColors& colors);
    void PaintFrame(TMPHPaintContext& ctx, const QRect& cell);
    void PaintGridLines(TMPHPaintContext& ctx, int col, const QRect& cell);
    void PaintOuterStrips(TMPHPaintContext& ctx);
    void PaintEdges(TMPHPaintContext& ctx);
    // One row and one column toward a drop point's cell (editor_dropmarker.cpp).
    void ScrollTowardsDropPoint(TGridCoord cell);
    // Paints the caret over the cells (inverting), while it blinks on.
    void PaintCaret(QPainter& painter);
    void DestroyCaret();
    void SetCaretPos(const QPoint& pos);
    void ToggleCaretBlink();

private:
    // ---- the caret-move rule and the one path for caret repaints ------------------
    // Asks the rule about a cell the grid base accepted and applies the
    // answer (drop the selection, redirect); true when the cell is accepted.
    bool ApplyCaretRule(int col, int row);
    // Every accepted caret move: repaints the rows of the old and the new
    // caret cell (their partners in the other field, the gutter) and the ruler.
    void CaretMoved(TGridCoord from, TGridCoord to);
    // The selecting flag is set: the selection follows the caret to the cell.
    void ExtendSelectionTo(int col, int row);

    // ---- the one path for data changes (editor_editing.cpp) ---------------------------
    // Every data change ends here: the grid follows a new data size and the
    // rows the change altered are repainted.
    void ApplyDataChange(const TMPHDataChange& change);
    // Repaints the visible rows of a span.
    void InvalidateRowSpan(const TMPHRowSpan& rows);
    // The selection was stored anew: repaints the rows of the old one
    // (oldFirst..oldLast) and of the new one.
    void SelectionMoved(int32_t oldFirst, int32_t oldLast);

    // ==== private state: owned by this class; derived classes use the
    // accessors and the protected operations above ====================================
    // ---- the owned parts: document (data, change marks, bookmarks, file
    // state), undo recorder, selection ----
    TMPHDocument m_document;
    TMPHUndoRecorder m_undo{this};
    TMPHSelectionState m_selection;
    // ---- opening on demand ----
    bool m_openOnDemand = false;
    int64_t m_onDemandMinSize = DefaultOnDemandMinSize;
    // ---- find progress, nibble order ----
    bool m_findProgress = false;
    bool m_swapNibbles = false;
    // ---- layout settings the cell mapping uses ----
    int m_bytesPerRow = 16;
    int m_bytesPerUnit = 1;
    bool m_unicodeChars = false;
    bool m_insertMode = false;
    int m_charWidth = -1;
    int m_charHeight = 0;
    // ---- selection and caret field ----
    bool m_inCharField = false;
    bool m_inSelectCell = false;
    int m_selectionChangedCount = 0;
    // ---- busy cursors, first show ----
    TBusyCursorStack m_busyCursors;
    bool m_loaded = false;
    // ---- editing state (editor_editing.cpp, editor_undo.cpp) ----
    bool m_readOnlyView = false;
    bool m_noSizeChange = false;
    bool m_suspendNoSizeChange = false;
    bool m_allowInsertMode = true;
    // ---- keyboard, mouse and wheel input ----
    bool m_wantTabs = true;
    bool m_pendingSelectionClick = false;
    QPoint m_pendingClickPoint;
    TGridCoord m_pendingClickCell{-1, -1};
    int m_wheelRemainder = 0;
    int m_wheelRows = 0;
    // ---- layout settings (editor_layout.cpp) ----
    int m_bytesPerColumn = 2;
    int m_rulerBytesPerUnit = -1;
    int m_rulerUnit = 1;
    int m_bytesPerBlock = -1;
    bool m_separateBlocksInCharField = true;
    bool m_showRuler = false;
    int m_rulerNumberBase = 16;
    int m_gutterWidth = -1;
    int m_gutterChars = -1;
    QString m_hexRulerText;
    QString m_charRulerText;
    // ---- character translation ----
    TMPHTranslationKind m_translation = tkAsIs;
    bool m_unicodeBigEndian = false;
    uint8_t m_maskChar = '.';
    TMPHCharSet m_maskedChars = DefaultMaskedChars();
    // ---- offset format ----
    TMPHOffsetFormat m_offsetFormat;
    bool m_hexLowerCase = false;
    char m_hexDigits[17] = "0123456789ABCDEF";
    bool m_isMaxOffset = false;
    bool m_inGetOffsetText = false;
    // ---- bookmarks ----
    QImage m_bookmarkBitmap;
    bool m_customBookmarkBitmap = false;
    QVector<QImage> m_bookmarkImages;
    // ---- painting ----
    TMPHColors* m_colors = nullptr;
    TMPHCaretKind m_caretKind = ckAuto;
    bool m_focusFrame = true;
    bool m_drawGridLines = false;
    bool m_drawGutter3D = true;
    bool m_hideSelection = false;
    bool m_graySelectionIfNotFocused = false;
    bool m_showPositionIfNotFocused = false;
    int32_t m_drawDataPosition = -1;
    bool m_isDrawDataSelected = false;
    bool m_activeFieldShown = true;
    bool m_dropMarkerVisible = false;
    int m_dropMarkerCol = 0;
    int m_dropMarkerRow = 0;
    // ---- the drawn caret ----
    QImage m_caretBitmap;
    QPoint m_caretPos{-50, -50};
    bool m_caretExists = false;
    bool m_caretShown = false;
    bool m_caretBlinkOn = true;
    QTimer m_caretTimer;
    // ---- the one path for data changes ----
    TMPHDataChange m_lastDataChange;
};

class TMPHexEditor : public TCustomMPHexEditor
{
    Q_OBJECT
public:
    explicit TMPHexEditor(QWidget* parent = nullptr) : TCustomMPHexEditor(parent) {}
};
