#include "platform/core/streams.h"

#include "platform/core/fileutils.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <new>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

const char* const kReadError = "Stream read error";
const char* const kWriteError = "Stream write error";
const char* const kOutOfMemory = "Out of memory while expanding memory stream";
const char* const kInvalidPosition = "Invalid stream position";
const char* const kInvalidSize = "Invalid stream size";

// Small blocks come from the heap, aligned for vector loads; blocks of
// kMapThreshold bytes or more are mapped from the system directly, aligned and
// sized in 2 MiB units. Blocks up to kHugePageLimit are advised for huge
// pages, larger ones are left in 4 KiB pages: measured on the target machine
// (medians of interleaved loads of a cached file into fresh memory), huge
// pages won narrowly at 256 MiB but took four to five times as long at
// 512 MiB and 1 GiB, where the kernel has to compact memory to find them.
// Huge pages back only the whole 2 MiB units of the size a block was asked
// for; the part unit at its end is left in 4 KiB pages, so that a block
// grown by a few bytes (an insert gathered, an undo entry) adds a page to
// the resident memory, not a huge page.
constexpr int64_t kAlignment = 64;
constexpr int64_t kMapThreshold = int64_t(1) << 20;
constexpr int64_t kHugePage = int64_t(2) << 20;
constexpr int64_t kPage = 4096;
constexpr int64_t kHugePageLimit = int64_t(256) << 20;
// Far beyond any real memory, and small enough that rounding cannot overflow.
constexpr int64_t kMaxCapacity = int64_t(1) << 46;
// Shrinking by less than this clears the freed tail in place; larger tails
// are handed back to the system, which also lowers resident memory.
constexpr int64_t kReleaseThreshold = int64_t(256) << 10;
// Growth of a mapped block by at least this much is faulted in ahead.
constexpr int64_t kPopulateThreshold = int64_t(64) << 10;
// Buffer for copies between two streams neither of which is in memory.
constexpr int64_t kCopyChunk = int64_t(1) << 20;
// A single read(2) or write(2) transfers at most this much.
constexpr int64_t kMaxTransfer = int64_t(1) << 30;

static_assert(sizeof(size_t) >= sizeof(int64_t), "memory streams need a 64-bit address space");

int64_t roundUp(int64_t value, int64_t unit)
{
    return (value + unit - 1) / unit * unit;
}

[[noreturn]] void raiseOutOfMemory()
{
    throw EStreamError(QString::fromLatin1(kOutOfMemory));
}

// Maps capacity bytes of zero-filled private memory whose start is aligned to a
// huge page. Returns nullptr when the system refuses.
uint8_t* mapBlock(int64_t capacity)
{
    const size_t length = static_cast<size_t>(capacity + kHugePage);
    void* raw = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + kHugePage - 1) & ~static_cast<uintptr_t>(kHugePage - 1);
    const size_t head = aligned - start;
    const size_t tail = length - head - static_cast<size_t>(capacity);
    if (head != 0)
        ::munmap(raw, head);
    if (tail != 0)
        ::munmap(reinterpret_cast<void*>(aligned + static_cast<uintptr_t>(capacity)), tail);
    return reinterpret_cast<uint8_t*>(aligned);
}

// Advises huge pages for the whole huge pages of the first wanted bytes of a
// mapped block, small pages for the rest (all of a block above
// kHugePageLimit). Only hints: where huge pages are unavailable the block
// still works.
void adviseHugePages(uint8_t* block, int64_t wanted, int64_t capacity)
{
    const int64_t whole = capacity <= kHugePageLimit ? std::min(wanted, capacity) / kHugePage * kHugePage : 0;
    if (whole > 0)
        ::madvise(block, static_cast<size_t>(whole), MADV_HUGEPAGE);
    if (whole < capacity)
        ::madvise(block + whole, static_cast<size_t>(capacity - whole), MADV_NOHUGEPAGE);
}

// Whether the kernel knows MADV_POPULATE_WRITE (Linux 5.14 and later).
std::atomic<bool> g_populateUnsupported{false};

// Faults in the pages of [from, to) of a mapped block for writing, so that a
// later read(2) into them does not take one page fault per page. Returns false
// when the memory is not available.
bool populate(uint8_t* block, int64_t from, int64_t to)
{
    // The page holding byte from - 1 is in use already.
    const int64_t first = roundUp(from, kPage);
    const int64_t last = roundUp(to, kPage);
    if (last <= first)
        return true;
    if (!g_populateUnsupported.load(std::memory_order_relaxed)) {
        int rc;
        do
            rc = ::madvise(block + first, static_cast<size_t>(last - first), MADV_POPULATE_WRITE);
        while (rc != 0 && errno == EINTR);
        if (rc == 0)
            return true;
        if (errno != EINVAL)
            return false;
        g_populateUnsupported.store(true, std::memory_order_relaxed);
    }
    // Older kernels: touch one byte per page (all zero past the size).
    for (int64_t offset = first; offset < last; offset += kPage) {
        volatile uint8_t* p = block + offset;
        *p = *p;
    }
    return true;
}

