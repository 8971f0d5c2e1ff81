#include "app/unit1.h"

#include "app/apperrors.h"
#include "app/formfonts.h"
#include "app/idstrings.h"
#include "firmware/core/bootimage.h"
#include "hexeditor/ex/mphexeditorex.h"
#include "hexeditor/mphexeditor.h"
#include "platform/buttonkeys.h"
#include "platform/busycursor.h"
#include "platform/core/apperror.h"
#include "platform/core/errortext.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <iterator>

const char* const TForm1::InitialCaption = "edit boot for Zelq v1.0";
const char* const TForm1::CreditsText =
    "edit boot for Zelq v1.0\n"
    "Boot block tool for Zelq firmware images.\n"
    "Thank you for using it!";

// The window's icon lives in the resources of the editbootapp library.
static void InitResources()
{
    Q_INIT_RESOURCE(editboot);
}

namespace {

QFrame* MakePanel(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    panel->setGeometry(left, top, width, height);
    return panel;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, int left, int top)
{
    auto* button = new QPushButton(QLatin1String(text), parent);
    button->setObjectName(QLatin1String(name));
    button->setFont(FormFont(true));
    button->setGeometry(left, top, 65, 25);
    button->setAutoDefault(false);
    // Enter presses the focused button, as Space does.
    PressOnEnter(button);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name, bool bold, int left, int top)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(FormFont(bold));
    // ID strings are data: never taken as markup.
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    return label;
}

// The "crc32" label stands at the window's left edge, where the left bar
// (Panel6, one pixel wide) covers the first column: its text is put at the
// label's right end, beside the checksum box, so none of it is covered or cut.
// Should the face be too wide for the stored width, the label grows to the
// right, up to one pixel before nextLeft (the checksum box).
void FitLabelBesideLeftBar(QLabel& label, int nextLeft)
{
    label.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    constexpr int barAndGap = 2;
    const int needed = label.fontMetrics().horizontalAdvance(label.text()) + barAndGap;
    if (needed > label.width())
        label.resize(std::min(needed, nextLeft - 1 - label.x()), label.height());
}

// Sets a label's text and fits the label to it, as an auto-sized label does.
void SetLabelText(QLabel* label, const QString& text)
{
    label->setText(text);
    label->adjustSize();
}

} // namespace

TForm1::TForm1(std::unique_ptr<IFormDialogs> dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_dialogs(dialogs ? std::move(dialogs) : std::make_unique<TQtFormDialogs>(this))
{
    InitResources();
    InstallFontSubstitutes();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QLatin1String(InitialCaption));
    setWindowIcon(QIcon(QStringLiteral(":/editboot/editboot.png")));
    setFont(FormFont());
    // A fixed single border: the client area cannot be resized.
    setFixedSize(ClientWidth, ClientHeight);
    move(191, 114);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);

    OpenDialog1 = {QStringLiteral("OpenDialog1"), TFileDialog::dkOpen, QStringLiteral("Bin File (*.bin)"), {}};
    OpenDialog2 = {QStringLiteral("OpenDialog2"), TFileDialog::dkOpen, QStringLiteral("boot File (*.bin)"), {}};
    SaveDialog1 = {QStringLiteral("SaveDialog1"), TFileDialog::dkSave, QStringLiteral("boot File (*.bin)"), {}};
    SaveDialog2 = {QStringLiteral("SaveDialog2"), TFileDialog::dkSave, QStringLiteral("Bin File (*.bin)"), {}};

    CreateControls();
    ApplyStoredEditorSettings();
    SetTabOrderAndFocus();

    // Errors raised outside a command (deferred editor work, input handed to
    // an editor) reach the same box as the commands' errors.
    m_previousErrorHandler = SetApplicationErrorHandler([this](std::exception_ptr error) {
        m_dialogs->UnhandledError(WithFullStop(editboot::ExceptionText(error)));
    });

    connect(Button4, &QPushButton::clicked, this, [this] { RunCommand(&TForm1::Button4Click); });
    connect(Button2, &QPushButton::clicked, this, [this] { RunCommand(&TForm1::Button2Click); });
    connect(Button3, &QPushButton::clicked, this, [this] { RunCommand(&TForm1::Button3Click); });

    RunCommand(&TForm1::FormCreate);
}

TForm1::~TForm1()
{
    SetApplicationErrorHandler(std::move(m_previousErrorHandler));
}

