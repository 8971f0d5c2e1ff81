// Loading under hostile conditions: special files, a file that changes while
// it is loaded, the write-access check seen from outside, record locks.

#include "editor_fixture.h"

#include "hexeditor/core/mphoffsetformat.h"
#include "platform/core/exceptions.h"

#include <QFile>

#include <climits>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString LoadErrorOf(TCustomMPHexEditor& editor, const QString& path)
{
    try {
        editor.LoadFromFile(path);
    } catch (const Exception& e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}

} // namespace

TEST_F(EditorTest, SpecialFilesAreRefusedBeforeAnythingIsRead)
{
    editor.LoadFromFile(writeFile("image.bin", pattern(100)));
    const QString fifo = dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(LoadErrorOf(editor, fifo), QStringLiteral("Cannot open %1.\r\n(Not a regular file.)").arg(fifo));
    EXPECT_EQ(LoadErrorOf(editor, "/dev/zero"), "Cannot open /dev/zero.\r\n(Not a regular file.)");
    // The document loaded before stays.
    EXPECT_EQ(editor.DataSize(), 100);
    EXPECT_TRUE(editor.HasFile());
}

TEST_F(EditorTest, AFileThatChangesDuringTheLoadFailsIt)
{
    const QString path = writeFile("image.bin", pattern(400000));
    int reports = 0;
    editor.OnProgress = [&](QObject*, TMPHProgressKind, const QString&, uint8_t, bool&) {
        // Another program appends to the file while it is being read.
        if (++reports == 2) {
            QFile other(path);
            ASSERT_TRUE(other.open(QIODevice::Append));
            other.write("appended");
        }
    };
    EXPECT_TRUE(LoadErrorOf(editor, path).contains("changed while it was read"));
    EXPECT_GE(reports, 2);
    EXPECT_EQ(editor.DataSize(), 0);
    EXPECT_FALSE(editor.HasFile());
    EXPECT_EQ(editor.RowCount(), 3);
    EXPECT_EQ(editor.FileName(), "Untitled");

    // Untouched, the same file loads.
    editor.OnProgress = nullptr;
    editor.LoadFromFile(path);
    EXPECT_EQ(editor.DataSize(), 400008);
}

TEST_F(EditorTest, TheAccessCheckDoesNotOpenTheFileForWriting)
{
    const QString path = writeFile("image.bin", pattern(1000));
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(path).constData(), IN_CLOSE_WRITE), 0);
    editor.LoadFromFile(path);
    EXPECT_FALSE(editor.ReadOnlyFile());
    alignas(inotify_event) char events[4096];
    EXPECT_EQ(::read(watch, events, sizeof events), -1) << "a watcher saw the file closed after writing";
    ::close(watch);
}

TEST_F(EditorTest, AFileUnderAPosixLockOfAnotherProcessLoadsReadOnly)
{
    const QString path = writeFile("image.bin", pattern(1000));
    const QByteArray name = QFile::encodeName(path);
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::open(name.constData(), O_RDWR);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        const char ok = (fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0) ? 'y' : 'n';
        (void)!::write(ready[1], &ok, 1);
        char c;
        (void)!::read(release[0], &c, 1);
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');
    editor.LoadFromFile(path);
    EXPECT_TRUE(editor.ReadOnlyFile());
    EXPECT_EQ(editor.DataSize(), 1000) << "reads are shared";
    (void)!::write(release[1], "x", 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        ::close(fd);
    editor.LoadFromFile(path);
    EXPECT_FALSE(editor.ReadOnlyFile());
}

TEST(OffsetFormatLimits, LargestShownOffsetWidensBeforeSubtracting)
{
    EXPECT_EQ(LargestShownOffset(INT_MIN, 16), 0);
    EXPECT_EQ(LargestShownOffset(INT_MIN + 2, 1), 0);
    EXPECT_EQ(LargestShownOffset(3, 16), 0);
    EXPECT_EQ(LargestShownOffset(INT_MAX, 16), INT32_MAX);
    EXPECT_EQ(LargestShownOffset(4098, 16), 4095 * 16);
}
