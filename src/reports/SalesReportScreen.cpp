#include "SalesReportScreen.h"

#include "core/DateText.h"
#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/PeriodMonth.h"
#include "core/TextRoutines.h"
#include "exchange/CsvExport.h"
#include "sales/SaleDisplay.h"
#include "sales/SalesStore.h"
#include "sheets/SalesDetailSheet.h"
#include "sheets/preview/WorkbookRun.h"
#include "ui/BusyRun.h"
#include "ui/Twips.h"
#include "ui/WaitService.h"

#include <QApplication>
#include <QDir>

#include <optional>

namespace {

// The top of the label row a jump button sits beside.
int JumpRowTop(ReportJump jump)
{
    switch (jump) {
    case ReportJump::PeriodOfSale:
        return 840;
    case ReportJump::MakerOfSale:
        return 1320;
    case ReportJump::BuyerOfSale:
        break;
    }
    return 4200;
}

} // namespace

SalesReportScreen::SalesReportScreen(ReportKind kind)
    : MainScreen(ReportFormName(kind)), m_variant(ReportVariant::Of(kind))
{
    using K = ControlRow::Kind;
    BuildControls({
        {K::Label, "Lbl_Ttl", 14, QString(), 360, 240, 10995, 435},
        {K::Label, "Lbl_Ttl", 0, QStringLiteral(" 購入日"), 360, 840, 1935, 375},
        {K::Label, "Lbl_Dat", 0, QString(), 2400, 840, 5055, 375},
        {K::Label, "Lbl_Ttl", 1, QStringLiteral(" 名"), 360, 1320, 1935, 375},
        {K::Label, "Lbl_Dat", 1, QString(), 2400, 1320, 5055, 375},
        {K::Label, "Lbl_Ttl", 2, QStringLiteral(" 名"), 360, 1800, 1935, 375},
        {K::Label, "Lbl_Dat", 2, QString(), 2400, 1800, 5055, 375},
        {K::Label, "Lbl_Ttl", 3, QStringLiteral(" 定価"), 360, 2280, 1935, 375},
        {K::Label, "Lbl_Dat", 3, QString(), 2400, 2280, 2175, 375},
        {K::Label, "Lbl_Ttl", 4, QStringLiteral(" 売価"), 360, 2760, 1935, 375},
        {K::Label, "Lbl_Dat", 4, QString(), 2400, 2760, 2175, 375},
        {K::Label, "Lbl_Ttl", 5, QStringLiteral(" 数量"), 360, 3240, 1935, 375},
        {K::Label, "Lbl_Dat", 5, QString(), 2400, 3240, 2175, 375},
        {K::Label, "Lbl_Ttl", 6, QStringLiteral(" 売価合計"), 360, 3720, 1935, 375},
        {K::Label, "Lbl_Dat", 6, QString(), 2400, 3720, 2175, 375},
        {K::Label, "Lbl_Ttl", 7, QStringLiteral(" 購入者"), 360, 4200, 1935, 375},
        {K::Label, "Lbl_Dat", 7, QString(), 2400, 4200, 5055, 375},
        {K::Label, "Lbl_Ttl", 10, QStringLiteral(" 備考"), 360, 4680, 1935, 375},
        {K::Label, "Lbl_Dat", 14, QString(), 2400, 4680, 5055, 375},
        {K::Button, "Syu", 0, QString(), 7545, JumpRowTop(m_variant.jumps[0]), 1335, 375},
        {K::Button, "Syu", 1, QString(), 7545, JumpRowTop(m_variant.jumps[1]), 1335, 375},
        {K::Scroll, "VScroll1", -1, QString(), 10980, 840, 375, 4215},
        {K::Label, "Lbl_Dat", 8, QString(), 8940, 2280, 1935, 375},
        {K::Label, "Lbl_Dat", 9, QString(), 2400, 5220, 5055, 375},
        {K::Label, "Lbl_Ttl", 8, QStringLiteral("期　　　　間"), 360, 5820, 1935, 375},
        {K::Label, "Lbl_Dat", 10, QString(), 2400, 5820, 3015, 375},
        {K::Label, "Lbl_Dat", 12, QStringLiteral("～"), 5475, 5820, 615, 375},
        {K::Label, "Lbl_Dat", 11, QString(), 6150, 5820, 3015, 375},
        {K::Label, "Lbl_Ttl", 9, QStringLiteral("売上総合計"), 360, 6300, 1935, 375},
        {K::Label, "Lbl_Dat", 13, QString(), 2400, 6300, 3015, 375},
        {K::Button, "Cmd", 0, QStringLiteral("一覧・印刷"), 360, 7020, 1815, 495},
        {K::Button, "Cmd", 1, QStringLiteral("閉じる"), 9540, 7020, 1815, 495},
        {K::Button, "Cmd", 5, QStringLiteral("CSV出力…"), 7620, 7020, 1815, 495},
        {K::Label, "Lbl_Ttl", 11, QString(), 360, 7620, 10995, 375},
    });
    VScroll1 = Control<QScrollBar>("VScroll1");
    CollectArray(Syu, "Syu");
    for (int i : {0, 1}) {
        Syu(i)->setText(m_variant.jumps[i] == ReportJump::PeriodOfSale ? QStringLiteral("期間")
                                                                       : QStringLiteral("別"));
        connect(Syu(i), &QPushButton::clicked, this, [this, i] { Syu_Click(i); });
    }

    StyleRoleLabels({.framedTitle = true});
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10})
        SetBackColor(Lbl_Ttl(i), Colors::LightCyan);
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14}) {
        SetBordered(Lbl_Dat(i));
        SetBackColor(Lbl_Dat(i), Colors::LightBlue);
    }
    for (int i : {3, 4, 5, 6, 13})
        Lbl_Dat(i)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (int i : {8, 10, 11, 12})
        Lbl_Dat(i)->setAlignment(Qt::AlignCenter);

    setTabOrder(VScroll1, Syu(0));
    setTabOrder(Syu(0), Syu(1));
    setTabOrder(Syu(1), Cmd(0));
    setTabOrder(Cmd(0), Cmd(1));
    m_sales.emplace(
        VScroll1,
        [this] {
            ReportKeys found = SalesStore().reportKeys(m_variant.selection());
            m_grandTotal = found.grandTotal;
            return std::move(found.keys);
        },
        [this] {
            // The grand total of what remains.
            if (m_sales->empty()) {
                EmptyProc();
                Lbl_Dat(13)->clear();
            } else {
                Lbl_Dat(13)->setText(YenText(m_grandTotal));
            }
        });
    connect(VScroll1, &QScrollBar::valueChanged, this, [this] { DataReadProc(); });
}

