#pragma once
// Bitmap, palette, metafile and enhanced-metafile handles, as far as the
// transfer readers need them. A handle is a 32-bit number (0 = none) into a
// process-wide table, so that a metafile picture structure in a global memory
// block can name its metafile in a 32-bit field, and a number read from
// foreign data can be looked up safely: an unknown number finds nothing.
//
// What a handle holds:
//   bitmap            a device-independent bitmap: info header, colour table,
//                     pixels (the layout of a bitmap file without its 14-byte
//                     file header)
//   metafile          the metafile's bits
//   enhanced metafile the enhanced metafile's bits (the file layout)
//   palette           its entries, 4 bytes each: red, green, blue, flags

#include <QByteArray>
#include <QVector>
#include <cstdint>

using HGDIOBJ = uint32_t;
using HBITMAP = HGDIOBJ;
using HPALETTE = HGDIOBJ;
using HMETAFILE = HGDIOBJ;
using HENHMETAFILE = HGDIOBJ;

HBITMAP CreateBitmapFromDib(const QByteArray& dib);
HMETAFILE SetMetaFileBits(const QByteArray& bits);
HENHMETAFILE SetEnhMetaFileBits(const QByteArray& bits);
HPALETTE CreatePalette(const QVector<uint32_t>& entries);

// The handle's contents; empty when the handle is unknown or of another kind.
QByteArray BitmapDib(HBITMAP bitmap);
QByteArray GetMetaFileBits(HMETAFILE metafile);
QByteArray GetEnhMetaFileBits(HENHMETAFILE metafile);
// Number of palette entries (0 for an unknown handle) and the entries.
int GetPaletteEntryCount(HPALETTE palette);
QVector<uint32_t> GetPaletteEntries(HPALETTE palette);

// A copy of a handle of any kind under a new number (0 for an unknown handle).
HGDIOBJ CopyGdiObject(HGDIOBJ object);
// Frees a handle of any kind; false when it is unknown.
bool DeleteGdiObject(HGDIOBJ object);
// Number of live handles (tests check that readers release what they copy).
int GdiObjectCount();

// A complete bitmap file for a device-independent bitmap: the 14-byte file
// header ("BM", file size, pixel offset computed from the info header and
// colour table) followed by the DIB. Works on any bytes: a header that is too
// short or inconsistent gives a pixel offset of 14 + the bytes available.
QByteArray BitmapFileFromDib(const QByteArray& dib);
