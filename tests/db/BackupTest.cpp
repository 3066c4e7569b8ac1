#include "db/Backup.h"
#include "core/Globals.h"
#include "db/Database.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <functional>

namespace {

class BackupTest : public AppFixture
{
  protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        G().BackDataPath = QStringLiteral("バックアップ");
        QDir(appPath()).mkdir(G().BackDataPath);
        Database db;
        for (int i = 1; i <= 50; ++i)
            RowValues()
                .set("Fi_キー", i)
                .set("Fi_名前", QString(20, QChar(0x5C71)))
                .insertInto(db, "Tb_顧客");
        db.execute("delete from Tb_顧客 where Fi_キー > 10");
    }
    QString temp() const { return appPath() + "/Temp" + kOperationalDbFile; }
    QString backups() const { return appPath() + "/" + G().BackDataPath; }
    std::int64_t customers() { return Database().count("Tb_顧客"); }
    // One compaction and backup under the lock, as the backup run makes them.
    static QString run()
    {
        DatabaseLock lock;
        CompactDb(lock);
        return BackupDb(lock);
    }

    // Makes the renames that the rule picks fail, as a file system that refuses them would.
    void refuse(std::function<bool(const QString& from, const QString& to)> rule)
    {
        class RefusingFiles : public BackupFiles
        {
          public:
            explicit RefusingFiles(std::function<bool(const QString&, const QString&)> r)
                : m_rule(std::move(r))
            {
            }
            int rename(const QString& from, const QString& to) override
            {
                return m_rule(from, to) ? EACCES : BackupFiles::rename(from, to);
            }

          private:
            std::function<bool(const QString&, const QString&)> m_rule;
        };
        BackupFiles::install(std::make_unique<RefusingFiles>(std::move(rule)));
    }
};

TEST_F(BackupTest, CompactThenBackupLeavesCompactedDatabaseAndNoTemp)
{
    setNow(QDateTime(QDate(2005, 5, 18), QTime(14, 30, 5)));
    const qint64 before = QFileInfo(dbPath()).size();
    DatabaseLock lock;
    CompactDb(lock);
    EXPECT_TRUE(QFileInfo::exists(temp()));
    EXPECT_TRUE(QFileInfo::exists(dbPath()));
    const QString backup = BackupDb(lock);
    EXPECT_EQ(backup, backups() + QStringLiteral("/Back20050518143005Db_販売顧客.mdb"));
    EXPECT_TRUE(QFileInfo::exists(backup));
    EXPECT_EQ(QFileInfo(backup).size(), before);
    EXPECT_FALSE(QFileInfo::exists(temp()));
    EXPECT_LE(QFileInfo(dbPath()).size(), before);
    EXPECT_EQ(customers(), 10);
}

TEST_F(BackupTest, BackupsASecondApartSortInTimeOrder)
{
    setNow(QDateTime(QDate(2005, 5, 18), QTime(23, 59, 59)));
    const QString first = run();
    setNow(QDateTime(QDate(2005, 5, 19), QTime(0, 0, 0)));
    const QString second = run();
    EXPECT_LT(QFileInfo(first).fileName(), QFileInfo(second).fileName());
    // The same second again cannot overwrite the earlier backup.
    EXPECT_THROW(run(), QelError);
    EXPECT_EQ(customers(), 10);
}

TEST_F(BackupTest, MissingCompactedCopyLeavesDatabaseInPlace)
{
    DatabaseLock lock;
    EXPECT_THROW(BackupDb(lock), QelError);
    EXPECT_EQ(customers(), 10);
    EXPECT_TRUE(QDir(backups()).isEmpty());
}

TEST_F(BackupTest, CorruptCompactedCopyIsRefusedBeforeAnyFileMoves)
{
    QFile junk(temp());
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    DatabaseLock lock;
    EXPECT_THROW(BackupDb(lock), QelError);
    EXPECT_EQ(customers(), 10);
    EXPECT_TRUE(QDir(backups()).isEmpty());
}

TEST_F(BackupTest, LeftoverTempFileIsReplacedByTheNewCompaction)
{
    QFile junk(temp());
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("left from an earlier run");
    junk.close();
    run();
    EXPECT_EQ(customers(), 10);
    EXPECT_FALSE(QFileInfo::exists(temp()));
}

TEST_F(BackupTest, MissingBackupFolderSaysSoAndKeepsTheDatabase)
{
    ASSERT_TRUE(QDir(backups()).removeRecursively());
    try {
        run();
        FAIL();
    } catch (const QelError& e) {
        EXPECT_TRUE(e.userText().contains(QStringLiteral("バックアップフォルダ")))
            << e.userText().toStdString();
    }
    EXPECT_EQ(customers(), 10);
}

TEST_F(BackupTest, BackupFolderThatIsAFileKeepsTheDatabase)
{
    ASSERT_TRUE(QDir(backups()).removeRecursively());
    QFile blocker(backups());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(run(), QelError);
    EXPECT_EQ(customers(), 10);
}

TEST_F(BackupTest, ReadOnlyBackupFolderKeepsTheDatabase)
{
    // Permissions do not bind the superuser that CI runs as: the folder refuses what is put in it.
    refuse([this](const QString&, const QString& to) { return to.startsWith(backups() + "/"); });
    try {
        run();
        FAIL();
    } catch (const QelError& e) {
        EXPECT_TRUE(e.userText().contains(QStringLiteral("データベースは元のままです")))
            << e.userText().toStdString();
    }
    EXPECT_EQ(customers(), 10);
    EXPECT_FALSE(QFileInfo::exists(temp()));
    EXPECT_TRUE(QDir(backups()).isEmpty());
}

TEST_F(BackupTest, DeleteBackFileIsSilentForAMissingFile)
{
    QFile old(backups() + "/Back20000101000000Db_販売顧客.mdb");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    QFile::setPermissions(old.fileName(), QFileDevice::ReadOwner);
    DeleteBackFile("Back20000101000000Db_販売顧客.mdb");
    EXPECT_FALSE(old.exists());
    EXPECT_NO_THROW(DeleteBackFile("Back19990101000000Db_販売顧客.mdb"));
}

} // namespace
