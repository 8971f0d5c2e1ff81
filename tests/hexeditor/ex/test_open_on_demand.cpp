// Opening a file without copying it (OpenOnDemand): off by default with the
// copying load unchanged; when on, the document reads its file as it goes,
// takes edits, undo and a save over its own file, and reports a file that
// was shortened under it instead of showing or saving other bytes.

#include "ex_fixture.h"

#include "platform/core/apperror.h"
#include "platform/core/exceptions.h"

#include <QCoreApplication>
#include <QFile>

#include <random>
#include <unistd.h>

namespace {

QByteArray Pattern(int size)
{
    std::mt19937 rng(17);
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = char(rng());
    return bytes;
}

class OpenOnDemandTest : public ExEditorTest
{
protected:
    QByteArray Document()
    {
        QByteArray bytes(editor.DataSize(), '\0');
        editor.ReadBuffer(bytes.data(), 0, editor.DataSize());
        return bytes;
    }
    void OpenSmallFilesOnDemand()
    {
        editor.SetOpenOnDemand(true);
        editor.SetOnDemandMinSize(0);
    }
};

} // namespace

TEST_F(OpenOnDemandTest, OffByDefaultTheLoadCopiesWithItsProgressReports)
{
    EXPECT_FALSE(editor.OpenOnDemand());
    EXPECT_EQ(editor.OnDemandMinSize(), TCustomMPHexEditor::DefaultOnDemandMinSize);
    const QByteArray data = Pattern(200000);
    const QString path = writeFile("copy.bin", data);
    std::vector<int> reports;
    editor.OnProgress = [&](QObject*, TMPHProgressKind, const QString&, uint8_t percent, bool&) {
        reports.push_back(percent);
    };
    editor.LoadFromFile(path);
    EXPECT_EQ(reports, (std::vector<int>{0, 31, 61, 100}));
    EXPECT_EQ(editor.DataStorage().DemandFile(), nullptr) << "the default load copies the file";
    EXPECT_EQ(Document(), data);
    // Even a file above the size on-demand opens start at is copied.
    editor.SetOnDemandMinSize(0);
    editor.LoadFromFile(path);
    EXPECT_EQ(editor.DataStorage().DemandFile(), nullptr);
}

TEST_F(OpenOnDemandTest, WhenOnLargeFilesAreReadAsTheyAreUsedSmallOnesCopied)
{
    editor.SetOpenOnDemand(true);
    editor.SetOnDemandMinSize(100000);
    const QByteArray data = Pattern(200000);
    const QString path = writeFile("big.bin", data);
    int reports = 0;
    editor.OnProgress = [&](QObject*, TMPHProgressKind, const QString&, uint8_t, bool&) { ++reports; };
    editor.LoadFromFile(path);
    ASSERT_NE(editor.DataStorage().DemandFile(), nullptr);
    EXPECT_EQ(reports, 0) << "nothing is copied, nothing reported";
    EXPECT_EQ(editor.DataSize(), 200000);
    EXPECT_TRUE(editor.HasFile());
    EXPECT_EQ(editor.FileName(), path);
    EXPECT_FALSE(editor.ReadOnlyFile());
    EXPECT_FALSE(editor.Modified());
    EXPECT_EQ(Document(), data);

    editor.LoadFromFile(writeFile("small.bin", data.left(99999)));
    EXPECT_EQ(editor.DataStorage().DemandFile(), nullptr);
    EXPECT_EQ(reports, 2) << "a copy of at most one chunk and a half: 0 and 100";
}

TEST_F(OpenOnDemandTest, EditsUndoAndASaveOverItsOwnFile)
{
    OpenSmallFilesOnDemand();
    const QByteArray data = Pattern(300000);
    const QString path = writeFile("doc.bin", data);
    editor.LoadFromFile(path);
    ASSERT_NE(editor.DataStorage().DemandFile(), nullptr);

    editor.ChangeByte(150000, uint8_t(data[150000]), uint8_t(~data[150000]));
    editor.InsertBuffer("abc", 3, 10);
    QByteArray model = data;
    model[150000] = char(~data[150000]);
    model.insert(10, "abc");
    EXPECT_EQ(Document(), model);
    EXPECT_TRUE(editor.Modified());
    EXPECT_EQ(readFile(path), data) << "edits never reach the file by themselves";

    editor.Undo();
    model.remove(10, 3);
    EXPECT_EQ(Document(), model);

    editor.SaveToFile(QString());
    EXPECT_EQ(readFile(path), model);
    EXPECT_FALSE(editor.Modified());
    EXPECT_EQ(Document(), model) << "the document still reads the file it opened";
    editor.Undo();
    EXPECT_EQ(Document(), data);
}

