// The sales entry with a large shop: opening the screen, and the reading search per keystroke.
// The sales correction with a million sales: opening the screen, and one paging step.
#include "core/Globals.h"
#include "db/Database.h"
#include "sales/Frm080_Qel.h"
#include "sales/Frm090_Qel.h"
#include "sales/RegisterSalesScreens.h"
#include "ui/DialogService.h"
#include "ui/Navigator.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRandomGenerator>
#include <QScrollBar>

#include "support/BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kCustomers = 10000;
constexpr int kMakers = 500;
constexpr int kProductsPerMaker = 40;

QString RandomReading(QRandomGenerator& random)
{
    QString reading;
    const int length = 2 + random.bounded(6);
    for (int i = 0; i < length; ++i) {
        reading += QChar(0xFF71 + random.bounded(0xFF9D - 0xFF71 + 1)); // ｱ .. ﾝ
        if (random.bounded(6) == 0)
            reading += QChar(0xFF9E); // ﾞ
    }
    return reading;
}

// A shop with thousands of customers, makers and products, made once for every benchmark.
class Shop
{
  public:
    Shop()
    {
        QRandomGenerator random(2005);
        Database db;
        db.execute(QStringLiteral("begin"));
        for (int i = 1; i <= kCustomers; ++i) {
            RowValues()
                .set(QStringLiteral("Fi_キー"), i)
                .set(QStringLiteral("Fi_名前"), QStringLiteral("顧客%1").arg(i))
                .set(QStringLiteral("Fi_名前フリガナ"), RandomReading(random))
                .insertInto(db, QStringLiteral("Tb_顧客"));
        }
        int productKey = 0;
        for (int m = 1; m <= kMakers; ++m) {
            const QString maker = QStringLiteral("メーカー%1").arg(m);
            const QString makerReading = RandomReading(random);
            RowValues()
                .set(QStringLiteral("Fi_キー"), m)
                .set(QStringLiteral("Fi_メーカー"), maker)
                .set(QStringLiteral("Fi_メーカーフリガナ"), makerReading)
                .insertInto(db, QStringLiteral("Tb_メーカー"));
            for (int p = 1; p <= kProductsPerMaker; ++p) {
                ++productKey;
                RowValues()
                    .set(QStringLiteral("Fi_キー"), productKey)
                    .set(QStringLiteral("Fi_メーカー"), maker)
                    .set(QStringLiteral("Fi_メーカーフリガナ"), makerReading)
                    .set(QStringLiteral("Fi_商品"), QStringLiteral("商品%1").arg(productKey))
                    .set(QStringLiteral("Fi_商品フリガナ"), RandomReading(random))
                    .set(QStringLiteral("Fi_定価"), 1000 + p * 100)
                    .set(QStringLiteral("Fi_売価"), 900 + p * 90)
                    .insertInto(db, QStringLiteral("Tb_商品"));
            }
        }
        db.execute(QStringLiteral("commit"));
        Screens().clear();
        RegisterSalesScreens(Screens());
    }

  private:
    BenchFolder m_folder;
};

Shop& TheShop()
{
    static Shop shop;
    return shop;
}

Frm080_Qel* OpenScreen()
{
    auto* screen = qobject_cast<Frm080_Qel*>(Screens().open(QStringLiteral("Frm080_Qel")));
    if (!screen) {
        std::fprintf(stderr, "the sales screen did not open\n");
        std::abort();
    }
    QApplication::processEvents();
    // Measure the full screen only: every customer, every maker, the first maker's products.
    const auto* customers = screen->findChild<QListWidget*>(QStringLiteral("List1"));
    const auto* makers = screen->findChild<QComboBox*>(QStringLiteral("Combo1"));
    const auto* products = screen->findChild<QComboBox*>(QStringLiteral("Combo2"));
    if (customers->count() != kCustomers || makers->count() != kMakers ||
        products->count() != kProductsPerMaker) {
        std::fprintf(stderr, "the sales screen is not filled\n");
        std::abort();
    }
    return screen;
}

