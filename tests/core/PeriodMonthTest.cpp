#include "core/PeriodMonth.h"
#include "core/Globals.h"

#include <gtest/gtest.h>

TEST(PeriodMonthTest, StepsAcrossYearsAndShowsTheMonthInBothModes)
{
    const struct
    {
        const char* month;
        int delta;
        const char* stepped;
    } steps[] = {
        {"200501", -1, "200412"},  {"200412", 1, "200501"},  {"200506", 1, "200507"},
        {"200506", -13, "200405"}, {"200506", 19, "200701"},
    };
    for (const auto& s : steps)
        EXPECT_EQ(StepMonth(QString::fromLatin1(s.month), s.delta), QString::fromLatin1(s.stepped))
            << s.month << " " << s.delta;

    EXPECT_EQ(MonthOf(QDate(2026, 3, 31)), QStringLiteral("202603"));
    ResetGlobals();
    EXPECT_EQ(MonthDisplay(QStringLiteral("200505")), QStringLiteral("2005年05月"));
    G().Nengou = QStringLiteral("和暦");
    EXPECT_EQ(MonthDisplay(QStringLiteral("200505")), QStringLiteral("平成17年05月"));
    EXPECT_EQ(MonthDisplay(QStringLiteral("201905")), QStringLiteral("令和01年05月"));
    ResetGlobals();
}
