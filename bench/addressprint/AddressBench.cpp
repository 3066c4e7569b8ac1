// Address printing: 1,000 postcards written to PDF (target under 5 s), and the address screen
// opened for a list of 10,000 customers (target: at once, 300 ms).
#include "addressprint/AddressLayout.h"
#include "addressprint/AddressPrintout.h"
#include "addressprint/RegisterAddressPrintScreens.h"
#include "core/Globals.h"
#include "customers/CustomerStore.h"
#include "db/Database.h"
#include "ui/MainScreen.h"
#include "ui/Navigator.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>

#include "support/BenchSupport.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kPostcards = 1000;
constexpr int kCustomers = 10000;

// Names, addresses and buildings of every length up to the entry limits, digits and small kana
// among them, and a postal code now and then that is not seven digits.
std::vector<Addressee> People(int count)
{
    const QString names[] = {QStringLiteral("山田太郎"), QStringLiteral("株式会社キャッツアイ商事"),
                             QStringLiteral("長谷川長谷川長谷川長谷川長谷川長谷川長谷")};
    std::vector<Addressee> people;
    for (int i = 0; i < count; ++i)
        people.push_back(
            {names[i % 3] + QString::number(i % 10),
             i % 50 == 0 ? QStringLiteral("12-34")
                         : QStringLiteral("%1-%2").arg(100 + i % 900).arg(i % 10000, 4, 10, QLatin1Char('0')),
             QStringLiteral("神奈川県"),
             QStringLiteral("横浜市保土ケ谷区上星川%1-%2-%3").arg(i % 9 + 1).arg(i % 20).arg(i % 7),
             i % 2 ? QStringLiteral("グランドメゾン上星川第二ビル%1号").arg(i % 1000) : QString()});
    return people;
}

void BM_ThousandPostcardsToPdf(benchmark::State& state)
{
    AddressOptions options;
    options.printSender = true;
    options.sender = {QStringLiteral("ブランド館さくら"), QStringLiteral("107-0062"),
                      QStringLiteral("東京都港区南青山5-6-7"), QStringLiteral("青山ビル2階"),
                      QStringLiteral("03-1111-2222")};
    const AddressLayout layout(People(kPostcards), options);
    const AddressPrintout printout(layout, true);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("宛名はがき.pdf"));
    for (auto _ : state) {
        if (!printout.writePdf(path, QStringLiteral("宛名はがき"))) {
            state.SkipWithError("the PDF was not written");
            break;
        }
    }
    state.counters["postcards"] = kPostcards;
    state.counters["pdf_kb"] = double(QFileInfo(path).size()) / 1024;
    state.counters["target_ms"] = 5000;
}
BENCHMARK(BM_ThousandPostcardsToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

class Shop
{
  public:
    Shop()
    {
        Database db;
        db.execute(QStringLiteral("begin"));
        for (int i = 1; i <= kCustomers; ++i) {
            RowValues()
                .set(QStringLiteral("Fi_キー"), i)
                .set(QStringLiteral("Fi_名前"), QStringLiteral("山田") + QString::number(i))
                .set(QStringLiteral("Fi_名前フリガナ"),
                     QString(QChar(0xFF71 + (i * 7919) % 45)) + QString::number(i))
                .set(QStringLiteral("Fi_郵便番号"), QStringLiteral("100-0001"))
                .set(QStringLiteral("Fi_都道府県番号"), 1 + i % 47)
                .set(QStringLiteral("Fi_市区町村"), QStringLiteral("千代田区千代田1-1"))
                .set(QStringLiteral("Fi_建物"), QStringLiteral("ビル%1").arg(i))
                .insertInto(db, QStringLiteral("Tb_顧客"));
        }
        db.execute(QStringLiteral("commit"));
        CustomerStore().saveCondition(SearchCondition());
        Screens().clear();
        RegisterAddressPrintScreens(Screens());
    }

  private:
    BenchFolder m_folder;
};

void BM_OpenWithTenThousandCustomers(benchmark::State& state)
{
    static Shop shop;
    ScreenOpening opening;
    opening.form = QStringLiteral("Frm045_Qel");
    opening.targetMs = 300;
    opening.rows = {
        {QStringLiteral("select * from Tb_顧客 not indexed where 1 = 1 order by Fi_名前フリガナ, Fi_キー"),
         {}}};
    opening.wrong = [](MainScreen* screen) {
        const QString shown = screen->findChild<QLabel*>(QStringLiteral("Lbl_Dat_0"))->text();
        return shown.contains(QString::number(kCustomers)) ? QString() : QStringLiteral("shows: ") + shown;
    };
    OpenAgainstFloor(state, opening);
}
BENCHMARK(BM_OpenWithTenThousandCustomers)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    return RunScreenBenchmarks(
        argc, argv,
        QStringLiteral("Targets: %1 postcards to PDF within 5 s; the address screen for "
                       "%2 customers within 300 ms.")
            .arg(kPostcards)
            .arg(kCustomers));
}
