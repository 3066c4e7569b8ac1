// The earlier ledger as a switching shop meets it: the question at start-up, the button of data
// maintenance, and the screens, the restore's list and the backup on a Jet file.
#include "LedgerFixture.h"

#include "core/Globals.h"
#include "db/Backup.h"
#include "db/Database.h"
#include "exchange/JetLedger.h"
#include "maintenance/BackupRun.h"
#include "maintenance/RestoreRun.h"
#include "ui/Frm010_Qel.h"
#include "ui/Mdl_Main.h"

#include "support/ScreenTest.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

const QString kTitle = QStringLiteral("旧データの変換");

class ConversionScreenTest : public ScreenTest
{
  protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        useBackupFolder();
        QFile::remove(InstanceLockPath(appPath()));
    }
    void TearDown() override
    {
        QFile::remove(InstanceLockPath(appPath()));
        ScreenTest::TearDown();
    }
    static bool menuShown()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<Frm010_Qel*>(w) && w->isVisible())
                return true;
        }
        return false;
    }

    QTemporaryDir m_outside;
};

TEST_F(ConversionScreenTest, StartUpAsksBeforeAnythingElse)
{
    struct Case
    {
        const char* name;
        QString file; // the database the start uses
        bool ledger;
        DialogService::Answer answer;
    };
    const Case cases[] = {
        {"yes converts", kOperationalDbFile, true, DialogService::Answer::Yes},
        {"the sample while it exists", kSampleDbFile, true, DialogService::Answer::Yes},
        {"no ends with nothing changed", kOperationalDbFile, true, DialogService::Answer::No},
        {"not a ledger is refused", kOperationalDbFile, false, DialogService::Answer::Yes},
    };
    const LedgerData data = SampleLedger(300, 1500);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(backups()).removeRecursively();
        QFile::remove(AppFile(kSampleDbFile));
        const QString path = AppFile(c.file);
        QFile::remove(path);
        LedgerData written = data;
        if (!c.ledger)
            written.rows.erase(LedgerTables().at(3));
        written.write(path);
        const QByteArray jet = FileBytes(path);
        const qsizetype shown = static_cast<qsizetype>(dialogs->shown().size());
        if (c.ledger) {
            dialogs->expect(ShownBox::Kind::Question, kTitle, {}, c.answer);
            if (c.answer == DialogService::Answer::Yes)
                dialogs->expect(ShownBox::Kind::Information, kTitle, {});
        } else {
            dialogs->expect(ShownBox::Kind::Failure, kTitle, {});
        }
        auto lock = Main(appPath());
        const bool converted = c.ledger && c.answer == DialogService::Answer::Yes;
        EXPECT_EQ(lock != nullptr, converted);
        EXPECT_EQ(menuShown(), converted);
        ASSERT_TRUE(dialogs->allAnswered());
        const QString first = dialogs->shown().at(shown).text;
        if (!c.ledger) {
            EXPECT_TRUE(first.contains(QStringLiteral("表「Tb_商品」がありません"))) << first.toStdString();
        } else {
            for (const QString& said :
                 {c.file, QStringLiteral("変換"), QStringLiteral("顧客\u00A0300\u00A0件"),
                  QStringLiteral("売上\u00A01,500\u00A0件")})
                EXPECT_TRUE(first.contains(said)) << first.toStdString();
        }
        if (converted) {
            const QString report = dialogs->shown().back().text;
            EXPECT_TRUE(report.contains(QStringLiteral("売上　1,500 件"))) << report.toStdString();
            EXPECT_EQ(G().DbFileName, c.file);
            EXPECT_EQ(InspectDatabase(path, true).customers, 300);
            const QString kept = backups() + QStringLiteral("/旧形式_") +
                                 QFileInfo(c.file).completeBaseName() + QStringLiteral("_20261208143005.mdb");
            EXPECT_EQ(FileBytes(kept), jet);
            EXPECT_TRUE(report.contains(QFileInfo(kept).fileName()));
        } else {
            EXPECT_EQ(FileBytes(path), jet);
            EXPECT_TRUE(QDir(backups()).entryList(QDir::Files).isEmpty());
        }
        CloseAllScreens();
        lock.reset();
    }
}

