#pragma once
// Dialogs that answer from a script instead of asking a person: the file
// dialogs take their answers from a queue (a name, or nothing for "cancel"),
// the message boxes are recorded, and a load can be cancelled at a chosen
// progress report. Lets the window's commands run headless.

#include "app/apperrors.h"
#include "app/formdialogs.h"

#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

class TScriptedFormDialogs : public IFormDialogs
{
public:
    struct TBox
    {
        enum Kind { bkInformation, bkError, bkPlain, bkUnhandled };
        Kind BoxKind;
        QString Caption;
        QString Text;
    };

    // Answer for the next file dialog: the chosen file name ...
    void Choose(const QString& fileName) { m_answers.emplace_back(fileName); }
    // ... or a cancel.
    void Cancel() { m_answers.emplace_back(std::nullopt); }
    // The user presses "Cancel" at the progress report number index (0-based,
    // counted since the last ClearRecords); -1 never cancels.
    void CancelAtProgressReport(int index) { m_cancelAt = index; }
    // Answer for the next question (true: Yes). A question with no answer
    // left takes the default answer, Yes unless set otherwise, so scripts
    // written for commands that did not ask go on as before.
    void Answer(bool yes) { m_questionAnswers.push_back(yes); }
    void SetDefaultAnswer(bool yes) { m_defaultAnswer = yes; }
    // Questions asked since the last ClearRecords, in order.
    const QStringList& Questions() const { return m_questions; }

    // Names of the file dialogs shown, in order (e.g. "OpenDialog1").
    const QStringList& DialogsShown() const { return m_shown; }
    // Message boxes shown, in order.
    const std::vector<TBox>& Boxes() const { return m_boxes; }
    // Percentages reported by loads, in order.
    const std::vector<int>& ProgressReports() const { return m_progress; }
    int LoadsFinished() const { return m_loadsFinished; }
    // File dialogs shown with no answer left in the script (taken as cancel).
    int UnscriptedDialogs() const { return m_unscripted; }
    int PendingAnswers() const { return static_cast<int>(m_answers.size()); }
    void ClearRecords()
    {
        m_shown.clear();
        m_boxes.clear();
        m_progress.clear();
        m_questions.clear();
    }

    bool OpenFile(TFileDialog& dialog) override { return Answer(dialog); }
    bool SaveFile(TFileDialog& dialog) override { return Answer(dialog); }
    void Information(const QString& text) override
    {
        m_boxes.push_back({TBox::bkInformation, QStringLiteral("Information"), text});
    }
    void Error(const QString& text) override
    {
        m_boxes.push_back({TBox::bkError, QStringLiteral("Erreur"), text});
    }
    void Plain(const QString& caption, const QString& text) override
    {
        m_boxes.push_back({TBox::bkPlain, caption, text});
    }
    void UnhandledError(const QString& text) override
    {
        m_boxes.push_back({TBox::bkUnhandled, editboot::ApplicationTitle(), text});
    }
    bool Question(const QString& text) override
    {
        m_questions.append(text);
        if (m_questionAnswers.empty())
            return m_defaultAnswer;
        const bool yes = m_questionAnswers.front();
        m_questionAnswers.pop_front();
        return yes;
    }
    bool LoadProgress(const QString&, int percent) override
    {
        m_progress.push_back(percent);
        return m_cancelAt >= 0 && static_cast<int>(m_progress.size()) - 1 >= m_cancelAt;
    }
    void LoadFinished() override { ++m_loadsFinished; }

private:
    bool Answer(TFileDialog& dialog)
    {
        m_shown.append(dialog.Name);
        if (m_answers.empty()) {
            ++m_unscripted;
            return false;
        }
        std::optional<QString> answer = m_answers.front();
        m_answers.pop_front();
        if (!answer)
            return false;
        dialog.FileName = *answer;
        return true;
    }

    std::deque<std::optional<QString>> m_answers;
    std::deque<bool> m_questionAnswers;
    bool m_defaultAnswer = true;
    QStringList m_questions;
    QStringList m_shown;
    std::vector<TBox> m_boxes;
    std::vector<int> m_progress;
    int m_cancelAt = -1;
    int m_loadsFinished = 0;
    int m_unscripted = 0;
};
