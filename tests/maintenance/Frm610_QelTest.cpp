#include "MaintenanceTest.h"

#include "core/Globals.h"
#include "db/Backup.h"
#include "ui/Navigator.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <SQLiteCpp/Database.h>

#include <cerrno>
#include <functional>
#include <memory>

namespace {

const QString kNew = QStringLiteral("Back20261208143005Db_販売顧客.mdb");

class BackupScreenTest : public MaintenanceTest
{
  protected:
    void openBackup() { ASSERT_NE(openFromMenu(QStringLiteral("Frm610_Qel")), nullptr); }
};

struct PruneCase
{
    const char* name;
    int backCnt;
    QStringList before;
    QStringList after; // besides the new backup
    QString countLine;
};

TEST_F(BackupScreenTest, PruningKeepsTheConfiguredNumberOfBackups)
{
    const QString b1 = QStringLiteral("Back20261101000000Db_販売顧客.mdb");
    const QString b2 = QStringLiteral("Back20261102000000Db_販売顧客.mdb");
    const QString b3 = QStringLiteral("Back20261103000000Db_販売顧客.mdb");
    const QString b4 = QStringLiteral("Back20261104000000Db_販売顧客.mdb");
    const QString b5 = QStringLiteral("Back20261105000000Db_販売顧客.mdb");
    const QString foreign = QStringLiteral("Aメモ.txt");
    const QString three = QStringLiteral("過去3回分のバックアップデータが保存されます");
    const PruneCase cases[] = {
        {"empty folder", 3, {}, {}, three},
        {"three backups", 3, {b1, b2, b3}, {b2, b3}, three},
        {"five backups, setting lowered", 3, {b1, b2, b3, b4, b5}, {b4, b5}, three},
        {"foreign file among the oldest", 3, {foreign, b1, b2, b3}, {b2, b3}, three},
        {"count 0 keeps every backup",
         0,
         {b1, b2, b3},
         {b1, b2, b3},
         QStringLiteral("バックアップデータはすべて保存されます（古いものは削除されません）")},
        {"negative count keeps every backup",
         -2,
         {b1, b2},
         {b1, b2},
         QStringLiteral("バックアップデータはすべて保存されます（古いものは削除されません）")},
    };
    for (const PruneCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QDir(backups()).removeRecursively());
        ASSERT_TRUE(QDir(appPath()).mkdir(QStringLiteral("バックアップ")));
        // A sub-folder is not a backup and is never touched.
        ASSERT_TRUE(QDir(backups()).mkdir(QStringLiteral("A古い")));
        seedBackups(c.before);
        G().BackCnt = static_cast<std::int16_t>(c.backCnt);
        openBackup();
        EXPECT_EQ(ttl(1)->text(), c.countLine);
        expectBackupBox();
        Click(cmd(0));
        QStringList expected = c.after;
        expected << QStringLiteral("A古い") << kNew;
        expected.sort();
        EXPECT_EQ(namesIn(backups()), expected);
        CloseAllScreens();
    }
}

TEST_F(BackupScreenTest, RunShowsItsStepsAndLeavesTheCompactedDatabase)
{
    openBackup();
    EXPECT_EQ(ttl(3)->text(), QDir::toNativeSeparators(backups()));
    // A copy left by a run that failed earlier is no obstacle.
    QFile leftover(temp());
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.write("half a database");
    leftover.close();
    const QByteArray before = FileBytes(dbPath());

    struct Seen
    {
        QString status;
        bool buttonEnabled;
        bool hourglass;
    };
    std::vector<Seen> seen;
    waits->during = [&] {
        const QCursor* cursor = QApplication::overrideCursor();
        seen.push_back({message(), cmd(0)->isEnabled(), cursor && cursor->shape() == Qt::WaitCursor});
    };
    expectBackupBox();
    Click(cmd(0));

    ASSERT_EQ(seen.size(), 3u);
    const char* steps[] = {"バックアップ前準備", "データベース最適化", "データベースバックアップ"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(seen[i].status, QString::fromUtf8(steps[i]));
        EXPECT_FALSE(seen[i].buttonEnabled);
        EXPECT_TRUE(seen[i].hourglass);
    }
    EXPECT_EQ(waits->waits, (std::vector<int>{500, 500, 500}));
    EXPECT_EQ(message(), QStringLiteral("　バックアップ完了"));
    EXPECT_TRUE(cmd(0)->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    EXPECT_EQ(FileBytes(backupPathAtNow()), before);
    EXPECT_LT(QFileInfo(dbPath()).size(), before.size());
    expectDatabaseIntact(20, 30);
}

struct FaultCase
{
    const char* name;
    std::function<void()> inject;
    std::function<void()> release;
    const char* step;
    QString file;       // the message names it
    const char* cause;  // the Japanese sentence of the cause
    const char* detail; // the engine's or the system's own text, on the smaller line
};

// Refuses the renames the rule picks, as a file system that will not take them.
class RefusingFiles : public BackupFiles
{
  public:
    explicit RefusingFiles(std::function<bool(const QString& from, const QString& to)> rule)
        : m_rule(std::move(rule))
    {
    }
    int rename(const QString& from, const QString& to) override
    {
        return m_rule(from, to) ? EROFS : BackupFiles::rename(from, to);
    }

  private:
    std::function<bool(const QString&, const QString&)> m_rule;
};

TEST_F(BackupScreenTest, FailingStepKeepsTheDatabaseAndEveryBackup)
{
    const QStringList old = {QStringLiteral("Back20261101000000Db_販売顧客.mdb"),
                             QStringLiteral("Back20261102000000Db_販売顧客.mdb"),
                             QStringLiteral("Back20261103000000Db_販売顧客.mdb")};
    std::unique_ptr<SQLite::Database> holder;
    const FaultCase cases[] = {
        {"backup folder missing", [this] { QDir(backups()).removeRecursively(); }, [] {},
         "バックアップ前準備", backups(), "バックアップフォルダがありません", ""},
        {"database locked by another program",
         [&] {
             holder = std::make_unique<SQLite::Database>(dbPath().toStdString(), SQLite::OPEN_READWRITE);
             holder->exec("BEGIN EXCLUSIVE");
         },
         [&] { holder.reset(); }, "バックアップ前準備", dbPath(), "他のプログラムがデータベースを使用中です",
         "database is locked"},
        {"backup file refused by its folder",
         [this] {
             const QString folder = backups() + QLatin1Char('/');
             BackupFiles::install(std::make_unique<RefusingFiles>(
                 [folder](const QString&, const QString& to) { return to.startsWith(folder); }));
         },
         [] { BackupFiles::install(nullptr); }, "データベースバックアップ", backupPathAtNow(),
         "書き込みのできないディスクです", "Read-only file system"},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(backups()).removeRecursively();
        ASSERT_TRUE(QDir(appPath()).mkdir(QStringLiteral("バックアップ")));
        seedBackups(old);
        const QByteArray before = FileBytes(dbPath());
        c.inject();
        openBackup();
        dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm610_Qel"), {});
        Click(cmd(0));
        c.release();
        // Through the failure box, the cause in Japanese and the engine's words apart from it.
        ASSERT_EQ(boxes->failures.size(), 1u);
        const FailureBoxes::Failure shown = boxes->failures.front();
        boxes->failures.clear();
        const QString text = shown.message;
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.step))) << text.toStdString();
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(c.file))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.cause))) << text.toStdString();
        EXPECT_EQ(shown.detail, QString::fromUtf8(c.detail));
        EXPECT_EQ(message(), QStringLiteral("バックアップを中止しました"));
        EXPECT_TRUE(cmd(0)->isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(FileBytes(dbPath()), before);
        expectDatabaseIntact(20, 30);
        if (QFileInfo(backups()).isDir()) {
            EXPECT_EQ(namesIn(backups()), old);
        }
        CloseAllScreens();
    }
}

