#include "sales/Frm080_Qel.h"
#include "core/Globals.h"
#include "db/Database.h"
#include "sales/RegisterSalesScreens.h"
#include "ui/Frm010_Qel.h"
#include "ui/Navigator.h"
#include "ui/RegisterScreens.h"

#include "support/ScreenTest.h"

#include <QApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QTest>

namespace {

const QString kQuestion = QStringLiteral("売上を登録します。よろしいですか");

class SalesEntryTest : public ScreenTest
{
  protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        writeIni(QStringLiteral("Maker=ブランド\r\nSyouhin=商品\r\n"));
    }

    // Two makers (the second without products), two products of the first, two customers.
    void addShop()
    {
        addMaker("グッチョ", "ｸﾞｯﾁｮ");
        addMaker("ルイ", "ﾙｲ");
        addProduct("グッチョ", "財布", "ｻｲﾌ", 15000, 12000);
        addProduct("グッチョ", "鞄", "ｶﾊﾞﾝ", 30000, 25000);
        addCustomer("山田 太郎", "ﾔﾏﾀﾞ ﾀﾛｳ");
        addCustomer("青木 花子", "ｱｵｷ ﾊﾅｺ");
    }

    Frm080_Qel* open()
    {
        auto* sales = qobject_cast<Frm080_Qel*>(openFromMenu("Frm080_Qel"));
        EXPECT_NE(sales, nullptr);
        return sales;
    }
    QLineEdit* total() const { return child<QLineEdit>("Text1"); }

    // Goes into the box, types over its selected text, and leaves it with Enter.
    void type(int index, const QString& text)
    {
        txt(index)->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(focused(), txt(index));
        TypeKeys(txt(index), text);
        PressEnter(txt(index));
    }
    static void choose(QComboBox* c, int index)
    {
        c->setFocus(Qt::TabFocusReason);
        while (c->currentIndex() < index)
            QTest::keyClick(c, Qt::Key_Down);
        while (c->currentIndex() > index)
            QTest::keyClick(c, Qt::Key_Up);
    }
    QStringList entries(int i) const
    {
        QStringList out;
        for (int row = 0; row < list(i)->count(); ++row)
            out << list(i)->item(row)->text();
        return out;
    }
    static QStringList items(QComboBox* c)
    {
        QStringList out;
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }
    std::int64_t salesCount() const { return rowCount("Tb_売上"); }
    void registerAnswering(DialogService::Answer answer)
    {
        dialogs->expectQuestion(kQuestion, answer);
        Click(cmd(100));
    }
};

TEST_F(SalesEntryTest, OpensWithTodayTheFirstMakerItsProductsAndTheFirstCustomer)
{
    addShop();
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(screen()->windowTitle(), QStringLiteral("売上入力"));
    EXPECT_EQ(ttl(14)->text(), QStringLiteral("売上入力"));
    EXPECT_EQ(G().SalesDate, QDateTime(QDate(2005, 3, 7), QTime(9, 5, 3)));
    EXPECT_EQ(ttl(7)->text(), QStringLiteral("2005年03月07日（月）"));
    EXPECT_EQ(ttl(1)->text(), QStringLiteral(" ブランド名"));
    EXPECT_EQ(ttl(2)->text(), QStringLiteral(" 商品名"));

    EXPECT_EQ(items(combo(1)), QStringList({"グッチョ", "ルイ"}));
    EXPECT_EQ(entries(3), QStringList({"ｸﾞｯﾁｮ", "ﾙｲ"}));
    EXPECT_EQ(combo(1)->currentIndex(), 0);
    // Products in reading order: ｶﾊﾞﾝ before ｻｲﾌ.
    EXPECT_EQ(items(combo(2)), QStringList({"鞄", "財布"}));
    EXPECT_EQ(entries(4), QStringList({"ｶﾊﾞﾝ", "ｻｲﾌ"}));
    EXPECT_EQ(txt(0)->text(), QStringLiteral("¥30,000"));
    EXPECT_EQ(txt(1)->text(), QStringLiteral("¥25,000"));
    EXPECT_EQ(txt(2)->text(), QStringLiteral("0"));
    EXPECT_EQ(total()->text(), QStringLiteral("¥0"));
    EXPECT_TRUE(txt(0)->alignment() & Qt::AlignRight);

    EXPECT_EQ(entries(1), QStringList({"青木 花子", "山田 太郎"}));
    EXPECT_EQ(ttl(9)->text(), QStringLiteral("青木 花子"));
    EXPECT_EQ(message(), QString());
    EXPECT_FALSE(ttl(12)->isVisible());
    EXPECT_FALSE(ttl(13)->isVisible());

    // The companions are real lists, out of sight above the window, as is the parking field.
    for (int i : {2, 3, 4})
        EXPECT_LT(list(i)->geometry().bottom(), 0) << i;
    EXPECT_LT(txt(4)->geometry().bottom(), 0);
    EXPECT_FALSE(child<QFrame>("Frame1")->isEnabled());
    EXPECT_EQ(screen()->pos(), QPoint(2, 2));
    EXPECT_EQ(focused(), combo(1));
}

