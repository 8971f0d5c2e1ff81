#include "hexeditor/ex/mphclipformats.h"

CLIPFORMAT OwnClipboardFormat = 0;
CLIPFORMAT RegEditHexDataFormat = 0;
CLIPFORMAT RichTextFormat = 0;
CLIPFORMAT HtmlFormat = 0;
CLIPFORMAT FileContentsFormat = 0;
CLIPFORMAT FileGroupDescriptorFormat = 0;
CLIPFORMAT PerformedDropEffectFormat = 0;
CLIPFORMAT LogicalPerformedDropEffectFormat = 0;

namespace {

int g_startupCount = 0;

void RegisterFormats()
{
    OwnClipboardFormat = RegisterClipboardFormat(QString::fromLatin1(MPHClipStrings::OwnFormatName));
    RegEditHexDataFormat = RegisterClipboardFormat(QStringLiteral("RegEdit_HexData"));
    RichTextFormat = RegisterClipboardFormat(QStringLiteral("Rich Text Format"));
    HtmlFormat = RegisterClipboardFormat(QStringLiteral("HTML Format"));
    FileContentsFormat = RegisterClipboardFormat(QStringLiteral("FileContents"));
    FileGroupDescriptorFormat = RegisterClipboardFormat(QStringLiteral("FileGroupDescriptor"));
    PerformedDropEffectFormat = RegisterClipboardFormat(QStringLiteral("Performed DropEffect"));
    LogicalPerformedDropEffectFormat = RegisterClipboardFormat(QStringLiteral("Logical Performed DropEffect"));
}

// The unit's start-up and shutdown.
struct TUnitStartup
{
    TUnitStartup() { MPHClipFormatsStartup(); }
    ~TUnitStartup() { MPHClipFormatsShutdown(); }
} g_unitStartup;

} // namespace

void MPHClipFormatsStartup()
{
    if (g_startupCount++ == 0) {
        OleInitialize();
        RegisterFormats();
    }
}

void MPHClipFormatsShutdown()
{
    if (g_startupCount > 0 && --g_startupCount == 0)
        OleUninitialize();
}

int MPHClipFormatsStartupCount() { return g_startupCount; }

QVector<CLIPFORMAT> MPHAcceptanceList(bool supportsOtherFormats)
{
    if (!supportsOtherFormats)
        return {OwnClipboardFormat, CF_HDROP};
    return {OwnClipboardFormat, CF_HDROP,        CF_TEXT,   RichTextFormat,
            CF_UNICODETEXT,     CF_BITMAP,       CF_PALETTE, CF_METAFILEPICT,
            CF_TIFF,            CF_OEMTEXT,      CF_DIB,     CF_RIFF,
            CF_WAVE,            CF_ENHMETAFILE,  CF_LOCALE,  RegEditHexDataFormat,
            HtmlFormat};
}

QString FormatDisplayText(CLIPFORMAT format)
{
    if (format >= 1 && format <= 16)
        return QString::fromLatin1(MPHClipStrings::StandardFormatTexts[format - 1]);
    const QString name = GetClipboardFormatName(format).left(512).trimmed();
    if (name.isEmpty())
        return QStringLiteral("(%1)").arg(format);
    return name;
}
