#include "ReportsFixture.h"

#include "core/Globals.h"
#include "db/Database.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

class ReportMenuTest : public ReportsFixture
{
  protected:
    QString period() const { return dat(0)->text() + "～" + dat(1)->text(); }
    QString arrows() const
    {
        QString s;
        for (int i : {2, 3, 4, 5})
            s += cmd(i)->isEnabled() ? '1' : '0';
        return s;
    }
};

TEST_F(ReportMenuTest, PeriodButtonsStepMonthsAcrossTheYear)
{
    struct Case
    {
        const char* ini;
        std::vector<int> clicks;
        const char* period;
        const char* arrows;
    };
    const Case cases[] = {
        {"", {}, "指定なし～指定なし", "0000"},
        {"", {0}, "2005年12月～2005年12月", "1111"},
        {"", {1}, "2006年01月～2006年01月", "1111"},
        {"", {0, 3}, "2006年01月～2005年12月", "1111"},
        {"", {1, 4, 4}, "2006年01月～2005年11月", "1111"},
        {"", {0, 5, 5, 2, 2}, "2005年10月～2006年02月", "1111"},
        {"", {0, 6}, "指定なし～指定なし", "0000"},
        {"Nengou=和暦\r\n", {0, 5}, "平成17年12月～平成18年01月", "1111"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.period << " " << c.clicks.size());
        writeIni(QStringLiteral("DataPath=Data\r\nMaker=ブランド\r\nSyouhin=商品\r\n") +
                 QString::fromUtf8(c.ini));
        openMenu();
        for (int i : c.clicks)
            Click(cmd(i));
        EXPECT_EQ(period(), QString::fromUtf8(c.period));
        EXPECT_EQ(arrows(), c.arrows);
        CloseAllScreens();
    }
}

TEST_F(ReportMenuTest, ChecksRefuseTheReportAndPointAtTheControlToCorrect)
{
    struct Case
    {
        const char* emptyTable;
        std::vector<int> clicks;
        int button;
        const char* message;
        const char* focus;
    };
    const Case cases[] = {
        {"", {0, 3}, 7, "期間の指定に誤りがあります", "Cmd_0"},
        {"", {1, 4}, 8, "期間の指定に誤りがあります", "Cmd_0"},
        {"Tb_メーカー", {}, 8, "ブランド名を設定してください", "Combo1"},
        {"Tb_顧客", {}, 9, "購入者を設定してください", "Text1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        if (*c.emptyTable)
            execute(QStringLiteral("delete from ") + QString::fromUtf8(c.emptyTable));
        openMenu();
        for (int i : c.clicks)
            Click(cmd(i));
        Click(cmd(c.button));
        EXPECT_EQ(message(), QString::fromUtf8(c.message));
        EXPECT_TRUE(
            PollUntil([&] { return focused() && focused()->objectName() == c.focus; }, 3000, c.focus));
        EXPECT_NE(visibleScreen(QStringLiteral("Frm510_Qel")), nullptr) << "no report opens";
        CloseAllScreens();
    }
}

TEST_F(ReportMenuTest, EnterMovesThroughThePurchaserSearchToItsButton)
{
    openMenu();
    EXPECT_EQ(screen()->windowTitle(), QStringLiteral("売上明細メニュー"));
    EXPECT_EQ(ttl(14)->text(), QStringLiteral("売上明細　メニュー"));
    EXPECT_EQ(child<QGroupBox>(QStringLiteral("Frame2"))->title(), QStringLiteral("ブランド名別売上明細"));
    EXPECT_EQ(combo()->count(), 4);
    EXPECT_EQ(combo()->currentText(), QStringLiteral("エルメ")) << "makers in reading order";
    auto* text = child<QLineEdit>(QStringLiteral("Text1"));
    chooseBuyer(QStringLiteral("ﾔ"));
    EXPECT_EQ(list()->currentItem()->text(), QStringLiteral("山田 太郎"));
    PressEnter(text);
    EXPECT_EQ(focused(), list());
    EXPECT_EQ(text->text(), QStringLiteral("ﾔ")) << "the Enter itself is discarded";
    PressEnter(list());
    EXPECT_EQ(focused(), cmd(9));
    combo()->setFocus();
    PressEnter(combo());
    EXPECT_EQ(focused(), cmd(8));

    Click(cmd(10));
    EXPECT_TRUE(follow(QStringLiteral("Frm010_Qel")));
}

// A file made before the report indexes gets them when the first report is asked for: the menu
// says so with the wait cursor while they are built and keeps painting, then the report opens
// over every sale.
TEST_F(ReportMenuTest, IndexesOfAnOlderFileAreBuiltWithANoticeBeforeTheReport)
{
    execute(QStringLiteral(
        "with recursive n(k) as (select 7 union all select k + 1 from n where k < 20006) "
        "insert into Tb_売上 (Fi_キー, Fi_購入年, Fi_購入年月, Fi_購入年月日, Fi_メーカー, Fi_商品, "
        "Fi_売価合計, "
        "Fi_購入者) select k, '2005', '200510', '20051001', 'ルイ', '鞄', 1000, '山田 太郎' from n"));
    for (const char* index : {"Ix_売上_購入年月日", "Ix_売上_メーカー", "Ix_売上_購入者"})
        execute(QStringLiteral("drop index ") + QString::fromUtf8(index));
    openMenu();

    // Looks at the menu whenever events are processed, as a repaint during the build does.
    QPointer<QLabel> status = ttl(11);
    QString notice;
    bool waitCursor = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (notice.isEmpty() && status && !status->text().isEmpty()) {
            notice = status->text();
            waitCursor =
                QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        }
    });
    watcher.start(0);
    ASSERT_TRUE(makeReport(7));
    watcher.stop();

    EXPECT_EQ(notice, QStringLiteral("集計用の索引を作成しています。しばらくお待ちください"));
    EXPECT_TRUE(waitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the cursor is restored";
    EXPECT_EQ(scroll()->maximum(), 20006);
    Database db(dbPath());
    Query q(db, QStringLiteral("select count(*) from sqlite_master where name in "
                               "('Ix_売上_購入年月日', 'Ix_売上_メーカー', 'Ix_売上_購入者')"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.integer(0), 3);
}

// A file that cannot be read when "作成" is pressed: the menu says why and stays.
TEST_F(ReportMenuTest, ADatabaseThatCannotBeReadAtCreateKeepsTheMenu)
{
    openMenu();
    ASSERT_TRUE(QFile::rename(dbPath(), dbPath() + ".away"));
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm510_Qel"), {});
    Click(cmd(7));
    EXPECT_TRUE(
        dialogs->shown().back().text.contains(QStringLiteral("データベースファイルが見つかりません")));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm510_Qel")), nullptr);
    EXPECT_EQ(visibleScreen(QStringLiteral("Frm520_Qel")), nullptr);
    ASSERT_TRUE(QFile::rename(dbPath() + ".away", dbPath()));
}

} // namespace