void TForm1::CreateControls()
{
    Button4 = MakeButton(this, "Button4", "open", 8, 16);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(80, 16, 169, 21);

    Label3 = MakeLabel(this, "Label3", true, 0, 56);
    Label3->setText(QStringLiteral("crc32"));
    Label3->resize(33, 13);
    FitLabelBesideLeftBar(*Label3, 40);

    edit2 = new QLineEdit(this);
    edit2->setObjectName(QStringLiteral("edit2"));
    edit2->setGeometry(40, 48, 65, 21);
    // Every 8-digit checksum must show whole: "D" is the widest hex digit.
    SetFittingBoldFont(*edit2, QStringLiteral("DDDDDDDD"));
    edit2->setEnabled(false);

    Button3 = MakeButton(this, "Button3", "Insert", 112, 48);
    Button2 = MakeButton(this, "Button2", "Extract", 184, 48);

    Label1 = MakeLabel(this, "Label1", true, 24, 96);
    SetLabelText(Label1, QString());
    Label2 = MakeLabel(this, "Label2", true, 168, 96);
    SetLabelText(Label2, QString());

    // Decorative bars: top strip, left edge, bar above the ID strings, bar
    // between them, bottom strip.
    Panel5 = MakePanel(this, "Panel5", 0, 0, 265, 9);
    Panel6 = MakePanel(this, "Panel6", 0, 8, 1, 113);
    Panel1 = MakePanel(this, "Panel1", 0, 80, 265, 9);
    Panel3 = MakePanel(this, "Panel3", 128, 88, 9, 33);
    Panel2 = MakePanel(this, "Panel2", -2, 120, 267, 9);

    // The editors sit below the client area: never seen, the first one serves
    // to load the image and read its ID strings.
    MPHexEditor1 = new TMPHexEditor(this);
    MPHexEditor1->setObjectName(QStringLiteral("MPHexEditor1"));
    MPHexEditor1->setGeometry(104, 328, 320, 120);

    MPHexEditorEx1 = new TMPHexEditorEx(this);
    MPHexEditorEx1->setObjectName(QStringLiteral("MPHexEditorEx1"));
    MPHexEditorEx1->setGeometry(88, 320, 320, 120);

    MPHexEditor1->OnProgress = [this](QObject*, TMPHProgressKind, const QString& name, uint8_t percent,
                                      bool& cancel) {
        if (m_dialogs->LoadProgress(name, percent))
            cancel = true;
    };
}

// ---------------------------------------------------------------------------
// Settings stored with the window for its two editors: BytesPerRow 16,
// Translation tkAsIs, the default offset format and the font "Courier New",
// 15 pixels. Still to come with the painting and extended-editor work: the
// default colours, and for MPHexEditorEx1 BackupExtension ".bak", print margins
// 20, 15, 25, 25 (left, top, right, bottom), print flags pfSelectionBold and
// pfMonochrome and the print font "Courier New", 15 pixels.
//
// Once the settings are applied each editor becomes the empty, read-only
// "Untitled" document.
// ---------------------------------------------------------------------------
// The colours and painting values the form stores for both editors.
void TForm1::ApplyStoredPaintSettings(TCustomMPHexEditor& editor)
{
    TMPHColors& colors = *editor.Colors();
    colors.SetBackground(MPHColor::clWindow);
    colors.SetChangedBackground(MPHColor::clLightYellow);
    colors.SetChangedText(MPHColor::clMaroon);
    colors.SetCursorFrame(MPHColor::clNavy);
    colors.SetNonFocusCursorFrame(MPHColor::clAqua);
    colors.SetOffset(MPHColor::clBlack);
    colors.SetOddColumn(MPHColor::clBlue);
    colors.SetEvenColumn(MPHColor::clNavy);
    colors.SetCurrentOffsetBackground(MPHColor::clBtnShadow);
    colors.SetOffsetBackGround(MPHColor::clBtnFace);
    colors.SetCurrentOffset(MPHColor::clBtnHighlight);
    colors.SetActiveFieldBackground(MPHColor::clWindow);
    colors.SetGrid(MPHColor::clBtnFace);
    editor.SetFocusFrame(true);
    editor.SetCaretKind(ckAuto);
    editor.SetDrawGridLines(false);
    editor.SetDrawGutter3D(true);
    editor.SetSwapNibbles(false);
    // MaskChar is stored as MaskChar_AsInteger only when it is not "."; the
    // form carries none, so the mask character is ".".
    editor.SetMaskCharAsIntegerValue(QVariant(int('.')));
}

void TForm1::ApplyStoredEditorSettings()
{
    for (TCustomMPHexEditor* editor : {static_cast<TCustomMPHexEditor*>(MPHexEditor1),
                                       static_cast<TCustomMPHexEditor*>(MPHexEditorEx1)}) {
        editor->setFont(EditorFont());
        editor->SetBytesPerRow(16);
        editor->SetTranslation(tkAsIs);
        editor->SetOffsetFormat(QStringLiteral("-!10:0x|"));
        ApplyStoredPaintSettings(*editor);
    }
    for (TCustomMPHexEditor* editor : {static_cast<TCustomMPHexEditor*>(MPHexEditor1),
                                       static_cast<TCustomMPHexEditor*>(MPHexEditorEx1)})
        editor->Loaded();
}

void TForm1::SetTabOrderAndFocus()
{
    // Tab order: Edit1, Button2, Button3, Button4, the two editors, edit2.
    QWidget* order[] = {Edit1, Button2, Button3, Button4, MPHexEditor1, MPHexEditorEx1, edit2};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    Edit1->setFocus(Qt::OtherFocusReason);
}

