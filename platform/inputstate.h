#pragma once
// The state of Shift and of the left mouse button at the moment of a query.
// Tests install their own state to drive code that asks.

class IInputState
{
public:
    virtual ~IInputState() = default;
    virtual bool ShiftDown() const = 0;
    virtual bool LeftButtonDown() const = 0;
};

// The state in force: the real keyboard and mouse unless a test installed another.
IInputState& InputState();
// Installs state (not owned); nullptr restores the real one. Returns the previous.
IInputState* SetInputState(IInputState* state);

// A state whose answers the caller sets.
class TScriptedInputState : public IInputState
{
public:
    bool ShiftDown() const override { return Shift; }
    bool LeftButtonDown() const override { return LeftButton; }
    bool Shift = false;
    bool LeftButton = false;
};

// Installs a scripted state for the lifetime of the object and restores the
// previous one afterwards: an event handler states what its event says (Shift
// held, left button down) for the code it runs.
class TScopedInputState
{
public:
    TScopedInputState(bool shift, bool leftButton)
    {
        m_state.Shift = shift;
        m_state.LeftButton = leftButton;
        m_previous = SetInputState(&m_state);
    }
    ~TScopedInputState() { SetInputState(m_previous); }
    TScopedInputState(const TScopedInputState&) = delete;
    TScopedInputState& operator=(const TScopedInputState&) = delete;

private:
    TScriptedInputState m_state;
    IInputState* m_previous = nullptr;
};