TEST_F(SalesEntryTest, DateButtonsStepTheSalesDateAndShowTheWeekday)
{
    ASSERT_NE(open(), nullptr);
    Click(cmd(0));
    EXPECT_EQ(ttl(7)->text(), QStringLiteral("2005年02月28日（月）"));
    Click(cmd(1));
    EXPECT_EQ(ttl(7)->text(), QStringLiteral("2005年02月27日（日）"));
    Click(cmd(3));
    Click(cmd(3));
    EXPECT_EQ(ttl(7)->text(), QStringLiteral("2005年03月01日（火）"));
    Click(cmd(4));
    EXPECT_EQ(ttl(7)->text(), QStringLiteral("2005年03月08日（火）"));
    EXPECT_EQ(G().SalesDate.date(), QDate(2005, 3, 8));

    setNow(QDateTime(QDate(2005, 5, 18), QTime(14, 0)));
    Click(cmd(2));
    EXPECT_EQ(ttl(7)->text(), QStringLiteral("2005年05月18日（水）"));
    EXPECT_EQ(G().SalesDate.date(), QDate(2005, 5, 18));
}

TEST_F(SalesEntryTest, EraSettingShowsTheEraForm)
{
    writeIni(QStringLiteral("Nengou=和暦\r\n"));
    setNow(QDateTime(QDate(2019, 5, 8), QTime(12, 0)));
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(ttl(7)->text(), QStringLiteral("令和01年05月08日（水）"));
    for (int i = 0; i < 2; ++i)
        Click(cmd(1));
    for (int i = 0; i < 6; ++i)
        Click(cmd(1));
    EXPECT_EQ(ttl(7)->text(), QStringLiteral("平成31年04月30日（火）"));
}

TEST_F(SalesEntryTest, NoMakersAtAll)
{
    addCustomer("山田 太郎", "ﾔﾏﾀﾞ ﾀﾛｳ");
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(combo(1)->count(), 0);
    EXPECT_EQ(combo(1)->currentIndex(), -1);
    EXPECT_EQ(combo(2)->count(), 0);
    EXPECT_EQ(list(3)->count(), 0);
    EXPECT_EQ(txt(0)->text(), QStringLiteral("0"));

    PressEnter(combo(1));
    EXPECT_EQ(focused(), combo(2));
    PressEnter(combo(2));
    EXPECT_EQ(focused(), txt(0));

    Click(cmd(100));
    EXPECT_EQ(message(), QStringLiteral("ブランド名を設定してください"));
    EXPECT_EQ(focused(), combo(1));
    EXPECT_EQ(salesCount(), 0);
}

TEST_F(SalesEntryTest, MakerWithoutProducts)
{
    addShop();
    ASSERT_NE(open(), nullptr);
    choose(combo(1), 1);
    EXPECT_EQ(combo(1)->currentText(), QStringLiteral("ルイ"));
    EXPECT_EQ(combo(2)->count(), 0);
    EXPECT_EQ(list(4)->count(), 0);
    EXPECT_FALSE(combo(2)->isEnabled());
    for (int i : {0, 1, 2})
        EXPECT_EQ(txt(i)->text(), QStringLiteral("0")) << i;
    EXPECT_EQ(total()->text(), QStringLiteral("0"));

    PressEnter(combo(1));
    EXPECT_EQ(focused(), txt(0));

    Click(cmd(100));
    EXPECT_EQ(message(), QStringLiteral("商品名を設定してください"));
    EXPECT_EQ(focused(), combo(1));

    // Back to a maker with products: the product list and its prices return.
    choose(combo(1), 0);
    EXPECT_TRUE(combo(2)->isEnabled());
    EXPECT_EQ(items(combo(2)), QStringList({"鞄", "財布"}));
    EXPECT_EQ(txt(1)->text(), QStringLiteral("¥25,000"));
    PressEnter(combo(1));
    EXPECT_EQ(focused(), combo(2));
}

TEST_F(SalesEntryTest, NoCustomers)
{
    addMaker("グッチョ", "ｸﾞｯﾁｮ");
    addProduct("グッチョ", "財布", "ｻｲﾌ", 15000, 12000);
    ASSERT_NE(open(), nullptr);
    EXPECT_FALSE(list(1)->isEnabled());
    EXPECT_EQ(list(1)->count(), 0);
    EXPECT_EQ(ttl(9)->text(), QString());

    TypeKeys(txt(3), QStringLiteral("ﾔﾏ"));
    EXPECT_EQ(ttl(9)->text(), QString());
    txt(3)->setFocus(Qt::TabFocusReason);
    PressEnter(txt(3));
    EXPECT_EQ(focused(), txt(5));

    type(2, "3");
    EXPECT_EQ(total()->text(), QStringLiteral("¥36,000"));
    Click(cmd(100));
    EXPECT_EQ(message(), QStringLiteral("購入者が未設定です"));
    EXPECT_EQ(focused(), txt(2));
    EXPECT_EQ(salesCount(), 0);
}

