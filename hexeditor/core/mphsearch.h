#pragma once
// Byte search over the editor's data: patterns given as hex byte strings or
// as text in a character translation (optionally ignoring case), found
// forward or backward with wrapping, in chunks with progress and cancel.
//
// A pattern is a sequence of byte sets: each pattern byte matches one or more
// byte values (more than one only for case-insensitive text). A pattern whose
// sets all hold one value is searched with memmem; the others are anchored on
// their smallest set and scanned with memchr/memrchr per value, so neither
// direction walks the data byte by byte in a loop of its own.

#include "hexeditor/core/mphtranslation.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

// What FindInData searches with: a byte pattern, or any other matcher (a
// regular expression over the bytes) that finds matches of its own length.
class TMPHMatcher
{
public:
    virtual ~TMPHMatcher() = default;
    // The fewest bytes a match takes (at least 1).
    virtual int64_t MinLength() const = 0;
    // The most bytes a match takes, or -1 when matches have no bound (such a
    // matcher is searched in one piece when the data is pulled, see Read).
    virtual int64_t MaxLength() const { return -1; }
    // The lowest match start in [from, to) whose bytes lie within size
    // bytes, or -1; *length gets the match's length.
    virtual int64_t FindForward(const uint8_t* data, int64_t size, int64_t from, int64_t to,
                                int64_t* length) const = 0;
    // The highest match start in [from, to), as FindForward.
    virtual int64_t FindBackward(const uint8_t* data, int64_t size, int64_t from, int64_t to,
                                 int64_t* length) const = 0;
    // Whether a backward leg may be searched in chunks from its top down
    // (false: the leg is searched as one piece).
    virtual bool ChunkedBackward() const { return true; }
    // Whether a match depends on bytes outside it (look-behind, anchors):
    // such matches cannot be found again in a copy of the matched bytes.
    virtual bool NeedsContext() const { return false; }
};

class TMPHSearchPattern : public TMPHMatcher
{
public:
    TMPHSearchPattern() = default;

    // Exactly these bytes. An empty array gives an empty pattern.
    static TMPHSearchPattern FromBytes(const QByteArray& bytes);

    // A hex byte string such as "E3 00 00 10" or "E3000010": groups of hex
    // digits separated by white space, two digits per byte. Raises
    // EMPHexEditor for an empty text, a character that is no hex digit or a
    // group with an odd number of digits.
    static TMPHSearchPattern FromHexText(const QString& text);

    // How text becomes bytes: the character field's translation, or UTF-16
    // code units while the character field shows two-byte characters.
    struct TextEncoding
    {
        TMPHTranslationKind Translation = tkAsIs;
        bool UnicodeChars = false;
        bool UnicodeBigEndian = false;
        TMPHCharSet Masked = DefaultMaskedChars();
    };

    // Text as typed into the character field would store it. With
    // caseInsensitive each letter also matches its other case (as far as the
    // translation can store it). Raises EMPHexEditor for an empty text and
    // for a character the translation cannot store.
    static TMPHSearchPattern FromText(const QString& text, const TextEncoding& encoding, bool caseInsensitive);

    int64_t Length() const { return int64_t(m_sets.size()); }
    bool IsEmpty() const { return m_sets.empty(); }
    // Every pattern byte matches exactly one value (the search uses memmem).
    bool IsExact() const { return m_exact; }
    // The values pattern byte i matches.
    const std::vector<uint8_t>& Alternatives(int64_t i) const { return m_alternatives[size_t(i)]; }
    // The first value of each pattern byte: the bytes themselves for an
    // exact pattern.
    const QByteArray& Bytes() const { return m_bytes; }

    // Whether the pattern matches the Length() bytes at p.
    bool MatchesAt(const uint8_t* p) const;

    // The lowest match start in [from, to) that fits within size bytes, or -1.
    int64_t FindForward(const uint8_t* data, int64_t size, int64_t from, int64_t to) const;
    // The highest match start in [from, to) that fits within size bytes, or -1.
    int64_t FindBackward(const uint8_t* data, int64_t size, int64_t from, int64_t to) const;

