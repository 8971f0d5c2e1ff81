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
    void SetEditor(TMPHexEditorEx* editor) { m_editor = editor; }

    // The file's identity just before its last load here.
    const TFileStamp& LoadedFileStamp() const { return m_loadedFileStamp; }
    void SetLoadedFileStamp(const TFileStamp& stamp) { m_loadedFileStamp = stamp; }
    TDocumentWatch& Watch() const { return *m_watch; }

    // The file's name ("Untitled" and the like without a file), with "*"
    // while the data differ from the file.
    QString Title() const;
    // A new, untouched document without a file: a file opened now may take
    // its place instead of a tab of its own.
    bool IsUnused() const;

signals:
    // The document's file was loaded or the document replaced.
    void Loaded();

private:
    QPointer<TMPHexEditorEx> m_editor;
    TFileStamp m_loadedFileStamp;
    TDocumentWatch* m_watch = nullptr;
};

} // namespace hexview
