#include "hexeditor/core/mphdatachange.h"

#include <algorithm>

TMPHRowSpan ChangedRows(const TMPHGridGeometry& geo, const TMPHDataChange& change, int32_t sizeAfter)
{
    if (change.IsEmpty() || change.Position < 0)
        return {};
    const int first = geo.RowOf(change.Position);
    if (!change.ChangesSize())
        return {first, geo.RowOf(change.Position + change.Inserted - 1)};
    const int64_t sizeBefore = int64_t(sizeAfter) - change.Inserted + change.Removed;
    const int64_t end = std::max<int64_t>(sizeBefore, sizeAfter);
    return {first, geo.RowOf(int32_t(std::min<int64_t>(end, TMPHGridGeometry::MaxPosition)))};
}