// Gives the pages of [from, to) of a mapped block back to the system; they
// read as zeros afterwards. Both ends are page aligned.
bool releasePages(uint8_t* block, int64_t from, int64_t to)
{
    if (to <= from)
        return true;
    return ::madvise(block + from, static_cast<size_t>(to - from), MADV_DONTNEED) == 0;
}

bool addOverflows(int64_t a, int64_t b, int64_t* result)
{
    return __builtin_add_overflow(a, b, result);
}

} // namespace

// ---- TStream ---------------------------------------------------------------

int64_t TStream::Size()
{
    const int64_t position = Seek(0, TSeekOrigin::soCurrent);
    const int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(position, TSeekOrigin::soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count)
{
    if (count < 0)
        throw EReadError(QString::fromLatin1(kReadError));
    auto* bytes = static_cast<uint8_t*>(buffer);
    int64_t done = 0;
    // A stream may deliver less than asked for before its end; only a read
    // that yields nothing means the data ran out.
    while (done < count) {
        const int64_t n = Read(bytes + done, count - done);
        if (n <= 0)
            break;
        done += n;
    }
    if (done != count)
        throw EReadError(QString::fromLatin1(kReadError));
}

void TStream::WriteBuffer(const void* buffer, int64_t count)
{
    if (count < 0)
        throw EWriteError(QString::fromLatin1(kWriteError));
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count) {
        const int64_t n = Write(bytes + done, count - done);
        if (n <= 0)
            break;
        done += n;
    }
    if (done != count)
        throw EWriteError(QString::fromLatin1(kWriteError));
}

int64_t TStream::CopyFrom(TStream& source, int64_t count)
{
    if (count <= 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    if (count <= 0)
        return 0;

    auto* sourceMemory = dynamic_cast<TMemoryStream*>(&source);
    auto* targetMemory = dynamic_cast<TMemoryStream*>(this);

    // A stream copied onto itself reads and writes through one position; the
    // buffered path below keeps that order of events.
    if (&source != this) {
        if (sourceMemory != nullptr) {
            // Write straight from the source's memory; the source moves on
            // only when everything was written.
            const int64_t position = sourceMemory->Position();
            if (position < 0 || sourceMemory->Size() - position < count)
                throw EReadError(QString::fromLatin1(kReadError));
            WriteBuffer(sourceMemory->Memory() + position, count);
            sourceMemory->Seek(count, TSeekOrigin::soCurrent);
            return count;
        }
        if (targetMemory != nullptr) {
            // Read straight into the target's memory after making room once.
            const int64_t position = targetMemory->Position();
            const int64_t oldSize = targetMemory->Size();
            int64_t end = 0;
            if (position < 0 || addOverflows(position, count, &end))
                throw EWriteError(QString::fromLatin1(kWriteError));
            if (end > oldSize)
                targetMemory->SetSize(end);
            int64_t done = 0;
            try {
                while (done < count) {
                    const int64_t n = source.Read(targetMemory->Memory() + position + done, count - done);
                    if (n <= 0)
                        break;
                    done += n;
                }
            } catch (...) {
                targetMemory->SetSize(std::max(oldSize, position + done));
                targetMemory->SetPosition(position + done);
                throw;
            }
            if (done != count) {
                // Keep what arrived, as a write of those bytes would have.
                targetMemory->SetSize(std::max(oldSize, position + done));
                targetMemory->SetPosition(position + done);
                throw EReadError(QString::fromLatin1(kReadError));
            }
            targetMemory->SetPosition(end);
            return count;
        }
    }

    const int64_t chunk = std::min(count, kCopyChunk);
    auto buffer = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(chunk));
    int64_t remaining = count;
    while (remaining > 0) {
        const int64_t n = std::min(remaining, chunk);
        source.ReadBuffer(buffer.get(), n);
        WriteBuffer(buffer.get(), n);
        remaining -= n;
    }
    return count;
}

// ---- TMemoryStream -----------------------------------------------------------
//
// Invariant: every byte between the size and the capacity is zero. Growing the
// size therefore needs no clearing, and freshly mapped pages are not touched
// until the stream grows over them.

TMemoryStream::~TMemoryStream()
{
    Clear();
}

