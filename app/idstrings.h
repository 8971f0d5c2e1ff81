#pragma once
// The ID strings read as the window reads them: through the editor's
// selection. The byte ranges and the label text are the image operations'
// (firmware/core/bootimage.h).

#include <QByteArray>
#include <cstdint>

class TCustomMPHexEditor;

namespace boot {

// SelStart := first, SelEnd := last, then SelectionAsText. Raises the
// editor's selection errors ("Invalid selection start", "... end").
QByteArray ReadIdBytes(TCustomMPHexEditor& editor, int32_t first, int32_t last);

} // namespace boot
