// Boot marker search, block extract and insert, the atomic save and the ID
// strings' label text. No editor: the library needs none.

#include "firmware/core/bootimage.h"

#include "hexeditor/core/mphexception.h"
#include "hexeditor/core/mphlimits.h"
#include "support/filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using namespace boot;

constexpr char kMarker[] = "\xE3\x00\x00\x10";

// An image of size bytes that holds no E3 byte, so no marker, unless one is
// put in with PutMarker.
QByteArray PlainImage(qsizetype size, int seed = 1)
{
    QByteArray image(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i) {
        uint8_t b = static_cast<uint8_t>(i * 7 + seed + (i >> 8));
        if (b == 0xE3)
            b = 0x42;
        image[i] = static_cast<char>(b);
    }
    return image;
}

QByteArray WithMarkers(QByteArray image, std::initializer_list<qsizetype> offsets)
{
    for (qsizetype at : offsets)
        image.replace(at, 4, kMarker, 4);
    return image;
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

void WriteFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(data), data.size());
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QByteArray Content(TMemoryStream& stream)
{
    return QByteArray(reinterpret_cast<const char*>(stream.Memory()), stream.Size());
}

QByteArray Content(const TBlockBuffer& buffer)
{
    return QByteArray(reinterpret_cast<const char*>(buffer.data()), qsizetype(buffer.size()));
}

void Fill(TMemoryStream& stream, const QByteArray& data)
{
    stream.SetSize(0);
    stream.SetPosition(0);
    stream.WriteBuffer(data.constData(), data.size());
}

int32_t SearchMemory(const QByteArray& image)
{
    return FindBootMarker(reinterpret_cast<const uint8_t*>(image.constData()), image.size());
}

