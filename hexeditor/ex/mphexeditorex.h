#pragma once
// The extended editor. Its features (backups, clipboard, drag and drop, print
// settings, settings by name, zoom and popup menus) each live in their own
// file of this folder.

#include "hexeditor/mphexeditor.h"
// ---- clipboard and transferred data: includes ----
#include "hexeditor/ex/mphclipformats.h"
#include "hexeditor/ex/mphdataobject.h"
#include <QPoint>
// ---- end clipboard and transferred data: includes ----
// ---- drag and drop, zoom and popup menus: includes ----
#include "hexeditor/ex/mphdragdrop.h"
#include <QMenu>
#include <QPointer>
#include <functional>
// ---- end drag and drop, zoom and popup menus: includes ----

// ---- print settings, fonts, settings by name --------------------------------
#include "hexeditor/ex/mphfont.h"
#include "hexeditor/ex/mphprintoptions.h"
#include "platform/core/filestamp.h"

class QPaintEvent;
struct TAtomicSaveOptions;

// A backup for a save could not be made (or an earlier one may not be
// replaced); nothing was written. The text is the backup's message.
class EMPHBackupError : public EMPHexEditor
{
public:
    using EMPHexEditor::EMPHexEditor;
};

// ---- keyboard (ex_keyboard.cpp) ------------------------------------------------
// The clipboard commands of the Ctrl+X, Ctrl+C and Ctrl+V keys.
enum class TMPHClipboardCommand { Cut, Copy, Paste };

class TMPHexEditorEx : public TCustomMPHexEditor
{
    Q_OBJECT
    // The extended editor's own published settings. Each feature file gives
    // its setting its behaviour; here they are plain stored values.
    Q_PROPERTY(bool CreateBackup READ CreateBackup WRITE SetCreateBackup)
    Q_PROPERTY(QString BackupExtension READ BackupExtension WRITE SetBackupExtension)
    Q_PROPERTY(bool OleDragDrop READ OleDragDrop WRITE SetOleDragDrop)
    Q_PROPERTY(bool ClipboardAsHexText READ ClipboardAsHexText WRITE SetClipboardAsHexText)
    Q_PROPERTY(bool FlushClipboardAtShutDown READ FlushClipboardAtShutDown WRITE SetFlushClipboardAtShutDown)
    Q_PROPERTY(bool SupportsOtherClipFormats READ SupportsOtherClipFormats WRITE SetSupportsOtherClipFormats)
    Q_PROPERTY(bool UseEditorFontForPrinting READ UseEditorFontForPrinting WRITE SetUseEditorFontForPrinting)
    Q_PROPERTY(bool ZoomOnWheel READ ZoomOnWheel WRITE SetZoomOnWheel)
    // ---- print settings and fonts (mphprint.cpp) ------------------------------
    // Objects: the settings walk their own properties ("PrintOptions.MarginLeft").
    Q_PROPERTY(TMPHPrintOptions* PrintOptions READ PrintOptions WRITE SetPrintOptions)
    Q_PROPERTY(TMPHFont* PrintFont READ PrintFont WRITE SetPrintFont)
    // The editor's own font as a settings object (Font.Name, Font.Size ...).
    Q_PROPERTY(TMPHFont* Font READ FontSettings)

public:
    explicit TMPHexEditorEx(QWidget* parent = nullptr);

    // ---- backups -----------------------------------------------------------
    bool CreateBackup() const { return m_createBackup; }
    void SetCreateBackup(bool value) { m_createBackup = value; }
    const QString& BackupExtension() const { return m_backupExtension; }
    void SetBackupExtension(const QString& value) { m_backupExtension = value; }
    // Saving over the document's own file without its name ever being empty
    // (off by default; not a published setting). On: the new contents go to a
    // temporary file beside the file the name leads to (symbolic links
    // followed, so a link stays a link and the backup is of its target);
    // once that is complete and synced, the current file gets the backup
    // name as a second name (the old contents stay under the document's name
    // too) and then the temporary file is renamed over it. A backup that
    // cannot be made stops the save with EMPHBackupError before anything is
    // replaced. Without a backup (CreateBackup off), a writable file in a
    // folder that may not be written is rewritten in place.
    bool AtomicBackup() const { return m_atomicBackup; }
    void SetAtomicBackup(bool value) { m_atomicBackup = value; }

