// Finding bytes and text in the editor's data.

#include "hexeditor/mphexeditor.h"

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
    const QString name = m_fileName;
    if (m_findProgress && OnProgress) {
        progress = [this, &name](int percent) {
            bool cancel = false;
            OnProgress(this, pkFind, name, static_cast<uint8_t>(percent), cancel);
            return cancel;
        };
    }
    PushBusyCursor();
    try {
        const int64_t hit = FindInData(pattern, m_dataStorage->Memory(), size, start, forward, wrap,
                                       FindChunkSize, progress);
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
        start = forward ? m_selFirst + 1 : m_selFirst - 1;
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
