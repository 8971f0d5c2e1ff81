#include "hexeditor/ex/formatseldialog.h"

#include "hexeditor/ex/mphclipformats.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

namespace {

QString StandardButtonText(QDialogButtonBox::StandardButton which)
{
    QDialogButtonBox box(which);
    return box.button(which)->text();
}

} // namespace

TFormatSelDialog::TFormatSelDialog(const QVector<CLIPFORMAT>& candidates, int preselected, bool hexText,
                                   QWidget* parent)
    : QDialog(parent ? parent : QApplication::activeWindow())
{
    setWindowTitle(QString::fromLatin1(MPHClipStrings::SelectFormatCaption));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : QSize(1024, 768);
    resize(screenSize.width() / 4, screenSize.height() / 4);

    OKButton = new QPushButton(StandardButtonText(QDialogButtonBox::Ok), this);
    OKButton->setDefault(true);
    OKButton->setEnabled(false);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    CancelButton = new QPushButton(StandardButtonText(QDialogButtonBox::Cancel), this);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    HexTextCheckBox = new QCheckBox(QString::fromLatin1(MPHClipStrings::HexTextCaption), this);
    HexTextCheckBox->setChecked(hexText);
    FormatListBox = new QListWidget(this);

    for (CLIPFORMAT format : candidates) {
        auto* item = new QListWidgetItem(FormatDisplayText(format), FormatListBox);
        item->setData(Qt::UserRole, int(format));
        OKButton->setEnabled(true);
    }
    int row = preselected >= 0 ? candidates.indexOf(CLIPFORMAT(preselected)) : -1;
    if (row < 0 && !candidates.isEmpty())
        row = 0;
    FormatListBox->setCurrentRow(row);

    connect(FormatListBox, &QListWidget::itemClicked, this, [this] { UpdateHexTextEnabled(); });
    connect(FormatListBox, &QListWidget::currentRowChanged, this, [this] { UpdateHexTextEnabled(); });
    connect(FormatListBox, &QListWidget::itemDoubleClicked, this, [this] {
        if (SelectedFormat() != 0)
            accept();
    });
    UpdateHexTextEnabled();
    LayOut();
    for (QWidget* control : {static_cast<QWidget*>(OKButton), static_cast<QWidget*>(CancelButton),
                             static_cast<QWidget*>(HexTextCheckBox)})
        control->installEventFilter(this);
    FormatListBox->setFocus();
}

void TFormatSelDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormatListBox->setFocus();
}

bool TFormatSelDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || watched == FormatListBox)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End: {
        // The list takes them, also left and right (which keep its entry):
        // focus never wanders between the buttons by arrow keys.
        QKeyEvent moved(QEvent::KeyPress, key->key(), key->modifiers());
        QCoreApplication::sendEvent(FormatListBox, &moved);
        return true;
    }
    default:
        return QDialog::eventFilter(watched, event);
    }
}

CLIPFORMAT TFormatSelDialog::SelectedFormat() const
{
    const QListWidgetItem* item = FormatListBox->currentItem();
    return item ? CLIPFORMAT(item->data(Qt::UserRole).toInt()) : 0;
}

void TFormatSelDialog::UpdateHexTextEnabled() { HexTextCheckBox->setEnabled(IsHexTextFormat(SelectedFormat())); }

void TFormatSelDialog::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    LayOut();
}

// Buttons at the bottom, the check box above them, the list filling the rest.
void TFormatSelDialog::LayOut()
{
    const int w = width(), h = height();
    const int buttonHeight = OKButton->sizeHint().height();
    const int buttonWidth = w / 2 - 32;
    const int buttonTop = h - buttonHeight - 8;
    OKButton->setGeometry(16, buttonTop, buttonWidth, buttonHeight);
    CancelButton->setGeometry(w - buttonWidth - 16, buttonTop, buttonWidth, buttonHeight);
    const int boxHeight = HexTextCheckBox->sizeHint().height();
    HexTextCheckBox->setGeometry(16, buttonTop - boxHeight - 8, w - 16, boxHeight);
    FormatListBox->setGeometry(0, 0, w, std::max(0, h - buttonHeight - boxHeight - 24));
}

namespace {

class TDialogChooser final : public IFormatChooser
{
public:
    bool ChooseFormat(const QVector<CLIPFORMAT>& candidates, int preselected, bool& asHexText,
                      CLIPFORMAT& chosen) override
    {
        TFormatSelDialog dialog(candidates, preselected, asHexText);
        if (dialog.exec() != QDialog::Accepted || dialog.SelectedFormat() == 0)
            return false;
        chosen = dialog.SelectedFormat();
        asHexText = dialog.HexTextCheckBox->isChecked();
        return true;
    }
};

TDialogChooser g_dialogChooser;
IFormatChooser* g_chooser = &g_dialogChooser;

} // namespace

IFormatChooser* SetFormatChooser(IFormatChooser* chooser)
{
    IFormatChooser* previous = g_chooser;
    g_chooser = chooser ? chooser : &g_dialogChooser;
    return previous;
}

IFormatChooser& CurrentFormatChooser() { return *g_chooser; }
