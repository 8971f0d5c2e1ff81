// The analysis docks (Checksums, Statistics, Strings, Structure) and the
// entropy strip on a window without a display: what they compute, that they
// follow the selection and the data, and what a click selects.

#include "window_fixture.h"

#include "hexview/checksumdock.h"
#include "hexview/documentwatch.h"
#include "hexview/entropystrip.h"
#include "hexview/slicedwork.h"
#include "hexview/statisticsdock.h"
#include "hexview/stringsdock.h"
#include "hexview/structuredock.h"

#include "firmware/core/bootimage.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include <random>
#include <unistd.h>

using namespace hexview;

namespace {

class AnalysisDocksTest : public HexViewWindowTest
{
protected:
    template <class TDock>
    TDock* ShowDock(const char* actionName)
    {
        auto* dock = window->findChild<TDock*>();
        EXPECT_NE(dock, nullptr);
        auto* toggle = window->findChild<QAction*>(actionName);
        EXPECT_NE(toggle, nullptr);
        if (!dock || !toggle)
            return nullptr;
        EXPECT_FALSE(dock->isVisible());
        toggle->trigger();
        EXPECT_TRUE(dock->isVisible());
        return dock;
    }
    void Open(const QByteArray& bytes, const char* name = "data.bin")
    {
        ASSERT_TRUE(window->OpenFile(files.Write(name, bytes)));
    }
    void Select(int32_t first, int32_t last)
    {
        Editor().SetSelStart(first);
        Editor().SetSelEnd(last);
        QCoreApplication::sendPostedEvents(); // the deferred selection notification
    }
    static QByteArray Noise(int size, unsigned seed = 1)
    {
        std::mt19937 rng(seed);
        QByteArray data(size, '\0');
        for (char& c : data)
            c = char(rng());
        return data;
    }
};

} // namespace

TEST_F(AnalysisDocksTest, ChecksumsOfTheDocumentThenOfTheSelection)
{
    Open("123456789");
    TChecksumDock* dock = ShowDock<TChecksumDock>("actionChecksums");
    ASSERT_NE(dock, nullptr);
    dock->Work().Finish();
    EXPECT_EQ(dock->Value(TMPHDigestKind::Crc32), "CBF43926");
    EXPECT_EQ(dock->Value(TMPHDigestKind::Adler32), "091E01DE");
    EXPECT_EQ(dock->Value(TMPHDigestKind::Sha256),
              "15E2B0D3C33891EBB0F1EF609EC419420C20E320CE94C65FBC8C3312448EB225");
    EXPECT_EQ(dock->ScopeText(), "Whole document (9 bytes)");

    Select(0, 2);
    EXPECT_TRUE(dock->Work().Busy()); // waits for a pause of the user
    dock->Work().Finish();
    EXPECT_EQ(dock->ScopeText(), "Selection 0x0-0x2 (3 bytes)");
    EXPECT_EQ(dock->Value(TMPHDigestKind::Md5), "202CB962AC59075B964B07152D234B70"); // md5("123")
    const QString copied = dock->CopyText();
    EXPECT_TRUE(copied.contains("MD5  202CB962AC59075B964B07152D234B70\n")) << copied.toStdString();
    EXPECT_EQ(copied.count('\n'), DigestKindCount);
}

TEST_F(AnalysisDocksTest, ChecksumsOfALargeDocumentComeInSlicesAndFollowEdits)
{
    const QByteArray data = Noise(int(3 * TChecksumDock::SliceSize + 100));
    Open(data);
    TChecksumDock* dock = ShowDock<TChecksumDock>("actionChecksums");
    ASSERT_NE(dock, nullptr);
    EXPECT_TRUE(dock->Work().Busy()); // the first slice only
    EXPECT_TRUE(dock->Value(TMPHDigestKind::Sha1).isEmpty());
    dock->Work().Finish();
    EXPECT_EQ(dock->Value(TMPHDigestKind::Sha1),
              QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex().toUpper()));

    const char byte = char(~data[5]);
    Editor().Replace(&byte, 5, 1, 1, "edit", false);
    QByteArray edited = data;
    edited[5] = byte;
    dock->Work().Finish();
    EXPECT_EQ(dock->Value(TMPHDigestKind::Sha1),
              QString::fromLatin1(QCryptographicHash::hash(edited, QCryptographicHash::Sha1).toHex().toUpper()));
}

