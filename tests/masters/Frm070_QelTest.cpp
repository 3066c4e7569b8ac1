#include "MastersTestSupport.h"

#include "masters/Frm070_Qel.h"
#include "masters/MakerStore.h"
#include "masters/ProductStore.h"

#include "core/TextRoutines.h"

#include <QFile>
#include <QScrollBar>

namespace {

class ProductScreenTest : public MastersFixture
{
  protected:
    QWidget* open() { return openFromMenu(QStringLiteral("Frm070_Qel")); }

    static std::int32_t addProduct(const QString& maker, const QString& makerReading, const QString& name,
                                   const QString& reading, Amount listPrice, Amount sellPrice)
    {
        ProductRow p;
        p.maker = maker;
        p.makerReading = makerReading;
        p.name = name;
        p.reading = reading;
        p.listPrice = listPrice;
        p.sellingPrice = sellPrice;
        return ProductStore().add(p);
    }

    // Chooses a maker in the drop-down with the keyboard, as the user does.
    void chooseMaker(int index)
    {
        combo()->setFocus(Qt::TabFocusReason);
        if (combo()->currentIndex() < 0)
            QTest::keyClick(combo(), Qt::Key_Home);
        while (combo()->currentIndex() < index)
            QTest::keyClick(combo(), Qt::Key_Down);
        while (combo()->currentIndex() > index)
            QTest::keyClick(combo(), Qt::Key_Up);
    }

