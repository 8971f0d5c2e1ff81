// Finding bytes and text in the editor's data.

#include "hexeditor/mphexeditor.h"

#include <algorithm>
#include <cstring>
#include <vector>

TMPHSearchPattern::TextEncoding TCustomMPHexEditor::SearchTextEncoding() const
{
    TMPHSearchPattern::TextEncoding encoding;
    encoding.Translation = m_translation;
    encoding.UnicodeChars = m_unicodeChars;
    encoding.UnicodeBigEndian = m_unicodeBigEndian;
    encoding.Masked = m_maskedChars;
    return encoding;
}

int32_t TCustomMPHexEditor::Find(const TMPHSearchPattern& pattern, int32_t start, bool forward, bool wrap)
{
    const int32_t size = DataSize();
    if (size == 0 || pattern.IsEmpty())
        return -1;
    TMPHFindProgressFunc progress;
    const QString name = m_document.FileName;
    if (m_findProgress && OnProgress) {
        progress = [this, &name](int percent) {
            bool cancel = false;
            OnProgress(this, pkFind, name, static_cast<uint8_t>(percent), cancel);
            return cancel;
        };
    }
    PushBusyCursor();
    try {
        TMPHFindParams params;
        // Data in one block is searched in place; data in pieces (an
        // on-demand document) is pulled in chunks rather than gathered.
        TMPHMemoryStream& data = *m_document.Data;
        if (data.IsContiguous())
            params.Data = data.Memory();
        else
            params.Read = [&data](int64_t index, int64_t count, uint8_t* out) { data.ReadBufferAt(out, index, count); };
        params.Size = size;
        params.Start = start;
        params.Forward = forward;
        params.Wrap = wrap;
        params.Progress = progress;
        const int64_t hit = FindInData(pattern, params);
        PopBusyCursor();
        return static_cast<int32_t>(hit);
    } catch (...) {
        PopBusyCursor();
        throw;
    }
}

bool TCustomMPHexEditor::FindNext(const TMPHSearchPattern& pattern, bool forward)
{
    if (DataSize() == 0)
        return false;
    // From a selection (the previous match) go on past its first byte; from a
    // bare caret include the caret's byte going forward.
    int32_t start;
    if (SelCount() > 0)
        start = forward ? m_selection.First + 1 : m_selection.First - 1;
    else
        start = forward ? CaretPosition() : CaretPosition() - 1;
    const int32_t hit = Find(pattern, start, forward, true);
    if (hit < 0)
        return false;
    const int32_t last = static_cast<int32_t>(hit + pattern.Length() - 1);
    SetSelStart(hit);
    SetSelEnd(last);
    // Show the whole match where it fits: its last byte first, then its first.
    const TGridCoord end = CellAtPosition(last, InCharField());
    ScrollInView(end.X, end.Y);
    ScrollInView(Col(), Row());
    return true;
}

namespace {

// Where Replace all's matches are, as the first pass found them: kept only
// for matchers whose matches depend on bytes around them; the others are
// found again in the copy of the old bytes.
struct TReplaceMatches
{
    int64_t Count = 0;
    int64_t First = -1;
    int64_t End = 0;     // end of the last match
    int64_t Matched = 0; // bytes of all matches
    std::vector<std::pair<int32_t, int32_t>> List;
};

const char* const TooManyMatchesText = "Too many matches to replace at once (more than %1); replace within a "
                                       "selection";

// Entries of the list a replacement whose matches need their context may
// keep: a quarter of the data's size, at least 64 MiB.
size_t MatchListLimit(int64_t dataSize)
{
    return size_t(std::max<int64_t>(8 << 20, dataSize / 32));
}

TMPHFindProgressFunc HalfProgress(const TMPHFindProgressFunc& progress, int base, bool cancellable)
{
    if (!progress)
        return {};
    return [progress, base, cancellable](int percent) { return progress(base + percent / 2) && cancellable; };
}

// Writes the new bytes of the span into out from the span's old bytes.
int64_t RewriteSpan(const TMPHMatcher& matcher, const TReplaceMatches& matches, const uint8_t* old,
                    const QByteArray& replacement, uint8_t* out, const TMPHFindProgressFunc& progress)
{
    const int64_t oldSpan = matches.End - matches.First;
    int64_t copied = 0;
    int64_t written = 0;
    auto put = [&](int64_t position, int64_t length) {
        std::memcpy(out + written, old + copied, size_t(position - copied));
        written += position - copied;
        std::memcpy(out + written, replacement.constData(), size_t(replacement.size()));
        written += replacement.size();
        copied = position + length;
        return true;
    };
    int64_t seen = 0;
    if (matcher.NeedsContext()) {
        for (const auto& [position, length] : matches.List)
            put(position - matches.First, length);
        seen = int64_t(matches.List.size());
    } else {
        TMPHFindParams again;
        again.Data = old;
        again.Size = oldSpan;
        again.Progress = progress;
        seen = ForEachMatch(matcher, again, put);
    }
    std::memcpy(out + written, old + copied, size_t(oldSpan - copied));
    return seen == matches.Count ? written + oldSpan - copied : -1;
}

} // namespace

