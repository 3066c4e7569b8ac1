// The conversion of an earlier ledger of 100,000 customers and 1,000,000 sales (a Jet 3 file,
// written once at the start by the tests' writer) beside a bare read of the same file through
// libmdb, every row of every table with every column bound as libmdb hands it over. Each runs in a
// process of its own, so that its peak memory is its own. Targets: under 60 s, under 500 MB.
#include "core/Globals.h"
#include "db/Schema.h"
#include "exchange/JetLedger.h"
#include "exchange/LedgerConversion.h"
#include "support/Jet3Writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <mdbtools.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kCustomers = 100000;
constexpr int kSales = 1000000;

const QStringList kNames = {QStringLiteral("㈱髙﨑商店"), QStringLiteral("德永　花子"),
                            QStringLiteral("山田太郎"), QStringLiteral("有限会社さくら"),
                            QStringLiteral("鈴木一郎")};
const QStringList kReadings = {QStringLiteral("ﾀｶｻｷｼｮｳﾃﾝ"), QStringLiteral("ﾄｸﾅｶﾞ ﾊﾅｺ"),
                               QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"), QStringLiteral("ｻｸﾗ"),
                               QStringLiteral("ｽｽﾞｷ ｲﾁﾛｳ")};

[[noreturn]] void die(const QString& what)
{
    std::fprintf(stderr, "%s\n", qPrintable(what));
    std::abort();
}

std::vector<jet3::Column> columnsOf(const QString& table)
{
    std::vector<jet3::Column> columns;
    const bool shortKey = table == LedgerPrefectureTable() || table == LedgerTables().at(5);
    for (const LedgerColumn& c : LedgerColumns(table)) {
        if (c.kind == LedgerColumn::Kind::Integer)
            columns.push_back({c.name, c.name == QStringLiteral("Fi_キー") && !shortKey
                                           ? jet3::Type::Long
                                           : jet3::Type::Integer});
        else
            columns.push_back(
                {c.name, c.kind == LedgerColumn::Kind::Real ? jet3::Type::Double : jet3::Type::Text, 255});
    }
    return columns;
}

void stamp(QVariantList& row, qint64 i)
{
    row << QStringLiteral("2024") << QStringLiteral("%1").arg(i % 12 + 1, 2, 10, QLatin1Char('0'))
        << QStringLiteral("15") << QStringLiteral("10") << QStringLiteral("20")
        << QStringLiteral("%1").arg(i % 60, 2, 10, QLatin1Char('0'));
}

