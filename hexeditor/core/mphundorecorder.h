#pragma once
// What the editor keeps for undo and redo: the undo storage (entries, the
// redo record and the redo stack) and the settings and state around it.

#include "hexeditor/core/mphundostorage.h"

#include <memory>

class TCustomMPHexEditor;

struct TMPHUndoRecorder
{
    explicit TMPHUndoRecorder(TCustomMPHexEditor* owner) : Storage(std::make_unique<TMPHUndoStorage>(owner)) {}

    std::unique_ptr<TMPHUndoStorage> Storage;
    int MaxUndo = 1048576;
    bool MultiLevelRedo = false; // the redo stack extension
    int RedoGroupDepth = 0;      // > 0 while a combined step is undone
};