    // ---- drag and drop -------------------------------------------------------
    bool OleDragDrop() const { return m_oleDragDrop; }
    // Stores the value and makes the drop target active or inactive
    // (editorex_dragdrop.cpp).
    virtual void SetOleDragDrop(bool value);

    // ---- clipboard -----------------------------------------------------------
    bool ClipboardAsHexText() const { return m_clipboardAsHexText; }
    void SetClipboardAsHexText(bool value) { m_clipboardAsHexText = value; }
    bool FlushClipboardAtShutDown() const { return m_flushClipboardAtShutDown; }
    void SetFlushClipboardAtShutDown(bool value) { m_flushClipboardAtShutDown = value; }
    bool SupportsOtherClipFormats() const { return m_supportsOtherClipFormats; }
    void SetSupportsOtherClipFormats(bool value) { m_supportsOtherClipFormats = value; }
    // Extension, off by default: a paste reads another program's text as the
    // one text format it really carries (text, or unicode text when the text
    // has characters without an 8-bit form) instead of the four text formats
    // derived from it, so a plain text paste asks no question. Other offered
    // formats (HTML, images, files, our own format) still make a choice.
    bool ForeignTextAsCarried() const { return m_foreignTextAsCarried; }
    void SetForeignTextAsCarried(bool value) { m_foreignTextAsCarried = value; }

    // ---- printing ------------------------------------------------------------
    bool UseEditorFontForPrinting() const { return m_useEditorFontForPrinting; }
    void SetUseEditorFontForPrinting(bool value) { m_useEditorFontForPrinting = value; }

    // ---- zoom ----------------------------------------------------------------
    bool ZoomOnWheel() const { return m_zoomOnWheel; }
    void SetZoomOnWheel(bool value) { m_zoomOnWheel = value; }

