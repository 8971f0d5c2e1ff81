// The boot marker search: the first E3 00 00 10 in the whole image.

#include "firmware/core/bootimage.h"

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
    // A memory stream is searched where it lies; any other stream is read in
    // chunks, each searched together with the last three bytes of the one
    // before, so that memory stays small whatever the image's size. Either way
    // the whole image is searched from its first byte, whatever the stream's
    // position.
    if (auto* memory = dynamic_cast<TMemoryStream*>(&image)) {
        const int32_t offset = FindBootMarker(memory->Memory(), memory->Size());
        memory->Seek(0, TSeekOrigin::soEnd);
        return offset;
    }

    constexpr int64_t kChunk = int64_t(1) << 20;
    constexpr int64_t kOverlap = 3;
    constexpr int64_t kLastOffset = std::numeric_limits<int32_t>::max();
    auto buffer = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(kChunk + kOverlap));
    image.SetPosition(0);
    int64_t kept = 0;     // bytes carried over from the chunk before
    int64_t keptFrom = 0; // their offset in the image
    for (;;) {
        // Read may deliver fewer bytes than asked for; only a read that gives
        // none ends the image. A failed read raises: a marker in the unread
        // part would be missed.
        const int64_t n = image.Read(buffer.get() + kept, kChunk);
        if (n < 0)
            throw EReadError(QStringLiteral("Stream read error"));
        if (n == 0)
            break;
        const int64_t length = kept + n;
        const int32_t hit = FindBootMarker(buffer.get(), length);
        // FindBootMarker gives 0 for "none" as well: look at the bytes.
        if (length >= 4 && std::memcmp(buffer.get() + hit, BootMarker, 4) == 0) {
            const int64_t offset = keptFrom + hit;
            image.Seek(0, TSeekOrigin::soEnd);
            return offset <= kLastOffset ? static_cast<int32_t>(offset) : 0;
        }
        if (keptFrom > kLastOffset)
            break;
        kept = std::min(length, kOverlap);
        std::memmove(buffer.get(), buffer.get() + length - kept, static_cast<size_t>(kept));
        keptFrom += length - kept;
    }
    image.Seek(0, TSeekOrigin::soEnd);
    return 0;
}

} // namespace boot
