#include "hexview/core/textcopy.h"

#include <cstring>

namespace hexview {

int64_t TextCopyLength(const uint8_t* data, int64_t count)
{
    if (!data || count <= 0)
        return 0;
    const void* zero = std::memchr(data, 0, size_t(count));
    return zero ? static_cast<const uint8_t*>(zero) - data : count;
}

QString TextCopyNotice(int64_t carried, int64_t total)
{
    if (carried >= total)
        return QString();
    // Short: it shares the status bar with the permanent fields.
    return QStringLiteral("Text copy cut at zero byte: %1 of %2 bytes")
        .arg(carried)
        .arg(total);
}

} // namespace hexview
