// The ID strings read through a real editor's selection, as the window and
// `editboot info` read them.

#include "app/idstrings.h"
#include "firmware/core/bootimage.h"

#include "hexeditor/mphexeditor.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace boot;

// An image of size bytes that holds no E3 byte.
QByteArray PlainImage(qsizetype size, int seed = 1)
{
    QByteArray image(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i) {
        uint8_t b = static_cast<uint8_t>(i * 7 + seed + (i >> 8));
        if (b == 0xE3)
            b = 0x42;
        image[i] = static_cast<char>(b);
    }
    return image;
}

class IdStrings : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    void Load(const QByteArray& image)
    {
        const QString path = m_dir.filePath(QStringLiteral("image.bin"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(image), image.size());
        f.close();
        m_editor.LoadFromFile(path);
    }
    // The message of the editor error raised while reading bytes first..last.
    std::string ErrorReading(int32_t first, int32_t last)
    {
        try {
            ReadIdBytes(m_editor, first, last);
        } catch (const EMPHexEditor& e) {
            return e.Message().toStdString();
        }
        return "no error";
    }

    QTemporaryDir m_dir;
    TMPHexEditor m_editor;
};

TEST_F(IdStrings, ReadsBothRangesOfAHundredByteImage)
{
    QByteArray image(100, '\x20');
    image.replace(FirstIdStart, 13, "ABCDEFGHIJKLM");
    image.replace(SecondIdStart, 11, "01234567890");
    Load(image);
    const QByteArray first = ReadIdBytes(m_editor, FirstIdStart, FirstIdEnd);
    const QByteArray second = ReadIdBytes(m_editor, SecondIdStart, SecondIdEnd);
    EXPECT_EQ(first, QByteArray("ABCDEFGHIJKLM"));
    EXPECT_EQ(second, QByteArray("01234567890"));
    EXPECT_EQ(IdLabelText(first), "ABCDEFGHIJKLM");
    EXPECT_EQ(IdLabelText(second), "01234567890");
}

TEST_F(IdStrings, AZeroByteEndsTheLabelText)
{
    QByteArray image(64, 'x');
    image.replace(FirstIdStart, 13, QByteArray("ABC\0EFGHIJKLM", 13));
    image.replace(SecondIdStart, 11, QByteArray("\0" "1234567890", 11));
    Load(image);
    const QByteArray first = ReadIdBytes(m_editor, FirstIdStart, FirstIdEnd);
    EXPECT_EQ(first, QByteArray("ABC\0EFGHIJKLM", 13)); // the bytes keep the zero
    EXPECT_EQ(IdLabelText(first), "ABC");
    EXPECT_EQ(IdLabelText(ReadIdBytes(m_editor, SecondIdStart, SecondIdEnd)), "");
}

TEST_F(IdStrings, ShortImagesRaiseTheSelectionErrors)
{
    Load(QByteArray());
    EXPECT_EQ(ErrorReading(FirstIdStart, FirstIdEnd), "Invalid selection start");

    Load(PlainImage(40));
    EXPECT_EQ(ErrorReading(FirstIdStart, FirstIdEnd), "Invalid selection end");

    Load(PlainImage(47));
    EXPECT_EQ(ReadIdBytes(m_editor, FirstIdStart, FirstIdEnd), PlainImage(47).mid(32, 13));
    EXPECT_EQ(ErrorReading(SecondIdStart, SecondIdEnd), "Invalid selection start");

    Load(PlainImage(50));
    EXPECT_EQ(ErrorReading(SecondIdStart, SecondIdEnd), "Invalid selection end");

    Load(PlainImage(59));
    EXPECT_EQ(ReadIdBytes(m_editor, SecondIdStart, SecondIdEnd), PlainImage(59).mid(48, 11));
}

} // namespace