TEST_F(BackupScreenTest, BackupFolderThatHoldsTheApplicationIsRefused)
{
    seedBackups({QStringLiteral("Back20261101000000Db_販売顧客.mdb")});
    QFile::copy(dbPath(), appPath() + "/" + kSampleDbFile);
    const QStringList appFiles = namesIn(appPath());
    for (const char* setting : {"", ".", "..", "バックアップ/..", "./"}) {
        SCOPED_TRACE(setting);
        G().BackDataPath = QString::fromUtf8(setting);
        G().BackCnt = 1;
        openBackup();
        dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm610_Qel"), {});
        Click(cmd(0));
        ASSERT_FALSE(dialogs->shown().empty());
        EXPECT_TRUE(dialogs->shown().back().text.contains(QStringLiteral("BackDataPath")));
        EXPECT_EQ(namesIn(appPath()), appFiles);
        EXPECT_EQ(namesIn(backups()), QStringList{QStringLiteral("Back20261101000000Db_販売顧客.mdb")});
        expectDatabaseIntact(20, 30);
        CloseAllScreens();
    }
}

TEST_F(BackupScreenTest, ClickQueuedDuringTheRunDoesNotStartAnother)
{
    openBackup();
    QPushButton* button = cmd(0);
    // Clicks reach the window while the run pauses; they are delivered after the pause.
    waits->during = [button] {
        const QPointF centre = QRectF(button->rect()).center();
        const QPointF global = button->mapToGlobal(centre);
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, centre, global,
                                                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, centre, global,
                                                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    };
    expectBackupBox();
    Click(button);
    waits->during = nullptr;
    QCoreApplication::processEvents();
    EXPECT_EQ(waits->waits.size(), 3u);
    EXPECT_EQ(namesIn(backups()), QStringList{kNew});
    EXPECT_TRUE(cmd(0)->isEnabled());
}

TEST_F(BackupScreenTest, MenuOpensItAndOnlyCloseReturns)
{
    Screens().open(QStringLiteral("Frm010_Qel"));
    ASSERT_TRUE(follow(QStringLiteral("Frm010_Qel")));
    Click(cmd(7));
    ASSERT_TRUE(follow(QStringLiteral("Frm610_Qel")));
    EXPECT_EQ(ttl(14)->text(), QStringLiteral("データ バックアップ"));
    EXPECT_FALSE(screen()->close());
    EXPECT_NE(visibleScreen(QStringLiteral("Frm610_Qel")), nullptr);
    // "復元…" leads to the restore screen and its "閉じる" back here.
    Click(cmd(1));
    ASSERT_TRUE(follow(QStringLiteral("Frm630_Qel")));
    EXPECT_EQ(ttl(14)->text(), QStringLiteral("データ 復元"));
    EXPECT_FALSE(screen()->close());
    Click(cmd(99));
    ASSERT_TRUE(follow(QStringLiteral("Frm610_Qel")));
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm630_Qel"));
    Click(cmd(99));
    EXPECT_EQ(visibleScreen(QStringLiteral("Frm610_Qel")), nullptr);
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm610_Qel"));
}

} // namespace
