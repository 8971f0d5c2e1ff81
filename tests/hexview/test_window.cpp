// The window: loading with progress and its errors, the title, the status
// bar, recent files, the menus and the command line's settings.

#include "window_fixture.h"

#include "hexview/firmwareoverlay.h"
#include "hexview/statusbar.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

using namespace hexview;

TEST_F(HexViewWindowTest, StartsEmptyWithAllMenus)
{
    EXPECT_EQ(Editor().DataSize(), 0);
    EXPECT_EQ(window->windowTitle(), "Untitled - hexview");
    // One document: the tabs fill the window and show no tab bar.
    auto* tabs = qobject_cast<QTabWidget*>(window->centralWidget());
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->currentWidget(), &Editor());
    EXPECT_EQ(window->DocumentCount(), 1);
    EXPECT_FALSE(tabs->tabBar()->isVisible());
    QStringList titles;
    for (QAction* action : window->menuBar()->actions())
        titles << action->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&View", "&Bookmarks", "&Help"}));
    EXPECT_EQ(window->StatusFields().Size()->text(), "Size 0 bytes");
    // A new document is not read-only: the access field says nothing.
    EXPECT_EQ(window->StatusFields().Access()->text(), "");
}

TEST_F(HexViewWindowTest, OpeningAFileShowsItsNameSizeAndRemembersIt)
{
    const QString path = files.Write("data.bin", QByteArray(1000, 'x'));
    ASSERT_TRUE(window->OpenFile(path));
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(Editor().DataSize(), 1000);
    EXPECT_EQ(window->windowTitle(), "data.bin - hexview");
    EXPECT_EQ(window->StatusFields().Size()->text(), "Size 1,000 bytes");
    EXPECT_EQ(window->StatusFields().Offset()->text(), "Offset 0x0 (0)");
    EXPECT_EQ(window->StatusFields().Access()->text(), "Writable");
    ASSERT_FALSE(window->RecentFiles().isEmpty());
    EXPECT_EQ(window->RecentFiles().first(), QFileInfo(path).absoluteFilePath());

    // The list is stored: a second window starts with it in its menu.
    HexViewWindow second;
    ASSERT_EQ(second.RecentFiles(), window->RecentFiles());
    QMenu* recent = second.findChild<QMenu*>("menuRecentFiles");
    ASSERT_NE(recent, nullptr);
    ASSERT_EQ(recent->actions().size(), 1);
    EXPECT_TRUE(recent->actions().first()->text().endsWith("data.bin"));
    recent->actions().first()->trigger();
    EXPECT_EQ(second.Editor().DataSize(), 1000);
}

TEST_F(HexViewWindowTest, AMissingFileIsReportedAndTheWindowStaysUsable)
{
    const QString loaded = files.Write("first.bin", "abcdef");
    ASSERT_TRUE(window->OpenFile(loaded));
    const QString missing = files.dir.filePath("missing.bin");
    EXPECT_FALSE(window->OpenFile(missing));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("Cannot open " + missing)) << errors[0].toStdString();
    // Nothing was read: the document before stays, and is not in the list twice.
    EXPECT_EQ(Editor().DataSize(), 6);
    EXPECT_EQ(window->windowTitle(), "first.bin - hexview");
    EXPECT_EQ(window->RecentFiles().size(), 1);
    const QString next = files.Write("next.bin", "0123456789");
    EXPECT_TRUE(window->OpenFile(next));
    EXPECT_EQ(Editor().DataSize(), 10);
}

TEST_F(HexViewWindowTest, TheLoadingDialogIsGoneWhileAnErrorIsShown)
{
    // The error box runs an event loop; the loading dialog's delayed showing
    // (a timer of its own) must not put it on top of the message.
    int dialogs = 0;
    bool shownOrPending = false;
    window->ErrorReporter = [&](const QString& text) {
        errors << text;
        QTest::qWait(50);
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (!qobject_cast<QProgressDialog*>(widget))
                continue;
            ++dialogs;
            shownOrPending |= widget->isVisible();
            for (const QTimer* timer : widget->findChildren<QTimer*>())
                shownOrPending |= timer->isActive();
        }
    };
    EXPECT_FALSE(window->OpenFile(files.dir.filePath("missing.bin")));
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(dialogs, 1) << "the loading dialog still exists while the error is shown";
    EXPECT_FALSE(shownOrPending);
}

