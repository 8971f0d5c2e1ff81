// Character translation of the character field and the unicode view. The
// tables and conversions live in core/mphtranslation; this file holds the
// editor's settings and their rules.

#include "hexeditor/mphexeditor.h"

uint8_t TCustomMPHexEditor::TranslateToDisplay(uint8_t b) const
{
    return ::TranslateToDisplay(m_translation, b, m_maskChar, m_maskedChars);
}

uint8_t TCustomMPHexEditor::TranslateFromInput(uint8_t ch) const
{
    return ::TranslateFromInput(m_translation, ch, m_maskedChars);
}

char16_t TCustomMPHexEditor::UnicodeCharAt(int32_t position)
{
    const int32_t size = DataSize();
    if (position < 0 || position >= size)
        return UnicodeDisplayUnit(nullptr, 0, m_unicodeBigEndian, m_maskChar, m_maskedChars);
    const int64_t available = std::min<int64_t>(2, int64_t(size) - position);
    uint8_t unit[2] = {0, 0};
    m_document.Data->PeekBytes(position, unit, available);
    return UnicodeDisplayUnit(unit, available, m_unicodeBigEndian, m_maskChar, m_maskedChars);
}

void TCustomMPHexEditor::SetTranslation(TMPHTranslationKind value)
{
    if (value == m_translation)
        return;
    CheckTranslationAllowed(value, m_unicodeChars);
    m_translation = value;
    viewport()->update();
}

void TCustomMPHexEditor::SetUnicodeChars(bool value)
{
    if (value == m_unicodeChars)
        return;
    if (value) {
        CheckUnicodeModeAllowed(m_bytesPerRow, m_bytesPerColumn, DataSize());
        m_translation = tkAsIs;
    }
    // The character columns change meaning: keep the caret on its byte.
    const bool charField = CaretInCharField();
    const int32_t position = PositionAtCell(Col(), Row());

    m_unicodeChars = value;
    UpdateGridSize();
    SetBytesPerUnit(value ? 2 : 1);
    UpdateGridSize();
    BuildRulerTexts();

    if (charField && DataSize() > 0) {
        const int32_t limit = InsertMode() ? DataSize() : DataSize() - 1;
        const TGridCoord cell = CellAtPosition(std::min(position, limit), true);
        const TGridCoord from{Col(), Row()};
        ForceCurrentCell(cell.X, cell.Y);
        CaretMoved(from, cell);
        UpdateCaretPos();
    }
    viewport()->update();
}

void TCustomMPHexEditor::SetUnicodeBigEndian(bool value)
{
    if (value == m_unicodeBigEndian)
        return;
    m_unicodeBigEndian = value;
    if (m_unicodeChars)
        viewport()->update();
}

void TCustomMPHexEditor::SetMaskChar(uint8_t value)
{
    if (value == m_maskChar)
        return;
    m_maskChar = value;
    viewport()->update();
}

void TCustomMPHexEditor::SetMaskCharCode(int value)
{
    if (value < 0 || value > 255)
        throw EMPHexEditor(MPHStrings::Text(MPHStrings::InvalidMaskChar).arg(value));
    SetMaskChar(uint8_t(value));
}

void TCustomMPHexEditor::SetMaskCharAsIntegerValue(const QVariant& value)
{
    bool isInteger = false;
    const int code = value.toInt(&isInteger);
    SetMaskChar(isInteger && code >= 0 && code <= 255 ? uint8_t(code) : uint8_t('.'));
}
