#include "hexview/statusbar.h"

#include "hexview/hexviewwindow.h"

#include <QLabel>
#include <QStatusBar>

namespace hexview {

namespace {

QLabel* AddField(QStatusBar* bar, const char* name, bool permanent)
{
    auto* label = new QLabel(bar);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (permanent)
        bar->addPermanentWidget(label);
    else
        bar->addWidget(label);
    return label;
}

} // namespace

TStatusFields::TStatusFields(HexViewWindow& window) : QObject(&window), m_window(window)
{
    QStatusBar* bar = window.statusBar();
    // Every field is permanent: a passing message ("Not found", "Replaced 9
    // match(es)") takes the status bar's own message area on the left and
    // never hides the caret position or the selection.
    m_offset = AddField(bar, "statusOffset", true);
    m_selection = AddField(bar, "statusSelection", true);
    m_boot = AddField(bar, "statusBoot", true);
    m_boot->hide();
    m_field = AddField(bar, "statusField", true);
    m_mode = AddField(bar, "statusMode", true);
    m_access = AddField(bar, "statusAccess", true);
    m_size = AddField(bar, "statusSize", true);

    connect(&window, &HexViewWindow::DocumentLoaded, this, &TStatusFields::Refresh);
    connect(&window, &HexViewWindow::DataChanged, this, &TStatusFields::Refresh);
    connect(&window, &HexViewWindow::SelectionChanged, this, &TStatusFields::Refresh);
    connect(&window, &HexViewWindow::ReadOnlyViewChanged, this, &TStatusFields::Refresh);
}

void TStatusFields::Refresh()
{
    TMPHexEditorEx& editor = m_window.Editor();
    TStatusValues values;
    values.DataSize = editor.DataSize();
    values.CaretOffset = editor.DataSize() > 0 ? editor.CaretPosition() : -1;
    if (editor.SelCount() > 0) {
        values.SelFirst = editor.SelFirst();
        values.SelLast = editor.SelLast();
    }
    values.InCharField = editor.InCharField();
    values.UnicodeChars = editor.UnicodeChars();
    values.BigEndian = editor.UnicodeBigEndian();
    values.InsertMode = editor.InsertMode();
    if (m_window.ReadOnlyView())
        values.Access = TAccessState::ViewOnly;
    else if (!editor.HasFile())
        values.Access = TAccessState::NoFile;
    else if (editor.ReadOnlyFile())
        values.Access = TAccessState::FileWriteProtected;
    else
        values.Access = TAccessState::Writable;
    const TStatusTexts texts = MakeStatusTexts(values);
    m_offset->setText(texts.Offset);
    m_selection->setText(texts.Selection);
    m_field->setText(texts.Field);
    m_mode->setText(texts.Mode);
    m_access->setText(texts.Access);
    m_access->setVisible(!texts.Access.isEmpty());
    m_size->setText(texts.Size);
}

void TStatusFields::SetBootText(const QString& text)
{
    m_boot->setText(text);
    m_boot->setVisible(!text.isEmpty());
}

} // namespace hexview
