// The backup run of a 200 MB database beside the bare steps it cannot avoid, the bulk deletion
// of one year out of 1,000,000 sales, and the restore screen's list of a backup folder of 300
// such files (what it reads before it shows, and the count of one file after).
#include "core/Globals.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "maintenance/BackupRun.h"
#include "maintenance/RestoreRun.h"
#include "sales/SalesStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kSales = 1000000;
constexpr int kYears = 10; // 2016 to 2025, one tenth of the sales each

[[noreturn]] void die(const QString& what)
{
    std::fprintf(stderr, "%s\n", qPrintable(what));
    std::abort();
}

// One database of a million sales, about 200 MB, made once and copied for each benchmark.
class Shop
{
  public:
    static const QString& seed()
    {
        static Shop shop;
        return shop.m_seed;
    }

  private:
    Shop()
    {
        if (!m_dir.isValid())
            die(QStringLiteral("no temporary folder"));
        m_seed = m_dir.filePath(QStringLiteral("seed.mdb"));
        CreateDatabaseFile(m_seed);
        SQLite::Database db(m_seed.toStdString(), SQLite::OPEN_READWRITE);
        SQLite::Transaction transaction(db);
        SQLite::Statement insert(db, "insert into Tb_売上 (Fi_キー, Fi_購入年, Fi_購入年月, Fi_購入年月日, "
                                     "Fi_メーカー, Fi_メーカーフリガナ, Fi_商品, Fi_商品フリガナ, Fi_定価, "
                                     "Fi_売価, Fi_数量, Fi_売価合計, Fi_購入者, Fi_購入者フリガナ, Fi_備考) "
                                     "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (int i = 1; i <= kSales; ++i) {
            // Keys follow the entry order, so a year's sales lie together as in a real shop.
            const int perYear = kSales / kYears;
            const int year = 2016 + (i - 1) / perYear;
            const int month = 1 + ((i - 1) % perYear) * 12 / perYear;
            const QString ym = QStringLiteral("%1%2").arg(year).arg(month, 2, 10, QLatin1Char('0'));
            insert.bind(1, i);
            insert.bind(2, QString::number(year).toStdString());
            insert.bind(3, ym.toStdString());
            insert.bind(4, (ym + QStringLiteral("15")).toStdString());
            insert.bind(5, QStringLiteral("メーカー%1").arg(i % 500).toStdString());
            insert.bind(6, QStringLiteral("ﾒｰｶｰ%1").arg(i % 500).toStdString());
            insert.bind(7, QStringLiteral("商品%1").arg(i % 20000).toStdString());
            insert.bind(8, QStringLiteral("ｼｮｳﾋﾝ%1").arg(i % 20000).toStdString());
            insert.bind(9, 12800.0);
            insert.bind(10, 9800.0);
            insert.bind(11, 1.0);
            insert.bind(12, 9800.0);
            insert.bind(13, QStringLiteral("購入者%1").arg(i % 10000).toStdString());
            insert.bind(14, QStringLiteral("ｺｳﾆｭｳｼｬ%1").arg(i % 10000).toStdString());
            insert.bind(15, QStringLiteral("備考%1　お取り置き").arg(i).toStdString());
            insert.exec();
            insert.reset();
        }
        transaction.commit();
    }

    QTemporaryDir m_dir;
    QString m_seed;
};

// An application folder holding a copy of the seed as the database in use.
class AppFolder
{
  public:
    AppFolder()
    {
        ResetGlobals();
        G().AppPath = m_dir.path();
        G().DbFileName = kOperationalDbFile;
        G().BackDataPath = QStringLiteral("バックアップ");
        G().BackCnt = 1;
        QDir(m_dir.path()).mkdir(G().BackDataPath);
        refill();
    }
    void refill() const
    {
        QFile::remove(Database::currentPath());
        if (!QFile::copy(Shop::seed(), Database::currentPath()))
            die(QStringLiteral("cannot copy the seed database"));
    }
    QString backups() const { return AppFile(G().BackDataPath); }

  private:
    QTemporaryDir m_dir;
};

void BM_BackupRun(benchmark::State& state)
{
    AppFolder app;
    for (auto _ : state) {
        const BackupResult result = RunBackup([](const QString&) {});
        if (!result.pruneProblem.isEmpty())
            die(result.pruneProblem);
        // Backups are named by the second; the next run must not meet this one's name.
        state.PauseTiming();
        QFile::remove(result.backupPath + QStringLiteral(".kept"));
        QFile::rename(result.backupPath, result.backupPath + QStringLiteral(".kept"));
        state.ResumeTiming();
    }
    state.counters["MB"] = static_cast<double>(QFileInfo(Shop::seed()).size()) / 1e6;
}

void BM_BareSteps(benchmark::State& state)
{
    AppFolder app;
    const QString db = Database::currentPath();
    const QString temp = AppFile(QStringLiteral("Temp") + G().DbFileName);
    const QString backup = app.backups() + QStringLiteral("/Back20261208143005") + G().DbFileName;
    for (auto _ : state) {
        {
            SQLite::Database source(db.toStdString(), SQLite::OPEN_READWRITE);
            SQLite::Statement vacuum(source, "vacuum into ?");
            vacuum.bind(1, temp.toStdString());
            vacuum.exec();
        }
        {
            SQLite::Database copy(temp.toStdString(), SQLite::OPEN_READONLY);
            SQLite::Statement check(copy, "PRAGMA integrity_check");
            if (!check.executeStep() || check.getColumn(0).getString() != "ok")
                die(QStringLiteral("copy not whole"));
        }
        if (!QFile::rename(db, backup) || !QFile::rename(temp, db))
            die(QStringLiteral("rename failed"));
        state.PauseTiming();
        QFile::remove(backup);
        state.ResumeTiming();
    }
}

// A backup folder of 300 backups of the seed (second names of one file, so that the disk holds
// one copy): what the list reads before it shows, with the chosen (first) row counted or not.
void BM_ListBackups(benchmark::State& state)
{
    AppFolder app;
    for (int i = 0; i < 300; ++i) {
        const QString name =
            QStringLiteral("/Back2026%1120000Db_販売顧客.mdb").arg(i + 100000, 6, 10, QLatin1Char('0'));
        if (::link(QFile::encodeName(Shop::seed()).constData(),
                   QFile::encodeName(app.backups() + name).constData()) != 0)
            die(QStringLiteral("cannot link the seed"));
    }
    const int counted = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::vector<BackupEntry> entries = ListBackups();
        for (int i = 0; i < counted; ++i)
            CountBackup(entries[static_cast<size_t>(i)]);
        if (entries.size() != 300 || (counted > 0 && entries.front().summary.sales != kSales))
            die(QStringLiteral("unexpected list"));
    }
}

void BM_DeleteOneYear(benchmark::State& state)
{
    AppFolder app;
    for (auto _ : state) {
        state.PauseTiming();
        app.refill();
        state.ResumeTiming();
        const std::int64_t count =
            SalesStore().countInPeriod(QStringLiteral("202001"), QStringLiteral("202012"));
        if (SalesStore().removePeriod(QStringLiteral("202001"), QStringLiteral("202012"), count) != count ||
            count != kSales / kYears)
            die(QStringLiteral("unexpected count"));
    }
}

} // namespace

BENCHMARK(BM_BackupRun)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_BareSteps)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ListBackups)->Unit(benchmark::kMillisecond)->Arg(0)->Arg(1)->Iterations(3);
BENCHMARK(BM_DeleteOneYear)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Shop::seed();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
