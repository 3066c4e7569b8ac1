#include "ReportsFixture.h"

#include "core/Globals.h"
#include "db/Database.h"

#include <QLabel>
#include <QPushButton>

namespace {

const QString S1 = QStringLiteral("2006年01月05日（木）|ルイ|青木 花子|¥50,000");
const QString S2 = QStringLiteral("2005年12月15日（木）|グッチョ|山田 太郎|¥12,000");
const QString S3 = QStringLiteral("2005年12月31日（土）|ルイ|山田 太郎|¥25,000");
const QString S4 = QStringLiteral("2006年01月05日（木）|グッチョ|O'Neil|¥36,000");
const QString S5 = QStringLiteral("2005年11月20日（日）|L'Artisan|O'Neil|¥7,000");
const QString S6 = QStringLiteral("2006年02月20日（月）|グッチョ|青木 花子|¥38,000");

// How the report is chosen on the menu: period clicks, a maker, a typed reading, "作成".
struct Choice
{
    std::vector<int> clicks;
    const char* maker;
    const char* reading;
    int button;
};

class SalesReportTest : public ReportsFixture
{
  protected:
    void open(const Choice& c)
    {
        chooseOnMenu(c.clicks, QString::fromUtf8(c.maker), QString::fromUtf8(c.reading));
        ASSERT_TRUE(makeReport(c.button));
    }
    QString period() const { return dat(10)->text() + "～" + dat(11)->text(); }
    QPushButton* syu(int i) const { return child<QPushButton>(QStringLiteral("Syu_%1").arg(i)); }
    QString actions() const
    {
        QString s;
        for (QWidget* w : std::initializer_list<QWidget*>{scroll(), syu(0), syu(1), cmd(0), cmd(1)})
            s += w->isEnabled() ? '1' : '0';
        return s;
    }
};

TEST_F(SalesReportTest, EachVariantListsItsSalesByDateThenKeyWithTheGrandTotal)
{
    struct Case
    {
        Choice choice;
        const char* title;
        const char* caption;
        const char* period;
        QStringList sales;
        const char* total;
    };
    const Case cases[] = {
        // Opening at once covers every month; sales 1 and 4 share a date and follow their keys.
        {{{}, "", "", 7},
         "売上明細（期間指定）",
         "売上明細（期間指定）",
         "指定なし～指定なし",
         {S5, S2, S3, S1, S4, S6},
         "¥168,000"},
        {{{0, 5}, "", "", 7},
         "売上明細（期間指定）",
         "売上明細（期間指定）",
         "2005年12月～2006年01月",
         {S2, S3, S1, S4},
         "¥123,000"},
        {{{}, "グッチョ", "", 8},
         "売上明細（ブランド名別）",
         "売上明細（ブランド名別）",
         "指定なし～指定なし",
         {S2, S4, S6},
         "¥86,000"},
        {{{}, "L'Artisan", "", 8},
         "売上明細（ブランド名別）",
         "売上明細（ブランド名別）",
         "指定なし～指定なし",
         {S5},
         "¥7,000"},
        {{{}, "", "ｵﾆｰﾙ", 9},
         "売上明細（購入者別）",
         "売上明細（購入者名別）",
         "指定なし～指定なし",
         {S5, S4},
         "¥43,000"},
        {{{0}, "", "ﾔﾏﾀﾞ", 9},
         "売上明細（購入者別）",
         "売上明細（購入者名別）",
         "2005年12月～2005年12月",
         {S2, S3},
         "¥37,000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.title << " " << c.period << " " << c.total);
        open(c.choice);
        EXPECT_EQ(ttl(14)->text(), QString::fromUtf8(c.title));
        EXPECT_EQ(screen()->windowTitle(), QString::fromUtf8(c.caption));
        EXPECT_EQ(ttl(1)->text(), QStringLiteral(" ブランド名"));
        EXPECT_EQ(ttl(2)->text(), QStringLiteral(" 商品名"));
        EXPECT_EQ(period(), QString::fromUtf8(c.period));
        EXPECT_EQ(dat(13)->text(), QString::fromUtf8(c.total));
        EXPECT_EQ(scroll()->value(), 1) << "the first sale in report order is shown first";
        EXPECT_EQ(shownSale(), c.sales.first());
        EXPECT_EQ(dat(8)->text(), QStringLiteral("1/%1").arg(c.sales.size()));
        EXPECT_EQ(actions(), "11111");
        EXPECT_EQ(pageThrough(), c.sales);
        CloseAllScreens();
    }
}

TEST_F(SalesReportTest, ShownSaleFillsEveryLabelAndBecomesTheWorkingDate)
{
    writeIni(QStringLiteral("DataPath=Data\r\nMaker=ブランド\r\nSyouhin=商品\r\nNengou=和暦\r\n"));
    open({{}, "", "ｱｵｷ", 9});
    const QStringList expected = {
        "平成18年01月05日（木）",      "ルイ", "鞄", "¥30,000", "¥25,000", "2", "¥50,000", "青木 花子", "1/2",
        "最終更新 H.18/01/19 18:30:05"};
    for (int i = 0; i <= 9; ++i)
        EXPECT_EQ(dat(i)->text(), expected[i]) << i;
    EXPECT_EQ(dat(14)->text(), QStringLiteral("贈答用")) << "the remarks";
    EXPECT_EQ(G().SalesDate.date(), QDate(2006, 1, 5));
    scroll()->setValue(2);
    EXPECT_EQ(dat(8)->text(), QStringLiteral("2/2"));
    EXPECT_EQ(dat(14)->text(), QString());
    EXPECT_EQ(G().SalesDate.date(), QDate(2006, 2, 20));
}

TEST_F(SalesReportTest, ReportWithoutSalesLeavesOnlyCloseAndStillNamesItsChoice)
{
    struct Case
    {
        Choice choice;
        const char* maker;
        const char* buyer;
    };
    const Case cases[] = {
        {{{0, 2, 2, 4, 4}, "", "", 7}, "", ""},
        {{{}, "エルメ", "", 8}, "エルメ", ""},
        {{{0}, "", "ｱｵｷ", 9}, "", "青木 花子"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.maker << c.buyer);
        open(c.choice);
        EXPECT_EQ(dat(8)->text(), QStringLiteral("0/0"));
        EXPECT_EQ(actions(), "00001");
        EXPECT_EQ(dat(1)->text(), QString::fromUtf8(c.maker));
        EXPECT_EQ(dat(7)->text(), QString::fromUtf8(c.buyer));
        EXPECT_EQ(dat(0)->text(), QString());
        EXPECT_EQ(dat(13)->text(), QString());
        Click(cmd(1));
        ASSERT_TRUE(follow(QStringLiteral("Frm510_Qel")));
        EXPECT_EQ(dat(0)->text(), QStringLiteral("指定なし")) << "a fresh menu";
        CloseAllScreens();
    }
}

TEST_F(SalesReportTest, JumpsOpenTheOtherReportsOfTheShownSale)
{
    struct Case
    {
        Choice choice;
        int position;
        int syu;
        const char* caption;
        const char* target;
        const char* period;
        QStringList sales;
    };
    const Case cases[] = {
        {{{}, "", "", 7}, 1, 0, "別", "Frm530_Qel", "指定なし～指定なし", {S5}},
        {{{0}, "", "", 7}, 1, 1, "別", "Frm540_Qel", "指定なし～指定なし", {S2, S3}},
        {{{}, "グッチョ", "", 8}, 2, 0, "期間", "Frm520_Qel", "2006年01月～2006年01月", {S1, S4}},
        {{{}, "グッチョ", "", 8}, 2, 1, "別", "Frm540_Qel", "指定なし～指定なし", {S5, S4}},
        // The period of the purchaser's sale shows every purchaser's sales of that month.
        {{{}, "", "ｱｵｷ", 9}, 1, 0, "期間", "Frm520_Qel", "2006年01月～2006年01月", {S1, S4}},
        {{{1}, "", "ｱｵｷ", 9}, 1, 1, "別", "Frm530_Qel", "指定なし～指定なし", {S3, S1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.target << " " << c.syu);
        open(c.choice);
        scroll()->setValue(c.position);
        EXPECT_EQ(syu(c.syu)->text(), QString::fromUtf8(c.caption));
        Click(syu(c.syu));
        ASSERT_TRUE(follow(QString::fromLatin1(c.target)));
        EXPECT_EQ(G().CallerForm, QStringLiteral("Frm5%1_Qel").arg(c.choice.button * 10 - 50));
        EXPECT_EQ(period(), QString::fromUtf8(c.period));
        EXPECT_EQ(pageThrough(), c.sales);
        CloseAllScreens();
    }
}

TEST_F(SalesReportTest, FileWithoutTheReportIndexesGetsThemOnFirstUseWithItsRowsKept)
{
    const auto reportIndexes = [this] {
        Database db(dbPath());
        Query q(db, QStringLiteral("select count(*) from sqlite_master where type = 'index' and name in "
                                   "('Ix_売上_購入年月日', 'Ix_売上_メーカー', 'Ix_売上_購入者')"));
        return q.next() ? q.integer(0) : -1;
    };
    for (const char* name : {"Ix_売上_購入年月日", "Ix_売上_メーカー", "Ix_売上_購入者"})
        execute(QStringLiteral("drop index ") + QString::fromUtf8(name));
    ASSERT_EQ(reportIndexes(), 0);
    const QString before = column(QStringLiteral("Tb_売上"), QStringLiteral("Fi_購入年月日 || Fi_購入者"));
    open({{}, "グッチョ", "", 8});
    EXPECT_EQ(pageThrough(), (QStringList{S2, S4, S6}));
    EXPECT_EQ(reportIndexes(), 3);
    EXPECT_EQ(column(QStringLiteral("Tb_売上"), QStringLiteral("Fi_購入年月日 || Fi_購入者")), before);
}

TEST_F(SalesReportTest, SaleDeletedMeanwhileIsSkipped)
{
    open({{}, "", "", 7});
    execute(QStringLiteral("delete from Tb_売上 where Fi_キー = 2"));
    scroll()->setValue(2);
    EXPECT_EQ(shownSale(), S3);
    EXPECT_EQ(dat(8)->text(), QStringLiteral("2/5"));
    EXPECT_EQ(dat(13)->text(), QStringLiteral("¥156,000"));
    EXPECT_EQ(pageThrough(), (QStringList{S5, S3, S1, S4, S6}));
}

TEST_F(SalesReportTest, DatabaseFailureIsReportedAndTheScreenStaysUsable)
{
    open({{}, "", "", 7});
    execute(QStringLiteral("alter table Tb_売上 rename to Tb_売上_old"));
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm520_Qel"), QString());
    scroll()->setValue(3);
    EXPECT_EQ(shownSale(), S5) << "the shown sale stays";
    EXPECT_EQ(scroll()->value(), 1);
    EXPECT_EQ(dat(8)->text(), QStringLiteral("1/6"));
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm520_Qel"), QString());
    Click(cmd(0));
    EXPECT_TRUE(dialogs->allAnswered());
    EXPECT_FALSE(QFile::exists(dataFile(QStringLiteral("期間指定売上明細.xlsx"))));
    EXPECT_EQ(actions(), "11111");
    Click(cmd(1));
    EXPECT_TRUE(follow(QStringLiteral("Frm510_Qel")));
}

} // namespace
