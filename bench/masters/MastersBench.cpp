// Opening the maker and product lists of a grown shop, each beside the bare read of its rows:
// 2,000 makers with 200,000 products, and 100,000 makers with 200,000 products.
#include "core/Globals.h"
#include "db/Database.h"
#include "masters/RegisterMasterScreens.h"
#include "ui/FlexGrid.h"
#include "ui/MainScreen.h"
#include "ui/Navigator.h"

#include <QApplication>

#include "support/BenchSupport.h"
#include "support/GrownShop.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

constexpr int kProducts = 200'000;

const BareStatement kMakerRows{
    QStringLiteral("select Fi_キー, Fi_メーカー, Fi_メーカーフリガナ from Tb_メーカー"
                   " order by Fi_メーカーフリガナ, Fi_キー"),
    {}};
const BareStatement kProductRows{
    QStringLiteral(
        "select Fi_キー, Fi_メーカー, Fi_メーカーフリガナ, Fi_商品, Fi_商品フリガナ, Fi_定価, Fi_売価"
        " from Tb_商品 order by Fi_メーカーフリガナ, Fi_商品フリガナ, Fi_キー"),
    {}};

// One application folder per number of makers, made on first use and kept for the run; the
// one asked for last is the one in use.
void UseShop(int makers)
{
    static std::map<int, std::pair<std::unique_ptr<BenchFolder>, QString>> shops;
    auto it = shops.find(makers);
    if (it == shops.end()) {
        auto folder = std::make_unique<BenchFolder>();
        Database db;
        GrowShop(db, {0, makers, kProducts, 0});
        it = shops.emplace(makers, std::make_pair(std::move(folder), G().AppPath)).first;
        Screens().clear();
        RegisterMasterScreens(Screens());
    }
    G().AppPath = it->second.second;
}

QString GridRows(MainScreen* screen, int expected)
{
    const int rows = screen->findChild<FlexGrid*>(QStringLiteral("MSHFlexGrid1"))->rows() - 1;
    return rows == expected ? QString()
                            : QStringLiteral("the grid shows %1 rows, not %2").arg(rows).arg(expected);
}

void BM_OpenMakerList(benchmark::State& state)
{
    const int makers = static_cast<int>(state.range(0));
    UseShop(makers);
    OpenAgainstFloor(state, {QStringLiteral("Frm060_Qel"),
                             makers <= 2'000 ? 50.0 : 150.0,
                             {kMakerRows},
                             [makers](MainScreen* s) { return GridRows(s, makers); }});
}
BENCHMARK(BM_OpenMakerList)->Arg(2'000)->Arg(100'000)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_OpenProductList(benchmark::State& state)
{
    UseShop(static_cast<int>(state.range(0)));
    OpenAgainstFloor(state,
                     {QStringLiteral("Frm070_Qel"), 150.0, {kMakerRows, kProductRows}, [](MainScreen* s) {
                          return GridRows(s, kProducts);
                      }});
}
BENCHMARK(BM_OpenProductList)->Arg(2'000)->Arg(100'000)->UseManualTime()->Unit(benchmark::kMillisecond);

// The grid alone: 200,000 rows of 8 columns filled, then a row selected and scrolled to.
void BM_FillGrid200kBy8(benchmark::State& state)
{
    FlexGrid grid;
    grid.resize(700, 300);
    grid.show();
    for (auto _ : state) {
        grid.setRows(1);
        grid.setCols(8);
        grid.setRedraw(false);
        grid.setRows(kProducts + 1);
        for (int r = 1; r <= kProducts; ++r) {
            grid.setTextMatrix(r, 0, QString::number(r));
            grid.setCellAlignment(r, 0, Qt::AlignRight | Qt::AlignVCenter);
            for (int c = 1; c < 8; ++c)
                grid.setTextMatrix(r, c, QStringLiteral("セル"));
        }
        grid.setRedraw(true);
        grid.setTopRow(kProducts / 2);
        grid.setRow(kProducts / 2);
        grid.repaint();
    }
}
BENCHMARK(BM_FillGrid200kBy8)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunScreenBenchmarks(
        argc, argv,
        QStringLiteral("Targets: the maker list within 50 ms at 2,000 makers (150 ms at "
                       "100,000), the product list within 150 ms at 200,000 products."));
}
