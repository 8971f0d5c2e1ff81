#include "hexview/documenttab.h"

#include "hexview/documentwatch.h"
#include "hexeditor/ex/mphexeditorex.h"

#include <QFileInfo>

namespace hexview {

TDocumentTab::TDocumentTab(HexViewWindow& window, TMPHexEditorEx* editor) : m_editor(editor)
{
    m_watch = new TDocumentWatch(window, *this);
    if (m_editor)
        m_savedStampSeen = m_editor->SavedFileStamp();
}

void TDocumentTab::SetEditor(TMPHexEditorEx* editor)
{
    m_editor = editor;
    m_savedStampSeen = editor ? editor->SavedFileStamp() : TFileStamp();
}

void TDocumentTab::NoteEditorChange()
{
    if (!m_editor)
        return;
    // A save notifies too, with the stamp of the file it wrote; the bytes
    // are the ones they were.
    const TFileStamp saved = m_editor->SavedFileStamp();
    if (!(saved == m_savedStampSeen)) {
        m_savedStampSeen = saved;
        return;
    }
    emit DataChanged();
}

TDocumentTab::~TDocumentTab() = default;

QString TDocumentTab::Name() const
{
    if (!m_editor)
        return QString();
    return m_editor->HasFile() ? QFileInfo(m_editor->FileName()).fileName() : m_editor->FileName();
}

QString TDocumentTab::Title() const
{
    if (!m_editor)
        return QString();
    return m_editor->Modified() ? Name() + QLatin1Char('*') : Name();
}

bool TDocumentTab::IsUnused() const
{
    return m_editor && !m_editor->HasFile() && !m_editor->Modified() && m_editor->DataSize() == 0 &&
           !m_editor->CanUndo();
}

} // namespace hexview
