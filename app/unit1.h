#pragma once
// The tool's window: "open" shows a firmware image's path, name, ID strings
// and CRC-32; "Extract" saves its boot block as a boot file; "Insert" puts a
// boot file into it and saves the result as a new image.

#include "app/formdialogs.h"
#include "platform/core/apperror.h"

#include <QWidget>
#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class TCustomMPHexEditor;
class TMPHexEditor;
class TMPHexEditorEx;

class TForm1 : public QWidget
{
    Q_OBJECT
public:
    // dialogs: where file dialogs and message boxes go; nullptr shows the real
    // Qt ones.
    explicit TForm1(std::unique_ptr<IFormDialogs> dialogs = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;

    static constexpr int ClientWidth = 262;
    static constexpr int ClientHeight = 128;
    static const char* const InitialCaption;
    // Shown in a plain box when the window closes.
    static const char* const CreditsText;

    IFormDialogs& Dialogs() { return *m_dialogs; }

    // Controls, under their stored names (also their objectName).
    QPushButton* Button4 = nullptr; // "open"
    QLineEdit* Edit1 = nullptr;     // image path
    QLabel* Label3 = nullptr;       // "crc32"
    QLineEdit* edit2 = nullptr;     // CRC-32 of the image
    QPushButton* Button3 = nullptr; // "Insert"
    QPushButton* Button2 = nullptr; // "Extract"
    QLabel* Label1 = nullptr;       // first ID string
    QLabel* Label2 = nullptr;       // second ID string
    QFrame* Panel5 = nullptr;
    QFrame* Panel6 = nullptr;
    QFrame* Panel1 = nullptr;
    QFrame* Panel3 = nullptr;
    QFrame* Panel2 = nullptr;
    TMPHexEditor* MPHexEditor1 = nullptr;
    TMPHexEditorEx* MPHexEditorEx1 = nullptr;

    TFileDialog OpenDialog1;
    TFileDialog OpenDialog2;
    TFileDialog SaveDialog1;
    TFileDialog SaveDialog2; // kept with the window; no command uses it

    // Event handlers. The commands raise their errors; the buttons run them
    // inside the application's error handling (RunCommand).
    void FormCreate();
    void Button4Click(); // "open"
    void Button2Click(); // "Extract"
    void Button3Click(); // "Insert"
    void FormClose();

    // Runs a command; an error ends it and is shown, and the window goes on.
    void RunCommand(void (TForm1::*command)());

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void SetTabOrderAndFocus();
    // The settings stored with the window for both editors.
    void ApplyStoredEditorSettings();
    void ApplyStoredPaintSettings(TCustomMPHexEditor& editor);
    void LoadImageIntoEditor(const QString& path);
    // Asks before a save replaces an existing file; true to go on.
    bool ConfirmReplace(const QString& target);

    std::unique_ptr<IFormDialogs> m_dialogs;
    TApplicationErrorHandler m_previousErrorHandler;
};
