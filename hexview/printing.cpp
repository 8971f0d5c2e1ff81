// Print... and Export as PDF...: the editor's rows laid out on pages.

#include "hexview/printing.h"

#include "hexview/core/celltext.h"
#include "hexview/core/printlayout.h"
#include "hexeditor/ex/mphexeditorex.h"
#include "hexeditor/mphcolors.h"
#include "platform/core/codepages.h"
#include "platform/core/exceptions.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <vector>

namespace hexview {

namespace {

// A piece of a printed row in one style.
struct TSegment
{
    QString Text;
    QColor Color;
    bool Bold = false;
};

struct TPageGeometry
{
    double LineHeight = 0;
    double CharWidth = 0;
    double Ascent = 0;
    double Width = 0;
    double Height = 0;
    double Scale = 1;
    int RowsPerPage = 1;
};

class TRowPrinter
{
public:
    TRowPrinter(TMPHexEditorEx& editor, bool selectionOnly) : m_editor(editor), m_selectionOnly(selectionOnly)
    {
        const TMPHPrintFlags flags = editor.PrintOptions()->Flags();
        m_mono = flags.testFlag(pfMonochrome);
        m_boldSelection = flags.testFlag(pfSelectionBold);
        m_selFirst = editor.SelCount() > 0 ? editor.SelFirst() : -1;
        m_selLast = editor.SelCount() > 0 ? editor.SelLast() : -1;
        const QPalette palette = editor.palette();
        const TMPHColors& colors = *editor.Colors();
        m_offsetColor = m_mono ? QColor(Qt::black) : ResolveColor(colors.Offset(), palette);
        m_oddColor = m_mono ? QColor(Qt::black) : ResolveColor(colors.OddColumn(), palette);
        m_evenColor = m_mono ? QColor(Qt::black) : ResolveColor(colors.EvenColumn(), palette);
    }

    bool Selected(int64_t pos) const { return m_selFirst >= 0 && pos >= m_selFirst && pos <= m_selLast; }

    // Segments of data row `row`: offset, hex field, characters.
    std::vector<TSegment> Row(int64_t row)
    {
        std::vector<TSegment> out;
        const int per = m_editor.BytesPerRow();
        const int64_t start = row * per;
        Append(out, m_editor.OffsetToText(uint32_t(start)) + QStringLiteral("  "), m_offsetColor, false);
        const char* digits = m_editor.HexDigitTable();
        const int group = qMax(1, m_editor.BytesPerColumn());
        QString chars;
        for (int i = 0; i < per; ++i) {
            const int64_t pos = start + i;
            const bool present = pos < m_editor.DataSize() && (!m_selectionOnly || m_selFirst < 0 || Selected(pos));
            const QColor color = (i / group) % 2 == 0 ? m_oddColor : m_evenColor;
            const bool bold = m_boldSelection && Selected(pos);
            QString cell = QStringLiteral("  ");
            if (present) {
                const uint8_t b = m_editor.ByteAt(int32_t(pos));
                const uint8_t first = m_editor.SwapNibbles() ? (b & 0x0F) : (b >> 4);
                const uint8_t second = m_editor.SwapNibbles() ? (b >> 4) : (b & 0x0F);
                cell = QString(QChar(digits[first])) + QChar(digits[second]);
            }
            if ((i + 1) % group == 0 || i + 1 == per)
                cell += u' ';
            Append(out, cell, color, bold);
            chars += present ? CharAt(pos) : QStringLiteral(" ");
        }
        Append(out, QStringLiteral(" ") + chars, m_mono ? Qt::black : m_offsetColor, false);
        return out;
    }

    QString Ruler() const
    {
        return QString(m_editor.OffsetToText(0).size() + 2, u' ') + m_editor.HexRulerText() + QStringLiteral(" ")
            + m_editor.CharRulerText();
    }

private:
    QString CharAt(int64_t pos)
    {
        if (m_editor.UnicodeChars())
            return (pos % 2 == 0)
                       ? ShownCharacterText(QString(QChar(m_editor.UnicodeCharAt(int32_t(pos)))), QChar(char16_t(m_editor.MaskChar())))
                       : QString();
        const QString text(QChar(AnsiToUnicode(m_editor.TranslateToDisplay(m_editor.ByteAt(int32_t(pos))))));
        return ShownCharacterText(text, QChar(char16_t(m_editor.MaskChar())));
    }

