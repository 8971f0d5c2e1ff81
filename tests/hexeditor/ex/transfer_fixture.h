#pragma once
// Shared pieces of the extended editor's transfer tests: an editor with bytes
// loaded, data objects offering chosen blocks, and a scripted format chooser.

#include "hexeditor/ex/formatseldialog.h"
#include "hexeditor/ex/mphexeditorex.h"
#include "platform/core/memorydataobject.h"
#include "platform/inputstate.h"

#include <QByteArray>
#include <QtEndian>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

// Answers the format question from a script and records what was asked.
class TScriptedChooser : public IFormatChooser
{
public:
    std::optional<CLIPFORMAT> answer;   // nothing: cancel
    bool hexText = false;
    int asked = 0;
    QVector<CLIPFORMAT> lastCandidates;
    int lastPreselected = -2;

    bool ChooseFormat(const QVector<CLIPFORMAT>& candidates, int preselected, bool& asHexText,
                      CLIPFORMAT& chosen) override
    {
        ++asked;
        lastCandidates = candidates;
        lastPreselected = preselected;
        if (!answer)
            return false;
        chosen = *answer;
        asHexText = hexText;
        return true;
    }
};

// An extended editor that records dropped bytes instead of needing a drop position.
class TRecordingEditor : public TMPHexEditorEx
{
public:
    QByteArray dropped;
    QString dropDescription;

protected:
    bool PlaceDroppedData(const uint8_t* bytes, int32_t count, const QString& description) override
    {
        dropped = QByteArray(reinterpret_cast<const char*>(bytes), count);
        dropDescription = description;
        return true;
    }
};

class TransferTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previousInput = SetInputState(&input);
        previousChooser = SetFormatChooser(&chooser);
        editor.Loaded();
        TMPHexEditorEx::SetLastChosenFormat(-1);
    }
    void TearDown() override
    {
        SetFormatChooser(previousChooser);
        SetInputState(previousInput);
    }

    static void Load(TCustomMPHexEditor& e, const QByteArray& bytes)
    {
        TMemoryStream s;
        s.Write(bytes.constData(), bytes.size());
        e.LoadFromStream(s);
    }
    static QByteArray Bytes(TCustomMPHexEditor& e)
    {
        return QByteArray(reinterpret_cast<const char*>(e.DataStorage().Memory()), e.DataSize());
    }
    static TComPtr<TMemoryDataObject> Offer(std::initializer_list<std::pair<CLIPFORMAT, QByteArray>> blocks)
    {
        TComPtr<TMemoryDataObject> object(new TMemoryDataObject);
        for (const auto& [format, bytes] : blocks)
            object->SetBlock(format, bytes);
        return object;
    }
    // Runs the reader as a paste would: format check first, then the read.
    HRESULT Paste(TMPHexEditorEx& e, IDataObject* object, uint32_t effect = DROPEFFECT_COPY)
    {
        if (e.CheckTransferFormats(object, 0, tpPaste, effect, QPoint()) != S_OK)
            return S_FALSE;
        return e.InsertTransferData(object, 0, QPoint(), effect, tpPaste);
    }
    HRESULT Drop(TMPHexEditorEx& e, IDataObject* object, uint32_t& effect)
    {
        if (e.CheckTransferFormats(object, 0, tpDrop, effect, QPoint()) != S_OK)
            return S_FALSE;
        return e.InsertTransferData(object, 0, QPoint(), effect, tpDrop);
    }
    static QByteArray OwnBlock(const QByteArray& data)
    {
        QByteArray b("MPTH\x01\x00\x01\x00", 8);
        const uint32_t n = qToLittleEndian(uint32_t(data.size()));
        b.append(reinterpret_cast<const char*>(&n), 4);
        return b + data;
    }

    TScriptedInputState input;
    IInputState* previousInput = nullptr;
    TScriptedChooser chooser;
    IFormatChooser* previousChooser = nullptr;
    TRecordingEditor editor;
    QTemporaryDir dir;
};
