// The stack of saved cursors behind the hourglass.
#include "platform/busycursor.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(BusyCursor, NestedPushesRestoreInReverseOrder)
{
    QWidget w;
    w.setCursor(Qt::IBeamCursor);
    TBusyCursorStack stack;
    stack.Push(&w);
    EXPECT_EQ(w.cursor().shape(), Qt::WaitCursor);
    w.setCursor(Qt::CrossCursor); // changed while busy
    stack.Push(&w);
    stack.Push(nullptr); // no widget: still one level, to keep pairs matched
    EXPECT_EQ(stack.Depth(), 3);
    stack.Pop(nullptr);
    EXPECT_EQ(w.cursor().shape(), Qt::WaitCursor);
    stack.Pop(&w);
    EXPECT_EQ(w.cursor().shape(), Qt::CrossCursor);
    stack.Pop(&w);
    EXPECT_EQ(w.cursor().shape(), Qt::IBeamCursor);
    stack.Pop(&w); // empty: nothing happens
    EXPECT_EQ(w.cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(stack.Depth(), 0);
}

TEST(BusyCursor, InheritedCursorIsInheritedAgainAfterPop)
{
    QWidget parent;
    parent.setCursor(Qt::PointingHandCursor);
    auto* child = new QWidget(&parent);
    TBusyCursorStack stack;
    stack.Push(child);
    EXPECT_EQ(child->cursor().shape(), Qt::WaitCursor);
    stack.Pop(child);
    EXPECT_FALSE(child->testAttribute(Qt::WA_SetCursor));
    parent.setCursor(Qt::SizeAllCursor);
    EXPECT_EQ(child->cursor().shape(), Qt::SizeAllCursor) << "not a copy of the parent's old cursor";
}

} // namespace
