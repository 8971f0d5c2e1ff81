#pragma once
// Edit menu: Find... (Ctrl+F), Find next (F3), Find previous (Shift+F3),
// Find all and Go to offset... (Ctrl+G), with their dialogs.

#include "hexeditor/core/mphsearch.h"

#include <QDialog>
#include <QString>
#include <memory>

class QCheckBox;
class QComboBox;
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
    bool IgnoreCase = false;   // text and regular expressions
    bool Regex = false;        // a regular expression over the bytes (Hex is then not used)
    // Search only inside [ScopeFirst, ScopeEnd) (the selection when the
    // search began); ScopeEnd -1: the whole document.
    int64_t ScopeFirst = 0;
    int64_t ScopeEnd = -1;
    bool InScope() const { return ScopeEnd >= 0; }
};

// Builds the pattern of a request under the editor's current translation.
// Raises EMPHexEditor for a text that is no pattern.
TMPHSearchPattern MakeFindPattern(HexViewWindow& window, const TFindRequest& request);
// The pattern, or the regular expression, of a request; raises as above.
std::unique_ptr<TMPHMatcher> MakeFindMatcher(HexViewWindow& window, const TFindRequest& request);

// Whether the request's text is a pattern (or expression) at all; only
// those enter the history.
bool IsValidFindRequest(HexViewWindow& window, const TFindRequest& request);

// Finds the next (forward) or previous match of request from the caret or the
// current match, wrapping, with a progress dialog for large documents. A
// match is selected and scrolled into view; a wrap, "not found" and a
// cancelled search are said in the status bar, a bad pattern in an error box.
// True when found.
bool FindInWindow(HexViewWindow& window, const TFindRequest& request, bool forward);

// The data of the window's current editor as a search sees them: the range
// is the request's scope; a large document reports progress to the window's
// progress dialog (search inside WithProgressDialog then). Given a matcher
// with a longest match, the search reads the data chunk by chunk (Read);
// otherwise it gets the data in one block (Data), which gathers an on-demand
// document.
TMPHFindParams WindowFindParams(HexViewWindow& window, const TFindRequest& request,
                                const TMPHMatcher* matcher = nullptr);

// Selects the bytes [position, position + length) of the window's current
// editor with the caret on the first and shows them (the last byte, then the
// first).
void SelectFoundBytes(HexViewWindow& window, int64_t position, int64_t length);

// The status bar text of a search that found its match only after wrapping.
QString WrapNotice(const TFindRequest& request, bool forward);

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
    // The selection becomes the scope of "In selection" (unless it is the
    // match found last: stepping through the scope keeps it).
    void TakeScopeFromSelection();
    // The selection is the match just found.
    void NoteFound();
    // Puts the request's text in front of the history and stores it.
    void Remember();

signals:
    void FindRequested(bool forward);
    void FindAllRequested();

private:
    void UpdateEnabled();

    HexViewWindow& m_window;
    QComboBox* m_text;
    QRadioButton* m_hex;
    QRadioButton* m_textMode;
    QRadioButton* m_regex;
    QCheckBox* m_ignoreCase;
    QCheckBox* m_inSelection;
    QLabel* m_result;
    int64_t m_scopeFirst = 0;
    int64_t m_scopeEnd = -1;
    int32_t m_foundFirst = -1;
    int32_t m_foundLast = -1;
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
