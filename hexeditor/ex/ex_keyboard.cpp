// The extended editor's shortcuts, after the base key handling: select all,
// undo, redo, and the clipboard keys.

#include "hexeditor/ex/mphexeditorex.h"

void TMPHexEditorEx::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    TCustomMPHexEditor::KeyDown(key, shift);
    if (shift == Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_X: ClipboardShortcut(TMPHClipboardCommand::Cut); break;
        case Qt::Key_C: ClipboardShortcut(TMPHClipboardCommand::Copy); break;
        case Qt::Key_V: ClipboardShortcut(TMPHClipboardCommand::Paste); break;
        case Qt::Key_A: SelectAll(); break;
        case Qt::Key_Z:
            if (CanUndo())
                Undo();
            break;
        default: break;
        }
    } else if (shift == (Qt::ControlModifier | Qt::ShiftModifier) && key == Qt::Key_Z) {
        if (CanRedo())
            Redo();
    }
}

bool TMPHexEditorEx::ClipboardShortcut(TMPHClipboardCommand)
{
    // The clipboard operations are not part of this editor yet.
    return false;
}
