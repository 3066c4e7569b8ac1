#include "db/Database.h"

#include "support/ScreenTest.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <SQLiteCpp/Database.h>

namespace {

class SalesEntryFailureTest : public ScreenTest
{
  protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        execute("insert into Tb_メーカー (Fi_キー, Fi_メーカー, Fi_メーカーフリガナ) values (1, 'グッチョ', "
                "'ｸﾞｯﾁｮ')");
        execute(
            "insert into Tb_商品 (Fi_キー, Fi_メーカー, Fi_商品, Fi_商品フリガナ, Fi_定価, Fi_売価) values "
            "(1, 'グッチョ', '財布', 'ｻｲﾌ', 15000, 12000), (2, 'グッチョ', '鞄', 'ﾊﾞｯｸﾞ', 52000, 52000)");
        execute("insert into Tb_顧客 (Fi_キー, Fi_名前, Fi_名前フリガナ) values (1, '山田', 'ﾔﾏﾀﾞ')");
    }
};

// A price that could not be read must never be shown or stored: the prices stay 0 and the
// check stops the save, whatever the boxes held before.
TEST_F(SalesEntryFailureTest, APriceReadThatFailsLeavesThePricesAtZeroAndTheSaveIsRefused)
{
    openFromMenu(QStringLiteral("Frm080_Qel"));
    QComboBox* products = combo("Combo2");
    ASSERT_EQ(txt(0)->text(), QStringLiteral("¥15,000"));

    {
        // Another program holds the database.
        SQLite::Database other(dbPath().toStdString(), SQLite::OPEN_READWRITE);
        other.exec("begin exclusive");
        dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm080_Qel"), QString());
        products->setFocus();
        QTest::keyClick(products, Qt::Key_Down);
        ASSERT_EQ(products->currentText(), QStringLiteral("鞄"));
        EXPECT_EQ(txt(0)->text(), QStringLiteral("¥0"));
        EXPECT_EQ(txt(1)->text(), QStringLiteral("¥0"));
        EXPECT_EQ(child<QLineEdit>(QStringLiteral("Text1"))->text(), QStringLiteral("¥0"));
        other.exec("rollback");
    }

    enter(txt(2), QStringLiteral("2"));
    Click(cmd(100));
    EXPECT_EQ(message(), QStringLiteral("定価を入力してください"));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_売上")), 0);
}

TEST_F(SalesEntryFailureTest, AProductTableWithoutSellingPricesOpensWithPricesOfZero)
{
    execute("alter table Tb_商品 drop column Fi_売価");
    dialogs->expect(ShownBox::Kind::Failure, QStringLiteral("Frm080_Qel"), QString());
    openFromMenu(QStringLiteral("Frm080_Qel"));
    EXPECT_EQ(txt(0)->text(), QStringLiteral("¥0"));
    EXPECT_EQ(txt(1)->text(), QStringLiteral("¥0"));
    enter(txt(2), QStringLiteral("2"));
    Click(cmd(100));
    EXPECT_EQ(message(), QStringLiteral("定価を入力してください"));
    EXPECT_EQ(rowCount(QStringLiteral("Tb_売上")), 0);
}

} // namespace