// The customers' readings kept from the last opening are taken again only while the file is as it
// was: a customer added, a reading changed to one of the same length, or a customer removed in the
// meantime, by any program, shows at the next opening.
TEST_F(SalesEntryTest, TheNextOpeningListsTheCustomersAsTheyAreNow)
{
    addShop();
    struct Case
    {
        const char* change;
        const char* names;
        const char* typed;
        const char* found;
    };
    const Case cases[] = {
        {"", "青木 花子|山田 太郎", "ﾔﾏ", "山田 太郎"},
        {"insert into Tb_顧客 (Fi_キー, Fi_名前, Fi_名前フリガナ) values (9, '伊藤 一郎', 'ｲﾄｳ ｲﾁﾛｳ')",
         "青木 花子|伊藤 一郎|山田 太郎", "ｲﾄ", "伊藤 一郎"},
        {"update Tb_顧客 set Fi_名前フリガナ = 'ﾜﾏﾀﾞ ﾀﾛｳ' where Fi_名前 = '山田 太郎'",
         "青木 花子|伊藤 一郎|山田 太郎", "ﾜﾏ", "山田 太郎"},
        {"delete from Tb_顧客 where Fi_キー = 9", "青木 花子|山田 太郎", "ｲﾄ", "青木 花子"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        if (*c.change)
            execute(QString::fromUtf8(c.change));
        ASSERT_NE(open(), nullptr);
        EXPECT_EQ(entries(1).join(QLatin1Char('|')), QString::fromUtf8(c.names));
        TypeKeys(txt(3), QString::fromUtf8(c.typed));
        EXPECT_EQ(ttl(9)->text(), QString::fromUtf8(c.found));
        CloseAllScreens();
    }
}

TEST_F(SalesEntryTest, ChoosingAProductCopiesItsPricesAndTheQuantityGivesTheTotal)
{
    addShop();
    ASSERT_NE(open(), nullptr);
    choose(combo(2), 1);
    EXPECT_EQ(combo(2)->currentText(), QStringLiteral("財布"));
    EXPECT_EQ(txt(0)->text(), QStringLiteral("¥15,000"));
    EXPECT_EQ(txt(1)->text(), QStringLiteral("¥12,000"));
    EXPECT_EQ(txt(2)->text(), QStringLiteral("0"));
    EXPECT_EQ(total()->text(), QStringLiteral("¥0"));

    // Entering a price box shows its bare digits, fully selected; leaving formats it again.
    txt(1)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(txt(1)->text(), QStringLiteral("12000"));
    EXPECT_EQ(txt(1)->selectedText(), QStringLiteral("12000"));
    EXPECT_TRUE(txt(1)->alignment() & Qt::AlignLeft);
    PressEnter(txt(1));
    EXPECT_EQ(focused(), txt(2));
    EXPECT_EQ(txt(1)->text(), QStringLiteral("¥12,000"));
    EXPECT_TRUE(txt(1)->alignment() & Qt::AlignRight);

    EXPECT_EQ(txt(2)->selectedText(), QStringLiteral("0"));
    TypeKeys(txt(2), "3");
    PressEnter(txt(2));
    EXPECT_EQ(focused(), txt(3));
    EXPECT_EQ(txt(2)->text(), QStringLiteral("3"));
    EXPECT_EQ(total()->text(), QStringLiteral("¥36,000"));

    type(2, "1234");
    EXPECT_EQ(txt(2)->text(), QStringLiteral("1,234"));
    EXPECT_EQ(total()->text(), QStringLiteral("¥14,808,000"));

    // Choosing the product again copies its prices afresh and resets the quantity.
    type(1, "9000");
    choose(combo(2), 0);
    choose(combo(2), 1);
    EXPECT_EQ(txt(1)->text(), QStringLiteral("¥12,000"));
    EXPECT_EQ(txt(2)->text(), QStringLiteral("0"));
    EXPECT_EQ(total()->text(), QStringLiteral("¥0"));
}

TEST_F(SalesEntryTest, AmountsAreCappedAtEightDigitsAndTheEstimateSaysOver)
{
    addShop();
    ASSERT_NE(open(), nullptr);
    type(1, "1234567890");
    EXPECT_EQ(txt(1)->text(), QStringLiteral("¥99,999,999"));
    // A quantity of 0 counts as one digit: 8 + 1 is over.
    EXPECT_EQ(total()->text(), QStringLiteral("Over"));
    type(2, "2");
    EXPECT_EQ(total()->text(), QStringLiteral("¥199,999,998"));
    type(2, "4");
    EXPECT_EQ(total()->text(), QStringLiteral("Over"));
    Click(cmd(100));
    EXPECT_EQ(message(), QStringLiteral("売価合計がエラーです"));
    EXPECT_EQ(focused(), txt(2));

    type(2, "0");
    type(1, "31622777");
    EXPECT_EQ(total()->text(), QStringLiteral("Over"));
    type(1, "31622776");
    EXPECT_EQ(total()->text(), QStringLiteral("¥0"));

    // Ten digits typed into the quantity become 99999999 as well.
    type(1, "3");
    type(2, "12345678901");
    EXPECT_EQ(txt(2)->text(), QStringLiteral("99,999,999"));
    EXPECT_EQ(total()->text(), QStringLiteral("¥299,999,997"));
}

TEST_F(SalesEntryTest, AnyCharactersTypedAreReducedToTheirDigits)
{
    addShop();
    addMaker("Ａ", "ｱ");
    ASSERT_NE(open(), nullptr);
    choose(combo(1), 1); // グッチョ, after Ａ
    type(0, "1,280");
    EXPECT_EQ(txt(0)->text(), QStringLiteral("¥1,280"));
    type(1, "¥1.000-");
    EXPECT_EQ(txt(1)->text(), QStringLiteral("¥1,000"));
    type(2, "-2");
    EXPECT_EQ(txt(2)->text(), QStringLiteral("2"));
    EXPECT_EQ(total()->text(), QStringLiteral("¥2,000"));
    type(2, "abc");
    EXPECT_EQ(txt(2)->text(), QStringLiteral("0"));
    Click(cmd(100));
    EXPECT_EQ(message(), QStringLiteral("数量を入力してください"));

    type(2, "x3");
    registerAnswering(DialogService::Answer::Yes);
    Database db(dbPath());
    Query q(db, "select Fi_定価, Fi_売価, Fi_数量, Fi_売価合計 from Tb_売上");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.amount("Fi_定価"), 1280);
    EXPECT_EQ(q.amount("Fi_売価"), 1000);
    EXPECT_EQ(q.amount("Fi_数量"), 3);
    EXPECT_EQ(q.amount("Fi_売価合計"), 3000);
}

