#include "platform/core/piecetable.h"

#include <algorithm>
#include <cstring>

namespace {
// Inserted bytes go into chunks of at least this size, so that a run of
// small inserts (typing) fills one chunk and extends one piece.
constexpr int64_t kChunkSize = int64_t(1) << 20;
} // namespace

TPieceTable::TPieceTable(int64_t baseLength)
{
    if (baseLength > 0)
        m_root = NewNode(-1, 0, baseLength);
}

int64_t TPieceTable::Size() const
{
    return SumOf(m_root);
}

void TPieceTable::Update(int32_t t)
{
    TNode& n = m_nodes[size_t(t)];
    n.Sum = n.Length + SumOf(n.Left) + SumOf(n.Right);
}

int32_t TPieceTable::NewNode(int32_t source, int64_t offset, int64_t length)
{
    // xorshift32: priorities need only be well spread, not unpredictable.
    m_seed ^= m_seed << 13;
    m_seed ^= m_seed >> 17;
    m_seed ^= m_seed << 5;
    const TNode node{source, offset, length, length, m_seed, -1, -1};
    if (!m_free.empty()) {
        const int32_t t = m_free.back();
        m_free.pop_back();
        m_nodes[size_t(t)] = node;
        return t;
    }
    m_nodes.push_back(node);
    return int32_t(m_nodes.size() - 1);
}

void TPieceTable::FreeTree(int32_t t)
{
    std::vector<int32_t> stack;
    if (t >= 0)
        stack.push_back(t);
    while (!stack.empty()) {
        const int32_t n = stack.back();
        stack.pop_back();
        if (m_nodes[size_t(n)].Left >= 0)
            stack.push_back(m_nodes[size_t(n)].Left);
        if (m_nodes[size_t(n)].Right >= 0)
            stack.push_back(m_nodes[size_t(n)].Right);
        m_free.push_back(n);
    }
}

// Splits tree t into the first `at` bytes and the rest; a piece that straddles
// the cut becomes two pieces.
void TPieceTable::Split(int32_t t, int64_t at, int32_t* left, int32_t* right)
{
    if (t < 0) {
        *left = *right = -1;
        return;
    }
    const int64_t leftSum = SumOf(m_nodes[size_t(t)].Left);
    const int64_t length = m_nodes[size_t(t)].Length;
    if (at <= leftSum) {
        int32_t a = -1, b = -1;
        Split(m_nodes[size_t(t)].Left, at, &a, &b);
        m_nodes[size_t(t)].Left = b;
        Update(t);
        *left = a;
        *right = t;
        return;
    }
    if (at >= leftSum + length) {
        int32_t a = -1, b = -1;
        Split(m_nodes[size_t(t)].Right, at - leftSum - length, &a, &b);
        m_nodes[size_t(t)].Right = a;
        Update(t);
        *left = t;
        *right = b;
        return;
    }
    // The cut falls inside this node's piece: its tail becomes a node that
    // leads the right part.
    const int64_t keep = at - leftSum;
    const int32_t tail = NewNode(m_nodes[size_t(t)].Source, m_nodes[size_t(t)].Offset + keep, length - keep);
    const int32_t oldRight = m_nodes[size_t(t)].Right;
    m_nodes[size_t(t)].Length = keep;
    m_nodes[size_t(t)].Right = -1;
    Update(t);
    *left = t;
    *right = Merge(tail, oldRight);
}

int32_t TPieceTable::Merge(int32_t a, int32_t b)
{
    if (a < 0)
        return b;
    if (b < 0)
        return a;
    if (m_nodes[size_t(a)].Priority > m_nodes[size_t(b)].Priority) {
        const int32_t merged = Merge(m_nodes[size_t(a)].Right, b);
        m_nodes[size_t(a)].Right = merged;
        Update(a);
        return a;
    }
    const int32_t merged = Merge(a, m_nodes[size_t(b)].Left);
    m_nodes[size_t(b)].Left = merged;
    Update(b);
    return b;
}

