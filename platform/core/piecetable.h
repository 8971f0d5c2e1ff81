#pragma once
// A piece table: a byte sequence described as an ordered list of pieces, each
// a run of bytes in one of two stores. The base store is a block the owner
// holds (passed in on every access, so the owner may keep it where it likes);
// the added store belongs to the table and only ever grows, in chunks that
// never move. Inserting or removing k bytes anywhere costs O(k + log p) for p
// pieces; reading or overwriting k bytes costs O(k + log p) plus one step per
// piece boundary crossed.
//
// The pieces live in a treap ordered by position, each node carrying the
// byte count of its subtree. Every stored byte belongs to at most one piece,
// so bytes can be overwritten where they are.

#include <cstdint>
#include <memory>
#include <vector>

// Where the base store's bytes come from when they are not in memory (a
// file read on demand). Either call may raise; the table is unchanged then.
class TPieceBaseReader
{
public:
    virtual ~TPieceBaseReader() = default;
    // Copies count bytes of the base store at offset into out.
    virtual void ReadBase(int64_t offset, uint8_t* out, int64_t count) = 0;
    // Address of the base byte at offset and, in *length, how many bytes
    // follow it contiguously (at least 1); valid until the next call.
    virtual const uint8_t* BaseSpan(int64_t offset, int64_t* length) = 0;
};

class TPieceTable
{
public:
    // Where a piece's bytes are: Source -1 is the base block, any other value
    // a chunk of the added store.
    struct TPiece
    {
        int32_t Source = -1;
        int64_t Offset = 0;   // first byte inside the source
        int64_t Position = 0; // first byte inside the sequence
        int64_t Length = 0;
    };

    // A sequence of baseLength bytes: the start of the base block.
    explicit TPieceTable(int64_t baseLength);
    TPieceTable(const TPieceTable&) = delete;
    TPieceTable& operator=(const TPieceTable&) = delete;

    int64_t Size() const;
    int64_t PieceCount() const { return int64_t(m_nodes.size() - m_free.size()); }
    // Bytes held in the added store (also those no piece uses any more).
    int64_t AddedBytes() const { return m_addedTotal; }

    // Inserts count bytes at position at (0..Size()); zeros when bytes is
    // null. Positions are the caller's to check.
    void Insert(int64_t at, const uint8_t* bytes, int64_t count);
    // Removes count bytes at position at.
    void Remove(int64_t at, int64_t count);

    // Copies count bytes from position at into out / from in to position at.
    void Read(const uint8_t* base, int64_t at, uint8_t* out, int64_t count) const;
    void Write(uint8_t* base, int64_t at, const uint8_t* in, int64_t count);
    uint8_t ByteAt(const uint8_t* base, int64_t at) const;
    // Address of the byte at position at and, in *length, how many bytes
    // follow it in the same piece (at included).
    const uint8_t* SpanAt(const uint8_t* base, int64_t at, int64_t* length) const;

    // Every piece, in sequence order.
    std::vector<TPiece> Pieces() const;

    // Reads the base store through reader instead of the block passed in
    // (which is then ignored for it; null: back to the block). The base
    // store is read-only then: Write replaces the base bytes it covers by
    // bytes of the added store instead of overwriting them.
    void SetBaseReader(TPieceBaseReader* reader) { m_reader = reader; }
    TPieceBaseReader* BaseReader() const { return m_reader; }
    // Address of a piece's first byte.
    const uint8_t* Address(const uint8_t* base, const TPiece& piece) const;

private:
    struct TNode
    {
        int32_t Source;
        int64_t Offset;
        int64_t Length;
        int64_t Sum; // bytes in this subtree
        uint32_t Priority;
        int32_t Left = -1;
        int32_t Right = -1;
    };
    struct TChunk
    {
        std::unique_ptr<uint8_t[]> Bytes;
        int64_t Capacity = 0;
        int64_t Used = 0;
    };

    std::vector<TNode> m_nodes;
    std::vector<int32_t> m_free;
    int32_t m_root = -1;
    uint32_t m_seed = 0x9E3779B9u;
    std::vector<TChunk> m_chunks;
    int64_t m_addedTotal = 0;
    TPieceBaseReader* m_reader = nullptr;
    // The piece found last, for runs of reads at nearby positions.
    mutable TPiece m_cached{-1, 0, -1, 0};

    int64_t SumOf(int32_t t) const { return t < 0 ? 0 : m_nodes[size_t(t)].Sum; }
    void Update(int32_t t);
    int32_t NewNode(int32_t source, int64_t offset, int64_t length);
    void FreeTree(int32_t t);
    void Split(int32_t t, int64_t at, int32_t* left, int32_t* right);
    int32_t Merge(int32_t a, int32_t b);
    // Stores count bytes in the added store; returns the piece holding them.
    TPiece Store(const uint8_t* bytes, int64_t count);
    // Lengthens the last piece of tree t by count when the new bytes follow
    // it in its chunk; returns whether it did.
    bool ExtendLast(int32_t t, const TPiece& added);
    // The piece holding position at (which must exist).
    const TPiece& Find(int64_t at) const;
    uint8_t* SourceAddress(uint8_t* base, int32_t source) const;
    // Copies count bytes of the given source at offset into out.
    void CopyOut(const uint8_t* base, int32_t source, int64_t offset, uint8_t* out, int64_t count) const;
    // Write while the base store is read through m_reader.
    void WriteOverReader(const uint8_t* in, int64_t at, int64_t count);

    template <class Visit>
    void ForRange(int32_t t, int64_t start, int64_t from, int64_t to, Visit& visit) const;
};
