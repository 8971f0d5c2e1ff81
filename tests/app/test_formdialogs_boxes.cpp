// The window's real message boxes (not the scripted ones): Ctrl+C copies a
// box's caption, text and buttons.

#include "app/formdialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString kRule = QStringLiteral("---------------------------\n");

// Presses Ctrl+C in the box shown next, keeps what reached the clipboard in
// copied, then presses the button labelled answer.
void CopyFromNextBox(QString& copied, const QString& answer)
{
    QGuiApplication::clipboard()->clear();
    QTimer::singleShot(0, [&copied, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr) << "no box is shown";
        box->activateWindow();
        QApplication::setActiveWindow(box);
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        copied = QGuiApplication::clipboard()->text();
        for (QAbstractButton* button : box->buttons())
            if (button->text() == answer)
                button->click();
    });
}

TEST(FormDialogBoxes, CtrlCCopiesCaptionTextAndButtons)
{
    TQtFormDialogs dialogs(nullptr);
    QString copied;
    CopyFromNextBox(copied, QStringLiteral("OK"));
    dialogs.UnhandledError(QStringLiteral("Cannot write the boot block to \"/x/fw.bin\": it is the image itself."));
    EXPECT_EQ(copied, kRule + "editboot\n" + kRule +
                          "Cannot write the boot block to \"/x/fw.bin\": it is the image itself.\n" + kRule + "OK\n" +
                          kRule);

    CopyFromNextBox(copied, QStringLiteral("OK"));
    dialogs.Information(QStringLiteral("File Saved to: /x/boot.bin!"));
    EXPECT_EQ(copied, kRule + "Information\n" + kRule + "File Saved to: /x/boot.bin!\n" + kRule + "OK\n" + kRule);

    CopyFromNextBox(copied, QStringLiteral("No"));
    EXPECT_FALSE(dialogs.Question(QStringLiteral("boot.bin already exists. Replace it?")));
    EXPECT_EQ(copied, kRule + "editboot\n" + kRule + "boot.bin already exists. Replace it?\n" + kRule + "Yes   No\n" +
                          kRule);
}

} // namespace
