#pragma once
// Edit menu: Find... (Ctrl+F), Find next (F3), Find previous (Shift+F3) and
// Go to offset... (Ctrl+G), with their dialogs.

#include "hexeditor/core/mphsearch.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace hexview {

class HexViewWindow;

// What the user asked to find.
struct TFindRequest
{
    QString Text;
    bool Hex = true;           // hex byte string, else text
    bool IgnoreCase = false;   // text only
};

// Builds the pattern of a request under the editor's current translation.
// Raises EMPHexEditor for a text that is no pattern.
TMPHSearchPattern MakeFindPattern(HexViewWindow& window, const TFindRequest& request);

// Finds the next (forward) or previous match of request from the caret or the
// current match, wrapping, with a progress dialog for large documents. A
// match is selected and scrolled into view; "not found" and a cancelled search
// are said in the status bar, a bad pattern in an error box. True when found.
bool FindInWindow(HexViewWindow& window, const TFindRequest& request, bool forward);

// The Find dialog: pattern, hex or text, ignore case; it stays open while
// the user steps through the matches.
class TFindDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TFindDialog(HexViewWindow& window);
    TFindRequest Request() const;
    void SetRequest(const TFindRequest& request);
    QLabel* Result() const { return m_result; }

signals:
    void FindRequested(bool forward);

private:
    void UpdateEnabled();

    QLineEdit* m_text;
    QRadioButton* m_hex;
    QRadioButton* m_textMode;
    QCheckBox* m_ignoreCase;
    QLabel* m_result;
};

// The Go to dialog: refuses what is not an offset of the document with a
// message of its own and stays open; accepted, Target() is the position.
class TGotoDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TGotoDialog(HexViewWindow& window);
    int32_t Target() const { return m_target; }
    QLineEdit* Input() const { return m_input; }
    QLabel* Message() const { return m_message; }
    void accept() override;

private:
    HexViewWindow& m_window;
    QLineEdit* m_input;
    QLabel* m_message;
    int32_t m_target = -1;
};

// Moves the caret to position (which may be DataSize in insert mode) in its
// current field, dropping the selection, and scrolls it into view.
void GoToPosition(HexViewWindow& window, int32_t position);

void InstallFindActions(HexViewWindow& window);

} // namespace hexview
