#pragma once
// Edit > Replace... (Ctrl+H): replace matches of hex bytes or text one at a
// time or all at once.

#include "hexview/findactions.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace hexview {

class HexViewWindow;

// The bytes a replacement text stands for: a hex byte string, or text as
// the character field would store it. An empty text gives no bytes (the
// matches are deleted). Raises EMPHexEditor for a text that cannot be stored.
QByteArray ReplacementBytes(HexViewWindow& window, const QString& text, bool hex);

// Replaces the current match (the selection, when it is one) and finds the
// next; only finds when nothing is selected that matches. False when the
// document is not editable, the text is no pattern, or nothing is found.
bool ReplaceInWindow(HexViewWindow& window, const TFindRequest& request, const QString& replacement);

// Replaces every match as one undo step ("Replace all") and says how many in
// the status bar; the number of matches replaced (0 also on errors, which
// are shown).
int64_t ReplaceAllInWindow(HexViewWindow& window, const TFindRequest& request, const QString& replacement);

class TReplaceDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TReplaceDialog(HexViewWindow& window);
    // Shows the dialog with the focus on what to find.
    void Open();
    TFindRequest Request() const;
    QString Replacement() const;
    QLabel* Result() const { return m_result; }

private:
    void UpdateEnabled();

    HexViewWindow& m_window;
    QLineEdit* m_find;
    QLineEdit* m_replace;
    QRadioButton* m_hex;
    QRadioButton* m_text;
    QCheckBox* m_ignoreCase;
    QLabel* m_result;
    QPushButton* m_replaceOne;
    QPushButton* m_replaceAll;
};

void InstallReplaceActions(HexViewWindow& window);

} // namespace hexview
