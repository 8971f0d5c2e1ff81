#include "hexeditor/core/mphentropy.h"

#include "hexeditor/core/mphexception.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Counts bytes in four tables, so that runs of one value do not wait on the
// same counter; size must stay below 2^32.
void CountInto(const uint8_t* data, size_t size, std::array<std::array<uint32_t, 256>, 4>& tables)
{
    size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        ++tables[0][data[i]];
        ++tables[1][data[i + 1]];
        ++tables[2][data[i + 2]];
        ++tables[3][data[i + 3]];
    }
    for (; i < size; ++i)
        ++tables[0][data[i]];
}

} // namespace

double ShannonEntropy(const TMPHByteCounts& counts, uint64_t total)
{
    if (total == 0)
        return 0.0;
    double sum = 0.0;
    const double n = double(total);
    for (uint64_t c : counts)
        if (c) {
            const double p = double(c) / n;
            sum -= p * std::log2(p);
        }
    return std::max(sum, 0.0);
}

void TMPHByteHistogram::Add(const uint8_t* data, size_t size)
{
    constexpr size_t Piece = size_t(1) << 30;
    while (size > 0) {
        const size_t n = std::min(size, Piece);
        std::array<std::array<uint32_t, 256>, 4> tables{};
        CountInto(data, n, tables);
        for (int v = 0; v < 256; ++v)
            m_counts[v] += uint64_t(tables[0][v]) + tables[1][v] + tables[2][v] + tables[3][v];
        m_total += n;
        data += n;
        size -= n;
    }
}

void TMPHByteHistogram::Clear()
{
    m_counts.fill(0);
    m_total = 0;
}

std::vector<uint8_t> TMPHByteHistogram::ByFrequency() const
{
    std::vector<uint8_t> values(256);
    std::iota(values.begin(), values.end(), 0);
    std::stable_sort(values.begin(), values.end(),
                     [this](uint8_t a, uint8_t b) { return m_counts[a] > m_counts[b]; });
    return values;
}

TMPHBlockEntropy::TMPHBlockEntropy(int64_t size, int blockSize) : m_size(std::max<int64_t>(size, 0)), m_blockSize(blockSize)
{
    if (blockSize < 1 || blockSize > 65536)
        throw EMPHexEditor(QStringLiteral("Invalid entropy block size %1").arg(blockSize));
    m_values.assign(size_t((m_size + blockSize - 1) / blockSize), 0.0f);
    m_cLogC.resize(size_t(blockSize) + 1);
    for (int c = 1; c <= blockSize; ++c)
        m_cLogC[size_t(c)] = double(c) * std::log2(double(c));
}

float TMPHBlockEntropy::BlockValue(const uint8_t* data, int size) const
{
    // H = log2(n) - sum(c * log2(c)) / n, with the products looked up.
    std::array<std::array<uint32_t, 256>, 4> tables{};
    CountInto(data, size_t(size), tables);
    double sum = 0.0;
    for (int v = 0; v < 256; ++v)
        sum += m_cLogC[tables[0][v] + tables[1][v] + tables[2][v] + tables[3][v]];
    const double n = double(size);
    return float(std::max(std::log2(n) - sum / n, 0.0));
}

bool TMPHBlockEntropy::Step(const uint8_t* data, int64_t maxBytes)
{
    return StepSlice(Done() ? data : data + NextOffset(), maxBytes);
}

bool TMPHBlockEntropy::StepSlice(const uint8_t* slice, int64_t maxBytes)
{
    const int64_t blocks = std::max<int64_t>(1, (maxBytes + m_blockSize - 1) / m_blockSize);
    const int64_t end = std::min(BlockCount(), m_nextBlock + blocks);
    const int64_t start = NextOffset();
    for (; m_nextBlock < end; ++m_nextBlock) {
        const int64_t first = m_nextBlock * m_blockSize;
        const int n = int(std::min<int64_t>(m_blockSize, m_size - first));
        m_values[size_t(m_nextBlock)] = BlockValue(slice + (first - start), n);
    }
    return Done();
}

int TMPHBlockEntropy::Percent() const
{
    return BlockCount() > 0 ? int(m_nextBlock * 100 / BlockCount()) : 100;
}
