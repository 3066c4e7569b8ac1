// Opening the maker and product lists over 10,000 rows: read, fill the grid, position, show.
#include "core/Globals.h"
#include "db/Database.h"
#include "masters/RegisterMasterScreens.h"
#include "ui/FlexGrid.h"
#include "ui/MainScreen.h"
#include "ui/Navigator.h"

#include <QApplication>

#include "support/BenchSupport.h"

#include <benchmark/benchmark.h>

#include <SQLiteCpp/SQLiteCpp.h>

namespace {

constexpr int kRows = 10'000;

// A fresh application folder with 10,000 makers and 10,000 products, written in one transaction.
class BenchData
{
  public:
    BenchData()
    {
        Database db;
        SQLite::Transaction transaction(db.raw());
        for (int i = 1; i <= kRows; ++i) {
            const QString n = QString::number((i * 7919) % kRows).rightJustified(5, QLatin1Char('0'));
            db.execute(
                QStringLiteral(
                    "insert into Tb_メーカー (Fi_キー, Fi_メーカー, Fi_メーカーフリガナ) values (?, ?, ?)"),
                {i, QStringLiteral("メーカー") + n, QStringLiteral("ﾒｰｶｰ") + n});
            db.execute(QStringLiteral("insert into Tb_商品 (Fi_キー, Fi_メーカー, Fi_メーカーフリガナ, "
                                      "Fi_商品, Fi_商品フリガナ,"
                                      " Fi_定価, Fi_売価) values (?, ?, ?, ?, ?, ?, ?)"),
                       {i, QStringLiteral("メーカー") + n.left(3), QStringLiteral("ﾒｰｶｰ") + n.left(3),
                        QStringLiteral("商品") + n, QStringLiteral("ｼｮｳﾋﾝ") + n, 1000 + i, 900 + i});
        }
        transaction.commit();
        RegisterMasterScreens(Screens());
    }

  private:
    BenchFolder m_folder;
};

BenchData& data()
{
    static BenchData instance;
    return instance;
}

void openScreen(benchmark::State& state, const QString& form)
{
    data();
    for (auto _ : state) {
        G().CallerForm = QStringLiteral("Frm010_Qel");
        MainScreen* screen = Screens().open(form);
        QApplication::processEvents();
        benchmark::DoNotOptimize(screen);
        state.PauseTiming();
        if (!screen || screen->findChild<FlexGrid*>()->rows() != kRows + 1)
            state.SkipWithError("the grid was not filled");
        if (screen)
            screen->Unload();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

void BM_OpenMakerList10k(benchmark::State& state)
{
    openScreen(state, QStringLiteral("Frm060_Qel"));
}
BENCHMARK(BM_OpenMakerList10k)->Unit(benchmark::kMillisecond);

void BM_OpenProductList10k(benchmark::State& state)
{
    openScreen(state, QStringLiteral("Frm070_Qel"));
}
BENCHMARK(BM_OpenProductList10k)->Unit(benchmark::kMillisecond);

// The grid alone: 10,000 rows of 8 columns filled, then a row selected and scrolled to.
void BM_FillGrid10kBy8(benchmark::State& state)
{
    FlexGrid grid;
    grid.resize(700, 300);
    grid.show();
    for (auto _ : state) {
        grid.setRows(1);
        grid.setCols(8);
        grid.setRedraw(false);
        grid.setRows(kRows + 1);
        for (int r = 1; r <= kRows; ++r) {
            grid.setTextMatrix(r, 0, QString::number(r));
            grid.setCellAlignment(r, 0, Qt::AlignRight | Qt::AlignVCenter);
            for (int c = 1; c < 8; ++c)
                grid.setTextMatrix(r, c, QStringLiteral("セル"));
        }
        grid.setRedraw(true);
        grid.setTopRow(5000);
        grid.setRow(5000);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_FillGrid10kBy8)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
