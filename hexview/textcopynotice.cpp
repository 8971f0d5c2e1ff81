#include "hexview/textcopynotice.h"

#include "hexview/core/textcopy.h"
#include "hexview/hexviewwindow.h"
#include "hexeditor/core/mphslicereader.h"
#include "platform/core/exceptions.h"

#include <QStatusBar>
#include <algorithm>

namespace hexview {

namespace {
constexpr int NoticeTimeout = 10000;
constexpr int64_t SliceSize = 64 * 1024;

// TextCopyLength of the selection, read a slice at a time up to its first
// zero byte: a document read on demand is not gathered for it.
int64_t SelectionTextLength(TMPHMemoryStream& data, int64_t start, int64_t count)
{
    TMPHSliceReader reader;
    for (int64_t done = 0; done < count;) {
        const int64_t n = std::min(SliceSize, count - done);
        const int64_t carried = TextCopyLength(reader.Read(data, start + done, n), n);
        if (carried < n)
            return done + carried;
        done += n;
    }
    return count;
}

// The notice for copying the present selection; empty when the text carries it all.
QString NoticeForSelection(TMPHexEditorEx& editor)
{
    if (editor.ClipboardAsHexText() || !editor.CanCopy())
        return QString();
    const int64_t start = std::min(editor.SelStart(), editor.SelEnd());
    const int64_t count = editor.SelCount();
    if (start < 0 || count <= 0 || start + count > editor.DataSize())
        return QString();
    try {
        return TextCopyNotice(SelectionTextLength(editor.DataStorage(), start, count), count);
    } catch (const Exception&) {
        return QString(); // unreadable bytes: the copy itself tells why
    }
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
