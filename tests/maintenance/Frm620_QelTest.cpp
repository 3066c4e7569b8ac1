#include "MaintenanceTest.h"

#include "core/Clock.h"
#include "core/Globals.h"
#include "db/Database.h"
#include "ui/Navigator.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <functional>
#include <memory>

#include <SQLiteCpp/Database.h>

namespace {

const QString kDeleted = QStringLiteral("該当の売上データを削除しました");

class BulkDeleteTest : public MaintenanceTest
{
  protected:
    void open() { ASSERT_NE(openFromMenu(QStringLiteral("Frm620_Qel")), nullptr); }
    void backupFirst()
    {
        // A second later than any earlier run of the test, so that backup names never collide.
        setNow(Clock::current().now().addSecs(++m_runs));
        expectBackupBox();
        Click(cmd(0));
        ASSERT_TRUE(cmd(7)->isEnabled());
    }
    // Presses the buttons named by their indices, in order.
    void press(const QString& indices)
    {
        for (QChar c : indices)
            Click(cmd(c.digitValue()));
    }
    QString period() const { return dat(10)->text() + QStringLiteral("～") + dat(11)->text(); }
    void expectQuestion(qint64 count, DialogService::Answer answer)
    {
        dialogs->expect(ShownBox::Kind::Question, QStringLiteral("削除確認"),
                        QStringLiteral("該当する削除データは %1 件です\n削除しますか").arg(count), answer);
    }
    int m_runs = 0;
    QString months() const { return column(QStringLiteral("Tb_売上"), QStringLiteral("Fi_購入年月")); }
    void setSales(const QStringList& months)
    {
        execute(QStringLiteral("delete from Tb_売上"));
        for (int i = 0; i < months.size(); ++i)
            execute(QStringLiteral("insert into Tb_売上 (Fi_キー, Fi_購入年月) values (?, ?)"),
                    {i + 1, months[i]});
    }
};

TEST_F(BulkDeleteTest, DefaultPeriodEndsAtTheLastClosingMonth)
{
    struct Case
    {
        QDate today;
        int kessan;
        const char* nengou;
        const char* shown;
    };
    const Case cases[] = {
        {QDate(2026, 12, 8), 3, "", "指定なし～2026年03月"},
        {QDate(2026, 3, 31), 3, "", "指定なし～2025年03月"},
        {QDate(2026, 2, 1), 3, "", "指定なし～2025年03月"},
        {QDate(2026, 12, 31), 12, "", "指定なし～2025年12月"},
        {QDate(2026, 1, 15), 12, "", "指定なし～2025年12月"},
        {QDate(2005, 5, 18), 3, "和暦", "指定なし～平成17年03月"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        setNow(QDateTime(c.today, QTime(10, 0)));
        G().Kessan = static_cast<std::int16_t>(c.kessan);
        G().Nengou = QString::fromUtf8(c.nengou);
        open();
        EXPECT_EQ(period(), QString::fromUtf8(c.shown));
        // Nothing can be deleted before a backup on this visit.
        EXPECT_FALSE(child<QGroupBox>(QStringLiteral("Frame2"))->isEnabled());
        EXPECT_FALSE(cmd(7)->isEnabled());
        EXPECT_TRUE(cmd(0)->isEnabled());
        CloseAllScreens();
    }
}

TEST_F(BulkDeleteTest, BackupFirstThenTheDeletionState)
{
    open();
    backupFirst();
    EXPECT_EQ(waits->waits, (std::vector<int>{500, 500, 500}));
    EXPECT_EQ(message(), QString());
    EXPECT_TRUE(child<QGroupBox>(QStringLiteral("Frame2"))->isEnabled());
    for (int i = 1; i <= 7; ++i)
        EXPECT_TRUE(cmd(i)->isEnabled()) << i;
    EXPECT_FALSE(cmd(0)->isEnabled());
    EXPECT_FALSE(child<QGroupBox>(QStringLiteral("Frame1"))->isEnabled());
    EXPECT_EQ(focused(), cmd(1));
    EXPECT_TRUE(QFileInfo::exists(backupPathAtNow()));
    expectDatabaseIntact(20, 30);
}

TEST_F(BulkDeleteTest, StepButtonsMoveThePeriod)
{
    struct Case
    {
        QDate today;
        const char* presses;
        const char* shown;
    };
    // Default at 2026-12: 指定なし～2026年03月. 1/6: open start/end; 2,3: start <,>; 4,5: end <,>.
    const Case cases[] = {
        {QDate(2026, 12, 8), "", "指定なし～2026年03月"},
        {QDate(2026, 12, 8), "16", "指定なし～指定なし"},
        {QDate(2026, 12, 8), "163", "2027年01月～指定なし"},
        {QDate(2026, 12, 8), "162", "2026年11月～指定なし"},
        {QDate(2026, 12, 8), "3", "2026年04月～2026年03月"},
        {QDate(2026, 12, 8), "2", "2026年02月～2026年03月"},
        {QDate(2026, 12, 8), "15", "指定なし～2026年04月"},
        {QDate(2026, 12, 8), "23332", "2026年04月～2026年03月"},
        {QDate(2005, 1, 10), "1624", "2004年12月～2004年11月"},
        {QDate(2026, 12, 8), "165", "指定なし～2027年01月"},
        {QDate(2026, 1, 8), "162", "2025年12月～指定なし"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.presses);
        setNow(QDateTime(c.today, QTime(10, 0)));
        open();
        backupFirst();
        press(QString::fromLatin1(c.presses));
        EXPECT_EQ(period(), QString::fromUtf8(c.shown));
        CloseAllScreens();
    }
}

TEST_F(BulkDeleteTest, StartAfterEndIsRefused)
{
    open();
    backupFirst();
    press(QStringLiteral("33"));
    Click(cmd(7));
    EXPECT_EQ(message(), QStringLiteral("期間の指定に誤りがあります"));
    EXPECT_EQ(focused(), cmd(1));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_売上")), 30);
}

TEST_F(BulkDeleteTest, ConfirmedDeletionRemovesExactlyThePeriod)
{
    using A = DialogService::Answer;
    struct Case
    {
        const char* name;
        const char* presses;
        qint64 count;
        A answer;
        const char* left; // nullptr: every row is left
    };
    const QStringList sales = {"202411", "202412", "202501", "202603", "202603", "202604", "202612"};
    // Default at 2026-12: up to 2026-03. "123" steps the start to 2026-02 and back to 2026-03.
    const Case cases[] = {
        {"default period", "", 5, A::Yes, "202604,202612"},
        {"both ends open", "6", 7, A::Yes, ""},
        {"one month exactly", "123", 2, A::Yes, "202411,202412,202501,202604,202612"},
        {"a month without sales", "24", 0, A::Yes, nullptr},
        {"answered No", "", 5, A::No, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setSales(sales);
        open();
        backupFirst();
        press(QString::fromLatin1(c.presses));
        const QString before = period();
        if (c.count == 0) {
            dialogs->expect(ShownBox::Kind::Information, QStringLiteral("該当削除データなし"),
                            QStringLiteral("該当する削除データは 0 件でした"));
        } else {
            expectQuestion(c.count, c.answer);
            if (c.answer == A::Yes)
                dialogs->expect(ShownBox::Kind::Information, QStringLiteral("削除確認"), kDeleted);
        }
        Click(cmd(7));
        EXPECT_EQ(months(), c.left ? QString::fromLatin1(c.left) : sales.join(QLatin1Char(',')));
        // The screen stays as it was, ready for another period.
        EXPECT_EQ(period(), before);
        EXPECT_TRUE(cmd(7)->isEnabled());
        CloseAllScreens();
    }
}

TEST_F(BulkDeleteTest, FailureMidwayDeletesNothing)
{
    // The engine refuses one row in the middle of the period.
    execute(QStringLiteral("create trigger refuse before delete on Tb_売上 when old.Fi_キー = 15 "
                           "begin select raise(abort, 'row 15 is locked'); end"));
    open();
    backupFirst();
    press(QStringLiteral("6"));
    expectQuestion(30, DialogService::Answer::Yes);
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm620_Qel"), {});
    Click(cmd(7));
    EXPECT_TRUE(dialogs->shown().back().text.contains(QStringLiteral("削除したデータはありません")));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_売上")), 30);
}

// Lets a test change the database while the question is up, as another program could.
class MeddlingDialogs : public FailureBoxes
{
  public:
    std::function<void()> onQuestion;
    Answer question(const QString& title, const QString& text) override
    {
        if (onQuestion) {
            auto once = std::move(onQuestion);
            onQuestion = nullptr;
            once();
        }
        return FailureBoxes::question(title, text);
    }
};

TEST_F(BulkDeleteTest, ChangedCountIsAskedAgain)
{
    auto meddling = std::make_unique<MeddlingDialogs>();
    MeddlingDialogs* meddler = meddling.get();
    useBoxes(std::move(meddling));
    setSales({"202501", "202502", "202601"});
    open();
    backupFirst();
    meddler->onQuestion = [this] {
        execute(QStringLiteral("insert into Tb_売上 (Fi_キー, Fi_購入年月) values (9, '202503')"));
    };
    expectQuestion(3, DialogService::Answer::Yes);
    expectQuestion(4, DialogService::Answer::Yes);
    dialogs->expect(ShownBox::Kind::Information, QStringLiteral("削除確認"), kDeleted);
    Click(cmd(7));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_売上")), 0);
}

TEST_F(BulkDeleteTest, CloseBoxEndsTheApplicationAndCloseReturnsToTheMenu)
{
    open();
    EXPECT_TRUE(screen()->close());
    EXPECT_EQ(visibleScreen(QStringLiteral("Frm620_Qel")), nullptr);
    EXPECT_EQ(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);

    Screens().open(QStringLiteral("Frm010_Qel"));
    ASSERT_TRUE(follow(QStringLiteral("Frm010_Qel")));
    Click(cmd(8));
    ASSERT_TRUE(follow(QStringLiteral("Frm620_Qel")));
    backupFirst();
    press(QStringLiteral("16"));
    Click(cmd(8));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm620_Qel"));
    // A new visit starts over: the default period and no deletion before a backup.
    open();
    EXPECT_EQ(period(), QStringLiteral("指定なし～2026年03月"));
    EXPECT_FALSE(cmd(7)->isEnabled());
}

TEST_F(BulkDeleteTest, DatabaseLockedAfterTheQuestionSaysSoInJapaneseAndDeletesNothing)
{
    auto meddling = std::make_unique<MeddlingDialogs>();
    MeddlingDialogs* meddler = meddling.get();
    useBoxes(std::move(meddling));
    open();
    backupFirst();
    std::unique_ptr<SQLite::Database> other;
    meddler->onQuestion = [&] {
        other = std::make_unique<SQLite::Database>(dbPath().toStdString(), SQLite::OPEN_READWRITE);
        other->exec("BEGIN EXCLUSIVE");
    };
    press(QStringLiteral("6"));
    expectQuestion(30, DialogService::Answer::Yes);
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm620_Qel"), {});
    Click(cmd(7));
    other.reset();
    ASSERT_EQ(boxes->failures.size(), 1u);
    const FailureBoxes::Failure& shown = boxes->failures.front();
    EXPECT_TRUE(shown.message.startsWith(
        QStringLiteral("売上データを削除できませんでした。削除したデータはありません。\n"
                       "他のプログラムがデータベースを使用中です。")))
        << shown.message.toStdString();
    EXPECT_EQ(shown.detail, QStringLiteral("database is locked"));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_売上")), 30);
}

} // namespace
