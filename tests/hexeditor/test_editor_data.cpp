// Document state, loading with progress and the data accessors.

#include "editor_fixture.h"
#include "error_of.h"

#include "platform/core/streams.h"

#include <cmath>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

TEST(EditorConstruction, StartsAsUntitledReadOnlyDocumentOnceSetUp)
{
    TMPHexEditor fresh;
    EXPECT_EQ(fresh.FileName(), "---");
    EXPECT_EQ(fresh.DataSize(), 0);
    EXPECT_TRUE(fresh.ReadOnlyFile());
    EXPECT_FALSE(fresh.HasFile());
    fresh.Loaded();
    EXPECT_EQ(fresh.FileName(), "Untitled");
    EXPECT_EQ(fresh.RowCount(), 3);
    EXPECT_EQ(fresh.ColCount(), 51);
    EXPECT_EQ(fresh.Col(), 2);
    EXPECT_EQ(fresh.Row(), 2);
}

TEST(EditorConstruction, ShowingTheWindowAlsoStartsTheDocument)
{
    TMPHexEditor fresh;
    fresh.show();
    EXPECT_EQ(fresh.FileName(), "Untitled");
}

TEST(EditorConstruction, VersionIsFixedAndWritesAreIgnored)
{
    TMPHexEditor e;
    const QString before = e.Version();
    EXPECT_TRUE(before.startsWith("May 24, 2006;"));
    EXPECT_TRUE(e.setProperty("Version", QStringLiteral("anything")));
    EXPECT_EQ(e.property("Version").toString(), before);
}

TEST_F(EditorTest, LoadsTheWholeFileAndNamesTheDocument)
{
    const QByteArray bytes = pattern(300000);
    const QString path = writeFile("image.bin", bytes);
    int changes = 0;
    editor.OnChange = [&](QObject* sender) { EXPECT_EQ(sender, &editor); ++changes; };
    editor.LoadFromFile(path);

    EXPECT_EQ(editor.DataSize(), bytes.size());
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(editor.DataStorage().Memory()), editor.DataSize()), bytes);
    EXPECT_EQ(editor.FileName(), path);
    EXPECT_TRUE(editor.HasFile());
    EXPECT_FALSE(editor.Modified());
    EXPECT_FALSE(editor.ReadOnlyFile());
    EXPECT_TRUE(editor.LoadingFileName().isEmpty());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(editor.RowCount(), (300000 + 15) / 16 + 2);
    EXPECT_EQ(editor.Col(), 2);
    EXPECT_EQ(editor.Row(), 2);
    EXPECT_EQ(editor.SelCount(), 0);
}

TEST_F(EditorTest, ProgressIsReportedOnlyWhenThePercentageChanges)
{
    const QString path = writeFile("p.bin", pattern(200000));
    std::vector<int> reports;
    QString reportedName;
    editor.OnProgress = [&](QObject*, TMPHProgressKind kind, const QString& name, uint8_t percent, bool&) {
        EXPECT_EQ(kind, pkLoad);
        EXPECT_EQ(editor.LoadingFileName(), name);
        reportedName = name;
        reports.push_back(percent);
    };
    editor.LoadFromFile(path);
    EXPECT_EQ(reports, (std::vector<int>{0, 31, 61, 100}));
    EXPECT_EQ(reportedName, path);

    reports.clear();
    editor.LoadFromFile(writeFile("small.bin", pattern(61440)));
    EXPECT_EQ(reports, std::vector<int>{100});

    reports.clear();
    editor.LoadFromFile(writeFile("empty.bin", QByteArray()));
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(editor.DataSize(), 0);
    EXPECT_TRUE(editor.HasFile());
}

TEST_F(EditorTest, LargeLoadReportsEachPercentageBeforeItsChunkIsCopied)
{
    const int size = 5000000;
    const QString path = writeFile("large.bin", pattern(size));
    // The rule: one report at the start of each 61,440-byte chunk whose rounded
    // percentage differs from the last one reported, and 100 before the last chunk.
    std::vector<int> expected;
    int last = -1;
    for (int64_t done = 0; done < size; done += 61440) {
        const int64_t left = size - done;
        const int percent = left <= 61440 ? 100 : static_cast<int>(std::nearbyint(done * 100.0 / size));
        if (percent != last)
            expected.push_back(percent);
        last = percent;
    }
    std::vector<int> reports;
    editor.OnProgress = [&](QObject*, TMPHProgressKind, const QString&, uint8_t percent, bool&) {
        reports.push_back(percent);
        // Nothing past the chunk being reported on has been copied yet.
        const int64_t copied = editor.DataStorage().Position();
        EXPECT_LE(copied, int64_t(percent == 100 ? size : (percent + 1) * int64_t(size) / 100));
    };
    editor.LoadFromFile(path);
    EXPECT_EQ(reports, expected);
    EXPECT_EQ(editor.DataStorage().Position(), 0);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(editor.DataStorage().Memory()), size), pattern(size));
}

