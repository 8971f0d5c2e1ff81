#include "hexeditor/core/mphstrings.h"

#include "hexeditor/core/mphexception.h"

#include <algorithm>

namespace {

bool Printable(uint8_t b)
{
    return (b >= 0x20 && b <= 0x7E) || b == '\t';
}

} // namespace

TMPHStringScanner::TMPHStringScanner(int64_t size, int minLength, bool ascii, bool utf16)
    : m_size(std::max<int64_t>(size, 0)), m_minLength(minLength), m_ascii(ascii), m_utf16(utf16)
{
    if (minLength < 1)
        throw EMPHexEditor(QStringLiteral("The minimum string length must be at least 1"));
    if (!ascii && !utf16)
        throw EMPHexEditor(QStringLiteral("No string encoding chosen"));
}

void TMPHStringScanner::Extend(TOpenRun& run, int64_t start, char c)
{
    if (run.Start < 0) {
        run.Start = start;
        run.Length = 0;
        run.Text.clear();
    }
    ++run.Length;
    if (run.Text.size() < MaxTextLength)
        run.Text.append(QLatin1Char(c));
}

void TMPHStringScanner::Close(TOpenRun& run, TMPHStringEncoding encoding, std::vector<TMPHStringRun>& out)
{
    if (run.Start >= 0 && run.Length >= m_minLength) {
        const int64_t bytes = encoding == TMPHStringEncoding::Utf16Le ? run.Length * 2 : run.Length;
        out.push_back(TMPHStringRun{run.Start, bytes, encoding, run.Text});
    }
    run.Start = -1;
    run.Length = 0;
    run.Text.clear();
}

// slice holds the bytes from m_position on.
void TMPHStringScanner::ScanAscii(const uint8_t* slice, int64_t end, std::vector<TMPHStringRun>& out)
{
    for (int64_t i = m_position; i < end; ++i) {
        const uint8_t b = slice[i - m_position];
        if (Printable(b))
            Extend(m_asciiRun, i, char(b));
        else if (m_asciiRun.Start >= 0)
            Close(m_asciiRun, TMPHStringEncoding::Ascii, out);
    }
}

// A character at i needs the byte i + 1 as well; bytes up to end are scanned
// as first bytes, the pair may reach one byte past end (within the data).
void TMPHStringScanner::ScanUtf16(const uint8_t* slice, int64_t end, std::vector<TMPHStringRun>& out)
{
    for (int64_t i = m_position; i < end; ++i) {
        TOpenRun& run = m_wideRuns[i & 1];
        const uint8_t* p = slice + (i - m_position);
        if (i + 1 < m_size && p[1] == 0 && Printable(p[0]))
            Extend(run, i, char(p[0]));
        else if (run.Start >= 0)
            Close(run, TMPHStringEncoding::Utf16Le, out);
    }
}

bool TMPHStringScanner::Step(const uint8_t* data, int64_t maxBytes, std::vector<TMPHStringRun>& out)
{
    return StepSlice(data ? data + m_position : nullptr, maxBytes, out);
}

int64_t TMPHStringScanner::SliceNeed(int64_t maxBytes) const
{
    return std::min(m_size - m_position, std::max<int64_t>(maxBytes, 1) + 1);
}

bool TMPHStringScanner::StepSlice(const uint8_t* slice, int64_t maxBytes, std::vector<TMPHStringRun>& out)
{
    const int64_t end = std::min(m_size, m_position + std::max<int64_t>(maxBytes, 1));
    if (m_ascii)
        ScanAscii(slice, end, out);
    if (m_utf16)
        ScanUtf16(slice, end, out);
    m_position = end;
    if (m_position >= m_size && !m_flushed) {
        // Runs that reach the end of the data end there.
        Close(m_asciiRun, TMPHStringEncoding::Ascii, out);
        Close(m_wideRuns[0], TMPHStringEncoding::Utf16Le, out);
        Close(m_wideRuns[1], TMPHStringEncoding::Utf16Le, out);
        m_flushed = true;
    }
    return Done();
}

int TMPHStringScanner::Percent() const
{
    return m_size > 0 ? int(m_position * 100 / m_size) : 100;
}

std::vector<TMPHStringRun> FindStrings(const uint8_t* data, int64_t size, int minLength, bool ascii, bool utf16)
{
    TMPHStringScanner scanner(size, minLength, ascii, utf16);
    std::vector<TMPHStringRun> runs;
    scanner.Step(data, size, runs);
    std::stable_sort(runs.begin(), runs.end(), [](const TMPHStringRun& a, const TMPHStringRun& b) {
        return a.Offset != b.Offset ? a.Offset < b.Offset : a.Encoding < b.Encoding;
    });
    return runs;
}
