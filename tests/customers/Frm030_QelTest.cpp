#include "CustomerScreenTest.h"

#include "core/Globals.h"
#include "ui/FlexGrid.h"
#include "ui/Navigator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <map>

namespace {

using SearchTest = CustomerScreenTest;

const QString kSaved = QStringLiteral("Fi_キー = 1");

// Txt_Inp(11) to (16) of the group 購入履歴.
enum Box { LastFrom = 11, LastBefore, PeriodFrom, PeriodTo, Total, Visits };

// What a user enters: boxes by index, the maker chosen, 購入なし, the month of birth.
struct Entry
{
    std::map<int, QString> boxes = {};
    QString maker = {};
    bool never = false;
    int birthMonth = 0;
};

// The customers whose name is among the purchasers the statement on the sales selects: a
// reference written with grouping, not as the search writes its terms.
QString Bought(const QString& whereOrHaving)
{
    return QStringLiteral("Fi_名前 in (select Fi_購入者 from Tb_売上 ") + whereOrHaving + QStringLiteral(")");
}
QString LastBought(const QString& bounds)
{
    return Bought(QStringLiteral("group by Fi_購入者 having max(Fi_購入年月日) ") + bounds);
}

class PurchaseSearchTest : public CustomerScreenTest
{
  protected:
    void SetUp() override
    {
        CustomerScreenTest::SetUp();
        addLedger();
    }
    // The search opened from the menu, filled as the user fills it, and 検索.
    void searchFor(const Entry& e)
    {
        ASSERT_NE(openFromMenu(QStringLiteral("Frm030_Qel")), nullptr);
        for (const auto& [index, text] : e.boxes)
            enter(txt(index), text);
        combo(2)->setCurrentIndex(std::max(0, combo(2)->findText(e.maker)));
        QCheckBox* never = child<QCheckBox>(QStringLiteral("Check1"));
        if (never->isChecked() != e.never)
            QTest::mouseClick(never, Qt::LeftButton, {}, QPoint(8, never->height() / 2));
        combo(3)->setCurrentIndex(e.birthMonth);
        Click(cmd(0));
    }
    // The names of the list, none for its one empty row.
    QStringList listed() const
    {
        const QStringList names = listedNames();
        return names == QStringList{QString()} ? QStringList() : names;
    }
    // The customers the reference condition selects, in the list's order.
    QStringList reference(const QString& where) const
    {
        return selected(QStringLiteral("select Fi_名前 from Tb_顧客 where Fi_都道府県番号 > 0 and ") + where +
                        QStringLiteral(" order by Fi_名前フリガナ, Fi_キー"));
    }
};

TEST_F(SearchTest, TheFirstSearchAddsTheRowWithKeyOneAndLaterSearchesEditIt)
{
    addCustomer(QStringLiteral("山田太郎"), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"));
    ASSERT_EQ(rowCount(QStringLiteral("Tb_検索条件")), 0);
    search(QStringLiteral(" 山田 "), 13);
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm030_Qel"));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_検索条件")), 1);
    EXPECT_EQ(column(QStringLiteral("Tb_検索条件"), QStringLiteral("Fi_名前"), kSaved),
              QStringLiteral("山田"));
    EXPECT_EQ(column(QStringLiteral("Tb_検索条件"), QStringLiteral("Fi_都道府県番号"), kSaved),
              QStringLiteral("13"));
    EXPECT_EQ(listedNames(), QStringList{QStringLiteral("山田太郎")});

    Click(cmd(3));
    ASSERT_TRUE(follow(QStringLiteral("Frm030_Qel")));
    enter(txt(0), QString());
    enter(txt(6), QStringLiteral("  03 "));
    Click(cmd(0));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_検索条件")), 1);
    EXPECT_EQ(column(QStringLiteral("Tb_検索条件"), QStringLiteral("Fi_名前"), kSaved), QString());
    EXPECT_EQ(column(QStringLiteral("Tb_検索条件"), QStringLiteral("Fi_電話番号"), kSaved),
              QStringLiteral("03"));
}

