#pragma once
// The window's file dialogs and message boxes, reached through one small
// interface so that every command can also run without a person in front of
// it: TQtFormDialogs shows the real dialogs, TScriptedFormDialogs
// (scripteddialogs.h) answers from a script and records what was shown.

#include <QString>

class QWidget;

// One file dialog of the window with what it keeps between uses: its filter
// and the file name chosen last.
struct TFileDialog
{
    enum Kind { dkOpen, dkSave };

    QString Name;     // the window's name for it, e.g. "OpenDialog1"
    Kind DialogKind = dkOpen;
    QString Filter;   // Qt filter text, e.g. "Bin File (*.bin)"
    QString FileName; // last chosen file name; empty until one was chosen
};

class IFormDialogs
{
public:
    virtual ~IFormDialogs() = default;

    // Shows an open / save dialog. On a choice stores it in dialog.FileName and
    // returns true; on cancel returns false and leaves the dialog as it was.
    virtual bool OpenFile(TFileDialog& dialog) = 0;
    virtual bool SaveFile(TFileDialog& dialog) = 0;

    // Information box (caption "Information"), error box (caption "Erreur"),
    // both with one "OK" button.
    virtual void Information(const QString& text) = 0;
    virtual void Error(const QString& text) = 0;
    // A box without icon, one OK button, the given caption.
    virtual void Plain(const QString& caption, const QString& text) = 0;
    // The application's box for an error no command caught: stop icon, the
    // application's title as caption, one OK button. text is shown as given
    // (the caller has already applied the full-stop rule).
    virtual void UnhandledError(const QString& text) = 0;
    // A question with the buttons Yes and No (No is the default); true for Yes.
    // Dialogs that ask nothing (an implementation written before the window
    // asked questions) answer Yes, which is what the window did unasked.
    virtual bool Question(const QString& text)
    {
        Q_UNUSED(text);
        return true;
    }

    // Progress of a long load: called with the file name and 0..100. Returns
    // true when the user asked to cancel. LoadFinished ends the display; it is
    // called once after every load, whatever its outcome.
    virtual bool LoadProgress(const QString& fileName, int percent) = 0;
    virtual void LoadFinished() = 0;
};

class QProgressDialog;

// The program's implementation with Qt's file dialogs and message boxes.
class TQtFormDialogs : public IFormDialogs
{
public:
    explicit TQtFormDialogs(QWidget* owner);
    ~TQtFormDialogs() override;

    bool OpenFile(TFileDialog& dialog) override;
    bool SaveFile(TFileDialog& dialog) override;
    void Information(const QString& text) override;
    void Error(const QString& text) override;
    void Plain(const QString& caption, const QString& text) override;
    void UnhandledError(const QString& text) override;
    bool Question(const QString& text) override;
    bool LoadProgress(const QString& fileName, int percent) override;
    void LoadFinished() override;

    // A load shorter than this shows no progress dialog.
    static constexpr int ProgressDelayMs = 400;

private:
    bool Execute(TFileDialog& dialog);

    QWidget* m_owner;
    QProgressDialog* m_progress = nullptr;
};
