#include "app/idstrings.h"

#include "hexeditor/mphexeditor.h"

namespace boot {

QByteArray ReadIdBytes(TCustomMPHexEditor& editor, int32_t first, int32_t last)
{
    editor.SetSelStart(first);
    editor.SetSelEnd(last);
    return editor.SelectionAsText();
}

} // namespace boot
