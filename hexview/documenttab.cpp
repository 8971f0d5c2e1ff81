#include "hexview/documenttab.h"

#include "hexview/documentwatch.h"
#include "hexeditor/ex/mphexeditorex.h"

#include <QFileInfo>

namespace hexview {

TDocumentTab::TDocumentTab(HexViewWindow& window, TMPHexEditorEx* editor) : m_editor(editor)
{
    m_watch = new TDocumentWatch(window, *this);
}

TDocumentTab::~TDocumentTab() = default;

QString TDocumentTab::Title() const
{
    if (!m_editor)
        return QString();
    const QString name = m_editor->HasFile() ? QFileInfo(m_editor->FileName()).fileName() : m_editor->FileName();
    return m_editor->Modified() ? name + QLatin1Char('*') : name;
}

bool TDocumentTab::IsUnused() const
{
    return m_editor && !m_editor->HasFile() && !m_editor->Modified() && m_editor->DataSize() == 0 &&
           !m_editor->CanUndo();
}

} // namespace hexview