void TMemoryStream::Clear()
{
    if (m_memory != nullptr) {
        if (m_mapped)
            ::munmap(m_memory, static_cast<size_t>(m_capacity));
        else
            std::free(m_memory);
    }
    m_memory = nullptr;
    m_size = 0;
    m_position = 0;
    m_capacity = 0;
    m_mapped = false;
    m_pieces.reset();
    m_blockUsed = 0;
    m_file.reset();
    m_readFailureReported = false;
}

void TMemoryStream::SetCapacity(int64_t newCapacity)
{
    if (newCapacity <= m_capacity)
        return;
    if (newCapacity > kMaxCapacity)
        raiseOutOfMemory();

    if (newCapacity >= kMapThreshold) {
        const int64_t capacity = roundUp(newCapacity, kHugePage);
        uint8_t* block = nullptr;
        if (m_mapped) {
            // The kernel moves the pages instead of copying the bytes. It
            // moves one mapping only: the block's parts with different
            // advice become one again first (advice never splits the huge
            // pages a block has; a block left so only misses huge pages).
            ::madvise(m_memory, static_cast<size_t>(m_capacity), MADV_NOHUGEPAGE);
            void* moved = ::mremap(m_memory, static_cast<size_t>(m_capacity), static_cast<size_t>(capacity),
                                   MREMAP_MAYMOVE);
            if (moved == MAP_FAILED)
                raiseOutOfMemory();
            block = static_cast<uint8_t*>(moved);
            adviseHugePages(block, newCapacity, capacity);
        } else {
            block = mapBlock(capacity);
            if (block == nullptr)
                raiseOutOfMemory();
            adviseHugePages(block, newCapacity, capacity);
            const int64_t kept = KeptBytes();
            if (kept > 0 && !populate(block, 0, kept)) {
                ::munmap(block, static_cast<size_t>(capacity));
                raiseOutOfMemory();
            }
            if (kept > 0)
                std::memcpy(block, m_memory, static_cast<size_t>(kept));
            std::free(m_memory);
        }
        m_memory = block;
        m_capacity = capacity;
        m_mapped = true;
        return;
    }

    // Only heap blocks are this small: a mapped block never shrinks.
    const int64_t capacity = roundUp(newCapacity, kAlignment);
    auto* block = static_cast<uint8_t*>(std::aligned_alloc(kAlignment, static_cast<size_t>(capacity)));
    if (block == nullptr)
        raiseOutOfMemory();
    const int64_t kept = KeptBytes();
    if (kept > 0)
        std::memcpy(block, m_memory, static_cast<size_t>(kept));
    std::memset(block + kept, 0, static_cast<size_t>(capacity - kept));
    std::free(m_memory);
    m_memory = block;
    m_capacity = capacity;
}

void TMemoryStream::SetSize(int64_t newSize)
{
    if (newSize < 0)
        throw EStreamError(QString::fromLatin1(kInvalidSize));
    if (m_pieces) {
        SetSizeScattered(newSize);
        return;
    }
    if (newSize > m_size) {
        if (newSize > m_capacity) {
            if (newSize > kMaxCapacity)
                raiseOutOfMemory();
            // Grow by half again so that a run of small appends copies the
            // block only now and then; settle for the exact size if the
            // larger block is not available.
            const int64_t wanted = std::max(newSize, m_capacity + m_capacity / 2);
            try {
                SetCapacity(wanted);
            } catch (const EStreamError&) {
                if (wanted == newSize)
                    throw;
                SetCapacity(newSize);
            }
            if (m_capacity < newSize)
                raiseOutOfMemory();
        }
        // Fault in ahead only what a large growth adds; a small one is faulted
        // in by the writes that follow, without a system call per append.
        if (m_mapped && !m_deferFaults && newSize - m_size >= kPopulateThreshold &&
            !populate(m_memory, m_size, newSize)) {
            // Hand back what was faulted in; the bytes there are still zero.
            releasePages(m_memory, roundUp(m_size, kPage), roundUp(newSize, kPage));
            raiseOutOfMemory();
        }
        m_size = newSize;
        return;
    }
    if (newSize < m_size) {
        // Restore the invariant: the bytes past the new size read as zero.
        ZeroBlock(newSize, m_size);
        m_size = newSize;
        if (m_position > newSize)
            m_position = newSize;
    }
}

void TMemoryStream::SetSizeDeferred(int64_t newSize)
{
    m_deferFaults = true;
    try {
        SetSize(newSize);
    } catch (...) {
        m_deferFaults = false;
        throw;
    }
    m_deferFaults = false;
}

void TMemoryStream::FaultIn(int64_t from, int64_t to)
{
    from = std::max<int64_t>(from, 0);
    to = std::min(to, m_size);
    if (!m_mapped || m_pieces || to - from < kPopulateThreshold)
        return;
    // From the start of the page that holds byte from.
    if (!populate(m_memory, from / kPage * kPage, to))
        raiseOutOfMemory();
}