    static void Append(std::vector<TSegment>& out, const QString& text, const QColor& color, bool bold)
    {
        if (!out.empty() && out.back().Color == color && out.back().Bold == bold)
            out.back().Text += text;
        else
            out.push_back({text, color, bold});
    }

    TMPHexEditorEx& m_editor;
    bool m_selectionOnly = false;
    bool m_mono = true;
    bool m_boldSelection = false;
    int64_t m_selFirst = -1;
    int64_t m_selLast = -1;
    QColor m_offsetColor, m_oddColor, m_evenColor;
};

void DrawSegments(QPainter& painter, const std::vector<TSegment>& segments, double y, const TPageGeometry& g,
                  const QFont& normal, const QFont& bold)
{
    double x = 0;
    for (const TSegment& s : segments) {
        painter.setFont(s.Bold ? bold : normal);
        painter.setPen(s.Color);
        painter.drawText(QPointF(x, y + g.Ascent), s.Text);
        x += g.CharWidth * s.Text.size();
    }
}

TPageGeometry Measure(QPrinter& printer, const QFont& font, int lineChars, int fixedLines)
{
    TPageGeometry g;
    const QFontMetricsF metrics(font, &printer);
    g.LineHeight = metrics.lineSpacing();
    g.CharWidth = metrics.horizontalAdvance(u'0');
    g.Ascent = metrics.ascent();
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const double needed = g.CharWidth * lineChars;
    g.Scale = needed > page.width() && needed > 0 ? page.width() / needed : 1.0;
    g.Width = page.width() / g.Scale;
    g.Height = page.height() / g.Scale;
    g.RowsPerPage = qMax(1, int(g.Height / g.LineHeight) - fixedLines);
    return g;
}

// Everything a run needs to know before the first page.
struct TPrintPlan
{
    QFont Font;
    TPageTexts Texts;
    bool Ruler = false;
    bool SelectionOnly = false;
    TPageGeometry Geometry;
    TPrintRows Rows;
    int Pages = 1;
    TPageSpan Span;
};

TPrintRowsRequest RowsRequest(TMPHexEditorEx& editor, bool selectionOnly, bool viewOnly)
{
    TPrintRowsRequest request;
    request.DataSize = editor.DataSize();
    request.BytesPerRow = editor.BytesPerRow();
    request.SelectionOnly = selectionOnly;
    request.SelFirst = editor.SelCount() > 0 ? editor.SelFirst() : -1;
    request.SelLast = editor.SelCount() > 0 ? editor.SelLast() : -1;
    request.ViewOnly = viewOnly;
    request.FirstVisible = editor.TopRow() - TMPHGridGeometry::FirstDataRow;
    request.VisibleCount = editor.VisibleRowCount();
    return request;
}

// The span of pages the printer's print range asks for (print dialog).
TPageSpan SpanFromPrinter(TMPHexEditorEx& editor, const QPrinter& printer, const TPrintPlan& plan)
{
    switch (printer.printRange()) {
    case QPrinter::PageRange:
        return PageSpanFor(plan.Pages, printer.fromPage(), printer.toPage());
    case QPrinter::CurrentPage: {
        const int64_t caretRow = std::max<int64_t>(0, editor.CaretPosition()) / std::max(1, editor.BytesPerRow());
        const int page = PageOfRow(plan.Rows, plan.Geometry.RowsPerPage, caretRow);
        return {page, page};
    }
    default:
        return {1, plan.Pages};
    }
}

TPrintPlan PlanPrint(TMPHexEditorEx& editor, QPrinter& printer, TPrintScope scope)
{
    const TMPHPrintOptions& options = *editor.PrintOptions();
    const TMPHPrintFlags flags = options.Flags();
    printer.setPageMargins(QMarginsF(options.MarginLeft(), options.MarginTop(), options.MarginRight(),
                                     options.MarginBottom()),
                           QPageLayout::Millimeter);
    TPrintPlan plan;
    plan.Font = editor.FontForPrinting();
    plan.Texts = PageTextsFor(options.PageHeader(), options.PageFooter());
    plan.Ruler = flags.testFlag(pfIncludeRuler);
    const bool fromDialog = scope == TPrintScope::PrintDialog;
    plan.SelectionOnly = fromDialog ? printer.printRange() == QPrinter::Selection : flags.testFlag(pfSelectionOnly);
    const int per = editor.BytesPerRow();
    const int lineChars = int(editor.OffsetToText(uint32_t(editor.DataSize())).size()) + 3 + per * 3
        + per / qMax(1, editor.BytesPerColumn()) + 2;
    plan.Geometry = Measure(printer, plan.Font, lineChars, ReservedLines(plan.Texts, plan.Ruler));
    plan.Rows = PrintRowsFor(RowsRequest(editor, plan.SelectionOnly, !fromDialog && flags.testFlag(pfCurrentViewOnly)));
    plan.Pages = PageCountFor(plan.Rows.Count, plan.Geometry.RowsPerPage);
    plan.Span = fromDialog ? SpanFromPrinter(editor, printer, plan) : TPageSpan{1, plan.Pages};
    return plan;
}

// One page: background, header, ruler, the page's rows, footer.
void DrawPage(QPainter& painter, TMPHexEditorEx& editor, const TPrintPlan& plan, TRowPrinter& rows, int page)
{
    const TPageGeometry& g = plan.Geometry;
    const TMPHPrintFlags flags = editor.PrintOptions()->Flags();
    if (flags.testFlag(pfUseBackgroundColor) && !flags.testFlag(pfMonochrome))
        painter.fillRect(QRectF(0, 0, g.Width, g.Height), ResolveColor(editor.Colors()->Background(), editor.palette()));
    QFont bold = plan.Font;
    bold.setBold(true);
    const auto plain = [&](const QString& text, double at) {
        DrawSegments(painter, {{text, Qt::black, false}}, at, g, plan.Font, bold);
    };
    double y = 0;
    if (!plan.Texts.Header.isEmpty()) {
        plain(ExpandPageText(plan.Texts.Header, page, plan.Pages, editor.FileName()), y);
        y += 2 * g.LineHeight;
    }
    if (plan.Ruler) {
        plain(rows.Ruler(), y);
        y += g.LineHeight;
    }
    const TPrintRows onPage = RowsOnPage(plan.Rows, g.RowsPerPage, page);
    for (int64_t row = onPage.First; row < onPage.First + onPage.Count; ++row) {
        DrawSegments(painter, rows.Row(row), y, g, plan.Font, bold);
        y += g.LineHeight;
    }
    if (!plan.Texts.Footer.isEmpty())
        plain(ExpandPageText(plan.Texts.Footer, page, plan.Pages, editor.FileName()), g.Height - g.LineHeight);
}

} // namespace

int PrintedPageCount(TMPHexEditorEx& editor, QPrinter& printer)
{
    return PlanPrint(editor, printer, TPrintScope::Flags).Pages;
}

int PrintEditor(TMPHexEditorEx& editor, QPrinter& printer, const TPrintProgress& progress, TPrintScope scope)
{
    const TPrintPlan plan = PlanPrint(editor, printer, scope);
    if (plan.Span.First > plan.Span.Last)
        throw Exception(QCoreApplication::translate("hexview", "The printout has only %n page(s)", nullptr, plan.Pages));
    TRowPrinter rows(editor, plan.SelectionOnly);
    QPainter painter(&printer);
    if (!painter.isActive())
        return 0;
    painter.scale(plan.Geometry.Scale, plan.Geometry.Scale);
    const int count = plan.Span.Last - plan.Span.First + 1;
    for (int page = plan.Span.First; page <= plan.Span.Last; ++page) {
        const int done = page - plan.Span.First;
        if (progress && !progress(int(int64_t(done) * 100 / count))) {
            printer.abort();
            painter.end();
            return -1;
        }
        if (done > 0)
            printer.newPage();
        DrawPage(painter, editor, plan, rows, page);
    }
    return count;
}

} // namespace hexview
