// The backup run's file steps as a shop meets them when something goes wrong: a stop at any
// moment, a second file system, a full disk, a file that is not ours, a read-only file, and the
// file's mode kept throughout.
#include "maintenance/BackupRun.h"
#include "CutOff.h"
#include "core/Globals.h"
#include "db/Backup.h"
#include "db/Database.h"
#include "maintenance/RestoreRun.h"
#include "ui/Mdl_Main.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kNew = QStringLiteral("Back20261208143005Db_販売顧客.mdb");
const QStringList kOld = {QStringLiteral("Back20261101000000Db_販売顧客.mdb"),
                          QStringLiteral("Back20261102000000Db_販売顧客.mdb"),
                          QStringLiteral("Back20261103000000Db_販売顧客.mdb")};

// What the shop's data is, to compare before and after.
struct Rows
{
    qint64 customers = -1;
    qint64 sales = -1;
    qint64 keys = -1;
    bool operator==(const Rows&) const = default;
};

Rows RowsOf(const QString& path)
{
    InspectDatabase(path, true);
    Database db(path);
    Query q(db,
            QStringLiteral("select (select count(*) from Tb_顧客), (select count(*) from Tb_売上), "
                           "(select total(Fi_キー) from Tb_売上) + (select total(Fi_キー) from Tb_顧客)"));
    q.next();
    return {q.integer(0), q.integer(1), q.integer(2)};
}

unsigned ModeOf(const QString& path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

class BackupRunTest : public AppFixture
{
  protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        useBackupFolder();
        {
            Database db;
            db.execute(QStringLiteral("begin"));
            for (int i = 1; i <= 200; ++i) {
                db.execute(
                    QStringLiteral("insert into Tb_顧客 (Fi_キー, Fi_名前, Fi_備考) values (?, ?, ?)"),
                    {i, QStringLiteral("顧客%1").arg(i), QString(i > 150 ? 3000 : 10, QLatin1Char('x'))});
                db.execute(QStringLiteral("insert into Tb_売上 (Fi_キー, Fi_購入年月日) values (?, ?)"),
                           {i, QStringLiteral("202611%1").arg(i % 28 + 1, 2, 10, QLatin1Char('0'))});
            }
            db.execute(QStringLiteral("commit"));
            // Free pages for the compaction to drop.
            db.execute(QStringLiteral("delete from Tb_顧客 where Fi_キー > 150"));
        }
        m_rows = RowsOf(dbPath());
        m_seed = FileBytes(dbPath());
    }
    void TearDown() override
    {
        for (const QString& mount : m_mounts)
            ::umount2(QFile::encodeName(mount).constData(), MNT_DETACH);
        AppFixture::TearDown();
    }

    QString temp() const { return appPath() + QStringLiteral("/Temp") + G().DbFileName; }
    // The database as the test began and three old backups beside it.
    void reset() const
    {
        QFile::remove(dbPath());
        QFile::remove(temp());
        QFile db(dbPath());
        ASSERT_TRUE(db.open(QIODevice::WriteOnly));
        db.write(m_seed);
        db.close();
        // A mode of the user's choice, which every file the run puts in its place keeps.
        ASSERT_EQ(::chmod(QFile::encodeName(dbPath()).constData(), 0640), 0);
        for (const QString& name : FileNames(backups()))
            QFile::remove(backups() + QLatin1Char('/') + name);
        for (const QString& name : kOld) {
            QFile file(backups() + QLatin1Char('/') + name);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(name.toUtf8());
        }
    }
    // A tmpfs of the size on the folder, as a second disk; false where the test may not mount.
    bool mountDisk(const QString& folder, const QString& size)
    {
        const QByteArray options = (QStringLiteral("size=") + size).toUtf8();
        if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) != 0)
            return false;
        m_mounts.prepend(folder);
        return true;
    }
    // Takes all the free space of the folder's disk but a few pages; returns the filler file.
    static QString fillDisk(const QString& folder)
    {
        struct statvfs disk = {};
        EXPECT_EQ(::statvfs(QFile::encodeName(folder).constData(), &disk), 0);
        QFile filler(folder + QStringLiteral("/filler"));
        EXPECT_TRUE(filler.open(QIODevice::WriteOnly));
        filler.write(QByteArray(static_cast<qsizetype>(disk.f_bavail * disk.f_frsize) - 8192, 'x'));
        return filler.fileName();
    }
    static BackupResult run()
    {
        return RunBackup([](const QString&) {});
    }
    static QString failureOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const QelError& e) {
            return e.userText();
        }
        ADD_FAILURE() << "no failure";
        return {};
    }

    Rows m_rows;
    QByteArray m_seed;
    QStringList m_mounts;
};