int64_t TMemoryStream::Read(void* buffer, int64_t count)
{
    if (count <= 0 || m_position < 0 || m_position >= m_size)
        return 0;
    const int64_t n = std::min(count, m_size - m_position);
    if (m_pieces)
        m_pieces->Read(m_memory, m_position, static_cast<uint8_t*>(buffer), n);
    else
        std::memmove(buffer, m_memory + m_position, static_cast<size_t>(n));
    m_position += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0 || m_position < 0)
        return 0;
    int64_t end = 0;
    if (addOverflows(m_position, count, &end))
        raiseOutOfMemory();
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    if (m_pieces)
        return WriteScattered(bytes, count, end);
    if (end > m_size) {
        // The caller may be writing part of this stream's own memory, which
        // growing can move: find it again afterwards.
        const uint8_t* oldMemory = m_memory;
        const bool inside = oldMemory != nullptr && bytes >= oldMemory && bytes < oldMemory + m_capacity;
        const int64_t offset = inside ? bytes - oldMemory : 0;
        SetSize(end);
        if (inside)
            bytes = m_memory + offset;
    }
    std::memmove(m_memory + m_position, bytes, static_cast<size_t>(count));
    m_position = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int64_t base = 0;
    switch (origin) {
    case TSeekOrigin::soBeginning: base = 0; break;
    case TSeekOrigin::soCurrent: base = m_position; break;
    case TSeekOrigin::soEnd: base = m_size; break;
    }
    int64_t target = 0;
    if (addOverflows(base, offset, &target) || target < 0)
        throw EStreamError(QString::fromLatin1(kInvalidPosition));
    // Beyond the end is allowed: reads there give nothing, a write fills the
    // gap with zeros.
    m_position = target;
    return target;
}

void TMemoryStream::LoadFromStream(TStream& stream)
{
    if (&stream == this) {
        m_position = 0;
        return;
    }
    // The new content is built aside and takes over only when complete, so a
    // failed load leaves the stream as it was.
    TMemoryStream staging;
    if (auto* memory = dynamic_cast<TMemoryStream*>(&stream)) {
        staging.SetSize(memory->Size());
        if (memory->Size() > 0)
            std::memcpy(staging.m_memory, memory->Memory(), static_cast<size_t>(memory->Size()));
        memory->Seek(0, TSeekOrigin::soEnd);
    } else {
        stream.SetPosition(0);
        const int64_t expected = stream.Size();
        if (expected > 0)
            staging.SetSize(expected);
        int64_t done = 0;
        // Read to the end the stream reports, not just to the size it
        // announced: a file may change while it is read.
        for (;;) {
            if (done == staging.m_size) {
                // All the room is filled: one byte more, or the end.
                uint8_t next = 0;
                const int64_t n = stream.Read(&next, 1);
                if (n < 0)
                    throw EReadError(QString::fromLatin1(kReadError));
                if (n == 0)
                    break;
                staging.SetSize(done + std::max<int64_t>(int64_t(64) << 10, done / 8));
                staging.m_memory[done++] = next;
                continue;
            }
            const int64_t n = stream.Read(staging.m_memory + done, staging.m_size - done);
            if (n < 0)
                throw EReadError(QString::fromLatin1(kReadError));
            if (n == 0)
                break;
            done += n;
        }
        staging.SetSize(done);
        // A file that changed meanwhile gave bytes that never existed together.
        if (auto* file = dynamic_cast<TFileStream*>(&stream))
            file->CheckUnchanged();
    }
    std::swap(m_memory, staging.m_memory);
    std::swap(m_size, staging.m_size);
    std::swap(m_capacity, staging.m_capacity);
    std::swap(m_mapped, staging.m_mapped);
    std::swap(m_pieces, staging.m_pieces);
    std::swap(m_blockUsed, staging.m_blockUsed);
    std::swap(m_file, staging.m_file);
    m_readFailureReported = false;
    m_position = 0;
}

void TMemoryStream::LoadFromFile(const QString& path)
{
    const QString notRegular = QStringLiteral("Cannot open file \"%1\". It is not a regular file").arg(path);
    if (IsSpecialFile(path))
        throw EFileOpenError(notRegular);
    TFileStream file(path, TFileMode::fmOpenRead, TShareMode::fmShareDenyWrite);
    if (!file.IsRegularFile())
        throw EFileOpenError(notRegular);
    ::posix_fadvise(file.Handle(), 0, 0, POSIX_FADV_SEQUENTIAL);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream)
{
    // Run by run: saving needs no contiguous copy.
    ForEachRun([&stream](const uint8_t* bytes, int64_t count) { stream.WriteBuffer(bytes, count); });
}

