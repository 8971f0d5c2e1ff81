#pragma once
// Edit > Replace... (Ctrl+H): replace matches of hex bytes or text one at a
// time or all at once.

#include "hexview/findactions.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace hexview {

class HexViewWindow;

// The bytes a replacement text stands for, in the request's mode: a hex byte
// string, text as the character field would store it, or (for a regular
// expression) Latin-1 text with \xHH escapes. An empty text gives no bytes
// (the matches are deleted). Raises EMPHexEditor for a text that cannot be
// stored.
QByteArray ReplacementBytes(HexViewWindow& window, const TFindRequest& request, const QString& text);

// Replaces the current match (the selection, when it is one) and finds the
// next; only finds when nothing is selected that matches. False when the
// document is not editable, the text is no pattern, or nothing is found.
bool ReplaceInWindow(HexViewWindow& window, const TFindRequest& request, const QString& replacement);

// Replaces every match (in the request's scope) as one undo step ("Replace
// all"), rewriting the data in place, and says how many in the status bar;
// large documents get a progress dialog whose Cancel, while the matches are
// looked for, leaves the document as it was. The number of matches replaced
// (0 also on errors, which are shown, and when cancelled).
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
    void Remember(bool replacementToo);

    HexViewWindow& m_window;
    QComboBox* m_find;
    QComboBox* m_replace;
    QRadioButton* m_hex;
    QRadioButton* m_text;
    QRadioButton* m_regex;
    QCheckBox* m_ignoreCase;
    QCheckBox* m_inSelection;
    int64_t m_scopeFirst = 0;
    int64_t m_scopeEnd = -1;
    QLabel* m_result;
    QPushButton* m_replaceOne;
    QPushButton* m_replaceAll;
};

void InstallReplaceActions(HexViewWindow& window);

} // namespace hexview