// A stream that hands out at most a few bytes per read, as pipes and
// sockets do; the search must not take a short read for the end.
class TTrickleStream : public TStream
{
public:
    explicit TTrickleStream(QByteArray data) : m_data(std::move(data)) {}
    int64_t Read(void* buffer, int64_t count) override
    {
        const int64_t n = std::min<int64_t>({count, 5, m_data.size() - m_pos});
        std::memcpy(buffer, m_data.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override
    {
        const int64_t base = origin == TSeekOrigin::soBeginning ? 0
                           : origin == TSeekOrigin::soCurrent ? m_pos
                                                              : m_data.size();
        m_pos = std::clamp<int64_t>(base + offset, 0, m_data.size());
        return m_pos;
    }
    int64_t Size() override { return m_data.size(); }
    void SetSize(int64_t) override {}

private:
    QByteArray m_data;
    int64_t m_pos = 0;
};

class BootImageFiles : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QString Write(const char* name, const QByteArray& data)
    {
        const QString path = Path(name);
        WriteFile(path, data);
        return path;
    }

    QTemporaryDir m_dir;
};

// ---- marker search -------------------------------------------------------

TEST(FindBootMarker, SearchesMemoryForTheFirstWholeMarker)
{
    const QByteArray plain = PlainImage(0x30000);
    struct Case {
        const char* what;
        QByteArray image;
        int32_t expected;
    };
    const std::vector<Case> cases = {
        {"first of two markers", WithMarkers(plain, {0x2000, 0x9000}), 0x2000},
        {"marker at offset 0", WithMarkers(plain, {0}), 0},
        {"no marker", plain, 0},
        {"near miss in the first byte", Bytes({1, 2, 0xE2, 0, 0, 0x10, 5}), 0},
        {"near miss in the second byte", Bytes({1, 2, 0xE3, 1, 0, 0x10, 5}), 0},
        {"near miss in the third byte", Bytes({1, 2, 0xE3, 0, 1, 0x10, 5}), 0},
        {"near miss in the last byte", Bytes({1, 2, 0xE3, 0, 0, 0x11, 5}), 0},
        {"marker after an E3 that starts none", Bytes({7, 0xE3, 0xE3, 0, 0, 0x10}), 2},
        {"marker after near misses", Bytes({0xE3, 0, 0, 0x11, 0xE3, 0, 0xE3, 0, 0, 0x10}), 6},
        {"marker in the last four bytes", WithMarkers(plain.left(1000), {996}), 996},
        {"marker cut off by the end", plain.left(997) + Bytes({0xE3, 0, 0}), 0},
        {"image of the first three marker bytes", Bytes({0xE3, 0, 0}), 0},
        {"image of four bytes that are the marker", Bytes({0xE3, 0, 0, 0x10}), 0},
        {"empty image", QByteArray(), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SearchMemory(c.image), c.expected) << c.what;

    // An image of exactly the marker at 1 in five bytes: the last candidate.
    EXPECT_EQ(SearchMemory(Bytes({0, 0xE3, 0, 0, 0x10})), 1);
    EXPECT_EQ(FindBootMarker(nullptr, 0), 0);
}

TEST(FindBootMarker, MemoryStreamIsSearchedFromItsStartAndLeftAtItsEnd)
{
    const QByteArray image = WithMarkers(PlainImage(0x20000), {0x2000, 0x9000});
    TMemoryStream stream;
    Fill(stream, image);
    // Positioned past the first marker: the search still finds it.
    stream.SetPosition(0x5000);
    EXPECT_EQ(FindBootMarker(stream), 0x2000);
    EXPECT_EQ(stream.Position(), image.size());
    EXPECT_EQ(Content(stream), image);

    TMemoryStream empty;
    EXPECT_EQ(FindBootMarker(empty), 0);
    EXPECT_EQ(empty.Position(), 0);
}

TEST(FindBootMarker, OtherStreamsAreReadWholeWhateverTheirPosition)
{
    // The marker straddles several 5-byte reads.
    const QByteArray image = WithMarkers(PlainImage(1003), {502});
    TTrickleStream trickle(image);
    trickle.SetPosition(800);
    EXPECT_EQ(FindBootMarker(trickle), 502);
    EXPECT_EQ(trickle.Position(), image.size());

    TTrickleStream none(PlainImage(1003));
    EXPECT_EQ(FindBootMarker(none), 0);
    EXPECT_EQ(none.Position(), 1003);
}

TEST_F(BootImageFiles, FileStreamIsSearchedAndLeftAtItsEnd)
{
    const QByteArray image = WithMarkers(PlainImage(0x30000), {0x12345, 0x20000});
    const QString path = Write("image.bin", image);
    TFileStream file(path, TFileMode::fmOpenRead);
    file.SetPosition(0x20000);
    EXPECT_EQ(FindBootMarker(file), 0x12345);
    EXPECT_EQ(file.Position(), image.size());
}

// ---- extract ---------------------------------------------------------------

TEST_F(BootImageFiles, ExtractCutsTheBlockAtTheFirstMarker)
{
    const QByteArray image = WithMarkers(PlainImage(0x30000), {0x2000, 0x15000});
    TBlockBuffer buffer{};
    auto block = ExtractBlock(Write("image.bin", image), buffer);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->Size(), BootBlockSize);
    EXPECT_EQ(block->Position(), 0);
    EXPECT_EQ(Content(*block), image.mid(0x2000, BootBlockSize));
    EXPECT_EQ(Content(buffer), image.mid(0x2000, BootBlockSize));
}

TEST_F(BootImageFiles, ExtractWithoutMarkerCutsTheFirstBlock)
{
    const QByteArray image = PlainImage(0x18000);
    TBlockBuffer buffer{};
    auto block = ExtractBlock(Write("image.bin", image), buffer);
    EXPECT_EQ(Content(*block), image.left(BootBlockSize));
}

TEST_F(BootImageFiles, ExtractNearTheEndGivesAFullBlockWithoutOldBytes)
{
    // The buffer holds bytes of an earlier command; the part of the block past
    // the image's end must not carry them into the new boot file.
    TBlockBuffer buffer;
    buffer.fill(0xAA);
    const QByteArray image = WithMarkers(PlainImage(0x20000), {0x20000 - 100});
    auto block = ExtractBlock(Write("image.bin", image), buffer);
    ASSERT_EQ(block->Size(), BootBlockSize);
    const QByteArray expected = image.right(100) + QByteArray(BootBlockSize - 100, '\0');
    EXPECT_EQ(Content(*block), expected);

    // A short image without a marker: the image, then zeros.
    buffer.fill(0x55);
    const QByteArray tiny = PlainImage(1000);
    block = ExtractBlock(Write("tiny.bin", tiny), buffer);
    EXPECT_EQ(Content(*block), tiny + QByteArray(BootBlockSize - 1000, '\0'));

    buffer.fill(0x55);
    block = ExtractBlock(Write("empty.bin", QByteArray()), buffer);
    EXPECT_EQ(Content(*block), QByteArray(BootBlockSize, '\0'));
}

TEST_F(BootImageFiles, ExtractReadsWriteProtectedImagesAndReportsMissingOnes)
{
    const QByteArray image = WithMarkers(PlainImage(0x12000), {0x10});
    const QString path = Write("image.bin", image);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    TBlockBuffer buffer{};
    EXPECT_EQ(Content(*ExtractBlock(path, buffer)), image.mid(0x10, BootBlockSize));

    EXPECT_THROW(ExtractBlock(Path("missing.bin"), buffer), EFileOpenError);
}

TEST_F(BootImageFiles, ImagesLargerThanTheEditorHoldsAreRefusedBeforeAnythingIsRead)
{
    // Sparse files: nothing of them is ever read.
    auto sparse = [this](const char* name, int64_t size) {
        const QString path = Write(name, QByteArray());
        QFile file(path);
        EXPECT_TRUE(file.resize(size)) << name;
        return path;
    };
    const QString largest = sparse("largest.bin", MPHMaxDataSize);
    EXPECT_EQ(OpenImage(largest)->Size(), MPHMaxDataSize);

    const QString tooLarge = sparse("too_large.bin", MPHMaxDataSize + 1);
    const QString expected = QStringLiteral("Cannot open %1: the file is 2147483648 bytes long, the editor holds at most "
                                            "2147483647 bytes")
                                 .arg(tooLarge);
    for (const auto& operation : {std::function<void()>([&] { OpenImage(tooLarge); }),
                                  std::function<void()>([&] { LoadImageAtMarker(tooLarge); }),
                                  std::function<void()>([&] {
                                      TBlockBuffer buffer{};
                                      ExtractBlock(tooLarge, buffer);
                                  })}) {
        try {
            operation();
            ADD_FAILURE() << "an image of 2 GiB was accepted";
        } catch (const EMPHexEditor& e) {
            EXPECT_EQ(e.Message(), expected);
        }
    }
}

// ---- insert ----------------------------------------------------------------

TEST_F(BootImageFiles, LoadImageAtMarkerPositionsTheWholeImage)
{
    const QByteArray image = WithMarkers(PlainImage(0x30000), {0x2000, 0x15000});
    auto loaded = LoadImageAtMarker(Write("image.bin", image));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(Content(*loaded), image);
    EXPECT_EQ(loaded->Position(), 0x2000);

    auto plain = LoadImageAtMarker(Write("plain.bin", PlainImage(5000)));
    EXPECT_EQ(plain->Position(), 0);

    EXPECT_THROW(LoadImageAtMarker(Path("missing.bin")), EFileOpenError);
}

TEST_F(BootImageFiles, BootFilesMustBeExactlyOneBlockLong)
{
    EXPECT_EQ(LoadBootFile(Write("short.bin", PlainImage(BootBlockSize - 1))), nullptr);
    EXPECT_EQ(LoadBootFile(Write("long.bin", PlainImage(BootBlockSize + 1))), nullptr);
    EXPECT_EQ(LoadBootFile(Write("kilobyte.bin", PlainImage(1024))), nullptr);
    EXPECT_EQ(LoadBootFile(Write("empty.bin", QByteArray())), nullptr);

    // Any content will do, with or without a marker.
    const QByteArray content = PlainImage(BootBlockSize, 9);
    auto boot = LoadBootFile(Write("boot.bin", content));
    ASSERT_NE(boot, nullptr);
    EXPECT_EQ(Content(*boot), content);
    EXPECT_EQ(boot->Position(), 0);

    EXPECT_THROW(LoadBootFile(Path("missing.bin")), EFileOpenError);
}

TEST_F(BootImageFiles, InsertOverwritesTheBlockAtTheMarkerOnly)
{
    const QByteArray image = WithMarkers(PlainImage(0x30000), {0x2000, 0x15000});
    const QByteArray content = PlainImage(BootBlockSize, 77);
    auto loaded = LoadImageAtMarker(Write("image.bin", image));
    auto boot = LoadBootFile(Write("boot.bin", content));
    ASSERT_TRUE(loaded && boot);
    TBlockBuffer buffer{};
    InsertBlock(*loaded, *boot, buffer);

    QByteArray expected = image;
    expected.replace(0x2000, BootBlockSize, content);
    EXPECT_EQ(Content(*loaded), expected);
    EXPECT_EQ(Content(buffer), content);

    // Without a marker the first block is overwritten.
    const QByteArray plain = PlainImage(0x18000);
    auto plainLoaded = LoadImageAtMarker(Write("plain.bin", plain));
    InsertBlock(*plainLoaded, *boot, buffer);
    EXPECT_EQ(Content(*plainLoaded), content + plain.mid(BootBlockSize));
}

TEST_F(BootImageFiles, InsertNearTheEndGrowsTheImage)
{
    const qsizetype size = 0x20000;
    const QByteArray image = WithMarkers(PlainImage(size), {size - 100});
    const QByteArray content = PlainImage(BootBlockSize, 3);
    auto loaded = LoadImageAtMarker(Write("image.bin", image));
    auto boot = LoadBootFile(Write("boot.bin", content));
    TBlockBuffer buffer{};
    InsertBlock(*loaded, *boot, buffer);
    EXPECT_EQ(loaded->Size(), size + 65436);
    EXPECT_EQ(Content(*loaded), image.left(size - 100) + content);

    // An empty image becomes the boot block.
    auto empty = LoadImageAtMarker(Write("empty.bin", QByteArray()));
    InsertBlock(*empty, *boot, buffer);
    EXPECT_EQ(Content(*empty), content);
}

TEST(InsertBlock, RefusesABootStreamOfTheWrongLengthBeforeChangingAnything)
{
    const QByteArray image = WithMarkers(PlainImage(0x11000), {0x100});
    TMPHMemoryStream stream;
    Fill(stream, image);
    stream.SetPosition(0x100);
    TMPHMemoryStream boot;
    Fill(boot, PlainImage(BootBlockSize - 1));
    TBlockBuffer buffer;
    buffer.fill(0x11);
    EXPECT_THROW(InsertBlock(stream, boot, buffer), EStreamError);
    EXPECT_EQ(Content(stream), image);
    EXPECT_EQ(Content(buffer), QByteArray(BootBlockSize, '\x11'));
}

TEST_F(BootImageFiles, InsertAndSaveLeavesTheSourceImageAlone)
{
    const QByteArray image = WithMarkers(PlainImage(0x14000), {0x3000});
    const QByteArray content = WithMarkers(PlainImage(BootBlockSize, 11), {0});
    const QString imagePath = Write("image.bin", image);
    auto loaded = LoadImageAtMarker(imagePath);
    auto boot = LoadBootFile(Write("boot.bin", content));
    InsertBlock(*loaded, *boot, SharedBlockBuffer());
    const QString target = Path("patched.bin");
    SaveStreamToFile(*loaded, target);

    QByteArray expected = image;
    expected.replace(0x3000, BootBlockSize, content);
    EXPECT_EQ(ReadFile(target), expected);
    EXPECT_EQ(ReadFile(imagePath), image);

    // Extracting from the saved image gives the boot file back.
    auto block = ExtractBlock(target, SharedBlockBuffer());
    EXPECT_EQ(Content(*block), content);
}

// ---- atomic save -------------------------------------------------------------

TEST_F(BootImageFiles, SaveReplacesTheWholeTarget)
{
    const QString target = Write("out.bin", PlainImage(100000));
    TMemoryStream stream;
    Fill(stream, QByteArray("ten bytes!"));
    stream.SetPosition(4); // the position does not matter: the whole stream is saved
    SaveStreamToFile(stream, target);
    EXPECT_EQ(ReadFile(target), QByteArray("ten bytes!"));

    TMemoryStream empty;
    SaveStreamToFile(empty, target);
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_EQ(QFileInfo(target).size(), 0);
}

TEST_F(BootImageFiles, SaveIntoAMissingFolderFailsClearly)
{
    TMemoryStream stream;
    Fill(stream, PlainImage(1000));
    const QString target = Path("no-such-folder/out.bin");
    try {
        SaveStreamToFile(stream, target);
        FAIL() << "the save should have failed";
    } catch (const EStreamError& e) {
        EXPECT_TRUE(e.Message().contains(target)) << e.Message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(target));
}

TEST_F(BootImageFiles, SaveOntoAFolderFailsAndLeavesNothingBehind)
{
    const QString target = Path("folder.bin");
    ASSERT_TRUE(QDir().mkdir(target));
    WriteFile(target + "/inside.txt", "keep me");
    TMemoryStream stream;
    Fill(stream, PlainImage(1000));
    EXPECT_THROW(SaveStreamToFile(stream, target), EStreamError);
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_EQ(ReadFile(target + "/inside.txt"), QByteArray("keep me"));
    // No temporary file is left next to the target.
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());
}

