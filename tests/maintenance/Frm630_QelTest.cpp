#include "CutOff.h"
#include "MaintenanceTest.h"

#include "core/DateText.h"
#include "core/Globals.h"
#include "db/Backup.h"
#include "db/Database.h"
#include "ui/FlexGrid.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>

#include <cerrno>
#include <functional>
#include <map>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

const QString kB1 = QStringLiteral("Back20261101090000Db_販売顧客.mdb");
const QString kB2 = QStringLiteral("Back20261120093000Db_販売顧客.mdb");
const QString kB3 = QStringLiteral("Back20261201100000Db_販売顧客.mdb");

class RestoreTest : public MaintenanceTest
{
  protected:
    void SetUp() override
    {
        MaintenanceTest::SetUp();
        // Three backups of the shop on three days: fewer customers and sales the older they are.
        makeBackup(kB1, 5, 7, QStringLiteral("20261031"));
        makeBackup(kB2, 10, 12, QStringLiteral("20261119"));
        makeBackup(kB3, 15, 20, QStringLiteral("20261130"));
    }
    void makeBackup(const QString& name, int customers, int sales, const QString& latest) const
    {
        const QString path = backups() + QLatin1Char('/') + name;
        ASSERT_TRUE(QFile::copy(dbPath(), path));
        Database db(path);
        db.execute(QStringLiteral("delete from Tb_顧客 where Fi_キー > ?"), {customers});
        db.execute(QStringLiteral("delete from Tb_売上 where Fi_キー > ?"), {sales});
        db.execute(QStringLiteral("update Tb_売上 set Fi_購入年月日 = ? where Fi_キー = 1"), {latest});
    }
    QString backup(const QString& name) const { return backups() + QLatin1Char('/') + name; }
    void open() { ASSERT_NE(openFromMenu(QStringLiteral("Frm630_Qel")), nullptr); }
    // Waits until the list has counted every file it can restore, as the user sees it filling in.
    void waitForCounts() const
    {
        PollUntil(
            [this] {
                for (int r = 1; r < grid()->rows(); ++r) {
                    if (grid()->textMatrix(r, 5).isEmpty() && grid()->textMatrix(r, 7).isEmpty())
                        return false;
                }
                return true;
            },
            3000, "every row counted");
    }
    // The rows of the list as the user reads them: date, database, counts, latest sale, state, size
    // given.
    QStringList shownRows() const
    {
        waitForCounts();
        QStringList rows;
        for (int r = 1; r < grid()->rows(); ++r) {
            QStringList cells;
            for (int c : {1, 2, 4, 5, 6, 7})
                cells << grid()->textMatrix(r, c);
            cells << (grid()->textMatrix(r, 3).endsWith(QStringLiteral(" KB")) ? QStringLiteral("KB")
                                                                               : QStringLiteral("?"));
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }
    qint64 customersIn(const QString& path) const { return Database(path).count(QStringLiteral("Tb_顧客")); }
    // The question and what follows a Yes: the box with the restored file and the kept one.
    void expectRestore(const QString& chosen, DialogService::Answer answer)
    {
        dialogs->expectQuestion({}, answer);
        if (answer == DialogService::Answer::Yes)
            dialogs->expect(ShownBox::Kind::Information, QStringLiteral("復元完了"),
                            QStringLiteral("復元しました\nﾌｧｲﾙ名:") +
                                QDir::toNativeSeparators(backup(chosen)) +
                                QStringLiteral("\n\n復元前のデータは次のファイルに保存しました\nﾌｧｲﾙ名:") +
                                QDir::toNativeSeparators(backupPathAtNow()));
    }
    int rowOf(const QString& name)
    {
        for (int r = 1; r < grid()->rows(); ++r) {
            clickRow(r);
            if (ttl(1)->text().startsWith(QStringLiteral("ﾌｧｲﾙ名:") + name))
                return r;
        }
        ADD_FAILURE() << name.toStdString() << " not listed";
        return 1;
    }
};

TEST_F(RestoreTest, ListShowsEveryFileNewestFirstWithWhatItHoldsAndChangesNothing)
{
    // A file cut short by a full disk, a foreign database and a stray text file lie beside them.
    const QString cut = QStringLiteral("Back20261205000000Db_販売顧客.mdb");
    ASSERT_TRUE(QFile::copy(backup(kB3), backup(cut)));
    ASSERT_TRUE(QFile::resize(backup(cut), QFileInfo(backup(cut)).size() / 2));
    SQLite::Database(backup(QStringLiteral("他のデータ.mdb")).toStdString(),
                     SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE)
        .exec("create table x (y)");
    seedBackups({QStringLiteral("メモ.txt")});
    struct Seen
    {
        QByteArray bytes;
        QDateTime modified;
    };
    std::map<QString, Seen> before;
    for (const QString& name : namesIn(backups()))
        before[name] = {FileBytes(backup(name)), QFileInfo(backup(name)).lastModified()};

    const QString cutShort = QStringLiteral(
        "復元できません：ファイルが途中で切れています（書き込みが終わっていないか、壊れています）。");
    // Western dates, then the era form: the dates of the list and of the sales follow Nengou.
    for (const char* nengou : {"", "和暦"}) {
        SCOPED_TRACE(nengou);
        G().Nengou = QString::fromUtf8(nengou);
        open();
        const QStringList rows = shownRows();
        const QString e = *nengou ? QStringLiteral("R.08") : QStringLiteral("2026");
        EXPECT_EQ(
            rows,
            (QStringList{
                e + QStringLiteral("/12/05 00:00:00|運用データ||||") + cutShort + QStringLiteral("|KB"),
                e + QStringLiteral("/12/01 10:00:00|運用データ|15|20|") + e + QStringLiteral("/11/30||KB"),
                e + QStringLiteral("/11/20 09:30:00|運用データ|10|12|") + e + QStringLiteral("/11/19||KB"),
                e + QStringLiteral("/11/01 09:00:00|運用データ|5|7|") + e + QStringLiteral("/10/31||KB"),
                // Files without a time in their name come last, by name.
                QStringLiteral("メモ.txt|||||復元できません：データベースのファイルではありません。|KB"),
                QStringLiteral("他のデータ.mdb|||||復元できません：このプログラムのデータベースでは"
                               "ありません（表「Tb_メーカー」がありません）。|KB")}));
        // A file that cannot be restored cannot be chosen.
        clickRow(1);
        EXPECT_FALSE(cmd(0)->isEnabled());
        EXPECT_TRUE(ttl(1)->text().endsWith(cutShort));
        clickRow(3);
        EXPECT_TRUE(cmd(0)->isEnabled());
        EXPECT_EQ(ttl(1)->text(), QStringLiteral("ﾌｧｲﾙ名:") + kB2 +
                                      QStringLiteral("\n顧客 10 件　売上 12 件　最終売上日 ") + e +
                                      QStringLiteral("/11/19"));
        CloseAllScreens();
    }
    for (const auto& [name, seen] : before) {
        EXPECT_EQ(FileBytes(backup(name)), seen.bytes) << name.toStdString();
        EXPECT_EQ(QFileInfo(backup(name)).lastModified(), seen.modified) << name.toStdString();
    }
    EXPECT_EQ(namesIn(backups()).size(), before.size());
}

TEST_F(RestoreTest, LongListShowsAtOnceAndIsCountedRowByRow)
{
    for (int day = 2; day <= 12; ++day)
        ASSERT_TRUE(QFile::copy(
            backup(kB1),
            backup(QStringLiteral("Back202610%1090000Db_販売顧客.mdb").arg(day, 2, 10, QLatin1Char('0')))));
    open();
    ASSERT_EQ(grid()->rows(), 15);
    // The chosen row is counted as soon as it is chosen, before its turn comes.
    for (int row : {1, 14}) {
        clickRow(row);
        EXPECT_EQ(grid()->textMatrix(row, 4), row == 1 ? QStringLiteral("15") : QStringLiteral("5"));
    }
    EXPECT_TRUE(ttl(1)->text().endsWith(QString::fromUtf8("顧客 5 件　売上 7 件　最終売上日 2026/10/31")));
    waitForCounts();
}

TEST_F(RestoreTest, RestoreBringsBackTheChosenFileAndKeepsTheReplacedOne)
{
    using A = DialogService::Answer;
    struct Case
    {
        const char* name;
        QString chosen;
        A answer;
        qint64 customers; // of the chosen backup
        qint64 sales;
        QStringList left; // the backup folder afterwards
    };
    const QString now = QFileInfo(backupPathAtNow()).fileName();
    const Case cases[] = {
        // Three backups kept: the oldest goes as after any run.
        {"the middle one", kB2, A::Yes, 10, 12, {kB2, kB3, now}},
        // The pruning never takes the backup being restored, even the oldest.
        {"the oldest one", kB1, A::Yes, 5, 7, {kB1, kB2, kB3, now}},
        {"answered No", kB2, A::No, 10, 12, {kB1, kB2, kB3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray chosenBytes = FileBytes(backup(c.chosen));
        const QByteArray inUse = FileBytes(dbPath());
        open();
        clickRow(rowOf(c.chosen));
        std::vector<QString> statuses;
        waits->waits.clear();
        waits->during = [&] {
            statuses.push_back(message());
            EXPECT_FALSE(cmd(0)->isEnabled());
            EXPECT_FALSE(cmd(99)->isEnabled());
        };
        expectRestore(c.chosen, c.answer);
        const size_t first = dialogs->shown().size();
        ASSERT_TRUE(cmd(0)->isEnabled());
        Click(cmd(0));
        ASSERT_GT(dialogs->shown().size(), first);
        const QString question = dialogs->shown()[first].text;
        EXPECT_TRUE(
            question.contains(QString::fromUtf8("使用中のデータ　Db_販売顧客.mdb\n　顧客 20 件　売上 30 件")))
            << question.toStdString();
        EXPECT_TRUE(question.contains(
            QStringLiteral("復元するデータ　") +
            DateWithWeekday(
                QDateTime::fromString(c.chosen.mid(4, 14), QStringLiteral("yyyyMMddHHmmss")).date())))
            << question.toStdString();
        EXPECT_TRUE(question.contains(QStringLiteral("顧客 %1 件　売上 %2 件").arg(c.customers).arg(c.sales)))
            << question.toStdString();
        EXPECT_EQ(FileBytes(backup(c.chosen)), chosenBytes);
        EXPECT_EQ(namesIn(backups()), c.left);
        if (c.answer == A::No) {
            EXPECT_TRUE(statuses.empty());
            EXPECT_EQ(FileBytes(dbPath()), inUse);
            continue;
        }
        // The file about to be replaced is kept as it is: compacting it first would cost a pass.
        EXPECT_EQ(statuses, (std::vector<QString>{
                                QStringLiteral("復元前の確認"), QStringLiteral("バックアップ前準備"),
                                QStringLiteral("データベースバックアップ"), QStringLiteral("データ復元")}));
        EXPECT_EQ(message(), QStringLiteral("　復元完了"));
        // The same pages; the engine keeps its own counters in the header.
        EXPECT_EQ(FileBytes(dbPath()).mid(100), chosenBytes.mid(100));
        expectDatabaseIntact(c.customers, c.sales);
        // The replaced file is the newest backup, listed first, and can itself be restored.
        EXPECT_EQ(customersIn(backupPathAtNow()), 20);
        EXPECT_TRUE(ttl(1)->text().startsWith(QStringLiteral("ﾌｧｲﾙ名:") + now));
        EXPECT_TRUE(cmd(0)->isEnabled());
        // Put the shop back as it was for the next case.
        CloseAllScreens();
        ASSERT_TRUE(QFile::remove(dbPath()));
        ASSERT_TRUE(QFile::rename(backupPathAtNow(), dbPath()));
        for (const QString& name : {kB1, kB2, kB3}) {
            if (!QFileInfo::exists(backup(name)))
                makeBackup(name, 5, 7, QStringLiteral("20261031"));
        }
    }
}

// Refuses every name given in the backup folder, as a folder without the right to write would.
class RefusingBackupFolder : public BackupFiles
{
  public:
    explicit RefusingBackupFolder(QString folder) : m_folder(std::move(folder)) {}
    int rename(const QString& from, const QString& to) override
    {
        return to.startsWith(m_folder + QLatin1Char('/')) ? EACCES : BackupFiles::rename(from, to);
    }

  private:
    QString m_folder;
};

TEST_F(RestoreTest, FailureAtAnyStepKeepsTheDatabaseInUseAndEveryBackup)
{
    std::unique_ptr<SQLite::Database> holder;
    struct Case
    {
        const char* name;
        std::function<void()> inject;
        const char* step;
        QString file;
        const char* cause;
    };
    const Case cases[] = {
        {"chosen file deleted after the list", [this] { QFile::remove(backup(kB2)); }, "復元前の確認",
         backup(kB2), "見つかりません"},
        {"chosen file changed after the list",
         [this] {
             QFile file(backup(kB2));
             ASSERT_TRUE(file.open(QIODevice::Append));
             file.write(QByteArray(4096, '\0'));
         },
         "復元前の確認", backup(kB2), "一覧を表示した後に変わりました"},
        {"database held by another program",
         [&] {
             holder = std::make_unique<SQLite::Database>(dbPath().toStdString(), SQLite::OPEN_READWRITE);
             holder->exec("BEGIN EXCLUSIVE");
         },
         "復元前の確認", dbPath(), "他のプログラムがデータベースを使用中です"},
        // Another program that has begun to write, without holding off readers.
        {"database being written by another program",
         [&] {
             holder = std::make_unique<SQLite::Database>(dbPath().toStdString(), SQLite::OPEN_READWRITE);
             holder->exec("BEGIN IMMEDIATE");
             holder->exec("insert into Tb_顧客 (Fi_キー, Fi_名前) values (99, 'other')");
         },
         "復元前の確認", dbPath(), "他のプログラムがデータベースを使用中です"},
        {"replaced data cannot be kept",
         [this] { BackupFiles::install(std::make_unique<RefusingBackupFolder>(backups())); },
         "データベースバックアップ", backupPathAtNow(), "権限がありません"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList before = namesIn(backups());
        open();
        clickRow(rowOf(kB2));
        c.inject();
        dialogs->expectQuestion({}, DialogService::Answer::Yes);
        dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm630_Qel"), {});
        Click(cmd(0));
        holder.reset();
        BackupFiles::install(nullptr);
        ASSERT_EQ(boxes->failures.size(), 1u);
        const QString text = boxes->failures.front().message;
        boxes->failures.clear();
        EXPECT_TRUE(text.startsWith(QStringLiteral("復元を中止しました（%1）。データベースは元のままです。")
                                        .arg(QString::fromUtf8(c.step))))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(c.file))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.cause))) << text.toStdString();
        EXPECT_EQ(message(), QStringLiteral("復元を中止しました"));
        expectDatabaseIntact(20, 30);
        // Every backup is still there; a failed restore only ever adds the one of the file in use.
        for (const QString& name : before) {
            if (name != kB2) {
                EXPECT_TRUE(QFileInfo::exists(backup(name))) << name.toStdString();
            }
        }
        for (const QString& name : namesIn(backups()))
            EXPECT_TRUE(before.contains(name) || name == QFileInfo(backupPathAtNow()).fileName())
                << name.toStdString();
        CloseAllScreens();
        QFile::remove(backupPathAtNow());
        QFile::remove(backup(kB2));
        makeBackup(kB2, 10, 12, QStringLiteral("20261119"));
    }
}

