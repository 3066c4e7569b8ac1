#include "SheetPrintout.h"

#include "CellFills.h"

#include "sheets/PageHeader.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kCellPadding = 2;
// The spreadsheet programs keep this much of a header's or footer's margin for its text and
// the rest as the space to the cells; a taller line of text takes from the cells.
constexpr double kHeaderTextPoints = 11;

QPageSize::PageSizeId pageSizeOf(int paperSize)
{
    switch (paperSize) {
    case 1:
        return QPageSize::Letter;
    case 5:
        return QPageSize::Legal;
    case 8:
        return QPageSize::A3;
    case 11:
        return QPageSize::A5;
    case 12:
        return QPageSize::JisB4;
    case 13:
        return QPageSize::JisB5;
    default:
        return QPageSize::A4;
    }
}

QFont fontOf(const SheetFont& font, double scale)
{
    QFont f;
    QStringList families;
    if (!font.name.isEmpty())
        families << font.name;
    families << QStringLiteral("Noto Sans CJK JP") << QStringLiteral("IPAGothic")
             << QStringLiteral("IPAexGothic");
    f.setFamilies(families);
    f.setPointSizeF(std::max(1.0, font.size * scale));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    return f;
}

// The look of each section of a page header or footer, from its font codes: &"name,style"
// (a style naming bold or italic), &B and &I (toggles) and &nn (size in points). A code anywhere
// in a section sets the whole section.
struct SectionFonts
{
    SheetFont fonts[3];
};

SectionFonts sectionFontsOf(const QString& header, const SheetFont& base)
{
    SectionFonts out;
    for (SheetFont& f : out.fonts)
        f = base;
    for (const HeaderToken& token : TokenizeHeader(header)) {
        if (token.kind != HeaderToken::Font)
            continue;
        SheetFont& font = out.fonts[token.section];
        const QStringView code = token.piece.mid(1);
        const QChar letter = code.front().toUpper();
        if (letter == QLatin1Char('B')) {
            font.bold = !font.bold;
        } else if (letter == QLatin1Char('I')) {
            font.italic = !font.italic;
        } else if (letter == QLatin1Char('"')) {
            QStringView fontCode = code.mid(1);
            if (fontCode.endsWith(QLatin1Char('"')))
                fontCode.chop(1);
            const qsizetype comma = fontCode.indexOf(QLatin1Char(','));
            const QString name = fontCode.left(comma < 0 ? fontCode.size() : comma).trimmed().toString();
            const QStringView style = comma < 0 ? QStringView() : fontCode.mid(comma + 1);
            if (!name.isEmpty() && name != QLatin1String("-"))
                font.name = name;
            if (comma >= 0) {
                font.bold = style.contains(QStringLiteral("太字")) ||
                            style.contains(QLatin1String("Bold"), Qt::CaseInsensitive);
                font.italic = style.contains(QStringLiteral("斜体")) ||
                              style.contains(QLatin1String("Italic"), Qt::CaseInsensitive);
            }
        } else if (letter.isDigit()) {
            font.size = code.toDouble();
        }
    }
    return out;
}

// Measures in points.
QFontMetricsF pointMetrics(const QFont& font)
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(2835); // 72 dpi
        image.setDotsPerMeterY(2835);
        return image;
    }();
    return QFontMetricsF(font, &device);
}

const SheetFont kHeaderFont{QStringLiteral("ＭＳ ゴシック"), 10, false, false};

} // namespace

SheetPrintout::SheetPrintout(SheetModel model, std::vector<QColor> fills)
    : m_model(std::move(model)), m_fills(std::move(fills))
{
    m_lastRow = std::max(m_model.lastRow(), m_model.titleLastRow);
    m_lastColumn = m_model.lastColumn();
    // A column's width counts digits of the workbook's default font, its first one.
    // The font is taken as this system substitutes it, with no fallback of the preview's own.
    const SheetFont base = m_model.fonts.empty() ? SheetFont() : m_model.fonts.front();
    QFont digits(base.name.isEmpty() ? QStringLiteral("Calibri") : base.name);
    digits.setPointSizeF(base.size > 0 ? base.size : 11);
    m_characterPoints = pointMetrics(digits).horizontalAdvance(QLatin1Char('0'));
    m_headerLinePoints = pointMetrics(fontOf(kHeaderFont, 1)).height();
}

