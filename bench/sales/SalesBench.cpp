// The sales entry of a grown shop (100,000 customers, 2,000 makers, 200,000 products): opening
// the screen beside the bare read of its rows, and the reading search per keystroke. The sales
// correction over its million sales: opening the screen, and one paging step.
#include "core/Globals.h"
#include "db/Database.h"
#include "sales/Frm080_Qel.h"
#include "sales/Frm090_Qel.h"
#include "sales/RegisterSalesScreens.h"
#include "ui/DialogService.h"
#include "ui/MainScreen.h"
#include "ui/Navigator.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>

#include "support/BenchSupport.h"
#include "support/GrownShop.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kCustomers = kLargeShop.customers;
constexpr int kMakers = kLargeShop.makers;
constexpr int kProductsPerMaker = kLargeShop.products / kLargeShop.makers;
constexpr int kSales = kLargeShop.sales;

// The grown shop, made once for every benchmark, with the first maker in reading order and
// its first product: what the screen shows at opening.
class Shop
{
  public:
    Shop()
    {
        Database db;
        Query maker(db,
                    QStringLiteral(
                        "select Fi_メーカー from Tb_メーカー order by Fi_メーカーフリガナ, Fi_キー limit 1"));
        maker.next();
        firstMaker = maker.text(0);
        Query product(
            db,
            QStringLiteral(
                "select Fi_商品 from Tb_商品 where Fi_メーカー = ? order by Fi_商品フリガナ limit 1"),
            {firstMaker});
        product.next();
        firstProduct = product.text(0);
        Screens().clear();
        RegisterSalesScreens(Screens());
    }
    QString firstMaker;
    QString firstProduct;

  private:
    LargeShop m_shop;
};

Shop& TheShop()
{
    static Shop shop;
    return shop;
}

// What the opened screen shows when it is filled: every customer, every maker, the first
// maker's products.
QString Unfilled(MainScreen* screen)
{
    const auto* customers = screen->findChild<QListWidget*>(QStringLiteral("List1"));
    const auto* makers = screen->findChild<QComboBox*>(QStringLiteral("Combo1"));
    const auto* products = screen->findChild<QComboBox*>(QStringLiteral("Combo2"));
    if (customers->count() != kCustomers || makers->count() != kMakers ||
        products->count() != kProductsPerMaker)
        return QStringLiteral("the sales screen shows %1 customers, %2 makers, %3 products")
            .arg(customers->count())
            .arg(makers->count())
            .arg(products->count());
    return {};
}

// The screen opened and filled, for the keystroke benchmarks.
Frm080_Qel* OpenScreen()
{
    auto* screen = qobject_cast<Frm080_Qel*>(Screens().open(QStringLiteral("Frm080_Qel")));
    const QString wrong = screen ? Unfilled(screen) : QStringLiteral("the sales screen did not open");
    if (!wrong.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(wrong));
        std::abort();
    }
    QApplication::processEvents();
    return screen;
}

void CloseScreen(MainScreen* screen)
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

// Opening the screen from the menu until it is shown: the makers, the first maker's products and
// prices, every customer's key and reading in reading order, and the names of the first block the
// list draws. Argument 1: the file changed before each opening (a sale recorded), so that the
// customers' readings are read again.
void BM_OpenSalesEntry(benchmark::State& state)
{
    const Shop& shop = TheShop();
    OpenAgainstFloor(
        state,
        {QStringLiteral("Frm080_Qel"),
         100.0,
         {{QStringLiteral("select Fi_メーカー, Fi_メーカーフリガナ from Tb_メーカー order by "
                          "Fi_メーカーフリガナ, Fi_キー"),
           {}},
          {QStringLiteral(
               "select Fi_商品, Fi_商品フリガナ from Tb_商品 where Fi_メーカー = ? order by Fi_商品フリガナ"),
           {shop.firstMaker}},
          {QStringLiteral("select Fi_定価, Fi_売価 from Tb_商品 where Fi_メーカー = ? and Fi_商品 = ?"),
           {shop.firstMaker, shop.firstProduct}},
          {QStringLiteral("select Fi_キー, Fi_名前フリガナ from Tb_顧客 order by Fi_名前フリガナ, Fi_キー"),
           {}},
          {QStringLiteral(
               "select Fi_キー, Fi_名前 from Tb_顧客 where Fi_キー in (select Fi_キー from Tb_顧客 "
               "order by Fi_名前フリガナ, Fi_キー limit 64)"),
           {}}},
         Unfilled,
         state.range(0) == 1});
}
BENCHMARK(BM_OpenSalesEntry)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

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
    state.SetLabel("target < 1 ms");
    CloseScreen(screen);
}
BENCHMARK(BM_ReadingSearchKeystroke)->Unit(benchmark::kMicrosecond);

// The longest walk: a text past the last reading.
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
    state.SetLabel("target < 1 ms");
    CloseScreen(screen);
}
BENCHMARK(BM_ReadingSearchPastTheEnd)->Unit(benchmark::kMicrosecond);

// The correction shows the last sale of the key order.
QString NotAtTheLastSale(MainScreen* screen)
{
    const auto* position = screen->findChild<QLabel*>(QStringLiteral("Lbl_Dat_8"));
    const auto* maker = screen->findChild<QLabel*>(QStringLiteral("Lbl_Dat_1"));
    if (position->text() != QStringLiteral("%1/%1").arg(kSales) || maker->text().isEmpty())
        return QStringLiteral("the correction shows %1, not the last sale").arg(position->text());
    return {};
}

// Opening the correction: every key in key order and the last sale shown.
void BM_OpenSalesCorrection(benchmark::State& state)
{
    TheShop();
    OpenAgainstFloor(state, {QStringLiteral("Frm090_Qel"),
                             500.0,
                             {{QStringLiteral("select Fi_キー from Tb_売上"), {}},
                              {QStringLiteral("select * from Tb_売上 where Fi_キー = ?"), {kSales}}},
                             NotAtTheLastSale});
}
BENCHMARK(BM_OpenSalesCorrection)->UseManualTime()->Unit(benchmark::kMillisecond);

// One step of the scroll bar: the sale of the next key read and shown.
void BM_SalesCorrectionPagingStep(benchmark::State& state)
{
    TheShop();
    MainScreen* screen = Screens().open(QStringLiteral("Frm090_Qel"));
    if (const QString wrong = NotAtTheLastSale(screen); !wrong.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(wrong));
        std::abort();
    }
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
    CloseScreen(screen);
}
BENCHMARK(BM_SalesCorrectionPagingStep)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return RunScreenBenchmarks(
        argc, argv,
        QStringLiteral("Targets: the sales entry within 100 ms, a reading-search keystroke "
                       "within 1 ms, the correction within 500 ms."));
}