// Types a reading into the search box as the user does and reads the purchaser it chose.
class SearchingTest : public SalesEntryTest
{
  protected:
    QString search(const QString& text)
    {
        txt(3)->selectAll();
        if (text.isEmpty())
            QTest::keyClick(txt(3), Qt::Key_Backspace);
        else
            TypeKeys(txt(3), text);
        EXPECT_EQ(ttl(9)->text(), list(1)->currentItem() ? list(1)->currentItem()->text() : QString());
        return ttl(9)->text();
    }
};

class ReadingSearchTest : public SearchingTest
{
  protected:
    void SetUp() override
    {
        SearchingTest::SetUp();
        addCustomer("山田", "ﾔﾏﾀﾞ");
        addCustomer("田中山", "ﾀﾅｶﾔﾏ");
        addCustomer("青木", "ｱｵｷ");
        addCustomer("城島", "ｼﾞｮｳｼﾞﾏ");
        addCustomer("学校", "ｶﾂｺｳ");
        addCustomer("田中", "ﾀﾅｶ");
        addCustomer("佐々木", "ｻｻｷ");
        ASSERT_NE(open(), nullptr);
        ASSERT_EQ(entries(1), QStringList({"青木", "学校", "佐々木", "城島", "田中", "田中山", "山田"}));
        txt(3)->setFocus(Qt::TabFocusReason);
    }
};

TEST_F(ReadingSearchTest, PrefixSelectsTheFirstCustomerWhoseReadingStartsWithIt)
{
    EXPECT_EQ(search("ﾀ"), QStringLiteral("田中"));
    EXPECT_EQ(search("ﾀﾅｶ"), QStringLiteral("田中"));
    EXPECT_EQ(search("ﾀﾅｶﾔ"), QStringLiteral("田中山"));
    EXPECT_EQ(search("ｻ"), QStringLiteral("佐々木"));
}

TEST_F(ReadingSearchTest, GapSelectsTheEntryBeforeItAndPastTheEndTheLast)
{
    EXPECT_EQ(search("ｷ"), QStringLiteral("学校"));
    EXPECT_EQ(search("ﾀﾅｷ"), QStringLiteral("田中山"));
    EXPECT_EQ(search("ｱｱ"), QStringLiteral("青木"));
    EXPECT_EQ(search("ﾝ"), QStringLiteral("山田"));
    EXPECT_EQ(search(""), QStringLiteral("青木"));
    EXPECT_EQ(txt(3)->text(), QString());
}

TEST_F(ReadingSearchTest, VoicedMarksAndSmallKanaAreFolded)
{
    EXPECT_EQ(search("ｶﾞｯｺｳ"), QStringLiteral("学校"));
    EXPECT_EQ(search("ｶｯｺｳ"), QStringLiteral("学校"));
    EXPECT_EQ(search("ｼｮｳｼﾞ"), QStringLiteral("城島"));
    EXPECT_EQ(search("ﾔﾏﾀ"), QStringLiteral("山田"));
    EXPECT_EQ(search("  ﾔﾏﾀﾞ "), QStringLiteral("山田"));
}