std::vector<jet3::Table> ledger()
{
    const QStringList& t = LedgerTables();
    std::vector<jet3::Table> tables;
    jet3::Table customers{t.at(0), columnsOf(t.at(0)), kCustomers, [](qint64 i, QVariantList& row) {
                              const int n = static_cast<int>(i % kNames.size());
                              row << i + 1 << kNames.at(n) << kReadings.at(n)
                                  << QStringLiteral("100-%1").arg(i % 10000, 4, 10, QLatin1Char('0'))
                                  << int(i % 48) << QStringLiteral("千代田区丸の内%1丁目").arg(i % 9 + 1)
                                  << QString()
                                  << QStringLiteral("03-1234-%1").arg(i % 10000, 4, 10, QLatin1Char('0'))
                                  << QString() << QString() << QStringLiteral("shop%1@example.jp").arg(i)
                                  << QString();
                              stamp(row, i);
                          }};
    tables.push_back(customers);
    const QStringList prefectures = PrefectureNames();
    jet3::Table pref{
        t.at(1), columnsOf(t.at(1)), prefectures.size(),
        [prefectures](qint64 i, QVariantList& row) { row << int(i) << prefectures.at(i).trimmed(); }};
    tables.push_back(pref);
    jet3::Table makers{t.at(2), columnsOf(t.at(2)), 50, [](qint64 i, QVariantList& row) {
                           row << i + 1 << QStringLiteral("メーカー%1").arg(i)
                               << QStringLiteral("ﾒｰｶｰ%1").arg(i);
                           stamp(row, i);
                       }};
    tables.push_back(makers);
    jet3::Table products{t.at(3), columnsOf(t.at(3)), 2000, [](qint64 i, QVariantList& row) {
                             row << i + 1 << QStringLiteral("メーカー%1").arg(i % 50)
                                 << QStringLiteral("ﾒｰｶｰ%1").arg(i % 50) << QStringLiteral("商品%1").arg(i)
                                 << QStringLiteral("ｼｮｳﾋﾝ%1").arg(i) << 1000.0 + i << 900.0 + i;
                             stamp(row, i);
                         }};
    tables.push_back(products);
    jet3::Table sales{t.at(4), columnsOf(t.at(4)), kSales, [](qint64 i, QVariantList& row) {
                          const int n = static_cast<int>(i % kNames.size());
                          const QString day = QStringLiteral("%1%2%3")
                                                  .arg(2015 + i % 10)
                                                  .arg(i % 12 + 1, 2, 10, QLatin1Char('0'))
                                                  .arg(i % 28 + 1, 2, 10, QLatin1Char('0'));
                          const double price = 500.0 + (i % 37) * 250;
                          const double quantity = i % 3 + 1;
                          row << i + 1 << day.left(4) << day.left(6) << day
                              << QStringLiteral("メーカー%1").arg(i % 50)
                              << QStringLiteral("ﾒｰｶｰ%1").arg(i % 50)
                              << QStringLiteral("商品%1").arg(i % 2000)
                              << QStringLiteral("ｼｮｳﾋﾝ%1").arg(i % 2000) << price + 100 << price << quantity
                              << price * quantity << kNames.at(n) << kReadings.at(n) << QString();
                          stamp(row, i);
                      }};
    tables.push_back(sales);
    jet3::Table condition{t.at(5), columnsOf(t.at(5)), 1, [](qint64, QVariantList& row) {
                              row << 1;
                              for (int i = 0; i < 11; ++i)
                                  row << (i == 3 ? QVariant(0) : QVariant(QString()));
                          }};
    tables.push_back(condition);
    return tables;
}

// What one run in its own process measured.
struct Measured
{
    double seconds = 0;
    double peakMb = 0;
    double rows = 0;
};

Measured inChild(const std::function<double()>& work)
{
    int pipe[2];
    if (::pipe(pipe) != 0)
        die(QStringLiteral("no pipe"));
    const pid_t child = ::fork();
    if (child == 0) {
        QElapsedTimer timer;
        timer.start();
        double result[2] = {0, 0};
        try {
            result[1] = work();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            ::_exit(1);
        }
        result[0] = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        if (::write(pipe[1], result, sizeof result) != sizeof result)
            ::_exit(1);
        ::_exit(0);
    }
    ::close(pipe[1]);
    double result[2] = {0, 0};
    const bool read = ::read(pipe[0], result, sizeof result) == sizeof result;
    ::close(pipe[0]);
    int status = 0;
    struct rusage usage = {};
    ::wait4(child, &status, 0, &usage);
    if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        die(QStringLiteral("the run failed"));
    return {result[0], static_cast<double>(usage.ru_maxrss) / 1024.0, result[1]};
}

// The file, written once, in a process of its own so that the runs start small.
class LedgerFile
{
  public:
    static const LedgerFile& get()
    {
        static LedgerFile file;
        return file;
    }
    QString path;
    double writeSeconds = 0;

  private:
    LedgerFile()
    {
        if (!m_dir.isValid())
            die(QStringLiteral("no temporary folder"));
        path = m_dir.filePath(QStringLiteral("Db_販売顧客.mdb"));
        const QString file = path;
        writeSeconds = inChild([file] {
                           const QString error = jet3::Write(file, ledger());
                           if (!error.isEmpty())
                               die(error);
                           return 0.0;
                       }).seconds;
    }
    QTemporaryDir m_dir;
};