TEST_F(SearchTest, FromTheMenuTheBoxesAreEmptyAndFromTheListTheSavedConditionsReturn)
{
    execute(QStringLiteral(
        "insert into Tb_検索条件 (Fi_キー, Fi_名前, Fi_名前フリガナ, Fi_都道府県番号, Fi_備考) "
        "values (1, '山田', 'ﾔﾏﾀﾞ', 27, 'メモ')"));
    ASSERT_NE(openFromMenu(QStringLiteral("Frm030_Qel")), nullptr);
    EXPECT_EQ(screen()->windowTitle(), QStringLiteral("顧客検索"));
    EXPECT_EQ(ttl(0)->text(), QStringLiteral(" 名前（検索）"));
    for (int i : {0, 1, 2, 4, 5, 6, 7, 8, 9, 10})
        EXPECT_EQ(txt(i)->text(), QString()) << i;
    EXPECT_EQ(combo()->currentIndex(), 0) << "Todoufuken2";
    EXPECT_EQ(focused(), txt(0));

    // Clearing touches no saved row; the search then lists from the stored conditions.
    enter(txt(10), QStringLiteral("別"));
    Click(cmd(1));
    EXPECT_EQ(txt(10)->text(), QString());
    EXPECT_EQ(focused(), txt(0));
    EXPECT_EQ(column(QStringLiteral("Tb_検索条件"), QStringLiteral("Fi_備考"), kSaved),
              QStringLiteral("メモ"));
    Click(cmd(2));
    ASSERT_TRUE(follow(QStringLiteral("Frm010_Qel")));

    G().CallerForm = QStringLiteral("Frm040_Qel");
    Screens().open(QStringLiteral("Frm030_Qel"));
    ASSERT_TRUE(follow(QStringLiteral("Frm030_Qel")));
    EXPECT_EQ(txt(0)->text(), QStringLiteral("山田"));
    EXPECT_EQ(txt(1)->text(), QStringLiteral("ﾔﾏﾀﾞ"));
    EXPECT_EQ(txt(10)->text(), QStringLiteral("メモ"));
    EXPECT_EQ(combo()->currentIndex(), 27);
}

TEST_F(SearchTest, TheBoxesSelectOnEntryFollowTheEnterOrderAndHaveNoRegistrationEvents)
{
    ASSERT_NE(openFromMenu(QStringLiteral("Frm030_Qel")), nullptr);
    ImeConvert(txt(0), QStringLiteral("やまだ"), QStringLiteral("山田"));
    PressEnter();
    EXPECT_EQ(txt(1)->text(), QString()) << "no reading is captured from the name";
    // The reading box is the half-width one of registration, typed kana included.
    enter(txt(1), QStringLiteral("やまだ"));
    EXPECT_EQ(txt(1)->text(), QStringLiteral("ﾔﾏﾀﾞ"));
    // A postal code is a condition of its own: it is not offered to the city box, and an address
    // starting with a prefecture stays as typed.
    enter(txt(2), QStringLiteral("100"));
    PressEnter();
    ASSERT_EQ(focused(), combo());
    PressEnter();
    ASSERT_EQ(focused(), txt(4));
    EXPECT_EQ(txt(4)->text(), QString());
    enter(txt(4), QStringLiteral("東京都港区"));
    QWidget* order[] = {txt(5), txt(6), txt(7), txt(8), txt(9), txt(10), txt(0), txt(1)};
    for (QWidget* next : order) {
        PressEnter();
        EXPECT_EQ(focused(), next);
    }
    EXPECT_EQ(txt(4)->text(), QStringLiteral("東京都港区"));
    EXPECT_EQ(combo()->currentIndex(), 0);
    enter(txt(1), QStringLiteral("ﾔﾏ"));
    PressEnter();
    EXPECT_EQ(txt(2)->selectedText(), QStringLiteral("100"));
    // Leaving asks nothing: the search screen has no unsaved state.
    Click(cmd(2));
    EXPECT_TRUE(follow(QStringLiteral("Frm010_Qel")));
}

