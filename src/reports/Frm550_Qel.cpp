#include "Frm550_Qel.h"

#include "core/ChooserFolder.h"
#include "core/Clock.h"
#include "core/DateText.h"
#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/PeriodMonth.h"
#include "core/TextRoutines.h"
#include "sheets/preview/SheetPreview.h"
#include "ui/BusyRun.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QFontMetricsF>
#include <QHorizontalBarSeries>
#include <QImage>
#include <QImageWriter>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace {

const QColor kThisYear{70, 110, 190};
const QColor kYearBefore{230, 120, 40};
// The chart gives the names left of the bars no more than four tenths of its width, less the
// margins.
constexpr double kNameShare = 0.36;

QString NameText(const QString& name)
{
    return name.isEmpty() ? QStringLiteral("（名前なし）") : name;
}

// The amount axis: from zero (or the lowest value below it) to a round step above the highest,
// about five steps, each labelled as an amount.
QCategoryAxis* AmountAxis(double lowest, double highest)
{
    lowest = std::min(lowest, 0.0);
    highest = std::max(highest, 1.0);
    const double raw = (highest - lowest) / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = magnitude;
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        step = m * magnitude;
        if (step >= raw)
            break;
    }
    const double bottom = std::floor(lowest / step) * step;
    const double top = std::ceil(highest / step) * step;
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setLabelsFont(ScreenFont(8));
    // The first label stands on the lowest value: its category starts a yen below it.
    axis->setStartValue(bottom - 1);
    for (double v = bottom; v <= top + step / 2; v += step)
        axis->append(YenText(static_cast<Amount>(std::llround(v))), v);
    axis->setRange(bottom, top);
    return axis;
}

QBarCategoryAxis* NameAxis(const QStringList& names, double points = 8)
{
    auto* axis = new QBarCategoryAxis;
    axis->append(names);
    axis->setLabelsFont(ScreenFont(points));
    // The chart shortens a label to "…" long before its space runs out: every name and month is
    // read whole, and the layout makes the room for it.
    axis->setTruncateLabels(false);
    return axis;
}

// One horizontal bar a name, the amounts along the bottom: the maker and purchaser rankings.
void RankingBars(QChart* chart, QBarSet* totals, const QStringList& names, double points)
{
    double lowest = 0, highest = 0;
    for (int i = 0; i < totals->count(); ++i) {
        lowest = std::min(lowest, totals->at(i));
        highest = std::max(highest, totals->at(i));
    }
    auto* bars = new QHorizontalBarSeries;
    bars->append(totals);
    chart->addSeries(bars);
    QBarCategoryAxis* nameAxis = NameAxis(names, points);
    chart->addAxis(nameAxis, Qt::AlignLeft);
    QCategoryAxis* amounts = AmountAxis(lowest, highest);
    chart->addAxis(amounts, Qt::AlignBottom);
    bars->attachAxis(nameAxis);
    bars->attachAxis(amounts);
    chart->legend()->hide();
}

} // namespace