TPieceTable::TPiece TPieceTable::Store(const uint8_t* bytes, int64_t count)
{
    if (m_chunks.empty() || m_chunks.back().Capacity - m_chunks.back().Used < count) {
        TChunk chunk;
        chunk.Capacity = std::max(count, kChunkSize);
        chunk.Bytes = std::make_unique_for_overwrite<uint8_t[]>(size_t(chunk.Capacity));
        m_chunks.push_back(std::move(chunk));
    }
    TChunk& chunk = m_chunks.back();
    uint8_t* target = chunk.Bytes.get() + chunk.Used;
    if (bytes)
        std::memcpy(target, bytes, size_t(count));
    else
        std::memset(target, 0, size_t(count));
    const TPiece piece{int32_t(m_chunks.size() - 1), chunk.Used, 0, count};
    chunk.Used += count;
    m_addedTotal += count;
    return piece;
}

bool TPieceTable::ExtendLast(int32_t t, const TPiece& added)
{
    if (t < 0)
        return false;
    int32_t last = t;
    while (m_nodes[size_t(last)].Right >= 0)
        last = m_nodes[size_t(last)].Right;
    const TNode& n = m_nodes[size_t(last)];
    if (n.Source != added.Source || n.Offset + n.Length != added.Offset)
        return false;
    for (int32_t s = t; s >= 0; s = m_nodes[size_t(s)].Right)
        m_nodes[size_t(s)].Sum += added.Length;
    m_nodes[size_t(last)].Length += added.Length;
    return true;
}

void TPieceTable::Insert(int64_t at, const uint8_t* bytes, int64_t count)
{
    if (count <= 0)
        return;
    const TPiece added = Store(bytes, count);
    m_cached = TPiece{-1, 0, -1, 0};
    int32_t left = -1, right = -1;
    Split(m_root, at, &left, &right);
    if (!ExtendLast(left, added))
        left = Merge(left, NewNode(added.Source, added.Offset, added.Length));
    m_root = Merge(left, right);
}

void TPieceTable::Remove(int64_t at, int64_t count)
{
    if (count <= 0)
        return;
    m_cached = TPiece{-1, 0, -1, 0};
    int32_t left = -1, rest = -1, middle = -1, right = -1;
    Split(m_root, at, &left, &rest);
    Split(rest, count, &middle, &right);
    FreeTree(middle);
    m_root = Merge(left, right);
}

uint8_t* TPieceTable::SourceAddress(uint8_t* base, int32_t source) const
{
    return source < 0 ? base : m_chunks[size_t(source)].Bytes.get();
}

const uint8_t* TPieceTable::Address(const uint8_t* base, const TPiece& piece) const
{
    return SourceAddress(const_cast<uint8_t*>(base), piece.Source) + piece.Offset;
}

const TPieceTable::TPiece& TPieceTable::Find(int64_t at) const
{
    if (at >= m_cached.Position && at < m_cached.Position + m_cached.Length)
        return m_cached;
    int32_t t = m_root;
    int64_t start = 0;
    while (t >= 0) {
        const TNode& n = m_nodes[size_t(t)];
        const int64_t leftSum = SumOf(n.Left);
        if (at < start + leftSum) {
            t = n.Left;
        } else if (at < start + leftSum + n.Length) {
            m_cached = TPiece{n.Source, n.Offset, start + leftSum, n.Length};
            return m_cached;
        } else {
            start += leftSum + n.Length;
            t = n.Right;
        }
    }
    m_cached = TPiece{-1, 0, -1, 0};
    return m_cached;
}

uint8_t TPieceTable::ByteAt(const uint8_t* base, int64_t at) const
{
    const TPiece& piece = Find(at);
    if (piece.Source < 0 && m_reader) {
        int64_t length = 0;
        return *m_reader->BaseSpan(piece.Offset + (at - piece.Position), &length);
    }
    return Address(base, piece)[at - piece.Position];
}

const uint8_t* TPieceTable::SpanAt(const uint8_t* base, int64_t at, int64_t* length) const
{
    const TPiece& piece = Find(at);
    *length = piece.Position + piece.Length - at;
    if (piece.Source < 0 && m_reader) {
        int64_t inReader = 0;
        const uint8_t* span = m_reader->BaseSpan(piece.Offset + (at - piece.Position), &inReader);
        *length = std::min(*length, inReader);
        return span;
    }
    return Address(base, piece) + (at - piece.Position);
}