    // ---- zoom and popup menus (ex_zoom.cpp, ex_popup.cpp) ----------------------
    // The menu of right clicks on the offset column and the ruler; not owned,
    // cleared when the menu is destroyed.
    QMenu* OffsetPopupMenu() const { return m_offsetPopupMenu; }
    void SetOffsetPopupMenu(QMenu* menu);
    // The editor's ordinary context menu (elsewhere in the grid); not owned.
    QMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu* menu) { m_popupMenu = menu; }
    // The last double click selected a byte; cleared by the next release.
    bool DoubleClickSelected() const { return m_doubleClickSelected; }
    // Runs before the menus: a handler may set handled to keep them closed.
    std::function<void(QObject* sender, QPoint mousePos, bool& handled)> OnContextPopup;
    TNotifyEvent OnDblClick;
    // A right click at mousePos (viewport pixels): OnContextPopup, then the
    // offset menu over the offset column and the ruler, else the ordinary
    // menu. Returns whether a menu was shown.
    bool ContextPopup(QPoint mousePos);
    // A double click at mousePos (viewport pixels): selects the byte (unit)
    // under it, then fires OnDblClick.
    virtual void DblClick(QPoint mousePos);
    // ---- end zoom and popup menus ------------------------------------------------

    TMPHQueryPublicPropertyEvent OnQueryPublicProperty;

    // ---- backups (mphbackup.cpp) ----------------------------------------------
    // The read-only check, then the current file is renamed to its backup.
    void PrepareFileOverwrite() override;
    // Direct writes also mark the document modified.
    void WriteBuffer(const void* buffer, int32_t index, int32_t count) override;
    // FileName followed by BackupExtension.
    QString BackupFileName() const { return FileName() + m_backupExtension; }
    // Whether a save over the document's file keeps a backup: CreateBackup,
    // modified data and a non-empty extension.
    bool WantsBackup() const;

    // ---- saving (mphsave.cpp) ---------------------------------------------------
    // Writes the data to fileName (empty: FileName). Saving over the document's
    // own file runs PrepareFileOverwrite first (read-only refusal, backup).
    // The file is written to a temporary file and renamed into place, so a
    // failed write leaves the previous content under the name (a backup made
    // for this save is renamed back). On success the editor's document is
    // fileName, writable, unmodified, without change marks.
    void SaveToFile(const QString& fileName = QString());
    // The identity of the file the last successful save wrote (Exists false
    // before any save).
    const TFileStamp& SavedFileStamp() const { return m_savedFileStamp; }

    // ---- print settings and fonts (mphprint.cpp) ------------------------------
    TMPHPrintOptions* PrintOptions() { return &m_printOptions; }
    const TMPHPrintOptions* PrintOptions() const { return &m_printOptions; }
    // Copies value into the editor's own options.
    void SetPrintOptions(TMPHPrintOptions* value);
    TMPHFont* PrintFont() { return &m_printFont; }
    const TMPHFont* PrintFont() const { return &m_printFont; }
    // Copies value into the print font and turns UseEditorFontForPrinting off.
    void SetPrintFont(TMPHFont* value);
    void SetPrintFont(const QFont& value);
    TMPHFont* FontSettings() { return &m_fontSettings; }
    // The font a printout uses: the editor's or PrintFont.
    QFont FontForPrinting() const;

    // ---- settings by name (mphsettings.cpp) -----------------------------------
    virtual QString GetSettingsText();
    virtual void SetSettingsText(const QString& text);
    virtual bool IsPublicProperty(const QString& propertyName);
    QString SettingsText() { return GetSettingsText(); }
    // The editor's published property names in declaration order (the
    // extended editor's own first); objects among them are walked for
    // their own properties.
    static QStringList PublishedPropertyNames();
    void LockPaint();
    void UnlockPaint();
    int PaintLockCount() const { return m_paintLockCount; }
    // ---- keyboard (ex_keyboard.cpp) ------------------------------------------
    // The base key handling, then Ctrl+A select all, Ctrl+Z undo, Ctrl+Shift+Z
    // redo and the clipboard keys.
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    // Runs a clipboard key's command when the editor can (Cut: CanCut and
    // CutToClipboard, and so on). Returns whether it ran.
    virtual bool ClipboardShortcut(TMPHClipboardCommand command);

    // ---- clipboard and transferred data ---------------------------------------
    // editorex_clipboard.cpp: copy, cut and paste through the system clipboard.
    // editorex_transfer.cpp: reading a data object (paste and drop).
    ~TMPHexEditorEx() override;
    bool CanCopy();
    bool CanCut();
    bool CanPaste();
    bool CopyToClipboard();
    bool CutToClipboard();
    bool PasteFromClipboard();
    // The data object this editor put on the clipboard last (may be null).
    const TComPtr<TMPHDataObject>& ClipboardDataObject() const { return m_clipboardDataObject; }

    // The readable formats in priority order (2 or 17 entries).
    QVector<CLIPFORMAT> AcceptanceList() const { return MPHAcceptanceList(m_supportsOtherClipFormats); }
    CLIPFORMAT ChosenFormat(TMPHTransferPurpose purpose) const { return m_chosenFormat[purpose]; }
    // The format confirmed last in the format dialog, by any editor (-1: none).
    static int LastChosenFormat();
    static void SetLastChosenFormat(int format);

    // S_OK when the object offers a readable format (remembered as the
    // purpose's ChosenFormat), S_FALSE otherwise or in read-only view.
    HRESULT CheckTransferFormats(IDataObject* dataObject, uint32_t keyState, TMPHTransferPurpose purpose,
                                 uint32_t& effect, QPoint point);
    // Reads the chosen format of the object and puts its bytes into the data:
    // S_OK, or E_FAIL with effect none when nothing was inserted.
    HRESULT InsertTransferData(IDataObject* dataObject, uint32_t keyState, QPoint point, uint32_t& effect,
                               TMPHTransferPurpose purpose);
    // Picks the format among the offered entries of acceptance, asking the
    // user when several are offered; false when none or when cancelled.
    bool ChooseTransferFormat(const QVector<CLIPFORMAT>& acceptance, IDataObject* dataObject, bool& asHexText,
                              CLIPFORMAT& chosenFormat);

protected:
    // Places dropped bytes (the drop rule); the drag-and-drop code overrides
    // it. Returns false when there is no drop position, so nothing is inserted.
    virtual bool PlaceDroppedData(const uint8_t* bytes, int32_t count, const QString& description);
    // Places pasted bytes at the caret or over the selection (the paste rule).
    void PlacePastedData(const uint8_t* bytes, int32_t count, const QString& description);
    // The bytes of the fetched medium for format; throws for unreadable files
    // and for a file larger than room (checked before it is read).
    QByteArray TransferBytes(CLIPFORMAT format, TStgMedium& medium, uint32_t effect, HRESULT& result,
                             int64_t room = MaxDataSize);
    QByteArray FileListBytes(TStgMedium& medium, uint32_t effect, HRESULT& result, int64_t room = MaxDataSize);
    // How many bytes the paste or drop can place before the data would
    // exceed MaxDataSize (what it replaces counted back in).
    int64_t TransferRoom(TMPHTransferPurpose purpose);

    TComPtr<TMPHDataObject> m_clipboardDataObject;
    CLIPFORMAT m_chosenFormat[2] = {0, 0};
    // ---- end clipboard and transferred data ------------------------------------

