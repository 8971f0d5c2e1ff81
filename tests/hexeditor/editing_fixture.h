#pragma once
// Editor tests that change data: loading bytes and reading them back.

#include "editor_fixture.h"
#include "platform/core/streams.h"

class EditingTest : public EditorTest
{
protected:
    void load(const QByteArray& bytes)
    {
        TMemoryStream source;
        source.Write(bytes.constData(), bytes.size());
        editor.LoadFromStream(source);
    }
    QByteArray data()
    {
        QByteArray bytes(editor.DataSize(), '\0');
        if (!bytes.isEmpty())
            editor.ReadBuffer(bytes.data(), 0, bytes.size());
        return bytes;
    }
    bool walksCleanly()
    {
        std::vector<int32_t> front, back;
        return editor.UndoStorage().WalkFromFront(front) && editor.UndoStorage().WalkFromBack(back) && front == back
               && int(front.size()) == editor.UndoStorage().EntryCount();
    }
};
