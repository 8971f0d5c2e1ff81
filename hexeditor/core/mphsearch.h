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

class TMPHSearchPattern
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

// Searches size bytes for pattern, starting at start:
// - forward: the first match starting at start or later, then (with wrap)
//   the first starting before start;
// - backward: the last match starting at start or earlier, then (with wrap)
//   the last starting after start.
// start is clamped into [-1, size]. Candidate starts are scanned in chunks of
// chunkSize; matches that straddle two chunks are found. Before a chunk,
// progress (when given) is called as the data copy reports: when the rounded
// percentage of the positions scanned changed, and with 100 before the last
// chunk. A cancel raises EMPHexEditor "Operation cancelled". Returns the
// match start or -1; an empty pattern or data find nothing.
int64_t FindInData(const TMPHSearchPattern& pattern, const uint8_t* data, int64_t size, int64_t start,
                   bool forward, bool wrap, int64_t chunkSize = FindChunkSize,
                   const TMPHFindProgressFunc& progress = {});
