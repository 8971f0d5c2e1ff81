#pragma once
// Replace all, without a window: where the matches of a pattern are and what
// the bytes from the first match to the end of the last one become, so that
// the editor can make the whole change as one replacement (one undo step,
// one pass over the data).

#include "hexeditor/core/mphsearch.h"

#include <QByteArray>
#include <cstdint>
#include <limits>

namespace hexview {

struct TReplacePlan
{
    int64_t Count = 0;   // matches replaced; 0: nothing to do
    int64_t First = -1;  // start of the first match
    int64_t OldCount = 0; // bytes from First to the end of the last match
    QByteArray NewBytes; // what those bytes become
    bool TooLarge = false; // the data would grow past maxSize: no plan
};

// Every match of pattern in data, taken from left to right without overlaps
// (a match starts only after the previous one ends), replaced by replacement
// (which may be empty: the matches are deleted). When the data would grow
// past maxSize bytes the plan stops there, empty, with TooLarge set.
TReplacePlan PlanReplaceAll(const TMPHSearchPattern& pattern, const uint8_t* data, int64_t size,
                            const QByteArray& replacement, int64_t maxSize = std::numeric_limits<int64_t>::max());

} // namespace hexview
