// hexview opens large files on demand: the open does not wait for the
// firmware overlay's marker search or anything else that reads the whole
// document, nothing gathers the file into memory, and a file rewritten
// under the document is told as such.

#include "window_fixture.h"

#include "hexview/documentwatch.h"
#include "hexview/findactions.h"
#include "hexview/findresultsdock.h"
#include "hexview/firmwareoverlay.h"
#include "firmware/core/bootimage.h"

#include <QElapsedTimer>
#include <QTest>

#include <unistd.h>

using namespace hexview;

namespace {

bool WaitFor(const std::function<bool()>& done, int ms = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QTest::qWait(20);
    return done();
}

} // namespace

TEST_F(HexViewWindowTest, ALargeFileIsOpenedOnDemandAndSearchedInTheBackground)
{
    ASSERT_TRUE(Editor().OpenOnDemand());
    const int size = int(TCustomMPHexEditor::DefaultOnDemandMinSize) + (4 << 20);
    const int markerAt = size - 0x8000;
    const QString path = files.Write("large.bin", FirmwareImage(size, markerAt));
    ASSERT_TRUE(window->OpenFile(path));
    ASSERT_NE(Editor().DataStorage().DemandFile(), nullptr);
    EXPECT_TRUE(window->Overlay().SearchBusy()) << "the open waited for the marker search";
    EXPECT_FALSE(window->Overlay().Layout().Found);

    ASSERT_TRUE(WaitFor([&] { return !window->Overlay().SearchBusy() && !window->Overlay().CrcBusy(); }));
    ASSERT_TRUE(window->Overlay().Layout().Found);
    EXPECT_EQ(window->Overlay().Layout().MarkerOffset, markerAt);
    EXPECT_EQ(Editor().Bookmarks().At(0).mPosition, markerAt);
    EXPECT_EQ(window->Overlay().FileCrc(), boot::FileCrc32(path));
    // The overlay, the entropy strip and the document watch read the file
    // in slices: it is still read on demand, through a bounded cache.
    ASSERT_NE(Editor().DataStorage().DemandFile(), nullptr) << "something gathered the whole file";
    EXPECT_LE(Editor().DataStorage().DemandFile()->CachedBytes(), 16 << 20);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

    // An edit that moves the marker is followed without gathering either.
    Editor().InsertBuffer("ab", 2, 0);
    EXPECT_EQ(window->Overlay().Layout().MarkerOffset, markerAt + 2);
    ASSERT_TRUE(WaitFor([&] { return !window->Overlay().CrcBusy(); }));
    EXPECT_NE(Editor().DataStorage().DemandFile(), nullptr);
}

TEST_F(HexViewWindowTest, AFileRewrittenUnderADocumentReadOnDemandIsToldAsSuch)
{
    QString asked;
    const auto previous = AskReloadChangedFile;
    AskReloadChangedFile = [&](HexViewWindow&, const QString& text, bool) {
        asked = text;
        return TChangedFileAnswer::cfCancel;
    };
    const int size = int(TCustomMPHexEditor::DefaultOnDemandMinSize) + 4096;
    const QString path = files.Write("doc.bin", QByteArray(size, 'd'));
    ASSERT_TRUE(window->OpenFile(path));
    ASSERT_NE(Editor().DataStorage().DemandFile(), nullptr);
    QTest::qWait(50); // the watch is armed once the document is shown
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), 4096), 0);
    EXPECT_TRUE(WaitFor([&] { return !asked.isEmpty(); }, 5000));
    EXPECT_TRUE(asked.contains("rewritten on disk")) << asked.toStdString();
    AskReloadChangedFile = previous;
}

namespace {

// A document of three search chunks with "E3 00 00 10" across the first
// border and at the very end, opened on demand.
QByteArray ChunkedMarkers(int* first, int* last)
{
    QByteArray data(int(3 * FindChunkSize), '\x55');
    *first = int(FindChunkSize) - 2;
    *last = data.size() - 4;
    for (const int at : {*first, *last})
        data.replace(at, 4, QByteArray::fromHex("E3000010"));
    return data;
}

} // namespace

TEST_F(HexViewWindowTest, FindAndFindAllOnADocumentReadOnDemandDoNotGatherIt)
{
    Editor().SetOnDemandMinSize(0);
    int first = 0, last = 0;
    ASSERT_TRUE(window->OpenFile(files.Write("find.bin", ChunkedMarkers(&first, &last))));
    ASSERT_NE(Editor().DataStorage().DemandFile(), nullptr);
    const TFindRequest hex{QStringLiteral("E3 00 00 10"), true};
    ASSERT_TRUE(FindInWindow(*window, hex, true));
    EXPECT_EQ(Editor().SelStart(), first);
    ASSERT_TRUE(FindInWindow(*window, hex, true));
    EXPECT_EQ(Editor().SelStart(), last);
    ASSERT_TRUE(FindInWindow(*window, hex, false));
    EXPECT_EQ(Editor().SelStart(), first);
    ASSERT_TRUE(FindAllInWindow(*window, hex));
    const TFindResultsDock* dock = window->findChild<TFindResultsDock*>();
    ASSERT_NE(dock, nullptr);
    EXPECT_EQ(dock->Matches(), (std::vector<TFoundMatch>{{first, 4}, {last, 4}}));
    // Text searches too, around the marker on the chunk border.
    ASSERT_TRUE(FindInWindow(*window, TFindRequest{QStringLiteral("UU"), false}, true));
    EXPECT_EQ(Editor().SelStart(), first + 4);
    ASSERT_TRUE(FindInWindow(*window, TFindRequest{QStringLiteral("uu"), false, true}, false));
    EXPECT_EQ(Editor().SelStart(), first - 2);
    EXPECT_NE(Editor().DataStorage().DemandFile(), nullptr) << "a search gathered the whole file";
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(HexViewWindowTest, AFindOverAFileShortenedUnderItShowsTheReadError)
{
    const auto previous = AskReloadChangedFile;
    AskReloadChangedFile = [](HexViewWindow&, const QString&, bool) { return TChangedFileAnswer::cfCancel; };
    Editor().SetOnDemandMinSize(0);
    int first = 0, last = 0;
    const QString path = files.Write("short.bin", ChunkedMarkers(&first, &last));
    ASSERT_TRUE(window->OpenFile(path));
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), 1000), 0);
    for (const bool all : {false, true}) {
        errors.clear();
        const TFindRequest hex{QStringLiteral("E3 00 00 10"), true};
        EXPECT_FALSE(all ? FindAllInWindow(*window, hex) : FindInWindow(*window, hex, true));
        ASSERT_FALSE(errors.isEmpty()) << all;
        EXPECT_TRUE(errors.last().contains("changed by another program")) << errors.last().toStdString();
    }
    AskReloadChangedFile = previous;
}
