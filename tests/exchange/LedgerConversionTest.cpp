// The conversion of an earlier ledger as a shop meets it: every row and text as it was, a file
// that is not a ledger refused with nothing changed, the database in use replaced as a restore
// replaces it, and a stop at any instant leaving the old ledger or the new one.
#include "LedgerFixture.h"

#include "../maintenance/CutOff.h"
#include "core/Globals.h"
#include "db/Backup.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "exchange/LedgerConversion.h"
#include "maintenance/BackupRun.h"
#include "maintenance/RestoreRun.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>

#include <sys/wait.h>
#include <unistd.h>

namespace {

std::int64_t Customers(const QString& path)
{
    return InspectDatabase(path, true).customers;
}

class LedgerConversionTest : public AppFixture
{
  protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        useBackupFolder();
        Database(dbPath()).execute(
            QStringLiteral("insert into Tb_顧客 (Fi_キー, Fi_名前) values (1, '今の顧客')"));
        m_jet = m_outside.filePath(QStringLiteral("顧客台帳.mdb"));
    }
    static void quiet(const QString&) {}

    QTemporaryDir m_outside;
    QString m_jet;
};

TEST_F(LedgerConversionTest, EveryRowKeyAndTextArrivesAsStored)
{
    const LedgerData data = SampleLedger();
    data.write(m_jet);
    const QString target = m_outside.filePath(QStringLiteral("new.mdb"));
    std::vector<int> percents;
    const LedgerConversion result = WriteConvertedLedger(m_jet, target, [&](int percent) {
        if (percent >= 0)
            percents.push_back(percent);
    });

    Database db(target);
    for (const auto& [table, rows] : data.rows) {
        SCOPED_TRACE(table.toStdString());
        const std::vector<LedgerColumn> columns = LedgerColumns(table);
        QStringList names;
        for (const LedgerColumn& c : columns)
            names << c.name;
        Query q(db, QStringLiteral("select %1 from %2 order by 1").arg(names.join(QLatin1Char(',')), table));
        for (const QVariantList& row : rows) {
            ASSERT_TRUE(q.next());
            for (size_t i = 0; i < columns.size(); ++i) {
                const int c = static_cast<int>(i);
                if (columns[i].kind == LedgerColumn::Kind::Text)
                    EXPECT_EQ(q.text(c), Stored(row.at(c), true).toString()) << names.at(c).toStdString();
                else
                    EXPECT_EQ(q.text(c).toDouble(), Stored(row.at(c), false).toDouble())
                        << names.at(c).toStdString();
            }
        }
        EXPECT_FALSE(q.next());
    }
    double total = 0;
    for (const QVariantList& row : data.rows.at(LedgerSalesTable()))
        total += row.at(11).toDouble();
    EXPECT_EQ(result.salesTotal, std::llround(total));
    EXPECT_TRUE(result.ignored.isEmpty());
    EXPECT_TRUE(result.prefectureDifferences.isEmpty());
    // Our whole schema: the same indexes as a database made by the schema.
    const QString fresh = m_outside.filePath(QStringLiteral("fresh.mdb"));
    CreateDatabaseFile(fresh);
    const QString indexes = QStringLiteral("select group_concat(name) from (select name from sqlite_master "
                                           "where type = 'index' order by name)");
    Database made(fresh);
    Query a(db, indexes);
    Query b(made, indexes);
    ASSERT_TRUE(a.next() && b.next());
    EXPECT_EQ(a.text(0), b.text(0));
    ASSERT_FALSE(percents.empty());
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(percents.back(), 100);
}