TEST_F(ConversionScreenTest, DataMaintenanceButtonConvertsAChosenLedger)
{
    const QString jet = m_outside.filePath(QStringLiteral("顧客台帳.mdb"));
    SampleLedger(300, 1500).write(jet);
    QStringList pauses;
    waits->during = [&] { pauses << message(); };
    ASSERT_NE(openFromMenu(QStringLiteral("Frm610_Qel")), nullptr);

    // Declined: nothing changes.
    const QByteArray before = FileBytes(dbPath());
    dialogs->expectFile(ShownBox::Kind::OpenFile, QStringLiteral("旧データ取込"), jet);
    dialogs->expectQuestion({}, DialogService::Answer::No);
    Click(cmd(2));
    EXPECT_EQ(FileBytes(dbPath()), before);

    dialogs->expectFile(ShownBox::Kind::OpenFile, QStringLiteral("旧データ取込"), jet);
    dialogs->expectQuestion({}, DialogService::Answer::Yes);
    dialogs->expect(ShownBox::Kind::Information, kTitle, {});
    Click(cmd(2));
    ASSERT_TRUE(dialogs->allAnswered());
    const std::vector<ShownBox>& shown = dialogs->shown();
    const QString question = shown.at(shown.size() - 2).text;
    for (const QString& said :
         {QStringLiteral("変換"), QStringLiteral("Access\u00A097\u00A0形式"),
          QStringLiteral("顧客\u00A0300\u00A0件"), QStringLiteral("バックアップしてから置き換えます")})
        EXPECT_TRUE(question.contains(said)) << question.toStdString();
    EXPECT_EQ(pauses,
              QStringList({QStringLiteral("変換前の確認"), QStringLiteral("変換中"),
                           QStringLiteral("バックアップ前準備"), QStringLiteral("データベースバックアップ"),
                           QStringLiteral("旧データの保存"), QStringLiteral("変換データの書き込み")}));
    EXPECT_EQ(message(), QStringLiteral("　変換完了"));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_売上")), 1500);
    EXPECT_TRUE(cmd(2)->isEnabled());

    // A file that is not a ledger: the reason, and nothing changes.
    const QString other = m_outside.filePath(QStringLiteral("別の表.mdb"));
    LedgerData notLedger = SampleLedger(3, 3);
    notLedger.rows.erase(LedgerTables().at(0));
    notLedger.write(other);
    const QByteArray converted = FileBytes(dbPath());
    dialogs->expectFile(ShownBox::Kind::OpenFile, QStringLiteral("旧データ取込"), other);
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm610_Qel"), QString());
    Click(cmd(2));
    EXPECT_TRUE(dialogs->shown().back().text.contains(QStringLiteral("表「Tb_顧客」がありません")));
    EXPECT_EQ(FileBytes(dbPath()), converted);
}

TEST_F(ConversionScreenTest, AJetFileIsNeverCalledBroken)
{
    const QString sentence = QStringLiteral("以前の形式（Access）のデータベースで、壊れてはいません");
    SampleLedger(5, 5).write(dbPath());
    // A screen opened on it.
    dialogs->expect(ShownBox::Kind::Failure, {}, {});
    openFromMenu(QStringLiteral("Frm060_Qel"));
    ASSERT_FALSE(dialogs->shown().empty());
    EXPECT_TRUE(dialogs->shown().back().text.contains(sentence))
        << dialogs->shown().back().text.toStdString();
    EXPECT_FALSE(dialogs->shown().back().text.contains(QStringLiteral("壊れているか")));
    CloseAllScreens();
    // The backup of it, and the restore's list of a Jet file in the backup folder.
    try {
        RunBackup([](const QString&) {});
        ADD_FAILURE() << "backed up";
    } catch (const QelError& e) {
        EXPECT_TRUE(e.message().contains(sentence)) << e.message().toStdString();
    }
    ASSERT_TRUE(QFile::copy(dbPath(), backups() + QStringLiteral("/Back20261101000000Db_販売顧客.mdb")));
    const std::vector<BackupEntry> entries = ListBackups();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_FALSE(entries.front().restorable);
    EXPECT_TRUE(entries.front().reason.contains(sentence)) << entries.front().reason.toStdString();
}

} // namespace