int64_t TCustomMPHexEditor::ReplaceAll(const TMPHMatcher& matcher, const QByteArray& replacement,
                                       const TMPHFindParams& params, const QString& description)
{
    const int32_t size = DataSize();
    if (size == 0)
        return 0;
    TMPHFindParams scan = params;
    scan.Data = m_document.Data->Memory();
    scan.Size = size;
    scan.Progress = HalfProgress(params.Progress, 0, true);
    TReplaceMatches matches;
    ForEachMatch(matcher, scan, [&](int64_t position, int64_t length) {
        if (matches.First < 0)
            matches.First = position;
        matches.End = position + length;
        matches.Matched += length;
        ++matches.Count;
        if (matcher.NeedsContext()) {
            if (matches.List.size() >= MatchListLimit(size))
                throw EMPHexEditor(MPHStrings::Text(TooManyMatchesText).arg(matches.List.size()));
            matches.List.emplace_back(static_cast<int32_t>(position), static_cast<int32_t>(length));
        }
        return true;
    });
    if (matches.Count == 0)
        return 0;
    const int64_t oldSpan = matches.End - matches.First;
    const int64_t newSpan = oldSpan - matches.Matched + matches.Count * int64_t(replacement.size());
    CheckGrowth(int64_t(size) - oldSpan + newSpan);
    const auto first = static_cast<int32_t>(matches.First);
    CreateUndo(ukReplace, first, static_cast<int32_t>(newSpan), static_cast<int32_t>(oldSpan), description);

    // The old bytes: the entry just recorded holds them (a copy while
    // recording is suspended).
    QByteArray copy;
    const uint8_t* old = nullptr;
    int64_t offset = 0;
    int32_t entrySize = 0;
    if (m_undo.Storage->SuspendCount() == 0)
        m_undo.Storage->SetUndoSelection(first, static_cast<int32_t>(oldSpan)); // may move the stack
    if (m_undo.Storage->SuspendCount() == 0 && m_undo.Storage->NewestEntry(offset, entrySize)) {
        old = m_undo.Storage->Memory() + offset + MPHUndo::HeaderSize;
    } else {
        copy.resize(qsizetype(oldSpan));
        ReadBuffer(copy.data(), first, static_cast<int32_t>(oldSpan));
        old = reinterpret_cast<const uint8_t*>(copy.constData());
    }
    PushBusyCursor();
    try {
        if (newSpan < oldSpan)
            DeleteData(static_cast<int32_t>(first + newSpan), static_cast<int32_t>(matches.End), Col(), Row());
        else if (newSpan > oldSpan)
            // The room goes before the span's last byte, rewritten below like
            // the rest: always inside the data, so the block grows to just
            // the new size (at its end it would grow by half again, and the
            // first touch there can take a 2 MiB page for a few bytes).
            InsertData(nullptr, static_cast<int32_t>(newSpan - oldSpan),
                       static_cast<int32_t>(std::max(matches.First, matches.End - 1)));
        const int64_t written = RewriteSpan(matcher, matches, old, replacement, m_document.Data->Memory() + first,
                                            HalfProgress(params.Progress, 50, false));
        if (written != newSpan)
            throw EMPHexEditor(MPHStrings::Text(MPHStrings::CannotUpdateUndo));
    } catch (...) {
        PopBusyCursor();
        throw;
    }
    PopBusyCursor();
    CutChangeMarks(first);
    ApplyDataChange({first, static_cast<int32_t>(oldSpan), static_cast<int32_t>(newSpan)});
    Changed();
    return matches.Count;
}
