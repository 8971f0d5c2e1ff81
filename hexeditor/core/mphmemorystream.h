#pragma once
// The editor's data buffer: a memory stream with bounds-checked access at a
// position.
//
// Inserting and removing go through the stream's Insert and Remove, which
// cost what they change (the stream becomes a piece table over its block).
// The addresses below need the data in one block: asking for one gathers a
// scattered buffer first (O(size), once until the next insert or remove).
// Readers of a few bytes use PeekByte / PeekBytes / ReadBufferAt instead,
// which never gather.

#include "platform/core/streams.h"
#include <cstdint>

class TMPHMemoryStream : public TMemoryStream
{
public:
    // Raises EMPHexEditor "Data position/length out of data bounds" unless
    // 0 <= position <= size.
    void CheckBounds(int64_t position);
    // Address of byte index; raises the bounds error unless index >= 0 and
    // index + count <= size.
    uint8_t* GetAddress(int64_t index, int64_t count);
    // Address of byte index, unchecked.
    uint8_t* GetAddressUnchecked(int64_t index) { return Memory() + index; }
    // Moves count bytes inside the memory; ranges may overlap; no bounds test.
    void MoveData(int64_t fromIndex, int64_t toIndex, int64_t count);
    // CheckBounds(index + count), then an exact read / write at index; the
    // stream position is restored afterwards, also on error. Never grows.
    void ReadBufferAt(void* buffer, int64_t index, int64_t count);
    void WriteBufferAt(const void* buffer, int64_t index, int64_t count);
};
