// The grid's right margin: space between the cells and the vertical scroll
// bar for a widget of the program's own.

#include "test_customgrid_fixture.h"

TEST_F(GridTest, RightMarginNarrowsTheCellsAndIsGivenBack)
{
    EXPECT_EQ(grid.RightMargin(), 0);
    EXPECT_EQ(grid.VisibleColCount(), 8);
    grid.SetRightMargin(50);
    settle();
    EXPECT_EQ(grid.RightMargin(), 50);
    EXPECT_EQ(grid.viewport()->geometry(), QRect(0, 0, 150, 160));
    EXPECT_EQ(grid.VisibleColCount(), 5); // (150 - 36) / 20 wholly
    grid.SetRightMargin(-3); // taken as none
    settle();
    EXPECT_EQ(grid.RightMargin(), 0);
    EXPECT_EQ(grid.viewport()->width(), 200);
    EXPECT_EQ(grid.VisibleColCount(), 8);
}