TEST_F(BackupRunTest, StopAfterAnyFileStepThenRestartLosesNothing)
{
    bool secondDisk = false;
    for (int disk = 0; disk < 2; ++disk) {
        if (disk == 1 && !(secondDisk = mountDisk(backups(), QStringLiteral("8m"))))
            break;
        bool completed = false;
        for (int stopAfter = 1; !completed && stopAfter < 40; ++stopAfter) {
            SCOPED_TRACE(
                QStringLiteral("%1, stopped after step %2")
                    .arg(disk ? QStringLiteral("backup folder on another disk") : QStringLiteral("one disk"))
                    .arg(stopAfter)
                    .toStdString());
            reset();
            const StoppedRun ended = RunStoppingAfter(stopAfter, [&] { run(); });
            ASSERT_NE(ended, StoppedRun::Failed) << "the run failed instead of being stopped";
            completed = ended == StoppedRun::Completed;

            // The next start: nothing to tell the user, since nothing was lost.
            ASSERT_NE(Main(appPath()), nullptr);
            G().DbFileName = kOperationalDbFile;
            EXPECT_EQ(RowsOf(dbPath()), m_rows);
            EXPECT_EQ(ModeOf(dbPath()), 0640u);
            struct stat db = {};
            ASSERT_EQ(::stat(QFile::encodeName(dbPath()).constData(), &db), 0);
            EXPECT_EQ(db.st_nlink, 1u) << "a backup shares the database's bytes";
            EXPECT_FALSE(QFileInfo::exists(temp()));
            const QStringList left = FileNames(backups());
            for (const QString& name : left)
                EXPECT_TRUE(kOld.contains(name) || name == kNew) << name.toStdString();
            if (left.contains(kNew)) {
                // Whole, and as the database was; only then may the oldest have gone.
                EXPECT_EQ(RowsOf(backups() + QLatin1Char('/') + kNew), m_rows);
                EXPECT_TRUE(left.contains(kOld[1]) && left.contains(kOld[2]));
            } else {
                for (const QString& name : kOld)
                    EXPECT_TRUE(left.contains(name)) << name.toStdString();
            }
            if (completed) {
                EXPECT_EQ(left, (QStringList{kOld[1], kOld[2], kNew}));
            }
        }
        EXPECT_TRUE(completed);
    }
    if (!secondDisk)
        GTEST_SKIP() << "no tmpfs mount here: the backup folder on a second disk was not tried";
}

