#include "hexeditor/core/mphsearch.h"

#include "hexeditor/core/mphexception.h"
#include "platform/core/codepages.h"

#include <QChar>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string.h>

namespace {

const char* const EmptyPatternText = "Enter the bytes or the text to find";
const char* const InvalidHexText = "Invalid hex byte string \"%1\": write two hex digits per byte, e.g. E3 00 00 10";
const char* const UnsearchableCharText = "The character \"%1\" cannot be searched for in the current translation";

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The 8-bit characters that stand for the same letter as ch in either case.
std::vector<uint8_t> CaseVariants(uint8_t ch)
{
    std::vector<uint8_t> result{ch};
    const QChar u(AnsiToUnicode(ch));
    for (const QChar other : {u.toLower(), u.toUpper()}) {
        uint8_t ansi = 0;
        if (other != u && TryUnicodeToAnsi(other.unicode(), ansi)
            && std::find(result.begin(), result.end(), ansi) == result.end())
            result.push_back(ansi);
    }
    return result;
}

std::vector<char16_t> CaseVariants(char16_t unit)
{
    std::vector<char16_t> result{unit};
    const QChar u(unit);
    for (const QChar other : {u.toLower(), u.toUpper()})
        if (other != u && std::find(result.begin(), result.end(), other.unicode()) == result.end())
            result.push_back(other.unicode());
    return result;
}

[[noreturn]] void RaiseUnsearchable(QChar c)
{
    throw EMPHexEditor(MPHStrings::Text(UnsearchableCharText).arg(c));
}

} // namespace

TMPHSearchPattern TMPHSearchPattern::FromBytes(const QByteArray& bytes)
{
    TMPHSearchPattern p;
    for (const char b : bytes) {
        TMPHCharSet set;
        set.set(uint8_t(b));
        p.m_sets.push_back(set);
        p.m_alternatives.push_back({uint8_t(b)});
    }
    p.Finish();
    return p;
}

TMPHSearchPattern TMPHSearchPattern::FromHexText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        throw EMPHexEditor(MPHStrings::Text(EmptyPatternText));
    QByteArray bytes;
    for (const QString& group : trimmed.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        if (group.size() % 2 != 0)
            throw EMPHexEditor(MPHStrings::Text(InvalidHexText).arg(trimmed));
        for (qsizetype i = 0; i < group.size(); i += 2) {
            const int high = HexDigitValue(group[i]);
            const int low = HexDigitValue(group[i + 1]);
            if (high < 0 || low < 0)
                throw EMPHexEditor(MPHStrings::Text(InvalidHexText).arg(trimmed));
            bytes.append(char(high << 4 | low));
        }
    }
    return FromBytes(bytes);
}

TMPHSearchPattern TMPHSearchPattern::FromText(const QString& text, const TextEncoding& encoding,
                                              bool caseInsensitive)
{
    if (text.isEmpty())
        throw EMPHexEditor(MPHStrings::Text(EmptyPatternText));
    TMPHSearchPattern p;
    auto addSet = [&p](const std::vector<uint8_t>& values) {
        TMPHCharSet set;
        std::vector<uint8_t> alternatives;
        for (const uint8_t v : values)
            if (!set.test(v)) {
                set.set(v);
                alternatives.push_back(v);
            }
        p.m_sets.push_back(set);
        p.m_alternatives.push_back(alternatives);
    };

    for (const QChar c : text) {
        if (encoding.UnicodeChars) {
            // Masked code units are shown as the mask character and cannot be typed.
            if (c.unicode() < 256 && encoding.Masked.test(c.unicode()))
                RaiseUnsearchable(c);
            const std::vector<char16_t> units =
                caseInsensitive ? CaseVariants(c.unicode()) : std::vector<char16_t>{c.unicode()};
            std::vector<uint8_t> first, second;
            for (const char16_t unit : units) {
                const auto bytes = UnicodeInputBytes(unit, encoding.UnicodeBigEndian);
                first.push_back(bytes[0]);
                second.push_back(bytes[1]);
            }
            addSet(first);
            addSet(second);
            continue;
        }
        uint8_t ansi = 0;
        if (!TryUnicodeToAnsi(c.unicode(), ansi) || encoding.Masked.test(ansi))
            RaiseUnsearchable(c);
        const std::vector<uint8_t> chars = caseInsensitive ? CaseVariants(ansi) : std::vector<uint8_t>{ansi};
        std::vector<uint8_t> values;
        for (const uint8_t ch : chars) {
            const uint8_t b = TranslateFromInput(encoding.Translation, ch, encoding.Masked);
            if (b != 0 && !encoding.Masked.test(b))
                values.push_back(b);
            else if (ch == ansi)
                RaiseUnsearchable(c);
        }
        addSet(values);
    }
    p.Finish();
    return p;
}

