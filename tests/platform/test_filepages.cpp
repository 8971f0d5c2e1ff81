// A memory stream whose content is read from a file on demand (TFilePages
// under the piece table): reads across page boundaries with a bounded
// cache, edits on top that never touch the file, gathering, saving over the
// file it reads from, and a file that is shortened, rewritten or replaced
// after it was opened.

#include "platform/core/atomicsave.h"
#include "platform/core/filepages.h"
#include "platform/core/streams.h"

#include "app/test_folder.h"

#include <gtest/gtest.h>

#include <QFile>

#include <QDir>

#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int64_t kPage = 16;
constexpr int kCachePages = 4;

QByteArray Pattern(int size, uint32_t seed = 7)
{
    std::mt19937 rng(seed);
    QByteArray bytes(size, '\0');
    for (char& c : bytes)
        c = char(rng());
    return bytes;
}

class FilePagesTest : public ::testing::Test
{
protected:
    // Opens path on demand with small pages, so that every test crosses
    // many page boundaries and evicts pages.
    void Open(const QString& path)
    {
        auto pages = std::make_unique<TFilePages>(TFileStream::OpenInput(path), kPage, kCachePages);
        stream.OpenOnDemand(std::move(pages));
        stream.OnReadFailure = [this](const QString& text) { failures << text; };
    }
    QByteArray Content()
    {
        QByteArray bytes(int(stream.Size()), '\0');
        stream.SetPosition(0);
        stream.ReadBuffer(bytes.data(), stream.Size());
        return bytes;
    }
    QByteArray Peeked(int64_t at, int64_t count)
    {
        QByteArray bytes(int(count), '\0');
        stream.PeekBytes(at, bytes.data(), count);
        return bytes;
    }

    TTestFolder files;
    TMemoryStream stream;
    QStringList failures;
};

} // namespace

TEST_F(FilePagesTest, ReadsAcrossPageBoundariesFromABoundedCache)
{
    const QByteArray data = Pattern(1000);
    Open(files.Write("a.bin", data));
    ASSERT_NE(stream.DemandFile(), nullptr);
    EXPECT_EQ(stream.Size(), 1000);
    EXPECT_EQ(stream.DemandFile()->CachedBytes(), 0) << "nothing is read at open";
    for (int64_t at : {0, 15, 16, 17, 31, 500, 983, 999})
        EXPECT_EQ(uint8_t(stream.PeekByte(at)), uint8_t(data[int(at)])) << at;
    // Runs that start and end inside pages, short and long (a long one
    // goes past the cache).
    EXPECT_EQ(Peeked(13, 7), data.mid(13, 7));
    EXPECT_EQ(Peeked(30, 40), data.mid(30, 40));
    EXPECT_EQ(Peeked(1, 998), data.mid(1, 998));
    int64_t length = 0;
    const uint8_t* span = stream.SpanAt(20, &length);
    ASSERT_EQ(length, kPage - 4) << "a span ends with its page";
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(span), int(length)), data.mid(20, int(length)));
    EXPECT_EQ(Content(), data);
    EXPECT_LE(stream.DemandFile()->CachedBytes(), kPage * kCachePages);
    EXPECT_TRUE(failures.isEmpty());
}

TEST_F(FilePagesTest, EditsStayOnTopAndTheFileIsNeverWritten)
{
    const QByteArray data = Pattern(4000, 11);
    const QString path = files.Write("e.bin", data);
    Open(path);
    QByteArray model = data;
    std::mt19937 rng(3);
    for (int step = 0; step < 3000; ++step) {
        const int size = int(stream.Size());
        const int at = size == 0 ? 0 : int(rng() % uint32_t(size + 1));
        const int count = int(rng() % 40) + 1;
        const QByteArray bytes = Pattern(count, rng());
        switch (rng() % 4) {
        case 0:
            stream.Insert(at, bytes.constData(), count);
            model.insert(at, bytes);
            break;
        case 1: {
            const int n = std::min(count, size - at);
            stream.Remove(at, n);
            model.remove(at, n);
            break;
        }
        case 2: {
            // Overwrite, growing at the end as a write does.
            stream.SetPosition(at);
            stream.WriteBuffer(bytes.constData(), count);
            model.replace(at, std::min(count, size - at), bytes);
            break;
        }
        default: {
            const int n = std::min(count, size - at);
            ASSERT_EQ(Peeked(at, n), model.mid(at, n)) << "step " << step;
            if (n > 0) {
                ASSERT_EQ(uint8_t(stream.PeekByte(at)), uint8_t(model[at])) << "step " << step;
            }
        }
        }
        ASSERT_EQ(stream.Size(), model.size());
    }
    EXPECT_EQ(Content(), model);
    EXPECT_EQ(TTestFolder::Read(path), data);
    EXPECT_NE(stream.DemandFile(), nullptr);
    // Gathering brings everything into one block and lets the file go.
    ASSERT_EQ(QByteArray(reinterpret_cast<const char*>(stream.Memory()), int(stream.Size())), model);
    EXPECT_EQ(stream.DemandFile(), nullptr);
    EXPECT_TRUE(failures.isEmpty());
}