Frm550_Qel::Frm550_Qel() : MainScreen(Forms::Frm550_Qel)
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Label, "Lbl_Ttl", 14, QStringLiteral("売上グラフ"), 360, 240, 10995, 435},
        {K::Label, "Lbl_Ttl", 8, QStringLiteral("期　間"), 360, 780, 1215, 375},
        {K::Label, "Lbl_Dat", 0, QString(), 1635, 780, 2175, 375},
        {K::Label, "Lbl_Dat", 2, QStringLiteral("～"), 3870, 780, 375, 375},
        {K::Label, "Lbl_Dat", 1, QString(), 4305, 780, 2175, 375},
        {K::Label, "Lbl_Ttl", 0, QStringLiteral("対　象"), 6600, 780, 1095, 375},
        {K::Combo, "Combo1", -1, QString(), 7755, 780, 3600, 375},
        {K::Button, "Cmd", 0, QStringLiteral("月別"), 360, 1260, 1815, 375},
        {K::Button, "Cmd", 1, QString(), 2235, 1260, 1815, 375},
        {K::Button, "Cmd", 2, QStringLiteral("購入者別"), 4110, 1260, 1815, 375},
        {K::Label, "Lbl_Dat", 7, QStringLiteral("該当する売上はありません"), 360, 1740, 10995, 4800},
        {K::Label, "Lbl_Ttl", 9, QStringLiteral("売上合計"), 360, 6600, 1335, 375},
        {K::Label, "Lbl_Dat", 3, QString(), 1755, 6600, 2055, 375},
        {K::Label, "Lbl_Dat", 4, QString(), 3870, 6600, 1095, 375},
        {K::Label, "Lbl_Ttl", 15, QStringLiteral("前年同期"), 5085, 6600, 1335, 375},
        {K::Label, "Lbl_Dat", 5, QString(), 6480, 6600, 2055, 375},
        {K::Label, "Lbl_Ttl", 16, QStringLiteral("前年比"), 8655, 6600, 1095, 375},
        {K::Label, "Lbl_Dat", 6, QString(), 9810, 6600, 1545, 375},
        {K::Button, "Cmd", 3, QStringLiteral("印刷"), 360, 7080, 1815, 495},
        {K::Button, "Cmd", 4, QStringLiteral("画像保存"), 2280, 7080, 1815, 495},
        {K::Button, "Cmd", 5, QStringLiteral("閉じる"), 9540, 7080, 1815, 495},
        {K::Label, "Lbl_Ttl", 11, QString(), 360, 7620, 10995, 375},
    });
    Combo1 = Control<QComboBox>("Combo1");
    setWindowTitle(QStringLiteral("売上グラフ"));

    Chart1 = new QChartView(this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setGeometry(TwRect(360, 1740, 10995, 4800));
    Chart1->setRenderHint(QPainter::Antialiasing);
    Chart1->setFocusPolicy(Qt::NoFocus);

    StyleRoleLabels({.framedTitle = true});
    for (int i : {0, 8, 9, 15, 16}) {
        SetBackColor(Lbl_Ttl(i), Colors::LightCyan);
        Lbl_Ttl(i)->setAlignment(Qt::AlignCenter);
    }
    for (int i : {0, 1, 3, 4, 5, 6}) {
        SetBordered(Lbl_Dat(i));
        SetBackColor(Lbl_Dat(i), Colors::LightBlue);
    }
    for (int i : {0, 1, 2})
        Lbl_Dat(i)->setAlignment(Qt::AlignCenter);
    for (int i : {3, 4, 5, 6})
        Lbl_Dat(i)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Lbl_Dat(7)->setAlignment(Qt::AlignCenter);
    Lbl_Dat(7)->setFont(ScreenFont(16));
    SetBordered(Lbl_Dat(7));
    Lbl_Dat(7)->hide();
    for (int i : {0, 1, 2})
        Cmd(i)->setCheckable(true);

    setTabOrder(Combo1, Cmd(0));
    setTabOrder(Cmd(0), Cmd(1));
    setTabOrder(Cmd(1), Cmd(2));
    setTabOrder(Cmd(2), Cmd(3));
    setTabOrder(Cmd(3), Cmd(4));
    setTabOrder(Cmd(4), Cmd(5));
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
}

void Frm550_Qel::LoadProc()
{
    const AppGlobals& g = G();
    Cmd(1)->setText(g.Maker + QStringLiteral("別"));
    PeriodDispProc();
    // All sales, or those of the maker or purchaser that the menu had chosen.
    m_scopes.clear();
    Combo1->clear();
    m_scopes.push_back({ChartScope::Kind::All, g.PeriodFrom, g.PeriodTo, QString()});
    Combo1->addItem(QStringLiteral("すべての売上"));
    if (!g.ReportMaker.isEmpty()) {
        m_scopes.push_back({ChartScope::Kind::Maker, g.PeriodFrom, g.PeriodTo, g.ReportMaker});
        Combo1->addItem(g.Maker + QStringLiteral("名：") + g.ReportMaker);
    }
    if (!g.ReportBuyer.isEmpty()) {
        m_scopes.push_back({ChartScope::Kind::Buyer, g.PeriodFrom, g.PeriodTo, g.ReportBuyer});
        Combo1->addItem(QStringLiteral("購入者：") + g.ReportBuyer);
    }
    Combo1->setCurrentIndex(0);
    m_scope = m_scopes.front();
    m_view = View::Months;
    ShowScreen();
    DataReadProc();
    Cmd(0)->setFocus(Qt::OtherFocusReason);
}

