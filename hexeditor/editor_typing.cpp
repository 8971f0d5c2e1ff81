// Typed characters: hex digits in the hex field, translated characters in
// the character field, in overwrite and insert mode; input methods.

#include "hexeditor/mphexeditor.h"

#include "hexeditor/core/mphnavigation.h"
#include "platform/core/apperror.h"
#include "platform/core/codepages.h"

#include <QInputMethodEvent>

#include <algorithm>
#include <array>

namespace {

// A unit typed in insert mode: at most 8 bytes, zero-filled.
using UnitBuffer = std::array<uint8_t, 8>;

uint8_t byteOrZero(TCustomMPHexEditor& ed, int32_t position)
{
    return position >= 0 && position < ed.DataSize() ? ed.ByteAt(position) : 0;
}

// The two bytes at position as a word in memory order (low byte first);
// zero where the word does not lie wholly inside the data.
uint16_t wordOrZero(TCustomMPHexEditor& ed, int32_t position)
{
    if (position < 0 || int64_t(position) + 2 > ed.DataSize())
        return 0;
    return static_cast<uint16_t>(ed.ByteAt(position) | (ed.ByteAt(position + 1) << 8));
}

uint16_t wordOf(const UnitBuffer& buffer)
{
    return static_cast<uint16_t>(buffer[0] | (buffer[1] << 8));
}

// Step right after a typed character, as the Right key with no modifier.
void stepRight(TCustomMPHexEditor& ed)
{
    int key = Qt::Key_Right;
    ed.KeyDown(key, Qt::NoModifier);
}

} // namespace

void TCustomMPHexEditor::KeyPress(QChar& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
    const char16_t ch = key.unicode();
    if (ReadOnlyView())
        return;
    uint8_t ansi = 0;
    const bool hasAnsi = TryUnicodeToAnsi(ch, ansi);
    if (hasAnsi && m_maskedChars.test(ansi))
        return;
    const int32_t p = PositionAtCell(Col(), Row());
    if (p >= DataSize() && !InsertMode())
        return;
    if (CaretInCharField())
        TypeInCharField(ch, hasAnsi, ansi, p);
    else
        TypeInHexField(ch, p);
}

void TCustomMPHexEditor::TypeInCharField(char16_t ch, bool hasAnsi, uint8_t ansi, int32_t p)
{
    // In unicode mode any character of the basic plane can be typed as
    // itself; in 8-bit mode it needs a counterpart in the 8-bit code page
    // and a byte under the translation.
    const bool unicode = m_unicodeChars;
    uint8_t b = 0;
    if (unicode) {
        if (QChar::isSurrogate(ch) || (hasAnsi && m_maskedChars.test(TranslateFromInput(ansi)))) {
            if (OnInvalidKey)
                OnInvalidKey(this);
            return;
        }
    } else {
        b = hasAnsi ? TranslateFromInput(ansi) : 0;
        if (!hasAnsi || m_maskedChars.test(b)) {
            if (OnInvalidKey)
                OnInvalidKey(this);
            return;
        }
    }
    if (!InsertMode())
        ResetSelection(true);

    UnitBuffer buffer{};
    if (unicode) {
        const std::array<uint8_t, 2> bytes = UnicodeInputBytes(ch, m_unicodeBigEndian);
        buffer[0] = bytes[0];
        buffer[1] = bytes[1];
    } else {
        buffer[0] = b;
    }
    // In unicode mode a unit is two bytes: one character.
    const int32_t count = m_bytesPerUnit;

    if (InsertMode()) {
        if (SelCount() > 0) {
            ReplaceSelection(buffer.data(), count, {}, false);
        } else if (p == DataSize()) {
            AppendBuffer(buffer.data(), count, {}, true);
        } else if (p % m_bytesPerUnit != 0) {
            ChangeByte(p, byteOrZero(*this, p), b, {});
        } else {
            InsertBuffer(buffer.data(), count, p, {}, false);
        }
        m_selection.Extending = false;
    } else if (unicode) {
        ChangeWord(p, wordOrZero(*this, p), wordOf(buffer), {});
    } else {
        ChangeByte(p, byteOrZero(*this, p), b, {});
    }
    stepRight(*this);
}

void TCustomMPHexEditor::TypeInHexField(char16_t ch, int32_t p)
{
    const int digit = HexDigitValue(ch);
    if (digit < 0) {
        if (OnInvalidKey)
            OnInvalidKey(this);
        return;
    }
    if (!InsertMode())
        ResetSelection(true);
    const uint8_t oldByte = byteOrZero(*this, p);
    const bool hasSelection = SelCount() > 0;
    // The first digit column shows the high nibble unless the nibbles are swapped.
    const bool firstColumn = Col() % 2 == 0;
    const bool onHighNibble = firstColumn != m_swapNibbles;
    const uint8_t newByte = OverwriteNibble(oldByte, digit, onHighNibble || hasSelection);
    const bool unitStart = (Col() - 2) % (2 * m_bytesPerUnit) == 0;

    if (!InsertMode() || (!unitStart && !hasSelection)) {
        if (p < DataSize())
            ChangeByte(p, oldByte, newByte, {});
    } else {
        UnitBuffer buffer{};
        buffer[0] = InsertedNibbleByte(digit, m_swapNibbles);
        if (DataSize() == 0)
            AppendBuffer(buffer.data(), m_bytesPerUnit, {}, false);
        else if (hasSelection)
            ReplaceSelection(buffer.data(), m_bytesPerUnit, {}, false);
        else
            InsertBuffer(buffer.data(), m_bytesPerUnit, p, {}, false);
    }
    m_selection.Extending = false;
    stepRight(*this);
}

// ---- input methods -----------------------------------------------------------------------

void TCustomMPHexEditor::inputMethodEvent(QInputMethodEvent* e)
{
    // Composed text (dead keys, input methods) arrives as typed characters.
    for (QChar c : e->commitString()) {
        try {
            KeyPress(c);
        } catch (...) {
            HandleApplicationException(std::current_exception());
        }
    }
    e->accept();
}

QVariant TCustomMPHexEditor::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle: {
        const QRect r = PhysicalRect(CellRect(Col(), Row()));
        return r.translated(viewport()->pos());
    }
    case Qt::ImHints:
        return int(Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase);
    default:
        return TCustomGrid::inputMethodQuery(query);
    }
}
