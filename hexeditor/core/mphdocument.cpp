#include "hexeditor/core/mphdocument.h"

void TMPHDocument::MarkSaved(const QString& fileName)
{
    FileName = fileName;
    HasFile = true;
    ReadOnlyFile = false;
    Modified = false;
    ChangedBytes.clear();
}
