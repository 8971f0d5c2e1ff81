// A large load reports its first progress before the data buffer is filled:
// the buffer's pages are faulted in chunk by chunk with the copy.

#include "editor_fixture.h"

#include <QFile>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

// The share of the pages of [data, data + size) that are resident.
double ResidentShare(const uint8_t* data, int64_t size)
{
    const long page = ::sysconf(_SC_PAGESIZE);
    const int64_t pages = (size + page - 1) / page;
    std::vector<unsigned char> flags(static_cast<size_t>(pages));
    if (::mincore(const_cast<uint8_t*>(data), static_cast<size_t>(size), flags.data()) != 0)
        return -1;
    int64_t resident = 0;
    for (unsigned char f : flags)
        resident += f & 1;
    return double(resident) / double(pages);
}

} // namespace

TEST_F(EditorTest, FirstProgressReportComesBeforeMostOfTheBufferIsFaultedIn)
{
    // A sparse file reads fast and without disk traffic.
    const QString path = dir.filePath("sparse.bin");
    const int64_t size = int64_t(96) << 20;
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
    }
    std::vector<double> shares;
    editor.OnProgress = [&](QObject*, TMPHProgressKind, const QString&, uint8_t, bool&) {
        shares.push_back(ResidentShare(editor.DataStorage().Memory(), editor.DataSize()));
    };
    editor.LoadFromFile(path);
    ASSERT_FALSE(shares.empty());
    ASSERT_GE(shares.front(), 0.0) << "mincore failed";
    EXPECT_LT(shares.front(), 0.1) << "the whole buffer was faulted in before the first report";
    // Half way through about half of it is there, not all.
    EXPECT_LT(shares[shares.size() / 2], 0.75);
    EXPECT_EQ(editor.DataSize(), size);
    EXPECT_GT(ResidentShare(editor.DataStorage().Memory(), editor.DataSize()), 0.99);
}