TEST_F(SearchTest, AConditionRowWithNullsOrNoRowReadsAsEmptyConditions)
{
    addCustomer(QStringLiteral("山田太郎"), QStringLiteral("ﾔﾏﾀﾞﾀﾛｳ"));
    addCustomer(QStringLiteral("無所属"), QStringLiteral("ﾑｼｮｿﾞｸ"), 0);
    // An older version's table, without the NOT NULL of today's.
    execute(QStringLiteral("drop table Tb_検索条件"));
    execute(QStringLiteral(
        "create table Tb_検索条件 (Fi_キー integer primary key, Fi_名前フリガナ text, Fi_名前 text, "
        "Fi_郵便番号 text, Fi_都道府県番号 integer, Fi_市区町村 text, Fi_建物 text, Fi_電話番号 text, "
        "Fi_携帯番号 text, Fi_ファックス番号 text, Fi_メールアドレス text, Fi_備考 text)"));
    G().CallerForm = QStringLiteral("Frm030_Qel");
    Screens().open(QStringLiteral("Frm040_Qel"));
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    EXPECT_EQ(listedNames(), QStringList{QStringLiteral("山田太郎")}) << "no row";

    execute(QStringLiteral("insert into Tb_検索条件 (Fi_キー) values (1)"));
    Click(cmd(3));
    ASSERT_TRUE(follow(QStringLiteral("Frm030_Qel")));
    EXPECT_EQ(txt(0)->text(), QString());
    EXPECT_EQ(combo()->currentIndex(), 0);
    Click(cmd(0));
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    EXPECT_EQ(listedNames(), QStringList{QStringLiteral("山田太郎")}) << "a row of NULLs";
}

TEST_F(PurchaseSearchTest, EachConditionAloneAndCombinedFindsWhatTheLedgerSays)
{
    const QString in2023 = QStringLiteral("where Fi_購入年月日 between '20230101' and '20231231' ");
    const QString month = QStringLiteral("Fi_キー in (select Fi_キー from Tb_顧客補足 where Fi_誕生月 = %1)");
    const std::pair<Entry, QString> cases[] = {
        {{.boxes = {{LastBefore, "2024/07/01"}}}, LastBought("< '20240701'")},
        {{.boxes = {{LastFrom, "２０２４年１０月１日"}}}, LastBought(">= '20241001'")},
        {{.boxes = {{LastFrom, "2024/8/1"}, {LastBefore, "20241101"}}},
         LastBought("between '20240801' and '20241031'")},
        {{.boxes = {{PeriodFrom, "2023/4/1"}, {PeriodTo, "2023/6/30"}}},
         Bought("where Fi_購入年月日 between '20230401' and '20230630'")},
        {{.boxes = {{PeriodFrom, "R6/12/1"}}}, Bought("where Fi_購入年月日 >= '20241201'")},
        {{.boxes = {{PeriodFrom, "2023/1/1"}, {PeriodTo, "2023/12/31"}, {Total, "12,000"}}},
         Bought(in2023 + "group by Fi_購入者 having sum(Fi_売価合計) >= 12000")},
        {{.boxes = {{Total, "¥30000"}}}, Bought("group by Fi_購入者 having sum(Fi_売価合計) >= 30000")},
        {{.boxes = {{PeriodFrom, "2023/1/1"}, {PeriodTo, "2023/12/31"}, {Visits, "4"}}},
         Bought(in2023 + "group by Fi_購入者 having count(distinct Fi_購入年月日) >= 4")},
        {{.boxes = {{Visits, "1"}}}, Bought("")},
        {{.maker = "メーカーB"}, Bought("where Fi_メーカー = 'メーカーB'")},
        {{.never = true}, "Fi_名前 not in (select Fi_購入者 from Tb_売上)"},
        {{.birthMonth = 4}, month.arg(4)},
        {{.boxes = {{0, "C1"}, {LastBefore, "2024/10/01"}}},
         "Fi_名前 like '%C1%' and " + LastBought("< '20241001'")},
        {{.boxes = {{PeriodFrom, "2023/1/1"}, {PeriodTo, "2023/12/31"}, {Total, "5000"}, {Visits, "2"}},
          .maker = "メーカーA"},
         Bought(in2023 +
                "group by Fi_購入者 having sum(Fi_売価合計) >= 5000 and count(distinct Fi_購入年月日) >= 2") +
             " and " + Bought("where Fi_メーカー = 'メーカーA'")},
        {{.boxes = {{LastFrom, "2024/6/1"},
                    {LastBefore, "2025/1/1"},
                    {PeriodFrom, "2022/1/1"},
                    {PeriodTo, "2024/12/31"},
                    {Total, "1000"},
                    {Visits, "3"}},
          .maker = "メーカーC",
          .birthMonth = 10},
         LastBought("between '20240601' and '20241231'") + " and " +
             Bought("where Fi_購入年月日 between '20220101' and '20241231' group by Fi_購入者 having "
                    "sum(Fi_売価合計) >= 1000 and count(distinct Fi_購入年月日) >= 3") +
             " and " + Bought("where Fi_メーカー = 'メーカーC'") + " and " + month.arg(10)},
        {{.never = true, .birthMonth = 7},
         "Fi_名前 not in (select Fi_購入者 from Tb_売上) and " + month.arg(7)},
    };
    const qsizetype customers = reference(QStringLiteral("1")).size();
    for (const auto& [entry, where] : cases) {
        const QStringList expected = reference(where);
        // A condition that keeps every customer or none would let a wrong search pass.
        EXPECT_GT(expected.size(), 0) << where.toStdString();
        EXPECT_LT(expected.size(), customers) << where.toStdString();
        searchFor(entry);
        ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel"))) << where.toStdString();
        EXPECT_EQ(listed(), expected) << where.toStdString();
        CloseAllScreens();
    }
}