    // Maker and product as the database holds them, in key order.
    QString products() const
    {
        Database db;
        Query q(db, QStringLiteral("select * from Tb_商品 order by Fi_キー"));
        QStringList out;
        while (q.next())
            out << QStringLiteral("%1/%2/%3/%4/%5/%6")
                       .arg(q.text("Fi_メーカー"), q.text("Fi_メーカーフリガナ"), q.text("Fi_商品"),
                            q.text("Fi_商品フリガナ"))
                       .arg(q.amount("Fi_定価"))
                       .arg(q.amount("Fi_売価"));
        return out.join(QLatin1Char(','));
    }
};

TEST_F(ProductScreenTest, WithoutMakersEveryAddStopsAtTheMakerCheck)
{
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(screen()->windowTitle(), QStringLiteral("商品名一覧"));
    EXPECT_EQ(ttl(14)->text(), QStringLiteral("商品名一覧"));
    EXPECT_EQ(ttl(0)->text(), QStringLiteral("ブランド名"));
    EXPECT_EQ(grid()->rows(), 2);
    EXPECT_EQ(grid()->cols(), 8);
    for (int c : {1, 5, 6, 7})
        EXPECT_TRUE(grid()->isColumnHidden(c - 1)) << c;
    EXPECT_EQ(grid()->textMatrix(0, 2), QStringLiteral("商品名"));
    EXPECT_EQ(grid()->textMatrix(0, 3), QStringLiteral("定価"));
    EXPECT_EQ(grid()->textMatrix(0, 4), QStringLiteral("売価"));
    EXPECT_EQ(combo()->count(), 0);
    EXPECT_EQ(actions(), "000");

    enter(txt(0), QStringLiteral("バッグ"));
    enter(txt(1), QStringLiteral("ﾊﾞｯｸﾞ"));
    enter(txt(2), QStringLiteral("1000"));
    enter(txt(3), QStringLiteral("900"));
    EXPECT_EQ(actions(), "100");
    Click(cmd(0));
    EXPECT_EQ(ttl(11)->text(), QStringLiteral("ブランド名を設定してください"));
    EXPECT_EQ(QApplication::focusWidget(), combo());
    EXPECT_EQ(products(), QString());
}

TEST_F(ProductScreenTest, ChecksInTheirOrder)
{
    MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｱﾙﾌｧ")});
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(combo()->currentIndex(), -1) << "the drop-down starts without a selection";
    chooseMaker(0);
    EXPECT_EQ(actions(), "100");
    Click(cmd(0));
    EXPECT_EQ(ttl(11)->text(), QStringLiteral("商品名を入力してください"));
    EXPECT_EQ(QApplication::focusWidget(), txt(0));
    // Typed without the input method, the name brings no reading.
    enter(txt(0), QStringLiteral("Bag"));
    Click(cmd(0));
    EXPECT_EQ(ttl(11)->text(), QStringLiteral("フリガナを入力してください"));
    EXPECT_EQ(QApplication::focusWidget(), txt(1));
    enter(txt(1), QStringLiteral("ﾊﾞｯｸﾞ"));
    Click(cmd(0));
    EXPECT_EQ(ttl(11)->text(), QStringLiteral("定価を入力してください"));
    EXPECT_EQ(QApplication::focusWidget(), txt(2));
    enter(txt(2), QStringLiteral("abc"));
    Click(cmd(0));
    EXPECT_EQ(ttl(11)->text(), QStringLiteral("定価を入力してください")) << "no digits is no price";
    enter(txt(2), QStringLiteral("1200"));
    Click(cmd(0));
    EXPECT_EQ(ttl(11)->text(), QStringLiteral("売価を入力してください"));
    EXPECT_EQ(QApplication::focusWidget(), txt(3));
    EXPECT_EQ(products(), QString());

    enter(txt(3), QStringLiteral("1100"));
    Click(cmd(0));
    EXPECT_EQ(ttl(11)->text(), QString());
    EXPECT_EQ(products(), QStringLiteral("アルファ/ｱﾙﾌｧ/Bag/ﾊﾞｯｸﾞ/1200/1100"));
    EXPECT_EQ(grid()->textMatrix(1, 3), QStringLiteral("¥1,200"));
    EXPECT_EQ(grid()->textMatrix(1, 4), QStringLiteral("¥1,100"));
    EXPECT_EQ(grid()->cellAlignment(1, 3), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(ttl(1)->text(), QStringLiteral("アルファ"));
    EXPECT_EQ(waits->waits, std::vector<int>{1000});
}

TEST_F(ProductScreenTest, PriceBoxesShowBareDigitsInsideAndYenOutside)
{
    MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｱﾙﾌｧ")});
    addProduct(QStringLiteral("アルファ"), QStringLiteral("ｱﾙﾌｧ"), QStringLiteral("バッグ"),
               QStringLiteral("ﾊﾞｯｸﾞ"), 15000, 12000);
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(txt(2)->text(), QStringLiteral("¥15,000"));
    EXPECT_EQ(txt(2)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);

    txt(2)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(txt(2)->text(), QStringLiteral("15000"));
    EXPECT_EQ(txt(2)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(txt(2)->selectedText(), QStringLiteral("15000"));
    QTest::keyClick(txt(2), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), txt(3));
    EXPECT_EQ(txt(2)->text(), QStringLiteral("¥15,000"));
    EXPECT_EQ(txt(2)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(actions(), "001") << "entering and leaving without a change edits nothing";

    QTest::keyClick(txt(3), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), combo());
    QTest::keyClick(combo(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), txt(0));
    QTest::keyClick(txt(0), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), txt(1));
    QTest::keyClick(txt(1), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), txt(2));
}

TEST_F(ProductScreenTest, TypedPricesAreReadByTheirDigitsAndShownAsStored)
{
    MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｱﾙﾌｧ")});
    ASSERT_NE(open(), nullptr);
    struct Case
    {
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {"1,280", "¥1,280"},
        {"¥2,000", "¥2,000"},
        {"\\3000", "¥3,000"},
        {"-500", "¥500"},
        {"123456789", "¥99,999,999"},
        {"99999999", "¥99,999,999"},
        {"00012345678", "¥12,345,678"},
        {"0", "¥0"},
        {"", "¥0"},
    };
    for (const Case& c : cases) {
        enter(txt(2), QString::fromUtf8(c.typed));
        txt(3)->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(txt(2)->text(), QString::fromUtf8(c.shown)) << c.typed;
        txt(2)->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(txt(2)->text(), NumOnly(QString::fromUtf8(c.shown))) << c.typed;
    }
    // A price box takes direct input: full-width digits that still arrive are narrowed on entry,
    // so they count as the digits they show.
    enter(txt(2), QStringLiteral("１２３"));
    txt(3)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(txt(2)->text(), QStringLiteral("¥123"));

    chooseMaker(0);
    enter(txt(0), QStringLiteral("時計"));
    enter(txt(1), QStringLiteral("ﾄｹｲ"));
    enter(txt(2), QStringLiteral("123456789"));
    enter(txt(3), QStringLiteral("1,280"));
    Click(cmd(0));
    EXPECT_EQ(products(), QStringLiteral("アルファ/ｱﾙﾌｧ/時計/ﾄｹｲ/99999999/1280"));
    EXPECT_EQ(grid()->textMatrix(1, 3), QStringLiteral("¥99,999,999"));
    EXPECT_EQ(grid()->textMatrix(1, 4), QStringLiteral("¥1,280"));
    EXPECT_EQ(BoxAmount(QStringLiteral(" ¥12,345,678 ")), 12345678);
}