TEST_F(LedgerConversionTest, WhatIsNotALedgerIsRefusedWithNothingChanged)
{
    const LedgerData good = SampleLedger(60, 400);
    struct Case
    {
        const char* name;
        std::function<void(LedgerData&)> change;
        std::function<void(const QString& path)> damage;
        const char* says;
    };
    const QString sales = LedgerSalesTable();
    const Case cases[] = {
        {"a table missing", [&](LedgerData& d) { d.rows.erase(sales); }, {}, "表「Tb_売上」がありません"},
        {"a column missing",
         [](LedgerData& d) {
             const QString t = LedgerTables().at(0);
             d.columns[t] = LedgerData::ledgerColumns(t);
             d.columns[t].erase(d.columns[t].begin() + 1);
             for (QVariantList& row : d.rows[t])
                 row.removeAt(1);
         },
         {},
         "表「Tb_顧客」に列「Fi_名前」がありません"},
        {"a column of another type",
         [&](LedgerData& d) {
             d.columns[sales] = LedgerData::ledgerColumns(sales);
             d.columns[sales][9].type = jet3::Type::DateTime;
         },
         {},
         "列「Fi_売価」が日付/時刻型です"},
        {"the same key twice", [&](LedgerData& d) { d.rows[sales][5][0] = 3; }, {}, "同じキー（Fi_キー 3）"},
        {"cut off at a page",
         {},
         [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.resize(file.size() / 2048 / 2 * 2048));
         },
         "読めません"},
        {"cut off inside a page",
         {},
         [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.resize(file.size() - 1000));
         },
         "途中で切れて"},
        {"no Jet file at all",
         {},
         [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
             file.write(QByteArray(4096, 'x'));
         },
         "以前の形式（Access）のデータベースファイルではありません"},
    };
    const QByteArray db = FileBytes(dbPath());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LedgerData data = good;
        if (c.change)
            c.change(data);
        data.write(m_jet);
        if (c.damage)
            c.damage(m_jet);
        const QByteArray jet = FileBytes(m_jet);
        try {
            ConvertLedger(m_jet, quiet);
            ADD_FAILURE() << "converted";
        } catch (const QelError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.says))) << e.message().toStdString();
        }
        EXPECT_EQ(FileBytes(dbPath()), db);
        EXPECT_EQ(FileBytes(m_jet), jet);
        EXPECT_EQ(FileNames(appPath()),
                  QStringList({QStringLiteral("Db_販売顧客.mdb"), QStringLiteral("Qel.Ini")}));
        EXPECT_TRUE(FileNames(backups()).isEmpty());
    }
}

