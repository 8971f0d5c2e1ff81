#pragma once
// Streams: a small byte-stream interface with a growable contiguous memory
// stream and a file stream with open and share modes.

#include "platform/core/exceptions.h"
#include "platform/core/filepages.h"
#include "platform/core/piecetable.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

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

// Growable stream over one 64-byte aligned block of memory. Capacity grows
// geometrically so that small appends do not copy the block; large blocks are
// mapped directly and their pages are faulted in ahead.
//
// Insert and Remove change the content in the middle without moving what
// follows: the first of them turns the stream into a piece table over its
// block (scattered), and from then on reads, writes and size changes work on
// the pieces. Memory() brings the content back into one contiguous block
// (once, in place; O(size)), and it stays so until the next Insert or Remove.
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

    // The content as one contiguous block; gathers a scattered stream first
    // (raises the out-of-memory error when the block cannot grow for that,
    // EReadError when a file read on demand can no longer be read).
    uint8_t* Memory()
    {
        if (m_pieces)
            Gather();
        return m_memory;
    }
    const uint8_t* Memory() const { return const_cast<TMemoryStream*>(this)->Memory(); }
    bool IsContiguous() const { return !m_pieces; }
    // Number of pieces while scattered, 1 otherwise (0 when empty).
    int64_t PieceCount() const { return m_pieces ? m_pieces->PieceCount() : (m_size > 0 ? 1 : 0); }

    // ---- access at a position that never gathers ---------------------------
    // Unchecked: index and count must lie inside the content. They never
    // raise: bytes of a file read on demand that cannot be read any more
    // come as zeros, and OnReadFailure is told (see below).
    uint8_t PeekByte(int64_t index) const
    {
        if (!m_pieces)
            return m_memory[index];
        return m_file ? PeekFileByte(index) : m_pieces->ByteAt(m_memory, index);
    }
    void PeekBytes(int64_t index, void* buffer, int64_t count) const;
    // Address of the byte at index and, in *length, how many bytes follow it
    // contiguously (index included). Valid until the next change of size.
    const uint8_t* SpanAt(int64_t index, int64_t* length) const;
    // The content as runs of contiguous bytes, in order (one run unless
    // scattered). Valid until the next change.
    std::vector<std::pair<const uint8_t*, int64_t>> Spans() const;

    // ---- changes in the middle ----------------------------------------------
    // Inserts count bytes at index (0..size): a copy of buffer, or zeros when
    // buffer is null. The position stays. Raises EStreamError for a position
    // outside the content.
    void Insert(int64_t index, const void* buffer, int64_t count);
    // Removes count bytes at index; the range must lie inside the content.
    // A position beyond the new end moves to it.
    void Remove(int64_t index, int64_t count);
    int64_t Capacity() const { return m_capacity; }
    int64_t SizeConst() const { return m_size; }

    // Empties the stream and releases its memory.
    void Clear();

    // ---- content read from a file on demand -----------------------------------
    // Replaces the content by the bytes of file, read when they are asked
    // for: nothing is copied now, and memory grows with what is read (up
    // to the file reader's cache) and what is changed. Edits go into the
    // pieces on top; the file is never written. Memory() gathers the whole
    // content into a block once (reading every byte not changed), after
    // which the file is let go. Reads that can raise (Read, ReadBuffer,
    // Memory, ForEachRun, SaveToStream) raise EReadError when the file can
    // no longer be read or was changed by another program (TFilePages).
    void OpenOnDemand(std::unique_ptr<TFilePages> file);
    // The file the content is still read from, or null.
    const TFilePages* DemandFile() const { return m_file.get(); }
    // Told once per opened file, with the error's text, when a read that
    // cannot raise met a file that can no longer be read.
    std::function<void(const QString& message)> OnReadFailure;
    // Hands the content to use run by run, in order, without gathering it:
    // runs in memory as they are, runs of a file through a buffer.
    void ForEachRun(const std::function<void(const uint8_t*, int64_t)>& use) const;
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
    // While scattered: the pieces, and how much of the block they may use
    // (the bytes of the block past that are zero).
    std::unique_ptr<TPieceTable> m_pieces;
    int64_t m_blockUsed = 0;
    // While the content is read on demand (always scattered then; the block
    // is unused): the file's reader.
    std::unique_ptr<TFilePages> m_file;
    mutable bool m_readFailureReported = false;

    // Bytes at the start of the block that must survive a move of it.
    int64_t KeptBytes() const { return m_pieces ? m_blockUsed : m_size; }
    void Scatter();
    void Gather();
    void GatherFromFile();
    uint8_t PeekFileByte(int64_t index) const;
    void ReportReadFailure(const EStreamError& error) const;
    void UnscatterIfWhole();
    // Clears [from, to) of the block, handing large runs back to the system.
    void ZeroBlock(int64_t from, int64_t to);
    void SetSizeScattered(int64_t newSize);
    int64_t WriteScattered(const uint8_t* bytes, int64_t count, int64_t end);
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
