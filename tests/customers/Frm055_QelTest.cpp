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
    // The detail of the customer of the reading, through the list.
    void openDetailOf(const QString& reading)
    {
        search();
        for (int row = 1; row < grid()->rows(); ++row) {
            if (CustomerStore().row(grid()->textMatrix(row, 1).toInt())->reading == reading) {
                openDetail(row);
                return;
            }
        }
        FAIL() << reading.toStdString();
    }
    void openHistory()
    {
        ASSERT_TRUE(cmd(3)->isEnabled());
        Click(cmd(3));
        ASSERT_TRUE(follow(QStringLiteral("Frm055_Qel")));
    }
    QString sql(const QString& statement) const { return selected(statement).value(0); }
    static QString day(const QString& yyyymmdd)
    {
        return DateWithWeekday(QDate::fromString(yyyymmdd, QStringLiteral("yyyyMMdd")));
    }
};

TEST_F(HistoryTest, TheFiguresAndTheSalesAreThoseOfTheLedgerNewestFirst)
{
    addLedger();
    // The last purchase of C03, and one of the same day: a visit with two sales.
    addSale(QStringLiteral("C03"), QStringLiteral("20250120"), QStringLiteral("メーカーC"), 1234, 2,
            QStringLiteral("包装"));
    addSale(QStringLiteral("C03"), QStringLiteral("20250120"), QStringLiteral("メーカーA"), 100);
    setNow(QDateTime(QDate(2025, 3, 14), QTime(10, 0)));
    openDetailOf(QStringLiteral("ｱ03"));

    // Unsaved changes are asked about; the history then shows the customer as stored.
    enter(txt(10), QStringLiteral("書きかけ"));
    dialogs->expectQuestion(QStringLiteral("未登録です。\n修正登録せずに画面を閉じますか"),
                            DialogService::Answer::Yes);
    openHistory();
    EXPECT_EQ(screen()->windowTitle(), QStringLiteral("購入履歴"));
    EXPECT_EQ(dat(0)->text(), QStringLiteral("C03（ｱ03）"));

    const QString of = QStringLiteral(" from Tb_売上 where Fi_購入者 = 'C03'");
    EXPECT_EQ(dat(1)->text(), day(sql("select min(Fi_購入年月日)" + of)));
    EXPECT_EQ(dat(2)->text(), day(QStringLiteral("20250120")));
    EXPECT_EQ(dat(3)->text(), QStringLiteral("1か月"));
    EXPECT_EQ(dat(4)->text(), sql("select count(distinct Fi_購入年月日)" + of) + QStringLiteral("回"));
    EXPECT_EQ(dat(5)->text(), sql("select count(*)" + of) + QStringLiteral("件"));
    EXPECT_EQ(dat(6)->text(), YenText(sql("select cast(sum(Fi_売価合計) as integer)" + of).toLongLong()));
    EXPECT_EQ(
        dat(7)->text(),
        YenText(
            sql("select cast(round(1.0 * sum(Fi_売価合計) / count(distinct Fi_購入年月日)) as integer)" + of)
                .toLongLong()));
    EXPECT_EQ(ttl(7)->text(), QStringLiteral("よく買う") + G().Maker);
    QStringList makers;
    for (const QString& line :
         selected("select Fi_メーカー || ' ' || cast(sum(Fi_売価合計) as integer)" + of +
                  " group by Fi_メーカー order by sum(Fi_売価合計) desc, Fi_メーカー limit 3"))
        makers << line.section(' ', 0, 0) + ' ' + YenText(line.section(' ', 1).toLongLong());
    EXPECT_EQ(dat(8)->text(), makers.join(QStringLiteral("、")));
    EXPECT_FALSE(ttl(11)->isVisible());

    const QStringList rows =
        selected("select Fi_購入年月日 || '|' || Fi_メーカー || '|' || Fi_商品 || '|' || "
                 "cast(Fi_数量 as integer) || '|' || cast(Fi_売価合計 as integer) || '|' || "
                 "Fi_備考" +
                 of + " order by Fi_購入年月日 desc, Fi_キー desc");
    ASSERT_EQ(grid()->rows() - 1, rows.size());
    for (int r = 1; r < grid()->rows(); ++r) {
        const QStringList f = rows.at(r - 1).split('|');
        EXPECT_EQ(grid()->textMatrix(r, 0), QString::number(r));
        EXPECT_EQ(grid()->textMatrix(r, 1), day(f[0])) << r;
        EXPECT_EQ(grid()->textMatrix(r, 2), f[1]) << r;
        EXPECT_EQ(grid()->textMatrix(r, 3), f[2]) << r;
        EXPECT_EQ(grid()->textMatrix(r, 4), f[3]) << r;
        EXPECT_EQ(grid()->textMatrix(r, 5), YenText(f[4].toLongLong())) << r;
        EXPECT_EQ(grid()->textMatrix(r, 6), f[5]) << r;
    }

    Click(cmd(0));
    ASSERT_TRUE(follow(QStringLiteral("Frm050_Qel")));
    EXPECT_EQ(txt(0)->text(), QStringLiteral("C03"));
    EXPECT_EQ(txt(10)->text(), QString()) << "the change was not stored";
}

TEST_F(HistoryTest, ACustomerWithoutPurchasesOrWithANameSharedIsToldSo)
{
    struct Case
    {
        const char* reading;
        const char* first;   // Lbl_Dat(1)
        const char* count;   // Lbl_Dat(5)
        const char* warning; // Lbl_Ttl(11), hidden when empty
    };
    const Case cases[] = {
        {"ｱ28", "購入はありません", "0件", ""},
        {"ｲ05", nullptr, nullptr,
         "同じ名前の顧客がほかに1人います。売上には購入者の名前しかないため、"
         "この履歴にはその方の購入も含まれ、区別できません"},
        {"ｱ07", nullptr, nullptr, ""},
    };
    addLedger();
    for (const Case& c : cases) {
        openDetailOf(QString::fromUtf8(c.reading));
        openHistory();
        if (c.first)
            EXPECT_EQ(dat(1)->text(), QString::fromUtf8(c.first)) << c.reading;
        if (c.count)
            EXPECT_EQ(dat(5)->text(), QString::fromUtf8(c.count)) << c.reading;
        else
            EXPECT_NE(dat(5)->text(), QStringLiteral("0件")) << c.reading;
        EXPECT_EQ(ttl(11)->text(), QString::fromUtf8(c.warning)) << c.reading;
        EXPECT_EQ(ttl(11)->isVisible(), *c.warning != 0) << c.reading;
        CloseAllScreens();
    }
}

} // namespace
