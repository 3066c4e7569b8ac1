#include "SheetsFixture.h"

#include "core/Globals.h"
#include "exchange/SheetReader.h"
#include "sheets/SalesDetailSheet.h"
#include "sheets/WorkbookFailure.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <vector>

namespace {

class SalesDetailSheetTest : public SheetsFixture
{
  protected:
    static SalesDetailTexts texts(bool era)
    {
        SalesDetailTexts t;
        t.makerHeading = QStringLiteral("ブランド名");
        t.productHeading = QStringLiteral("品名");
        t.leftHeader = era ? QString() : QStringLiteral("購入者:山田　太郎");
        t.centerHeader = era ? QStringLiteral("期間指定　売上明細") : QStringLiteral("購入者別 売上明細");
        t.rightHeader = PeriodHeaderText(QStringLiteral("200505"), QStringLiteral("200506"), era);
        t.sheetName = era ? QStringLiteral("期間指定売上明細") : QStringLiteral("購入者別売上明細");
        t.eraDates = era;
        return t;
    }

    static SalesDetailRow sale(int n, Amount price = 15000)
    {
        SalesDetailRow s;
        s.date = QStringLiteral("2005051%1").arg(n % 10);
        s.maker = QStringLiteral("メーカー%1").arg(n);
        s.product = QStringLiteral("商品%1").arg(n);
        s.buyer = QStringLiteral("購入者%1").arg(n);
        s.remarks = n == 1 ? QString() : QStringLiteral("備考%1").arg(n);
        s.sellingPrice = price;
        s.listPrice = price + 1000;
        s.quantity = n;
        s.total = price * n;
        return s;
    }

    SheetModel write(const std::vector<SalesDetailRow>& rows, bool era,
                     const QString& file = QStringLiteral("期間指定売上明細.xlsx"))
    {
        SalesDetailSheet sheet(file, texts(era));
        sheet.open(std::int64_t(rows.size()));
        sheet.writePageSetup();
        EXPECT_EQ(sheet.writeRows(rows), std::int64_t(rows.size()));
        sheet.scrollToTop();
        sheet.save();
        grandTotal = sheet.grandTotal();
        return ReadWorkbook(sheet.targetPath());
    }

    static QString text(const SheetModel& m, int row, int column)
    {
        const SheetCell* c = m.cell(row, column);
        return c ? m.displayText(*c) : QStringLiteral("<none>");
    }

    Amount grandTotal = 0;
};

TEST_F(SalesDetailSheetTest, GrandTotalIsAWholeYenSumBeyondThirtyTwoBits)
{
    std::vector<SalesDetailRow> rows;
    for (int n = 1; n <= 4; ++n)
        rows.push_back(sale(n, 99'999'999));
    const SheetModel m = write(rows, false);
    const Amount expected = 99'999'999LL * (1 + 2 + 3 + 4);
    EXPECT_EQ(grandTotal, expected);
    EXPECT_EQ(m.cell(11, 7)->number, double(expected));
    EXPECT_EQ(text(m, 11, 6), QStringLiteral("売価総合計"));
    EXPECT_EQ(text(m, 9, 1), QStringLiteral("4"));
}

TEST_F(SalesDetailSheetTest, ALongReportIsWrittenOutAsItGoesAndReadsBackWhole)
{
    constexpr int kSales = 20000; // several megabytes of sheet: more than is held in memory
    std::vector<SalesDetailRow> rows;
    for (int n = 1; n <= kSales; ++n)
        rows.push_back(sale(n % 7 + 1, n));
    const SheetModel m = write(rows, true);
    EXPECT_EQ(m.dimension, QStringLiteral("A1:G40003"));
    EXPECT_EQ(m.cell(3, 1)->number, 1);
    EXPECT_EQ(m.cell(2 * kSales + 1, 1)->number, kSales);
    EXPECT_EQ(m.cell(2 * kSales + 1, 5)->number, kSales);
    EXPECT_EQ(text(m, 2 * kSales + 2, 3), QStringLiteral("商品%1").arg(kSales % 7 + 1));
    EXPECT_EQ(m.cell(2 * kSales + 3, 7)->number, double(grandTotal));
    EXPECT_TRUE(m.border(m.cell(2 * kSales + 2, 7)->style).bottom);
    EXPECT_EQ(QDir(AppFile(G().DataPath)).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("期間指定売上明細.xlsx")})
        << "nothing of the writing is left beside the report";
}

TEST_F(SalesDetailSheetTest, AStoredDateThatIsNoDateIsWrittenAsItsText)
{
    SalesDetailRow odd = sale(1);
    odd.date = QStringLiteral("20051341");
    const SheetModel m = write({odd}, true);
    EXPECT_FALSE(m.cell(3, 2)->isNumber);
    EXPECT_EQ(m.cell(3, 2)->text, QStringLiteral("20051341"));
}

TEST_F(SalesDetailSheetTest, PeriodTextOfTheRightHeader)
{
    struct Case
    {
        const char* from;
        const char* to;
        bool era;
        const char* text;
    };
    const Case cases[] = {
        {"000000", "999999", true, "期間:指定なし"},
        {"000000", "999999", false, "期間:指定なし"},
        {"200505", "200506", true, "期間:H17年5月～H17年6月"},
        {"200505", "200505", true, "期間:H17年5月～H17年5月"},
        {"200505", "200506", false, "期間:2005年5月～2005年6月"},
        {"201904", "201905", true, "期間:H31年4月～R1年5月"},
        {"198812", "198901", true, "期間:S63年12月～S64年1月"},
        {"201912", "202001", false, "期間:2019年12月～2020年1月"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PeriodHeaderText(QString::fromUtf8(c.from), QString::fromUtf8(c.to), c.era),
                  QString::fromUtf8(c.text));
}

} // namespace
