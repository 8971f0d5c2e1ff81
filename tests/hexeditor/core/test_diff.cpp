// The difference engine against a plain byte loop: whole runs, runs in
// bounded steps, windows recomputed after edits, and the navigation queries.

#include "hexeditor/core/mphdiff.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// The reference: one byte at a time, the longer one's rest as one range.
std::vector<TMPHDiffRange> NaiveRanges(const Bytes& a, const Bytes& b)
{
    std::vector<TMPHDiffRange> ranges;
    const size_t extent = std::max(a.size(), b.size());
    for (size_t i = 0; i < extent; ++i) {
        const bool differs = i >= a.size() || i >= b.size() || a[i] != b[i];
        if (!differs)
            continue;
        if (!ranges.empty() && ranges.back().End() == int64_t(i))
            ++ranges.back().Length;
        else
            ranges.push_back({int64_t(i), 1});
    }
    return ranges;
}

int64_t Sum(const std::vector<TMPHDiffRange>& ranges)
{
    int64_t n = 0;
    for (const auto& r : ranges)
        n += r.Length;
    return n;
}

Bytes RandomBytes(std::mt19937& rng, size_t size)
{
    Bytes bytes(size);
    for (auto& b : bytes)
        b = uint8_t(rng());
    return bytes;
}

// b is a with a few bytes changed, in clusters of random lengths.
Bytes Perturbed(std::mt19937& rng, Bytes b, int clusters)
{
    for (int i = 0; i < clusters && !b.empty(); ++i) {
        const size_t at = rng() % b.size();
        const size_t length = 1 + rng() % 20;
        for (size_t j = at; j < std::min(b.size(), at + length); ++j)
            if (rng() % 4 != 0) // some bytes inside a cluster stay equal
                b[j] = uint8_t(b[j] + 1 + rng() % 255);
    }
    return b;
}

void ExpectMatchesNaive(const TMPHDiff& diff, const Bytes& a, const Bytes& b)
{
    const auto expected = NaiveRanges(a, b);
    ASSERT_TRUE(diff.Done());
    EXPECT_EQ(diff.Ranges(), expected);
    EXPECT_EQ(diff.DifferingBytes(), Sum(expected));
    EXPECT_EQ(diff.RangeCount(), int64_t(expected.size()));
}

} // namespace

TEST(DiffSearch, FirstDifferenceAndFirstEqualAtEveryWordAndBlockEdge)
{
    Bytes a(9000, 0x5A);
    for (int64_t at : {0, 1, 7, 8, 9, 15, 16, 4095, 4096, 4097, 8191, 8192, 8999}) {
        Bytes b = a;
        b[at] ^= 0xFF;
        EXPECT_EQ(MPHFirstDifference(a.data(), b.data(), 0, 9000), at) << at;
        // Searching from past the difference finds nothing.
        EXPECT_EQ(MPHFirstDifference(a.data(), b.data(), at + 1, 9000), 9000) << at;
        // A limit before the difference stops there.
        EXPECT_EQ(MPHFirstDifference(a.data(), b.data(), 0, at), at) << at;

        Bytes c(9000, 0x00), d(9000, 0xFF);
        d[at] = 0x00;
        EXPECT_EQ(MPHFirstEqual(c.data(), d.data(), 0, 9000), at) << at;
        EXPECT_EQ(MPHFirstEqual(c.data(), d.data(), at + 1, 9000), 9000) << at;
    }
    // An exclusive-or holding 0x01 beside 0x00 bytes must not fool the word test.
    Bytes e = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    Bytes f = {0, 2, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14, 17};
    EXPECT_EQ(MPHFirstEqual(e.data(), f.data(), 0, 16), 1);
    EXPECT_EQ(MPHFirstEqual(e.data(), f.data(), 2, 16), 16);
}