TEST_F(FilePagesTest, SavingOverTheFileItReadsFromWritesTheDocument)
{
    const QByteArray data = Pattern(3000, 5);
    const QString path = files.Write("s.bin", data);
    Open(path);
    stream.Insert(0, "head", 4);
    stream.SetPosition(2000);
    stream.WriteBuffer("XY", 2);
    QByteArray model = data;
    model.insert(0, "head");
    model.replace(2000, 2, "XY");

    SaveFileAtomically(path, [this](const TRunWriter& write) { stream.ForEachRun(write); }, TAtomicSaveOptions{});
    EXPECT_EQ(TTestFolder::Read(path), model);
    // The document still reads the file it opened (the old one).
    EXPECT_EQ(Content(), model);
    EXPECT_TRUE(failures.isEmpty());

}

TEST_F(FilePagesTest, ARewriteInPlaceBringsTheDataIntoMemoryBeforeItWrites)
{
    // A writable file in a folder that may not be written: the save
    // rewrites the file in place. Bytes inserted at the start make every
    // later byte come from a place the rewrite has already overwritten,
    // unless the data are read before (more than one copy buffer).
    const QByteArray data = Pattern(3 << 20, 21);
    ASSERT_EQ(::chmod(QFile::encodeName(files.dir.path()).constData(), 0755), 0);
    ASSERT_TRUE(QDir().mkdir(files.dir.filePath("ro")));
    const QString path = files.Write("ro/doc.bin", data);
    const uid_t user = ::geteuid() == 0 ? 65534 : ::geteuid();
    const QByteArray folder = QFile::encodeName(files.dir.filePath("ro"));
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(folder.constData(), user, user), 0);
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), user, user), 0);
    }
    ASSERT_EQ(::chmod(folder.constData(), 0555), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(user) != 0 || ::setuid(user) != 0))
            ::_exit(4);
        try {
            Open(path);
            stream.Insert(0, "head", 4);
            TAtomicSaveOptions options;
            options.InPlaceWhenFolderReadOnly = true;
            bool gathered = false;
            options.BeforeWriteInPlace = [&] {
                stream.Memory();
                gathered = true;
            };
            SaveFileAtomically(path, [this](const TRunWriter& write) { stream.ForEachRun(write); }, options);
            ::_exit(gathered ? 0 : 3);
        } catch (...) {
            ::_exit(2);
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod(folder.constData(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(TTestFolder::Read(path) == QByteArray("head") + data) << "the rewritten file is not the document";
}

TEST_F(FilePagesTest, AShortenedFileIsAnErrorNeverOtherBytes)
{
    const QByteArray data = Pattern(1000, 9);
    const QString path = files.Write("t.bin", data);
    Open(path);
    EXPECT_EQ(Peeked(0, 10), data.left(10)); // page 0 is cached now
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), 100), 0);

    // Reads that may raise say what happened.
    stream.SetPosition(500);
    char buffer[8];
    EXPECT_THROW(stream.ReadBuffer(buffer, 8), EReadError);
    EXPECT_THROW(stream.Memory(), EReadError);
    EXPECT_EQ(stream.Size(), 1000) << "a failed gather leaves the stream as it was";
    EXPECT_NE(stream.DemandFile(), nullptr);
    EXPECT_THROW(stream.ForEachRun([](const uint8_t*, int64_t) {}), EReadError);
    const QString target = files.dir.filePath("copy.bin");
    EXPECT_THROW(SaveFileAtomically(target, [this](const TRunWriter& w) { stream.ForEachRun(w); }, {}),
                 EReadError);
    EXPECT_FALSE(QFile::exists(target)) << "nothing is left of the failed save";

    // Reads that cannot raise give zeros and tell once.
    EXPECT_EQ(stream.PeekByte(900), 0);
    EXPECT_EQ(Peeked(600, 20), QByteArray(20, '\0'));
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].contains("was changed by another program")) << failures[0].toStdString();
    EXPECT_TRUE(failures[0].contains(path));
    // The page read before the change is the file as it was opened.
    EXPECT_EQ(Peeked(0, 10), data.left(10));
}

TEST_F(FilePagesTest, AFileRewrittenInPlaceIsRefusedAReplacedOneIsNotSeen)
{
    const QByteArray data = Pattern(800, 13);
    const QString path = files.Write("r.bin", data);
    Open(path);

    // Replaced under its name (the usual save of other programs): the
    // stream keeps reading the file it opened.
    const QString other = files.Write("other.bin", Pattern(800, 99));
    ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()), 0);
    EXPECT_EQ(Content(), data);
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(Content(), data) << "also when the name is gone";
    EXPECT_TRUE(stream.DemandFile()->Unchanged());

    // Rewritten in place, same size: the bytes would be another version's.
    const QString inPlace = files.Write("p.bin", data);
    Open(inPlace);
    EXPECT_EQ(Peeked(0, 16), data.left(16));
    usleep(20000); // a modification time the file system can tell apart
    {
        QFile file(inPlace);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(400);
        file.write("changed!");
    }
    EXPECT_FALSE(stream.DemandFile()->Unchanged());
    stream.SetPosition(400);
    char buffer[8];
    EXPECT_THROW(stream.ReadBuffer(buffer, 8), EReadError);
    EXPECT_EQ(Peeked(400, 8), QByteArray(8, '\0'));
    EXPECT_EQ(failures.size(), 1);
}

TEST_F(FilePagesTest, AnEmptiedStreamLetsTheFileGo)
{
    Open(files.Write("g.bin", Pattern(100)));
    stream.Remove(0, 100);
    EXPECT_EQ(stream.DemandFile(), nullptr);
    stream.Insert(0, "ab", 2);
    EXPECT_EQ(Content(), QByteArray("ab"));
    Open(files.Write("z.bin", QByteArray()));
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.DemandFile(), nullptr);
}
