// Editing in the middle of the data leaves it in pieces: reading, painting,
// undo and the nibble shifts work on the pieces without gathering them, and
// the operations that need one block (find) gather them correctly.

#include "editing_fixture.h"
#include "hexeditor/core/mphsearch.h"

#include <QImage>

class ScatteredDataTest : public EditingTest
{
protected:
    // A document with a piece inserted at 100 and one removed at 300.
    QByteArray scatter()
    {
        QByteArray expected = pattern(1000);
        load(expected);
        editor.InsertBuffer("ABCD", 4, 100, {}, false);
        expected.insert(100, "ABCD");
        editor.SetSelStart(300);
        editor.DeleteSelection();
        expected.remove(300, 1);
        return expected;
    }
    bool contiguous() { return editor.DataStorage().IsContiguous(); }
};

TEST_F(ScatteredDataTest, ReadingPaintingAndUndoDoNotGather)
{
    const QByteArray expected = scatter();
    ASSERT_FALSE(contiguous());
    EXPECT_EQ(data(), expected);
    EXPECT_EQ(editor.ByteAt(101), uint8_t('B'));

    editor.resize(600, 400);
    editor.show();
    QImage image(editor.size(), QImage::Format_RGB32);
    editor.render(&image);
    EXPECT_FALSE(contiguous()) << "painting gathered the data";

    editor.Undo();
    editor.Undo();
    EXPECT_EQ(data(), pattern(1000));
    editor.Redo();
    EXPECT_FALSE(contiguous());
}

TEST_F(ScatteredDataTest, FindSeesBytesAcrossPieceBoundaries)
{
    const QByteArray expected = scatter();
    // "CD" ends the inserted piece, the next byte begins the old data.
    const QByteArray needle = expected.mid(102, 4);
    EXPECT_EQ(editor.Find(TMPHSearchPattern::FromBytes(needle), 0, true), 102);
    EXPECT_EQ(data(), expected);
}

TEST_F(ScatteredDataTest, NibbleShiftsWorkOnPieces)
{
    QByteArray expected = scatter();
    ASSERT_TRUE(editor.InsertNibble(98, true));
    // A zero nibble enters at 98; everything behind moves by four bits.
    QByteArray shifted = expected.left(98);
    uint8_t carry = 0;
    for (int i = 98; i < expected.size(); ++i) {
        const uint8_t v = uint8_t(expected[i]);
        shifted.append(char((v >> 4) | (carry << 4)));
        carry = v & 0x0F;
    }
    shifted.append(char(carry << 4));
    EXPECT_EQ(data(), shifted);

    // Deleting it again brings the old bytes back; a zero nibble enters at
    // the end, so the grown last byte reads 00.
    ASSERT_TRUE(editor.DeleteNibble(98, true));
    expected.append('\0');
    EXPECT_EQ(data(), expected);
}

TEST_F(ScatteredDataTest, UnicodeCharactersStraddlingAPieceBoundaryReadWhole)
{
    load(QByteArray("\x41\x00\x42\x00", 4));
    editor.InsertBuffer("\x43", 1, 2, {}, false);
    ASSERT_FALSE(contiguous());
    // Bytes 1 and 2 are 00 (old piece) and 43 (inserted piece).
    EXPECT_EQ(editor.UnicodeCharAt(1), u'\x4300');
}