void Frm550_Qel::PeriodDispProc()
{
    Lbl_Dat(0)->setText(PeriodBoundText(G().PeriodFrom));
    Lbl_Dat(1)->setText(PeriodBoundText(G().PeriodTo));
}

void Frm550_Qel::Combo1_Click()
{
    const int index = Combo1->currentIndex();
    if (index < 0 || index >= static_cast<int>(m_scopes.size()))
        return;
    m_scope = m_scopes[index];
    DataReadProc();
}

void Frm550_Qel::Cmd_Click(int index)
{
    switch (index) {
    case 0:
    case 1:
    case 2:
        m_view = index == 0 ? View::Months : index == 1 ? View::Makers : View::Buyers;
        ChartProc();
        return;
    case 3:
        PrintProc();
        return;
    case 4:
        ImageSaveProc();
        return;
    case 5:
        OpenScreen(Forms::Frm510_Qel);
        return;
    default:
        return;
    }
}

void Frm550_Qel::DataReadProc()
{
    m_months.reset();
    m_makers.reset();
    m_buyers.reset();
    ChartProc();
}

// Shows the chosen view, reading what it needs first. A failed read leaves the screen without a
// chart; choosing a view again reads again.
void Frm550_Qel::ChartProc()
{
    for (int i : {0, 1, 2})
        Cmd(i)->setChecked(static_cast<int>(m_view) == i);
    Lbl_Ttl(11)->clear();
    const ChartStore store;
    const bool read =
        GuardedRun({Combo1, Cmd(0), Cmd(1), Cmd(2), Cmd(3), Cmd(4), Cmd(5)}, nullptr, [&](BusyRun&) {
            if (!m_months)
                m_months = store.months(m_scope);
            if (m_view == View::Makers && !m_makers && m_months->count > 0)
                m_makers = store.makers(m_scope);
            if (m_view == View::Buyers && !m_buyers && m_months->count > 0)
                m_buyers = store.buyers(m_scope);
        });
    SumDispProc();

    // The months can stand against a year before without sales of their own; the rankings cannot.
    const bool empty = !read || m_months->months.empty() || (m_view != View::Months && m_months->count == 0);
    Lbl_Dat(7)->setVisible(read && empty);
    Chart1->setVisible(!empty);
    Cmd(3)->setEnabled(!empty);
    Cmd(4)->setEnabled(!empty);
    if (!read) {
        Lbl_Ttl(11)->setText(QStringLiteral("売上を集計できませんでした"));
        return;
    }
    if (empty)
        return;

    auto* chart = new QChart;
    chart->setFont(ScreenFont(9));
    chart->setTitleFont(ScreenFont(11));
    chart->legend()->setFont(ScreenFont(9));
    // Room on the right for the last amount label.
    chart->setMargins(QMargins(4, 4, 28, 4));
    switch (m_view) {
    case View::Months:
        MonthChartProc(chart);
        break;
    case View::Makers:
        MakerChartProc(chart);
        break;
    case View::Buyers:
        BuyerChartProc(chart);
        break;
    }
    QChart* old = Chart1->chart();
    Chart1->setChart(chart);
    delete old;
}

void Frm550_Qel::SumDispProc()
{
    if (!m_months) {
        for (int i : {3, 4, 5, 6})
            Lbl_Dat(i)->clear();
        return;
    }
    const MonthChart& m = *m_months;
    Lbl_Dat(3)->setText(YenText(m.total));
    Lbl_Dat(4)->setText(QStringLiteral("%1件").arg(m.count));
    // An open period, or one whose year before lies before the first sale, has nothing alike to
    // compare with.
    Lbl_Dat(5)->setText(m.yearBefore ? YenText(*m.yearBefore) : QStringLiteral("－"));
    if (!m.yearBefore || *m.yearBefore <= 0) {
        Lbl_Dat(6)->setText(QStringLiteral("－"));
    } else {
        const Amount change = m.total - *m.yearBefore;
        Lbl_Dat(6)->setText((change < 0 ? QStringLiteral("-") : QStringLiteral("+")) +
                            PerMilleText(PerMille(change < 0 ? -change : change, *m.yearBefore)));
    }
}