// ---- TMemoryStream: scattered content -------------------------------------------
//
// While scattered, the block holds the content the stream had when it was
// scattered (its first m_blockUsed bytes), changed in place by overwrites;
// inserted bytes live in the piece table's own store. Bytes of the block past
// m_blockUsed are still zero.

void TMemoryStream::ZeroBlock(int64_t from, int64_t to)
{
    if (to <= from)
        return;
    if (m_mapped && to - from >= kReleaseThreshold) {
        const int64_t pageStart = roundUp(from, kPage);
        std::memset(m_memory + from, 0, static_cast<size_t>(pageStart - from));
        if (releasePages(m_memory, pageStart, roundUp(to, kPage)))
            return;
    }
    std::memset(m_memory + from, 0, static_cast<size_t>(to - from));
}

void TMemoryStream::Scatter()
{
    m_pieces = std::make_unique<TPieceTable>(m_size);
    m_blockUsed = m_size;
}

// Puts the pieces in sequence into the block itself. Pieces of the block keep
// their order there; those that move towards the start are moved first, from
// the first on, then those that move towards the end, from the last on: no
// move overwrites the bytes of a piece still to be moved. The inserted bytes
// are copied into the gaps last.
void TMemoryStream::Gather()
{
    if (m_file) {
        GatherFromFile();
        return;
    }
    std::vector<TPieceTable::TPiece> pieces;
    try {
        pieces = m_pieces->Pieces();
    } catch (const std::bad_alloc&) {
        raiseOutOfMemory();
    }
    if (m_size > m_capacity)
        SetCapacity(m_size);
    for (const TPieceTable::TPiece& p : pieces)
        if (p.Source < 0 && p.Position < p.Offset)
            std::memmove(m_memory + p.Position, m_memory + p.Offset, static_cast<size_t>(p.Length));
    for (auto p = pieces.rbegin(); p != pieces.rend(); ++p)
        if (p->Source < 0 && p->Position > p->Offset)
            std::memmove(m_memory + p->Position, m_memory + p->Offset, static_cast<size_t>(p->Length));
    for (const TPieceTable::TPiece& p : pieces)
        if (p.Source >= 0)
            std::memcpy(m_memory + p.Position, m_pieces->Address(m_memory, p), static_cast<size_t>(p.Length));
    const int64_t used = m_blockUsed;
    m_pieces.reset();
    m_blockUsed = 0;
    ZeroBlock(m_size, used);
}

// Back to a plain block when the pieces are just the block's start again
// (an insertion undone), or nothing.
void TMemoryStream::UnscatterIfWhole()
{
    if (m_file) {
        // Nothing left that comes from the file: it is let go.
        if (m_size == 0) {
            m_pieces.reset();
            m_file.reset();
        }
        return;
    }
    if (m_size > 0) {
        if (m_pieces->PieceCount() != 1)
            return;
        const TPieceTable::TPiece piece = m_pieces->Pieces().front();
        if (piece.Source >= 0 || piece.Offset != 0)
            return;
    }
    const int64_t used = m_blockUsed;
    m_pieces.reset();
    m_blockUsed = 0;
    ZeroBlock(m_size, used);
}

void TMemoryStream::SetSizeScattered(int64_t newSize)
{
    try {
        if (newSize < m_size)
            m_pieces->Remove(newSize, m_size - newSize);
        else if (newSize > m_size)
            m_pieces->Insert(m_size, nullptr, newSize - m_size);
    } catch (const std::bad_alloc&) {
        raiseOutOfMemory();
    }
    const bool shrunk = newSize < m_size;
    m_size = newSize;
    if (m_position > newSize)
        m_position = newSize;
    if (shrunk)
        UnscatterIfWhole();
}

int64_t TMemoryStream::WriteScattered(const uint8_t* bytes, int64_t count, int64_t end)
{
    try {
        // A gap between the end and the position fills with zeros.
        if (m_position > m_size) {
            m_pieces->Insert(m_size, nullptr, m_position - m_size);
            m_size = m_position;
        }
        const int64_t inside = std::min(count, m_size - m_position);
        m_pieces->Write(m_memory, m_position, bytes, inside);
        if (count > inside) {
            m_pieces->Insert(m_size, bytes + inside, count - inside);
            m_size += count - inside;
        }
    } catch (const std::bad_alloc&) {
        raiseOutOfMemory();
    }
    m_position = end;
    return count;
}

void TMemoryStream::PeekBytes(int64_t index, void* buffer, int64_t count) const
{
    if (count <= 0)
        return;
    if (!m_pieces) {
        std::memmove(buffer, m_memory + index, static_cast<size_t>(count));
        return;
    }
    try {
        m_pieces->Read(m_memory, index, static_cast<uint8_t*>(buffer), count);
    } catch (const EStreamError& e) {
        ReportReadFailure(e);
        std::memset(buffer, 0, static_cast<size_t>(count));
    }
}

