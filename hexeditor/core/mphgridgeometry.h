#pragma once
// The editor's grid geometry: which grid cell shows which byte, and back.
// Widget-free; built from the two settings that decide it, BytesPerRow and
// UnicodeChars, and cheap to copy.
//
// Columns: 0 the offset gutter, 1 a spacer, then two hex columns per byte
// (the byte's first and second digit), one gap column, and the character
// columns (one per byte, or one per two bytes in unicode mode).
// Rows: 0 the ruler, 1 a fixed row never shown; data row r (from row 2)
// starts at byte (r - 2) * BytesPerRow.

#include <cstdint>

// A grid cell (column, row).
struct TMPHCell
{
    int Col = 0;
    int Row = 0;
    friend bool operator==(const TMPHCell& a, const TMPHCell& b) { return a.Col == b.Col && a.Row == b.Row; }
};

class TMPHGridGeometry
{
public:
    static constexpr int GutterColumn = 0;
    static constexpr int SpacerColumn = 1;
    static constexpr int FixedColumns = 2;
    static constexpr int FirstHexColumn = 2;
    static constexpr int RulerRow = 0;
    static constexpr int FixedRows = 2;
    static constexpr int FirstDataRow = 2;
    // Largest position a cell maps to: positions are 32-bit signed.
    static constexpr int32_t MaxPosition = 0x7FFFFFFF;

    TMPHGridGeometry() = default;
    TMPHGridGeometry(int bytesPerRow, bool unicodeChars) : m_bytesPerRow(bytesPerRow), m_unicodeChars(unicodeChars) {}

    int BytesPerRow() const { return m_bytesPerRow; }
    bool UnicodeChars() const { return m_unicodeChars; }

    // ---- columns -------------------------------------------------------------
    // Two hex columns per byte.
    int HexColumnCount() const { return 2 * m_bytesPerRow; }
    int LastHexColumn() const { return FirstHexColumn + HexColumnCount() - 1; }
    int GapColumn() const { return LastHexColumn() + 1; }
    int FirstCharColumn() const { return GapColumn() + 1; }
    // One per byte, or one per two-byte character in unicode mode.
    int CharColumnCount() const { return m_unicodeChars ? m_bytesPerRow / 2 : m_bytesPerRow; }
    int ColumnCount() const { return FirstCharColumn() + CharColumnCount(); }

    bool IsHexColumn(int col) const { return col >= FirstHexColumn && col <= LastHexColumn(); }
    bool IsGapColumn(int col) const { return col == GapColumn(); }
    // Everything right of the gap is the character field.
    bool IsCharColumn(int col) const { return col > GapColumn(); }
    // A column of the hex or the character field (not fixed, not the gap).
    bool IsDataColumn(int col) const { return col >= FirstHexColumn && col != GapColumn(); }
    // The hex column of a byte's second digit.
    bool IsSecondDigit(int col) const { return IsHexColumn(col) && (col - FirstHexColumn) % 2 == 1; }
    // The hex column of a byte's first digit.
    bool IsFirstDigit(int col) const { return IsHexColumn(col) && (col - FirstHexColumn) % 2 == 0; }

    // ---- rows ------------------------------------------------------------------
    bool IsDataRow(int row) const { return row >= FirstDataRow; }
    int RowOf(int32_t position) const { return position / m_bytesPerRow + FirstDataRow; }
    // The first byte of a data row (negative above the first data row).
    int64_t RowStart(int row) const { return int64_t(row - FirstDataRow) * m_bytesPerRow; }
    // Fixed rows plus the data rows for size bytes: an empty document has one
    // data row, and insert mode adds the append row when size fills its last row.
    int RowCountFor(int32_t size, bool insertMode) const;

    // ---- mapping -------------------------------------------------------------------
    // The byte a cell shows, not limited to the data: 0 for anything before
    // the first byte; the gap column maps to the first byte of the next row.
    int32_t PositionAt(int col, int row) const;
    // The cell of position in the chosen field: the byte's first hex digit,
    // or its character cell. A negative position gives the first cell.
    TMPHCell CellOf(int32_t position, bool charField) const;
    // The column of the same byte in the other field (the gap counts as hex).
    int OtherFieldColumn(int col) const;

private:
    int m_bytesPerRow = 16;
    bool m_unicodeChars = false;
};