TEST_F(BootImageFiles, FailedSaveKeepsTheOldTarget)
{
    // A disk that fills up part way through (a file-size limit, which holds
    // for root too).
    {
        const QString target = Path("full.bin");
        WriteFile(target, "old content");
        TMemoryStream stream;
        Fill(stream, PlainImage(100000));
        {
            TFileSizeLimit limit(60000);
            ASSERT_TRUE(limit.Active());
            EXPECT_THROW(SaveStreamToFile(stream, target), EStreamError);
        }
        EXPECT_EQ(ReadFile(target), QByteArray("old content"));
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter("full").size(), 1)
            << "no temporary file is left beside the target";
    }
    // A folder we may not write to (root may, so that part is for users only).
    if (::geteuid() == 0)
        return;
    const QString folder = Path("locked");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString target = folder + "/out.bin";
    WriteFile(target, "old content");
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    TMemoryStream stream;
    Fill(stream, PlainImage(1000));
    EXPECT_THROW(SaveStreamToFile(stream, target), EStreamError);
    EXPECT_EQ(ReadFile(target), QByteArray("old content"));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// ---- ID strings' label text -----------------------------------------------------

TEST(IdLabelText, LabelTextIsEightBitTextUpToAZeroByte)
{
    EXPECT_EQ(IdLabelText(QByteArray("\x80 caf\xE9")), QString::fromUtf8("\u20AC caf\u00E9"));
    EXPECT_EQ(IdLabelText(QByteArray("ABC\0EFGHIJKLM", 13)), "ABC");
    EXPECT_EQ(IdLabelText(QByteArray("\0" "1234567890", 11)), "");
    EXPECT_EQ(IdLabelText(QByteArray()), "");
}

} // namespace