void CloseScreen(Frm080_Qel* screen)
{
    screen->Unload();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Key(QWidget* field, int key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(field, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(field, &release);
}

// Opening the screen: the makers, the first maker's products and prices, all customers.
void BM_OpenSalesEntry(benchmark::State& state)
{
    TheShop();
    for (auto _ : state) {
        Frm080_Qel* screen = OpenScreen();
        state.PauseTiming();
        CloseScreen(screen);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenSalesEntry)->Unit(benchmark::kMillisecond);

// One keystroke in the reading box, typing and erasing a reading in turn.
void BM_ReadingSearchKeystroke(benchmark::State& state)
{
    TheShop();
    Frm080_Qel* screen = OpenScreen();
    QApplication::setActiveWindow(screen);
    auto* field = screen->findChild<QLineEdit*>(QStringLiteral("Txt_Inp_3"));
    auto* buyer = screen->findChild<QLabel*>(QStringLiteral("Lbl_Ttl_9"));
    field->setFocus();
    const QString typed = QStringLiteral("ﾀﾞﾅｶ");
    int step = 0;
    for (auto _ : state) {
        const int phase = step++ % (2 * typed.size());
        if (phase < typed.size())
            Key(field, Qt::Key_unknown, typed.mid(phase, 1));
        else
            Key(field, Qt::Key_Backspace, QString());
        benchmark::DoNotOptimize(buyer->text());
    }
    if (buyer->text().isEmpty()) {
        std::fprintf(stderr, "the reading search chose nobody\n");
        std::abort();
    }
    CloseScreen(screen);
}
BENCHMARK(BM_ReadingSearchKeystroke)->Unit(benchmark::kMicrosecond);

// The longest walk: a text past the last reading compares every entry.
void BM_ReadingSearchPastTheEnd(benchmark::State& state)
{
    TheShop();
    Frm080_Qel* screen = OpenScreen();
    QApplication::setActiveWindow(screen);
    auto* field = screen->findChild<QLineEdit*>(QStringLiteral("Txt_Inp_3"));
    field->setFocus();
    Key(field, Qt::Key_unknown, QStringLiteral("ﾝ"));
    bool grow = true;
    for (auto _ : state) {
        if (grow)
            Key(field, Qt::Key_unknown, QStringLiteral("ﾝ"));
        else
            Key(field, Qt::Key_Backspace, QString());
        grow = !grow;
    }
    CloseScreen(screen);
}
BENCHMARK(BM_ReadingSearchPastTheEnd)->Unit(benchmark::kMicrosecond);

constexpr int kSales = 1000000;

// A million sales in the shop, added once before the first correction benchmark.
void FillSales()
{
    static const bool filled = [] {
        TheShop();
        Database db;
        db.execute(
            QStringLiteral(
                "with recursive n(k) as (select 1 union all select k + 1 from n where k < ?) "
                "insert into Tb_売上 (Fi_キー, Fi_購入年, Fi_購入年月, Fi_購入年月日, Fi_メーカー, "
                "Fi_メーカーフリガナ, Fi_商品, Fi_商品フリガナ, Fi_定価, Fi_売価, Fi_数量, Fi_売価合計, "
                "Fi_購入者, Fi_購入者フリガナ, Fi_備考, Fi_最終更新年, Fi_最終更新月, Fi_最終更新日, "
                "Fi_最終更新時, Fi_最終更新分, Fi_最終更新秒) select k, '2005', '200505', '20050518', "
                "'メーカー' || (k % 500 + 1), 'ﾒｰｶｰ', '商品' || k, 'ｼｮｳﾋﾝ', 15000, 12000, k % 9 + 1, "
                "12000 * (k % 9 + 1), '顧客' || (k % 10000 + 1), 'ｺｷｬｸ', '備考', '2005', '05', '18', "
                "'09', '05', '03' from n"),
            {kSales});
        return true;
    }();
    (void)filled;
}

Frm090_Qel* OpenCorrection()
{
    auto* screen = qobject_cast<Frm090_Qel*>(Screens().open(QStringLiteral("Frm090_Qel")));
    if (!screen) {
        std::fprintf(stderr, "the correction screen did not open\n");
        std::abort();
    }
    const auto* position = screen->findChild<QLabel*>(QStringLiteral("Lbl_Dat_8"));
    const auto* maker = screen->findChild<QLabel*>(QStringLiteral("Lbl_Dat_1"));
    if (position->text() != QStringLiteral("%1/%1").arg(kSales) || maker->text().isEmpty()) {
        std::fprintf(stderr, "the correction screen does not show the last sale\n");
        std::abort();
    }
    return screen;
}

// Opening the correction: every key in key order and the last sale shown.
void BM_OpenSalesCorrection(benchmark::State& state)
{
    FillSales();
    for (auto _ : state) {
        Frm090_Qel* screen = OpenCorrection();
        QApplication::processEvents();
        state.PauseTiming();
        screen->Unload();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenSalesCorrection)->Unit(benchmark::kMillisecond);

// One step of the scroll bar: the sale of the next key read and shown.
void BM_SalesCorrectionPagingStep(benchmark::State& state)
{
    FillSales();
    Frm090_Qel* screen = OpenCorrection();
    auto* scroll = screen->findChild<QScrollBar*>(QStringLiteral("VScroll1"));
    const auto* position = screen->findChild<QLabel*>(QStringLiteral("Lbl_Dat_8"));
    bool back = true;
    for (auto _ : state) {
        scroll->triggerAction(back ? QAbstractSlider::SliderSingleStepSub
                                   : QAbstractSlider::SliderSingleStepAdd);
        back = !back;
        benchmark::DoNotOptimize(position->text());
    }
    if (!position->text().endsWith(QStringLiteral("/%1").arg(kSales))) {
        std::fprintf(stderr, "paging lost its place\n");
        std::abort();
    }
    screen->Unload();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
BENCHMARK(BM_SalesCorrectionPagingStep)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return RunScreenBenchmarks(argc, argv);
}
