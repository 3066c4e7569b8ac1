// The customer import at 10,000 rows: the file read and previewed on the import screen (readings
// from the dictionary included, duplicates looked for among 10,000 stored customers), and the
// accepted rows stored in one transaction.
#include "core/FormNames.h"
#include "core/Globals.h"
#include "core/ReadingDictionary.h"
#include "customers/CustomerStore.h"
#include "db/Database.h"
#include "exchange/CustomerImport.h"
#include "exchange/RegisterExchangeScreens.h"
#include "ui/DialogService.h"
#include "ui/MainScreen.h"
#include "ui/Navigator.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTableView>

#include "support/BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kRows = 10000;

const char* const kSurnames[] = {"佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺",   "山本",
                                 "中村", "小林", "加藤", "吉田", "山田", "佐々木", "山口",
                                 "松本", "井上", "木村", "林",   "斎藤", "清水"};
const char* const kGiven[] = {"太郎", "花子",   "一郎", "陽子", "健",   "美咲",  "翔太",
                              "由美", "大輔",   "恵子", "直樹", "裕子", "誠",    "明美",
                              "浩",   "真由美", "隆",   "智子", "学",   "久美子"};

QString Name(int i)
{
    return QString::fromUtf8(kSurnames[i % 20]) + QString::fromUtf8(kGiven[(i / 20) % 20]);
}

// Answers the open dialog with the file; any other box ends the run.
class ChooseFile : public DialogService
{
  public:
    explicit ChooseFile(QString path) : m_path(std::move(path)) {}
    QString openFile(const QString&, const QString&, const QStringList&) override { return m_path; }
    Answer question(const QString& title, const QString& text) override { fail(title, text); }
    void information(const QString& title, const QString& text) override { fail(title, text); }
    void warning(const QString& title, const QString& text) override { fail(title, text); }
    void failure(const QString& title, const QString& text, const QString&) override { fail(title, text); }

  private:
    [[noreturn]] static void fail(const QString& title, const QString& text)
    {
        std::fprintf(stderr, "unexpected box [%s] %s\n", qPrintable(title), qPrintable(text));
        std::abort();
    }
    QString m_path;
};

class Shop
{
  public:
    Shop()
    {
        G().Todoufuken1 = 13;
        Database db;
        db.execute(QStringLiteral("begin"));
        for (int i = 1; i <= kRows; ++i) {
            RowValues()
                .set(QStringLiteral("Fi_キー"), i)
                .set(QStringLiteral("Fi_名前"), Name(i))
                .set(QStringLiteral("Fi_郵便番号"), QStringLiteral("100-0001"))
                .set(QStringLiteral("Fi_都道府県番号"), 13)
                .set(QStringLiteral("Fi_電話番号"), QStringLiteral("03-%1").arg(i, 8, 10, QLatin1Char('0')))
                .insertInto(db, QStringLiteral("Tb_顧客"));
        }
        db.execute(QStringLiteral("commit"));
        // The file: names without readings, addresses to split, new telephone numbers.
        QString csv = QStringLiteral("氏名,〒,住所,電話番号,備考\r\n");
        for (int i = 1; i <= kRows; ++i)
            csv += QStringLiteral("%1,530-%2,大阪府大阪市北区梅田%3丁目,06-%4,取込\r\n")
                       .arg(Name(i * 7))
                       .arg(i % 10000, 4, 10, QLatin1Char('0'))
                       .arg(i % 9 + 1)
                       .arg(i, 8, 10, QLatin1Char('0'));
        path = G().AppPath + QStringLiteral("/import.csv");
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            std::abort();
        f.write(csv.toUtf8());
        Screens().clear();
        RegisterExchangeScreens(Screens());
    }
    QString path;

  private:
    BenchFolder m_folder;
};

Shop& TheShop()
{
    static Shop* shop = new Shop;
    return *shop;
}

void BM_PreviewTenThousandRows(benchmark::State& state)
{
    Shop& shop = TheShop();
    if (!DictionaryAvailable()) {
        state.SkipWithError("MeCab with the IPA dictionary is not installed");
        return;
    }
    InstallDialogs(std::make_unique<ChooseFile>(shop.path));
    G().CallerForm = Forms::Frm020_Qel;
    MainScreen* screen = Screens().open(Forms::Frm025_Qel);
    auto* choose = screen->findChild<QPushButton*>(QStringLiteral("Cmd_0"));
    auto* preview = screen->findChild<QTableView*>(QStringLiteral("Grd_Preview"));
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        choose->click();
        QApplication::processEvents();
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        if (preview->model()->rowCount() != kRows)
            state.SkipWithError("the preview does not show every row");
    }
    screen->Unload();
    FailOnEveryBox();
}
BENCHMARK(BM_PreviewTenThousandRows)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_StoreTenThousandRows(benchmark::State& state)
{
    TheShop();
    std::vector<Customer> customers(kRows);
    for (int i = 0; i < kRows; ++i) {
        customers[i].name = Name(i);
        customers[i].reading = QStringLiteral("ﾃｽﾄ");
        customers[i].prefecture = 27;
        customers[i].city = QStringLiteral("大阪市北区梅田");
        customers[i].phone = QStringLiteral("06-%1").arg(i, 8, 10, QLatin1Char('0'));
    }
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        CustomerStore().add(customers);
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        state.PauseTiming();
        Database().execute(QStringLiteral("delete from Tb_顧客 where Fi_キー > ?"), {kRows});
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StoreTenThousandRows)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    return RunScreenBenchmarks(
        argc, argv,
        QStringLiteral("Target: %1 rows previewed in under 2 s including the readings; stored in under 1 s.")
            .arg(kRows));
}
