#include "CustomerScreenTest.h"

#include "core/Amount.h"
#include "core/DateText.h"
#include "core/Globals.h"
#include "ui/FlexGrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

class HistoryTest : public CustomerScreenTest
{
  protected:
    // The history of the customer of the reading, through the list and the detail.
    void openHistoryOf(const QString& reading)
    {
        search();
        const QString key =
            selected("select Fi_キー from Tb_顧客 where Fi_名前フリガナ = '" + reading + "'").value(0);
        int row = 1;
        while (row < grid()->rows() - 1 && grid()->textMatrix(row, 1) != key)
            ++row;
        openDetail(row);
        Click(cmd(3));
        ASSERT_TRUE(follow(QStringLiteral("Frm055_Qel")));
    }
    static QString day(const QString& yyyymmdd)
    {
        return DateWithWeekday(QDate::fromString(yyyymmdd, QStringLiteral("yyyyMMdd")));
    }
    QString yen(const QString& sum) const
    {
        return YenText(selected("select cast(" + sum + " as integer)" + of).value(0).toLongLong());
    }
    const QString of = QStringLiteral(" from Tb_売上 where Fi_購入者 = 'C03'");
};

TEST_F(HistoryTest, TheFiguresAndTheSalesAreThoseOfTheLedgerNewestFirst)
{
    addLedger();
    // The last visit of C03, with two sales.
    addSale(QStringLiteral("C03"), QStringLiteral("20250120"), QStringLiteral("メーカーC"), 1234, 2,
            QStringLiteral("包装"));
    addSale(QStringLiteral("C03"), QStringLiteral("20250120"), QStringLiteral("メーカーA"), 100);
    setNow(QDateTime(QDate(2025, 3, 14), QTime(10, 0)));
    openHistoryOf(QStringLiteral("ｱ03"));
    EXPECT_EQ(dat(0)->text(), QStringLiteral("C03（ｱ03）"));

    const QStringList figures = {day(selected("select min(Fi_購入年月日)" + of).value(0)),
                                 day(QStringLiteral("20250120")),
                                 QStringLiteral("1か月"),
                                 selected("select count(distinct Fi_購入年月日)" + of).value(0) + "回",
                                 selected("select count(*)" + of).value(0) + "件",
                                 yen("sum(Fi_売価合計)"),
                                 yen("round(1.0 * sum(Fi_売価合計) / count(distinct Fi_購入年月日))")};
    for (int i = 1; i <= 7; ++i)
        EXPECT_EQ(dat(i)->text(), figures.at(i - 1)) << i;
    QStringList makers;
    for (const QString& m :
         selected("select Fi_メーカー || '|' || cast(sum(Fi_売価合計) as integer)" + of +
                  " group by Fi_メーカー order by sum(Fi_売価合計) desc, Fi_メーカー limit 3"))
        makers << m.section('|', 0, 0) + ' ' + YenText(m.section('|', 1).toLongLong());
    EXPECT_EQ(dat(8)->text(), makers.join(QStringLiteral("、")));
    EXPECT_FALSE(ttl(11)->isVisible());

    const QStringList sales =
        selected("select Fi_購入年月日 || '|' || Fi_メーカー || '|' || Fi_商品 || '|' || "
                 "cast(Fi_数量 as integer) || '|' || cast(Fi_売価合計 as integer) || '|' || "
                 "Fi_備考" +
                 of + " order by Fi_購入年月日 desc, Fi_キー desc");
    ASSERT_EQ(grid()->rows() - 1, sales.size());
    for (int r = 1; r < grid()->rows(); ++r) {
        const QStringList f = sales.at(r - 1).split('|');
        const QStringList shown = {day(f[0]), f[1], f[2], f[3], YenText(f[4].toLongLong()), f[5]};
        for (int c = 1; c < 7; ++c)
            EXPECT_EQ(grid()->textMatrix(r, c), shown.at(c - 1)) << r << "," << c;
    }
    Click(cmd(0));
    ASSERT_TRUE(follow(QStringLiteral("Frm050_Qel")));
    EXPECT_EQ(txt(0)->text(), QStringLiteral("C03"));
}

TEST_F(HistoryTest, ACustomerWithoutPurchasesOrWithANameSharedIsToldSo)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"ｱ28", "購入はありません", ""},
        {"ｲ05", "", "同名の顧客がほかに1人います。売上は名前で記録されるため、購入を区別できません"},
        {"ｱ07", "", ""},
    };
    addLedger();
    for (const auto& [reading, first, warning] : cases) {
        openHistoryOf(QString::fromUtf8(reading));
        if (*first)
            EXPECT_EQ(dat(1)->text() + dat(5)->text(), QString::fromUtf8(first) + "0件") << reading;
        else
            EXPECT_NE(dat(5)->text(), QStringLiteral("0件")) << reading;
        EXPECT_EQ(ttl(11)->text(), QString::fromUtf8(warning)) << reading;
        EXPECT_EQ(ttl(11)->isVisible(), *warning != 0) << reading;
        CloseAllScreens();
    }
}

TEST_F(HistoryTest, UnsavedChangesOfTheDetailAreAskedAboutFirst)
{
    addCustomer(QStringLiteral("山田"), QStringLiteral("ﾔﾏﾀﾞ"));
    search();
    openDetail(1);
    enter(txt(10), QStringLiteral("書きかけ"));
    for (const auto answer : {DialogService::Answer::No, DialogService::Answer::Yes}) {
        dialogs->expectQuestion(QStringLiteral("未登録です。\n修正登録せずに画面を閉じますか"), answer);
        Click(cmd(3));
    }
    ASSERT_TRUE(follow(QStringLiteral("Frm055_Qel")));
    Click(cmd(0));
    ASSERT_TRUE(follow(QStringLiteral("Frm050_Qel")));
    EXPECT_EQ(txt(10)->text(), QString()) << "the change was not stored";
}

} // namespace
