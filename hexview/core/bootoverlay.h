#pragma once
// Where the firmware overlay draws: the boot block found by the boot marker
// search, the two ID string ranges, and the edges of the frames around them.
// No widget code: the window's overlay asks these for every cell it draws.

#include <cstdint>
#include <functional>
#include <vector>

namespace hexview {

// A closed range of positions; empty when Last < First.
struct TPosRange {
    int32_t First = 0;
    int32_t Last = -1;
    bool Empty() const { return Last < First; }
    bool Contains(int32_t p) const { return p >= First && p <= Last; }
    bool Overlaps(int32_t first, int32_t last) const { return !Empty() && first <= Last && last >= First; }
};

// What the overlay knows about the document it shows.
struct TBootLayout {
    bool Found = false;       // the data hold the boot marker
    int32_t MarkerOffset = 0; // offset of its first byte
    TPosRange Block;          // the boot block, cut to the data
    TPosRange FirstId;        // bytes 32-44, cut to the data
    TPosRange SecondId;       // bytes 48-58, cut to the data
};

// Looks for the marker with the boot image search. That search gives 0 both
// for a marker at offset 0 and for none, so the bytes there decide.
TBootLayout DetectBootLayout(const uint8_t* data, int64_t size);
// The layout of a marker at offset; nothing found when the marker bytes are
// not there (an edit took them away).
TBootLayout BootLayoutAt(const uint8_t* data, int64_t size, int64_t offset);
// The same for data read through read(position, buffer, count), which
// fills buffer with count bytes at position: only the marker's bytes are read.
using TDataReader = std::function<void(int64_t position, uint8_t* buffer, int64_t count)>;
TBootLayout BootLayoutAt(const TDataReader& read, int64_t size, int64_t offset);

// The boot marker search of DetectBootLayout, a slice at a time, so that a
// large document is searched between events without being held in one
// block: every Step reads the next slice (and the three bytes after it, for
// a marker that crosses the slice's end) through read.
class TMarkerScan
{
public:
    explicit TMarkerScan(int64_t size) : m_size(size) {}
    // Searches the next sliceSize candidate offsets; true when finished.
    bool Step(const TDataReader& read, int64_t sliceSize);
    bool Done() const { return m_done; }
    // The first marker's offset once Done, -1 when there is none.
    int64_t Offset() const { return m_found; }
    // Candidate offsets searched so far.
    int64_t Searched() const { return m_next; }

private:
    int64_t m_size;
    int64_t m_next = 0;
    int64_t m_found = -1;
    bool m_done = false;
    std::vector<uint8_t> m_buffer;
};

// Edges of a frame drawn around a range, one strip per row.
enum TFrameEdge { feNone = 0, feLeft = 1, feTop = 2, feRight = 4, feBottom = 8 };

// The frame edges a cell gets. The cell shows positions first..last (two for
// a unicode character cell); startsByte / endsByte tell whether its left /
// right side is a byte's edge (a hex cell covers half a byte). The frame is
// closed at the range's ends and at the row ends.
int FrameEdges(const TPosRange& range, int32_t first, int32_t last, bool startsByte, bool endsByte,
               int bytesPerRow);

} // namespace hexview