void TMPHSearchPattern::Finish()
{
    m_bytes.clear();
    m_exact = true;
    m_anchor = 0;
    for (size_t i = 0; i < m_alternatives.size(); ++i) {
        m_bytes.append(char(m_alternatives[i].front()));
        if (m_alternatives[i].size() > 1)
            m_exact = false;
        if (m_alternatives[i].size() < m_alternatives[size_t(m_anchor)].size())
            m_anchor = int64_t(i);
    }
}

bool TMPHSearchPattern::MatchesAt(const uint8_t* p) const
{
    if (m_exact)
        return std::memcmp(p, m_bytes.constData(), m_sets.size()) == 0;
    for (size_t i = 0; i < m_sets.size(); ++i)
        if (!m_sets[i].test(p[i]))
            return false;
    return true;
}

int64_t TMPHSearchPattern::FindForward(const uint8_t* data, int64_t size, int64_t from, int64_t to) const
{
    const int64_t len = Length();
    from = std::max<int64_t>(from, 0);
    to = std::min(to, size - len + 1); // last start that fits, exclusive
    if (len == 0 || from >= to)
        return -1;
    if (m_exact) {
        // The haystack ends with the last byte a match starting before to can use.
        const void* hit = memmem(data + from, size_t(to - 1 + len - from), m_bytes.constData(), size_t(len));
        return hit ? static_cast<const uint8_t*>(hit) - data : -1;
    }
    // One memchr cursor per value of the anchor byte; the lowest goes first.
    const std::vector<uint8_t>& values = m_alternatives[size_t(m_anchor)];
    const uint8_t* const end = data + to + m_anchor;
    std::vector<const uint8_t*> next(values.size());
    auto seek = [&](size_t k, const uint8_t* p) {
        next[k] = p < end ? static_cast<const uint8_t*>(std::memchr(p, values[k], size_t(end - p))) : nullptr;
    };
    for (size_t k = 0; k < values.size(); ++k)
        seek(k, data + from + m_anchor);
    for (;;) {
        size_t best = values.size();
        for (size_t k = 0; k < values.size(); ++k)
            if (next[k] && (best == values.size() || next[k] < next[best]))
                best = k;
        if (best == values.size())
            return -1;
        const uint8_t* start = next[best] - m_anchor;
        if (MatchesAt(start))
            return start - data;
        seek(best, next[best] + 1);
    }
}

int64_t TMPHSearchPattern::FindBackward(const uint8_t* data, int64_t size, int64_t from, int64_t to) const
{
    const int64_t len = Length();
    from = std::max<int64_t>(from, 0);
    to = std::min(to, size - len + 1);
    if (len == 0 || from >= to)
        return -1;
    // One memrchr cursor per value of the anchor byte; the highest goes first.
    const std::vector<uint8_t>& values = m_alternatives[size_t(m_anchor)];
    const uint8_t* const begin = data + from + m_anchor;
    std::vector<const uint8_t*> prev(values.size());
    auto seek = [&](size_t k, const uint8_t* end) {
        prev[k] = end > begin ? static_cast<const uint8_t*>(memrchr(begin, values[k], size_t(end - begin))) : nullptr;
    };
    for (size_t k = 0; k < values.size(); ++k)
        seek(k, data + to + m_anchor);
    for (;;) {
        size_t best = values.size();
        for (size_t k = 0; k < values.size(); ++k)
            if (prev[k] && (best == values.size() || prev[k] > prev[best]))
                best = k;
        if (best == values.size())
            return -1;
        const uint8_t* start = prev[best] - m_anchor;
        if (MatchesAt(start))
            return start - data;
        seek(best, prev[best]);
    }
}

