#include "core/DateInput.h"

#include <gtest/gtest.h>

namespace {

// A text, the day it is as a typed condition, and as a birthday (written back by BirthdayText;
// "-" for a text that is none).
TEST(DateInput, TypedDatesAndBirthdaysInTheirUsualForms)
{
    const std::tuple<const char*, QDate, const char*> cases[] = {
        {"2024/6/30", QDate(2024, 6, 30), "2024/06/30"},
        {"２０２４－０６－３０", QDate(2024, 6, 30), "2024/06/30"},
        {" 2024年6月3日 ", QDate(2024, 6, 3), "2024/06/03"},
        {"20240630", QDate(2024, 6, 30), "2024/06/30"},
        {"令和元年5月1日", QDate(2019, 5, 1), "2019/05/01"},
        {"h31.4.30", QDate(2019, 4, 30), "2019/04/30"},
        {"S55.4.15", QDate(1980, 4, 15), "1980/04/15"},
        {"4月15日", QDate(), "04/15"},
        {"2/29", QDate(), "02/29"},
        {"29326", QDate(), "1980/04/15"},
        {"", QDate(), ""},
        {"2001/2/29", QDate(), "-"},
        {"1850/1/1", QDate(1850, 1, 1), "-"},
        {"2027/1/1", QDate(2027, 1, 1), "-"},
        {"24/6/30", QDate(), "-"},
        {"1980年4月", QDate(), "-"},
        {"昨日", QDate(), "-"},
    };
    for (const auto& [text, date, birthday] : cases) {
        EXPECT_EQ(DateInput(QString::fromUtf8(text)), date) << text;
        const std::optional<Birthday> b = ParseBirthday(QString::fromUtf8(text), QDate(2026, 12, 8));
        EXPECT_EQ(b ? BirthdayText(*b) : QStringLiteral("-"), QString::fromUtf8(birthday)) << text;
    }
}

} // namespace
