// Bookmarks: setting, following and shifting them, and their icons. The
// table logic lives in core/mphbookmarks.

#include "hexeditor/mphexeditor.h"

#include <QColor>

namespace {

constexpr int IconSize = 10;
constexpr int StripWidth = IconSize * TMPHBookmarks::IconCount;

// Cuts the strip into its icons; the colour of the top-left pixel becomes
// transparent in every icon.
QVector<QImage> SplitIcons(const QImage& strip)
{
    QVector<QImage> icons;
    if (strip.width() != StripWidth || strip.height() != IconSize)
        return icons;
    QImage image = strip.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
    }
    icons.reserve(TMPHBookmarks::IconCount);
    for (int i = 0; i < TMPHBookmarks::IconCount; ++i)
        icons.append(image.copy(i * IconSize, 0, IconSize, IconSize));
    return icons;
}

} // namespace

// The built-in icons are a resource of this (static) library: register it
// before the first use, from outside any namespace as Qt requires.
static QImage LoadBuiltInBookmarkIcons()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(mphexeditor);
        return true;
    }();
    Q_UNUSED(registered);
    return QImage(QStringLiteral(":/BOOKMARKICONS"));
}

void TCustomMPHexEditor::SetBookmark(int index, int32_t position, bool inCharField)
{
    m_document.Bookmarks.Set(index, position, inCharField);
    viewport()->update();
    BookmarkChanged();
}

void TCustomMPHexEditor::SetBookmarks(const TMPHBookmarks::Table& table)
{
    m_document.Bookmarks.SetAll(table);
    viewport()->update();
}

bool TCustomMPHexEditor::GotoBookmark(int index)
{
    // Only ten bookmarks exist; any other index finds none.
    if (!TMPHBookmarks::IsValidIndex(index))
        return false;
    const TMPHBookmark mark = m_document.Bookmarks.At(index);
    if (mark.mPosition < 0)
        return false;
    ResetSelection(true);
    if (m_document.Bookmarks.IsStale(index, DataSize(), InsertMode())) {
        SetBookmark(index, -1, false);
        return false;
    }
    const TGridCoord cell = CellAtPosition(mark.mPosition, mark.mInCharField);
    MoveColRow(cell.X, cell.Y, true);
    return true;
}

void TCustomMPHexEditor::ShiftBookmarks(int32_t from, int32_t delta)
{
    if (m_document.Bookmarks.Shift(from, delta, DataSize()))
        BookmarkChanged();
}

void TCustomMPHexEditor::BookmarkChanged()
{
    if (OnBookmarkChanged)
        OnBookmarkChanged(this);
}

void TCustomMPHexEditor::SetBookmarkBitmap(const QImage& value)
{
    if (!value.isNull()) {
        if (value.width() != StripWidth || value.height() != IconSize)
            throw EMPHexEditor(MPHStrings::Text(MPHStrings::InvalidBookmarkBitmap));
        m_bookmarkBitmap = value;
    } else {
        m_bookmarkBitmap = LoadBuiltInBookmarkIcons();
    }
    m_customBookmarkBitmap = !value.isNull();
    BookmarkBitmapChanged();
}

void TCustomMPHexEditor::BookmarkBitmapChanged()
{
    m_bookmarkImages = SplitIcons(m_bookmarkBitmap);
    if (testAttribute(Qt::WA_WState_Created))
        InvalidateCol(0);
}
