#pragma once
// The editor's ten numbered bookmarks: a data position (-1 = not set) and the
// field (hex or character) the caret was in when the bookmark was set.

#include <array>
#include <cstddef>
#include <cstdint>

struct TMPHBookmark
{
    int32_t mPosition = -1;
    bool mInCharField = false;

    bool operator==(const TMPHBookmark&) const = default;
};

class TMPHBookmarks
{
public:
    static constexpr int Count = 10;
    // Icons per field in the bookmark bitmap: icon k for the hex field, 10 + k
    // for the character field.
    static constexpr int IconCount = 2 * Count;

    using Table = std::array<TMPHBookmark, Count>;

    static bool IsValidIndex(int index) { return index >= 0 && index < Count; }

    // The bookmark at index; index must be valid.
    const TMPHBookmark& At(int index) const { return m_table[size_t(index)]; }
    const Table& All() const { return m_table; }
    void SetAll(const Table& table) { m_table = table; }

    // Sets or toggles bookmark index: a bookmark that already has exactly this
    // position and field is cleared (position -1); otherwise it takes position.
    // The field flag is taken over in both cases. Raises EMPHexEditor
    // "Invalid bookmark index" for an index outside 0..9 and changes nothing.
    void Set(int index, int32_t position, bool inCharField);

    // Whether bookmark index can be jumped to: set, and before dataSize (or at
    // dataSize in insert mode, the append position). An invalid index or an
    // unset bookmark is not; a stale one (IsStale) is not either.
    bool CanGoTo(int index, int64_t dataSize, bool insertMode) const;
    // A set bookmark that points past the data (it is cleared when jumped to).
    bool IsStale(int index, int64_t dataSize, bool insertMode) const;

    // Moves every bookmark at or after from by delta; a result above dataSize
    // or below 0 clears the bookmark. Nothing happens for a negative from.
    // Returns whether any bookmark was touched.
    bool Shift(int32_t from, int32_t delta, int64_t dataSize);

    // Index of the icon of bookmark index in the bookmark bitmap.
    int IconIndex(int index) const { return index + (At(index).mInCharField ? Count : 0); }
    // Whether bookmark index lies on grid row row (data rows start at row 2).
    bool IsOnRow(int index, int row, int bytesPerRow) const;

private:
    Table m_table{};
};
