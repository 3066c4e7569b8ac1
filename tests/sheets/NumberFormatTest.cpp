#include "sheets/NumberFormat.h"

#include <QDate>

#include <gtest/gtest.h>

namespace {

double serial(int y, int m, int d)
{
    return double(QDate(1899, 12, 30).daysTo(QDate(y, m, d)));
}

TEST(NumberFormat, ShowsNumbersAndDatesAsTheCodeSays)
{
    struct Case
    {
        double value;
        const char* code;
        const char* shown;
    };
    const Case cases[] = {
        {15000, "General", "15000"},
        {1.5, "General", "1.5"},
        {15000, "#,##0", "15,000"},
        {-15000, "#,##0", "-15,000"},
        {1234567, "¥#,##0", "¥1,234,567"},
        {1234567, "\"¥\"#,##0;\"¥\"\\-#,##0", "¥1,234,567"},
        {-5, "\"¥\"#,##0;\"¥\"\\-#,##0", "¥-5"},
        {0.125, "0.00%", "12.50%"},
        {serial(2005, 5, 18), "[$-411]ge.m.d", "H17.5.18"},
        {serial(2019, 4, 30), "[$-411]ge.m.d", "H31.4.30"},
        {serial(2019, 5, 1), "[$-411]ggge\"年\"m\"月\"d\"日\"", "令和1年5月1日"},
        {serial(2005, 5, 1), "[$-411]ggge\"年\"m\"月\"", "平成17年5月"},
        {serial(2005, 5, 8), "yyyy/m/d", "2005/5/8"},
        {serial(2005, 5, 8), "yyyy/mm/dd", "2005/05/08"},
        {serial(2005, 5, 18), "yyyy\"年\"m\"月\"d\"日\"(aaa)", "2005年5月18日(水)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(FormatCellNumber(c.value, QString::fromUtf8(c.code)), QString::fromUtf8(c.shown));
    }
}

TEST(NumberFormat, TellsDatesFromNumbers)
{
    EXPECT_TRUE(IsDateFormat(QStringLiteral("[$-411]ge.m.d")));
    EXPECT_TRUE(IsDateFormat(QStringLiteral("yyyy/m/d")));
    EXPECT_FALSE(IsDateFormat(QStringLiteral("General")));
    EXPECT_FALSE(IsDateFormat(QStringLiteral("¥#,##0")));
    EXPECT_FALSE(IsDateFormat(QStringLiteral("\"day\"0")));
}

} // namespace