TEST_F(HexViewWindowTest, FilesOf2GiBAreRefusedWithTheEditorsMessage)
{
    const QString path = files.dir.filePath("huge.bin");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        if (!file.resize(qint64(1) << 31))
            GTEST_SKIP() << "no room for a sparse 2 GiB file here";
    }
    EXPECT_FALSE(window->OpenFile(path));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], QStringLiteral("Cannot open %1: the file is 2147483648 bytes long, the editor holds at most "
                                        "2147483647 bytes.")
                             .arg(path));
    EXPECT_EQ(Editor().DataSize(), 0);
    EXPECT_TRUE(window->RecentFiles().isEmpty());
    EXPECT_EQ(window->windowTitle(), "Untitled - hexview");
}

TEST_F(HexViewWindowTest, ProgressIsShownAndCancelStopsTheLoad)
{
    const QString big = files.Write("big.bin", QByteArray(4 * 1024 * 1024, 'b'));
    QList<int> reports;
    window->ProgressHook = [&](QProgressDialog& dialog, int percent) {
        reports << percent;
        EXPECT_EQ(dialog.value(), percent);
        if (percent >= 30)
            dialog.cancel();
    };
    EXPECT_FALSE(window->OpenFile(big));
    ASSERT_FALSE(reports.isEmpty());
    EXPECT_EQ(reports.first(), 0);
    EXPECT_GE(reports.last(), 30);
    EXPECT_LT(reports.last(), 100) << "the load stopped at the first report after cancel";
    // Cancelling is no error: no box, a word in the status bar, and the
    // document shown before stays.
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
    EXPECT_EQ(window->statusBar()->currentMessage(), "Loading cancelled");
    EXPECT_EQ(Editor().DataSize(), 0);
    EXPECT_FALSE(Editor().HasFile());
    EXPECT_EQ(window->windowTitle(), "Untitled - hexview");
    EXPECT_TRUE(window->RecentFiles().isEmpty());

    // Usable afterwards: the next load runs to 100.
    reports.clear();
    window->ProgressHook = [&](QProgressDialog&, int percent) { reports << percent; };
    EXPECT_TRUE(window->OpenFile(big));
    EXPECT_EQ(reports.last(), 100);
    EXPECT_EQ(Editor().DataSize(), 4 * 1024 * 1024);
}

TEST_F(HexViewWindowTest, StatusFollowsTheSelection)
{
    ASSERT_TRUE(window->OpenFile(files.Write("sel.bin", QByteArray(256, 's'))));
    Editor().SetSelStart(0x20);
    Editor().SetSelEnd(0x2C);
    QCoreApplication::processEvents(); // the deferred selection notification
    EXPECT_EQ(window->StatusFields().Selection()->text(), "Sel 0x20 (32), length 13");
    EXPECT_EQ(window->StatusFields().Field()->text(), "Hex");
    EXPECT_EQ(window->StatusFields().Mode()->text(), "OVR");
}

TEST_F(HexViewWindowTest, CommandLineSettingsReachTheEditor)
{
    // Odd size in unicode mode: the mode is set before the file is loaded.
    TViewOptions options;
    options.FileNames = {files.Write("odd.bin", "abcdefg")};
    options.BytesPerRow = 8;
    options.Unicode = true;
    options.BigEndian = true;
    options.Ruler = true;
    options.RulerBase = 10;
    options.OffsetFormat = QStringLiteral("-!10:0x|");
    options.ReadOnly = true;
    options.SelFirst = 2;
    options.SelLast = 5;
    ASSERT_TRUE(window->ApplyOptions(options)) << errors.join('\n').toStdString();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(Editor().BytesPerRow(), 8);
    EXPECT_TRUE(Editor().UnicodeChars());
    EXPECT_TRUE(Editor().UnicodeBigEndian());
    EXPECT_TRUE(Editor().ShowRuler());
    EXPECT_EQ(Editor().RulerNumberBase(), 10);
    EXPECT_EQ(Editor().DataSize(), 7);
    EXPECT_EQ(Editor().SelFirst(), 2);
    EXPECT_EQ(Editor().SelLast(), 5);
    EXPECT_TRUE(window->ReadOnlyView());
    EXPECT_EQ(window->StatusFields().Access()->text(), "View only");
}

