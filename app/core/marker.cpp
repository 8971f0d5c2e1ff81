// The boot marker search: the first E3 00 00 10 in the whole image.

#include "app/core/bootimage.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

namespace boot {

int32_t FindBootMarker(const uint8_t* data, int64_t size)
{
    // Offsets are 32-bit signed: a marker past the largest one could not be
    // reported, so the search never looks beyond it.
    constexpr int64_t kLastOffset = std::numeric_limits<int32_t>::max();
    if (data == nullptr || size < 4)
        return 0;
    // A marker can start at offsets 0 .. size - 4 only.
    const int64_t candidates = std::min(size - 3, kLastOffset + 1);
    const uint8_t* p = data;
    const uint8_t* const end = data + candidates;
    while (p < end) {
        const auto* hit = static_cast<const uint8_t*>(std::memchr(p, BootMarker[0], static_cast<size_t>(end - p)));
        if (hit == nullptr)
            break;
        if (hit[1] == BootMarker[1] && hit[2] == BootMarker[2] && hit[3] == BootMarker[3])
            return static_cast<int32_t>(hit - data);
        p = hit + 1;
    }
    return 0;
}

int32_t FindBootMarker(TStream& image)
{
    // A memory stream is searched where it lies; any other stream is copied
    // into memory first. Either way the whole image is searched from its first
    // byte, whatever the stream's position.
    if (auto* memory = dynamic_cast<TMemoryStream*>(&image)) {
        const int32_t offset = FindBootMarker(memory->Memory(), memory->Size());
        memory->Seek(0, TSeekOrigin::soEnd);
        return offset;
    }

    const int64_t size = image.Size();
    std::unique_ptr<uint8_t[]> copy;
    int64_t length = 0;
    if (size > 0) {
        copy = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(size));
        image.SetPosition(0);
        // Read may deliver fewer bytes than asked for; go on until it gives
        // none (the image ended sooner) or the copy is full. A failed read
        // stops the search: a marker in the unread part would be missed.
        while (length < size) {
            const int64_t n = image.Read(copy.get() + length, size - length);
            if (n < 0)
                throw EReadError(QStringLiteral("Stream read error"));
            if (n == 0)
                break;
            length += n;
        }
    }
    image.Seek(0, TSeekOrigin::soEnd);
    return FindBootMarker(copy.get(), length);
}

} // namespace boot