TEST_F(BackupRunTest, FullDiskSaysWhichFolderAndCostsNoBackup)
{
    if (!mountDisk(backups(), QStringLiteral("1m")))
        GTEST_SKIP() << "no tmpfs mount here";
    reset();
    const QString filler = fillDisk(backups());
    const QStringList full = FileNames(backups());
    const QString text = failureOf([] { run(); });
    EXPECT_TRUE(text.contains(QStringLiteral("ディスクの空き容量が足りない"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(backups()))) << text.toStdString();
    EXPECT_EQ(FileNames(backups()), full);
    EXPECT_EQ(FileBytes(dbPath()), m_seed);
    EXPECT_FALSE(QFileInfo::exists(temp()));

    // Space freed: the next run prunes exactly one old backup, as with a folder never full.
    ASSERT_TRUE(QFile::remove(filler));
    run();
    EXPECT_EQ(FileNames(backups()), (QStringList{kOld[1], kOld[2], kNew}));

    // The application's own disk full: the compaction stops and says where.
    const QString app = appPath() + QStringLiteral("/app");
    ASSERT_TRUE(QDir().mkpath(app));
    ASSERT_TRUE(mountDisk(app, QStringLiteral("4m")));
    ASSERT_TRUE(QDir(app).mkdir(QStringLiteral("バックアップ")));
    ASSERT_TRUE(QFile::copy(dbPath(), app + QLatin1Char('/') + kOperationalDbFile));
    fillDisk(app);
    G().AppPath = app;
    const QString db = AppFile(kOperationalDbFile);
    const QByteArray before = FileBytes(db);
    const QString compaction = failureOf([] { run(); });
    EXPECT_TRUE(compaction.contains(QStringLiteral("ディスクの空き容量が足りない")))
        << compaction.toStdString();
    EXPECT_TRUE(compaction.contains(QDir::toNativeSeparators(app))) << compaction.toStdString();
    EXPECT_EQ(FileBytes(db), before);
    EXPECT_FALSE(QFileInfo::exists(AppFile(QStringLiteral("Temp") + kOperationalDbFile)));
}

TEST_F(BackupRunTest, FileThatIsNotOursOrReadOnlyStopsTheRunBeforeAnythingMoves)
{
    struct Case
    {
        const char* name;
        std::function<void(const QString& db)> make;
        const char* says;
    };
    const Case cases[] = {
        {"a foreign SQLite file",
         [](const QString& db) {
             QFile::remove(db);
             SQLite::Database(db.toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE)
                 .exec("create table x (y); insert into x values (1)");
         },
         "このプログラムのデータベースではありません（表「"},
        {"cut short", [](const QString& db) { ASSERT_TRUE(QFile::resize(db, QFileInfo(db).size() / 2)); },
         "ファイルが途中で切れています"},
        {"read-only",
         [](const QString& db) { ASSERT_TRUE(::chmod(QFile::encodeName(db).constData(), 0444) == 0); },
         "読み取り専用"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        c.make(dbPath());
        const QByteArray before = FileBytes(dbPath());
        const unsigned mode = ModeOf(dbPath());
        const QString text = failureOf([] { run(); });
        EXPECT_TRUE(text.startsWith(QStringLiteral("バックアップを中止しました（バックアップ前準備）。")))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.says))) << text.toStdString();
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(dbPath()))) << text.toStdString();
        EXPECT_EQ(FileBytes(dbPath()), before);
        EXPECT_EQ(ModeOf(dbPath()), mode);
        EXPECT_EQ(FileNames(backups()), kOld);
        EXPECT_FALSE(QFileInfo::exists(temp()));
    }
}