TEST_F(ReadingSearchTest, EveryKeystrokeSearchesAgainAndTheInputMethodCommitCounts)
{
    QTest::keyClick(txt(3), Qt::Key_Backspace);
    TypeKeys(txt(3), QStringLiteral("ﾀ"));
    EXPECT_EQ(ttl(9)->text(), QStringLiteral("田中"));
    TypeKeys(txt(3), QStringLiteral("ﾅｶﾔ"));
    EXPECT_EQ(ttl(9)->text(), QStringLiteral("田中山"));
    QTest::keyClick(txt(3), Qt::Key_Backspace);
    EXPECT_EQ(ttl(9)->text(), QStringLiteral("田中"));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(txt(3), Qt::Key_Backspace);
    EXPECT_EQ(ttl(9)->text(), QStringLiteral("青木"));

    // Hiragana committed through the input method arrive as half-width katakana.
    QInputMethodEvent composing(QStringLiteral("がっこう"), {});
    QApplication::sendEvent(txt(3), &composing);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("がっこう"));
    QApplication::sendEvent(txt(3), &commit);
    EXPECT_EQ(txt(3)->text(), QStringLiteral("ｶﾞｯｺｳ"));
    EXPECT_EQ(ttl(9)->text(), QStringLiteral("学校"));

    // Clicking another customer in the list chooses that one.
    QListWidget* customers = list(1);
    const QRect row = customers->visualItemRect(customers->item(2));
    QTest::mouseClick(customers->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(ttl(9)->text(), QStringLiteral("佐々木"));
}

TEST_F(SalesEntryTest, RegistrationSavesAndKeepsAllButQuantityAndTotal)
{
    addShop();
    ASSERT_NE(open(), nullptr);
    choose(combo(2), 1);
    type(2, "3");
    type(5, "贈答用");
    bool noticeShown = false;
    waits->during = [&] {
        noticeShown = ttl(12)->isVisible() && ttl(13)->isVisible() && !cmd(100)->isEnabled();
        EXPECT_EQ(ttl(12)->text(), QStringLiteral("登録完了"));
    };
    registerAnswering(DialogService::Answer::Yes);
    EXPECT_TRUE(noticeShown);
    EXPECT_EQ(waits->waits, std::vector<int>{1000});
    EXPECT_FALSE(ttl(12)->isVisible());
    EXPECT_FALSE(ttl(13)->isVisible());
    EXPECT_TRUE(cmd(100)->isEnabled());
    EXPECT_EQ(salesCount(), 1);

    EXPECT_EQ(txt(2)->text(), QStringLiteral("0"));
    EXPECT_EQ(total()->text(), QStringLiteral("0"));
    EXPECT_EQ(combo(1)->currentText(), QStringLiteral("グッチョ"));
    EXPECT_EQ(combo(2)->currentText(), QStringLiteral("財布"));
    EXPECT_EQ(txt(0)->text(), QStringLiteral("¥15,000"));
    EXPECT_EQ(txt(1)->text(), QStringLiteral("¥12,000"));
    EXPECT_EQ(ttl(9)->text(), QStringLiteral("青木 花子"));
    EXPECT_EQ(txt(5)->text(), QStringLiteral("贈答用"));
    EXPECT_EQ(ttl(7)->text(), QStringLiteral("2005年03月07日（月）"));
    EXPECT_EQ(focused(), combo(1));

    // The second press without a new quantity is refused.
    Click(cmd(100));
    EXPECT_EQ(message(), QStringLiteral("数量を入力してください"));
    EXPECT_EQ(focused(), txt(2));
    EXPECT_EQ(salesCount(), 1);

    type(2, "1");
    EXPECT_EQ(message(), QStringLiteral("数量を入力してください"));
    registerAnswering(DialogService::Answer::Yes);
    EXPECT_EQ(message(), QString());
    EXPECT_EQ(salesCount(), 2);
}

