// The report screens over a large ledger: opening the period report for every month and for
// one month, the by-maker report, and one paging step.
#include "core/Globals.h"
#include "db/Database.h"
#include "reports/RegisterReportScreens.h"
#include "ui/DialogService.h"
#include "ui/MainScreen.h"
#include "ui/Navigator.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>

#include "support/BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kSales = 1000000;

// A million sales spread over the ten years 2015 to 2024, 50 makers, 5,000 purchasers; keys in
// an order unrelated to the dates, as corrections leave them.
class Ledger
{
  public:
    Ledger()
    {
        Database db;
        db.execute(
            QStringLiteral(
                "insert into Tb_売上 (Fi_キー, Fi_購入年, Fi_購入年月, Fi_購入年月日, Fi_メーカー, "
                "Fi_メーカーフリガナ, "
                "Fi_商品, Fi_商品フリガナ, Fi_定価, Fi_売価, Fi_数量, Fi_売価合計, Fi_購入者, "
                "Fi_購入者フリガナ, Fi_備考, "
                "Fi_最終更新年, Fi_最終更新月, Fi_最終更新日, Fi_最終更新時, Fi_最終更新分, Fi_最終更新秒) "
                "with recursive n(k) as (select 1 union all select k + 1 from n where k < ?), "
                "d(k, day) as (select k, date('2015-01-01', '+' || (k * 7919 % 3653) || ' days') from n) "
                "select k, strftime('%Y', day), strftime('%Y%m', day), strftime('%Y%m%d', day), "
                "'メーカー' || (k % 50), 'ﾒｰｶｰ', '商品' || (k % 997), 'ｼｮｳﾋﾝ', 15000, 12000, 1 + k % 3, "
                "12000 * (1 + k % 3), '顧客' || (k % 5000), 'ｺｷｬｸ', '', '2024', '12', '31', '18', '30', '05' "
                "from d"),
            {kSales});
        Screens().clear();
        RegisterReportScreens(Screens());
    }

  private:
    BenchFolder m_folder;
};

Ledger& TheLedger()
{
    static Ledger ledger;
    return ledger;
}

MainScreen* OpenReport(const QString& form, qint64 expected)
{
    MainScreen* screen = Screens().open(form);
    QApplication::processEvents();
    const auto* bar = screen ? screen->findChild<QScrollBar*>(QStringLiteral("VScroll1")) : nullptr;
    if (!bar || bar->maximum() != expected) {
        std::fprintf(stderr, "the report holds %d sales, not %lld\n", bar ? bar->maximum() : -1, expected);
        std::abort();
    }
    return screen;
}

void CloseReport(MainScreen* screen)
{
    screen->Unload();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

qint64 CountOf(const QString& where, const QVariantList& values)
{
    Database db;
    return db.count(QStringLiteral("Tb_売上"), where, values);
}

// Opening the period report: the key list in report order, the grand total, the first sale.
void BM_OpenPeriodReport(benchmark::State& state)
{
    TheLedger();
    const bool allMonths = state.range(0) == 0;
    G().PeriodFrom = allMonths ? QStringLiteral("000000") : QStringLiteral("202001");
    G().PeriodTo = allMonths ? QStringLiteral("999999") : QStringLiteral("202001");
    const qint64 expected =
        CountOf(QStringLiteral("Fi_購入年月 between ? and ?"), {G().PeriodFrom, G().PeriodTo});
    for (auto _ : state) {
        MainScreen* screen = OpenReport(QStringLiteral("Frm520_Qel"), expected);
        state.PauseTiming();
        CloseReport(screen);
        state.ResumeTiming();
    }
    state.SetLabel(allMonths ? "all months" : "one month");
    state.counters["sales"] = double(expected);
}
BENCHMARK(BM_OpenPeriodReport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Opening the by-maker report of every month: one maker's 20,000 sales.
void BM_OpenMakerReport(benchmark::State& state)
{
    TheLedger();
    G().PeriodFrom = QStringLiteral("000000");
    G().PeriodTo = QStringLiteral("999999");
    G().ReportMaker = QStringLiteral("メーカー7");
    const qint64 expected = CountOf(QStringLiteral("Fi_メーカー = ?"), {G().ReportMaker});
    for (auto _ : state) {
        MainScreen* screen = OpenReport(QStringLiteral("Frm530_Qel"), expected);
        state.PauseTiming();
        CloseReport(screen);
        state.ResumeTiming();
    }
    state.counters["sales"] = double(expected);
}
BENCHMARK(BM_OpenMakerReport)->Unit(benchmark::kMillisecond);

// One step of the scroll bar in the all-months period report: the sale read by its key and shown.
void BM_PagingStep(benchmark::State& state)
{
    TheLedger();
    G().PeriodFrom = QStringLiteral("000000");
    G().PeriodTo = QStringLiteral("999999");
    MainScreen* screen = OpenReport(QStringLiteral("Frm520_Qel"), kSales);
    auto* bar = screen->findChild<QScrollBar*>(QStringLiteral("VScroll1"));
    const auto* position = screen->findChild<QLabel*>(QStringLiteral("Lbl_Dat_8"));
    int value = 1;
    for (auto _ : state) {
        value = (value - 1 + 7919) % kSales + 1; // far apart: each step reads a page of its own
        bar->setValue(value);
        benchmark::DoNotOptimize(position->text());
    }
    if (position->text() != QStringLiteral("%1/%2").arg(value).arg(kSales)) {
        std::fprintf(stderr, "paging showed %s\n", qPrintable(position->text()));
        std::abort();
    }
    CloseReport(screen);
}
BENCHMARK(BM_PagingStep)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return RunScreenBenchmarks(argc, argv);
}
