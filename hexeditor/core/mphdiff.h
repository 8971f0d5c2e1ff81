#pragma once
// Differences between two byte sequences, position by position: bytes are
// compared one to one up to the shorter length, and what the longer sequence
// has beyond it is one differing range (no alignment is searched).
//
// TMPHDiff keeps the differing ranges of a pair, sorted and separated by at
// least one equal byte. It can be computed at once, or in bounded steps that
// resume where the previous one stopped (so a window can stay responsive on
// large documents), and a window of it can be recomputed after the bytes
// there changed. Equal stretches are skipped block-wise with memcmp and the
// ends of differing runs are found a machine word at a time, so a pair with
// few differences is compared at about the speed of one memcmp.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// One differing range: Length bytes from Start.
struct TMPHDiffRange
{
    int64_t Start = 0;
    int64_t Length = 0;

    int64_t End() const { return Start + Length; } // one past the last byte
    bool operator==(const TMPHDiffRange&) const = default;
};

// The first position p in [from, to) with a[p] != b[p]; to when there is none.
int64_t MPHFirstDifference(const uint8_t* a, const uint8_t* b, int64_t from, int64_t to);
// The first position p in [from, to) with a[p] == b[p]; to when there is none.
int64_t MPHFirstEqual(const uint8_t* a, const uint8_t* b, int64_t from, int64_t to);

class TMPHDiff
{
public:
    // Starts over for a pair of sizeA and sizeB bytes: nothing compared yet.
    void Start(int64_t sizeA, int64_t sizeB);
    // Compares about maxBytes more positions from ScannedTo() (at least one
    // run is finished per call, so every call makes progress). a and b must
    // hold the sizes given to Start. True once everything is compared.
    bool Step(const uint8_t* a, const uint8_t* b, int64_t maxBytes);
    // Start and Step until done.
    void Compute(const uint8_t* a, int64_t sizeA, const uint8_t* b, int64_t sizeB);

    // Recomputes positions first..last (inclusive) after bytes there changed;
    // the sizes must be those given to Start. The part beyond ScannedTo() is
    // left to the following steps.
    void Update(const uint8_t* a, const uint8_t* b, int64_t first, int64_t last);

    // After a change that altered the sizes at position (an insertion or a
    // deletion): keeps the ranges before position, takes the new sizes and
    // leaves the rest to the following steps.
    void ResumeFrom(int64_t position, int64_t sizeA, int64_t sizeB);

    int64_t SizeA() const { return m_sizeA; }
    int64_t SizeB() const { return m_sizeB; }
    // Positions below ScannedTo() are compared; Extent() is the longer size.
    int64_t ScannedTo() const { return m_scanned; }
    int64_t Extent() const { return m_sizeA > m_sizeB ? m_sizeA : m_sizeB; }
    bool Done() const { return m_scanned >= Extent(); }
    // Percentage of Extent() compared (100 when done).
    int Percent() const;

    // The differing ranges found so far, in order.
    const std::vector<TMPHDiffRange>& Ranges() const { return m_ranges; }
    int64_t DifferingBytes() const { return m_differing; }
    int64_t RangeCount() const { return int64_t(m_ranges.size()); }

    // Whether position lies in a differing range found so far.
    bool Differs(int64_t position) const;
    // The range holding position, if any.
    std::optional<TMPHDiffRange> RangeAt(int64_t position) const;
    // The first range that starts after position.
    std::optional<TMPHDiffRange> Next(int64_t position) const;
    // The last range that starts before position.
    std::optional<TMPHDiffRange> Previous(int64_t position) const;

private:
    // Appends [start, end) to the ranges (joining a range that ends at start).
    void Append(int64_t start, int64_t end);
    // The differing ranges of [from, to), which must lie below ScannedTo().
    std::vector<TMPHDiffRange> Scan(const uint8_t* a, const uint8_t* b, int64_t from, int64_t to) const;

    int64_t m_sizeA = 0;
    int64_t m_sizeB = 0;
    int64_t m_scanned = 0;
    int64_t m_differing = 0;
    std::vector<TMPHDiffRange> m_ranges;
};
