#include "CustomerScreenTest.h"

#include "core/Globals.h"
#include "ui/FlexGrid.h"
#include "ui/Navigator.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using SearchTest = CustomerScreenTest;

const QString kSaved = QStringLiteral("Fi_キー = 1");

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