    int64_t MinLength() const override { return Length(); }
    int64_t MaxLength() const override { return Length(); }
    int64_t FindForward(const uint8_t* data, int64_t size, int64_t from, int64_t to, int64_t* length) const override;
    int64_t FindBackward(const uint8_t* data, int64_t size, int64_t from, int64_t to, int64_t* length) const override;

private:
    void Finish();

    std::vector<TMPHCharSet> m_sets;
    std::vector<std::vector<uint8_t>> m_alternatives;
    QByteArray m_bytes;      // the first alternative of each pattern byte
    int64_t m_anchor = 0;    // pattern byte with the fewest alternatives
    bool m_exact = true;
};

// Search positions per progress step of a chunked search.
inline constexpr int64_t FindChunkSize = 1 << 20;

// Reports the percentage of the search done before each chunk; returning
// true cancels the search.
using TMPHFindProgressFunc = std::function<bool(int percent)>;

// Copies count bytes of the searched data from index on into out; may raise
// (a file read on demand that can no longer be read).
using TMPHReadFunc = std::function<void(int64_t index, int64_t count, uint8_t* out)>;

// One search: where, from where, which way, and who is told of its progress.
struct TMPHFindParams
{
    // The data in one block, or null: then the search pulls the data through
    // Read, one chunk at a time (plus the MaxLength() - 1 bytes a match
    // starting in the chunk may reach into the next), into one buffer of
    // about ChunkSize bytes. A matcher without a MaxLength is given the
    // whole range in one read. Data wins when both are given.
    const uint8_t* Data = nullptr;
    TMPHReadFunc Read;
    int64_t Size = 0;
    // The first position looked at (see FindInData); clamped into the range.
    int64_t Start = 0;
    bool Forward = true;
    bool Wrap = true;
    // Only matches lying wholly inside [RangeFirst, RangeEnd) count; the
    // range is the subject (its ends are the ends of the data for the
    // search). RangeEnd -1: up to Size.
    int64_t RangeFirst = 0;
    int64_t RangeEnd = -1;
    int64_t ChunkSize = FindChunkSize;
    TMPHFindProgressFunc Progress;
};

// A match: its first byte and its length; Position -1 when none.
struct TMPHMatch
{
    int64_t Position = -1;
    int64_t Length = 0;
    bool Found() const { return Position >= 0; }
};

// Searches the data (its range) for matcher, starting at Start:
// - forward: the first match starting at Start or later, then (with Wrap)
//   the first starting before Start;
// - backward: the last match starting at Start or earlier, then (with Wrap)
//   the last starting after Start.
// Start is clamped into [RangeFirst - 1, RangeEnd]. Candidate starts are
// scanned in chunks of ChunkSize; matches that straddle two chunks are found.
// Read's errors pass through unchanged.
// Before a chunk, Progress (when given) is called as the data copy reports:
// when the rounded percentage of the positions scanned changed, and with 100
// before the last chunk. A cancel raises EMPHexEditor "Operation cancelled".
// An empty pattern or data find nothing.
TMPHMatch FindMatch(const TMPHMatcher& matcher, const TMPHFindParams& params);
// The start of FindMatch's match, or -1.
int64_t FindInData(const TMPHMatcher& matcher, const TMPHFindParams& params);

// Visits every match inside the range [RangeFirst, RangeEnd) of the data from
// left to right without overlaps (a match starts only after the previous one
// ends), in chunks of ChunkSize positions; Progress is told the percentage of
// the range passed whenever it changes (a cancel raises EMPHexEditor
// "Operation cancelled"). visit gets each match's position and length and
// returns false to stop. Start, Forward and Wrap are not used. Returns the
// number of matches visited.
using TMPHMatchVisitor = std::function<bool(int64_t position, int64_t length)>;
int64_t ForEachMatch(const TMPHMatcher& matcher, const TMPHFindParams& params, const TMPHMatchVisitor& visit);
