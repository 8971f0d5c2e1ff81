#pragma once
// The extended editor. Its features (backups, clipboard, drag and drop, print
// settings, settings by name, zoom and popup menus) each live in their own
// file of this folder.

#include "hexeditor/mphexeditor.h"

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

public:
    explicit TMPHexEditorEx(QWidget* parent = nullptr) : TCustomMPHexEditor(parent) {}

    // ---- backups -----------------------------------------------------------
    bool CreateBackup() const { return m_createBackup; }
    void SetCreateBackup(bool value) { m_createBackup = value; }
    const QString& BackupExtension() const { return m_backupExtension; }
    void SetBackupExtension(const QString& value) { m_backupExtension = value; }

    // ---- drag and drop -------------------------------------------------------
    bool OleDragDrop() const { return m_oleDragDrop; }
    virtual void SetOleDragDrop(bool value) { m_oleDragDrop = value; }

    // ---- clipboard -----------------------------------------------------------
    bool ClipboardAsHexText() const { return m_clipboardAsHexText; }
    void SetClipboardAsHexText(bool value) { m_clipboardAsHexText = value; }
    bool FlushClipboardAtShutDown() const { return m_flushClipboardAtShutDown; }
    void SetFlushClipboardAtShutDown(bool value) { m_flushClipboardAtShutDown = value; }
    bool SupportsOtherClipFormats() const { return m_supportsOtherClipFormats; }
    void SetSupportsOtherClipFormats(bool value) { m_supportsOtherClipFormats = value; }

    // ---- printing ------------------------------------------------------------
    bool UseEditorFontForPrinting() const { return m_useEditorFontForPrinting; }
    void SetUseEditorFontForPrinting(bool value) { m_useEditorFontForPrinting = value; }

    // ---- zoom ----------------------------------------------------------------
    bool ZoomOnWheel() const { return m_zoomOnWheel; }
    void SetZoomOnWheel(bool value) { m_zoomOnWheel = value; }

    TMPHQueryPublicPropertyEvent OnQueryPublicProperty;

    // ---- keyboard (ex_keyboard.cpp) ------------------------------------------
    // The base key handling, then Ctrl+A select all, Ctrl+Z undo, Ctrl+Shift+Z
    // redo and the clipboard keys.
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    // Runs a clipboard key's command when the editor can (Cut: CanCut and
    // CutToClipboard, and so on). Returns whether it ran. The clipboard
    // feature provides it; until then no command runs.
    virtual bool ClipboardShortcut(TMPHClipboardCommand command);

protected:
    bool m_createBackup = true;
    QString m_backupExtension = QStringLiteral(".bak");
    bool m_oleDragDrop = false;
    bool m_clipboardAsHexText = false;
    bool m_flushClipboardAtShutDown = false;
    bool m_supportsOtherClipFormats = true;
    bool m_useEditorFontForPrinting = true;
    bool m_zoomOnWheel = true;
};