TEST_F(AnalysisDocksTest, StatisticsHistogramTableAndEntropy)
{
    QByteArray data(100, 'A');
    data += QByteArray(50, 'B') + QByteArray(50, '\0');
    Open(data);
    TStatisticsDock* dock = ShowDock<TStatisticsDock>("actionStatistics");
    ASSERT_NE(dock, nullptr);
    dock->Work().Finish();
    EXPECT_EQ(dock->Histogram().Counts()['A'], 100u);
    EXPECT_EQ(dock->Bars()->Counts()['B'], 50u);
    EXPECT_EQ(dock->EntropyText(), "Entropy 1.5000 bits per byte");
    QTableWidget* table = dock->Table();
    EXPECT_EQ(table->item(0, 0)->text(), "41");
    EXPECT_EQ(table->item(0, 1)->text(), "A");
    EXPECT_EQ(table->item(0, 2)->text(), "100");
    EXPECT_EQ(table->item(0, 3)->text(), "50.000");
    EXPECT_EQ(table->item(1, 0)->text(), "00"); // equal counts by value
    EXPECT_EQ(table->item(2, 0)->text(), "42");
    EXPECT_EQ(table->item(3, 2)->text(), "0");

    Select(0, 99); // only 'A'
    dock->Work().Finish();
    EXPECT_EQ(dock->EntropyText(), "Entropy 0.0000 bits per byte");
    EXPECT_EQ(dock->Table()->item(0, 3)->text(), "100.000");
}

TEST_F(AnalysisDocksTest, StringsListSelectFilterAndExport)
{
    QByteArray data = Noise(0) + QByteArray(10, '\x01') + "hello world" + QByteArray(3, '\x02');
    data += QByteArray("\x03", 1);
    for (char c : QByteArray("Zelq"))
        data.append(c).append('\0'); // UTF-16LE at the odd offset 25
    data += QByteArray(4, '\x04') + "abc" + QByteArray(1, '\x05') + "tail";
    Open(data);
    TStringsDock* dock = ShowDock<TStringsDock>("actionStrings");
    ASSERT_NE(dock, nullptr);
    dock->Work().Finish();
    const auto& runs = dock->Model().Runs();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].Text, "hello world");
    EXPECT_EQ(runs[0].Offset, 10);
    EXPECT_EQ(runs[1].Offset, 25);
    EXPECT_EQ(runs[1].Encoding, TMPHStringEncoding::Utf16Le);
    EXPECT_EQ(runs[2].Text, "tail");
    EXPECT_EQ(dock->StatusText(), "3 strings");

    dock->SelectRow(1);
    EXPECT_EQ(Editor().SelFirst(), 25);
    EXPECT_EQ(Editor().SelLast(), 32);

    dock->Filter()->setText("WORLD");
    ASSERT_EQ(dock->Filtered().rowCount(), 1);
    dock->SelectRow(0);
    EXPECT_EQ(Editor().SelFirst(), 10);
    EXPECT_EQ(Editor().SelLast(), 20);
    const QString target = files.dir.filePath("strings.txt");
    ASSERT_TRUE(dock->ExportTo(target));
    EXPECT_EQ(TTestFolder::Read(target), "0000000A\tASCII\thello world\n");
    // A folder is refused, with an error and nothing written.
    EXPECT_FALSE(dock->ExportTo(files.dir.path()));
    EXPECT_EQ(errors.size(), 1);

    dock->Filter()->clear();
    dock->MinLength()->setValue(3);
    dock->Work().Finish();
    EXPECT_EQ(dock->Model().Runs().size(), 4u); // "abc" now counts
    dock->Ascii()->setChecked(false);
    dock->Work().Finish();
    ASSERT_EQ(dock->Model().Runs().size(), 1u);
    EXPECT_EQ(dock->Model().Runs()[0].Text, "Zelq");
}