public:
    // ---- drag and drop (editorex_dragdrop.cpp, mphdragdrop.cpp) -----------------
    TMPHDropTarget* DropTarget() const { return m_dropTarget.Get(); }
    // A drag started in this editor is running.
    bool Dragging() const { return m_dragging; }
    // The left button went down over the selection: a drag may start.
    bool DragArmed() const { return m_dragArmed; }
    int DragStartX() const { return m_dragStartX; }
    int DragStartY() const { return m_dragStartY; }
    // The running drag was dropped here as a move, and the bytes moved already.
    bool MovedInside() const { return m_movedInside; }
    // The effect a drag over the editor gets with these keys.
    uint32_t DropEffect(uint32_t keyState) const;
    // Reads the dropped data into the editor (InsertTransferData for a drop).
    HRESULT DropTransferData(IDataObject* dataObject, uint32_t keyState, QPoint point, uint32_t& effect);
    // Drags the selection out: the drag loop, then the move's clean-up.
    void StartDrag();
    // Off by default (not a stored setting). On: a move that a target outside
    // this program's editors reports (a file manager takes a move for local
    // files by default) removes the dragged bytes only when Shift is held at
    // the drop; otherwise it counts as a copy. Drops into editors keep the
    // drop rule.
    bool ForeignMoveNeedsShift() const { return m_foreignMoveNeedsShift; }
    void SetForeignMoveNeedsShift(bool value) { m_foreignMoveNeedsShift = value; }

protected:
    // The platform's drag loop with the drag's data (tests replace it).
    virtual HRESULT RunDragLoop(TMPHDataObject* dataObject, uint32_t okEffects, uint32_t& effect);
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool DoMouseWheelDown(Qt::KeyboardModifiers shift, Qt::MouseButtons buttons) override;
    bool DoMouseWheelUp(Qt::KeyboardModifiers shift, Qt::MouseButtons buttons) override;
    // The drag part of a press and of a move (editorex_dragdrop.cpp).
    void ArmDrag(QMouseEvent* e);
    bool DragThresholdPassed(QMouseEvent* e);
    // The double-click part of a release, before the base (ex_popup.cpp).
    void ReleaseDoubleClickSelection();
    // Font size one step up or down (ex_zoom.cpp); false at the lower limit.
    bool ZoomFont(int step);
    bool ZoomBytesPerRow(int step);

    // Deactivates the target when the editor goes.
    TMPHDropTargetRef m_dropTarget;
    bool m_dragging = false;
    bool m_dragArmed = false;
    int m_dragStartX = 0;
    int m_dragStartY = 0;
    bool m_movedInside = false;
    bool m_foreignMoveNeedsShift = false;
    // The effect of the drop being read (for the drop rule).
    uint32_t m_dropEffect = DROPEFFECT_NONE;
    QPointer<QMenu> m_offsetPopupMenu;
    QPointer<QMenu> m_popupMenu;
    bool m_doubleClickSelected = false;
    // ---- end drag and drop, zoom and popup menus ---------------------------------

protected:
    // The two ways of saving over the document's file (mphsave.cpp).
    void SaveRenamingToBackup(const QString& target);
    void SaveKeepingTheName(const QString& target);
    void WriteDataTo(const QString& target, TAtomicSaveOptions& options);
    // Paints nothing while the paint lock is held.
    void paintEvent(QPaintEvent* event) override;

    bool m_createBackup = true;
    QString m_backupExtension = QStringLiteral(".bak");
    bool m_atomicBackup = false;
    TFileStamp m_savedFileStamp;
    bool m_oleDragDrop = false;
    bool m_clipboardAsHexText = false;
    bool m_flushClipboardAtShutDown = false;
    bool m_supportsOtherClipFormats = true;
    bool m_foreignTextAsCarried = false;
    bool m_useEditorFontForPrinting = true;
    bool m_zoomOnWheel = true;

    // ---- print settings, fonts, paint lock --------------------------------------
    TMPHPrintOptions m_printOptions;
    TMPHFont m_printFont{font()};
    TMPHFont m_fontSettings{static_cast<QWidget*>(this)};
    int m_paintLockCount = 0;
};