TEST_F(ProductScreenTest, ChangingOnlyTheSellingPriceEnablesAddAndCorrect)
{
    MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｱﾙﾌｧ")});
    const std::int32_t key = addProduct(QStringLiteral("アルファ"), QStringLiteral("ｱﾙﾌｧ"),
                                        QStringLiteral("バッグ"), QStringLiteral("ﾊﾞｯｸﾞ"), 15000, 12000);
    {
        Database db;
        db.execute(QStringLiteral("insert into Tb_売上 (Fi_キー, Fi_商品, Fi_売価) values (1, ?, 12000)"),
                   {QStringLiteral("バッグ")});
    }
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(combo()->currentText(), QStringLiteral("アルファ"));
    EXPECT_EQ(actions(), "001");
    enter(txt(3), QStringLiteral("9800"));
    EXPECT_EQ(actions(), "001") << "typing alone compares the price at entry";
    QTest::keyClick(txt(3), Qt::Key_Return);
    EXPECT_EQ(txt(3)->text(), QStringLiteral("¥9,800"));
    EXPECT_EQ(actions(), "111");

    dialogs->expectQuestion(QStringLiteral("修正前の商品情報で、すでにに売上情報が登録されている場合\n"
                                           "売上入力等で商品情報が設定できなくなる可能性があります\n\n"
                                           "修正登録を行いますか"),
                            DialogService::Answer::No);
    Click(cmd(1));
    EXPECT_EQ(products(), QStringLiteral("アルファ/ｱﾙﾌｧ/バッグ/ﾊﾞｯｸﾞ/15000/12000"));
    EXPECT_EQ(actions(), "111") << "No changes nothing";

    dialogs->expectQuestion({}, DialogService::Answer::Yes);
    Click(cmd(1));
    EXPECT_EQ(ttl(12)->text(), QStringLiteral("修正完了"));
    EXPECT_EQ(products(), QStringLiteral("アルファ/ｱﾙﾌｧ/バッグ/ﾊﾞｯｸﾞ/15000/9800"));
    EXPECT_EQ(column("Tb_売上", "cast(Fi_売価 as integer)"), QStringLiteral("12000"))
        << "sales keep their price";
    EXPECT_EQ(grid()->textMatrix(1, 4), QStringLiteral("¥9,800"));
    EXPECT_EQ(txt(4)->text(), QString::number(key));
    EXPECT_EQ(actions(), "001");
    EXPECT_TRUE(grid()->hasFocus());
}