TEST_F(AnalysisDocksTest, StructureOfAFirmwareImageAndItsFieldsBytes)
{
    const QByteArray image = FirmwareImage(0x30000, 0x8000);
    Open(image, "fw.bin");
    TStructureDock* dock = ShowDock<TStructureDock>("actionStructure");
    ASSERT_NE(dock, nullptr);
    dock->Work().Finish();
    EXPECT_EQ(dock->Value(TStructureDock::fdMarker), "0x8000");
    EXPECT_EQ(dock->Value(TStructureDock::fdFirstId), "ZELQ-BOOT-1.0");
    EXPECT_EQ(dock->Value(TStructureDock::fdSecondId), "SN-00042-AB");
    const auto crcOf = [](const QByteArray& bytes) {
        return QStringLiteral("%1")
            .arg(~boot::Crc32Update(0xFFFFFFFFu, reinterpret_cast<const uint8_t*>(bytes.constData()),
                                    size_t(bytes.size())),
                 8, 16, QLatin1Char('0'))
            .toUpper();
    };
    EXPECT_EQ(dock->Value(TStructureDock::fdImageCrc), crcOf(image));
    EXPECT_EQ(dock->Value(TStructureDock::fdBlockCrc), crcOf(image.mid(0x8000, 0x10000)));
    EXPECT_EQ(dock->Table()->item(TStructureDock::fdBlock, 2)->text(), "0x8000-0x17FFF (65536 bytes)");

    dock->Table()->cellClicked(TStructureDock::fdSecondId, 0);
    EXPECT_EQ(Editor().SelFirst(), 48);
    EXPECT_EQ(Editor().SelLast(), 58);
    dock->SelectField(TStructureDock::fdMarker);
    EXPECT_EQ(Editor().SelFirst(), 0x8000);
    EXPECT_EQ(Editor().SelLast(), 0x8003);

    Open(QByteArray(4096, 'x'), "plain.bin");
    dock->Work().Finish();
    EXPECT_TRUE(dock->NoteText().startsWith("No boot marker")) << dock->NoteText().toStdString();
    EXPECT_TRUE(dock->Value(TStructureDock::fdMarker).isEmpty());
    dock->SelectField(TStructureDock::fdFirstId); // nothing to select, no error
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(AnalysisDocksTest, EntropyStripStandsBesideTheScrollBarAndJumps)
{
    auto* strip = window->findChild<TEntropyStrip*>();
    ASSERT_NE(strip, nullptr);
    EXPECT_TRUE(strip->isVisible());
    EXPECT_EQ(Editor().RightMargin(), TEntropyStrip::StripWidth);
    // A constant half and a random half.
    Open(QByteArray(64 * 4096, 'z') + Noise(64 * 4096));
    strip->Work().Finish();
    const TMPHBlockEntropy* blocks = strip->Blocks();
    ASSERT_NE(blocks, nullptr);
    ASSERT_EQ(blocks->BlockCount(), 128);
    EXPECT_EQ(blocks->Value(0), 0.0f);
    EXPECT_GT(blocks->Value(100), 7.9f);
    EXPECT_NE(TEntropyStrip::EntropyColor(0.0f), TEntropyStrip::EntropyColor(8.0f));

    for (int i = 0; i < 5; ++i)
        QTest::qWait(5); // the scroll area lays out its bars
    const QRect viewport = Editor().viewport()->geometry();
    EXPECT_EQ(strip->geometry().left(), viewport.right() + 1);
    EXPECT_EQ(strip->height(), viewport.height());
    ASSERT_TRUE(Editor().verticalScrollBar()->isVisible());
    EXPECT_LE(strip->geometry().right(), Editor().verticalScrollBar()->mapTo(&Editor(), QPoint(0, 0)).x());

    // A click three quarters down lands in the random half.
    const int y = strip->height() * 3 / 4;
    QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, QPoint(5, y));
    const int32_t expected = strip->PositionAt(y);
    EXPECT_GE(expected, 64 * 4096);
    EXPECT_EQ(expected % 4096, 0);
    EXPECT_EQ(Editor().CaretPosition(), expected);
    EXPECT_EQ(Editor().TopRow(), Editor().CellAtPosition(expected, false).Y); // the block's row on top

    window->findChild<QAction*>("actionEntropyStrip")->trigger();
    EXPECT_FALSE(strip->isVisible());
    EXPECT_EQ(Editor().RightMargin(), 0);
}

