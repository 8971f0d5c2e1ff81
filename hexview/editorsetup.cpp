#include "hexview/editorsetup.h"

#include "hexeditor/ex/mphexeditorex.h"
#include "platform/core/exceptions.h"

namespace hexview {

void CopyEditorSetup(TMPHexEditorEx& from, TMPHexEditorEx& to)
{
    try {
        to.SetSettingsText(from.GetSettingsText());
    } catch (const Exception&) {
        // An empty editor takes every setting; the defaults stay otherwise.
    }
    // The switches outside the settings text.
    to.SetMultiLevelRedo(from.MultiLevelRedo());
    to.SetWheelRows(from.WheelRows());
    to.SetAtomicBackup(from.AtomicBackup());
    to.SetForeignMoveNeedsShift(from.ForeignMoveNeedsShift());
    to.SetOffsetPopupMenu(from.OffsetPopupMenu());
    to.SetForeignTextAsCarried(from.ForeignTextAsCarried());
    to.SetOpenOnDemand(from.OpenOnDemand());
    to.SetOnDemandMinSize(from.OnDemandMinSize());
}

} // namespace hexview
