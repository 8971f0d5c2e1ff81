// Reading transferred data: format check, format choice, conversions, the
// paste rule, and hostile data.
#include "transfer_fixture.h"

#include "hexeditor/core/mphtransfer.h"
#include "platform/core/dropfiles.h"

#include <QFile>
#include <QtEndian>
#include <cstring>

TEST_F(TransferTest, AcceptanceListHasTwoOrSeventeenEntriesInPriorityOrder)
{
    editor.SetSupportsOtherClipFormats(false);
    EXPECT_EQ(editor.AcceptanceList(), (QVector<CLIPFORMAT>{OwnClipboardFormat, CF_HDROP}));
    editor.SetSupportsOtherClipFormats(true);
    const QVector<CLIPFORMAT> all = editor.AcceptanceList();
    ASSERT_EQ(all.size(), 17);
    EXPECT_EQ(all[2], CF_TEXT);
    EXPECT_EQ(all[3], RichTextFormat);
    EXPECT_EQ(all[4], CF_UNICODETEXT);
    EXPECT_EQ(all[9], CF_OEMTEXT);
    EXPECT_EQ(all[14], CF_LOCALE);
    EXPECT_EQ(all[15], RegEditHexDataFormat);
    EXPECT_EQ(all[16], HtmlFormat);
    EXPECT_EQ(GetClipboardFormatName(OwnClipboardFormat), QStringLiteral("TMPHexeditorEx Clipboard Format"));
}

TEST_F(TransferTest, FormatCheckTakesTheFirstOfferedAndKeepsTheOldChoiceOnFailure)
{
    auto object = Offer({{CF_LOCALE, "ab"}, {CF_TEXT, "x"}, {OwnClipboardFormat, OwnBlock("y")}});
    uint32_t effect = DROPEFFECT_COPY;
    EXPECT_EQ(editor.CheckTransferFormats(object.Get(), 0, tpPaste, effect, QPoint()), S_OK);
    EXPECT_EQ(editor.ChosenFormat(tpPaste), OwnClipboardFormat);
    EXPECT_EQ(editor.ChosenFormat(tpDrop), 0) << "each purpose has its own entry";

    auto nothing = Offer({{CF_WAVE + 100, "?"}});
    EXPECT_EQ(editor.CheckTransferFormats(nothing.Get(), 0, tpPaste, effect, QPoint()), S_FALSE);
    EXPECT_EQ(editor.ChosenFormat(tpPaste), OwnClipboardFormat);

    editor.SetSupportsOtherClipFormats(false);
    auto text = Offer({{CF_TEXT, "x"}});
    EXPECT_EQ(editor.CheckTransferFormats(text.Get(), 0, tpPaste, effect, QPoint()), S_FALSE)
        << "without other formats, text is not readable";
}

TEST_F(TransferTest, FileListTurnsAMoveIntoALink)
{
    auto files = Offer({{CF_HDROP, BuildDropFiles({QStringLiteral("/x")})}});
    uint32_t effect = DROPEFFECT_MOVE;
    EXPECT_EQ(editor.CheckTransferFormats(files.Get(), 0, tpDrop, effect, QPoint()), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_LINK);
    effect = DROPEFFECT_MOVE | DROPEFFECT_COPY;
    editor.CheckTransferFormats(files.Get(), 0, tpDrop, effect, QPoint());
    EXPECT_EQ(effect, DROPEFFECT_MOVE | DROPEFFECT_COPY) << "only exactly the move effect changes";
}

TEST_F(TransferTest, OwnFormatAndTextOfBytesWithAZero)
{
    Load(editor, "0123");
    auto object = Offer({{OwnClipboardFormat, OwnBlock(QByteArray("\x41\x00\x42", 3))}, {CF_TEXT, "A"}});
    EXPECT_EQ(Paste(editor, object.Get()), S_OK);
    EXPECT_EQ(Bytes(editor), QByteArray("\x41\x00\x42" "0123", 7));
    EXPECT_EQ(chooser.asked, 0) << "the own format never asks";
}