TEST_F(EditorTest, CancelledLoadLeavesAnEmptyDocumentWithoutFile)
{
    const QString first = writeFile("first.bin", pattern(100));
    editor.LoadFromFile(first);
    const QString big = writeFile("big.bin", pattern(500000));

    for (int cancelAt : {0, 2}) {
        int calls = 0;
        editor.OnProgress = [&](QObject*, TMPHProgressKind, const QString&, uint8_t, bool& cancel) {
            if (calls++ == cancelAt)
                cancel = true;
        };
        try {
            editor.LoadFromFile(big);
            FAIL() << "load was not cancelled";
        } catch (const EMPHexEditor& e) {
            EXPECT_EQ(e.Message(), "Operation cancelled");
        }
        EXPECT_EQ(editor.DataSize(), 0);
        EXPECT_FALSE(editor.HasFile());
        EXPECT_FALSE(editor.Modified());
        EXPECT_EQ(editor.FileName(), first) << "the name stays that of the last good load";
        EXPECT_EQ(editor.RowCount(), 3) << "the grid follows the emptied data";
        EXPECT_EQ(editor.UndoStorage().Size(), 0);
        EXPECT_TRUE(editor.LoadingFileName().isEmpty());
    }
}

TEST_F(EditorTest, MissingFileNamesPathAndReasonAndChangesNothing)
{
    editor.LoadFromFile(writeFile("good.bin", pattern(64)));
    const QString missing = dir.filePath("nope.bin");
    try {
        editor.LoadFromFile(missing);
        FAIL() << "no error";
    } catch (const EFileOpenError& e) {
        EXPECT_EQ(e.Message(), QString("Cannot open %1.\r\n(No such file or directory.)").arg(missing));
    }
    EXPECT_EQ(editor.DataSize(), 64);
    EXPECT_TRUE(editor.HasFile());
    EXPECT_TRUE(editor.FileName().endsWith("good.bin"));
    EXPECT_TRUE(editor.ReadOnlyFile()) << "the access check marks the document read-only first";
}

TEST_F(EditorTest, WriteProtectedAndLockedFilesLoadReadOnly)
{
    const QString protectedPath = writeFile("ro.bin", pattern(10));
    ASSERT_EQ(::chmod(protectedPath.toLocal8Bit().constData(), 0444), 0);
    editor.LoadFromFile(protectedPath);
    EXPECT_EQ(editor.DataSize(), 10);
    EXPECT_TRUE(editor.ReadOnlyFile());

    const QString locked = writeFile("locked.bin", pattern(20));
    {
        TFileStream holder(locked, TFileMode::fmOpenReadWrite, TShareMode::fmShareExclusive);
        editor.LoadFromFile(locked);
        EXPECT_EQ(editor.DataSize(), 20);
        EXPECT_TRUE(editor.ReadOnlyFile());
    }
    editor.LoadFromFile(locked);
    EXPECT_FALSE(editor.ReadOnlyFile());
}

TEST_F(EditorTest, FilesOfTwoGibibytesOrMoreAreRefusedBeforeAnythingChanges)
{
    editor.LoadFromFile(writeFile("keep.bin", pattern(32)));
    const QString sparse = dir.filePath("huge.bin");
    {
        QFile f(sparse);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(int64_t(1) << 31));
    }
    try {
        editor.LoadFromFile(sparse);
        FAIL() << "no error";
    } catch (const EMPHexEditor& e) {
        EXPECT_TRUE(e.Message().contains("2147483647")) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains(sparse));
    }
    EXPECT_EQ(editor.DataSize(), 32);
    EXPECT_FALSE(editor.ReadOnlyFile());
    EXPECT_TRUE(editor.FileName().endsWith("keep.bin"));
}

TEST_F(EditorTest, LoadFromStreamReadsFromTheStartAndLeavesStreamAtEnd)
{
    TMemoryStream source;
    const QByteArray bytes = pattern(1000);
    source.WriteBuffer(bytes.constData(), bytes.size());
    source.SetPosition(500);
    editor.LoadFromStream(source);
    EXPECT_EQ(editor.DataSize(), 1000);
    EXPECT_EQ(source.Position(), 1000);
    EXPECT_EQ(editor.ByteAt(0), static_cast<uint8_t>(bytes[0]));
    EXPECT_EQ(editor.ByteAt(999), static_cast<uint8_t>(bytes[999]));
}

