#include "MaintenanceTest.h"

#include "core/Clock.h"
#include "core/Globals.h"
#include "db/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

void MaintenanceTest::SetUp()
{
    ScreenTest::SetUp();
    useBoxes(std::make_unique<FailureBoxes>());
    G().BackDataPath = QStringLiteral("バックアップ");
    G().BackCnt = 3;
    ASSERT_TRUE(QDir(appPath()).mkdir(G().BackDataPath));
    setNow(QDateTime(QDate(2026, 12, 8), QTime(14, 30, 5)));
    for (int i = 1; i <= 30; ++i) {
        execute(QStringLiteral("insert into Tb_顧客 (Fi_キー, Fi_名前, Fi_備考) values (?, ?, ?)"),
                {i, QStringLiteral("顧客%1").arg(i), QString(i > 20 ? 4000 : 10, QLatin1Char('x'))});
        execute(QStringLiteral("insert into Tb_売上 (Fi_キー, Fi_購入年月) values (?, ?)"),
                {i, QStringLiteral("2026%1").arg(i % 12 + 1, 2, 10, QLatin1Char('0'))});
    }
    // Deleted rows leave free pages for the compaction to drop.
    execute(QStringLiteral("delete from Tb_顧客 where Fi_キー > 20"));
}

void MaintenanceTest::useBoxes(std::unique_ptr<FailureBoxes> replacement)
{
    boxes = replacement.get();
    dialogs = boxes;
    InstallDialogs(std::move(replacement));
}

void MaintenanceTest::seedBackups(const QStringList& names) const
{
    for (const QString& name : names) {
        QFile file(backups() + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
        file.write(name.toUtf8());
    }
}

QStringList MaintenanceTest::namesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

void MaintenanceTest::expectDatabaseIntact(qint64 customers, qint64 sales) const
{
    ASSERT_TRUE(QFileInfo::exists(dbPath()));
    Database db(dbPath());
    Query check(db, QStringLiteral("PRAGMA integrity_check"));
    ASSERT_TRUE(check.next());
    EXPECT_EQ(check.text(0), QStringLiteral("ok"));
    EXPECT_EQ(db.count(QStringLiteral("Tb_顧客")), customers);
    EXPECT_EQ(db.count(QStringLiteral("Tb_売上")), sales);
    EXPECT_FALSE(QFileInfo::exists(temp()));
}

QString MaintenanceTest::backupPathAtNow() const
{
    return backups() + QStringLiteral("/Back") +
           Clock::current().now().toString(QStringLiteral("yyyyMMddHHmmss")) + G().DbFileName;
}

void MaintenanceTest::expectBackupBox()
{
    dialogs->expect(ShownBox::Kind::Information, QStringLiteral("バックアップ完了"),
                    QStringLiteral("ﾌｧｲﾙ名:") + QDir::toNativeSeparators(backupPathAtNow()));
}