TEST_F(RestoreTest, DamagedDatabaseInUseIsKeptAsItIsAndReplaced)
{
    QFile damaged(dbPath());
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    damaged.seek(0);
    damaged.write(QByteArray(512, 'x'));
    damaged.close();
    const QByteArray garbage = FileBytes(dbPath());
    open();
    clickRow(rowOf(kB3));
    expectRestore(kB3, DialogService::Answer::Yes);
    Click(cmd(0));
    EXPECT_TRUE(dialogs->shown().front().text.contains(
        QStringLiteral("使用中のデータ　Db_販売顧客.mdb\n　開けません：")));
    expectDatabaseIntact(15, 20);
    EXPECT_EQ(FileBytes(backupPathAtNow()), garbage);
}

// Records the texts that the status line shows each time it is painted.
class PaintedTexts : public QObject
{
  public:
    explicit PaintedTexts(QLabel* label) : m_label(label) { label->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_label && event->type() == QEvent::Paint &&
            (texts.isEmpty() || texts.back() != m_label->text()))
            texts << m_label->text();
        return false;
    }
    QStringList texts;

  private:
    QLabel* m_label;
};

TEST_F(RestoreTest, DamagedLedgerIsNamedInTheQuestionKeptAsItIsAndReplaced)
{
    // Damage inside the file, where the counts are still read: a page of it overwritten.
    execute(QStringLiteral("vacuum"));
    {
        QFile file(dbPath());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        QByteArray noise(200, '\0');
        QRandomGenerator random(30);
        for (char& c : noise)
            c = static_cast<char>(random.bounded(256));
        file.seek(file.size() - 4096);
        file.write(noise);
    }
    ASSERT_FALSE(DamageIn(dbPath()).isEmpty());
    const QByteArray damaged = FileBytes(dbPath());
    open();
    clickRow(rowOf(kB3));
    expectRestore(kB3, DialogService::Answer::Yes);
    Click(cmd(0));
    const QString question = dialogs->shown().front().text;
    EXPECT_TRUE(question.contains(QStringLiteral("このファイルは壊れています"))) << question.toStdString();
    EXPECT_EQ(message(), QStringLiteral("　復元完了"));
    expectDatabaseIntact(15, 20);
    EXPECT_EQ(FileBytes(backupPathAtNow()), damaged);
}

