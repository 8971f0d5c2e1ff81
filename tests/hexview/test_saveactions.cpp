// Saving from the window: backup, title mark, failures, unsaved changes.

#include "window_fixture.h"

#include "hexview/saveactions.h"

#include <QDir>
#include <QMenu>
#include <csignal>
#include <sys/resource.h>

using namespace hexview;

namespace {

class SaveWindowTest : public HexViewWindowTest
{
protected:
    void TearDown() override
    {
        AskToSaveChanges = m_ask;
        AskSaveFileName = m_askName;
    }
    const std::function<QMessageBox::StandardButton(HexViewWindow&)> m_ask = AskToSaveChanges;
    const std::function<QString(HexViewWindow&)> m_askName = AskSaveFileName;

    QString openChanged(const QByteArray& bytes)
    {
        const QString path = files.Write("data.bin", bytes);
        EXPECT_TRUE(window->OpenFile(path));
        const uint8_t b = 'Z';
        Editor().WriteBuffer(&b, 0, 1);
        return path;
    }
};

} // namespace

TEST_F(SaveWindowTest, SaveWritesTheDataKeepsABackupAndClearsTheTitleMark)
{
    const QString path = openChanged("abcdef");
    EXPECT_EQ(window->windowTitle(), "data.bin* - hexview");
    ASSERT_TRUE(SaveDocument(*window));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_EQ(TTestFolder::Read(path), QByteArray("Zbcdef"));
    EXPECT_EQ(TTestFolder::Read(path + ".bak"), QByteArray("abcdef"));
    EXPECT_EQ(window->windowTitle(), "data.bin - hexview");
    EXPECT_FALSE(Editor().Modified());
}

TEST_F(SaveWindowTest, SaveFailingPartWayShowsTheErrorAndKeepsTheOriginal)
{
    const QByteArray original(256 * 1024, 'o');
    const QString path = openChanged(original);
    rlimit previous {};
    getrlimit(RLIMIT_FSIZE, &previous);
    auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = SaveDocument(*window);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);

    EXPECT_FALSE(saved);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot save %1.\r\n(").arg(path))) << errors[0].toStdString();
    EXPECT_EQ(TTestFolder::Read(path), original);
    EXPECT_TRUE(Editor().Modified());
    EXPECT_EQ(window->windowTitle(), "data.bin* - hexview");
}

TEST_F(SaveWindowTest, SaveOfAnUntitledDocumentAsksForAName)
{
    QString asked;
    AskSaveFileName = [&](HexViewWindow&) { return asked = files.dir.filePath("new.bin"); };
    EXPECT_TRUE(SaveDocument(*window));
    EXPECT_EQ(Editor().FileName(), asked);
    EXPECT_EQ(TTestFolder::Read(asked), QByteArray());
    EXPECT_EQ(window->windowTitle(), "new.bin - hexview");

    AskSaveFileName = [](HexViewWindow&) { return QString(); }; // cancelled
    Editor().CreateEmptyFile(QString());
    EXPECT_FALSE(SaveDocument(*window));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(SaveWindowTest, ClosingWithUnsavedChangesAsksSaveDiscardOrCancel)
{
    const QString path = openChanged("abc");
    int asked = 0;
    AskToSaveChanges = [&](HexViewWindow&) { ++asked; return QMessageBox::Cancel; };
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(asked, 1);

    AskToSaveChanges = [&](HexViewWindow&) { ++asked; return QMessageBox::Save; };
    EXPECT_TRUE(window->close());
    EXPECT_EQ(TTestFolder::Read(path), QByteArray("Zbc"));
    EXPECT_EQ(asked, 2);
}

TEST_F(SaveWindowTest, OpeningAnotherFileWithUnsavedChangesCanBeCancelledOrDiscarded)
{
    const QString path = openChanged("abc");
    const QString other = files.Write("other.bin", "xyz");
    AskToSaveChanges = [](HexViewWindow&) { return QMessageBox::Cancel; };
    EXPECT_FALSE(window->OpenFile(other));
    EXPECT_EQ(Editor().FileName(), path);
    EXPECT_TRUE(Editor().Modified());

    AskToSaveChanges = [](HexViewWindow&) { return QMessageBox::Discard; };
    EXPECT_TRUE(window->OpenFile(other));
    EXPECT_EQ(Editor().FileName(), other);
    EXPECT_EQ(TTestFolder::Read(path), QByteArray("abc"));
    EXPECT_FALSE(QFile::exists(path + ".bak"));
}

TEST_F(SaveWindowTest, TheFileMenuOffersSaveAndPrintAboveQuit)
{
    QStringList names;
    for (QAction* action : window->FileMenu()->actions())
        if (!action->isSeparator() && !action->menu())
            names << action->objectName();
    EXPECT_EQ(names, (QStringList{"actionNew", "actionOpen", "actionNewFromClipboard", "actionCompareWith",
                                  "actionSave", "actionSaveAs", "actionPrint", "actionPrintPreview",
                                  "actionExportPdf", "actionReload", "actionClose", "actionQuit"}));
}