TEST_F(ProductScreenTest, AProductOfARenamedMakerShowsNoMakerUntilOneIsChosen)
{
    MakerStore().add({.name = QStringLiteral("新名"), .reading = QStringLiteral("ｼﾝﾒｲ")});
    MakerStore().add({.name = QStringLiteral("別"), .reading = QStringLiteral("ﾍﾞﾂ")});
    addProduct(QStringLiteral("旧名"), QStringLiteral("ｷｭｳﾒｲ"), QStringLiteral("財布"), QStringLiteral("ｻｲﾌ"),
               5000, 4000);
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(ttl(1)->text(), QStringLiteral("旧名"));
    EXPECT_EQ(combo()->currentIndex(), -1);
    EXPECT_EQ(combo()->count(), 2);

    enter(txt(0), QStringLiteral("長財布"));
    EXPECT_EQ(actions(), "111");
    Click(cmd(1));
    EXPECT_EQ(ttl(11)->text(), QStringLiteral("ブランド名を設定してください"));
    EXPECT_EQ(QApplication::focusWidget(), combo());

    chooseMaker(0);
    EXPECT_EQ(combo()->currentText(), QStringLiteral("新名"));
    dialogs->expectQuestion({}, DialogService::Answer::Yes);
    Click(cmd(1));
    EXPECT_EQ(products(), QStringLiteral("新名/ｼﾝﾒｲ/長財布/ｻｲﾌ/5000/4000"));
    EXPECT_EQ(ttl(1)->text(), QStringLiteral("新名"));
    EXPECT_EQ(combo()->currentIndex(), 0);
}

TEST_F(ProductScreenTest, SameNameUnderTwoMakersIsKeptAndTheRightOneSelected)
{
    MakerStore().add({.name = QStringLiteral("ベータ"), .reading = QStringLiteral("ﾍﾞｰﾀ")});
    MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｱﾙﾌｧ")});
    addProduct(QStringLiteral("アルファ"), QStringLiteral("ｱﾙﾌｧ"), QStringLiteral("バッグ"),
               QStringLiteral("ﾊﾞｯｸﾞ"), 100, 90);
    addProduct(QStringLiteral("アルファ"), QStringLiteral("ｱﾙﾌｧ"), QStringLiteral("時計"),
               QStringLiteral("ﾄｹｲ"), 100, 90);
    addProduct(QStringLiteral("ベータ"), QStringLiteral("ﾍﾞｰﾀ"), QStringLiteral("靴"), QStringLiteral("ｸﾂ"),
               100, 90);
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(gridColumn(2), QStringLiteral("時計,バッグ,靴")) << "by maker reading, then product reading";
    EXPECT_EQ(combo()->itemText(0), QStringLiteral("アルファ"));

    clickRow(2);
    chooseMaker(1);
    EXPECT_EQ(actions(), "111");
    Click(cmd(0));
    EXPECT_EQ(gridColumn(2), QStringLiteral("時計,バッグ,靴,バッグ"));
    EXPECT_EQ(gridColumn(6), QStringLiteral("アルファ,アルファ,ベータ,ベータ"));
    EXPECT_EQ(grid()->row(), 4);
    EXPECT_EQ(ttl(1)->text(), QStringLiteral("ベータ"));
    EXPECT_EQ(txt(4)->text(), QStringLiteral("4"));
    EXPECT_EQ(products().count(QStringLiteral("バッグ")), 2);
}

TEST_F(ProductScreenTest, TheMakerListIsReadOnceAtOpening)
{
    MakerStore().add({.name = QStringLiteral("ベータ"), .reading = QStringLiteral("ﾍﾞｰﾀ")});
    MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｱﾙﾌｧ")});
    ASSERT_NE(open(), nullptr);
    MakerStore().add({.name = QStringLiteral("ガンマ"), .reading = QStringLiteral("ｶﾞﾝﾏ")});
    chooseMaker(1);
    enter(txt(0), QStringLiteral("靴"));
    enter(txt(1), QStringLiteral("ｸﾂ"));
    enter(txt(2), QStringLiteral("300"));
    enter(txt(3), QStringLiteral("200"));
    Click(cmd(0));
    EXPECT_EQ(combo()->count(), 2);
    EXPECT_EQ(products(), QStringLiteral("ベータ/ﾍﾞｰﾀ/靴/ｸﾂ/300/200"));
}

