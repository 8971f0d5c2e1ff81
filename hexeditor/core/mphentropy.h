#pragma once
// Byte statistics: a histogram of the 256 byte values with the Shannon
// entropy it gives (bits per byte, 0 for constant data, 8 for uniform data),
// and the entropy of each fixed-size block of a document, which shows where
// compressed or encrypted parts lie. Both are fed a slice at a time.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

using TMPHByteCounts = std::array<uint64_t, 256>;

// Entropy in bits per byte of a histogram holding total bytes; 0 when empty.
double ShannonEntropy(const TMPHByteCounts& counts, uint64_t total);

class TMPHByteHistogram
{
public:
    void Add(const uint8_t* data, size_t size);
    void Clear();

    const TMPHByteCounts& Counts() const { return m_counts; }
    uint64_t Total() const { return m_total; }
    double Entropy() const { return ShannonEntropy(m_counts, m_total); }
    // The byte values ordered by count, most frequent first; equal counts by
    // value. Values that do not occur come last.
    std::vector<uint8_t> ByFrequency() const;

private:
    TMPHByteCounts m_counts{};
    uint64_t m_total = 0;
};

// The entropy of each block of a span: block i covers bytes
// [i * BlockSize, (i + 1) * BlockSize), the last one may be shorter.
class TMPHBlockEntropy
{
public:
    static constexpr int DefaultBlockSize = 4096;

    // Raises EMPHexEditor for a block size outside 1..65536.
    explicit TMPHBlockEntropy(int64_t size, int blockSize = DefaultBlockSize);

    // Computes the blocks of data (the whole span, size bytes) from where the
    // last call stopped, covering at least maxBytes more (whole blocks); true
    // once every block is done.
    bool Step(const uint8_t* data, int64_t maxBytes);
    // The same with slice holding the bytes from NextOffset() on (at least
    // maxBytes rounded up to whole blocks, or up to the end), for data that
    // are not in one block.
    bool StepSlice(const uint8_t* slice, int64_t maxBytes);
    // Where the next block starts.
    int64_t NextOffset() const { return m_nextBlock * m_blockSize; }
    bool Done() const { return m_nextBlock >= BlockCount(); }
    int Percent() const;

    int BlockSize() const { return m_blockSize; }
    int64_t Size() const { return m_size; }
    int64_t BlockCount() const { return int64_t(m_values.size()); }
    // Blocks computed so far (from block 0).
    int64_t BlocksDone() const { return m_nextBlock; }
    // Entropy of block i in bits per byte (0 for blocks not yet computed).
    float Value(int64_t block) const { return m_values[size_t(block)]; }
    const std::vector<float>& Values() const { return m_values; }

private:
    float BlockValue(const uint8_t* data, int size) const;

    int64_t m_size;
    int m_blockSize;
    int64_t m_nextBlock = 0;
    std::vector<float> m_values;
    // m_cLogC[c] = c * log2(c), for every count a block can hold.
    std::vector<double> m_cLogC;
};