TEST_F(TransferTest, HexTextIsDecodedOnPasteButNotOnDrop)
{
    Load(editor, "zz");
    editor.SetClipboardAsHexText(true);
    auto object = Offer({{CF_TEXT, QByteArray("0a 1B-cDe\0", 10)}});
    EXPECT_EQ(Paste(editor, object.Get()), S_OK);
    EXPECT_EQ(Bytes(editor), QByteArray("\x0A\x1B\xCD" "zz", 5));

    uint32_t effect = DROPEFFECT_COPY;
    EXPECT_EQ(Drop(editor, object.Get(), effect), S_OK);
    EXPECT_EQ(editor.dropped, QByteArray("0a 1B-cDe"));
    EXPECT_EQ(editor.dropDescription, QStringLiteral("Data dropped"));
    EXPECT_EQ(effect, DROPEFFECT_COPY);
}

TEST_F(TransferTest, HexTextHonoursSwapNibbles)
{
    Load(editor, "zz");
    editor.SetClipboardAsHexText(true);
    editor.SetSwapNibbles(true);
    auto object = Offer({{CF_TEXT, QByteArray("0a 1B-cDe\0", 10)}});
    EXPECT_EQ(Paste(editor, object.Get()), S_OK);
    EXPECT_EQ(Bytes(editor).left(3), QByteArray("\xA0\xB1\xDC", 3));
}

TEST_F(TransferTest, WithoutADropPositionNothingIsDroppedAndTheEffectIsNone)
{
    TMPHexEditorEx plain;
    plain.Loaded();
    Load(plain, "ab");
    auto object = Offer({{OwnClipboardFormat, OwnBlock("xyz")}});
    uint32_t effect = DROPEFFECT_COPY;
    EXPECT_EQ(Drop(plain, object.Get(), effect), E_FAIL);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(Bytes(plain), QByteArray("ab"));
}

TEST_F(TransferTest, OnlyWholeUnitsArePasted)
{
    Load(editor, QByteArray(8, '\0'));
    editor.SetBytesPerUnit(2);
    auto object = Offer({{OwnClipboardFormat, OwnBlock("12345")}});
    EXPECT_EQ(Paste(editor, object.Get()), S_OK);
    EXPECT_EQ(editor.DataSize(), 12);
    EXPECT_EQ(Bytes(editor).left(4), QByteArray("1234"));

    auto single = Offer({{OwnClipboardFormat, OwnBlock("1")}});
    EXPECT_EQ(Paste(editor, single.Get()), E_FAIL) << "less than one unit";
    EXPECT_EQ(editor.DataSize(), 12);
}

TEST_F(TransferTest, BadOwnFormatBlocksInsertNothing)
{
    Load(editor, "data");
    QByteArray badMagic = OwnBlock("xyz");
    badMagic[0] = 'm';
    QByteArray badVersion = OwnBlock("xyz");
    badVersion[6] = 2;
    for (const QByteArray& block : {badMagic, badVersion, QByteArray(), OwnBlock(QByteArray())}) {
        auto object = Offer({{OwnClipboardFormat, block}});
        uint32_t effect = DROPEFFECT_COPY;
        editor.CheckTransferFormats(object.Get(), 0, tpPaste, effect, QPoint());
        EXPECT_EQ(editor.InsertTransferData(object.Get(), 0, QPoint(), effect, tpPaste), E_FAIL);
        EXPECT_EQ(effect, DROPEFFECT_NONE);
    }
    for (int size = 1; size <= 11; ++size) {
        auto object = Offer({{OwnClipboardFormat, OwnBlock("xyz").left(size)}});
        EXPECT_EQ(Paste(editor, object.Get()), E_FAIL) << size;
    }
    EXPECT_EQ(Bytes(editor), QByteArray("data"));
}