TEST_F(ProductScreenTest, DeletionAsksWithTheProductWordAndLeavesSalesAlone)
{
    MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｱﾙﾌｧ")});
    addProduct(QStringLiteral("アルファ"), QStringLiteral("ｱﾙﾌｧ"), QStringLiteral("バッグ"),
               QStringLiteral("ﾊﾞｯｸﾞ"), 100, 90);
    addProduct(QStringLiteral("アルファ"), QStringLiteral("ｱﾙﾌｧ"), QStringLiteral("時計"),
               QStringLiteral("ﾄｹｲ"), 100, 90);
    {
        Database db;
        db.execute(QStringLiteral("insert into Tb_売上 (Fi_キー, Fi_商品) values (1, ?)"),
                   {QStringLiteral("時計")});
    }
    ASSERT_NE(open(), nullptr);
    dialogs->expectQuestion(QStringLiteral("No.1 商品名：時計 の\n情報を削除してもよろしいですか"),
                            DialogService::Answer::Yes);
    Click(cmd(2));
    EXPECT_EQ(gridColumn(2), QStringLiteral("バッグ"));
    EXPECT_EQ(txt(0)->text(), QStringLiteral("バッグ"));
    EXPECT_EQ(column("Tb_売上", "Fi_商品"), QStringLiteral("時計"));
    EXPECT_EQ(ttl(12)->text(), QStringLiteral("削除完了"));
}

TEST_F(ProductScreenTest, ClosingAsksOnlyWithAnUnsavedCorrection)
{
    MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｱﾙﾌｧ")});
    addProduct(QStringLiteral("アルファ"), QStringLiteral("ｱﾙﾌｧ"), QStringLiteral("バッグ"),
               QStringLiteral("ﾊﾞｯｸﾞ"), 100, 90);
    ASSERT_NE(open(), nullptr);
    screen()->close();
    EXPECT_TRUE(screen()->isVisible()) << "the close box is refused";
    enter(txt(1), QStringLiteral("ﾊﾞｯｸﾞ2"));
    dialogs->expectQuestion(QStringLiteral("未登録です。\n修正登録せずに画面を閉じますか"),
                            DialogService::Answer::No);
    Click(cmd(3));
    EXPECT_TRUE(screen()->isVisible());
    clickRow(1);
    Click(cmd(3));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
    EXPECT_EQ(G().CallerForm, QStringLiteral("Frm070_Qel"));
}

TEST_F(ProductScreenTest, ARowGoneBehindTheScreenIsReportedOnCorrection)
{
    MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｱﾙﾌｧ")});
    addProduct(QStringLiteral("アルファ"), QStringLiteral("ｱﾙﾌｧ"), QStringLiteral("バッグ"),
               QStringLiteral("ﾊﾞｯｸﾞ"), 100, 90);
    ASSERT_NE(open(), nullptr);
    {
        Database db;
        db.execute(QStringLiteral("delete from Tb_商品"));
    }
    chooseMaker(0);
    enter(txt(0), QStringLiteral("別"));
    dialogs->expectQuestion({}, DialogService::Answer::Yes);
    dialogs->expect(ShownBox::Kind::Warning, QStringLiteral("Frm070_Qel"),
                    QStringLiteral("修正する商品情報が見つかりませんでした。\n一覧を読み直します。"));
    Click(cmd(1));
    EXPECT_EQ(grid()->rows(), 2);
    EXPECT_EQ(actions(), "000");
    EXPECT_EQ(products(), QString());
}