TEST_F(BackupRunTest, StartUpPutsBackADatabaseLeftOnlyAsItsCompactedCopy)
{
    struct Case
    {
        const char* name;
        QString db;
        bool wholeCopy;
        const char* notice;
    };
    // An earlier version moved the database away before it renamed the copy into its place.
    const Case cases[] = {
        {"sample database, so that the menu does not switch to the other one", kSampleDbFile, true,
         "元に戻しました"},
        {"damaged copy", kOperationalDbFile, false, "元に戻せませんでした"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        const QString db = appPath() + QLatin1Char('/') + c.db;
        const QString copy = appPath() + QStringLiteral("/Temp") + c.db;
        QFile::remove(copy);
        ASSERT_TRUE(QFile::rename(dbPath(), copy));
        if (!c.wholeCopy) {
            ASSERT_TRUE(QFile::resize(copy, QFileInfo(copy).size() / 2));
        }
        const QByteArray left = FileBytes(copy);
        // A partial backup of the stopped run goes too.
        QFile partial(backups() + QStringLiteral("/TempBack20261208143005") + c.db);
        ASSERT_TRUE(partial.open(QIODevice::WriteOnly));
        partial.close();
        dialogs->expect(ShownBox::Kind::Information, QStringLiteral("データベースの復旧"), {});
        ASSERT_NE(Main(appPath()), nullptr);
        ASSERT_FALSE(dialogs->shown().empty());
        const QString text = dialogs->shown().back().text;
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.notice))) << text.toStdString();
        EXPECT_TRUE(text.contains(c.db)) << text.toStdString();
        if (c.wholeCopy) {
            EXPECT_EQ(RowsOf(db), m_rows);
            EXPECT_FALSE(QFileInfo::exists(copy));
        } else {
            // Nothing the user might still need is deleted.
            EXPECT_FALSE(QFileInfo::exists(db));
            EXPECT_EQ(FileBytes(copy), left);
            QFile::remove(copy);
        }
        EXPECT_EQ(FileNames(backups()), kOld);
        QFile::remove(db);
    }
}

// Killed while it compacted: a half-written copy with the engine's journal beside it, or the
// journal alone when the copy was removed on an earlier start. Both go; the database stays.
TEST_F(BackupRunTest, StartUpRemovesACompactionStoppedHalfWayWithItsJournal)
{
    const QString copy = temp();
    for (const bool withCopy : {true, false}) {
        SCOPED_TRACE(withCopy ? "copy and journal" : "journal alone");
        reset();
        if (withCopy) {
            ASSERT_TRUE(QFile::copy(dbPath(), copy));
            ASSERT_TRUE(QFile::resize(copy, QFileInfo(copy).size() / 2));
        }
        QFile journal(copy + QStringLiteral("-journal"));
        ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
        journal.write(QByteArray(512, 'j'));
        journal.close();
        ASSERT_NE(Main(appPath()), nullptr);
        G().DbFileName = kOperationalDbFile;
        EXPECT_FALSE(QFileInfo::exists(copy));
        EXPECT_FALSE(QFileInfo::exists(journal.fileName()));
        EXPECT_EQ(RowsOf(dbPath()), m_rows);
        EXPECT_EQ(FileNames(backups()), kOld);
    }
}