TEST_F(LedgerConversionTest, ExtraTablesAndColumnsAndOtherPrefecturesAreNamed)
{
    LedgerData data = SampleLedger(20, 30);
    const QString customers = LedgerTables().at(0);
    data.columns[customers] = LedgerData::ledgerColumns(customers);
    data.columns[customers].push_back({QStringLiteral("Fi_ランク"), jet3::Type::Integer});
    for (QVariantList& row : data.rows[customers])
        row << 5;
    data.rows[QStringLiteral("Tb_メモ")] = {{QStringLiteral("覚え書き")}};
    data.columns[QStringLiteral("Tb_メモ")] = {{QStringLiteral("Fi_本文"), jet3::Type::Text, 100}};
    data.rows[LedgerPrefectureTable()][13][1] = QStringLiteral("東京");
    data.write(m_jet);

    const LedgerConversion result = ConvertLedger(m_jet, quiet);
    const QString report = ConversionReport(result);
    for (const char* named :
         {"表「Tb_メモ」", "表「Tb_顧客」の列「Fi_ランク」", "番号 13 が元のファイルでは「東京」"})
        EXPECT_TRUE(report.contains(QString::fromUtf8(named))) << report.toStdString();
    Database db;
    Query q(db, QStringLiteral("select Fi_名称 from Tb_都道府県 where Fi_番号 = 13"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.text(0), QStringLiteral("東京都"));
}

TEST_F(LedgerConversionTest, TheDatabaseInUseIsReplacedAsARestoreReplacesIt)
{
    const QStringList old = {QStringLiteral("Back20261101000000Db_販売顧客.mdb"),
                             QStringLiteral("Back20261102000000Db_販売顧客.mdb"),
                             QStringLiteral("Back20261103000000Db_販売顧客.mdb")};
    for (const QString& name : old)
        ASSERT_TRUE(QFile::copy(dbPath(), backups() + QLatin1Char('/') + name));
    SampleLedger().write(m_jet);

    QStringList steps;
    const LedgerConversion result = ConvertLedger(m_jet, [&](const QString& step) { steps << step; });
    EXPECT_EQ(steps,
              QStringList({QStringLiteral("変換前の確認"), QStringLiteral("変換中"),
                           QStringLiteral("バックアップ前準備"), QStringLiteral("データベースバックアップ"),
                           QStringLiteral("旧データの保存"), QStringLiteral("変換データの書き込み")}));
    EXPECT_EQ(Customers(dbPath()), 300);
    // The replaced database is a backup the restore offers; the ledger's copy is kept byte for byte
    // and offered by nobody; the oldest backup went as after any backup run.
    EXPECT_EQ(Customers(result.replacedBackup), 1);
    EXPECT_EQ(QFileInfo(result.keptOriginal).fileName(),
              QStringLiteral("旧形式_顧客台帳_20261208143005.mdb"));
    EXPECT_EQ(FileBytes(result.keptOriginal), FileBytes(m_jet));
    QStringList listed;
    for (const BackupEntry& e : ListBackups())
        listed << e.name;
    listed.sort();
    EXPECT_EQ(listed, QStringList({old[1], old[2], QFileInfo(result.replacedBackup).fileName()}));
    // Later backup runs prune backups, never the kept ledger.
    for (int run = 0; run < 4; ++run) {
        setNow(QDateTime(QDate(2026, 12, 9 + run), QTime(9, 0, 0)));
        RunBackup(quiet);
    }
    EXPECT_TRUE(QFileInfo::exists(result.keptOriginal));
    EXPECT_EQ(FileNames(backups()).size(), 4);
}

// Stops the conversion after each file operation in turn, then starts the program's recovery:
// the database is the old one or the converted one, whole, and once converted the earlier
// ledger is kept.
TEST_F(LedgerConversionTest, StopAfterAnyFileStepLeavesTheOldOrTheNewLedger)
{
    const LedgerData data = SampleLedger(300, 400);
    const QByteArray ours = FileBytes(dbPath());
    for (const bool inUse : {true, false}) {
        SCOPED_TRACE(inUse ? "the earlier ledger in use, at start-up" : "from data maintenance");
        data.write(m_jet);
        const QByteArray jet = FileBytes(m_jet);
        bool completed = false;
        for (int stopAfter = 1; !completed && stopAfter < 30; ++stopAfter) {
            SCOPED_TRACE(stopAfter);
            QDir(backups()).removeRecursively();
            QDir(appPath()).mkdir(QStringLiteral("バックアップ"));
            QFile::remove(dbPath());
            QFile file(dbPath());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(inUse ? jet : ours);
            file.close();
            const StoppedRun ended =
                RunStoppingAfter(stopAfter, [&] { ConvertLedger(inUse ? dbPath() : m_jet, quiet); });
            ASSERT_NE(ended, StoppedRun::Failed) << "the conversion failed instead of being stopped";
            completed = ended == StoppedRun::Completed;

            RecoverInterruptedBackup();
            ASSERT_TRUE(QFileInfo::exists(dbPath()));
            const QByteArray now = FileBytes(dbPath());
            const bool old = now == (inUse ? jet : ours);
            if (!old) {
                EXPECT_EQ(Customers(dbPath()), 300);
                bool kept = false;
                for (const QString& name : FileNames(backups()))
                    kept = kept || (IsEarlierLedgerCopy(name) &&
                                    FileBytes(backups() + QLatin1Char('/') + name) == jet);
                EXPECT_TRUE(kept) << "converted, the earlier ledger not kept";
            }
            EXPECT_TRUE(!completed || !old) << "completed without converting";
            for (const QString& folder : {appPath(), backups()}) {
                for (const QString& name : FileNames(folder))
                    EXPECT_FALSE(name.startsWith(QStringLiteral("Temp")) ||
                                 name.endsWith(QStringLiteral("-journal")))
                        << name.toStdString();
            }
        }
        EXPECT_TRUE(completed);
    }
}

// Killed while it writes the new database or while it writes it into the database in use (the
// engine's transaction cut off): the next start finds the old database, whole.
TEST_F(LedgerConversionTest, KilledWhileWritingLeavesTheOldLedger)
{
    // Large enough that the engine writes pages into the database before its commit.
    SampleLedger(3000, 20000).write(m_jet);
    const std::int64_t before = Customers(dbPath());
    for (const char* stopIn : {"変換中", "変換データの書き込み"}) {
        SCOPED_TRACE(stopIn);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            QString step;
            ConvertLedger(
                m_jet, [&](const QString& status) { step = status; },
                [&](int percent) {
                    if (step == QString::fromUtf8(stopIn) && percent >= 50)
                        ::_exit(0);
                });
            ::_exit(2);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        if (QString::fromUtf8(stopIn) == QStringLiteral("変換データの書き込み")) {
            EXPECT_TRUE(QFileInfo::exists(dbPath() + QStringLiteral("-journal")))
                << "stopped before the engine wrote";
        }
        RecoverInterruptedBackup();
        EXPECT_EQ(Customers(dbPath()), before);
        EXPECT_FALSE(QFileInfo::exists(ConversionCopyPath()));
        EXPECT_FALSE(QFileInfo::exists(dbPath() + QStringLiteral("-journal")));
    }
}

} // namespace