void Frm550_Qel::MonthChartProc(QChart* chart) const
{
    chart->setTitle(QStringLiteral("月別売上"));
    auto* thisYear = new QBarSet(QStringLiteral("売上"));
    thisYear->setColor(kThisYear);
    auto* yearBefore = new QLineSeries;
    yearBefore->setName(QStringLiteral("前年同月"));
    yearBefore->setColor(kYearBefore);
    // A month alone, or a year before that starts in the last month, is a point, not a line.
    yearBefore->setPointsVisible(true);
    yearBefore->setMarkerSize(5);
    QStringList months;
    double lowest = 0, highest = 0;
    int x = 0;
    // Up to a year the month stands under its bar in two short lines, the year over the month,
    // so that twelve fit side by side; beyond a year upright in its short form ("H17/05",
    // "2005/05").
    const bool many = m_months->months.size() > 12;
    const QString shortForm = EraMode() ? QStringLiteral("gee/mm") : QStringLiteral("yyyy/mm");
    const QString year = EraMode() ? QStringLiteral("gggee年") : QStringLiteral("yyyy年");
    for (const MonthTotal& m : m_months->months) {
        const QDate first = FirstDayOf(m.month);
        // The labels are rich text: "<br>" breaks the line.
        months << (many ? FormatDate(first, shortForm)
                        : FormatDate(first, year) + QStringLiteral("<br>") +
                              FormatDate(first, QStringLiteral("mm月")));
        thisYear->append(static_cast<double>(m.total));
        // No point where the month a year earlier lies before the first sale.
        if (m.yearBefore)
            yearBefore->append(x, static_cast<double>(*m.yearBefore));
        ++x;
        lowest = std::min({lowest, double(m.total), double(m.yearBefore.value_or(0))});
        highest = std::max({highest, double(m.total), double(m.yearBefore.value_or(0))});
    }
    auto* bars = new QBarSeries;
    bars->append(thisYear);
    chart->addSeries(bars);
    // Without a month to compare with, the legend names no line.
    if (yearBefore->count() > 0)
        chart->addSeries(yearBefore);
    else
        delete yearBefore;

    QBarCategoryAxis* monthAxis = NameAxis(months);
    if (many)
        monthAxis->setLabelsAngle(-90);
    chart->addAxis(monthAxis, Qt::AlignBottom);
    QCategoryAxis* amounts = AmountAxis(lowest, highest);
    chart->addAxis(amounts, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(monthAxis);
        s->attachAxis(amounts);
    }
    chart->legend()->setAlignment(Qt::AlignTop);
}

void Frm550_Qel::MakerChartProc(QChart* chart) const
{
    chart->setTitle(G().Maker + QStringLiteral("別売上（上位%1）").arg(ChartStore::kTopMakers));
    auto* totals = new QBarSet(QStringLiteral("売上"));
    totals->setColor(kThisYear);
    QStringList names;
    // The bars run upwards from the first category: the largest is added last, to stand on top.
    for (auto it = m_makers->rbegin(); it != m_makers->rend(); ++it) {
        names << NameText(it->maker) + QStringLiteral("　") + YenText(it->total) + QStringLiteral("　") +
                     PerMilleText(it->perMille);
        totals->append(static_cast<double>(it->total));
    }
    RankingBars(chart, totals, names, 8);
}

void Frm550_Qel::BuyerChartProc(QChart* chart) const
{
    // The rows need the title's height; the pressed button says what is shown. The names are read
    // at the screen's size: ten rows fill the height, and a name too long for the share of the
    // width the chart gives its names ends in "…".
    const QFont font = ScreenFont();
    const QFontMetricsF metrics(font);
    const double room = Chart1->width() * kNameShare;
    auto* totals = new QBarSet(QStringLiteral("売上"));
    totals->setColor(kThisYear);
    QStringList names;
    for (auto it = m_buyers->rbegin(); it != m_buyers->rend(); ++it) {
        const QString figures =
            QStringLiteral("　") + YenText(it->total) + QStringLiteral("　%1件").arg(it->count);
        names << metrics.elidedText(NameText(it->buyer), Qt::ElideRight,
                                    room - metrics.horizontalAdvance(figures)) +
                     figures;
        totals->append(static_cast<double>(it->total));
    }
    RankingBars(chart, totals, names, font.pointSizeF());
}