TEST_F(PurchaseSearchTest, TheConditionsComeBackFromTheListAndTheClearButtonEmptiesThem)
{
    searchFor({.boxes = {{LastFrom, "2024/1/1"}, {PeriodFrom, "2023-4-1"}, {Total, "12000"}, {Visits, "2"}},
               .maker = "メーカーD",
               .birthMonth = 7});
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    Click(cmd(3));
    ASSERT_TRUE(follow(QStringLiteral("Frm030_Qel")));
    QStringList shown;
    for (int i = LastFrom; i <= Visits; ++i)
        shown << txt(i)->text();
    EXPECT_EQ(shown, (QStringList{"2024/01/01", "", "2023/04/01", "", "12,000", "2"}));
    EXPECT_EQ(combo(2)->currentText() + combo(3)->currentText(), QStringLiteral("メーカーD7月"));

    Click(cmd(1));
    for (int i = LastFrom; i <= Visits; ++i)
        EXPECT_EQ(txt(i)->text(), QString()) << i;
    EXPECT_EQ(combo(2)->currentIndex() + combo(3)->currentIndex(), 0);
    Click(cmd(0));
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    EXPECT_EQ(listed(), reference(QStringLiteral("1")));
}

TEST_F(PurchaseSearchTest, ConditionsThatCannotBeReadAreNamedAndNothingIsSearched)
{
    const std::tuple<Entry, int, const char*> cases[] = {
        {{.boxes = {{LastFrom, "2024/2/30"}}}, LastFrom, "日付は 2024/04/01 のように入力してください"},
        {{.boxes = {{PeriodTo, "来週"}}}, PeriodTo, "日付は 2024/04/01 のように入力してください"},
        {{.boxes = {{LastFrom, "2024/5/1"}, {LastBefore, "2024/5/1"}}},
         LastFrom,
         "最終購入日の指定に誤りがあります"},
        {{.boxes = {{PeriodFrom, "2024/5/2"}, {PeriodTo, "2024/5/1"}}},
         PeriodFrom,
         "購入期間の指定に誤りがあります"},
        {{.boxes = {{Total, "1万"}}}, Total, "合計は金額を数字で入力してください"},
        {{.boxes = {{Visits, "-3"}}}, Visits, "来店は回数を数字で入力してください"},
        {{.boxes = {{PeriodFrom, "2024/1/1"}}, .never = true},
         -1,
         "「購入なし」は購入履歴のほかの条件と同時には指定できません"},
    };
    for (const auto& [entry, focus, text] : cases) {
        searchFor(entry);
        EXPECT_TRUE(follow(QStringLiteral("Frm030_Qel"))) << text;
        EXPECT_EQ(message(), QString::fromUtf8(text));
        EXPECT_TRUE(ttl(11)->isVisible()) << text;
        EXPECT_EQ(focused(), focus < 0 ? child<QWidget>(QStringLiteral("Check1")) : txt(focus)) << text;
        EXPECT_EQ(rowCount(QStringLiteral("Tb_検索条件")), 0) << text;
        CloseAllScreens();
    }
}