void SalesReportScreen::LoadProc()
{
    m_variant = ReportVariant::Of(m_variant.kind);
    const AppGlobals& g = G();
    Lbl_Ttl(14)->setText(m_variant.title);
    setWindowTitle(m_variant.caption);
    Lbl_Ttl(1)->setText(QStringLiteral(" ") + g.Maker + QStringLiteral("名"));
    Lbl_Ttl(2)->setText(QStringLiteral(" ") + g.Syouhin + QStringLiteral("名"));
    PeriodDispProc();
    m_grandTotal = 0;
    if (KeyListProc() > 0) {
        DataReadProc();
        Lbl_Dat(13)->setText(YenText(m_grandTotal));
    }
    ShowScreen();
    if (VScroll1->isEnabled())
        VScroll1->setFocus(Qt::OtherFocusReason);
    else
        Cmd(1)->setFocus(Qt::OtherFocusReason);
}

void SalesReportScreen::PeriodDispProc()
{
    Lbl_Dat(10)->setText(PeriodBoundText(G().PeriodFrom));
    Lbl_Dat(11)->setText(PeriodBoundText(G().PeriodTo));
}

std::int64_t SalesReportScreen::KeyListProc()
{
    if (!Guarded([this] { m_sales->reload(); })) {
        m_sales->clear();
        m_grandTotal = 0;
    }
    if (m_sales->empty()) {
        EmptyProc();
        return 0;
    }
    VScroll1->setEnabled(true);
    m_sales->moveTo(1);
    for (QPushButton* b : {Syu(0), Syu(1), Cmd(0), Cmd(5)})
        b->setEnabled(true);
    return m_sales->count();
}

void SalesReportScreen::EmptyProc()
{
    m_sales->clear();
    VScroll1->setEnabled(false);
    ShowNoSale(Lbl_Dat, SaleLabelIndex::Reports());
    if (m_variant.kind == ReportKind::Maker)
        Lbl_Dat(1)->setText(G().ReportMaker);
    else if (m_variant.kind == ReportKind::Buyer)
        Lbl_Dat(7)->setText(G().ReportBuyer);
    for (QPushButton* b : {Syu(0), Syu(1), Cmd(0), Cmd(5)})
        b->setEnabled(false);
}

void SalesReportScreen::DataReadProc()
{
    std::optional<Sale> sale;
    if (!Guarded([&] { sale = m_sales->read(); }) || !sale)
        return;
    ShowSale(Lbl_Dat, *sale, SaleLabelIndex::Reports());
    ShowPosition(Lbl_Dat, m_sales->shown(), m_sales->count(), SaleLabelIndex::Reports());
}