int64_t TMPHSearchPattern::FindForward(const uint8_t* data, int64_t size, int64_t from, int64_t to,
                                       int64_t* length) const
{
    *length = Length();
    return FindForward(data, size, from, to);
}

int64_t TMPHSearchPattern::FindBackward(const uint8_t* data, int64_t size, int64_t from, int64_t to,
                                        int64_t* length) const
{
    *length = Length();
    return FindBackward(data, size, from, to);
}

namespace {

// One stretch of candidate starts [from, to), scanned in the given direction.
struct TSearchLeg
{
    int64_t from = 0;
    int64_t to = 0;
    int64_t Length() const { return std::max<int64_t>(0, to - from); }
};

// The legs of a search over size positions from start: forward [start,
// size) then [0, start); backward [0, start] downwards, then (start, size).
std::vector<TSearchLeg> SearchLegs(int64_t size, int64_t start, bool forward, bool wrap)
{
    std::vector<TSearchLeg> legs;
    if (forward) {
        legs.push_back({std::max<int64_t>(start, 0), size});
        if (wrap)
            legs.push_back({0, std::max<int64_t>(start, 0)});
    } else {
        legs.push_back({0, start + 1});
        if (wrap)
            legs.push_back({start + 1, size});
    }
    return legs;
}

// Calls the progress function as the data copy reports.
class TSearchProgress
{
public:
    TSearchProgress(const TMPHFindProgressFunc& progress, int64_t total) : m_progress(progress), m_total(total) {}
    void Before(int64_t step)
    {
        if (!m_progress)
            return;
        const int64_t remaining = m_total - m_done;
        const int percent = static_cast<int>(std::nearbyint(double(m_done) * 100.0 / double(m_total)));
        if (percent == m_lastReported && remaining > step)
            return;
        m_lastReported = remaining <= step ? 100 : percent;
        if (m_progress(m_lastReported))
            throw EMPHexEditor(MPHStrings::Text(MPHStrings::OperationCancelled));
    }
    void After(int64_t step) { m_done += step; }

private:
    const TMPHFindProgressFunc& m_progress;
    int64_t m_total;
    int64_t m_done = 0;
    int m_lastReported = 255;
};

// The searched range as the matcher sees it: the caller's block, or windows
// of it pulled through Read into one reused buffer. Positions are relative
// to the range's first byte.
class TSearchSource
{
public:
    TSearchSource(const TMPHMatcher& matcher, const TMPHFindParams& params, int64_t first, int64_t size)
        : m_matcher(matcher), m_read(params.Read), m_first(first), m_size(size)
    {
        if (params.Data)
            m_data = params.Data + first;
    }
    bool Valid() const { return m_data || m_read; }

    // The lowest (forward) or highest match start in [from, to), or -1.
    TMPHMatch Find(bool forward, int64_t from, int64_t to)
    {
        TMPHMatch match;
        const uint8_t* data = m_data;
        int64_t base = 0;
        int64_t size = m_size;
        if (!data) {
            Pull(from, to);
            data = m_buffer.data();
            base = m_base;
            size = int64_t(m_buffer.size());
        }
        match.Position = forward ? m_matcher.FindForward(data, size, from - base, to - base, &match.Length)
                                 : m_matcher.FindBackward(data, size, from - base, to - base, &match.Length);
        if (match.Found())
            match.Position += base;
        return match;
    }

private:
    // Fills the buffer with the bytes every match starting in [from, to)
    // may take: up to MaxLength() - 1 past to, or all for an unbounded one.
    void Pull(int64_t from, int64_t to)
    {
        const int64_t longest = m_matcher.MaxLength();
        const int64_t begin = longest < 0 ? 0 : from;
        const int64_t end = longest < 0 ? m_size : std::min(m_size, to + longest - 1);
        if (m_pulled && begin >= m_base && end <= m_base + int64_t(m_buffer.size()))
            return;
        m_pulled = false;
        m_buffer.resize(size_t(std::max<int64_t>(end - begin, 0)));
        if (end > begin)
            m_read(m_first + begin, end - begin, m_buffer.data());
        m_base = begin;
        m_pulled = true;
    }

