#pragma once
// The editor's size limit, for code that must check a size before (or
// without) an editor: the image operations refuse larger files with it.

#include <cstdint>

// Largest data size the editor holds: positions are 32-bit signed.
inline constexpr int64_t MPHMaxDataSize = 0x7FFFFFFF;
