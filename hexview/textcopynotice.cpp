#include "hexview/textcopynotice.h"

#include "hexview/core/textcopy.h"
#include "hexview/hexviewwindow.h"

#include <QStatusBar>
#include <algorithm>

namespace hexview {

namespace {
constexpr int NoticeTimeout = 10000;

// The notice for copying the present selection; empty when the text carries it all.
QString NoticeForSelection(TMPHexEditorEx& editor)
{
    if (editor.ClipboardAsHexText() || !editor.CanCopy())
        return QString();
    const int64_t start = std::min(editor.SelStart(), editor.SelEnd());
    const int64_t count = editor.SelCount();
    if (start < 0 || count <= 0 || start + count > editor.DataSize())
        return QString();
    const uint8_t* data = editor.DataStorage().Memory() + start;
    return TextCopyNotice(TextCopyLength(data, count), count);
}
} // namespace

void CopyWithTextNotice(HexViewWindow& window, TClipboardCopy kind)
{
    TMPHexEditorEx& editor = window.Editor();
    const QString notice = NoticeForSelection(editor);
    const bool done = kind == TClipboardCopy::Cut ? editor.CutToClipboard() : editor.CopyToClipboard();
    if (done && !notice.isEmpty())
        window.statusBar()->showMessage(notice, NoticeTimeout);
}

} // namespace hexview
