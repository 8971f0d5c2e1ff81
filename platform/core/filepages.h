#pragma once
// The bytes of an open file, read when they are asked for: pread of the
// pages touched, kept in a small cache of bounded size, so that opening a
// file costs nothing and memory grows with what is read, up to the cache's
// size. Reads of many pages at once go straight to the caller's buffer.
//
// The file is held open by its descriptor, so the bytes are those of the
// file that was opened, also when another program renames, removes or
// replaces the name afterwards (the usual way of saving a file). When the
// file itself is rewritten or shortened after it was opened, its bytes
// cannot be told apart from the old ones: every read that goes to the file
// compares its size and modification time with those it had when it was
// opened, and a read from a changed file raises EReadError instead of
// handing out bytes of another version. Pages read before the change stay
// valid: they are the bytes of the file as it was opened.
//
// No advisory lock is kept: a document open for a long time must not keep
// others (or a reload of the same file) from opening it exclusively.

#include "platform/core/piecetable.h"

class TFileStream;

#include <QString>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class TFilePages : public TPieceBaseReader
{
public:
    static constexpr int64_t DefaultPageSize = int64_t(64) << 10;
    static constexpr int DefaultCachePages = 256; // 16 MiB

    // Takes over an open regular file. pageSize and cachePages are for tests.
    explicit TFilePages(std::unique_ptr<TFileStream> file, int64_t pageSize = DefaultPageSize,
                        int cachePages = DefaultCachePages);
    ~TFilePages() override;
    TFilePages(const TFilePages&) = delete;
    TFilePages& operator=(const TFilePages&) = delete;

    // The file's size when it was opened: the bytes this reader offers.
    int64_t Size() const { return m_size; }
    const QString& FileName() const { return m_path; }
    // Device and inode of the open file.
    uint64_t Device() const { return m_device; }
    uint64_t Inode() const { return m_inode; }
    // Whether the file still has the size and modification time it had
    // when it was opened (false also when it cannot be looked at).
    bool Unchanged() const;
    // Bytes held by the page cache now.
    int64_t CachedBytes() const { return int64_t(m_slotsInUse) * m_pageSize; }
    int64_t PageSize() const { return m_pageSize; }

    // Copies count bytes at offset (inside the file's size) into out.
    // Raises EReadError when the file cannot be read or has changed.
    void ReadBase(int64_t offset, uint8_t* out, int64_t count) override;
    // Address of the byte at offset inside a cached page and, in *length,
    // how many bytes follow it in that page; valid until the next read.
    const uint8_t* BaseSpan(int64_t offset, int64_t* length) override;

private:
    struct TSlot
    {
        int64_t Page = -1;
        uint64_t LastUse = 0;
        std::unique_ptr<uint8_t[]> Bytes;
    };

    // The slot holding page (read from the file when not cached).
    TSlot& PageSlot(int64_t page);
    TSlot& FreeSlot();
    // Reads exactly count bytes at offset from the file and checks the file
    // is still the one that was opened.
    void ReadFile(int64_t offset, uint8_t* out, int64_t count);
    [[noreturn]] void RaiseChanged() const;

    std::unique_ptr<TFileStream> m_file;
    QString m_path;
    int m_fd = -1;
    int64_t m_size = 0;
    int64_t m_mtimeSec = 0;
    int64_t m_mtimeNsec = 0;
    uint64_t m_device = 0;
    uint64_t m_inode = 0;
    int64_t m_pageSize;
    std::vector<TSlot> m_slots;
    int m_slotsInUse = 0;
    std::unordered_map<int64_t, int> m_index; // page -> slot
    uint64_t m_clock = 0;
    int m_last = -1; // slot used last
};
