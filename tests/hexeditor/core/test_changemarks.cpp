// The change marks against a plain bit array, and what they cost.

#include "hexeditor/core/mphchangemarks.h"

#include <QBitArray>
#include <gtest/gtest.h>

#include <random>

namespace {

void expectSame(const TMPHChangeMarks& marks, const QBitArray& model, int step)
{
    ASSERT_EQ(marks.size(), model.size()) << "step " << step;
    ASSERT_EQ(marks.count(true), model.count(true)) << "step " << step;
    ASSERT_EQ(marks.count(false), model.count(false)) << "step " << step;
    for (qsizetype i = 0; i < model.size(); ++i)
        ASSERT_EQ(marks.testBit(i), model.testBit(i)) << "step " << step << " bit " << i;
    // Read as the bit list the marks used to be, and compared with one.
    const QBitArray asBits = marks;
    ASSERT_EQ(asBits, model) << "step " << step;
    ASSERT_TRUE(marks == model && model == marks) << "step " << step;
    if (model.size() > 0) {
        QBitArray other = model;
        other.toggleBit(step % model.size());
        ASSERT_TRUE(marks != other && other != marks) << "step " << step;
    }
    QBitArray longer = model;
    longer.resize(model.size() + 1);
    ASSERT_FALSE(marks == longer) << "step " << step;
}

} // namespace

TEST(ChangeMarks, RandomOperationsMatchABitArray)
{
    std::mt19937 rng(7);
    TMPHChangeMarks marks;
    QBitArray model;
    for (int step = 0; step < 4000; ++step) {
        const int op = int(rng() % 10);
        const qsizetype size = model.size();
        if (op == 0) {
            const qsizetype n = qsizetype(rng() % 200);
            marks.resize(n);
            model.resize(n);
        } else if (op == 1 && size > 0) {
            const qsizetype at = qsizetype(rng() % size);
            marks.truncate(at);
            model.truncate(at);
        } else if (op == 2 && size > 0) {
            const qsizetype at = qsizetype(rng() % size);
            marks.toggleBit(at);
            model.toggleBit(at);
        } else if (size > 0) {
            const qsizetype at = qsizetype(rng() % size);
            const bool value = rng() % 3 != 0;
            marks.setBit(at, value);
            model.setBit(at, value);
        }
        expectSame(marks, model, step);
    }
}

TEST(ChangeMarks, NeighbouringMarksJoinAndClearingSplitsThem)
{
    TMPHChangeMarks marks;
    marks.resize(20);
    marks.setBit(5);
    marks.setBit(7);
    EXPECT_EQ(marks.rangeCount(), 2);
    marks.setBit(6);
    EXPECT_EQ(marks.rangeCount(), 1);
    EXPECT_EQ(marks.count(true), 3);
    marks.clearBit(6);
    EXPECT_EQ(marks.rangeCount(), 2);
    EXPECT_TRUE(marks.testBit(5));
    EXPECT_FALSE(marks.testBit(6));
    EXPECT_TRUE(marks.testBit(7));
    marks.fill(true);
    EXPECT_EQ(marks.count(true), 20);
    marks.resize(10);
    marks.resize(30);
    EXPECT_EQ(marks.count(true), 10) << "growing adds clear bits";
    EXPECT_FALSE(marks.testBit(10));
}

TEST(ChangeMarks, BitsOutsideTheListReadClearAndCannotBeSet)
{
    TMPHChangeMarks marks;
    marks.resize(3);
    marks.setBit(3);
    marks.setBit(-1);
    EXPECT_EQ(marks.count(true), 0);
    EXPECT_FALSE(marks.testBit(3));
    EXPECT_FALSE(marks.testBit(-1));
    EXPECT_EQ(marks.size(), 3);
}

TEST(ChangeMarks, OneMarkFarIntoTheListCostsOneRange)
{
    TMPHChangeMarks marks;
    const qsizetype far = qsizetype(512) << 20;
    marks.resize(far + 1);
    marks.setBit(far);
    EXPECT_EQ(marks.size(), far + 1);
    EXPECT_EQ(marks.count(true), 1);
    EXPECT_EQ(marks.rangeCount(), 1);
    EXPECT_TRUE(marks.testBit(far));
    EXPECT_FALSE(marks.testBit(far - 1));
    marks.resize(far);
    EXPECT_EQ(marks.rangeCount(), 0) << "cutting the list drops the marks beyond it";
}
