#include "platform/inputstate.h"

#include <QGuiApplication>

namespace {

// Asks the window system at the moment of each query.
class TSystemInputState : public IInputState
{
public:
    bool ShiftDown() const override
    {
        return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
    }
    bool LeftButtonDown() const override
    {
        return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
    }
};

TSystemInputState g_systemState;
IInputState* g_installed = nullptr;

} // namespace

IInputState& InputState()
{
    return g_installed ? *g_installed : g_systemState;
}

IInputState* SetInputState(IInputState* state)
{
    IInputState* previous = g_installed;
    g_installed = state;
    return previous;
}