TEST_F(RestoreTest, CutOffTransactionIsRolledBackBeforeTheQuestionAndTheCopy)
{
    ASSERT_TRUE(LeaveCutOffTransaction(dbPath()));
    open();
    clickRow(rowOf(kB2));
    expectRestore(kB2, DialogService::Answer::Yes);
    Click(cmd(0));
    const QString question = dialogs->shown().front().text;
    EXPECT_TRUE(
        question.contains(QStringLiteral("使用中のデータ　Db_販売顧客.mdb\n　顧客 20 件　売上 30 件")))
        << question.toStdString();
    EXPECT_FALSE(question.contains(QStringLiteral("読み取り専用"))) << question.toStdString();
    expectDatabaseIntact(10, 12);
    // The replaced data kept is the committed data, whole.
    EXPECT_TRUE(DamageIn(backupPathAtNow()).isEmpty());
    EXPECT_EQ(InspectDatabase(backupPathAtNow(), true).sales, 30);
    EXPECT_EQ(customersIn(backupPathAtNow()), 20);
    EXPECT_FALSE(QFileInfo::exists(dbPath() + QStringLiteral("-journal")));
}

TEST_F(RestoreTest, AnotherProgramsWriteLandsInTheDatabaseInUseOrWaits)
{
    // Another program with the database open before the restore, writing during it and after it.
    SQLite::Database other(dbPath().toStdString(), SQLite::OPEN_READWRITE);
    const QByteArray chosenBytes = FileBytes(backup(kB2));
    open();
    clickRow(rowOf(kB2));
    int refused = 0;
    waits->during = [&] {
        if (message() != QStringLiteral("データベースバックアップ") &&
            message() != QStringLiteral("データ復元"))
            return;
        try {
            other.exec("insert into Tb_顧客 (Fi_キー, Fi_名前) values (900, 'during')");
        } catch (const SQLite::Exception&) {
            ++refused;
        }
    };
    expectRestore(kB2, DialogService::Answer::Yes);
    Click(cmd(0));
    EXPECT_EQ(refused, 2);
    other.exec("insert into Tb_顧客 (Fi_キー, Fi_名前) values (901, 'after')");
    expectDatabaseIntact(11, 12);
    EXPECT_EQ(column(QStringLiteral("Tb_顧客"), QStringLiteral("Fi_名前"), QStringLiteral("Fi_キー > 20")),
              QStringLiteral("after"));
    // The kept file is the database as it was, and stays so.
    EXPECT_EQ(customersIn(backupPathAtNow()), 20);
    EXPECT_EQ(FileBytes(backup(kB2)), chosenBytes);
}

