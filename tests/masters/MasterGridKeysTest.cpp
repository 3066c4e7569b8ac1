#include "masters/MakerStore.h"
#include "masters/ProductStore.h"
#include "ui/FlexGrid.h"

#include "support/ScreenTest.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class MasterGridKeysTest : public ScreenTest
{
  protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        writeIni(QStringLiteral("Maker=ブランド\r\nSyouhin=商品\r\n"));
        for (int i = 1; i <= 4; ++i) {
            const QString n = QString::number(i);
            MakerStore().add({.name = QStringLiteral("メーカー") + n, .reading = QStringLiteral("ﾒｰｶｰ") + n});
            ProductRow product;
            product.maker = QStringLiteral("メーカー1");
            product.makerReading = QStringLiteral("ﾒｰｶｰ1");
            product.name = QStringLiteral("商品") + n;
            product.reading = QStringLiteral("ｼｮｳﾋﾝ") + n;
            product.listPrice = 1000 * i;
            product.sellingPrice = 900 * i;
            ProductStore().add(product);
        }
    }
};

// The arrows keep their meaning on a list screen's grid: from the first key press after the
// screen opens, and again after the grid is filled anew.
TEST_F(MasterGridKeysTest, ArrowsMoveTheRowAtOpeningAndAfterARefill)
{
    for (const char* form : {"Frm060_Qel", "Frm070_Qel"}) {
        SCOPED_TRACE(form);
        ASSERT_NE(openFromMenu(QString::fromLatin1(form)), nullptr);
        FlexGrid* g = grid();
        g->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(g->hasFocus());
        ASSERT_EQ(g->row(), 1);

        QTest::keyClick(g, Qt::Key_Down);
        EXPECT_EQ(g->row(), 2);
        EXPECT_EQ(txt(0)->text(), g->textMatrix(2, 2)) << "the row is shown in the boxes";
        EXPECT_TRUE(g->isCellSelected(2, 2));
        QTest::keyClick(g, Qt::Key_Up);
        EXPECT_EQ(g->row(), 1);
        QTest::keyClick(g, Qt::Key_Down);
        ASSERT_EQ(g->row(), 2);

        // Deleting row 2 fills the grid again; the arrows still move from the first press.
        dialogs->expect(ShownBox::Kind::Question, QStringLiteral("確認"), {}, DialogService::Answer::Yes);
        Click(cmd(2));
        ASSERT_EQ(g->rows(), 4);
        ASSERT_EQ(g->row(), 2);
        ASSERT_TRUE(g->hasFocus());
        QTest::keyClick(g, Qt::Key_Down);
        EXPECT_EQ(g->row(), 3);
        QTest::keyClick(g, Qt::Key_Up);
        QTest::keyClick(g, Qt::Key_Up);
        EXPECT_EQ(g->row(), 1);
        EXPECT_EQ(g->col(), 1) << "the current column stays the key column the screens read";

        Click(cmd(3));
    }
}

} // namespace
