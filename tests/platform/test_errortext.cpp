// The error boxes' full-stop rule, shared by the tool and hexview.

#include "platform/core/errortext.h"
#include "platform/core/exceptions.h"

#include <new>
#include <stdexcept>

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

TEST(ErrorText, EachKindOfErrorGivesItsMessage)
{
    const auto textOf = [](auto thrower) {
        try {
            thrower();
        } catch (...) {
            return ExceptionText(std::current_exception());
        }
        return QStringLiteral("nothing thrown");
    };
    EXPECT_EQ(textOf([] { throw Exception(QStringLiteral("Datei \u00FCber")); }), QStringLiteral("Datei \u00FCber"));
    // Both programs' boxes say the same for a failed allocation.
    EXPECT_EQ(textOf([] { throw std::bad_alloc(); }), "Out of memory");
    EXPECT_EQ(textOf([] { throw std::runtime_error("disk on fire"); }), "disk on fire");
    EXPECT_EQ(textOf([] { throw 42; }), "Unknown error");
    EXPECT_EQ(ExceptionText(nullptr), "");
}
