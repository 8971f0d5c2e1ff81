#include "hexeditor/core/mphchangemarks.h"

#include <algorithm>
#include <iterator>

qsizetype TMPHChangeMarks::count(bool on) const
{
    qsizetype set = 0;
    for (const auto& [start, end] : m_ranges)
        set += end - start;
    return on ? set : m_size - set;
}

void TMPHChangeMarks::resize(qsizetype size)
{
    if (size < 0)
        size = 0;
    if (size < m_size)
        clearRange(size, m_size);
    m_size = size;
}

void TMPHChangeMarks::truncate(qsizetype pos)
{
    if (pos < m_size)
        resize(pos);
}

void TMPHChangeMarks::clear()
{
    m_ranges.clear();
    m_size = 0;
}

void TMPHChangeMarks::fill(bool value, qsizetype size)
{
    if (size >= 0)
        resize(size);
    m_ranges.clear();
    if (value && m_size > 0)
        m_ranges.emplace(0, m_size);
}

std::map<qsizetype, qsizetype>::const_iterator TMPHChangeMarks::rangeOf(qsizetype i) const
{
    auto it = m_ranges.upper_bound(i);
    if (it == m_ranges.begin())
        return m_ranges.end();
    --it;
    return i < it->second ? it : m_ranges.end();
}

bool TMPHChangeMarks::testBit(qsizetype i) const
{
    return i >= 0 && i < m_size && rangeOf(i) != m_ranges.end();
}

// Bits outside the list are left alone, where a bit array would fail.
void TMPHChangeMarks::setBit(qsizetype i, bool value)
{
    if (i < 0 || i >= m_size)
        return;
    if (value)
        setRange(i, i + 1);
    else
        clearRange(i, i + 1);
}

bool TMPHChangeMarks::toggleBit(qsizetype i)
{
    const bool old = testBit(i);
    setBit(i, !old);
    return old;
}

// Sets [first, last), joining the ranges it overlaps or touches.
void TMPHChangeMarks::setRange(qsizetype first, qsizetype last)
{
    auto it = m_ranges.upper_bound(first);
    if (it != m_ranges.begin() && std::prev(it)->second >= first)
        --it;
    while (it != m_ranges.end() && it->first <= last) {
        first = std::min(first, it->first);
        last = std::max(last, it->second);
        it = m_ranges.erase(it);
    }
    m_ranges.emplace_hint(it, first, last);
}

// Clears [first, last), cutting the ranges that reach into it.
void TMPHChangeMarks::clearRange(qsizetype first, qsizetype last)
{
    auto it = m_ranges.upper_bound(first);
    if (it != m_ranges.begin() && std::prev(it)->second > first)
        --it;
    while (it != m_ranges.end() && it->first < last) {
        const qsizetype start = it->first;
        const qsizetype end = it->second;
        it = m_ranges.erase(it);
        if (start < first)
            m_ranges.emplace(start, first);
        if (end > last)
            it = m_ranges.emplace(last, end).first;
    }
}

QBitArray TMPHChangeMarks::ToBitArray() const
{
    QBitArray bits(m_size);
    for (const auto& [first, end] : m_ranges)
        bits.fill(true, first, end);
    return bits;
}

bool TMPHChangeMarks::Equals(const QBitArray& bits) const
{
    if (bits.size() != m_size || bits.count(true) != count(true))
        return false;
    for (const auto& [first, end] : m_ranges) {
        for (qsizetype i = first; i < end; ++i) {
            if (!bits.testBit(i))
                return false;
        }
    }
    return true;
}
