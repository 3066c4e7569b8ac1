#include "core/DateText.h"
#include "core/Globals.h"

#include <gtest/gtest.h>

namespace {

class DateTextTest : public ::testing::Test
{
  protected:
    void SetUp() override { ResetGlobals(); }
    void TearDown() override { ResetGlobals(); }
};

TEST_F(DateTextTest, EraAndWesternFormsWithWeekday)
{
    const QDate d(2005, 4, 1);
    G().Nengou = QStringLiteral("和暦");
    EXPECT_EQ(DateWithWeekday(d), QStringLiteral("平成17年04月01日（金）"));
    EXPECT_EQ(YearMonthText(d), QStringLiteral("平成17年04月"));
    EXPECT_EQ(ShortDate(QDate(2005, 5, 18)), QStringLiteral("H.17/05/18"));
    for (const char* other : {"", "西暦", "和暦 ", "wareki"}) {
        G().Nengou = QString::fromUtf8(other);
        EXPECT_EQ(DateWithWeekday(d), QStringLiteral("2005年04月01日（金）")) << other;
        EXPECT_EQ(ShortDate(QDate(2005, 5, 18)), QStringLiteral("2005/05/18"));
    }
    EXPECT_EQ(DateWithWeekday(QDate(2005, 5, 18)), QStringLiteral("2005年05月18日（水）"));
}

TEST_F(DateTextTest, EraBoundariesStartAtYearOne)
{
    G().Nengou = QStringLiteral("和暦");
    const std::pair<QDate, const char*> cases[] = {
        {QDate(1989, 1, 7), "昭和64年01月07日（土）"},   {QDate(1989, 1, 8), "平成01年01月08日（日）"},
        {QDate(2019, 4, 30), "平成31年04月30日（火）"},  {QDate(2019, 5, 1), "令和01年05月01日（水）"},
        {QDate(1926, 12, 24), "大正15年12月24日（金）"}, {QDate(1926, 12, 25), "昭和01年12月25日（土）"},
        {QDate(1912, 7, 29), "明治45年07月29日（月）"},  {QDate(1912, 7, 30), "大正01年07月30日（火）"},
        {QDate(2026, 12, 8), "令和08年12月08日（火）"},
    };
    for (const auto& [date, expected] : cases)
        EXPECT_EQ(DateWithWeekday(date).toStdString(), std::string(expected));
    EXPECT_EQ(ShortDate(QDate(2019, 5, 1)), QStringLiteral("R.01/05/01"));
}

TEST_F(DateTextTest, DateBeforeTheFirstEraShowsTheWesternYear)
{
    G().Nengou = QStringLiteral("和暦");
    EXPECT_EQ(EraOf(QDate(1867, 12, 31)), nullptr);
    EXPECT_EQ(YearMonthText(QDate(1867, 12, 31)), QStringLiteral("1867年12月"));
}

TEST_F(DateTextTest, WeekdaysAreSingleKanji)
{
    const char* expected[] = {"日", "月", "火", "水", "木", "金", "土"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(WeekdayKanji(QDate(2005, 5, 15).addDays(i)).toStdString(), std::string(expected[i]));
}

TEST_F(DateTextTest, StampIsShownAsShortDateAndTime)
{
    EXPECT_EQ(StampDisplay("2005", "05", "18", "09", "05", "03"), QStringLiteral("2005/05/18 09:05:03"));
    G().Nengou = QStringLiteral("和暦");
    EXPECT_EQ(StampDisplay("2005", "05", "18", "09", "05", "03"), QStringLiteral("H.17/05/18 09:05:03"));
}

} // namespace