SheetPrintout SheetPrintout::fromFile(const QString& path)
{
    return SheetPrintout(ReadWorkbook(path), ReadCellFills(path));
}

QColor SheetPrintout::fillOf(int style) const
{
    return style >= 0 && style < int(m_fills.size()) ? m_fills[size_t(style)] : QColor();
}

QString SheetPrintout::fittedNumber(const QString& text, const QFontMetricsF& metrics, double width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const double hash = metrics.horizontalAdvance(QLatin1Char('#'));
    const int count = hash > 0 ? std::max(1, int(std::floor(width / hash))) : 1;
    return QString(count, QLatin1Char('#'));
}

QSizeF SheetPrintout::sheetPaper() const
{
    const QSizeF portrait = QPageSize(pageSizeOf(m_model.page.paperSize)).size(QPageSize::Point);
    return m_model.page.landscape ? portrait.transposed() : portrait;
}

double SheetPrintout::columnPoints(int column) const
{
    return std::max(0.0, m_model.columnWidth(column)) * m_characterPoints;
}

double SheetPrintout::bandPoints(double margin, double edge) const
{
    // From the paper's edge to the cells: the edge margin, then the header's text and the
    // space under it, both counted in the sheet's own (scaled) points.
    const double band = (margin - edge) * 72;
    return std::max(0.0, band - kHeaderTextPoints) + std::max(kHeaderTextPoints, m_headerLinePoints);
}

double SheetPrintout::cellsTop(double scale) const
{
    const SheetPage& page = m_model.page;
    return m_model.oddHeader.isEmpty() ? page.top * 72
                                       : page.header * 72 + bandPoints(page.top, page.header) * scale;
}

SheetPrintout::Layout SheetPrintout::layoutFor(QSizeF paper) const
{
    if (paper.isEmpty())
        paper = sheetPaper();
    const SheetPage& page = m_model.page;
    const double width = paper.width() - (page.left + page.right) * 72;

    double totalWidth = 0, totalHeight = 0;
    for (int c = 1; c <= m_lastColumn; ++c)
        totalWidth += columnPoints(c);
    for (int r = 1; r <= m_lastRow; ++r)
        totalHeight += m_model.rowHeight(r);

    // The cells' height on a page at a scale: what the margins leave, less the header and
    // footer bands, which shrink and grow with the cells.
    const auto cellsHeight = [&](double scale) {
        const double top = m_model.oddHeader.isEmpty() ? page.top * 72 : page.header * 72;
        const double bottom = m_model.oddFooter.isEmpty() ? page.bottom * 72 : page.footer * 72;
        double height = (paper.height() - top - bottom) / scale;
        if (!m_model.oddHeader.isEmpty())
            height -= bandPoints(page.top, page.header);
        if (!m_model.oddFooter.isEmpty())
            height -= bandPoints(page.bottom, page.footer);
        return height;
    };

    Layout layout;
    layout.scale = page.scale / 100.0;
    if (page.fitToPage) {
        // Fitting chooses a whole percent, as the spreadsheet programs do.
        double fit = 1;
        if (page.fitToWidth > 0 && totalWidth > 0)
            fit = std::min(fit, page.fitToWidth * width / totalWidth);
        if (page.fitToHeight > 0 && totalHeight > 0)
            fit = std::min(fit, page.fitToHeight * cellsHeight(1) / totalHeight);
        layout.scale = std::floor(fit * 100 + 1e-9) / 100;
    }
    layout.scale = std::clamp(layout.scale, 0.1, 4.0);

    const double availableWidth = width / layout.scale, availableHeight = cellsHeight(layout.scale);
    for (int c = 1; c <= std::max(1, m_lastColumn);) {
        double used = 0;
        int last = c;
        while (last <= m_lastColumn && (used + columnPoints(last) <= availableWidth || last == c))
            used += columnPoints(last++);
        layout.columnGroups.emplace_back(c, std::max(c, last - 1));
        c = std::max(last, c + 1);
    }
    double titleHeight = 0;
    for (int r = m_model.titleFirstRow; r >= 1 && r <= m_model.titleLastRow; ++r)
        titleHeight += m_model.rowHeight(r);
    for (int r = 1; r <= std::max(1, m_lastRow);) {
        double used = m_model.titleLastRow > 0 && r > m_model.titleLastRow ? titleHeight : 0;
        int last = r;
        while (last <= m_lastRow && (used + m_model.rowHeight(last) <= availableHeight || last == r))
            used += m_model.rowHeight(last++);
        layout.rowPages.emplace_back(r, std::max(r, last - 1));
        r = std::max(last, r + 1);
    }
    return layout;
}

