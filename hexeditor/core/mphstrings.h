#pragma once
// Text found in binary data: runs of at least a minimum number of printable
// characters, as 8-bit ASCII and as UTF-16 little-endian (a printable ASCII
// character followed by a zero byte, at even and at odd offsets alike).
// Printable means 0x20-0x7E and the tab. The scan goes a slice at a time and
// keeps its place, so a run may cross slices.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

enum class TMPHStringEncoding { Ascii, Utf16Le };

struct TMPHStringRun
{
    int64_t Offset = 0;     // first byte
    int64_t ByteLength = 0; // bytes covered (two per UTF-16 character)
    TMPHStringEncoding Encoding = TMPHStringEncoding::Ascii;
    QString Text;           // the characters, cut after MaxTextLength
    bool operator==(const TMPHStringRun&) const = default;
};

class TMPHStringScanner
{
public:
    static constexpr int DefaultMinLength = 4;
    // Characters kept of a run's text (its ByteLength still tells it all).
    static constexpr int MaxTextLength = 1024;

    // Raises EMPHexEditor for a minimum length below 1 or when neither
    // encoding is asked for.
    TMPHStringScanner(int64_t size, int minLength = DefaultMinLength, bool ascii = true, bool utf16 = true);

    // Scans at least maxBytes more of data (the whole span, size bytes) and
    // appends the runs that ended there to out; a run still open at the end
    // of the data is appended by the call that reaches it. True once done.
    // Runs of both encodings come in the order in which they end.
    bool Step(const uint8_t* data, int64_t maxBytes, std::vector<TMPHStringRun>& out);
    // The same for data read a slice at a time: slice holds the
    // SliceNeed(maxBytes) bytes from Position() on (the scanned ones and the
    // byte after them, which a UTF-16 character may take).
    int64_t SliceNeed(int64_t maxBytes) const;
    bool StepSlice(const uint8_t* slice, int64_t maxBytes, std::vector<TMPHStringRun>& out);
    bool Done() const { return m_position >= m_size && m_flushed; }
    int64_t Position() const { return m_position; }
    int64_t Size() const { return m_size; }
    int Percent() const;

private:
    struct TOpenRun
    {
        int64_t Start = -1; // -1: none open
        int64_t Length = 0; // characters
        QString Text;
    };
    void Extend(TOpenRun& run, int64_t start, char c);
    void Close(TOpenRun& run, TMPHStringEncoding encoding, std::vector<TMPHStringRun>& out);
    void ScanAscii(const uint8_t* slice, int64_t end, std::vector<TMPHStringRun>& out);
    void ScanUtf16(const uint8_t* slice, int64_t end, std::vector<TMPHStringRun>& out);

    int64_t m_size;
    int m_minLength;
    bool m_ascii;
    bool m_utf16;
    int64_t m_position = 0;
    bool m_flushed = false;
    TOpenRun m_asciiRun;
    TOpenRun m_wideRuns[2]; // by the parity of their first byte
};

// Every run of data, sorted by offset (ASCII before UTF-16 at one offset).
std::vector<TMPHStringRun> FindStrings(const uint8_t* data, int64_t size, int minLength = 4, bool ascii = true,
                                       bool utf16 = true);