const uint8_t* TMemoryStream::SpanAt(int64_t index, int64_t* length) const
{
    if (!m_pieces) {
        *length = m_size - index;
        return m_memory + index;
    }
    try {
        return m_pieces->SpanAt(m_memory, index, length);
    } catch (const EStreamError& e) {
        ReportReadFailure(e);
        static const uint8_t zeros[4096] = {};
        *length = std::min<int64_t>(m_size - index, sizeof zeros);
        return zeros;
    }
}

std::vector<std::pair<const uint8_t*, int64_t>> TMemoryStream::Spans() const
{
    std::vector<std::pair<const uint8_t*, int64_t>> spans;
    if (m_file)
        const_cast<TMemoryStream*>(this)->Memory(); // addresses need the bytes in memory
    if (m_pieces) {
        for (const TPieceTable::TPiece& piece : m_pieces->Pieces())
            spans.emplace_back(m_pieces->Address(m_memory, piece), piece.Length);
    } else if (m_size > 0) {
        spans.emplace_back(m_memory, m_size);
    }
    return spans;
}

void TMemoryStream::Insert(int64_t index, const void* buffer, int64_t count)
{
    if (index < 0 || index > m_size || count < 0)
        throw EStreamError(QString::fromLatin1(kInvalidPosition));
    int64_t end = 0;
    if (count == 0)
        return;
    if (addOverflows(m_size, count, &end) || end > kMaxCapacity)
        raiseOutOfMemory();
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    if (!m_pieces && index == m_size) {
        // At the end the block simply grows (a write also copes with bytes
        // taken from this stream's own block, which growing may move).
        if (bytes) {
            const int64_t position = m_position;
            m_position = index;
            Write(bytes, count);
            m_position = position;
        } else {
            SetSize(end);
        }
        return;
    }
    try {
        if (!m_pieces)
            Scatter();
        m_pieces->Insert(index, bytes, count);
    } catch (const std::bad_alloc&) {
        raiseOutOfMemory();
    }
    m_size = end;
}

void TMemoryStream::Remove(int64_t index, int64_t count)
{
    if (index < 0 || count < 0 || index > m_size || count > m_size - index)
        throw EStreamError(QString::fromLatin1(kInvalidPosition));
    if (count == 0)
        return;
    if (index + count == m_size) {
        SetSize(index);
        return;
    }
    try {
        if (!m_pieces)
            Scatter();
        m_pieces->Remove(index, count);
    } catch (const std::bad_alloc&) {
        raiseOutOfMemory();
    }
    m_size -= count;
    if (m_position > m_size)
        m_position = m_size;
    UnscatterIfWhole();
}

// ---- TFileStream -------------------------------------------------------------

TFileStream::TFileStream(const QString& path, TFileMode mode, TShareMode share)
{
    int error = 0;
    if (!open(path, mode, share, &error)) {
        const QString text = mode == TFileMode::fmCreate ? QStringLiteral("Cannot create file \"%1\". %2")
                                                         : QStringLiteral("Cannot open file \"%1\". %2");
        throw EFileOpenError(text.arg(path, SysErrorMessage(error)));
    }
}

TFileStream::~TFileStream()
{
    // Closing the descriptor also drops its lock.
    if (m_fd >= 0)
        ::close(m_fd);
}

TFileStream* TFileStream::TryOpen(const QString& path, TFileMode mode, TShareMode share, int* error)
{
    std::unique_ptr<TFileStream> stream(new TFileStream());
    int code = 0;
    if (!stream->open(path, mode, share, &code)) {
        if (error != nullptr)
            *error = code;
        errno = code;
        return nullptr;
    }
    if (error != nullptr)
        *error = 0;
    return stream.release();
}