TEST_F(RestoreTest, ChosenFileReplacedBehindTheListIsNeverRestored)
{
    // Another backup of ours with the same size and time as the chosen one, a customer renamed.
    const QString twin = backups() + QStringLiteral("/../twin.mdb");
    const auto swap = [&] {
        ASSERT_TRUE(QFile::copy(backup(kB2), twin));
        Database(twin).execute(QStringLiteral("update Tb_顧客 set Fi_名前 = '偽者1' where Fi_キー = 1"));
        ASSERT_EQ(QFileInfo(twin).size(), QFileInfo(backup(kB2)).size());
        struct stat info = {};
        ASSERT_EQ(::stat(QFile::encodeName(backup(kB2)).constData(), &info), 0);
        ASSERT_TRUE(QFile::remove(backup(kB2)));
        ASSERT_TRUE(QFile::rename(twin, backup(kB2)));
        const struct timespec times[2] = {info.st_atim, info.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(backup(kB2)).constData(), times, 0), 0);
    };
    const QString name =
        column(QStringLiteral("Tb_顧客"), QStringLiteral("Fi_名前"), QStringLiteral("Fi_キー = 1"));

    // Swapped between the list and the press: refused, nothing changes.
    open();
    clickRow(rowOf(kB2));
    swap();
    dialogs->expectQuestion({}, DialogService::Answer::Yes);
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm630_Qel"), {});
    Click(cmd(0));
    ASSERT_EQ(boxes->failures.size(), 1u);
    EXPECT_TRUE(boxes->failures.front().message.contains(QStringLiteral("一覧を表示した後に変わりました")))
        << boxes->failures.front().message.toStdString();
    expectDatabaseIntact(20, 30);
    EXPECT_EQ(namesIn(backups()), (QStringList{kB1, kB2, kB3}));
    CloseAllScreens();

    // Swapped while the replaced data is kept: what is restored is the file the list read.
    ASSERT_TRUE(QFile::remove(backup(kB2)));
    makeBackup(kB2, 10, 12, QStringLiteral("20261119"));
    open();
    clickRow(rowOf(kB2));
    waits->during = [&] {
        if (message() == QStringLiteral("データベースバックアップ"))
            swap();
    };
    expectRestore(kB2, DialogService::Answer::Yes);
    Click(cmd(0));
    expectDatabaseIntact(10, 12);
    EXPECT_EQ(column(QStringLiteral("Tb_顧客"), QStringLiteral("Fi_名前"), QStringLiteral("Fi_キー = 1")),
              name);
}