TEST_F(HexViewWindowTest, ASelectionPastTheEndIsReportedWithTheEditorsText)
{
    TViewOptions options;
    options.FileNames = {files.Write("short.bin", "0123456789")};
    options.SelFirst = 4;
    options.SelLast = 44;
    EXPECT_FALSE(window->ApplyOptions(options));
    EXPECT_EQ(errors, QStringList{"Invalid selection end."});
    EXPECT_EQ(Editor().DataSize(), 10) << "the file stays loaded";
}

TEST_F(HexViewWindowTest, ViewActionsThatTheEditorRefusesAreReportedAndUnchecked)
{
    ASSERT_TRUE(window->OpenFile(files.Write("odd.bin", "abc")));
    QAction* unicode = window->findChild<QAction*>("actionUnicode");
    ASSERT_NE(unicode, nullptr);
    unicode->trigger();
    EXPECT_EQ(errors, QStringList{"Cannot use unicode mode with odd-sized files."});
    EXPECT_FALSE(Editor().UnicodeChars());
    EXPECT_FALSE(unicode->isChecked());

    QAction* ruler = window->findChild<QAction*>("actionRuler");
    ASSERT_NE(ruler, nullptr);
    ruler->trigger();
    EXPECT_TRUE(Editor().ShowRuler());
    EXPECT_TRUE(ruler->isChecked());
}

TEST_F(HexViewWindowTest, AWriteProtectedFileIsNamedAsSuchNotAsAView)
{
    const QString path = files.Write("locked.bin", QByteArray(64, 'x'));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    ASSERT_TRUE(window->OpenFile(path));
    EXPECT_TRUE(Editor().ReadOnlyFile());
    EXPECT_FALSE(window->ReadOnlyView());
    EXPECT_EQ(window->StatusFields().Access()->text(), "File write-protected");
    window->SetReadOnlyView(true);
    EXPECT_EQ(window->StatusFields().Access()->text(), "View only");
    window->SetReadOnlyView(false);
    EXPECT_EQ(window->StatusFields().Access()->text(), "File write-protected");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(HexViewWindowTest, TheDeleteCharacterIsDrawnAsTheOtherControlCodes)
{
    ASSERT_TRUE(window->OpenFile(files.Write("del.bin", QByteArray("A\x7F\x01", 3))));
    // The component's own masked set stays as it is: 0x7F is not in it.
    EXPECT_FALSE(Editor().MaskedChars().test(0x7F));
    ASSERT_TRUE(Editor().OnDrawCell);
    QImage image(64, 64, QImage::Format_RGB32);
    QPainter painter(&image);
    const QRect rect(0, 0, 10, 16);
    bool defaultDraw = true;
    QString text(QChar(0x7F));
    const int charCol = Editor().HexColumnCount() + 3 + 1; // character cell of byte 1
    Editor().OnDrawCell(&Editor(), &painter, charCol, 2, text, rect, defaultDraw);
    EXPECT_EQ(text, ".");
    EXPECT_TRUE(defaultDraw);
    // Other texts pass unchanged.
    text = QStringLiteral("A");
    Editor().OnDrawCell(&Editor(), &painter, charCol - 1, 2, text, rect, defaultDraw);
    EXPECT_EQ(text, "A");
    text = QStringLiteral("7F");
    Editor().OnDrawCell(&Editor(), &painter, 3, 2, text, rect, defaultDraw);
    EXPECT_EQ(text, "7F");
    // The bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
    // arrive as C1 control codes, which no font draws either.
    for (const char16_t c : {u'\u0081', u'\u008D', u'\u008F', u'\u0090', u'\u009D'}) {
        text = QString(QChar(c));
        Editor().OnDrawCell(&Editor(), &painter, charCol, 2, text, rect, defaultDraw);
        EXPECT_EQ(text, ".") << int(c);
    }
    // Characters with glyphs, the space among them, are drawn as they are.
    for (const char16_t c : {u' ', u'\u00A0', u'\u20AC', u'\u00FF'}) {
        text = QString(QChar(c));
        Editor().OnDrawCell(&Editor(), &painter, charCol, 2, text, rect, defaultDraw);
        EXPECT_EQ(text, QString(QChar(c))) << int(c);
    }
}