// Opens the file and applies the share mode.
//
// Share modes are advisory locks (flock), held per open file description, so
// two streams on one file conflict in this process as they do between
// processes. An exclusive open takes an exclusive lock and fails while anyone
// holds a lock on the file; every other open takes a shared lock. A read-only
// open that allows others every access still succeeds, without a lock, while
// someone holds the file exclusively: reading never disturbs the holder.
// Programs that open the file without locking it are not seen.
//
// Write access also requires the file to carry a write permission bit for
// someone. For an ordinary user open(2) checks that already; a process with
// the privilege to ignore permissions (root) would otherwise write to a
// write-protected file.
bool TFileStream::open(const QString& path, TFileMode mode, TShareMode share, int* error)
{
    auto failWith = [&](int code) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        *error = code;
        return false;
    };

    QByteArray name;
    int nameError = 0;
    if (!EncodeFileName(path, &name, &nameError))
        return failWith(nameError);

    int access = O_RDONLY;
    switch (mode) {
    case TFileMode::fmOpenRead: access = O_RDONLY; break;
    case TFileMode::fmOpenWrite: access = O_WRONLY; break;
    case TFileMode::fmOpenReadWrite:
    case TFileMode::fmCreate: access = O_RDWR; break;
    }
    // Non-blocking only while opening: a named pipe without a writer must not
    // hang the caller.
    const int flags = access | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

    bool created = false;
    if (mode == TFileMode::fmCreate) {
        // Create a new file, or open the existing one without truncating it:
        // it is emptied only after the checks and the lock below succeeded.
        for (int attempt = 0; m_fd < 0; ++attempt) {
            m_fd = ::open(name.constData(), flags | O_CREAT | O_EXCL, 0666);
            if (m_fd >= 0) {
                created = true;
                break;
            }
            if (errno == EINTR)
                continue;
            if (errno != EEXIST || attempt > 16)
                return failWith(errno);
            // After a few rounds accept the plain create, which also follows
            // a link that points nowhere yet.
            m_fd = ::open(name.constData(), attempt < 8 ? flags : flags | O_CREAT, 0666);
            if (m_fd < 0 && errno != EINTR && errno != ENOENT)
                return failWith(errno);
            // ENOENT: the file went away in between; try to create it again.
        }
    } else {
        do
            m_fd = ::open(name.constData(), flags);
        while (m_fd < 0 && errno == EINTR);
        if (m_fd < 0)
            return failWith(errno);
    }

    const int status = ::fcntl(m_fd, F_GETFL);
    if (status == -1 || ::fcntl(m_fd, F_SETFL, status & ~O_NONBLOCK) == -1)
        return failWith(errno);

    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        return failWith(errno);
    if (S_ISDIR(st.st_mode))
        return failWith(EISDIR);
    if (access != O_RDONLY && !created && S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0)
        return failWith(EACCES);

    const int operation = share == TShareMode::fmShareExclusive ? LOCK_EX : LOCK_SH;
    int rc;
    do
        rc = ::flock(m_fd, operation | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        if (errno == EWOULDBLOCK) {
            const bool readsOnly = access == O_RDONLY && share == TShareMode::fmShareDenyNone;
            if (!readsOnly)
                return failWith(EBUSY);
        }
        // Any other failure means the file system keeps no such locks: go
        // on without one.
    }

    if (mode == TFileMode::fmCreate && !created && S_ISREG(st.st_mode) && st.st_size > 0) {
        do
            rc = ::ftruncate(m_fd, 0);
        while (rc != 0 && errno == EINTR);
        if (rc != 0)
            return failWith(errno);
    }

    m_path = path;
    m_regular = S_ISREG(st.st_mode);
    if (mode == TFileMode::fmCreate && ::fstat(m_fd, &st) != 0)
        return failWith(errno);
    m_openedSize = static_cast<int64_t>(st.st_size);
    m_openedMtimeSec = static_cast<int64_t>(st.st_mtim.tv_sec);
    m_openedMtimeNsec = static_cast<int64_t>(st.st_mtim.tv_nsec);
    return true;
}

std::unique_ptr<TFileStream> TFileStream::OpenInput(const QString& path)
{
    auto refuse = [&](const QString& reason) {
        return EFileOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
    };
    // Looked at before the open too: opening some devices already acts.
    if (IsSpecialFile(path))
        throw refuse(QStringLiteral("It is not a regular file"));
    int error = 0;
    std::unique_ptr<TFileStream> file(TryOpen(path, TFileMode::fmOpenRead, TShareMode::fmShareDenyNone, &error));
    if (!file)
        throw refuse(SysErrorMessage(error));
    // The name may have been replaced in between.
    if (!file->IsRegularFile())
        throw refuse(QStringLiteral("It is not a regular file"));
    return file;
}

void TFileStream::CheckUnchanged()
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        throw EReadError(QStringLiteral("Cannot read file \"%1\". %2").arg(m_path, SysErrorMessage(errno)));
    if (static_cast<int64_t>(st.st_size) != m_openedSize || static_cast<int64_t>(st.st_mtim.tv_sec) != m_openedMtimeSec ||
        static_cast<int64_t>(st.st_mtim.tv_nsec) != m_openedMtimeNsec)
        throw EReadError(
            QStringLiteral("File \"%1\" changed while it was read").arg(m_path));
}

