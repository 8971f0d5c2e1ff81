#pragma once
// Streams: a small byte-stream interface with a growable contiguous memory
// stream and a file stream with open and share modes.

#include "platform/core/exceptions.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream
{
public:
    virtual ~TStream() = default;

    // Reads up to count bytes; returns the number read (0 at the end).
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    // Writes up to count bytes; returns the number written.
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // Moves the position; returns the new position.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual int64_t Size();
    virtual void SetSize(int64_t newSize) = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, TSeekOrigin::soBeginning); }

    // Exact transfers: a short read raises EReadError, a short write EWriteError.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);

    // Copies count bytes from source's position (count 0: the whole source
    // from its start). Returns the number of bytes copied.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// Growable stream over one contiguous, 64-byte aligned block of memory.
// Capacity grows geometrically so that small appends do not copy the block;
// large blocks are mapped directly and their pages are faulted in ahead.
class TMemoryStream : public TStream
{
public:
    TMemoryStream() = default;
    ~TMemoryStream() override;
    TMemoryStream(const TMemoryStream&) = delete;
    TMemoryStream& operator=(const TMemoryStream&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return m_size; }
    void SetSize(int64_t newSize) override;

    uint8_t* Memory() { return m_memory; }
    const uint8_t* Memory() const { return m_memory; }
    int64_t Capacity() const { return m_capacity; }
    int64_t SizeConst() const { return m_size; }

    // Empties the stream and releases its memory.
    void Clear();
    // ---- growth with deferred page faults ---------------------------------
    // Grows the size like SetSize, but leaves the new pages of a large block
    // to be faulted in later, so that a caller filling a large stream step by
    // step (a load with progress reports) starts at once. Before a bulk
    // transfer into [from, to) the caller calls FaultIn on that range.
    void SetSizeDeferred(int64_t newSize);
    // Faults in the pages of [from, to) for writing; raises the out-of-memory
    // error when the memory is not available.
    void FaultIn(int64_t from, int64_t to);
    // Replaces the content by the whole of stream / file.
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const QString& path);
    void SaveToStream(TStream& stream);

protected:
    // Makes room for at least newCapacity bytes, keeping the content.
    virtual void SetCapacity(int64_t newCapacity);

private:
    uint8_t* m_memory = nullptr;
    int64_t m_size = 0;
    int64_t m_position = 0;
    int64_t m_capacity = 0;
    bool m_mapped = false;
    bool m_deferFaults = false;
};

// How a file is opened.
enum class TFileMode { fmOpenRead, fmOpenWrite, fmOpenReadWrite, fmCreate };
// What others may do with the file meanwhile. Exclusive access is modelled with
// advisory locks: an exclusive open fails while anyone else holds a lock on the
// file, and every open takes a shared lock unless it is exclusive.
enum class TShareMode { fmShareDenyNone, fmShareDenyWrite, fmShareExclusive };

class TFileStream : public TStream
{
public:
    // Raises EFileOpenError with a text naming the path and the system reason.
    TFileStream(const QString& path, TFileMode mode, TShareMode share = TShareMode::fmShareDenyNone);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override;
    void SetSize(int64_t newSize) override;

    int Handle() const { return m_fd; }
    const QString& FileName() const { return m_path; }

    // Tries to open; on failure returns nullptr and stores errno in *error.
    static TFileStream* TryOpen(const QString& path, TFileMode mode, TShareMode share, int* error);

    // ---- input files -------------------------------------------------------
    // Opens a regular file for reading, sharing every access. Anything else
    // (a named pipe, a device, a socket, a folder) is refused with
    // EFileOpenError before a byte is read: it could block or never end.
    static std::unique_ptr<TFileStream> OpenInput(const QString& path);
    // Whether the open file is a regular file.
    bool IsRegularFile() const { return m_regular; }
    // Raises EReadError when the file's size or modification time differ from
    // what they were when it was opened: what was read may never have existed
    // as a whole.
    void CheckUnchanged();

private:
    TFileStream() = default;
    bool open(const QString& path, TFileMode mode, TShareMode share, int* error);

    int m_fd = -1;
    QString m_path;
    bool m_regular = false;
    int64_t m_openedSize = 0;
    int64_t m_openedMtimeSec = 0;
    int64_t m_openedMtimeNsec = 0;
};
