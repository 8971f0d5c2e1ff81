// The extended editor's construction; its features live in the files named
// in mphexeditorex.h, one per concern.

#include "hexeditor/ex/mphexeditorex.h"

TMPHexEditorEx::TMPHexEditorEx(QWidget* parent) : TCustomMPHexEditor(parent)
{
    // The drop target exists from the start; OleDragDrop only switches it on.
    m_dropTarget.Reset(new TMPHDropTarget(this));
}
