#pragma once
// Global memory blocks, the transfer medium of the data-object interfaces: a
// block is allocated (optionally zeroed), locked to reach its bytes, unlocked
// and freed. A handle is an opaque pointer; nullptr means "no block".
//
// The blocks are ordinary heap memory: "movable" and "shareable" are accepted
// for the callers' sake and change nothing, since a Qt clipboard copies what it
// hands to other programs anyway.

#include <cstddef>
#include <cstdint>

struct TGlobalBlock;
using HGLOBAL = TGlobalBlock*;

inline constexpr uint32_t GMEM_FIXED = 0x0000;
inline constexpr uint32_t GMEM_MOVEABLE = 0x0002;
inline constexpr uint32_t GMEM_ZEROINIT = 0x0040;
inline constexpr uint32_t GMEM_SHARE = 0x2000;
inline constexpr uint32_t GMEM_DDESHARE = GMEM_SHARE;
inline constexpr uint32_t GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// A new block of size bytes (0 is allowed), or nullptr when memory runs out.
HGLOBAL GlobalAlloc(uint32_t flags, size_t size);
// The block's bytes, counting one more lock; nullptr for a null handle.
// A block of size 0 gives a valid, non-null pointer to no bytes.
uint8_t* GlobalLock(HGLOBAL block);
// Counts one lock less; true while the block stays locked.
bool GlobalUnlock(HGLOBAL block);
// The size the block was allocated with; 0 for a null handle.
size_t GlobalSize(HGLOBAL block);
// Number of locks held (for tests and checks).
int GlobalLockCount(HGLOBAL block);
// Frees the block; returns nullptr (as the platform call does on success).
HGLOBAL GlobalFree(HGLOBAL block);

// Test hook: the next GlobalAlloc calls fail while countdown > 0 allocations
// remain to fail (count 0 ends the simulation). Lets tests reach the
// out-of-memory paths without exhausting memory.
void SetGlobalAllocFailures(int count);

// Locks a block for the lifetime of the guard.
class TGlobalLock
{
public:
    explicit TGlobalLock(HGLOBAL block) : m_block(block), m_data(GlobalLock(block)) {}
    ~TGlobalLock()
    {
        if (m_data)
            GlobalUnlock(m_block);
    }
    TGlobalLock(const TGlobalLock&) = delete;
    TGlobalLock& operator=(const TGlobalLock&) = delete;
    uint8_t* Data() const { return m_data; }
    size_t Size() const { return m_data ? GlobalSize(m_block) : 0; }

private:
    HGLOBAL m_block;
    uint8_t* m_data;
};
