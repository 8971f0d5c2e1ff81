#include "platform/core/globalmemory.h"

#include <cstdlib>
#include <new>

struct TGlobalBlock
{
    size_t size = 0;
    int locks = 0;
    uint8_t* data = nullptr;
};

namespace {
int g_failures = 0;
// A zero-length block still locks to a valid address.
uint8_t g_emptyBlock[1];
} // namespace

void SetGlobalAllocFailures(int count) { g_failures = count; }

HGLOBAL GlobalAlloc(uint32_t flags, size_t size)
{
    if (g_failures > 0) {
        --g_failures;
        return nullptr;
    }
    auto* block = new (std::nothrow) TGlobalBlock;
    if (!block)
        return nullptr;
    if (size > 0) {
        // calloc gets fresh zero pages from the system for large blocks, so
        // zeroing costs nothing extra there.
        void* data = (flags & GMEM_ZEROINIT) ? std::calloc(size, 1) : std::malloc(size);
        if (!data) {
            delete block;
            return nullptr;
        }
        block->data = static_cast<uint8_t*>(data);
    }
    block->size = size;
    return block;
}

uint8_t* GlobalLock(HGLOBAL block)
{
    if (!block)
        return nullptr;
    ++block->locks;
    return block->data ? block->data : g_emptyBlock;
}

bool GlobalUnlock(HGLOBAL block)
{
    if (!block || block->locks == 0)
        return false;
    --block->locks;
    return block->locks > 0;
}

size_t GlobalSize(HGLOBAL block) { return block ? block->size : 0; }

int GlobalLockCount(HGLOBAL block) { return block ? block->locks : 0; }

HGLOBAL GlobalFree(HGLOBAL block)
{
    if (block) {
        std::free(block->data);
        delete block;
    }
    return nullptr;
}
