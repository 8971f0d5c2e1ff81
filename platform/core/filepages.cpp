#include "platform/core/filepages.h"

#include "platform/core/fileutils.h"
#include "platform/core/streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

TFilePages::TFilePages(std::unique_ptr<TFileStream> file, int64_t pageSize, int cachePages)
    : m_file(std::move(file)), m_pageSize(std::max<int64_t>(pageSize, 1))
{
    m_path = m_file->FileName();
    m_fd = m_file->Handle();
    // The shared lock of the open is not kept (see the header).
    ::flock(m_fd, LOCK_UN);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        throw EFileOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(m_path, SysErrorMessage(errno)));
    m_size = int64_t(st.st_size);
    m_mtimeSec = int64_t(st.st_mtim.tv_sec);
    m_mtimeNsec = int64_t(st.st_mtim.tv_nsec);
    m_device = uint64_t(st.st_dev);
    m_inode = uint64_t(st.st_ino);
    m_slots.resize(size_t(std::max(cachePages, 1)));
}

TFilePages::~TFilePages() = default;

bool TFilePages::Unchanged() const
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        return false;
    return int64_t(st.st_size) == m_size && int64_t(st.st_mtim.tv_sec) == m_mtimeSec &&
           int64_t(st.st_mtim.tv_nsec) == m_mtimeNsec;
}

void TFilePages::RaiseChanged() const
{
    throw EReadError(QStringLiteral("Cannot read \"%1\": the file was changed by another program after it was "
                                    "opened, its bytes can no longer be shown or saved; reload it")
                         .arg(m_path));
}

void TFilePages::ReadFile(int64_t offset, uint8_t* out, int64_t count)
{
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(m_fd, out + done, size_t(count - done), off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EReadError(QStringLiteral("Cannot read \"%1\". %2").arg(m_path, SysErrorMessage(errno)));
        }
        if (n == 0)
            RaiseChanged(); // shorter than when it was opened
        done += n;
    }
    // Checked after the read: a change made before or while it ran shows
    // in the stamp now.
    if (!Unchanged())
        RaiseChanged();
}

TFilePages::TSlot& TFilePages::FreeSlot()
{
    if (m_slotsInUse < int(m_slots.size())) {
        TSlot& slot = m_slots[size_t(m_slotsInUse++)];
        slot.Bytes = std::make_unique_for_overwrite<uint8_t[]>(size_t(m_pageSize));
        return slot;
    }
    // The page used longest ago gives way.
    auto oldest = std::min_element(m_slots.begin(), m_slots.end(),
                                   [](const TSlot& a, const TSlot& b) { return a.LastUse < b.LastUse; });
    m_index.erase(oldest->Page);
    oldest->Page = -1;
    return *oldest;
}

TFilePages::TSlot& TFilePages::PageSlot(int64_t page)
{
    if (m_last >= 0 && m_slots[size_t(m_last)].Page == page) {
        m_slots[size_t(m_last)].LastUse = ++m_clock;
        return m_slots[size_t(m_last)];
    }
    const auto found = m_index.find(page);
    if (found != m_index.end()) {
        m_last = found->second;
        m_slots[size_t(m_last)].LastUse = ++m_clock;
        return m_slots[size_t(m_last)];
    }
    TSlot& slot = FreeSlot();
    const int64_t start = page * m_pageSize;
    // Filled first, entered after: a failed read leaves no page behind.
    ReadFile(start, slot.Bytes.get(), std::min(m_pageSize, m_size - start));
    slot.Page = page;
    slot.LastUse = ++m_clock;
    m_last = int(&slot - m_slots.data());
    m_index[page] = m_last;
    return slot;
}

const uint8_t* TFilePages::BaseSpan(int64_t offset, int64_t* length)
{
    const int64_t page = offset / m_pageSize;
    const int64_t inPage = offset - page * m_pageSize;
    TSlot& slot = PageSlot(page);
    *length = std::min(m_pageSize, m_size - page * m_pageSize) - inPage;
    return slot.Bytes.get() + inPage;
}

void TFilePages::ReadBase(int64_t offset, uint8_t* out, int64_t count)
{
    if (count <= 0)
        return;
    // A long run goes to the file at once: it would only push out the
    // pages in use.
    if (count >= 2 * m_pageSize) {
        ReadFile(offset, out, count);
        return;
    }
    while (count > 0) {
        int64_t length = 0;
        const uint8_t* span = BaseSpan(offset, &length);
        const int64_t n = std::min(length, count);
        std::memcpy(out, span, size_t(n));
        out += n;
        offset += n;
        count -= n;
    }
}
