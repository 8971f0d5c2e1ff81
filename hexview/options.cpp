// Applying the command line's options to the window.

#include "hexview/firmwareoverlay.h"
#include "hexview/hexviewwindow.h"
#include "hexview/layoutactions.h"

namespace hexview {

bool HexViewWindow::ApplyOptions(const TViewOptions& options)
{
    TMPHexEditorEx& editor = Editor();
    // Display settings first, on the empty document, so that unicode mode
    // also takes files of odd size; the files' tabs take them over.
    const bool settingsApplied = RunGuarded([&] {
        if (options.BytesPerRow)
            editor.SetBytesPerRow(*options.BytesPerRow);
        if (options.Unicode)
            SwitchUnicodeChars(editor, true);
        // Switches given on the command line turn a setting on; without them
        // the stored settings (settingsactions.cpp) stay in force.
        if (options.BigEndian)
            editor.SetUnicodeBigEndian(true);
        if (options.Translation)
            editor.SetTranslation(*options.Translation);
        if (options.OffsetFormat)
            editor.SetOffsetFormat(*options.OffsetFormat);
        if (options.RulerBase)
            editor.SetRulerNumberBase(*options.RulerBase);
        if (options.Ruler)
            editor.SetShowRuler(true);
    });
    SetReadOnlyView(options.ReadOnly);
    Overlay().SetEnabled(options.FirmwareOverlay);
    emit SelectionChanged();
    if (!settingsApplied)
        return false;
    if (options.FileNames.isEmpty())
        return true;
    // Each file in a tab of its own, the last one in front.
    const bool opened = OpenFiles(options.FileNames) == options.FileNames.size();
    if (options.ReadOnly)
        for (int i = 0; i < DocumentCount(); ++i)
            Document(i).Editor().SetReadOnlyView(true);
    emit ReadOnlyViewChanged(ReadOnlyView());
    if (!opened)
        return false;
    if (options.SelFirst && options.SelLast)
        return RunGuarded([&] {
            // The editor's own checks: "Invalid selection start/end".
            Editor().SetSelStart(*options.SelFirst);
            Editor().SetSelEnd(*options.SelLast);
        });
    return true;
}

} // namespace hexview
