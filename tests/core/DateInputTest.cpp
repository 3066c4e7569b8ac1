#include "core/DateInput.h"

#include <gtest/gtest.h>

namespace {

const QDate kToday(2026, 12, 8);

TEST(DateInput, TypedDatesInTheirUsualForms)
{
    const std::pair<const char*, QDate> cases[] = {
        {"2024/6/30", QDate(2024, 6, 30)},
        {"2024-06-30", QDate(2024, 6, 30)},
        {"2024.6.3", QDate(2024, 6, 3)},
        {"20240630", QDate(2024, 6, 30)},
        {"２０２４／０６／３０", QDate(2024, 6, 30)},
        {" 2024年6月30日 ", QDate(2024, 6, 30)},
        {"令和6年6月30日", QDate(2024, 6, 30)},
        {"R6/6/30", QDate(2024, 6, 30)},
        {"h31.4.30", QDate(2019, 4, 30)},
        {"令和元年5月1日", QDate(2019, 5, 1)},
        {"2024/2/30", QDate()},
        {"2024/13/1", QDate()},
        {"24/6/30", QDate()},
        {"6/30", QDate()},
        {"2024/6/30x", QDate()},
        {"昨日", QDate()},
        {"", QDate()},
    };
    for (const auto& [typed, expected] : cases)
        EXPECT_EQ(DateInput(QString::fromUtf8(typed)), expected) << typed;
    EXPECT_EQ(DateInputText(QStringLiteral("20240630")), QStringLiteral("2024/06/30"));
    EXPECT_EQ(DateInputText(QString()), QString());
}

TEST(DateInput, BirthdaysWithOrWithoutTheYear)
{
    struct Case
    {
        const char* text;
        std::optional<Birthday> expected;
        const char* written; // BirthdayText of the result
    };
    const Case cases[] = {
        {"", Birthday{}, ""},
        {"1980/4/15", Birthday{1980, 4, 15}, "1980/04/15"},
        {"昭和55年4月15日", Birthday{1980, 4, 15}, "1980/04/15"},
        {"S55.4.15", Birthday{1980, 4, 15}, "1980/04/15"},
        {"19800415", Birthday{1980, 4, 15}, "1980/04/15"},
        {"4/15", Birthday{0, 4, 15}, "04/15"},
        {"4月15日", Birthday{0, 4, 15}, "04/15"},
        {"2/29", Birthday{0, 2, 29}, "02/29"},
        {"29326", Birthday{1980, 4, 15}, "1980/04/15"},
        {"2001/2/29", std::nullopt, ""},
        {"1850/1/1", std::nullopt, ""},
        {"2027/1/1", std::nullopt, ""},
        {"13/1", std::nullopt, ""},
        {"1980年4月", std::nullopt, ""},
        {"不明", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        const std::optional<Birthday> read = ParseBirthday(QString::fromUtf8(c.text), kToday);
        EXPECT_EQ(read, c.expected) << c.text;
        if (read)
            EXPECT_EQ(BirthdayText(*read), QString::fromUtf8(c.written)) << c.text;
    }
}

} // namespace
