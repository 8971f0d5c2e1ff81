#pragma once
// One document of the window: the editor of its tab and what belongs to the
// document rather than to the window (the file's identity at the last load,
// the watch on its file, its title). The window owns every tab's document;
// the menus, the status bar, the docks and the overlay act on the current
// one through HexViewWindow::Editor().

#include "platform/core/filestamp.h"

#include <QObject>
#include <QPointer>
#include <QString>

class TMPHexEditorEx;

namespace hexview {

class HexViewWindow;
class TDocumentWatch;

class TDocumentTab : public QObject
{
    Q_OBJECT
public:
    TDocumentTab(HexViewWindow& window, TMPHexEditorEx* editor);
    ~TDocumentTab() override;

    TMPHexEditorEx& Editor() const { return *m_editor; }
    bool HasEditor() const { return !m_editor.isNull(); }
    // A load completed in a new editor takes the old one's place; the old
    // one is the caller's to delete.
    void SetEditor(TMPHexEditorEx* editor);

    // The file's identity just before its last load here.
    const TFileStamp& LoadedFileStamp() const { return m_loadedFileStamp; }
    void SetLoadedFileStamp(const TFileStamp& stamp) { m_loadedFileStamp = stamp; }
    TDocumentWatch& Watch() const { return *m_watch; }

    // The file's name ("Untitled" and the like without a file).
    QString Name() const;
    // The name, with "*" while the data differ from the file.
    QString Title() const;
    // A new, untouched document without a file: a file opened now may take
    // its place instead of a tab of its own.
    bool IsUnused() const;

    // Told by the window on each of the editor's change notifications:
    // DataChanged follows unless the notification was a save's.
    void NoteEditorChange();

signals:
    // The document's file was loaded or the document replaced.
    void Loaded();
    // The document's bytes changed: an edit, an Undo or Redo, a replacement
    // by an empty document (a save changes no bytes and does not count).
    void DataChanged();
    // The tab was closed; the object goes once the event loop is back.
    void Closed();

private:
    QPointer<TMPHexEditorEx> m_editor;
    TFileStamp m_loadedFileStamp;
    // The editor's stamp of its last save, as last seen: a notification
    // that brings a new one is that save's.
    TFileStamp m_savedStampSeen;
    TDocumentWatch* m_watch = nullptr;
};

} // namespace hexview
