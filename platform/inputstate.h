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
