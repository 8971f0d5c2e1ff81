#pragma once
// One change of the editor's data: at Position, Removed bytes were replaced
// by Inserted bytes (an overwrite removes and inserts the same count).

#include "hexeditor/core/mphgridgeometry.h"

#include <cstdint>

struct TMPHDataChange
{
    int32_t Position = 0;
    int32_t Removed = 0;
    int32_t Inserted = 0;

    bool ChangesSize() const { return Removed != Inserted; }
    bool IsEmpty() const { return Removed == 0 && Inserted == 0; }
    bool operator==(const TMPHDataChange&) const = default;
};

// A range of grid rows, both ends included; empty when Last < First.
struct TMPHRowSpan
{
    int First = 0;
    int Last = -1;
    bool IsEmpty() const { return Last < First; }
    bool operator==(const TMPHRowSpan&) const = default;
};

// The rows whose cells a change alters: from the row of its first byte to
// the row of its last one; when the size changed, everything behind moved,
// so to the row of the end of the longer of the old and the new data (the
// append position included). An empty change alters no row.
TMPHRowSpan ChangedRows(const TMPHGridGeometry& geometry, const TMPHDataChange& change, int32_t sizeAfter);