TEST_F(TransferTest, LengthsBeyondTheBlockAreCutAndUnterminatedTextEndsAtTheBlock)
{
    Load(editor, "!");
    QByteArray liar = OwnBlock("abc");
    liar[8] = char(0xFF);
    liar[9] = char(0xFF);
    EXPECT_EQ(Paste(editor, Offer({{OwnClipboardFormat, liar}}).Get()), S_OK);
    EXPECT_EQ(Bytes(editor), QByteArray("abc!"));

    Load(editor, "!");
    EXPECT_EQ(Paste(editor, Offer({{RegEditHexDataFormat, QByteArray("\xff\xff\x00\x00" "de", 6)}}).Get()), S_OK);
    EXPECT_EQ(Bytes(editor), QByteArray("de!"));

    Load(editor, "!");
    EXPECT_EQ(Paste(editor, Offer({{CF_TEXT, "no zero"}}).Get()), S_OK);
    EXPECT_EQ(Bytes(editor), QByteArray("no zero!"));
}

TEST_F(TransferTest, SeveralTextFormatsAskInAcceptanceOrder)
{
    Load(editor, "!");
    auto object = Offer({{CF_LOCALE, QByteArray("\x09\x04\0\0", 4)}, {CF_OEMTEXT, QByteArray("\x82\0", 2)},
                         {CF_UNICODETEXT, QByteArray("h\0i\0\0\0", 6)}, {CF_TEXT, QByteArray("hi\0", 3)}});
    chooser.answer = CF_UNICODETEXT;
    EXPECT_EQ(Paste(editor, object.Get()), S_OK);
    EXPECT_EQ(chooser.lastCandidates, (QVector<CLIPFORMAT>{CF_TEXT, CF_UNICODETEXT, CF_OEMTEXT, CF_LOCALE}));
    EXPECT_EQ(chooser.lastPreselected, -1);
    EXPECT_EQ(Bytes(editor), QByteArray("h\0i\0!", 5));
    EXPECT_EQ(TMPHexEditorEx::LastChosenFormat(), CF_UNICODETEXT);

    // Another editor of the process is offered the same choice first.
    TRecordingEditor other;
    other.Loaded();
    Load(other, "?");
    chooser.answer = CF_LOCALE;
    EXPECT_EQ(Paste(other, object.Get()), S_OK);
    EXPECT_EQ(chooser.lastPreselected, CF_UNICODETEXT);
    EXPECT_EQ(Bytes(other), QByteArray("\x09\x04?", 3));

    // Cancel: nothing happens.
    chooser.answer.reset();
    EXPECT_EQ(Paste(other, object.Get()), E_FAIL);
    EXPECT_EQ(Bytes(other), QByteArray("\x09\x04?", 3));
}

TEST_F(TransferTest, TheDialogsHexTextChoiceAppliesToTextAndOemTextOnly)
{
    Load(editor, "!");
    auto object = Offer({{CF_TEXT, QByteArray("4142\0", 5)}, {CF_UNICODETEXT, QByteArray("4\0\0\0", 4)}});
    chooser.answer = CF_UNICODETEXT;
    chooser.hexText = true;
    EXPECT_EQ(Paste(editor, object.Get()), S_OK);
    EXPECT_FALSE(editor.ClipboardAsHexText()) << "unicode text leaves the setting alone";
    chooser.answer = CF_TEXT;
    EXPECT_EQ(Paste(editor, object.Get()), S_OK);
    EXPECT_TRUE(editor.ClipboardAsHexText());
    EXPECT_EQ(Bytes(editor), QByteArray("AB!")) << "pasted bytes stay selected, so the second paste replaces them";
}

TEST_F(TransferTest, UnicodeTextInBigEndianView)
{
    Load(editor, QByteArray(2, '\0'));
    editor.SetBytesPerUnit(2);
    editor.SetUnicodeChars(true);
    editor.SetUnicodeBigEndian(true);
    auto object = Offer({{CF_UNICODETEXT, QByteArray("h\0i\0\0\0", 6)}});
    EXPECT_EQ(Paste(editor, object.Get()), S_OK);
    EXPECT_EQ(Bytes(editor).left(4), QByteArray("\0h\0i", 4));
}