TEST_F(PurchaseSearchTest, AFileMadeBeforeThePurchaseConditionsGetsTheirTablesAndIndexWhenFirstNeeded)
{
    for (const char* drop :
         {"drop index Ix_売上_購入履歴", "drop table Tb_検索条件追加", "drop table Tb_顧客補足"})
        execute(QString::fromUtf8(drop));
    searchFor({.boxes = {{LastBefore, "2024/07/01"}}});
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    EXPECT_EQ(listed(), reference(LastBought("< '20240701'")));
    // The birthdays' table comes with the first customer read whole.
    openDetail(1);
    for (const char* name : {"Ix_売上_購入履歴", "Tb_検索条件追加", "Tb_顧客補足", "Ix_顧客補足_誕生月"})
        EXPECT_EQ(rowCount(QStringLiteral("sqlite_master where name = '%1'").arg(QString::fromUtf8(name))), 1)
            << name;
    EXPECT_TRUE(dialogs->shown().empty());
}

TEST_F(PurchaseSearchTest, TheCsvAndThePostcardsTakeTheCustomersFound)
{
    QDir().mkpath(AppFile(QStringLiteral("Data")));
    searchFor({.boxes = {{LastBefore, "2024/10/01"}}, .maker = "メーカーE"});
    ASSERT_TRUE(follow(QStringLiteral("Frm040_Qel")));
    const QStringList found = listed();
    ASSERT_GT(found.size(), 2);

    const QString csv = AppFile(QStringLiteral("Data/顧客一覧.csv"));
    dialogs->expectFile(ShownBox::Kind::SaveFile, QStringLiteral("CSV出力"), csv, 1);
    dialogs->expect(ShownBox::Kind::Information, QStringLiteral("CSV出力"), {});
    Click(cmd(6));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList names;
    for (const QString& line :
         QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        names << line.section(QLatin1Char(','), 0, 0);
    EXPECT_EQ(names.mid(1), found);

    const qsizetype noMail =
        reference(Bought("where Fi_メーカー = 'メーカーE'") + " and " + LastBought("< '20241001'") +
                  " and Fi_キー in (select Fi_キー from Tb_顧客補足 where Fi_DM不要 = 1)")
            .size();
    ASSERT_GT(noMail, 0);
    Click(cmd(5));
    ASSERT_TRUE(follow(QStringLiteral("Frm045_Qel")));
    EXPECT_EQ(dat(0)->text(),
              QStringLiteral("顧客一覧の %1 件を、一覧の順に印刷します").arg(found.size() - noMail));
    EXPECT_TRUE(dat(1)->text().startsWith(QStringLiteral("DM不要の %1 件は印刷しません").arg(noMail)));
}

TEST_F(SearchTest, AFailedSaveOfTheConditionsKeepsTheScreenAndItsEntries)
{
    ASSERT_NE(openFromMenu(QStringLiteral("Frm030_Qel")), nullptr);
    enter(txt(0), QStringLiteral("山田"));
    execute(QStringLiteral("create trigger Tr_fail before insert on Tb_検索条件 begin select raise(abort, "
                           "'disk is full'); end"));
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm030_Qel"), {});
    Click(cmd(0));
    EXPECT_TRUE(dialogs->shown().front().text.contains(QStringLiteral("disk is full")));
    EXPECT_TRUE(follow(QStringLiteral("Frm030_Qel")));
    EXPECT_EQ(txt(0)->text(), QStringLiteral("山田"));

    execute(QStringLiteral("drop trigger Tr_fail"));
    Click(cmd(0));
    EXPECT_TRUE(follow(QStringLiteral("Frm040_Qel")));
}

} // namespace
