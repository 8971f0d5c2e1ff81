// The error boxes' full-stop rule, shared by the tool and hexview.

#include "platform/core/errortext.h"

#include <gtest/gtest.h>

TEST(ErrorText, FullStopIsAddedOnlyAfterCharactersSortingAfterIt)
{
    EXPECT_EQ(WithFullStop("Invalid selection end"), "Invalid selection end.");
    EXPECT_EQ(WithFullStop("Error 5"), "Error 5.");
    EXPECT_EQ(WithFullStop("Done."), "Done.");
    EXPECT_EQ(WithFullStop("(No such file or directory.)"), "(No such file or directory.)");
    EXPECT_EQ(WithFullStop("Error boot file!"), "Error boot file!");
    EXPECT_EQ(WithFullStop("a-"), "a-");
    EXPECT_EQ(WithFullStop("path/"), "path/.");
    EXPECT_EQ(WithFullStop(""), "");
}
