// Typing through real key events: hex digits and characters in overwrite
// and insert mode, invalid and masked characters, deletion keys, and errors
// of the editing operations reaching the application's error handler.

#include "input_fixture.h"

#include "platform/core/apperror.h"

#include <QInputMethodEvent>

namespace {

// Collects the messages of errors handed to the application's error handler.
class ErrorCatcher
{
public:
    ErrorCatcher()
    {
        m_previous = SetApplicationErrorHandler([this](std::exception_ptr error) {
            try {
                std::rethrow_exception(error);
            } catch (const EMPHexEditor& e) {
                messages << e.Message();
            } catch (...) {
                messages << QStringLiteral("<other error>");
            }
        });
    }
    ~ErrorCatcher() { SetApplicationErrorHandler(m_previous); }
    QStringList messages;

private:
    TApplicationErrorHandler m_previous;
};

} // namespace

class TypingTest : public InputTest
{
protected:
    int32_t caret() { return editor.PositionAtCell(editor.Col(), editor.Row()); }
    QByteArray data()
    {
        QByteArray bytes(editor.DataSize(), '\0');
        if (!bytes.isEmpty())
            editor.ReadBuffer(bytes.data(), 0, bytes.size());
        return bytes;
    }
    int invalidKeys = 0;
    void countInvalidKeys()
    {
        editor.OnInvalidKey = [this](QObject*) { ++invalidKeys; };
    }
};

TEST_F(TypingTest, HexDigitsOverwriteNibbleByNibble)
{
    load(QByteArray::fromHex("5A5A5A5A"));
    in.type("c");
    EXPECT_EQ(byteAt(0), 0xCA);
    EXPECT_EQ(caret(), 0);
    EXPECT_EQ(editor.Col(), 3) << "on to the second digit";
    in.type("3");
    EXPECT_EQ(byteAt(0), 0xC3);
    EXPECT_EQ(caret(), 1);
    EXPECT_EQ(editor.Col(), 4) << "on to the next byte";
    in.type("Ff");
    EXPECT_EQ(byteAt(1), 0xFF) << "upper and lower case digits";
    EXPECT_TRUE(editor.Modified());
    EXPECT_EQ(editor.DataSize(), 4);

    // The last byte's second digit: the caret stays, the size too.
    caretTo(3);
    in.type("12");
    EXPECT_EQ(byteAt(3), 0x12);
    EXPECT_EQ(caret(), 3);
    EXPECT_EQ(editor.DataSize(), 4);
}

TEST_F(TypingTest, SwappedNibblesTypeTheLowNibbleFirst)
{
    load(QByteArray::fromHex("5A5A"));
    editor.SetSwapNibbles(true);
    in.type("c");
    EXPECT_EQ(byteAt(0), 0x5C);
    in.type("1");
    EXPECT_EQ(byteAt(0), 0x1C);
}

TEST_F(TypingTest, OverwriteTypingDropsTheSelection)
{
    load(QByteArray::fromHex("0011223344"));
    editor.SetSelStart(1);
    editor.SetSelEnd(3);
    caretTo(2);
    editor.SetSelection(1, 3);
    in.type("9");
    EXPECT_EQ(data(), QByteArray::fromHex("0011923344"));
    EXPECT_EQ(editor.SelCount(), 0);
}

TEST_F(TypingTest, InsertModeInsertsAUnitOnItsFirstColumn)
{
    load(QByteArray::fromHex("0001020304050607"));
    editor.SetBytesPerUnit(2);
    editor.SetInsertMode(true);
    caretTo(2);
    in.type("7");
    EXPECT_EQ(data().toHex(), QByteArray("00017000020304050607"));
    EXPECT_EQ(caret(), 2);
    EXPECT_EQ(editor.Col() % 2, 1) << "on the inserted byte's second digit";
    in.type("3");
    EXPECT_EQ(data().toHex(), QByteArray("00017300020304050607")) << "off the unit start: overwrite";
}

TEST_F(TypingTest, InsertModeTypingOfBytesAndAtTheEnd)
{
    load(QByteArray::fromHex("AABB"));
    editor.SetInsertMode(true);
    in.type("12");
    EXPECT_EQ(data().toHex(), QByteArray("12aabb"));
    EXPECT_EQ(caret(), 1);
    in.key(Qt::Key_End, Qt::ControlModifier);
    ASSERT_EQ(caret(), 3);
    in.type("4");
    EXPECT_EQ(data().toHex(), QByteArray("12aabb40")) << "at the end the digit is appended";
    in.type("5");
    EXPECT_EQ(data().toHex(), QByteArray("12aabb45"));
    EXPECT_EQ(caret(), 4);

    // Over a selection: the selection is replaced by the typed byte.
    editor.SetSelStart(1);
    editor.SetSelEnd(2);
    in.type("e");
    EXPECT_EQ(data().toHex(), QByteArray("12e045"));
}

TEST_F(TypingTest, SwappedNibblesInsertTheTypedDigitAlsoOverASelection)
{
    load(QByteArray::fromHex("AABBCC"));
    editor.SetSwapNibbles(true);
    editor.SetInsertMode(true);
    in.type("7");
    EXPECT_EQ(data().toHex(), QByteArray("07aabbcc"));
    editor.SetSelStart(1);
    editor.SetSelEnd(2);
    in.type("5");
    EXPECT_EQ(data().toHex(), QByteArray("0705cc")) << "the typed digit, not the old low nibble";
}

