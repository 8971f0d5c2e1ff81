#pragma once
// The clipboard formats the extended editor registers at start-up, its
// transfer texts (string table), and the acceptance list of readable formats.

#include "platform/core/oletypes.h"

#include <QVector>

// Registered at start-up of the extended editor's unit, with OLE initialised
// for the thread (a start-up counter makes both run once).
extern CLIPFORMAT OwnClipboardFormat;
extern CLIPFORMAT RegEditHexDataFormat;
extern CLIPFORMAT RichTextFormat;
extern CLIPFORMAT HtmlFormat;
extern CLIPFORMAT FileContentsFormat;
extern CLIPFORMAT FileGroupDescriptorFormat;
extern CLIPFORMAT PerformedDropEffectFormat;
extern CLIPFORMAT LogicalPerformedDropEffectFormat;

// Runs the start-up once more / undoes one start-up (for users that need the
// formats before static initialisation is over, and for tests).
void MPHClipFormatsStartup();
void MPHClipFormatsShutdown();
int MPHClipFormatsStartupCount();

// What a transfer is for: index of ChosenFormat.
enum TMPHTransferPurpose { tpDrop = 0, tpPaste = 1 };

// The readable formats in priority order: 2 entries (own format, file list)
// or, with other formats supported, 17.
QVector<CLIPFORMAT> MPHAcceptanceList(bool supportsOtherFormats);

// True for the formats the "Hex text" choice applies to (text, OEM text).
inline bool IsHexTextFormat(CLIPFORMAT format) { return format == CF_TEXT || format == CF_OEMTEXT; }

// Texts of the transfer features.
namespace MPHClipStrings {
inline constexpr const char* OwnFormatName = "TMPHexeditorEx Clipboard Format";
inline constexpr const char* CutToClipboard = "Cut to clipboard";
inline constexpr const char* PasteFromClipboard = "Paste from clipboard";
inline constexpr const char* DataDropped = "Data dropped";
inline constexpr const char* DumpName = "Dump of %1.bin";
inline constexpr const char* SelectFormatCaption = "Select data format";
inline constexpr const char* HexTextCaption = "Hex text";
// Names of the standard formats 1 to 16 in the format dialog.
inline constexpr const char* StandardFormatTexts[16] = {
    "Text", "Bitmap Picture", "Metafile Picture", "Microsoft Symbolic Link (SYLK) data",
    "Software Arts' Data Interchange Format", "Tagged Image File Format (TIFF) Picture", "OEM Text",
    "Device Independent Bitmap Picture", "Color Palete", "Pen Data", "RIFF Audio Data", "Wave Audio",
    "Unicode Text", "Enhanced Metafile Picture", "File List", "Text Locale"};
} // namespace MPHClipStrings

// The text the format dialog shows for a format: the string table for 1 to
// 16, the registered name (at most 512 characters, trimmed) for others, and
// the number in parentheses for a format without a name.
QString FormatDisplayText(CLIPFORMAT format);