TEST_F(TransferTest, ImagesPalettesAndMetafiles)
{
    const int handlesBefore = GdiObjectCount();
    {
        Load(editor, "!");
        TComPtr<TMemoryDataObject> object(new TMemoryDataObject);
        object->SetBlock(CF_DIB, QByteArray(40, '\x01'));
        EXPECT_EQ(Paste(editor, object.Get()), S_OK);
        EXPECT_EQ(editor.DataSize(), 14 + 40 + 1);
        EXPECT_EQ(Bytes(editor).left(3), QByteArray("BM\0", 3));

        Load(editor, "!");
        TComPtr<TMemoryDataObject> bitmap(new TMemoryDataObject);
        bitmap->SetHandle(CF_BITMAP, CreateBitmapFromDib(QByteArray(40, '\0')), TYMED_GDI);
        EXPECT_EQ(Paste(editor, bitmap.Get()), S_OK);
        EXPECT_EQ(editor.DataSize(), 54 + 1);

        Load(editor, "!");
        TComPtr<TMemoryDataObject> palette(new TMemoryDataObject);
        palette->SetHandle(CF_PALETTE, CreatePalette({0x030201}), TYMED_GDI);
        EXPECT_EQ(Paste(editor, palette.Get()), S_OK);
        EXPECT_EQ(Bytes(editor), QByteArray("\x00\x03\x01\x00\x01\x02\x03\x00!", 9));

        Load(editor, "!");
        TComPtr<TMemoryDataObject> wmf(new TMemoryDataObject);
        QByteArray pict(16, '\0');
        const uint32_t h = qToLittleEndian(SetMetaFileBits("WMF"));
        std::memcpy(pict.data() + 12, &h, 4);
        wmf->SetBlock(CF_METAFILEPICT, pict, TYMED_MFPICT);
        EXPECT_EQ(Paste(editor, wmf.Get()), S_OK);
        EXPECT_EQ(Bytes(editor), QByteArray("WMF!"));

        Load(editor, "!");
        TComPtr<TMemoryDataObject> emf(new TMemoryDataObject);
        emf->SetHandle(CF_ENHMETAFILE, SetEnhMetaFileBits("EMF"), TYMED_ENHMF);
        EXPECT_EQ(Paste(editor, emf.Get()), S_OK);
        EXPECT_EQ(Bytes(editor), QByteArray("EMF!"));
    }
    EXPECT_EQ(GdiObjectCount(), handlesBefore) << "every fetched medium is released";
}

