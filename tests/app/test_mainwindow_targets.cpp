// Where the window's Extract and Insert may write: never the image a boot
// block is cut from, and an existing file only after the question.

#include "app/apperrors.h"
#include "app/commandline.h"
#include "app/scripteddialogs.h"
#include "app/unit1.h"
#include "test_folder.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>

#include <gtest/gtest.h>

#include <memory>

namespace {

using TBox = TScriptedFormDialogs::TBox;

// An image with the boot marker at markerAt; the bytes vary with their offset.
QByteArray MarkedImage(int size, int markerAt, uint8_t salt)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(((i >> 8) ^ i ^ salt) & 0x7F);
    bytes.replace(markerAt, 4, QByteArray("\xE3\x00\x00\x10", 4));
    return bytes;
}

QByteArray BootBytes(uint8_t seed)
{
    QByteArray bytes(0x10000, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 13 + seed) & 0xFF);
    return bytes;
}

class WindowTargetsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dialogs = new TScriptedFormDialogs;
        form = std::make_unique<TForm1>(std::unique_ptr<IFormDialogs>(dialogs));
    }
    void Open(const QString& path)
    {
        dialogs->Choose(path);
        form->Button4->click();
        dialogs->ClearRecords();
    }
    QString Path(const QString& name) const { return folder.dir.filePath(name); }
    // What the command line says for `extract image target`.
    static QString CommandLineError(const QString& image, const QString& target)
    {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        editboot::RunCommandLine({QStringLiteral("extract"), image, target}, outStream, errStream);
        return err;
    }

    TTestFolder folder;
    TScriptedFormDialogs* dialogs = nullptr; // owned by the form
    std::unique_ptr<TForm1> form;
};

TEST_F(WindowTargetsTest, ExtractOntoTheImageItselfIsRefusedWithTheCommandLinesText)
{
    const QByteArray image = MarkedImage(0x12000, 0x200, 1);
    const QString imagePath = folder.Write("firmware.bin", image);
    ASSERT_TRUE(QFile::link(imagePath, Path("alias.bin")));
    Open(imagePath);

    // The name "firmware" becomes firmware.bin: the image. A link to it is the
    // image too.
    for (const QString& chosen : {Path("firmware"), Path("alias")}) {
        SCOPED_TRACE(chosen.toStdString());
        dialogs->ClearRecords();
        dialogs->Choose(chosen);
        form->Button2->click();
        ASSERT_EQ(dialogs->Boxes().size(), 1u);
        const TBox& box = dialogs->Boxes()[0];
        EXPECT_EQ(box.BoxKind, TBox::bkUnhandled);
        const QString expected = QStringLiteral("Cannot write the boot block to \"%1.bin\": it is the image itself.")
                                     .arg(chosen);
        EXPECT_EQ(box.Text, expected);
        EXPECT_TRUE(CommandLineError(imagePath, chosen + ".bin").contains(expected))
            << "the command line says the same";
        EXPECT_TRUE(dialogs->Questions().isEmpty()) << "refused before any question";
        EXPECT_EQ(TTestFolder::Read(imagePath), image);
    }
    EXPECT_TRUE(QFileInfo(Path("alias.bin")).isSymLink());

    // The open image stays protected when the path box names another image.
    const QByteArray other = MarkedImage(0x11000, 0x40, 2);
    form->Edit1->setText(folder.Write("other.bin", other));
    dialogs->ClearRecords();
    dialogs->Choose(Path("firmware"));
    form->Button2->click();
    ASSERT_EQ(dialogs->Boxes().size(), 1u);
    EXPECT_EQ(dialogs->Boxes()[0].BoxKind, TBox::bkUnhandled);
    EXPECT_EQ(TTestFolder::Read(imagePath), image);
    EXPECT_EQ(TTestFolder::Read(Path("other.bin")), other);
}

TEST_F(WindowTargetsTest, AnExistingTargetIsReplacedOnlyAfterYes)
{
    const QByteArray image = MarkedImage(0x12000, 0x100, 3);
    const QString imagePath = folder.Write("firmware.bin", image);
    Open(imagePath);

    // A new name: no question.
    dialogs->Choose(Path("boot"));
    form->Button2->click();
    EXPECT_TRUE(dialogs->Questions().isEmpty());
    const QByteArray block = image.mid(0x100, 0x10000);
    ASSERT_EQ(TTestFolder::Read(Path("boot.bin")), block);

    // Insert's save dialog still holds "boot": the patched image would land on
    // the boot file just extracted. No keeps everything.
    const QString newBoot = folder.Write("new.dat", BootBytes(5));
    dialogs->ClearRecords();
    dialogs->Choose(newBoot);
    dialogs->Choose(form->SaveDialog1.FileName);
    dialogs->Answer(false);
    form->Button3->click();
    EXPECT_EQ(dialogs->Questions(), QStringList{"boot.bin already exists. Replace it?"});
    EXPECT_TRUE(dialogs->Boxes().empty()) << "no message after No";
    EXPECT_EQ(TTestFolder::Read(Path("boot.bin")), block);

    // Extract onto the existing boot file, No: unchanged; Yes: replaced.
    folder.Write("boot.bin", "older boot file");
    dialogs->ClearRecords();
    dialogs->Choose(Path("boot"));
    dialogs->Answer(false);
    form->Button2->click();
    EXPECT_EQ(dialogs->Questions().size(), 1);
    EXPECT_EQ(TTestFolder::Read(Path("boot.bin")), QByteArray("older boot file"));
    dialogs->ClearRecords();
    dialogs->Choose(Path("boot"));
    dialogs->Answer(true);
    form->Button2->click();
    EXPECT_EQ(dialogs->Questions().size(), 1);
    EXPECT_EQ(TTestFolder::Read(Path("boot.bin")), block);
    ASSERT_EQ(dialogs->Boxes().size(), 1u);
    EXPECT_EQ(dialogs->Boxes()[0].Text, QStringLiteral("File Saved to: %1.bin!").arg(Path("boot")));

    // Insert onto the image itself is allowed, after the question.
    dialogs->ClearRecords();
    dialogs->Choose(newBoot);
    dialogs->Choose(Path("firmware"));
    dialogs->Answer(false);
    form->Button3->click();
    EXPECT_EQ(dialogs->Questions(), QStringList{"firmware.bin already exists. Replace it?"});
    EXPECT_EQ(TTestFolder::Read(imagePath), image);
    dialogs->ClearRecords();
    dialogs->Choose(newBoot);
    dialogs->Choose(Path("firmware"));
    dialogs->Answer(true);
    form->Button3->click();
    QByteArray patched = image;
    patched.replace(0x100, 0x10000, BootBytes(5));
    EXPECT_EQ(TTestFolder::Read(imagePath), patched);
    EXPECT_EQ(folder.Entries(), (QStringList{"boot.bin", "firmware.bin", "new.dat"})) << "no stray files";
}

} // namespace
