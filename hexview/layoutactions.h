#pragma once
// View menu: bytes per group and the wheel step (layoutactions.cpp).

class TMPHexEditorEx;

namespace hexview {

// Unicode characters on or off. Unicode mode shows two bytes per character
// and needs an even group size: a group of one byte becomes two first; the
// offsets stay in bytes.
void SwitchUnicodeChars(TMPHexEditorEx& editor, bool on);

} // namespace hexview