    const TMPHMatcher& m_matcher;
    const TMPHReadFunc& m_read;
    const uint8_t* m_data = nullptr;
    int64_t m_first;
    int64_t m_size;
    std::vector<uint8_t> m_buffer;
    int64_t m_base = 0;
    bool m_pulled = false;
};

TMPHMatch SearchLeg(const TMPHMatcher& matcher, TSearchSource& source, const TSearchLeg& leg, bool forward,
                    int64_t chunkSize, TSearchProgress& progress)
{
    if (!forward && !matcher.ChunkedBackward())
        chunkSize = std::max<int64_t>(leg.Length(), 1);
    for (int64_t scanned = 0; scanned < leg.Length();) {
        const int64_t step = std::min(chunkSize, leg.Length() - scanned);
        progress.Before(step);
        const TMPHMatch match = forward ? source.Find(true, leg.from + scanned, leg.from + scanned + step)
                                        : source.Find(false, leg.to - scanned - step, leg.to - scanned);
        if (match.Found())
            return match;
        scanned += step;
        progress.After(step);
    }
    return {};
}

} // namespace

TMPHMatch FindMatch(const TMPHMatcher& matcher, const TMPHFindParams& params)
{
    const int64_t first = std::clamp<int64_t>(params.RangeFirst, 0, std::max<int64_t>(params.Size, 0));
    const int64_t end = params.RangeEnd < 0 ? params.Size : std::clamp(params.RangeEnd, first, params.Size);
    const int64_t size = end - first;
    TSearchSource source(matcher, params, first, size);
    if (!source.Valid() || matcher.MinLength() <= 0 || size <= 0 || matcher.MinLength() > size)
        return {};
    const int64_t start = std::clamp<int64_t>(params.Start - first, -1, size);

    const std::vector<TSearchLeg> legs = SearchLegs(size, start, params.Forward, params.Wrap);
    int64_t total = 0;
    for (const TSearchLeg& leg : legs)
        total += leg.Length();
    TSearchProgress progress(params.Progress, total);
    for (const TSearchLeg& leg : legs) {
        TMPHMatch match = SearchLeg(matcher, source, leg, params.Forward, std::max<int64_t>(params.ChunkSize, 1),
                                    progress);
        if (match.Found()) {
            match.Position += first;
            return match;
        }
    }
    return {};
}

int64_t FindInData(const TMPHMatcher& matcher, const TMPHFindParams& params)
{
    return FindMatch(matcher, params).Position;
}

int64_t ForEachMatch(const TMPHMatcher& matcher, const TMPHFindParams& params, const TMPHMatchVisitor& visit)
{
    const int64_t first = std::clamp<int64_t>(params.RangeFirst, 0, std::max<int64_t>(params.Size, 0));
    const int64_t end = params.RangeEnd < 0 ? params.Size : std::clamp(params.RangeEnd, first, params.Size);
    const int64_t size = end - first;
    const int64_t minLength = matcher.MinLength();
    TSearchSource source(matcher, params, first, size);
    if (!source.Valid() || minLength <= 0 || size < minLength)
        return 0;
    const int64_t chunk = std::max<int64_t>(params.ChunkSize, 1);
    const int64_t lastStart = size - minLength + 1; // exclusive
    int lastReported = -1;
    int64_t count = 0;
    for (int64_t from = 0; from < lastStart;) {
        if (params.Progress) {
            const int percent = static_cast<int>(double(from) * 100.0 / double(lastStart));
            if (percent != lastReported) {
                lastReported = percent;
                if (params.Progress(percent))
                    throw EMPHexEditor(MPHStrings::Text(MPHStrings::OperationCancelled));
            }
        }
        // Chunks on a fixed grid: the matches of one chunk share its window.
        const int64_t to = std::min(lastStart, (from / chunk + 1) * chunk);
        const TMPHMatch match = source.Find(true, from, to);
        const int64_t hit = match.Position;
        const int64_t length = match.Length;
        if (hit < 0) {
            from = to;
            continue;
        }
        ++count;
        if (!visit(first + hit, length))
            break;
        from = hit + std::max<int64_t>(length, 1);
    }
    return count;
}