TEST_F(BackupRunTest, CutOffTransactionIsRolledBackByTheStartAndByTheRun)
{
    for (const bool start : {true, false}) {
        SCOPED_TRACE(start ? "next start" : "backup run");
        reset();
        ASSERT_TRUE(LeaveCutOffTransaction(dbPath()));
        if (start) {
            ASSERT_NE(Main(appPath()), nullptr);
            G().DbFileName = kOperationalDbFile;
        } else {
            run();
            // The backup holds the committed data, whole.
            EXPECT_EQ(RowsOf(backups() + QLatin1Char('/') + kNew), m_rows);
        }
        EXPECT_EQ(RowsOf(dbPath()), m_rows);
        EXPECT_FALSE(QFileInfo::exists(dbPath() + QStringLiteral("-journal")));
    }
    // Cut off before the journal got its first record: nothing to undo, and it goes too.
    QFile empty(dbPath() + QStringLiteral("-journal"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    ASSERT_NE(Main(appPath()), nullptr);
    EXPECT_FALSE(empty.exists());
    EXPECT_EQ(RowsOf(dbPath()), m_rows);
}

TEST_F(BackupRunTest, AnotherProgramsWriteLandsInTheDatabaseInUseOrWaits)
{
    reset();
    // Open before the run, as another program would have it.
    SQLite::Database other(dbPath().toStdString(), SQLite::OPEN_READWRITE);
    int refused = 0;
    int tried = 0;
    RunBackup([&](const QString& status) {
        if (status == QStringLiteral("バックアップ前準備"))
            return;
        ++tried;
        try {
            other.exec("insert into Tb_顧客 (Fi_キー, Fi_名前) values (900, 'during')");
        } catch (const SQLite::Exception&) {
            ++refused;
        }
    });
    EXPECT_EQ(tried, 2);
    EXPECT_EQ(refused, 2);
    other.exec("insert into Tb_顧客 (Fi_キー, Fi_名前) values (901, 'after')");
    EXPECT_EQ(RowsOf(dbPath()).customers, m_rows.customers + 1);
    EXPECT_EQ(RowsOf(backups() + QLatin1Char('/') + kNew), m_rows);
    // A program already writing when the run begins stops it before anything is written.
    other.exec("BEGIN IMMEDIATE");
    setNow(QDateTime(QDate(2026, 12, 8), QTime(15, 0, 0)));
    const QStringList before = FileNames(backups());
    const QString text = failureOf([] { run(); });
    EXPECT_TRUE(text.contains(QStringLiteral("他のプログラムがデータベースを使用中です")))
        << text.toStdString();
    EXPECT_EQ(FileNames(backups()), before);
    other.exec("COMMIT");
}

TEST_F(BackupRunTest, StartUpSaysWhetherAnInterruptedRestoreWrote)
{
    // A backup large enough that the engine writes into the database before the commit.
    const QString chosen = backups() + QStringLiteral("/Back20261201000000Db_販売顧客.mdb");
    struct Case
    {
        const char* name;
        bool killed; // else the restore wrote everything and stopped before it cleaned up
        const char* notice;
    };
    const Case cases[] = {
        {"killed while it wrote", true, "復元前のままです"},
        {"stopped after it wrote", false, "復元は済んでいます"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        ASSERT_TRUE(QFile::copy(dbPath(), chosen));
        {
            Database db(chosen);
            db.execute(QStringLiteral("begin"));
            for (int key = 1000; key < 2500; ++key)
                db.execute(
                    QStringLiteral("insert into Tb_顧客 (Fi_キー, Fi_名前, Fi_備考) values (?, 'x', ?)"),
                    {key, QString(3000, QLatin1Char('z'))});
            db.execute(QStringLiteral("commit"));
        }
        const Rows restored = RowsOf(chosen);
        const QString copy = appPath() + QStringLiteral("/TempRestore") + kOperationalDbFile;
        if (c.killed) {
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                std::vector<BackupEntry> entries = ListBackups();
                QString step;
                RunRestore(
                    entries.front(), [&](const QString& status) { step = status; },
                    [&](int percent) {
                        if (step == QStringLiteral("データ復元") && percent >= 70)
                            ::_exit(0);
                    });
                ::_exit(2);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            ASSERT_TRUE(QFileInfo::exists(dbPath() + QStringLiteral("-journal")));
            ASSERT_TRUE(QFileInfo::exists(copy));
        } else {
            ASSERT_TRUE(QFile::copy(chosen, copy));
            ASSERT_TRUE(QFile::remove(dbPath()));
            ASSERT_TRUE(QFile::copy(chosen, dbPath()));
        }
        const QStringList kept = FileNames(backups());
        dialogs->expect(ShownBox::Kind::Information, QStringLiteral("データベースの復旧"), {});
        ASSERT_NE(Main(appPath()), nullptr);
        G().DbFileName = kOperationalDbFile;
        ASSERT_FALSE(dialogs->shown().empty());
        const QString text = dialogs->shown().back().text;
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.notice))) << text.toStdString();
        EXPECT_EQ(RowsOf(dbPath()), c.killed ? m_rows : restored);
        EXPECT_FALSE(QFileInfo::exists(copy));
        EXPECT_FALSE(QFileInfo::exists(dbPath() + QStringLiteral("-journal")));
        EXPECT_EQ(FileNames(backups()), kept);
        if (c.killed) {
            // The replaced data was kept before the restore began to write.
            EXPECT_EQ(RowsOf(backups() + QLatin1Char('/') + kNew), m_rows);
        }
        QFile::remove(chosen);
    }
}

} // namespace
