#include "platform/core/gdihandles.h"

#include <QHash>
#include <QtEndian>
#include <cstring>

namespace {

enum class TGdiKind { Bitmap, MetaFile, EnhMetaFile, Palette };

struct TGdiObject
{
    TGdiKind kind;
    QByteArray bytes;
    QVector<uint32_t> entries;
};

struct TGdiTable
{
    QHash<HGDIOBJ, TGdiObject> objects;
    HGDIOBJ next = 1;

    HGDIOBJ Add(TGdiObject object)
    {
        // Skip 0 and numbers still in use after the counter wraps.
        while (next == 0 || objects.contains(next))
            ++next;
        const HGDIOBJ handle = next++;
        objects.insert(handle, std::move(object));
        return handle;
    }
    const TGdiObject* Find(HGDIOBJ handle, TGdiKind kind) const
    {
        auto it = objects.constFind(handle);
        return it != objects.constEnd() && it->kind == kind ? &*it : nullptr;
    }
};

TGdiTable& Table()
{
    static TGdiTable table;
    return table;
}

QByteArray BytesOf(HGDIOBJ handle, TGdiKind kind)
{
    const TGdiObject* object = Table().Find(handle, kind);
    return object ? object->bytes : QByteArray();
}

uint32_t ReadLe32(const QByteArray& bytes, int offset)
{
    if (offset < 0 || offset + 4 > bytes.size())
        return 0;
    uint32_t value;
    std::memcpy(&value, bytes.constData() + offset, 4);
    return qFromLittleEndian(value);
}

} // namespace

HBITMAP CreateBitmapFromDib(const QByteArray& dib) { return Table().Add({TGdiKind::Bitmap, dib, {}}); }
HMETAFILE SetMetaFileBits(const QByteArray& bits) { return Table().Add({TGdiKind::MetaFile, bits, {}}); }
HENHMETAFILE SetEnhMetaFileBits(const QByteArray& bits) { return Table().Add({TGdiKind::EnhMetaFile, bits, {}}); }
HPALETTE CreatePalette(const QVector<uint32_t>& entries) { return Table().Add({TGdiKind::Palette, {}, entries}); }

QByteArray BitmapDib(HBITMAP bitmap) { return BytesOf(bitmap, TGdiKind::Bitmap); }
QByteArray GetMetaFileBits(HMETAFILE metafile) { return BytesOf(metafile, TGdiKind::MetaFile); }
QByteArray GetEnhMetaFileBits(HENHMETAFILE metafile) { return BytesOf(metafile, TGdiKind::EnhMetaFile); }

int GetPaletteEntryCount(HPALETTE palette)
{
    const TGdiObject* object = Table().Find(palette, TGdiKind::Palette);
    return object ? object->entries.size() : 0;
}

QVector<uint32_t> GetPaletteEntries(HPALETTE palette)
{
    const TGdiObject* object = Table().Find(palette, TGdiKind::Palette);
    return object ? object->entries : QVector<uint32_t>();
}

HGDIOBJ CopyGdiObject(HGDIOBJ object)
{
    auto it = Table().objects.constFind(object);
    if (it == Table().objects.constEnd())
        return 0;
    TGdiObject copy = *it;
    return Table().Add(std::move(copy));
}

bool DeleteGdiObject(HGDIOBJ object) { return Table().objects.remove(object) > 0; }

int GdiObjectCount() { return Table().objects.size(); }

QByteArray BitmapFileFromDib(const QByteArray& dib)
{
    // Pixel offset: file header + info header + colour table. The colour
    // table has biClrUsed entries, or 2^bitCount for up to 8 bits per pixel,
    // and three masks for BI_BITFIELDS with a 40-byte header.
    const uint32_t headerSize = ReadLe32(dib, 0);
    const uint32_t bitsPlanes = ReadLe32(dib, 12);
    const uint32_t bitCount = bitsPlanes >> 16;
    const uint32_t compression = ReadLe32(dib, 16);
    uint32_t colours = ReadLe32(dib, 32);
    if (colours == 0 && bitCount >= 1 && bitCount <= 8)
        colours = 1u << bitCount;
    uint64_t tableBytes = uint64_t(colours) * 4;
    if (compression == 3 && headerSize == 40)
        tableBytes += 12;
    uint64_t pixelOffset = 14 + uint64_t(headerSize) + tableBytes;
    const uint64_t fileSize = 14 + uint64_t(dib.size());
    if (headerSize < 12 || pixelOffset > fileSize)
        pixelOffset = fileSize;

    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    const uint32_t size32 = qToLittleEndian(uint32_t(fileSize > 0xFFFFFFFFu ? 0xFFFFFFFFu : fileSize));
    const uint32_t offset32 = qToLittleEndian(uint32_t(pixelOffset));
    std::memcpy(file.data() + 2, &size32, 4);
    std::memcpy(file.data() + 10, &offset32, 4);
    file.append(dib);
    return file;
}