TEST_F(SalesEntryTest, TheStoredRowHoldsEveryFieldAndTheRealSaveTime)
{
    addShop();
    ASSERT_NE(open(), nullptr);
    for (int i = 0; i < 3; ++i)
        Click(cmd(0));
    EXPECT_EQ(ttl(7)->text(), QStringLiteral("2005年02月14日（月）"));
    choose(combo(2), 1);
    type(2, "3");
    TypeKeys(txt(3), QStringLiteral("ﾔﾏ"));
    EXPECT_EQ(ttl(9)->text(), QStringLiteral("山田 太郎"));
    txt(5)->setFocus(Qt::TabFocusReason);
    TypeKeys(txt(5), QStringLiteral("  贈答用 "));
    setNow(QDateTime(QDate(2005, 3, 7), QTime(18, 40, 9)));
    registerAnswering(DialogService::Answer::Yes);

    Database db(dbPath());
    Query q(db, "select * from Tb_売上");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.integer("Fi_キー"), 1);
    EXPECT_EQ(q.text("Fi_購入年"), QStringLiteral("2005"));
    EXPECT_EQ(q.text("Fi_購入年月"), QStringLiteral("200502"));
    EXPECT_EQ(q.text("Fi_購入年月日"), QStringLiteral("20050214"));
    EXPECT_EQ(q.text("Fi_メーカー"), QStringLiteral("グッチョ"));
    EXPECT_EQ(q.text("Fi_メーカーフリガナ"), QStringLiteral("ｸﾞｯﾁｮ"));
    EXPECT_EQ(q.text("Fi_商品"), QStringLiteral("財布"));
    EXPECT_EQ(q.text("Fi_商品フリガナ"), QStringLiteral("ｻｲﾌ"));
    EXPECT_EQ(q.amount("Fi_定価"), 15000);
    EXPECT_EQ(q.amount("Fi_売価"), 12000);
    EXPECT_EQ(q.amount("Fi_数量"), 3);
    EXPECT_EQ(q.amount("Fi_売価合計"), 36000);
    EXPECT_EQ(q.text("Fi_購入者"), QStringLiteral("山田 太郎"));
    EXPECT_EQ(q.text("Fi_購入者フリガナ"), QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ"));
    EXPECT_EQ(q.text("Fi_備考"), QStringLiteral("贈答用"));
    EXPECT_EQ(q.text("Fi_最終更新年"), QStringLiteral("2005"));
    EXPECT_EQ(q.text("Fi_最終更新月"), QStringLiteral("03"));
    EXPECT_EQ(q.text("Fi_最終更新日"), QStringLiteral("07"));
    EXPECT_EQ(q.text("Fi_最終更新時"), QStringLiteral("18"));
    EXPECT_EQ(q.text("Fi_最終更新分"), QStringLiteral("40"));
    EXPECT_EQ(q.text("Fi_最終更新秒"), QStringLiteral("09"));
    EXPECT_FALSE(q.next());
}

TEST_F(SalesEntryTest, AnsweringNoChangesNothing)
{
    addShop();
    ASSERT_NE(open(), nullptr);
    Click(cmd(4));
    choose(combo(2), 1);
    type(0, "16000");
    type(2, "2");
    TypeKeys(txt(3), QStringLiteral("ﾔ"));
    txt(5)->setFocus(Qt::TabFocusReason);
    TypeKeys(txt(5), QStringLiteral("予約"));
    registerAnswering(DialogService::Answer::No);

    EXPECT_EQ(salesCount(), 0);
    EXPECT_TRUE(waits->waits.empty());
    EXPECT_EQ(ttl(7)->text(), QStringLiteral("2005年03月14日（月）"));
    EXPECT_EQ(combo(1)->currentText(), QStringLiteral("グッチョ"));
    EXPECT_EQ(combo(2)->currentText(), QStringLiteral("財布"));
    EXPECT_EQ(txt(0)->text(), QStringLiteral("¥16,000"));
    EXPECT_EQ(txt(1)->text(), QStringLiteral("¥12,000"));
    EXPECT_EQ(txt(2)->text(), QStringLiteral("2"));
    EXPECT_EQ(total()->text(), QStringLiteral("¥24,000"));
    EXPECT_EQ(txt(3)->text(), QStringLiteral("ﾔ"));
    EXPECT_EQ(ttl(9)->text(), QStringLiteral("山田 太郎"));
    EXPECT_EQ(txt(5)->text(), QStringLiteral("予約"));
    EXPECT_EQ(message(), QString());
    EXPECT_EQ(focused(), combo(1));
}

TEST_F(SalesEntryTest, KeysStartAtOneAndFollowTheLargest)
{
    addShop();
    ASSERT_NE(open(), nullptr);
    type(2, "1");
    registerAnswering(DialogService::Answer::Yes);
    {
        Database db(dbPath());
        Query q(db, "select Fi_キー from Tb_売上");
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.integer(0), 1);
        RowValues().set("Fi_キー", 41).set("Fi_購入年", "2004").insertInto(db, "Tb_売上");
        RowValues().set("Fi_キー", 7).set("Fi_購入年", "2004").insertInto(db, "Tb_売上");
    }
    type(2, "1");
    registerAnswering(DialogService::Answer::Yes);
    Database db(dbPath());
    Query q(db, "select Fi_キー from Tb_売上 where Fi_購入年 = '2005' order by Fi_キー");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.integer(0), 1);
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.integer(0), 42);
}