TEST_F(OpenOnDemandTest, AFileShortenedUnderTheDocumentIsReportedAndNotSaved)
{
    OpenSmallFilesOnDemand();
    const QByteArray data = Pattern(400000);
    const QString path = writeFile("short.bin", data);
    editor.resize(600, 400);
    editor.show();
    editor.LoadFromFile(path);
    QStringList errors;
    auto previous = SetApplicationErrorHandler([&](std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const Exception& error) {
            errors << error.Message();
        } catch (...) {
            errors << "?";
        }
    });
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), 1000), 0);

    // Painting what can no longer be read shows zeros and tells once.
    editor.SetSelStart(300000);
    editor.grab();
    editor.grab();
    QCoreApplication::processEvents();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("changed by another program")) << errors[0].toStdString();

    // Saving elsewhere and reading a run fail with the reason; no file.
    const QString other = dir.filePath("other.bin");
    try {
        editor.SaveToFile(other);
        ADD_FAILURE() << "the save succeeded";
    } catch (const EFileOpenError& e) {
        EXPECT_TRUE(e.Message().contains("changed by another program")) << e.Message().toStdString();
    }
    EXPECT_FALSE(QFile::exists(other));
    char buffer[16];
    EXPECT_THROW(editor.ReadBuffer(buffer, 350000, 16), EReadError);
    SetApplicationErrorHandler(previous);
}

TEST_F(OpenOnDemandTest, FindNextAndPreviousReadInChunksAndLeaveTheDocumentOnDemand)
{
    OpenSmallFilesOnDemand();
    // Markers around the search's chunk borders and at the very ends.
    QByteArray data(int(3 * FindChunkSize), '\x55');
    const QByteArray marker = QByteArray::fromHex("E3000010");
    const std::vector<int> at{0, int(FindChunkSize) - 2, int(2 * FindChunkSize) - 1, data.size() - 4};
    for (const int position : at)
        data.replace(position, marker.size(), marker);
    editor.LoadFromFile(writeFile("find.bin", data));
    ASSERT_NE(editor.DataStorage().DemandFile(), nullptr);
    const TMPHSearchPattern pattern = TMPHSearchPattern::FromBytes(marker);
    std::vector<int> forward, backward;
    for (size_t i = 0; i < at.size() + 1; ++i) {
        ASSERT_TRUE(editor.FindNext(pattern, true));
        forward.push_back(editor.SelStart());
    }
    for (size_t i = 0; i < at.size() + 1; ++i) {
        ASSERT_TRUE(editor.FindNext(pattern, false));
        backward.push_back(editor.SelStart());
    }
    EXPECT_EQ(forward, (std::vector<int>{at[0], at[1], at[2], at[3], at[0]})) << "the last wraps to the first";
    EXPECT_EQ(backward, (std::vector<int>{at[3], at[2], at[1], at[0], at[3]}));
    EXPECT_NE(editor.DataStorage().DemandFile(), nullptr) << "the search gathered the document";
    EXPECT_FALSE(editor.DataStorage().IsContiguous());
}

TEST_F(OpenOnDemandTest, AFindOverAFileShortenedUnderTheDocumentRaisesTheReadError)
{
    OpenSmallFilesOnDemand();
    const QString path = writeFile("short.bin", Pattern(3 * int(FindChunkSize)));
    editor.LoadFromFile(path);
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), 1000), 0);
    try {
        editor.FindNext(TMPHSearchPattern::FromHexText("01 02 03 04 05 06 07 08"), true);
        ADD_FAILURE() << "the search ended without the read error";
    } catch (const EReadError& e) {
        EXPECT_TRUE(e.Message().contains("changed by another program")) << e.Message().toStdString();
    }
    EXPECT_EQ(editor.SelCount(), 0);
}
