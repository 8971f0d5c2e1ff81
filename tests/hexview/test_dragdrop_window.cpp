// hexview's drag and drop: files dropped outside the editor open, the editor
// takes part in drag and drop, and the offset popup switches the radix.

#include "window_fixture.h"

#include "hexview/dragdropactions.h"

#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

TEST_F(HexViewWindowTest, FilesDroppedOnTheWindowOpenEachInATab)
{
    const QString path = files.Write(QStringLiteral("dropped.bin"), QByteArray("\x01\x02\x03", 3));
    const QString second = files.Write(QStringLiteral("second.bin"), QByteArray("abcde"));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path), QUrl::fromLocalFile(second)});
    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &mime, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_NE(Editor().FileName(), path) << "the drop is answered before the file opens";
    QApplication::processEvents();
    // The first takes the unused Untitled tab, the second a tab of its own
    // and comes to the front.
    ASSERT_EQ(window->DocumentCount(), 2);
    EXPECT_EQ(window->Document(0).Editor().FileName(), path);
    EXPECT_EQ(window->Document(0).Editor().DataSize(), 3);
    EXPECT_EQ(Editor().FileName(), second);
    EXPECT_EQ(Editor().DataSize(), 5);
    EXPECT_EQ(window->CurrentIndex(), 1);
    EXPECT_TRUE(errors.isEmpty());

    QMimeData text;
    text.setText(QStringLiteral("not a file"));
    QDragEnterEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_TRUE(Editor().OleDragDrop());
}

TEST_F(HexViewWindowTest, OffsetPopupSwitchesTheRadix)
{
    QMenu* menu = Editor().OffsetPopupMenu();
    ASSERT_NE(menu, nullptr);
    auto action = [menu](const QString& text) -> QAction* {
        for (QAction* a : menu->actions())
            if (a->text().remove(QLatin1Char('&')) == text)
                return a;
        return nullptr;
    };
    ASSERT_NE(action(QStringLiteral("Decimal")), nullptr);
    action(QStringLiteral("Decimal"))->trigger();
    EXPECT_EQ(Editor().OffsetFormatRecord().Radix, 10);
    action(QStringLiteral("Octal"))->trigger();
    EXPECT_EQ(Editor().OffsetFormatRecord().Radix, 8);
    EXPECT_EQ(Editor().OffsetFormat(), QStringLiteral("-!8:0|"));
    emit menu->aboutToShow();
    EXPECT_TRUE(action(QStringLiteral("Octal"))->isChecked());
    EXPECT_FALSE(action(QStringLiteral("Hexadecimal"))->isChecked());
    action(QStringLiteral("Hexadecimal"))->trigger();
    EXPECT_EQ(Editor().OffsetFormat(), QStringLiteral("-!10:0x|"));
}

TEST(HexViewDragDrop, LocalFilesOfDroppedData)
{
    QMimeData mime;
    mime.setUrls({QUrl(QStringLiteral("https://example.org/a.bin")), QUrl::fromLocalFile(QStringLiteral("/tmp/b.bin"))});
    EXPECT_EQ(hexview::LocalFilesOf(&mime), QStringList{QStringLiteral("/tmp/b.bin")});
    EXPECT_TRUE(hexview::LocalFilesOf(nullptr).isEmpty());
}