void SalesReportScreen::Syu_Click(int index)
{
    AppGlobals& g = G();
    switch (m_variant.jumps[index]) {
    case ReportJump::PeriodOfSale:
        g.PeriodFrom = g.PeriodTo = MonthOf(g.SalesDate.date());
        OpenScreen(ReportFormName(ReportKind::Period));
        return;
    case ReportJump::MakerOfSale:
        g.PeriodFrom = kOpenStart;
        g.PeriodTo = kOpenEnd;
        g.ReportMaker = TrimBlank(Lbl_Dat(1)->text());
        OpenScreen(ReportFormName(ReportKind::Maker));
        return;
    case ReportJump::BuyerOfSale:
        g.PeriodFrom = kOpenStart;
        g.PeriodTo = kOpenEnd;
        g.ReportBuyer = TrimBlank(Lbl_Dat(7)->text());
        OpenScreen(ReportFormName(ReportKind::Buyer));
        return;
    }
}

void SalesReportScreen::Cmd_Click(int index)
{
    if (index == 0)
        BookPrintProc();
    else if (index == 1)
        OpenScreen(Forms::Frm510_Qel);
    else if (index == 5)
        CsvOutProc();
}

void SalesReportScreen::BookPrintProc()
{
    // Nothing may leave the screen or page it while the workbook is written.
    std::int64_t written = 0;
    {
        BusyRun busy({Cmd(0), Cmd(1), Cmd(5), Syu(0), Syu(1), VScroll1}, Lbl_Ttl(11));
        busy.say(QStringLiteral("しばらくお待ちください"));
        written = BookOutProc();
    }
    if (written > 0)
        WorkbookRun::show(this, m_variant.reportName, m_bookPath);
}

std::int64_t SalesReportScreen::BookOutProc()
{
    WorkbookRun run(formName(), Lbl_Ttl(11));
    std::unique_ptr<ReportSales> sales;
    if (!Guarded([&] { sales = std::make_unique<ReportSales>(m_variant.selection()); })) {
        run.say(QString());
        return 0;
    }
    const AppGlobals& g = G();
    SalesDetailTexts texts;
    texts.makerHeading = g.Maker + QStringLiteral("名");
    texts.productHeading = g.Syouhin + QStringLiteral("名");
    texts.leftHeader = m_variant.leftHeader();
    texts.centerHeader = m_variant.centerHeader;
    texts.rightHeader = PeriodHeaderText(g.PeriodFrom, g.PeriodTo, EraMode());
    texts.sheetName = m_variant.reportName;
    texts.eraDates = EraMode();
    SalesDetailSheet sheet(m_variant.fileName(), texts);
    SalesDetailRow line;
    const std::int64_t written =
        run.write(sheet, SheetRows<SalesDetailRow>(sales->count(), [&]() -> const SalesDetailRow* {
                      const Sale* s = sales->next();
                      if (!s)
                          return nullptr;
                      line = {s->date,         s->maker,     s->product,  s->buyer, s->remarks,
                              s->sellingPrice, s->listPrice, s->quantity, s->total};
                      return &line;
                  }));
    if (written > 0)
        m_bookPath = sheet.targetPath();
    return written;
}

void SalesReportScreen::CsvOutProc()
{
    const AppGlobals& g = G();
    std::vector<QStringList> rows;
    rows.push_back({QStringLiteral("購入日"), g.Maker + QStringLiteral("名"),
                    g.Syouhin + QStringLiteral("名"), QStringLiteral("定価"), QStringLiteral("売価"),
                    QStringLiteral("数量"), QStringLiteral("売価合計"), QStringLiteral("購入者"),
                    QStringLiteral("備考")});
    if (!Guarded([&] {
            ReportSales sales(m_variant.selection());
            rows.reserve(static_cast<std::size_t>(sales.count()) + 1);
            while (const Sale* s = sales.next()) {
                const QString& d = s->date;
                rows.push_back({d.left(4) + QLatin1Char('/') + d.mid(4, 2) + QLatin1Char('/') + d.mid(6, 2),
                                s->maker, s->product, QString::number(s->listPrice),
                                QString::number(s->sellingPrice), QString::number(s->quantity),
                                QString::number(s->total), s->buyer, s->remarks});
            }
        }))
        return;
    if (rows.size() == 1) {
        Lbl_Ttl(11)->setText(QStringLiteral("出力する情報はありません"));
        return;
    }
    Lbl_Ttl(11)->clear();
    // The prices, the quantity and the total are numbers: a return's minus stays a minus.
    if (!ExportCsv(this, m_variant.reportName, m_variant.reportName + QStringLiteral(".csv"), rows,
                   {3, 4, 5, 6})
             .isEmpty())
        Lbl_Ttl(11)->setText(QStringLiteral("%1件出力しました").arg(rows.size() - 1));
}
