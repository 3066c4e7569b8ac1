#include "AddressPrintout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace {

// The ideographic em box stands from 0.12 em below the baseline to 0.88 em above it.
constexpr double kCentreAboveBaseline = 0.38;
constexpr double kTopAboveBaseline = 0.88;

QFont PrintFont(bool vertical, int pixels)
{
    QFont font;
    if (vertical)
        font.setFamilies({QStringLiteral("IPAexMincho"), QStringLiteral("IPAMincho"),
                          QStringLiteral("Noto Serif CJK JP"), QStringLiteral("ＭＳ 明朝"),
                          QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic")});
    else
        // Half-width characters exactly half an em wide, as the layout counts them.
        font.setFamilies({QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("IPAGothic"),
                          QStringLiteral("ＭＳ ゴシック"), QStringLiteral("Noto Sans CJK JP")});
    font.setPixelSize(std::max(1, pixels));
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

} // namespace

AddressPrintout::AddressPrintout(const AddressLayout& layout, bool redBoxes)
    : m_layout(layout), m_redBoxes(redBoxes)
{
}

void AddressPrintout::setUpPrinter(QPrinter& printer) const
{
    const QSizeF paper = m_layout.paper();
    // In millimetres exactly: the named postcard size is rounded to whole points.
    const bool postcard = paper == kPostcardSize;
    printer.setPageSize(QPageSize(paper, QPageSize::Millimeter,
                                  postcard ? QStringLiteral("はがき") : QStringLiteral("A4"),
                                  QPageSize::ExactMatch));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

void AddressPrintout::print(QPrinter* printer) const
{
    QPainter painter;
    if (!painter.begin(printer))
        return;
    const double perMm = printer->resolution() / 25.4;
    for (int i = 0; i < m_layout.pageCount(); ++i) {
        if (i > 0)
            printer->newPage();
        paintPage(painter, i, perMm);
    }
    painter.end();
}

void AddressPrintout::paintPage(QPainter& painter, int index, double perMm) const
{
    const AddressPage page = m_layout.page(index);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (m_redBoxes && !page.postalBoxes.empty()) {
        QPen pen(QColor(220, 30, 30));
        pen.setWidthF(0.3 * perMm);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        for (const QRectF& box : page.postalBoxes)
            painter.drawRect(QRectF(box.topLeft() * perMm, box.size() * perMm));
    }
    painter.setPen(Qt::black);
    for (const PlacedText& t : page.texts) {
        const double em = t.size * perMm;
        const int pixels = int(std::lround(em));
        const int key = pixels * 2 + (t.vertical ? 1 : 0);
        auto it = m_fonts.find(key);
        if (it == m_fonts.end())
            it = m_fonts.insert(key, PrintFont(t.vertical, pixels));
        const QFont& font = *it;
        painter.setFont(font);
        const QPointF centre = (t.box.center() + t.inkShift) * perMm;
        if (!t.vertical && !t.postalDigit) {
            painter.drawText(QPointF(t.box.left() * perMm, t.box.top() * perMm + kTopAboveBaseline * em),
                             t.text);
            continue;
        }
        // The advance of a glyph at a size, measured once for the run.
        const QString advanceKey = QString::number(key) + QLatin1Char(':') + t.text;
        auto known = m_advances.constFind(advanceKey);
        if (known == m_advances.cend())
            known = m_advances.insert(advanceKey,
                                      QFontMetricsF(font, painter.device()).horizontalAdvance(t.text));
        const double advance = *known;
        if (t.turn == Turn::Rotated) {
            painter.save();
            painter.translate(centre);
            painter.rotate(90);
            painter.drawText(QPointF(-advance / 2, kCentreAboveBaseline * em), t.text);
            painter.restore();
        } else {
            painter.drawText(QPointF(centre.x() - advance / 2, centre.y() + kCentreAboveBaseline * em),
                             t.text);
        }
    }
    painter.restore();
}

bool AddressPrintout::writePdf(const QString& path, const QString& title) const
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setDocName(title);
    printer.setCreator(QStringLiteral("Qel"));
    setUpPrinter(printer);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const double perMm = printer.resolution() / 25.4;
    for (int i = 0; i < m_layout.pageCount(); ++i) {
        if (i > 0 && !printer.newPage())
            return false;
        paintPage(painter, i, perMm);
    }
    return painter.end();
}
