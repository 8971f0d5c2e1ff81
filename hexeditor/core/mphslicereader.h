#pragma once
// Reading the editor's data a slice at a time, for work that walks the whole
// document (checksums, statistics, string and structure scans): the slice is
// the data's own memory while it is one block, otherwise a copy in a buffer
// reused from slice to slice. A scattered or on-demand document is never
// gathered into one block for it.

#include "hexeditor/core/mphmemorystream.h"

#include <cstdint>
#include <vector>

class TMPHSliceReader
{
public:
    // The count bytes at index of data, valid until the next Read or a
    // change of data. Raises the bounds error for a range outside the data
    // and EReadError when a file read on demand can no longer be read.
    const uint8_t* Read(TMPHMemoryStream& data, int64_t index, int64_t count);
    // Bytes held by the buffer (0 while every slice was the data's own).
    int64_t BufferSize() const { return int64_t(m_buffer.size()); }

private:
    std::vector<uint8_t> m_buffer;
};