void TForm1::RunCommand(void (TForm1::*command)())
{
    editboot::RunGuarded(*m_dialogs, [this, command] { (this->*command)(); });
}

void TForm1::FormCreate()
{
    // "Extract" and "Insert" wait for the first image chosen in "open".
    Button2->setEnabled(false);
    Button3->setEnabled(false);
}

void TForm1::LoadImageIntoEditor(const QString& path)
{
    // Ends the progress display on every way out of the load.
    struct TLoadEnd
    {
        IFormDialogs& dialogs;
        ~TLoadEnd() { dialogs.LoadFinished(); }
    } loadEnd{*m_dialogs};
    // The editor is not on screen: its own busy cursor would not be seen.
    TBusyOverride busy;
    MPHexEditor1->LoadFromFile(path);
}

void TForm1::Button4Click()
{
    if (!m_dialogs->OpenFile(OpenDialog1))
        return;
    const QString path = OpenDialog1.FileName;
    Edit1->setText(path);
    Button2->setEnabled(true);
    Button3->setEnabled(true);
    setWindowTitle(QFileInfo(path).fileName());

    // From here an error stops the command; what was done above stays done.
    LoadImageIntoEditor(path);
    SetLabelText(Label1, boot::IdLabelText(boot::ReadIdBytes(*MPHexEditor1, boot::FirstIdStart, boot::FirstIdEnd)));
    SetLabelText(Label2,
                 boot::IdLabelText(boot::ReadIdBytes(*MPHexEditor1, boot::SecondIdStart, boot::SecondIdEnd)));

    Edit1->setText(path);
    uint32_t crc = 0;
    {
        // Reading a large file again takes a moment: show the busy cursor.
        TBusyOverride busy;
        crc = boot::FileCrc32(Edit1->text());
    }
    // A checksum of 0 (also an unreadable file) leaves the box as it was.
    if (crc != 0)
        edit2->setText(boot::ChecksumText(crc));
}

void TForm1::Button2Click()
{
    // The path as it stands in Edit1 now: the user may have edited it.
    std::unique_ptr<TMPHMemoryStream> block;
    {
        // The marker search reads the whole image.
        TBusyOverride busy;
        block = boot::ExtractBlock(Edit1->text(), boot::SharedBlockBuffer());
    }
    if (!m_dialogs->SaveFile(SaveDialog1))
        return;
    // ".bin" is always appended, also to a name that already ends in it.
    const QString target = SaveDialog1.FileName + QStringLiteral(".bin");
    // Neither the image the block came from nor the open image may become
    // the boot file.
    boot::RefuseBlockOverImage(Edit1->text(), target);
    boot::RefuseBlockOverImage(OpenDialog1.FileName, target);
    if (!ConfirmReplace(target))
        return;
    {
        TBusyOverride busy;
        boot::SaveStreamToFile(*block, target);
    }
    m_dialogs->Information(QStringLiteral("File Saved to: ") + target + QStringLiteral("!"));
}

void TForm1::Button3Click()
{
    // The image chosen in "open", whatever Edit1 says now.
    std::unique_ptr<TMPHMemoryStream> image;
    {
        // The image is loaded whole: the busy cursor while it is read.
        TBusyOverride busy;
        image = boot::LoadImageAtMarker(OpenDialog1.FileName);
    }
    if (!m_dialogs->OpenFile(OpenDialog2))
        return;
    std::unique_ptr<TMPHMemoryStream> bootFile;
    {
        TBusyOverride busy;
        bootFile = boot::LoadBootFile(OpenDialog2.FileName);
    }
    if (!bootFile) {
        m_dialogs->Error(QStringLiteral("Error boot file!"));
        return;
    }
    boot::InsertBlock(*image, *bootFile, boot::SharedBlockBuffer());
    if (!m_dialogs->SaveFile(SaveDialog1))
        return;
    const QString target = SaveDialog1.FileName + QStringLiteral(".bin");
    // Saving onto the image itself is allowed (the image is replaced whole,
    // as the command line's insert allows it), but only after the question.
    if (!ConfirmReplace(target))
        return;
    // Written to a temporary file first and renamed over the target, so even
    // saving onto the image itself cannot lose it halfway.
    {
        TBusyOverride busy;
        boot::SaveStreamToFile(*image, target);
    }
    m_dialogs->Information(QStringLiteral("File Saved to: ") + target + QStringLiteral("!"));
}

bool TForm1::ConfirmReplace(const QString& target)
{
    // The save dialog never saw this name (".bin" is added after it closed),
    // so its own overwrite question could not have asked.
    const QFileInfo info(target);
    if (!info.exists() && !info.isSymLink())
        return true;
    return m_dialogs->Question(QStringLiteral("%1 already exists. Replace it?").arg(info.fileName()));
}

void TForm1::FormClose()
{
    m_dialogs->Plain(editboot::ApplicationTitle(), QLatin1String(CreditsText));
}

void TForm1::closeEvent(QCloseEvent* event)
{
    RunCommand(&TForm1::FormClose);
    // Closing cannot be refused.
    event->accept();
}
