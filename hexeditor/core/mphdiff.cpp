#include "hexeditor/core/mphdiff.h"

#include <algorithm>
#include <cstring>

namespace {

// Equal stretches are skipped this many bytes at a time with memcmp.
constexpr int64_t SkipBlock = 4096;
constexpr uint64_t LowBits = 0x0101010101010101ull;
constexpr uint64_t HighBits = 0x8080808080808080ull;

inline uint64_t Load(const uint8_t* p)
{
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Word-wise search for the first differing byte of [p, to).
int64_t FirstDifferenceByWords(const uint8_t* a, const uint8_t* b, int64_t p, int64_t to)
{
    for (; to - p >= 8; p += 8) {
        if (Load(a + p) != Load(b + p))
            break;
    }
    while (p < to && a[p] == b[p])
        ++p;
    return p;
}

} // namespace

int64_t MPHFirstDifference(const uint8_t* a, const uint8_t* b, int64_t from, int64_t to)
{
    int64_t p = from;
    while (to - p >= SkipBlock && std::memcmp(a + p, b + p, size_t(SkipBlock)) == 0)
        p += SkipBlock;
    return FirstDifferenceByWords(a, b, p, to);
}

int64_t MPHFirstEqual(const uint8_t* a, const uint8_t* b, int64_t from, int64_t to)
{
    int64_t p = from;
    for (; to - p >= 8; p += 8) {
        // A zero byte in the exclusive-or is an equal pair; this test finds
        // whether the word holds one, the byte loop below which one it is.
        const uint64_t x = Load(a + p) ^ Load(b + p);
        if ((x - LowBits) & ~x & HighBits)
            break;
    }
    while (p < to && a[p] != b[p])
        ++p;
    return p;
}

void TMPHDiff::Start(int64_t sizeA, int64_t sizeB)
{
    m_sizeA = std::max<int64_t>(sizeA, 0);
    m_sizeB = std::max<int64_t>(sizeB, 0);
    m_scanned = 0;
    m_differing = 0;
    m_ranges.clear();
}

void TMPHDiff::Append(int64_t start, int64_t end)
{
    if (end <= start)
        return;
    if (!m_ranges.empty() && m_ranges.back().End() == start)
        m_ranges.back().Length += end - start;
    else
        m_ranges.push_back({start, end - start});
    m_differing += end - start;
}

bool TMPHDiff::Step(const uint8_t* a, const uint8_t* b, int64_t maxBytes)
{
    const int64_t common = std::min(m_sizeA, m_sizeB);
    const int64_t extent = Extent();
    const int64_t limit = std::min(common, m_scanned + std::max<int64_t>(maxBytes, 1));
    int64_t p = m_scanned;
    while (p < limit) {
        const int64_t d = MPHFirstDifference(a, b, p, limit);
        if (d >= limit) {
            p = limit;
            break;
        }
        // A run cut at the limit goes on in the next step and is joined.
        p = MPHFirstEqual(a, b, d, limit);
        Append(d, p);
    }
    // What only the longer one has is one range, marked at once.
    if (p >= common && extent > common) {
        Append(common, extent);
        p = extent;
    }
    m_scanned = std::max(m_scanned, p);
    return Done();
}

void TMPHDiff::Compute(const uint8_t* a, int64_t sizeA, const uint8_t* b, int64_t sizeB)
{
    Start(sizeA, sizeB);
    while (!Step(a, b, INT64_MAX / 2)) {
    }
}

int TMPHDiff::Percent() const
{
    const int64_t extent = Extent();
    return extent <= 0 ? 100 : int(std::min<int64_t>(m_scanned, extent) * 100 / extent);
}

std::vector<TMPHDiffRange> TMPHDiff::Scan(const uint8_t* a, const uint8_t* b, int64_t from, int64_t to) const
{
    std::vector<TMPHDiffRange> found;
    const int64_t common = std::min(m_sizeA, m_sizeB);
    const int64_t end = std::min(to, common);
    for (int64_t p = from; p < end;) {
        const int64_t d = MPHFirstDifference(a, b, p, end);
        if (d >= end)
            break;
        p = MPHFirstEqual(a, b, d, end);
        found.push_back({d, p - d});
    }
    const int64_t tail = std::max(from, common);
    if (to > tail) {
        if (!found.empty() && found.back().End() == tail)
            found.back().Length += to - tail;
        else
            found.push_back({tail, to - tail});
    }
    return found;
}

void TMPHDiff::Update(const uint8_t* a, const uint8_t* b, int64_t first, int64_t last)
{
    const int64_t from = std::max<int64_t>(first, 0);
    const int64_t to = std::min(last + 1, m_scanned);
    if (from >= to)
        return;
    // The ranges that overlap [from, to) or touch it, and what of them lies
    // outside it; they are replaced by the fresh ones, joined where they meet.
    auto lo = std::lower_bound(m_ranges.begin(), m_ranges.end(), from,
                               [](const TMPHDiffRange& r, int64_t pos) { return r.End() < pos; });
    auto hi = std::upper_bound(lo, m_ranges.end(), to,
                               [](int64_t pos, const TMPHDiffRange& r) { return pos < r.Start; });
    std::vector<TMPHDiffRange> pieces;
    if (lo != hi && lo->Start < from)
        pieces.push_back({lo->Start, from - lo->Start});
    for (const TMPHDiffRange& r : Scan(a, b, from, to))
        pieces.push_back(r);
    if (lo != hi && (hi - 1)->End() > to)
        pieces.push_back({to, (hi - 1)->End() - to});

    std::vector<TMPHDiffRange> joined;
    for (const TMPHDiffRange& r : pieces) {
        if (!joined.empty() && joined.back().End() == r.Start)
            joined.back().Length += r.Length;
        else
            joined.push_back(r);
    }
    for (auto it = lo; it != hi; ++it)
        m_differing -= it->Length;
    for (const TMPHDiffRange& r : joined)
        m_differing += r.Length;
    const auto at = m_ranges.erase(lo, hi);
    m_ranges.insert(at, joined.begin(), joined.end());
}

void TMPHDiff::ResumeFrom(int64_t position, int64_t sizeA, int64_t sizeB)
{
    // Nothing of the old rest of the longer side is kept: that side may no
    // longer be the longer one.
    const int64_t oldCommon = std::min(m_sizeA, m_sizeB);
    m_sizeA = std::max<int64_t>(sizeA, 0);
    m_sizeB = std::max<int64_t>(sizeB, 0);
    const int64_t keep = std::clamp<int64_t>(position, 0, std::min({m_scanned, oldCommon, m_sizeA, m_sizeB}));
    while (!m_ranges.empty() && m_ranges.back().Start >= keep) {
        m_differing -= m_ranges.back().Length;
        m_ranges.pop_back();
    }
    if (!m_ranges.empty() && m_ranges.back().End() > keep) {
        m_differing -= m_ranges.back().End() - keep;
        m_ranges.back().Length = keep - m_ranges.back().Start;
    }
    m_scanned = keep;
}

std::optional<TMPHDiffRange> TMPHDiff::RangeAt(int64_t position) const
{
    auto it = std::upper_bound(m_ranges.begin(), m_ranges.end(), position,
                               [](int64_t pos, const TMPHDiffRange& r) { return pos < r.Start; });
    if (it == m_ranges.begin())
        return std::nullopt;
    --it;
    if (position < it->End())
        return *it;
    return std::nullopt;
}

bool TMPHDiff::Differs(int64_t position) const
{
    return RangeAt(position).has_value();
}

std::optional<TMPHDiffRange> TMPHDiff::Next(int64_t position) const
{
    auto it = std::upper_bound(m_ranges.begin(), m_ranges.end(), position,
                               [](int64_t pos, const TMPHDiffRange& r) { return pos < r.Start; });
    if (it == m_ranges.end())
        return std::nullopt;
    return *it;
}

std::optional<TMPHDiffRange> TMPHDiff::Previous(int64_t position) const
{
    auto it = std::lower_bound(m_ranges.begin(), m_ranges.end(), position,
                               [](const TMPHDiffRange& r, int64_t pos) { return r.Start < pos; });
    if (it == m_ranges.begin())
        return std::nullopt;
    return *(it - 1);
}
