#include "hexeditor/core/mphtransfer.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace MPHTransfer {

namespace {

const char HexDigits[] = "0123456789ABCDEF";

void PutLe32(uint8_t* p, uint32_t v)
{
    v = qToLittleEndian(v);
    std::memcpy(p, &v, 4);
}

uint32_t GetLe32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return qFromLittleEndian(v);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

QByteArray Bytes(const uint8_t* p, size_t n) { return QByteArray(reinterpret_cast<const char*>(p), qsizetype(n)); }

} // namespace

void WriteOwnFormat(uint8_t* dest, const uint8_t* data, int32_t n)
{
    PutLe32(dest, OwnFormatMagic);
    PutLe32(dest + 4, OwnFormatVersion);
    PutLe32(dest + 8, uint32_t(n));
    if (n > 0)
        std::memcpy(dest + OwnFormatHeaderSize, data, size_t(n));
}

QByteArray ReadOwnFormat(const uint8_t* block, size_t size)
{
    if (!block || size < OwnFormatHeaderSize || GetLe32(block) != OwnFormatMagic ||
        GetLe32(block + 4) != OwnFormatVersion)
        return QByteArray();
    const int32_t n = int32_t(GetLe32(block + 8));
    if (n <= 0)
        return QByteArray();
    return Bytes(block + OwnFormatHeaderSize, std::min<size_t>(size_t(n), size - OwnFormatHeaderSize));
}

void WriteHexText(uint8_t* dest, const uint8_t* data, int32_t n, bool swapNibbles)
{
    const int first = swapNibbles ? 0 : 4, second = swapNibbles ? 4 : 0;
    for (int32_t i = 0; i < n; ++i) {
        *dest++ = uint8_t(HexDigits[(data[i] >> first) & 0xF]);
        *dest++ = uint8_t(HexDigits[(data[i] >> second) & 0xF]);
    }
    *dest = 0;
}

QByteArray DecodeHexText(const QByteArray& text, bool swapNibbles)
{
    QByteArray bytes;
    bytes.reserve(text.size() / 2);
    int high = -1;
    for (char c : text) {
        const int v = HexValue(c);
        if (v < 0)
            continue;
        if (high < 0) {
            high = v;
            continue;
        }
        const int b = swapNibbles ? (v << 4 | high) : (high << 4 | v);
        bytes.append(char(b));
        high = -1;
    }
    return bytes;
}

int32_t PlainTextLength(const uint8_t* data, int32_t n)
{
    if (n <= 0)
        return 0;
    const void* zero = std::memchr(data, 0, size_t(n));
    return zero ? int32_t(static_cast<const uint8_t*>(zero) - data) : n;
}

void WriteFileGroupDescriptor(uint8_t* dest, const QByteArray& name, int32_t n, uint64_t lastWriteTime)
{
    PutLe32(dest, 1);
    PutLe32(dest + 4, 0x60);
    PutLe32(dest + 60, uint32_t(lastWriteTime));
    PutLe32(dest + 64, uint32_t(lastWriteTime >> 32));
    PutLe32(dest + 68, 0);
    PutLe32(dest + 72, uint32_t(n));
    const size_t len = std::min<size_t>(size_t(name.size()), 259);
    std::memcpy(dest + 76, name.constData(), len);
    dest[76 + len] = 0;
}

uint64_t FileTimeOf(const QDateTime& time)
{
    // 11,644,473,600 seconds lie between 1601-01-01 and 1970-01-01.
    const int64_t ms = time.toMSecsSinceEpoch() + 11644473600000LL;
    return ms < 0 ? 0 : uint64_t(ms) * 10000u;
}

QByteArray ConvertBlock(TBlockKind kind, const uint8_t* block, size_t size, bool unicodeBigEndian)
{
    if (!block || size == 0)
        return QByteArray();
    switch (kind) {
    case TBlockKind::bkOwn:
        return ReadOwnFormat(block, size);
    case TBlockKind::bkRegEditHex: {
        if (size < 4)
            return QByteArray();
        return Bytes(block + 4, std::min<size_t>(GetLe32(block), size - 4));
    }
    case TBlockKind::bkText: {
        const void* zero = std::memchr(block, 0, size);
        return Bytes(block, zero ? size_t(static_cast<const uint8_t*>(zero) - block) : size);
    }
    case TBlockKind::bkUnicodeText: {
        size_t chars = 0;
        while (chars * 2 + 2 <= size && (block[chars * 2] | block[chars * 2 + 1]) != 0)
            ++chars;
        QByteArray bytes = Bytes(block, chars * 2);
        if (unicodeBigEndian)
            for (size_t i = 0; i < chars; ++i)
                std::swap(bytes[qsizetype(2 * i)], bytes[qsizetype(2 * i + 1)]);
        return bytes;
    }
    case TBlockKind::bkDib: {
        QByteArray bytes(14, '\0');
        bytes[0] = 'B';
        bytes[1] = 'M';
        bytes.append(reinterpret_cast<const char*>(block), qsizetype(size));
        return bytes;
    }
    case TBlockKind::bkLocale:
        return Bytes(block, std::min<size_t>(2, size));
    case TBlockKind::bkRaw:
        return Bytes(block, size);
    }
    return QByteArray();
}

QByteArray BitmapHandleToBytes(HBITMAP bitmap)
{
    const QByteArray dib = BitmapDib(bitmap);
    return dib.isEmpty() ? QByteArray() : BitmapFileFromDib(dib);
}

QByteArray MetaFilePictToBytes(const uint8_t* block, size_t size)
{
    if (!block || size < 16)
        return QByteArray();
    return GetMetaFileBits(GetLe32(block + 12));
}

QByteArray EnhMetaFileToBytes(HENHMETAFILE metafile) { return GetEnhMetaFileBits(metafile); }

QByteArray PaletteToBytes(HPALETTE palette)
{
    const QVector<uint32_t> entries = GetPaletteEntries(palette);
    if (entries.isEmpty())
        return QByteArray();
    const int count = std::min<int>(entries.size(), 0xFFFF);
    QByteArray bytes(4 + 4 * count, '\0');
    auto* p = reinterpret_cast<uint8_t*>(bytes.data());
    const uint16_t version = qToLittleEndian(uint16_t(0x0300)), n = qToLittleEndian(uint16_t(count));
    std::memcpy(p, &version, 2);
    std::memcpy(p + 2, &n, 2);
    for (int i = 0; i < count; ++i)
        PutLe32(p + 4 + 4 * i, entries[i]);
    return bytes;
}

} // namespace MPHTransfer