TEST_F(TypingTest, InvalidAndMaskedCharacters)
{
    load(QByteArray::fromHex("5A5A"));
    countInvalidKeys();
    in.type("g");
    EXPECT_EQ(invalidKeys, 1);
    EXPECT_EQ(data().toHex(), QByteArray("5a5a"));
    EXPECT_EQ(editor.Col(), 2) << "the caret stays";

    // Control characters are masked: ignored without the event.
    QTest::keyClick(&editor, Qt::Key_Escape);
    in.typeUnicode(QChar(0x01));
    EXPECT_EQ(invalidKeys, 1);
    EXPECT_EQ(data().toHex(), QByteArray("5a5a"));
    EXPECT_FALSE(editor.Modified());

    // A Ctrl combination is a command, not typing.
    QTest::keyClick(&editor, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(data().toHex(), QByteArray("5a5a"));

    // In the character field a character outside the 8-bit code page cannot be typed.
    caretTo(0, true);
    in.typeUnicode(QChar(0x0416));
    EXPECT_EQ(invalidKeys, 2);
    EXPECT_EQ(data().toHex(), QByteArray("5a5a"));
}

TEST_F(TypingTest, CharactersOverwriteAndInsertInTheCharacterField)
{
    load(QByteArray("abcd"));
    caretTo(1, true);
    in.type("X");
    EXPECT_EQ(data(), QByteArray("aXcd"));
    EXPECT_EQ(caret(), 2);
    EXPECT_TRUE(editor.InCharField());
    in.typeUnicode(QChar(0xE9));
    EXPECT_EQ(data(), QByteArray("aX\xE9" "d")) << "e-acute is E9 in the 8-bit code page";

    editor.SetInsertMode(true);
    caretTo(1, true);
    in.type("Q");
    EXPECT_EQ(data(), QByteArray("aQX\xE9" "d"));
    EXPECT_EQ(caret(), 2);
    in.key(Qt::Key_End, Qt::ControlModifier);
    in.type("z");
    EXPECT_EQ(data(), QByteArray("aQX\xE9" "dz")) << "appended at the end";
}

TEST_F(TypingTest, TranslationAppliesToTypedCharacters)
{
    load(QByteArray("abcd"));
    editor.SetTranslation(tkDos8);
    caretTo(0, true);
    in.typeUnicode(QChar(0xE9)); // e-acute is 82 in the OEM code page
    EXPECT_EQ(static_cast<uint8_t>(data()[0]), 0x82);
}

TEST_F(TypingTest, UnicodeCharactersInBothByteOrders)
{
    load(QByteArray(8, 'x'));
    editor.SetUnicodeChars(true);
    caretTo(2, true);
    in.typeUnicode(QChar(0x0416));
    EXPECT_EQ(data().toHex(), QByteArray("7878" "1604" "78787878"));
    EXPECT_EQ(caret(), 4);
    editor.SetUnicodeBigEndian(true);
    in.type("A");
    EXPECT_EQ(data().toHex(), QByteArray("7878" "1604" "0041" "7878"));

    // Insert mode inserts a whole character.
    editor.SetUnicodeBigEndian(false);
    editor.SetInsertMode(true);
    caretTo(0, true);
    in.type("B");
    EXPECT_EQ(data().toHex(), QByteArray("4200" "7878" "1604" "0041" "7878"));
}

TEST_F(TypingTest, KeyPressHandlerMayChangeTheCharacter)
{
    load(QByteArray::fromHex("0000"));
    editor.OnKeyPress = [](QObject*, QChar& key) {
        if (key == QLatin1Char('x'))
            key = QLatin1Char('b');
    };
    in.type("x");
    EXPECT_EQ(byteAt(0), 0xB0);
}

TEST_F(TypingTest, ComposedInputArrivesAsTypedCharacters)
{
    load(QByteArray("abcd"));
    caretTo(0, true);
    QInputMethodEvent composed;
    composed.setCommitString(QString(QChar(0xFC)));
    QApplication::sendEvent(&editor, &composed);
    EXPECT_EQ(static_cast<uint8_t>(data()[0]), 0xFC);
    EXPECT_EQ(caret(), 1);
}

TEST_F(TypingTest, ReadOnlyViewIgnoresTypingAndDeletion)
{
    load(QByteArray::fromHex("11223344"));
    editor.SetReadOnlyView(true);
    in.type("ff");
    in.key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(data().toHex(), QByteArray("11223344"));
    EXPECT_FALSE(editor.Modified());
}

TEST_F(TypingTest, BackspaceAndDeleteInInsertMode)
{
    load(QByteArray::fromHex("0011223344"));
    editor.SetInsertMode(true);
    caretTo(2);
    in.key(Qt::Key_Backspace);
    EXPECT_EQ(data().toHex(), QByteArray("00223344"));
    EXPECT_EQ(caret(), 1);
    in.key(Qt::Key_Delete);
    EXPECT_EQ(data().toHex(), QByteArray("003344"));
    EXPECT_EQ(caret(), 1);

    // With a selection both delete it.
    editor.SetSelStart(0);
    editor.SetSelEnd(1);
    in.key(Qt::Key_Backspace);
    EXPECT_EQ(data().toHex(), QByteArray("44"));
}

TEST_F(TypingTest, CtrlDeleteInOverwriteModeDeletesAndNoSizeChangeRefuses)
{
    load(QByteArray::fromHex("0011223344"));
    caretTo(1);
    in.key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(data().toHex(), QByteArray("00223344"));
    editor.SetSelStart(1);
    editor.SetSelEnd(2);
    in.key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(data().toHex(), QByteArray("0044"));

    ErrorCatcher errors;
    editor.SetNoSizeChange(true);
    in.key(Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(errors.messages.size(), 1) << "the error reaches the application's handler";
    EXPECT_EQ(errors.messages[0], QStringLiteral("Cannot update undo storage"));
    EXPECT_EQ(data().toHex(), QByteArray("0044")) << "and nothing changed";
}
