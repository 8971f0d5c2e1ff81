#pragma once
// One change of the editor's data: at Position, Removed bytes were replaced
// by Inserted bytes (an overwrite removes and inserts the same count).

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
