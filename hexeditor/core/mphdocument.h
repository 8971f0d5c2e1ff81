#pragma once
// The editor's document: the data, the marks of the bytes changed in
// overwrite mode, the ten bookmarks and the state of the file the data came
// from. The editor owns one and is the only one to change it.

#include "hexeditor/core/mphbookmarks.h"
#include "hexeditor/core/mphchangemarks.h"
#include "hexeditor/core/mphmemorystream.h"

#include <QString>
#include <memory>

struct TMPHDocument
{
    std::unique_ptr<TMPHMemoryStream> Data = std::make_unique<TMPHMemoryStream>();
    TMPHChangeMarks ChangedBytes;
    TMPHBookmarks Bookmarks;
    QString FileName = QStringLiteral("---");
    QString LoadingFileName; // set while a load runs
    bool ReadOnlyFile = true;
    bool HasFile = false;
    bool Modified = false;

    // The document now stands for fileName as saved: its file exists and is
    // writable, nothing is modified and no byte is marked changed.
    void MarkSaved(const QString& fileName);
};