void SheetPrintout::applyPageSetup(QPrinter& printer) const
{
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(pageSizeOf(m_model.page.paperSize)));
    printer.setPageOrientation(m_model.page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    printer.setDocName(m_model.fileName);
}

double SheetPrintout::scale(QSizeF paper) const
{
    return layoutFor(paper).scale;
}

int SheetPrintout::pageCount(QSizeF paper) const
{
    return layoutFor(paper).pages();
}

void SheetPrintout::paintPage(QPainter& painter, int pageIndex, QSizeF paper) const
{
    if (paper.isEmpty())
        paper = sheetPaper();
    const Layout layout = layoutFor(paper);
    if (pageIndex < 0 || pageIndex >= layout.pages())
        return;
    const auto [firstColumn, lastColumn] = layout.columnGroups[pageIndex / layout.rowPages.size()];
    const auto [firstRow, lastRow] = layout.rowPages[pageIndex % layout.rowPages.size()];
    const SheetPage& page = m_model.page;
    const double k = painter.device()->logicalDpiX() / 72.0;
    const double ky = painter.device()->logicalDpiY() / 72.0;
    const double s = layout.scale;
    auto device = [&](double xPt, double yPt) { return QPointF(xPt * k, yPt * ky); };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    // Page header and footer, each section in the font its codes give.
    const SheetFont& headerFont = kHeaderFont;
    painter.setPen(Qt::black);
    const double left = page.left * 72, right = paper.width() - page.right * 72;
    for (int part = 0; part < 2; ++part) {
        const QString& codes = part == 0 ? m_model.oddHeader : m_model.oddFooter;
        const HeaderText text =
            HeaderSectionsOf(codes, pageIndex + 1, layout.pages(), m_model.sheetName, m_model.fileName);
        const SectionFonts fonts = sectionFontsOf(codes, headerFont);
        const double lineHeight = 14;
        const double top = part == 0 ? page.header * 72 : paper.height() - page.footer * 72 - lineHeight;
        const QRectF band(device(left, top), device(right, top + lineHeight));
        const std::pair<Qt::Alignment, const QString*> sections[] = {
            {Qt::AlignLeft, &text.left}, {Qt::AlignHCenter, &text.center}, {Qt::AlignRight, &text.right}};
        for (int section = 0; section < 3; ++section) {
            painter.setFont(fontOf(fonts.fonts[section], 1));
            painter.drawText(band, sections[section].first | Qt::AlignVCenter, *sections[section].second);
        }
    }

    std::vector<int> rows;
    if (m_model.titleLastRow > 0 && firstRow > m_model.titleLastRow) {
        for (int r = m_model.titleFirstRow; r <= m_model.titleLastRow; ++r)
            rows.push_back(r);
    }
    for (int r = firstRow; r <= lastRow; ++r)
        rows.push_back(r);

    std::vector<double> columnX{0};
    for (int c = firstColumn; c <= lastColumn; ++c)
        columnX.push_back(columnX.back() + columnPoints(c) * s);
    const double originX = page.left * 72, originY = cellsTop(s);
    QPen line(Qt::black);
    line.setWidthF(std::max(1.0, 0.5 * k));

    double y = originY;
    for (int r : rows) {
        const double h = m_model.rowHeight(r) * s;
        if (h <= 0)
            continue;
        // Fills first, so that text running on over a neighbour stays on top of its fill.
        for (int c = firstColumn; c <= lastColumn; ++c) {
            const SheetCell* cell = m_model.cell(r, c);
            const QColor fill = fillOf(cell ? cell->style : m_model.columnStyle(c));
            const double x0 = originX + columnX[c - firstColumn], x1 = originX + columnX[c - firstColumn + 1];
            if (fill.isValid() && x1 > x0)
                painter.fillRect(QRectF(device(x0, y), device(x1, y + h)), fill);
        }
        for (int c = firstColumn; c <= lastColumn; ++c) {
            const SheetCell* cell = m_model.cell(r, c);
            const int style = cell ? cell->style : m_model.columnStyle(c);
            const double x0 = originX + columnX[c - firstColumn], x1 = originX + columnX[c - firstColumn + 1];
            if (cell) {
                QString text = m_model.displayText(*cell);
                if (!text.isEmpty()) {
                    const SheetFormat& format = m_model.format(style);
                    Qt::Alignment align = Qt::AlignLeft;
                    if (format.horizontal == QLatin1String("center") ||
                        format.horizontal == QLatin1String("centerContinuous"))
                        align = Qt::AlignHCenter;
                    else if (format.horizontal == QLatin1String("right") ||
                             (format.horizontal.isEmpty() && cell->isNumber))
                        align = Qt::AlignRight;
                    if (format.vertical == QLatin1String("center"))
                        align |= Qt::AlignVCenter;
                    else if (format.vertical == QLatin1String("top"))
                        align |= Qt::AlignTop;
                    else
                        align |= Qt::AlignBottom;
                    // Left-aligned text runs on over empty neighbours, as on screen.
                    double end = x1;
                    if ((align & Qt::AlignLeft) && !format.wrap && !cell->isNumber) {
                        for (int n = c + 1; n <= lastColumn && !m_model.cell(r, n); ++n)
                            end = originX + columnX[n - firstColumn + 1];
                        for (int n = c + 1; n <= lastColumn; ++n) {
                            const SheetCell* next = m_model.cell(r, n);
                            if (next && !m_model.displayText(*next).isEmpty()) {
                                end = std::min(end, originX + columnX[n - firstColumn]);
                                break;
                            }
                        }
                    }
                    painter.setFont(fontOf(m_model.font(style), s));
                    const QRectF box(device(x0 + kCellPadding * s, y), device(end - kCellPadding * s, y + h));
                    // A number never runs on, nor is it cut: one too wide for its cell shows "#".
                    if (cell->isNumber)
                        text =
                            fittedNumber(text, QFontMetricsF(painter.font(), painter.device()), box.width());
                    painter.save();
                    painter.setClipRect(QRectF(device(x0, y), device(end, y + h)));
                    painter.drawText(box, int(align) | (format.wrap ? Qt::TextWordWrap : 0), text);
                    painter.restore();
                }
            }
            const SheetBorder& border = m_model.border(style);
            if (cell && (border.left || border.right || border.top || border.bottom)) {
                painter.setPen(line);
                if (border.left)
                    painter.drawLine(device(x0, y), device(x0, y + h));
                if (border.right)
                    painter.drawLine(device(x1, y), device(x1, y + h));
                if (border.top)
                    painter.drawLine(device(x0, y), device(x1, y));
                if (border.bottom)
                    painter.drawLine(device(x0, y + h), device(x1, y + h));
                painter.setPen(Qt::black);
            }
        }
        y += h;
    }
    painter.restore();
}

void SheetPrintout::print(QPrinter* printer) const
{
    const QSizeF paper = printer->pageLayout().fullRect(QPageLayout::Point).size();
    QPainter painter;
    if (!painter.begin(printer))
        return;
    const int pages = pageCount(paper);
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            printer->newPage();
        paintPage(painter, p, paper);
    }
    painter.end();
}