TEST_F(SalesEntryTest, NamesWithQuotesFindTheirProductsAndPrices)
{
    addMaker("O'Neil", "ｵﾆｰﾙ");
    addProduct("O'Neil", "Rock'n'Roll", "ﾛｯｸﾝﾛｰﾙ", 8800, 7700);
    addProduct("O'Neil", "' or 1=1 --", "ｱ", 100, 90);
    addMaker("Other", "ﾝ");
    addProduct("Other", "Rock'n'Roll", "ﾛｯｸﾝﾛｰﾙ", 1, 1);
    addCustomer("山田 太郎", "ﾔﾏﾀﾞ ﾀﾛｳ");
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(items(combo(2)), QStringList({"' or 1=1 --", "Rock'n'Roll"}));
    EXPECT_EQ(txt(1)->text(), QStringLiteral("¥90"));
    choose(combo(2), 1);
    EXPECT_EQ(txt(0)->text(), QStringLiteral("¥8,800"));
    EXPECT_EQ(txt(1)->text(), QStringLiteral("¥7,700"));
    type(2, "1");
    registerAnswering(DialogService::Answer::Yes);
    Database db(dbPath());
    Query q(db, "select Fi_メーカー, Fi_商品, Fi_売価合計 from Tb_売上");
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.text(0), QStringLiteral("O'Neil"));
    EXPECT_EQ(q.text(1), QStringLiteral("Rock'n'Roll"));
    EXPECT_EQ(q.integer(2), 7700);
}

TEST_F(SalesEntryTest, AProductDeletedMeanwhileGivesPricesOfZero)
{
    addShop();
    ASSERT_NE(open(), nullptr);
    {
        Database db(dbPath());
        db.execute("delete from Tb_商品 where Fi_商品 = ?", {QStringLiteral("財布")});
    }
    choose(combo(2), 1);
    EXPECT_EQ(txt(0)->text(), QStringLiteral("¥0"));
    EXPECT_EQ(txt(1)->text(), QStringLiteral("¥0"));
    EXPECT_EQ(total()->text(), QStringLiteral("¥0"));
    Click(cmd(100));
    EXPECT_EQ(message(), QStringLiteral("定価を入力してください"));
    EXPECT_EQ(focused(), txt(0));
}

TEST_F(SalesEntryTest, AMissingDatabaseIsReportedAndTheScreenStaysUsable)
{
    addShop();
    ASSERT_TRUE(QFile::rename(dbPath(), dbPath() + ".away"));
    dialogs->expect(ShownBox::Kind::Failure, "Frm080_Qel", {});
    ASSERT_NE(open(), nullptr);
    ASSERT_EQ(dialogs->shown().size(), 1u) << "one failure, one message";
    EXPECT_TRUE(dialogs->shown().front().text.contains(QStringLiteral("見つかりません")));
    EXPECT_EQ(combo(1)->count(), 0);
    EXPECT_FALSE(list(1)->isEnabled());
    Click(cmd(100));
    EXPECT_EQ(message(), QStringLiteral("ブランド名を設定してください"));

    Click(cmd(103));
    bool menuShown = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        menuShown = menuShown || (qobject_cast<Frm010_Qel*>(w) && w->isVisible());
    EXPECT_TRUE(menuShown);
}

TEST_F(SalesEntryTest, AFailedSaveIsReportedAndNothingIsWritten)
{
    addShop();
    ASSERT_NE(open(), nullptr);
    type(2, "3");
    {
        Database db(dbPath());
        db.execute(
            "create trigger Tr_refuse before insert on Tb_売上 begin select raise(abort, 'disk full'); end");
    }
    dialogs->expectQuestion(kQuestion, DialogService::Answer::Yes);
    dialogs->expect(ShownBox::Kind::Failure, "Frm080_Qel", {});
    Click(cmd(100));
    EXPECT_TRUE(dialogs->shown().back().text.contains(QStringLiteral("disk full")));
    EXPECT_TRUE(waits->waits.empty());
    EXPECT_EQ(txt(2)->text(), QStringLiteral("3"));
    EXPECT_EQ(total()->text(), QStringLiteral("¥75,000"));
    EXPECT_TRUE(cmd(100)->isEnabled());
    EXPECT_EQ(focused(), combo(1));
    {
        Database db(dbPath());
        db.execute("drop trigger Tr_refuse");
        EXPECT_EQ(db.count("Tb_売上"), 0);
    }
    registerAnswering(DialogService::Answer::Yes);
    EXPECT_EQ(salesCount(), 1);
}

TEST_F(SalesEntryTest, EnterFollowsTheScreensOrderAndIsSwallowed)
{
    addShop();
    ASSERT_NE(open(), nullptr);
    txt(5)->setText(QStringLiteral("備考"));
    QWidget* const order[] = {combo(1), combo(2), txt(0), txt(1), txt(2), txt(3), list(1), txt(5), combo(1)};
    for (int i = 0; i + 1 < static_cast<int>(std::size(order)); ++i) {
        ASSERT_EQ(focused(), order[i]) << i;
        PressEnter(order[i]);
    }
    EXPECT_EQ(focused(), combo(1));
    EXPECT_EQ(txt(5)->text(), QStringLiteral("備考"));
    EXPECT_EQ(txt(3)->text(), QString());
}