QString Frm550_Qel::ViewName() const
{
    switch (m_view) {
    case View::Makers:
        return G().Maker + QStringLiteral("別");
    case View::Buyers:
        return QStringLiteral("購入者別");
    case View::Months:
        break;
    }
    return QStringLiteral("月別");
}

void Frm550_Qel::PrintProc()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QStringLiteral("売上グラフ（%1）").arg(ViewName()));
    ShowPrintPreview(this, printer, QStringLiteral("売上グラフ（%1）").arg(ViewName()),
                     [this](QPrinter* p) { PrintPageProc(p); });
}

// One page: the heading with the period and the sales summed, the chart, and the figures
// under it as the screen shows them.
void Frm550_Qel::PrintPageProc(QPrinter* printer)
{
    QPainter painter(printer);
    const QRectF page =
        printer->pageLayout()
            .paintRectPixels(printer->resolution())
            .translated(-printer->pageLayout().paintRectPixels(printer->resolution()).topLeft());
    const double pt = printer->resolution() / 72.0;

    QFont font = ScreenFont(16);
    painter.setFont(font);
    QRectF line(page.left(), page.top(), page.width(), 24 * pt);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("売上グラフ（%1）").arg(ViewName()));
    font = ScreenFont(10);
    painter.setFont(font);
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("印刷日 ") + ShortDate(Clock::current().now().date()));
    line.translate(0, 24 * pt);
    line.setHeight(16 * pt);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("期間：%1 ～ %2　　対象：%3")
                         .arg(Lbl_Dat(0)->text(), Lbl_Dat(1)->text(), Combo1->currentText()));

    const QString figures =
        QStringLiteral("売上合計 %1　%2　　前年同期 %3　　前年比 %4")
            .arg(Lbl_Dat(3)->text(), Lbl_Dat(4)->text(), Lbl_Dat(5)->text(), Lbl_Dat(6)->text());
    const QRectF bottom(page.left(), page.bottom() - 18 * pt, page.width(), 18 * pt);
    painter.drawText(bottom, Qt::AlignLeft | Qt::AlignVCenter, figures);

    // The chart as large as the page allows, in its shape on the screen.
    QRectF area(page.left(), line.bottom() + 8 * pt, page.width(), bottom.top() - line.bottom() - 16 * pt);
    const QSizeF shape = QSizeF(Chart1->size()).scaled(area.size(), Qt::KeepAspectRatio);
    area =
        QRectF(area.left() + (area.width() - shape.width()) / 2, area.top(), shape.width(), shape.height());
    Chart1->render(&painter, area, Chart1->viewport()->rect());
}

void Frm550_Qel::ImageSaveProc()
{
    int type = 0;
    const QString chosen = Dialogs().saveFile(
        QStringLiteral("画像保存"), ChooserTarget(QStringLiteral("売上グラフ（%1）.png").arg(ViewName())),
        {QStringLiteral("PNG 画像 (*.png)")}, type);
    if (chosen.isEmpty())
        return;
    const ChosenFile target = ChosenTarget(chosen, QStringLiteral("png"));
    // Twice the screen's size, so that the picture stays sharp in a document or on paper.
    QImage image(Chart1->viewport()->size() * 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        Chart1->render(&painter, QRectF(image.rect()), Chart1->viewport()->rect());
    }
    QString written;
    const bool saved = Guarded([&] {
        FileSave save(target.path, target.existing);
        QImageWriter writer(&save.file(), "png");
        if (!writer.write(image))
            throw QelError(QelError::Kind::FileOperation,
                           QStringLiteral("画像ファイルを保存できません。\n") + ShownPath(target.path),
                           writer.errorString());
        written = save.commit();
    });
    if (saved)
        Dialogs().fileWritten(QStringLiteral("画像ファイルを保存しました"),
                              QStringLiteral("売上グラフを画像ファイルに保存しました\n") + ShownPath(written),
                              written);
}
