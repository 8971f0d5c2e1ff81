// Ctrl+Tab and Ctrl+Shift+Tab bring the next or previous tab to the front.
// The editor takes Tab for itself (its field switch), so the keys are taken
// off every editor before it sees them.

#include "hexview/hexviewwindow.h"

#include <QKeyEvent>

namespace hexview {

namespace {

class TTabSwitchKeys : public QObject
{
public:
    explicit TTabSwitchKeys(HexViewWindow& window) : QObject(&window), m_window(window) {}

    // +1, -1, or 0 when the event is no tab switch.
    static int Step(QEvent* event)
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
            return 0;
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_Tab && mods == Qt::ControlModifier)
            return 1;
        if (key->key() == Qt::Key_Backtab && mods == (Qt::ControlModifier | Qt::ShiftModifier))
            return -1;
        return 0;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const int step = Step(event);
        if (step == 0)
            return false;
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept(); // delivered as a key press, to this filter
            return true;
        }
        const int count = m_window.DocumentCount();
        if (count > 1)
            m_window.SetCurrentDocument((m_window.CurrentIndex() + step + count) % count);
        return true;
    }

private:
    HexViewWindow& m_window;
};

} // namespace

void InstallTabSwitching(HexViewWindow& window)
{
    auto* keys = new TTabSwitchKeys(window);
    window.OnEveryEditor([keys](TMPHexEditorEx& editor) { editor.installEventFilter(keys); });
}

} // namespace hexview
