// The Shift and left-button state seen by code that asks for it.
#include "platform/inputstate.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(InputState, InstalledStateAnswersUntilRemoved)
{
    struct Restore { ~Restore() { SetInputState(nullptr); } } restore;
    IInputState& real = InputState();
    TScriptedInputState scripted, other;
    EXPECT_EQ(SetInputState(&scripted), nullptr);
    scripted.Shift = true;
    EXPECT_TRUE(InputState().ShiftDown());
    EXPECT_FALSE(InputState().LeftButtonDown());
    EXPECT_EQ(SetInputState(&other), &scripted);
    EXPECT_FALSE(InputState().ShiftDown());
    EXPECT_EQ(SetInputState(nullptr), &other);
    EXPECT_EQ(&InputState(), &real);
}

TEST(InputState, RealStateFollowsTheMouseButton)
{
    QWidget w;
    w.resize(50, 50);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_FALSE(InputState().LeftButtonDown());
    QTest::mousePress(w.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_TRUE(InputState().LeftButtonDown());
    QTest::mouseRelease(w.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_FALSE(InputState().LeftButtonDown());
}

} // namespace
