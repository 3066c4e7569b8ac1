#include "SheetsFixture.h"

#include "core/Globals.h"
#include "exchange/SheetReader.h"
#include "sheets/CustomerListSheet.h"
#include "sheets/WorkbookFailure.h"

#include <QFile>

#include <gtest/gtest.h>

#include <vector>

namespace {

using Calls = std::vector<std::pair<std::int64_t, std::int64_t>>;

class CustomerListSheetTest : public SheetsFixture
{
  protected:
    static CustomerListRow customer(int n)
    {
        CustomerListRow c;
        c.reading = QStringLiteral("ﾔﾏﾀﾞ %1").arg(n);
        c.postalCode = QStringLiteral("100-000%1").arg(n);
        c.mobile = QStringLiteral("090-0000-000%1").arg(n);
        c.name = QStringLiteral(" 山田　%1 ").arg(n);
        c.prefecture = QStringLiteral("北海道");
        c.city = QStringLiteral("札幌市");
        c.phone = QStringLiteral("011-000-000%1").arg(n);
        c.remarks = QStringLiteral("一二三四五六七八九十壱弐参四五六七八九十ABCDE");
        c.mail = QStringLiteral("a%1@example.jp").arg(n);
        c.building = QStringLiteral("ビル%1").arg(n);
        c.fax = QStringLiteral("011-111-000%1").arg(n);
        return c;
    }

    static QString text(const SheetModel& m, int row, int column)
    {
        const SheetCell* c = m.cell(row, column);
        return c ? m.displayText(*c) : QStringLiteral("<none>");
    }
};

TEST_F(CustomerListSheetTest, RemarksSplitByCharacterWithoutBreakingOne)
{
    const QString emoji = QStringLiteral("😀");
    const QString ga = QStringLiteral("か\u3099"); // か with a combining voiced mark
    struct Case
    {
        QString remarks, first, second;
    };
    const Case cases[] = {
        {QStringLiteral("短い"), QStringLiteral("短い"), QString()},
        {QString(), QString(), QString()},
        {QStringLiteral("一二三四五六七八九十壱弐参四五六七八九十ABCDE"),
         QStringLiteral("一二三四五六七八九十"), QStringLiteral("壱弐参四五六七八九十")},
        // A character outside the basic plane counts once and is never cut in two.
        {QStringLiteral("一二三四五六七八九") + emoji + QStringLiteral("壱"),
         QStringLiteral("一二三四五六七八九") + emoji, QStringLiteral("壱")},
        {QString(25, QChar(u'x')).replace(8, 2, emoji + emoji), QString(8, QChar(u'x')) + emoji + emoji,
         QString(10, QChar(u'x'))},
        // The mark after the tenth character stays with it.
        {QStringLiteral("一二三四五六七八九") + ga + QStringLiteral("壱弐"),
         QStringLiteral("一二三四五六七八九") + ga, QStringLiteral("壱弐")},
        {QStringLiteral("ｱｲｳｴｵｶｷｸｹｶﾞｺ"), QStringLiteral("ｱｲｳｴｵｶｷｸｹｶﾞ"), QStringLiteral("ｺ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.remarks.toStdString());
        const RemarkLines lines = SplitRemarks(c.remarks);
        EXPECT_EQ(lines.first, c.first);
        EXPECT_EQ(lines.second, c.second);
    }
}

TEST_F(CustomerListSheetTest, RowsFromACallableAndProgressFirstAndLast)
{
    int made = 0;
    CustomerListRow current;
    SheetRows<CustomerListRow> source(3, [&]() -> const CustomerListRow* {
        if (made == 3)
            return nullptr;
        current = customer(++made);
        return &current;
    });
    CustomerListSheet sheet;
    Calls calls;
    sheet.open();
    sheet.writeRows(std::move(source), [&](std::int64_t i, std::int64_t n) { calls.emplace_back(i, n); });
    sheet.save();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.front(), (std::pair<std::int64_t, std::int64_t>(1, 3)));
    EXPECT_EQ(calls.back(), (std::pair<std::int64_t, std::int64_t>(3, 3))) << "the line ends at n件/n件";
    const SheetModel m = ReadWorkbook(sheet.targetPath());
    EXPECT_EQ(text(m, 10, 1), QStringLiteral("3"));
    EXPECT_EQ(text(m, 11, 2), customer(3).name);
}

TEST_F(CustomerListSheetTest, MoreCustomersThanASheetHoldsAreRefused)
{
    EXPECT_TRUE(CustomerListSheet::tooManyMessage(CustomerListSheet::kMaxCustomers).isEmpty());
    const QString message = CustomerListSheet::tooManyMessage(CustomerListSheet::kMaxCustomers + 1);
    EXPECT_TRUE(message.contains(QStringLiteral("349,524件"))) << message.toStdString();
    EXPECT_EQ(3 * CustomerListSheet::kMaxCustomers + 3, 1048575) << "the last block ends inside the sheet";

    const QString old = writeCustomerList(1);
    CustomerListSheet sheet;
    EXPECT_THROW(sheet.open(CustomerListSheet::kMaxCustomers + 1), QelError);
    EXPECT_EQ(ReadWorkbook(old).lastRow(), 6) << "the last list stays as it was";
}

} // namespace
