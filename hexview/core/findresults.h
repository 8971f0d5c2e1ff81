#pragma once
// Find all, without a window: every match of a search in a range of the
// data, and how a result is shown and copied (offset, length, the bytes
// around it as hex and as text).

#include "hexeditor/core/mphsearch.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace hexview {

// Find all lists at most this many matches.
inline constexpr int64_t MaxFindAllResults = 100000;
// Bytes shown before and after a match, and of the match itself at most.
inline constexpr int64_t ContextBytes = 8;
inline constexpr int64_t ShownMatchBytes = 16;

struct TFoundMatch
{
    int64_t Position = 0;
    int64_t Length = 0;
    bool operator==(const TFoundMatch&) const = default;
};

struct TFindAllResult
{
    std::vector<TFoundMatch> Matches;
    bool Truncated = false; // more matches than limit
};

// The matches inside params' range, left to right without overlaps (as
// Replace all takes them), at most limit; progress and cancel as
// ForEachMatch.
TFindAllResult FindAllMatches(const TMPHMatcher& matcher, const TMPHFindParams& params,
                              int64_t limit = MaxFindAllResults);

// A match with the bytes around it: Hex "41 42 [E3 00 00 10] 55" (the match
// in brackets, cut with "..." after ShownMatchBytes bytes), Text the same
// bytes as characters (0x20-0x7E as they are, others "."), without brackets.
struct TMatchContext
{
    QString Hex;
    QString Text;
};
TMatchContext MatchContext(const uint8_t* data, int64_t size, const TFoundMatch& match,
                           int64_t context = ContextBytes);
// The same, reading only the bytes shown (read may raise).
TMatchContext MatchContext(const TMPHReadFunc& read, int64_t size, const TFoundMatch& match,
                           int64_t context = ContextBytes);

// One line per match, "OFFSET<tab>LENGTH<tab>HEX<tab>TEXT", offsets as
// 0x%08X, for the clipboard.
QString MatchesAsText(const uint8_t* data, int64_t size, const std::vector<TFoundMatch>& matches);
// One such line, of a match and the context it was listed with.
QString MatchLine(const TFoundMatch& match, const TMatchContext& context);

} // namespace hexview