TEST_F(SalesEntryTest, TheCustomerListIsWhiteOnlyWhileItHasTheFocus)
{
    addShop();
    ASSERT_NE(open(), nullptr);
    const auto base = [&] { return list(1)->palette().color(QPalette::Base); };
    EXPECT_EQ(base(), QColor(224, 224, 224));
    list(1)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(base(), QColor(255, 255, 255));
    PressEnter(list(1));
    EXPECT_EQ(focused(), txt(5));
    EXPECT_EQ(base(), QColor(224, 224, 224));
}

TEST_F(SalesEntryTest, TheCloseBoxIsRefusedAndCloseGoesBackToTheMenu)
{
    addShop();
    Screens().open("Frm010_Qel");
    Frm010_Qel* menu = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<Frm010_Qel*>(w); m && m->isVisible())
            menu = m;
    ASSERT_NE(menu, nullptr);
    auto* salesButton = menu->findChild<QPushButton*>("Cmd_4");
    ASSERT_NE(salesButton, nullptr);
    Click(salesButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<Frm080_Qel*>(w); f && f->isVisible())
            useScreen(f);
    ASSERT_NE(screen(), nullptr);
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm010_Qel"));
    QApplication::setActiveWindow(screen());

    EXPECT_FALSE(screen()->close());
    EXPECT_TRUE(screen()->isVisible());

    type(2, "2");
    Click(cmd(103));
    EXPECT_FALSE(screen()->isVisible());
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm080_Qel"));
    EXPECT_EQ(salesCount(), 0);
    bool menuShown = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        menuShown = menuShown || (qobject_cast<Frm010_Qel*>(w) && w->isVisible());
    EXPECT_TRUE(menuShown);
}

// Folding can put the readings out of order (ｶﾞｱ sorts after ｶｲ, but folds to ｶｱ before it). The
// search still stops where the walk from the top stops: at the first reading that does not sort
// before the typed text.
TEST_F(SearchingTest, WhereFoldingReordersTheReadingsTheWalkFromTheTopDecides)
{
    const char* const customers[][2] = {{"一郎", "ｱｲ"},  {"二郎", "ｶｲ"}, {"三郎", "ｶﾞｱ"},
                                        {"四郎", "ｶﾞﾝ"}, {"五郎", "ｻｲ"}, {"六郎", "ｻﾞｱ"}};
    for (const auto& c : customers)
        addCustomer(QString::fromUtf8(c[0]), QString::fromUtf8(c[1]));
    ASSERT_NE(open(), nullptr);
    ASSERT_EQ(entries(1), QStringList({"一郎", "二郎", "三郎", "四郎", "五郎", "六郎"}));
    txt(3)->setFocus(Qt::TabFocusReason);
    const char* const cases[][2] = {
        {"ｶｱ", "一郎"}, // ｶｲ comes first and sorts after: the one before it
        {"ｶﾞｱ", "一郎"}, {"ｶﾝ", "四郎"}, {"ｻｱ", "四郎"}, {"ｶ", "二郎"}, {"ﾀ", "六郎"}, {"", "一郎"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(search(QString::fromUtf8(c[0])), QString::fromUtf8(c[1])) << c[0];
}

// A long list reads its names as they are needed: a reading far down shows that customer, and
// a database gone meanwhile is reported once and chooses no name.
TEST_F(SearchingTest, NamesFarDownAreReadWhenFoundAndAFailureIsReportedOnce)
{
    execute(QStringLiteral("with recursive n(k) as (select 1 union all select k + 1 from n where k < 300) "
                           "insert into Tb_顧客 (Fi_キー, Fi_名前, Fi_名前フリガナ) "
                           "select 301 - k, '顧客' || printf('%03d', k), 'ｺｷｬｸ' || ") +
            KanaDigitsSql(QStringLiteral("printf('%03d', k)")) + QStringLiteral(" from n"));
    ASSERT_NE(open(), nullptr);
    ASSERT_EQ(list(1)->count(), 300);
    txt(3)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(search(QStringLiteral("ｺｷｬｸ") + KanaDigits(QStringLiteral("250"))), QStringLiteral("顧客250"));
    EXPECT_EQ(list(1)->currentRow(), 249);

    ASSERT_TRUE(QFile::rename(dbPath(), dbPath() + ".away"));
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm080_Qel"), {});
    EXPECT_EQ(search(QStringLiteral("ｺｷｬｸ") + KanaDigits(QStringLiteral("100"))), QString());
    ASSERT_TRUE(PollUntil([this] { return !dialogs->shown().empty(); }, 3000, "the warning"));
    EXPECT_EQ(search(QStringLiteral("ｺｷｬｸ") + KanaDigits(QStringLiteral("140"))), QString());
    QApplication::processEvents();
    EXPECT_EQ(dialogs->shown().size(), 1u);
    EXPECT_EQ(search(QStringLiteral("ｺｷｬｸ") + KanaDigits(QStringLiteral("251"))), QStringLiteral("顧客251"))
        << "names read before stay";
    ASSERT_TRUE(QFile::rename(dbPath() + ".away", dbPath()));
}

} // namespace