TEST_F(EditorTest, AccessOutsideTheDataIsRefusedAndChangesNothing)
{
    editor.LoadFromFile(writeFile("d.bin", pattern(16)));
    const QString bounds = "Data position/length out of data bounds";
    uint8_t buffer[8] = {};
    EXPECT_EQ(ErrorOf([&] { editor.ByteAt(16); }), bounds);
    EXPECT_EQ(ErrorOf([&] { editor.ByteAt(-1); }), bounds);
    EXPECT_EQ(ErrorOf([&] { editor.ReadBuffer(buffer, 13, 4); }), bounds);
    EXPECT_EQ(ErrorOf([&] { editor.ReadBuffer(buffer, -2, 2); }), bounds);
    EXPECT_EQ(ErrorOf([&] { editor.WriteBuffer(buffer, 15, 2); }), bounds);
    EXPECT_EQ(ErrorOf([&] { editor.SetByteAt(16, 1); }), bounds);
    EXPECT_NO_THROW(editor.ReadBuffer(buffer, 13, 3));
    EXPECT_EQ(editor.DataSize(), 16);
    EXPECT_EQ(editor.DataStorage().Position(), 0);
}

TEST_F(EditorTest, RawWritesNotifyButRecordNoChange)
{
    editor.LoadFromFile(writeFile("w.bin", pattern(16)));
    int changes = 0;
    int selectionChanges = 0;
    editor.OnChange = [&](QObject*) { ++changes; };
    editor.OnSelectionChanged = [&](QObject*) { ++selectionChanges; };
    returnToEventLoop();
    selectionChanges = 0;

    const uint8_t data[3] = {0xAA, 0xBB, 0xCC};
    editor.WriteBuffer(data, 4, 3);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(editor.Modified());
    EXPECT_EQ(editor.ChangedBytes().count(true), 0);
    EXPECT_EQ(editor.ByteAt(5), 0xBB);
    editor.SetByteAt(0, 0x11);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(editor.ByteAt(0), 0x11);
    EXPECT_EQ(editor.DataSize(), 16);
    EXPECT_EQ(selectionChanges, 0) << "the selection notification waits for the event loop";
    returnToEventLoop();
    EXPECT_EQ(selectionChanges, 1);
}

TEST_F(EditorTest, CreateEmptyFileStartsANewReadOnlyDocument)
{
    editor.LoadFromFile(writeFile("x.bin", pattern(40)));
    editor.SetSelStart(3);
    editor.SetSelEnd(9);
    editor.CreateEmptyFile("scratch");
    EXPECT_EQ(editor.FileName(), "scratch");
    EXPECT_EQ(editor.DataSize(), 0);
    EXPECT_TRUE(editor.ReadOnlyFile());
    EXPECT_FALSE(editor.HasFile());
    EXPECT_EQ(editor.SelCount(), 0);
    EXPECT_EQ(editor.RowCount(), 3);
    editor.CreateEmptyFile(QString());
    EXPECT_EQ(editor.FileName(), "Untitled");
}

TEST_F(EditorTest, OverwritingAReadOnlyDocumentIsRefused)
{
    editor.CreateEmptyFile("doc");
    try {
        editor.PrepareFileOverwrite();
        FAIL() << "no error";
    } catch (const EFileOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot save readonly file doc.");
    }
    editor.LoadFromFile(writeFile("rw.bin", pattern(4)));
    EXPECT_NO_THROW(editor.PrepareFileOverwrite());
}

TEST_F(EditorTest, GridRowsFollowDataSizeAndInsertMode)
{
    editor.LoadFromFile(writeFile("r.bin", pattern(32)));
    EXPECT_EQ(editor.RowCount(), 4);
    editor.SetInsertMode(true);
    EXPECT_EQ(editor.RowCount(), 5) << "room for the caret after the last byte";
    editor.SetInsertMode(false);
    EXPECT_EQ(editor.RowCount(), 4);
    editor.LoadFromFile(writeFile("r2.bin", pattern(33)));
    EXPECT_EQ(editor.RowCount(), 5);
    editor.SetBytesPerRow(8);
    EXPECT_EQ(editor.ColCount(), 27);
    EXPECT_EQ(editor.RowCount(), 7);
}

TEST_F(EditorTest, BusyCursorIsShownDuringTheLoadAndRestoredAfter)
{
    const QString path = writeFile("c.bin", pattern(200000));
    Qt::CursorShape during = Qt::ArrowCursor;
    editor.OnProgress = [&](QObject*, TMPHProgressKind, const QString&, uint8_t, bool&) {
        during = editor.viewport()->cursor().shape();
    };
    editor.LoadFromFile(path);
    EXPECT_EQ(during, Qt::WaitCursor);
    EXPECT_EQ(editor.viewport()->cursor().shape(), Qt::IBeamCursor);
}