TEST_F(RestoreTest, BackupsOfTheOtherDatabaseAreListedButNeverRestoredOverThisOne)
{
    // The sample's backups are newer than the shop's.
    const QString sample = QStringLiteral("Back20261205120000サンプルデータ.mdb");
    makeBackup(sample, 18, 25, QStringLiteral("20261204"));
    const QByteArray inUse = FileBytes(dbPath());
    const QStringList before = namesIn(backups());
    open();
    waitForCounts();
    EXPECT_EQ(grid()->textMatrix(1, 2), QStringLiteral("サンプルデータ"));
    EXPECT_EQ(grid()->textMatrix(1, 7), QStringLiteral("復元できません"));
    EXPECT_EQ(grid()->textMatrix(2, 2), QStringLiteral("運用データ"));
    // The newest backup of the database in use is the one offered.
    EXPECT_EQ(grid()->row(), 2);
    EXPECT_TRUE(ttl(1)->text().startsWith(QStringLiteral("ﾌｧｲﾙ名:") + kB3));

    clickRow(1);
    EXPECT_TRUE(ttl(1)->text().contains(QStringLiteral("サンプルデータのバックアップです")))
        << ttl(1)->text().toStdString();
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("データ復元"),
                    QStringLiteral("このバックアップはサンプルデータ（サンプルデータ.mdb）のものです。"
                                   "使用中のデータ（Db_販売顧客.mdb）には復元できません。\n"
                                   "使用中のデータのバックアップを選んでください。"));
    ASSERT_TRUE(cmd(0)->isEnabled());
    Click(cmd(0));
    EXPECT_TRUE(dialogs->allAnswered());
    EXPECT_EQ(FileBytes(dbPath()), inUse);
    EXPECT_EQ(namesIn(backups()), before);
}