// A list longer than the grid reads at once: rows far down show their own texts, and a row added
// there is found, selected and scrolled to.
TEST_F(ProductScreenTest, ALongListShowsEveryRowAndSelectsAnAddedRowFarDown)
{
    MakerStore().add({.name = QStringLiteral("ベータ"), .reading = QStringLiteral("ﾍﾞｰﾀ")});
    MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｱﾙﾌｧ")});
    // Products 1 to 150 under アルファ, 151 to 300 under ベータ: row r holds product r.
    execute(QStringLiteral("with recursive n(k) as (select 1 union all select k + 1 from n where k < 300) "
                           "insert into Tb_商品 (Fi_キー, Fi_メーカー, Fi_メーカーフリガナ, Fi_商品, "
                           "Fi_商品フリガナ, Fi_定価, "
                           "Fi_売価) "
                           "select k, case when k <= 150 then 'アルファ' else 'ベータ' end, case when k <= "
                           "150 then 'ｱﾙﾌｧ' else "
                           "'ﾍﾞｰﾀ' end, "
                           "'商品' || printf('%03d', k), 'ｼｮｳﾋﾝ' || ") +
            KanaDigitsSql(QStringLiteral("printf('%03d', k)")) +
            QStringLiteral(", 1000 + k, 900 + k from n"));
    ASSERT_NE(open(), nullptr);
    ASSERT_EQ(grid()->rows(), 301);
    QStringList row250;
    for (int c = 0; c < 8; ++c)
        row250 << grid()->textMatrix(250, c);
    EXPECT_EQ(row250.join(QLatin1Char('|')), QStringLiteral("250|250|商品250|¥1,250|¥1,150|ｼｮｳﾋﾝ") +
                                                 KanaDigits(QStringLiteral("250")) +
                                                 QStringLiteral("|ベータ|ﾍﾞｰﾀ"));

    clickRow(250);
    EXPECT_EQ(txt(0)->text(), QStringLiteral("商品250"));
    EXPECT_EQ(ttl(1)->text(), QStringLiteral("ベータ"));
    enter(txt(0), QStringLiteral("商品200b"));
    enter(txt(1), QStringLiteral("ｼｮｳﾋﾝ") + KanaDigits(QStringLiteral("200")) + QStringLiteral("ｱ"));
    ASSERT_TRUE(cmd(0)->isEnabled());
    Click(cmd(0));
    EXPECT_EQ(grid()->rows(), 302);
    EXPECT_EQ(grid()->row(), 201) << "right after product 200 of the same maker";
    EXPECT_EQ(grid()->topRow(), 201);
    EXPECT_EQ(txt(0)->text(), QStringLiteral("商品200b"));
    EXPECT_EQ(grid()->textMatrix(202, 2), QStringLiteral("商品201"));
    EXPECT_EQ(grid()->textMatrix(301, 2), QStringLiteral("商品300"));
}

// The database goes away while the list is open: the rows not yet read are reported once, show
// their number and key only, and the screen goes on.
TEST_F(ProductScreenTest, RowsThatCannotBeReadAreReportedOnceAndTheScreenGoesOn)
{
    MakerStore().add({.name = QStringLiteral("アルファ"), .reading = QStringLiteral("ｱﾙﾌｧ")});
    execute(QStringLiteral("with recursive n(k) as (select 1 union all select k + 1 from n where k < 1000) "
                           "insert into Tb_商品 (Fi_キー, Fi_メーカー, Fi_メーカーフリガナ, Fi_商品, "
                           "Fi_商品フリガナ, Fi_定価, Fi_売価) "
                           "select k, 'アルファ', 'ｱﾙﾌｧ', '商品' || printf('%04d', k), 'ｼｮｳﾋﾝ' || "
                           "printf('%04d', k), 100, 90 from n"));
    ASSERT_NE(open(), nullptr);
    ASSERT_TRUE(QFile::rename(dbPath(), dbPath() + ".away"));

    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm070_Qel"), {});
    grid()->verticalScrollBar()->setValue(500);
    ASSERT_TRUE(PollUntil([this] { return !dialogs->shown().empty(); }, 3000, "the warning"));
    EXPECT_TRUE(
        dialogs->shown().back().text.contains(QStringLiteral("データベースファイルが見つかりません")));
    EXPECT_EQ(grid()->textMatrix(510, 0), QStringLiteral("510"));
    EXPECT_EQ(grid()->textMatrix(510, 1), QStringLiteral("510"));
    EXPECT_EQ(grid()->textMatrix(510, 2), QString());
    grid()->verticalScrollBar()->setValue(800);
    QApplication::processEvents();
    EXPECT_EQ(dialogs->shown().size(), 1u) << "one warning for the list";
    EXPECT_EQ(grid()->textMatrix(1, 2), QStringLiteral("商品0001")) << "rows read before stay";

    ASSERT_TRUE(QFile::rename(dbPath() + ".away", dbPath()));
    ASSERT_TRUE(cmd(3)->isEnabled());
    Click(cmd(3));
    EXPECT_NE(visibleScreen(QStringLiteral("Frm010_Qel")), nullptr);
}

} // namespace
