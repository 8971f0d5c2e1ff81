#include "hexview/core/replaceplan.h"

namespace hexview {

TReplacePlan PlanReplaceAll(const TMPHSearchPattern& pattern, const uint8_t* data, int64_t size,
                            const QByteArray& replacement, int64_t maxSize)
{
    TReplacePlan plan;
    const int64_t length = pattern.Length();
    if (length == 0 || !data || size < length)
        return plan;
    int64_t from = 0;
    int64_t copied = 0; // data before this position are in NewBytes (from First on)
    const int64_t growth = int64_t(replacement.size()) - length;
    int64_t newSize = size;
    for (;;) {
        const int64_t hit = pattern.FindForward(data, size, from, size);
        if (hit < 0)
            break;
        newSize += growth;
        if (newSize > maxSize) {
            TReplacePlan tooLarge;
            tooLarge.TooLarge = true;
            return tooLarge;
        }
        if (plan.Count == 0) {
            plan.First = hit;
            copied = hit;
        }
        plan.NewBytes.append(reinterpret_cast<const char*>(data + copied), qsizetype(hit - copied));
        plan.NewBytes.append(replacement);
        ++plan.Count;
        copied = from = hit + length;
        if (from > size - length)
            break;
    }
    if (plan.Count > 0)
        plan.OldCount = copied - plan.First;
    return plan;
}

} // namespace hexview
