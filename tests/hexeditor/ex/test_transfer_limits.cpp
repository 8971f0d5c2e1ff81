// A pasted or dropped file list naming a file the data cannot take is refused
// before the file is read.
#include "transfer_fixture.h"

#include "hexeditor/error_of.h"
#include "platform/core/dropfiles.h"

#include <QFile>

#include <sys/resource.h>

namespace {

// Limits the process's address space to what it uses now plus headroom while
// the object lives, so that a 2 GiB allocation fails at once (std::bad_alloc)
// instead of reading 2 GiB. Not under AddressSanitizer, which reserves
// terabytes of shadow memory.
class TAddressSpaceLimit
{
public:
    explicit TAddressSpaceLimit(rlim_t headroom)
    {
#if defined(__SANITIZE_ADDRESS__)
        (void)headroom;
#else
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly) || getrlimit(RLIMIT_AS, &m_saved) != 0)
            return;
        const rlim_t used = rlim_t(statm.readAll().split(' ').value(0).toULongLong()) * 4096;
        rlimit limit = m_saved;
        limit.rlim_cur = used + headroom;
        m_active = setrlimit(RLIMIT_AS, &limit) == 0;
#endif
    }
    ~TAddressSpaceLimit()
    {
        if (m_active)
            setrlimit(RLIMIT_AS, &m_saved);
    }
    TAddressSpaceLimit(const TAddressSpaceLimit&) = delete;
    TAddressSpaceLimit& operator=(const TAddressSpaceLimit&) = delete;

private:
    rlimit m_saved{};
    bool m_active = false;
};

} // namespace

TEST_F(TransferTest, AFileTooLargeForTheDataIsRefusedBeforeItIsRead)
{
    // 2 GiB - 1 bytes, sparse: the largest file the editor could hold alone.
    const QString big = dir.filePath(QStringLiteral("big.bin"));
    {
        QFile file(big);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(TMPHexEditorEx::MaxDataSize));
    }
    auto object = Offer({{CF_HDROP, BuildDropFiles({big})}});
    Load(editor, "keep");
    const QString expected =
        QStringLiteral("Cannot add 2147483647 bytes: the data would exceed 2147483647 bytes");

    {
        const TAddressSpaceLimit limit(rlim_t(1) << 30);
        EXPECT_EQ(ErrorOf([&] { Paste(editor, object.Get()); }), expected);
        // One byte selected is replaced: still one byte too many.
        editor.SetSelection(1, 1);
        EXPECT_EQ(ErrorOf([&] { Paste(editor, object.Get()); }), expected);
    }
    EXPECT_EQ(Bytes(editor), QByteArray("keep"));
    EXPECT_FALSE(editor.CanUndo());

    // A file that fits is still read whole.
    QFile small(dir.filePath(QStringLiteral("small.bin")));
    ASSERT_TRUE(small.open(QIODevice::WriteOnly));
    small.write("AB");
    small.close();
    editor.ResetSelection(false);
    EXPECT_EQ(Paste(editor, Offer({{CF_HDROP, BuildDropFiles({small.fileName()})}}).Get()), S_OK);
    EXPECT_EQ(Bytes(editor).size(), 6);
}