void TPieceTable::CopyOut(const uint8_t* base, int32_t source, int64_t offset, uint8_t* out, int64_t count) const
{
    if (source < 0 && m_reader)
        m_reader->ReadBase(offset, out, count);
    else
        std::memmove(out, SourceAddress(const_cast<uint8_t*>(base), source) + offset, size_t(count));
}

// Calls visit(node, position of its piece) for every piece that overlaps
// [from, to), in order; start is the position of the subtree's first byte.
template <class Visit>
void TPieceTable::ForRange(int32_t t, int64_t start, int64_t from, int64_t to, Visit& visit) const
{
    if (t < 0 || from >= to)
        return;
    const TNode& n = m_nodes[size_t(t)];
    const int64_t pieceStart = start + SumOf(n.Left);
    const int64_t pieceEnd = pieceStart + n.Length;
    if (from < pieceStart)
        ForRange(n.Left, start, from, to, visit);
    if (from < pieceEnd && to > pieceStart)
        visit(n, pieceStart);
    if (to > pieceEnd)
        ForRange(n.Right, pieceEnd, from, to, visit);
}

void TPieceTable::Read(const uint8_t* base, int64_t at, uint8_t* out, int64_t count) const
{
    if (count <= 0)
        return;
    if (at >= m_cached.Position && at + count <= m_cached.Position + m_cached.Length) {
        CopyOut(base, m_cached.Source, m_cached.Offset + (at - m_cached.Position), out, count);
        return;
    }
    auto copy = [&](const TNode& n, int64_t pieceStart) {
        const int64_t first = std::max(at, pieceStart);
        const int64_t last = std::min(at + count, pieceStart + n.Length);
        CopyOut(base, n.Source, n.Offset + (first - pieceStart), out + (first - at), last - first);
    };
    ForRange(m_root, 0, at, at + count, copy);
}

void TPieceTable::Write(uint8_t* base, int64_t at, const uint8_t* in, int64_t count)
{
    if (count <= 0)
        return;
    if (m_reader) {
        WriteOverReader(in, at, count);
        return;
    }
    auto copy = [&](const TNode& n, int64_t pieceStart) {
        const int64_t first = std::max(at, pieceStart);
        const int64_t last = std::min(at + count, pieceStart + n.Length);
        uint8_t* target = SourceAddress(base, n.Source) + n.Offset + (first - pieceStart);
        std::memmove(target, in + (first - at), size_t(last - first));
    };
    ForRange(m_root, 0, at, at + count, copy);
}

std::vector<TPieceTable::TPiece> TPieceTable::Pieces() const
{
    std::vector<TPiece> pieces;
    pieces.reserve(size_t(PieceCount()));
    auto add = [&pieces](const TNode& n, int64_t pieceStart) {
        pieces.push_back(TPiece{n.Source, n.Offset, pieceStart, n.Length});
    };
    ForRange(m_root, 0, 0, Size(), add);
    return pieces;
}

// Bytes of the added store are overwritten where they are; each run of base
// bytes is taken out and the new bytes are inserted in its place (the
// positions stay, so the runs found first stay valid).
void TPieceTable::WriteOverReader(const uint8_t* in, int64_t at, int64_t count)
{
    struct TRun
    {
        int64_t First;
        int64_t Length;
        uint8_t* Target; // null: base bytes
    };
    std::vector<TRun> runs;
    auto collect = [&](const TNode& n, int64_t pieceStart) {
        const int64_t first = std::max(at, pieceStart);
        const int64_t last = std::min(at + count, pieceStart + n.Length);
        uint8_t* target =
            n.Source < 0 ? nullptr : m_chunks[size_t(n.Source)].Bytes.get() + n.Offset + (first - pieceStart);
        runs.push_back(TRun{first, last - first, target});
    };
    ForRange(m_root, 0, at, at + count, collect);
    for (const TRun& run : runs)
        if (run.Target)
            std::memmove(run.Target, in + (run.First - at), size_t(run.Length));
    for (const TRun& run : runs) {
        if (run.Target)
            continue;
        Remove(run.First, run.Length);
        Insert(run.First, in + (run.First - at), run.Length);
    }
}
