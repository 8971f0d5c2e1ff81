#pragma once
// The extended editor. Its features (backups, clipboard, drag and drop, print
// settings, settings by name, zoom and popup menus) each live in their own
// file of this folder.

#include "hexeditor/mphexeditor.h"

class TMPHexEditorEx : public TCustomMPHexEditor
{
    Q_OBJECT
public:
    explicit TMPHexEditorEx(QWidget* parent = nullptr) : TCustomMPHexEditor(parent) {}
};