TEST(EntropyStripRows, EveryBlockBelongsToExactlyOneRow)
{
    for (int64_t count : {1, 7, 100, 65536}) {
        int64_t next = 0;
        for (int y = 0; y < 50; ++y) {
            int64_t first = 0, last = 0;
            TEntropyStrip::BlocksOfRow(y, 50, count, first, last);
            EXPECT_LE(first, last);
            EXPECT_LT(last, count);
            if (first >= next) { // rows of few blocks repeat a block
                EXPECT_EQ(first, next) << count << " " << y;
                next = last + 1;
            }
        }
        EXPECT_EQ(next, count) << count;
    }
}

TEST_F(AnalysisDocksTest, DocksOnADocumentReadOnDemandReadItInSlicesWithoutGathering)
{
    Editor().SetOnDemandMinSize(0);
    // Larger than a slice of the structure dock, with a marker near the end.
    const int size = int(TStructureDock::SliceSize) + (1 << 20);
    QByteArray image = FirmwareImage(size, size - 0x20000);
    image.replace(1000, 12, "plain string");
    Open(image, "fw.bin");
    ASSERT_NE(Editor().DataStorage().DemandFile(), nullptr);
    const auto* bytes = reinterpret_cast<const uint8_t*>(image.constData());

    TChecksumDock* checksums = ShowDock<TChecksumDock>("actionChecksums");
    ASSERT_NE(checksums, nullptr);
    checksums->Work().Finish();
    TMPHDigest crc(TMPHDigestKind::Crc32, boot::Crc32Update);
    crc.Add(bytes, size_t(image.size()));
    EXPECT_EQ(checksums->Value(TMPHDigestKind::Crc32), crc.HexResult().toUpper());

    TStatisticsDock* statistics = ShowDock<TStatisticsDock>("actionStatistics");
    ASSERT_NE(statistics, nullptr);
    statistics->Work().Finish();
    TMPHByteHistogram histogram;
    histogram.Add(bytes, size_t(image.size()));
    EXPECT_EQ(statistics->Histogram().Counts(), histogram.Counts());

    TStringsDock* strings = ShowDock<TStringsDock>("actionStrings");
    ASSERT_NE(strings, nullptr);
    strings->Work().Finish();
    EXPECT_EQ(strings->Model().Runs(), FindStrings(bytes, image.size()));

    TStructureDock* structure = ShowDock<TStructureDock>("actionStructure");
    ASSERT_NE(structure, nullptr);
    structure->Work().Finish();
    EXPECT_EQ(structure->Value(TStructureDock::fdMarker), QStringLiteral("0x%1").arg(size - 0x20000, 0, 16).toUpper()
                                                              .replace(QStringLiteral("0X"), QStringLiteral("0x")));
    EXPECT_EQ(structure->Value(TStructureDock::fdImageCrc), crc.HexResult().toUpper());

    EXPECT_NE(Editor().DataStorage().DemandFile(), nullptr) << "a dock gathered the whole document";
    EXPECT_FALSE(Editor().DataStorage().IsContiguous());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(AnalysisDocksTest, ADocumentFileShortenedUnderADockEndsItsWorkWithTheReadError)
{
    const auto previous = AskReloadChangedFile;
    AskReloadChangedFile = [](HexViewWindow&, const QString&, bool) { return TChangedFileAnswer::cfCancel; };
    Editor().SetOnDemandMinSize(0);
    const QString path = files.Write("short.bin", Noise(3 << 20));
    ASSERT_TRUE(window->OpenFile(path));
    ASSERT_NE(Editor().DataStorage().DemandFile(), nullptr);
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), 1000), 0);
    errors.clear();
    TChecksumDock* checksums = ShowDock<TChecksumDock>("actionChecksums");
    ASSERT_NE(checksums, nullptr);
    checksums->Work().Finish();
    EXPECT_FALSE(checksums->Work().Busy()) << "the work goes on over unreadable bytes";
    EXPECT_TRUE(checksums->Value(TMPHDigestKind::Crc32).isEmpty()) << "a sum of bytes that were not read";
    QTest::qWait(20); // the error box is shown from the event loop
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_TRUE(errors.first().contains("changed by another program")) << errors.first().toStdString();
    AskReloadChangedFile = previous;
}
