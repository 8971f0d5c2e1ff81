#pragma once
// Regular expressions over the bytes of a document, for Find and Replace.
//
// The engine is PCRE2's 8-bit library without UTF: every byte is one
// character with the code 0..255, so a match's offsets are byte offsets as
// they stand and the document is searched where it lies (no copy, no text
// conversion). The pattern text is read as Latin-1: a character U+0000 to
// U+00FF stands for the byte of the same value; any byte can be written
// \xHH. "." matches any byte (line ends included); a match is never empty.

#include "hexeditor/core/mphsearch.h"

#include <QString>
#include <memory>

namespace hexview {

class TByteRegex : public TMPHMatcher
{
public:
    // Raises EMPHexEditor with the position and the reason for a pattern
    // that is empty, not Latin-1 or no valid expression.
    TByteRegex(const QString& pattern, bool ignoreCase);
    ~TByteRegex() override;
    TByteRegex(const TByteRegex&) = delete;
    TByteRegex& operator=(const TByteRegex&) = delete;

    int64_t MinLength() const override;
    int64_t FindForward(const uint8_t* data, int64_t size, int64_t from, int64_t to, int64_t* length) const override;
    // Walks the matches of [from, to) forward and keeps the last.
    int64_t FindBackward(const uint8_t* data, int64_t size, int64_t from, int64_t to, int64_t* length) const override;
    bool ChunkedBackward() const override { return false; }
    bool NeedsContext() const override { return true; }

private:
    struct TCompiled;
    std::unique_ptr<TCompiled> m_compiled;
    // The last answer: the first match at or after From in this data. A
    // search from a later position up to that match has the same answer,
    // so a chunked search does not scan the same bytes again per chunk.
    struct TCache
    {
        const uint8_t* Data = nullptr;
        int64_t Size = -1;
        int64_t From = -1;
        int64_t Hit = -1;
        int64_t Length = 0;
    };
    mutable TCache m_cache;
};

// A replacement written as regular expressions are: Latin-1 characters for
// the bytes of the same value, \xHH for any byte, \\ for a backslash.
// Raises EMPHexEditor for another character after a backslash, a bad \xHH
// and a character above U+00FF.
QByteArray EscapedBytes(const QString& text);

} // namespace hexview