TEST_F(TransferTest, FileListLinkInsertsNamesAndCopyInsertsTheFirstFile)
{
    const QString a = dir.filePath(QStringLiteral("a.bin")), b = dir.filePath(QStringLiteral("b.bin"));
    for (const auto& [path, content] : {std::pair{a, QByteArray("AAA")}, std::pair{b, QByteArray("BB")}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    auto object = Offer({{CF_HDROP, BuildDropFiles({a, b})}});

    Load(editor, "!");
    uint32_t effect = DROPEFFECT_LINK;
    EXPECT_EQ(Drop(editor, object.Get(), effect), S_OK);
    EXPECT_EQ(editor.dropped, a.toLatin1() + '\0' + b.toLatin1() + '\0');

    effect = DROPEFFECT_COPY;
    EXPECT_EQ(Drop(editor, object.Get(), effect), S_OK);
    EXPECT_EQ(editor.dropped, QByteArray("AAA"));

    EXPECT_EQ(Paste(editor, object.Get()), S_OK);
    EXPECT_EQ(Bytes(editor), QByteArray("AAA!"));
}

TEST_F(TransferTest, AMissingFileRaisesAndChangesNothing)
{
    Load(editor, "keep");
    auto object = Offer({{CF_HDROP, BuildDropFiles({dir.filePath(QStringLiteral("missing"))})}});
    uint32_t effect = DROPEFFECT_COPY;
    ASSERT_EQ(editor.CheckTransferFormats(object.Get(), 0, tpPaste, effect, QPoint()), S_OK);
    EXPECT_THROW(editor.InsertTransferData(object.Get(), 0, QPoint(), effect, tpPaste), EFileOpenError);
    EXPECT_EQ(Bytes(editor), QByteArray("keep"));
    EXPECT_EQ(editor.DataSize(), 4);
}

TEST_F(TransferTest, ObjectsThatFailInsertNothing)
{
    Load(editor, "x");
    auto object = Offer({{OwnClipboardFormat, OwnBlock("abc")}});
    object->FailGetData = E_OUTOFMEMORY;
    EXPECT_EQ(Paste(editor, object.Get()), E_FAIL);
    object->FailGetData = S_OK;
    object->FailEnumeration = true;
    uint32_t effect = DROPEFFECT_COPY;
    EXPECT_EQ(editor.CheckTransferFormats(object.Get(), 0, tpPaste, effect, QPoint()), S_FALSE);
    EXPECT_EQ(editor.InsertTransferData(object.Get(), 0, QPoint(), effect, tpPaste), E_FAIL)
        << "a format no longer offered is not fetched";
    EXPECT_EQ(Bytes(editor), QByteArray("x"));
}

TEST_F(TransferTest, PasteReplacesTheSelectionAndSelectsWhatItPasted)
{
    Load(editor, "0123456789");
    editor.SetSelection(2, 4);
    EXPECT_EQ(Paste(editor, Offer({{OwnClipboardFormat, OwnBlock("ab")}}).Get()), S_OK);
    EXPECT_EQ(Bytes(editor), QByteArray("01ab56789"));
    EXPECT_EQ(editor.SelFirst(), 2);
    EXPECT_EQ(editor.SelCount(), 2);
    EXPECT_EQ(editor.CaretPosition(), 3);
}

TEST_F(TransferTest, FixedSizePasteOverwritesTheTailAndKeepsTheSize)
{
    Load(editor, "0123456789");
    editor.SetNoSizeChange(true);
    editor.SetSelStart(6); // DataSize - 4, nothing selected
    EXPECT_EQ(Paste(editor, Offer({{OwnClipboardFormat, OwnBlock("ABCDEFGHIJ")}}).Get()), S_OK);
    EXPECT_EQ(Bytes(editor), QByteArray("012345ABCD"));
    EXPECT_EQ(editor.DataSize(), 10);
}

TEST_F(TransferTest, PasteIsOneUndoStepNamedAfterIt)
{
    Load(editor, "0123");
    editor.SetSelStart(2);
    ASSERT_EQ(Paste(editor, Offer({{OwnClipboardFormat, OwnBlock("xy")}}).Get()), S_OK);
    EXPECT_EQ(Bytes(editor), QByteArray("01xy23"));
    EXPECT_EQ(editor.UndoText(), QStringLiteral("Paste from clipboard"));
    editor.Undo();
    EXPECT_EQ(Bytes(editor), QByteArray("0123"));
}

TEST_F(TransferTest, AnUnalignedCaretMovesDownToTheUnit)
{
    Load(editor, "01234567");
    editor.SetBytesPerUnit(2);
    // Put the caret on byte 3 (the second hex column of byte 3's cell pair).
    const TGridCoord cell = editor.CellAtPosition(3, false);
    editor.MoveColRow(cell.X, cell.Y, true);
    ASSERT_EQ(editor.PositionAtCell(editor.Col(), editor.Row()), 3);
    EXPECT_EQ(Paste(editor, Offer({{OwnClipboardFormat, OwnBlock("ab")}}).Get()), S_OK);
    EXPECT_EQ(Bytes(editor), QByteArray("01ab234567"));
}
