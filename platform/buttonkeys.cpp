#include "platform/buttonkeys.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace {

class TEnterPresses : public QObject
{
public:
    explicit TEnterPresses(QAbstractButton* button) : QObject(button), m_button(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_button || event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        // Shortcuts with Ctrl, Alt or Meta stay the window's.
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        if (!key->isAutoRepeat() && m_button->isEnabled())
            m_button->click();
        return true;
    }

private:
    QAbstractButton* m_button;
};

} // namespace

void PressOnEnter(QAbstractButton* button)
{
    if (button)
        button->installEventFilter(new TEnterPresses(button));
}
