// Byte histogram, Shannon entropy and the entropy of each block.

#include "hexeditor/core/mphentropy.h"
#include "hexeditor/core/mphexception.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<uint8_t> Uniform(int repeats)
{
    std::vector<uint8_t> data;
    for (int r = 0; r < repeats; ++r)
        for (int v = 0; v < 256; ++v)
            data.push_back(uint8_t(v));
    return data;
}

} // namespace

TEST(Entropy, ConstantUniformAndTwoValues)
{
    TMPHByteHistogram histogram;
    EXPECT_DOUBLE_EQ(histogram.Entropy(), 0.0); // nothing counted
    const std::vector<uint8_t> constant(1000, 0x41);
    histogram.Add(constant.data(), constant.size());
    EXPECT_DOUBLE_EQ(histogram.Entropy(), 0.0);
    EXPECT_EQ(histogram.Counts()[0x41], 1000u);
    EXPECT_EQ(histogram.Total(), 1000u);

    histogram.Clear();
    const std::vector<uint8_t> uniform = Uniform(3);
    histogram.Add(uniform.data(), uniform.size());
    EXPECT_NEAR(histogram.Entropy(), 8.0, 1e-12);

    histogram.Clear();
    const uint8_t half[] = {0, 0xFF, 0, 0xFF, 0, 0xFF, 0xFF, 0};
    histogram.Add(half, sizeof half);
    EXPECT_NEAR(histogram.Entropy(), 1.0, 1e-12);
}

TEST(Entropy, AddInPiecesCountsEveryByte)
{
    std::mt19937 rng(3);
    std::vector<uint8_t> data(10007);
    for (auto& b : data)
        b = uint8_t(rng() % 7); // a handful of values
    TMPHByteHistogram whole, pieces;
    whole.Add(data.data(), data.size());
    for (size_t i = 0; i < data.size(); i += 333)
        pieces.Add(data.data() + i, std::min<size_t>(333, data.size() - i));
    EXPECT_EQ(whole.Counts(), pieces.Counts());
    std::array<uint64_t, 256> expected{};
    for (uint8_t b : data)
        ++expected[b];
    EXPECT_EQ(whole.Counts(), expected);
    EXPECT_NEAR(whole.Entropy(), std::log2(7.0), 0.01);
}

TEST(Entropy, ByFrequencyPutsTheMostFrequentFirstAndTiesByValue)
{
    TMPHByteHistogram histogram;
    const uint8_t data[] = {5, 9, 9, 9, 5, 200, 3};
    histogram.Add(data, sizeof data);
    const std::vector<uint8_t> order = histogram.ByFrequency();
    ASSERT_EQ(order.size(), 256u);
    EXPECT_EQ(order[0], 9);
    EXPECT_EQ(order[1], 5);
    EXPECT_EQ(order[2], 3);   // count 1, lower value first
    EXPECT_EQ(order[3], 200); // count 1
    EXPECT_EQ(order[4], 0);   // then the values that do not occur, by value
}

TEST(BlockEntropy, BlocksSeparateRandomFromConstantParts)
{
    // 2 blocks of zeros, 2 of all values, and a short last block of 2 values.
    std::vector<uint8_t> data(2 * 1024, 0);
    const std::vector<uint8_t> uniform = Uniform(8);
    data.insert(data.end(), uniform.begin(), uniform.end());
    data.insert(data.end(), {1, 2, 1, 2});
    TMPHBlockEntropy blocks(int64_t(data.size()), 1024);
    ASSERT_EQ(blocks.BlockCount(), 5);
    EXPECT_FALSE(blocks.Done());
    EXPECT_EQ(blocks.Percent(), 0);
    EXPECT_FALSE(blocks.Step(data.data(), 1500)); // two whole blocks
    EXPECT_EQ(blocks.BlocksDone(), 2);
    EXPECT_EQ(blocks.Percent(), 40);
    while (!blocks.Step(data.data(), 1))
        ;
    EXPECT_EQ(blocks.Value(0), 0.0f);
    EXPECT_EQ(blocks.Value(1), 0.0f);
    EXPECT_NEAR(blocks.Value(2), 8.0f, 1e-5);
    EXPECT_NEAR(blocks.Value(3), 8.0f, 1e-5);
    EXPECT_NEAR(blocks.Value(4), 1.0f, 1e-5); // the short block by its own length
}

TEST(BlockEntropy, MatchesTheHistogramOfEachBlock)
{
    std::mt19937 rng(11);
    std::vector<uint8_t> data(4096 * 3 + 17);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(rng() % (1 + i / 1000));
    TMPHBlockEntropy blocks(int64_t(data.size()));
    blocks.Step(data.data(), int64_t(data.size()));
    ASSERT_TRUE(blocks.Done());
    for (int64_t b = 0; b < blocks.BlockCount(); ++b) {
        TMPHByteHistogram h;
        const size_t first = size_t(b) * 4096;
        h.Add(data.data() + first, std::min<size_t>(4096, data.size() - first));
        EXPECT_NEAR(blocks.Value(b), h.Entropy(), 1e-4) << "block " << b;
    }
}

TEST(BlockEntropy, EmptySpanAndBadBlockSizes)
{
    TMPHBlockEntropy empty(0);
    EXPECT_EQ(empty.BlockCount(), 0);
    EXPECT_TRUE(empty.Done());
    EXPECT_EQ(empty.Percent(), 100);
    EXPECT_THROW(TMPHBlockEntropy(10, 0), EMPHexEditor);
    EXPECT_THROW(TMPHBlockEntropy(10, 65537), EMPHexEditor);
}
