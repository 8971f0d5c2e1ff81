// The window's documents: one tab each, the current one behind Editor().

#include "hexview/documentwatch.h"
#include "hexview/editorsetup.h"
#include "hexview/hexviewwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QTabBar>
#include <QTabWidget>

namespace hexview {

void HexViewWindow::CreateTabs()
{
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("documentTabs"));
    // One document looks as a window of one editor: no tab bar, no frame.
    m_tabs->setDocumentMode(true);
    m_tabs->setTabBarAutoHide(true);
    m_tabs->setTabsClosable(true);
    m_tabs->setMovable(true);
    m_tabs->setFocusPolicy(Qt::NoFocus);
    m_tabs->tabBar()->setFocusPolicy(Qt::NoFocus);
    setCentralWidget(m_tabs);
    connect(m_tabs, &QTabWidget::currentChanged, this, &HexViewWindow::CurrentTabChanged);
    // Queued: the close button's own handling is over before a question.
    connect(
        m_tabs, &QTabWidget::tabCloseRequested, this, [this](int index) { CloseDocument(index); },
        Qt::QueuedConnection);
}

TMPHexEditorEx* HexViewWindow::CreateEditor(const TMPHexEditorEx* model)
{
    auto* editor = new TMPHexEditorEx(m_tabs);
    editor->hide();
    editor->setObjectName(QStringLiteral("HexEditor"));
    editor->Loaded();
    if (model) {
        CopyEditorSetup(const_cast<TMPHexEditorEx&>(*model), *editor);
    } else {
        // Every undone step stays redoable until the next change.
        editor->SetMultiLevelRedo(true);
        // Another program's plain text pastes without a question about formats.
        editor->SetForeignTextAsCarried(true);
    }
    InstallEditorHandlers(*editor);
    for (const auto& setup : m_editorSetups)
        setup(*editor);
    return editor;
}

void HexViewWindow::OnEveryEditor(const std::function<void(TMPHexEditorEx&)>& setup)
{
    m_editorSetups.push_back(setup);
    for (TDocumentTab* tab : m_documents)
        setup(tab->Editor());
}

TDocumentTab* HexViewWindow::AddDocument(TMPHexEditorEx* editor, int index)
{
    auto* tab = new TDocumentTab(*this, editor);
    tab->setParent(this);
    m_documents.append(tab);
    m_tabChanging = true;
    m_tabs->insertTab(index < 0 ? m_tabs->count() : index, editor, tab->Title());
    m_tabChanging = false;
    if (!m_current)
        m_current = tab;
    UpdateTabTitle(*tab);
    return tab;
}

void HexViewWindow::DisposeEditor(TMPHexEditorEx& editor)
{
    ReleaseEditor(editor);
    // What was copied from this document stays on the clipboard.
    editor.SetFlushClipboardAtShutDown(true);
    editor.deleteLater();
}

void HexViewWindow::RemoveDocument(TDocumentTab* tab)
{
    m_documents.removeOne(tab);
    // Told before another tab comes to the front in its place.
    emit tab->Closed();
    m_tabs->removeTab(m_tabs->indexOf(&tab->Editor()));
    CurrentTabChanged();
    DisposeEditor(tab->Editor());
    tab->deleteLater();
}

int HexViewWindow::DocumentCount() const { return int(m_documents.size()); }

TDocumentTab& HexViewWindow::Document(int index) const
{
    QWidget* page = m_tabs->widget(index);
    for (TDocumentTab* tab : m_documents)
        if (tab->HasEditor() && &tab->Editor() == page)
            return *tab;
    return *m_current;
}

int HexViewWindow::CurrentIndex() const { return m_tabs->indexOf(&m_current->Editor()); }

void HexViewWindow::SetCurrentDocument(int index)
{
    if (index >= 0 && index < m_tabs->count())
        m_tabs->setCurrentIndex(index);
}

void HexViewWindow::SetCurrentDocument(TDocumentTab& tab) { SetCurrentDocument(m_tabs->indexOf(&tab.Editor())); }

const TFileStamp& HexViewWindow::LoadedFileStamp() const { return m_current->LoadedFileStamp(); }

void HexViewWindow::CurrentTabChanged()
{
    if (m_tabChanging || m_tabs->count() == 0)
        return;
    TDocumentTab* tab = &Document(m_tabs->currentIndex());
    if (tab == m_current && m_documents.contains(tab))
        return;
    m_current = tab;
    tab->Editor().setFocus();
    emit CurrentDocumentChanged();
    // Every area shows the document now in front, as after a load.
    emit DocumentLoaded();
}

void HexViewWindow::UpdateTabTitle(TDocumentTab& tab)
{
    const int index = m_tabs->indexOf(&tab.Editor());
    if (index < 0)
        return;
    m_tabs->setTabText(index, tab.Title());
    m_tabs->setTabToolTip(index, tab.Editor().HasFile() ? tab.Editor().FileName() : QString());
}

void HexViewWindow::NewDocument()
{
    TMPHexEditorEx* editor = CreateEditor(&Editor());
    // A new document is for writing: typing inserts at once (an empty
    // document in overwrite mode has nothing to type over).
    editor->SetReadOnlyView(false);
    editor->SetNoSizeChange(false);
    editor->SetInsertMode(true);
    TDocumentTab* tab = AddDocument(editor, CurrentIndex() + 1);
    emit tab->Loaded();
    SetCurrentDocument(*tab);
}

bool HexViewWindow::CloseDocument(int index)
{
    if (index < 0 || index >= m_tabs->count())
        return false;
    SetCurrentDocument(index);
    TDocumentTab* tab = m_current;
    if (CanReplaceDocument && !CanReplaceDocument())
        return false;
    // The window always shows a document: the last one gives way to a new one.
    if (m_documents.size() == 1)
        NewDocument();
    RemoveDocument(tab);
    return true;
}

bool HexViewWindow::ConfirmCloseAll()
{
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (!Document(i).Editor().Modified())
            continue;
        SetCurrentDocument(i);
        if (CanReplaceDocument && !CanReplaceDocument())
            return false;
    }
    return true;
}

int HexViewWindow::OpenFiles(const QStringList& paths)
{
    int opened = 0;
    for (const QString& path : paths)
        opened += OpenInNewTab(path) ? 1 : 0;
    return opened;
}

namespace {

// Where path leads: links followed; a file that is not (or no longer) there
// by its absolute name.
QString FileIdentity(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

} // namespace

TDocumentTab* HexViewWindow::DocumentOfFile(const QString& path) const
{
    if (path.isEmpty())
        return nullptr;
    const QString wanted = FileIdentity(path);
    for (TDocumentTab* tab : m_documents)
        if (tab->HasEditor() && tab->Editor().HasFile() && FileIdentity(tab->Editor().FileName()) == wanted)
            return tab;
    return nullptr;
}

bool HexViewWindow::OpenInNewTab(const QString& path)
{
    // A file open already is brought to the front, not read twice.
    if (TDocumentTab* open = DocumentOfFile(path)) {
        SetCurrentDocument(*open);
        return true;
    }
    if (m_current->IsUnused())
        return LoadFile(*m_current, path);
    TFileStamp stamp;
    TMPHexEditorEx* editor = LoadIntoNewEditor(path, Editor(), stamp);
    if (!editor)
        return false;
    editor->SetReadOnlyView(false);
    TDocumentTab* tab = AddDocument(editor, CurrentIndex() + 1);
    tab->SetLoadedFileStamp(stamp);
    emit tab->Loaded();
    SetCurrentDocument(*tab);
    return true;
}

} // namespace hexview
