#include "hexeditor/core/mphslicereader.h"

const uint8_t* TMPHSliceReader::Read(TMPHMemoryStream& data, int64_t index, int64_t count)
{
    if (data.IsContiguous())
        return data.GetAddress(index, count); // one block already: no copy
    if (int64_t(m_buffer.size()) < count)
        m_buffer.resize(size_t(count));
    data.ReadBufferAt(m_buffer.data(), index, count);
    return m_buffer.data();
}