TEST(Diff, RandomPairsOfEqualAndDifferentLengthsMatchTheByteLoop)
{
    std::mt19937 rng(20);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        const size_t size = rng() % (round < 100 ? 40 : 20000);
        const Bytes a = RandomBytes(rng, size);
        Bytes b = Perturbed(rng, a, int(rng() % 12));
        if (round % 3 == 1)
            b.resize(b.size() + rng() % 50, 0x33); // b longer
        else if (round % 3 == 2 && !b.empty())
            b.resize(rng() % b.size()); // b shorter
        TMPHDiff diff;
        diff.Compute(a.data(), int64_t(a.size()), b.data(), int64_t(b.size()));
        ExpectMatchesNaive(diff, a, b);
    }
}

TEST(Diff, EmptyAndEqualPairsAndAnEmptySide)
{
    TMPHDiff diff;
    diff.Compute(nullptr, 0, nullptr, 0);
    EXPECT_TRUE(diff.Done());
    EXPECT_EQ(diff.RangeCount(), 0);
    EXPECT_EQ(diff.Percent(), 100);

    const Bytes a(100, 7);
    diff.Compute(a.data(), 100, a.data(), 100);
    EXPECT_EQ(diff.RangeCount(), 0);
    EXPECT_EQ(diff.DifferingBytes(), 0);

    // One side empty: the other is one range.
    diff.Compute(a.data(), 100, nullptr, 0);
    EXPECT_EQ(diff.Ranges(), (std::vector<TMPHDiffRange>{{0, 100}}));
    // A difference that runs into the longer one's rest is joined with it.
    Bytes b(90, 7);
    b[89] = 8;
    diff.Compute(a.data(), 100, b.data(), 90);
    EXPECT_EQ(diff.Ranges(), (std::vector<TMPHDiffRange>{{89, 11}}));
}

TEST(Diff, BoundedStepsGiveTheSameRangesWhateverTheStepSize)
{
    std::mt19937 rng(21);
    const Bytes a = RandomBytes(rng, 30000);
    Bytes b = Perturbed(rng, a, 40);
    // A long differing run crosses many step limits.
    for (size_t i = 1000; i < 5000; ++i)
        b[i] = uint8_t(~a[i]);
    b.resize(30100, 1);
    for (int64_t step : {1, 7, 8, 100, 4096, 5000, 1 << 20}) {
        SCOPED_TRACE(step);
        TMPHDiff diff;
        diff.Start(int64_t(a.size()), int64_t(b.size()));
        int steps = 0;
        int64_t before = -1;
        while (!diff.Step(a.data(), b.data(), step)) {
            ASSERT_GT(diff.ScannedTo(), before) << "a step made no progress";
            before = diff.ScannedTo();
            // Everything below the scan point is final.
            for (const auto& r : diff.Ranges())
                ASSERT_LE(r.End(), diff.ScannedTo());
            ++steps;
        }
        EXPECT_EQ(diff.Percent(), 100);
        ExpectMatchesNaive(diff, a, b);
        if (step == 100)
            EXPECT_GE(steps, 250);
    }
}

TEST(Diff, UpdatingAWindowAfterEditsMatchesAFreshComparison)
{
    std::mt19937 rng(22);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        const size_t size = 1 + rng() % 3000;
        Bytes a = RandomBytes(rng, size);
        Bytes b = Perturbed(rng, a, 8);
        if (round % 2)
            b.resize(size + rng() % 40, 0);
        TMPHDiff diff;
        diff.Compute(a.data(), int64_t(a.size()), b.data(), int64_t(b.size()));
        for (int edit = 0; edit < 5; ++edit) {
            // Edit either side in place: a few bytes made equal or different.
            Bytes& side = rng() % 2 ? a : b;
            const Bytes& other = &side == &a ? b : a;
            const int64_t at = int64_t(rng() % side.size());
            const int64_t length = 1 + int64_t(rng() % 30);
            const int64_t last = std::min<int64_t>(at + length, int64_t(side.size())) - 1;
            for (int64_t i = at; i <= last; ++i)
                side[size_t(i)] = rng() % 2 && size_t(i) < other.size() ? other[size_t(i)] : uint8_t(rng());
            // The window may reach past the edit and past the data's end.
            diff.Update(a.data(), b.data(), at - int64_t(rng() % 10), last + int64_t(rng() % 10));
            ExpectMatchesNaive(diff, a, b);
        }
    }
}