Measured g_conversion;
Measured g_bare;

// The conversion a shop meets at start-up: the ledger in use converted, checked, kept in the backup
// folder and replaced by the new database.
void BM_Conversion(benchmark::State& state)
{
    const LedgerFile& file = LedgerFile::get();
    QTemporaryDir app;
    const QString db = app.filePath(kOperationalDbFile);
    for (auto _ : state) {
        QFile::remove(db);
        QDir(app.filePath(QStringLiteral("バックアップ"))).removeRecursively();
        if (!QFile::copy(file.path, db) || !QDir(app.path()).mkdir(QStringLiteral("バックアップ")))
            die(QStringLiteral("no application folder"));
        g_conversion = inChild([&] {
            AppGlobals& g = G();
            g.AppPath = app.path();
            g.DbFileName = kOperationalDbFile;
            g.BackDataPath = QStringLiteral("バックアップ");
            g.BackCnt = 3;
            const LedgerConversion result = ConvertLedger(db, [](const QString&) {});
            double rows = 0;
            for (const auto& [table, count] : result.rows)
                rows += static_cast<double>(count);
            return rows;
        });
        state.SetIterationTime(g_conversion.seconds);
    }
    state.counters["peak_MB"] = g_conversion.peakMb;
    state.counters["rows"] = g_conversion.rows;
    state.counters["jet_MB"] = static_cast<double>(QFileInfo(file.path).size()) / 1e6;
    state.counters["new_MB"] = static_cast<double>(QFileInfo(db).size()) / 1e6;
}

// What libmdb itself costs: every row of every user table with every column bound.
void BM_BareLibmdbRead(benchmark::State& state)
{
    const LedgerFile& file = LedgerFile::get();
    for (auto _ : state) {
        g_bare = inChild([&file] {
            ::setenv("MDB_JET3_CHARSET", "CP932", 1);
            MdbHandle* mdb = mdb_open(QFile::encodeName(file.path).constData(), MDB_NOFLAGS);
            if (!mdb || !mdb_read_catalog(mdb, MDB_TABLE))
                die(QStringLiteral("libmdb cannot open the file"));
            double rows = 0;
            for (guint i = 0; i < mdb->num_catalog; ++i) {
                auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
                if (!mdb_is_user_table(entry))
                    continue;
                MdbTableDef* table = mdb_read_table(entry);
                mdb_read_columns(table);
                std::vector<std::vector<char>> bound(table->num_cols, std::vector<char>(mdb->bind_size));
                for (guint c = 0; c < table->num_cols; ++c)
                    mdb_bind_column(table, static_cast<int>(c) + 1, bound[c].data(), nullptr);
                mdb_rewind_table(table);
                while (mdb_fetch_row(table))
                    ++rows;
                mdb_free_tabledef(table);
            }
            mdb_close(mdb);
            return rows;
        });
        state.SetIterationTime(g_bare.seconds);
    }
    state.counters["peak_MB"] = g_bare.peakMb;
    state.counters["rows"] = g_bare.rows;
}

BENCHMARK(BM_BareLibmdbRead)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
BENCHMARK(BM_Conversion)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::printf("target: a Jet 3 ledger of %d customers and %d sales converts in under 60 s and 500 MB\n",
                kCustomers, kSales);
    std::printf("the Jet file: %.0f MB, written in %.1f s\n",
                static_cast<double>(QFileInfo(LedgerFile::get().path).size()) / 1e6,
                LedgerFile::get().writeSeconds);
    benchmark::RunSpecifiedBenchmarks();
    if (g_bare.seconds > 0 && g_conversion.seconds > 0)
        std::printf("conversion / bare libmdb read: %.2f times the time, %.2f times the peak memory\n",
                    g_conversion.seconds / g_bare.seconds, g_conversion.peakMb / g_bare.peakMb);
    benchmark::Shutdown();
    return 0;
}
