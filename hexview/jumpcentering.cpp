#include "hexview/jumpcentering.h"

#include "hexview/core/jumpview.h"
#include "hexview/hexviewwindow.h"

#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

namespace hexview {

void CenterCaretRow(HexViewWindow& window)
{
    TMPHexEditorEx& editor = window.Editor();
    const int firstRow = editor.FixedRows();
    const int top = CenteredTopRow(editor.Row(), editor.VisibleRowCount(), editor.RowCount(), firstRow);
    if (top != editor.TopRow())
        editor.SetTopRow(top);
}

namespace {

// A bookmark key is the editor's: it has moved the caret once the key event
// is through, so the centring follows from the event loop.
class TBookmarkKeyFilter : public QObject
{
public:
    explicit TBookmarkKeyFilter(HexViewWindow& window) : QObject(&window), m_window(&window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
            if (mods == Qt::ControlModifier && key->key() >= Qt::Key_0 && key->key() <= Qt::Key_9) {
                QPointer<HexViewWindow> window = m_window;
                QTimer::singleShot(0, this, [window] {
                    if (window)
                        CenterCaretRow(*window);
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<HexViewWindow> m_window;
};

} // namespace

void InstallJumpCentering(HexViewWindow& window)
{
    auto* filter = new TBookmarkKeyFilter(window);
    window.OnEveryEditor([filter](TMPHexEditorEx& editor) { editor.installEventFilter(filter); });
}

} // namespace hexview
