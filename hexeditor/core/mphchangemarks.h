#pragma once
// The editor's change marks: a list of one bit per position, of a given
// length, that holds only the ranges of set bits. A mark far into a large
// document costs a few bytes, not one bit for every position before it.
//
// The interface is that of a bit array (size, resize, testBit, setBit, count),
// so the marks read like one: bits past the length do not exist, growing the
// list adds clear bits, shrinking it drops the bits beyond the new length.

#include <QBitArray>
#include <QtGlobal>

#include <cstdint>
#include <map>

class TMPHChangeMarks
{
public:
    TMPHChangeMarks() = default;

    // The list's length (the positions it holds a bit for).
    qsizetype size() const { return m_size; }
    qsizetype count() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    // Number of set (on) or clear (!on) bits.
    qsizetype count(bool on) const;

    // A new length; added bits are clear, bits past it are dropped.
    void resize(qsizetype size);
    void truncate(qsizetype pos);
    // Length 0.
    void clear();
    // Every bit to value; with size >= 0 the length changes first.
    void fill(bool value, qsizetype size = -1);

    // Bit i; i must lie inside the list (as for a bit array).
    bool testBit(qsizetype i) const;
    bool at(qsizetype i) const { return testBit(i); }
    bool operator[](qsizetype i) const { return testBit(i); }
    void setBit(qsizetype i) { setBit(i, true); }
    void setBit(qsizetype i, bool value);
    void clearBit(qsizetype i) { setBit(i, false); }
    bool toggleBit(qsizetype i);

    // Number of ranges of set bits (what the list costs).
    qsizetype rangeCount() const { return qsizetype(m_ranges.size()); }

    bool operator==(const TMPHChangeMarks& other) const
    {
        return m_size == other.m_size && m_ranges == other.m_ranges;
    }

    // The marks as a plain bit array (one bit per position, so it costs what
    // the length does): for callers written against the bit list the marks
    // used to be. Comparing with a bit array compares every bit and the length.
    QBitArray ToBitArray() const;
    operator QBitArray() const { return ToBitArray(); }
    friend bool operator==(const TMPHChangeMarks& marks, const QBitArray& bits) { return marks.Equals(bits); }
    friend bool operator==(const QBitArray& bits, const TMPHChangeMarks& marks) { return marks.Equals(bits); }
    friend bool operator!=(const TMPHChangeMarks& marks, const QBitArray& bits) { return !marks.Equals(bits); }
    friend bool operator!=(const QBitArray& bits, const TMPHChangeMarks& marks) { return !marks.Equals(bits); }

private:
    bool Equals(const QBitArray& bits) const;

    // Set bits: start -> end (exclusive); ranges neither overlap nor touch.
    std::map<qsizetype, qsizetype> m_ranges;
    qsizetype m_size = 0;

    // The range holding i, or end().
    std::map<qsizetype, qsizetype>::const_iterator rangeOf(qsizetype i) const;
    void setRange(qsizetype first, qsizetype last);
    void clearRange(qsizetype first, qsizetype last);
};
