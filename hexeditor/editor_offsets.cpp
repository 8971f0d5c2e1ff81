// Offset texts of the gutter: the OffsetFormat property, the OnGetOffsetText
// event and the hex digit case. Parsing and number writing live in
// core/mphoffsetformat.

#include "hexeditor/mphexeditor.h"

#include <cstring>

TMPHOffsetUnitSources TCustomMPHexEditor::OffsetUnitSources() const
{
    TMPHOffsetUnitSources sources;
    sources.BytesPerRow = m_bytesPerRow;
    sources.BytesPerColumn = m_bytesPerColumn;
    sources.RulerUnit = m_rulerUnit;
    return sources;
}

void TCustomMPHexEditor::SetOffsetFormat(const QString& value)
{
    if (value == m_offsetFormat.Format)
        return;
    // A refused format must leave the accepted one whole. Restoring the
    // record (rather than parsing the old text again) also works when the
    // value the old format follows has changed since it was accepted.
    const TMPHOffsetFormat previous = m_offsetFormat;
    try {
        ParseOffsetFormat(m_offsetFormat, value, OffsetUnitSources());
    } catch (...) {
        m_offsetFormat = previous;
        throw;
    }
    UpdateGutterWidth();
    viewport()->update();
}

QString TCustomMPHexEditor::FormatOffset(uint32_t offset)
{
    if (OnGetOffsetText && !m_inGetOffsetText) {
        QString text;
        m_inGetOffsetText = true;
        m_isMaxOffset = false;
        try {
            OnGetOffsetText(this, int64_t(offset), text);
        } catch (...) {
            m_inGetOffsetText = false;
            throw;
        }
        m_inGetOffsetText = false;
        return text;
    }
    return FormatOffsetText(m_offsetFormat, offset, m_hexLowerCase);
}

QString TCustomMPHexEditor::OffsetToText(uint32_t offset)
{
    if (m_offsetFormat.Format.isEmpty())
        return PlainHexOffset(offset);
    return FormatOffset(offset);
}

void TCustomMPHexEditor::SetHexLowerCase(bool value)
{
    if (value == m_hexLowerCase)
        return;
    m_hexLowerCase = value;
    std::memcpy(m_hexDigits, value ? "0123456789abcdef" : "0123456789ABCDEF", 16);
    BuildRulerTexts();
    viewport()->update();
}