int64_t TFileStream::Read(void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    auto* bytes = static_cast<uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(m_fd, bytes + done, static_cast<size_t>(std::min(count - done, kMaxTransfer)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EReadError(QStringLiteral("%1. %2").arg(QString::fromLatin1(kReadError), SysErrorMessage(errno)));
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count)
{
    if (count <= 0)
        return 0;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_fd, bytes + done, static_cast<size_t>(std::min(count - done, kMaxTransfer)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            // Part of the data may be in the file already; the caller must
            // not take a short count for success, so stop here loudly.
            throw EWriteError(QStringLiteral("%1. %2").arg(QString::fromLatin1(kWriteError), SysErrorMessage(errno)));
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin)
{
    int whence = SEEK_SET;
    switch (origin) {
    case TSeekOrigin::soBeginning: whence = SEEK_SET; break;
    case TSeekOrigin::soCurrent: whence = SEEK_CUR; break;
    case TSeekOrigin::soEnd: whence = SEEK_END; break;
    }
    const off_t result = ::lseek(m_fd, static_cast<off_t>(offset), whence);
    if (result < 0) {
        if (errno == EINVAL)
            throw EStreamError(QString::fromLatin1(kInvalidPosition));
        throw EStreamError(QStringLiteral("Cannot seek in file \"%1\". %2").arg(m_path, SysErrorMessage(errno)));
    }
    return static_cast<int64_t>(result);
}

int64_t TFileStream::Size()
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        throw EStreamError(QStringLiteral("Cannot read the size of file \"%1\". %2").arg(m_path, SysErrorMessage(errno)));
    return static_cast<int64_t>(st.st_size);
}

void TFileStream::SetSize(int64_t newSize)
{
    if (newSize < 0)
        throw EStreamError(QString::fromLatin1(kInvalidSize));
    const int64_t position = Position();
    int rc;
    do
        rc = ::ftruncate(m_fd, static_cast<off_t>(newSize));
    while (rc != 0 && errno == EINTR);
    if (rc != 0)
        throw EStreamError(QStringLiteral("Cannot change the size of file \"%1\". %2").arg(m_path, SysErrorMessage(errno)));
    if (position > newSize)
        Seek(newSize, TSeekOrigin::soBeginning);
}

// ---- TMemoryStream: content read from a file on demand ---------------------------
//
// The piece table's base store is the file (read through m_file); the block
// is not used until the content is gathered.

void TMemoryStream::OpenOnDemand(std::unique_ptr<TFilePages> file)
{
    auto pieces = std::make_unique<TPieceTable>(file->Size());
    pieces->SetBaseReader(file.get());
    Clear();
    m_size = file->Size();
    m_file = std::move(file);
    m_pieces = std::move(pieces);
    if (m_size == 0)
        UnscatterIfWhole();
}

void TMemoryStream::ReportReadFailure(const EStreamError& error) const
{
    if (m_readFailureReported)
        return;
    m_readFailureReported = true;
    if (OnReadFailure)
        OnReadFailure(error.Message());
}

uint8_t TMemoryStream::PeekFileByte(int64_t index) const
{
    try {
        return m_pieces->ByteAt(m_memory, index);
    } catch (const EStreamError& e) {
        ReportReadFailure(e);
        return 0;
    }
}

void TMemoryStream::ForEachRun(const std::function<void(const uint8_t*, int64_t)>& use) const
{
    if (!m_pieces) {
        if (m_size > 0)
            use(m_memory, m_size);
        return;
    }
    std::unique_ptr<uint8_t[]> buffer;
    for (const TPieceTable::TPiece& piece : m_pieces->Pieces()) {
        if (piece.Source >= 0 || !m_file) {
            use(m_pieces->Address(m_memory, piece), piece.Length);
            continue;
        }
        if (!buffer)
            buffer = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(kCopyChunk));
        for (int64_t done = 0; done < piece.Length;) {
            const int64_t n = std::min(kCopyChunk, piece.Length - done);
            m_file->ReadBase(piece.Offset + done, buffer.get(), n);
            use(buffer.get(), n);
            done += n;
        }
    }
}

// Builds the block aside, so that a file that cannot be read leaves the
// stream as it was.
void TMemoryStream::GatherFromFile()
{
    std::vector<TPieceTable::TPiece> pieces;
    try {
        pieces = m_pieces->Pieces();
    } catch (const std::bad_alloc&) {
        raiseOutOfMemory();
    }
    TMemoryStream staging;
    staging.SetSize(m_size);
    for (const TPieceTable::TPiece& p : pieces) {
        uint8_t* target = staging.m_memory + p.Position;
        if (p.Source < 0)
            m_file->ReadBase(p.Offset, target, p.Length);
        else
            std::memcpy(target, m_pieces->Address(m_memory, p), static_cast<size_t>(p.Length));
    }
    std::swap(m_memory, staging.m_memory);
    std::swap(m_capacity, staging.m_capacity);
    std::swap(m_mapped, staging.m_mapped);
    m_pieces.reset();
    m_blockUsed = 0;
    m_file.reset();
}