TEST_F(RestoreTest, LongRestoreShowsTheProgressOfEachStepAndPaints)
{
    {
        Database db(backup(kB3));
        db.execute(QStringLiteral("begin"));
        for (int key = 1000; key < 2500; ++key)
            db.execute(QStringLiteral("insert into Tb_顧客 (Fi_キー, Fi_名前, Fi_備考) values (?, 'x', ?)"),
                       {key, QString(3000, QLatin1Char('z'))});
        db.execute(QStringLiteral("commit"));
    }
    open();
    clickRow(rowOf(kB3));
    PaintedTexts painted(ttl(11));
    expectRestore(kB3, DialogService::Answer::Yes);
    Click(cmd(0));
    expectDatabaseIntact(1515, 20);
    for (const char* step : {"復元前の確認", "データ復元"}) {
        const QStringList shown = painted.texts.filter(QString::fromUtf8(step) + QStringLiteral("　"));
        EXPECT_GE(shown.size(), 3) << step << ": " << painted.texts.join(QLatin1Char(',')).toStdString();
        for (const QString& text : shown)
            EXPECT_TRUE(text.endsWith(QLatin1Char('%'))) << text.toStdString();
    }
    EXPECT_TRUE(painted.texts.contains(QStringLiteral("データ復元　100%")));
}

} // namespace
