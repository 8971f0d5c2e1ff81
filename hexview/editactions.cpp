// Edit menu: Undo, Redo, Select all, Insert mode.

#include "hexview/editactions.h"

#include "hexview/hexviewwindow.h"
#include "hexview/menuactions.h"

#include <QAction>
#include <QMenu>

namespace hexview {

QString UndoCaption(const QString& stepText)
{
    return stepText.isEmpty() ? HexViewWindow::tr("&Undo") : HexViewWindow::tr("&Undo %1").arg(stepText);
}

QString RedoCaption(const QString& stepText)
{
    return stepText.isEmpty() ? HexViewWindow::tr("&Redo") : HexViewWindow::tr("&Redo %1").arg(stepText);
}

namespace {

class TEditActions : public QObject
{
public:
    explicit TEditActions(HexViewWindow& window) : QObject(&window), m_window(window) {}
    void Install();
    void Sync();

private:
    bool Editing() const { return !m_window.ReadOnlyView() && !m_window.Editor().ReadOnlyView(); }

    HexViewWindow& m_window;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_selectAll = nullptr;
    QAction* m_insertMode = nullptr;
};

void TEditActions::Install()
{
    // The editor's own keys do the same; as window shortcuts these take the
    // keys first, so each press acts once.
    QMenu* edit = m_window.EditMenu();
    m_undo = AddMenuAction(edit, UndoCaption({}), "actionUndo", QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = AddMenuAction(edit, RedoCaption({}), "actionRedo", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    edit->addSeparator();
    m_selectAll =
        AddMenuAction(edit, HexViewWindow::tr("Select &all"), "actionSelectAll", QKeySequence(Qt::CTRL | Qt::Key_A));
    // The Insert key is the editor's; the item only shows and switches the mode.
    m_insertMode = AddMenuAction(edit, HexViewWindow::tr("&Insert mode\tIns"), "actionInsertMode");
    m_insertMode->setCheckable(true);

    // The current document's editor, asked when the action runs.
    connect(m_undo, &QAction::triggered, this, [this] {
        TMPHexEditorEx& editor = m_window.Editor();
        if (editor.CanUndo())
            m_window.RunGuarded([&editor] { editor.Undo(); });
        Sync();
    });
    connect(m_redo, &QAction::triggered, this, [this] {
        TMPHexEditorEx& editor = m_window.Editor();
        if (editor.CanRedo())
            m_window.RunGuarded([&editor] { editor.Redo(); });
        Sync();
    });
    connect(m_selectAll, &QAction::triggered, this, [this] {
        m_window.Editor().SelectAll();
        emit m_window.SelectionChanged();
    });
    connect(m_insertMode, &QAction::triggered, this, [this](bool on) {
        m_window.Editor().SetInsertMode(on);
        Sync();
        emit m_window.SelectionChanged(); // the status bar's mode field
    });

    connect(m_window.EditMenu(), &QMenu::aboutToShow, this, &TEditActions::Sync);
    connect(&m_window, &HexViewWindow::DataChanged, this, &TEditActions::Sync);
    connect(&m_window, &HexViewWindow::SelectionChanged, this, &TEditActions::Sync);
    connect(&m_window, &HexViewWindow::DocumentLoaded, this, &TEditActions::Sync);
    connect(&m_window, &HexViewWindow::ReadOnlyViewChanged, this, &TEditActions::Sync);
    Sync();
}

void TEditActions::Sync()
{
    TMPHexEditorEx& editor = m_window.Editor();
    const bool canUndo = Editing() && editor.CanUndo();
    const bool canRedo = Editing() && editor.CanRedo();
    m_undo->setEnabled(canUndo);
    m_undo->setText(UndoCaption(canUndo ? editor.UndoText() : QString()));
    m_redo->setEnabled(canRedo);
    m_redo->setText(RedoCaption(canRedo ? editor.RedoText() : QString()));
    m_selectAll->setEnabled(editor.DataSize() > 0);
    m_insertMode->setEnabled(Editing() && editor.AllowInsertMode() && !editor.NoSizeChangeInForce());
    m_insertMode->setChecked(editor.InsertMode());
}

} // namespace

void InstallEditActions(HexViewWindow& window)
{
    (new TEditActions(window))->Install();
}

} // namespace hexview