TEST(Diff, UpdateLeavesThePartNotScannedYetToTheSteps)
{
    Bytes a(1000, 0), b(1000, 0);
    b[100] = 1;
    b[900] = 1;
    TMPHDiff diff;
    diff.Start(1000, 1000);
    diff.Step(a.data(), b.data(), 500);
    ASSERT_EQ(diff.ScannedTo(), 500);
    b[100] = 0;
    b[450] = 1;
    b[600] = 1;
    diff.Update(a.data(), b.data(), 0, 999);
    EXPECT_EQ(diff.Ranges(), (std::vector<TMPHDiffRange>{{450, 1}}));
    while (!diff.Step(a.data(), b.data(), 100)) {
    }
    ExpectMatchesNaive(diff, a, b);
}

TEST(Diff, NextPreviousAndRangeAtAgreeWithTheRanges)
{
    Bytes a(200, 0), b(200, 0);
    for (int i : {10, 11, 12, 50, 120, 121})
        b[size_t(i)] = 9;
    b.resize(210, 0);
    TMPHDiff diff;
    diff.Compute(a.data(), 200, b.data(), 210);
    ASSERT_EQ(diff.Ranges(), (std::vector<TMPHDiffRange>{{10, 3}, {50, 1}, {120, 2}, {200, 10}}));
    EXPECT_EQ(diff.DifferingBytes(), 16);

    EXPECT_EQ(diff.Next(-1), (TMPHDiffRange{10, 3}));
    EXPECT_EQ(diff.Next(10), (TMPHDiffRange{50, 1})); // from inside a range: the next one
    EXPECT_EQ(diff.Next(120), (TMPHDiffRange{200, 10}));
    EXPECT_FALSE(diff.Next(200).has_value());
    EXPECT_EQ(diff.Previous(50), (TMPHDiffRange{10, 3}));
    EXPECT_EQ(diff.Previous(51), (TMPHDiffRange{50, 1}));
    EXPECT_EQ(diff.Previous(500), (TMPHDiffRange{200, 10}));
    EXPECT_FALSE(diff.Previous(10).has_value());

    for (int64_t p = -1; p <= 211; ++p) {
        const bool naive = p >= 0 && (p >= 200 ? p < 210 : a[size_t(p)] != b[size_t(p)]);
        EXPECT_EQ(diff.Differs(p), naive) << p;
    }
    EXPECT_EQ(diff.RangeAt(121), (TMPHDiffRange{120, 2}));
    EXPECT_FALSE(diff.RangeAt(122).has_value());
}

TEST(Diff, ResumingAfterAnInsertionKeepsWhatLiesBeforeItAndRecomparesTheRest)
{
    std::mt19937 rng(23);
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE(round);
        Bytes a = RandomBytes(rng, 1 + rng() % 2000);
        Bytes b = Perturbed(rng, a, 10);
        TMPHDiff diff;
        diff.Compute(a.data(), int64_t(a.size()), b.data(), int64_t(b.size()));
        // Insert into or delete from one side: positions after it move.
        Bytes& side = rng() % 2 ? a : b;
        const size_t at = rng() % side.size();
        if (rng() % 2)
            side.insert(side.begin() + long(at), size_t(1 + rng() % 5), uint8_t(rng()));
        else
            side.erase(side.begin() + long(at), side.begin() + long(std::min(side.size(), at + 1 + rng() % 5)));
        diff.ResumeFrom(int64_t(at), int64_t(a.size()), int64_t(b.size()));
        EXPECT_LE(diff.ScannedTo(), int64_t(at));
        while (!diff.Step(a.data(), b.data(), 1 + rng() % 300)) {
        }
        ExpectMatchesNaive(diff, a, b);
    }
}
