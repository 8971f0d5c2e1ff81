#pragma once
// Copying bytes as plain text ends at the first zero byte (a text on the
// clipboard is a zero-terminated string). hexview tells the user when that
// cut a copy short.

#include <QString>
#include <cstdint>

namespace hexview {

// How many of the count bytes at data a plain text copy carries: up to the
// first zero byte.
int64_t TextCopyLength(const uint8_t* data, int64_t count);

// The status text for a text copy that carried `carried` of `total` bytes;
// empty when nothing was left out.
QString TextCopyNotice(int64_t carried, int64_t total);

} // namespace hexview
