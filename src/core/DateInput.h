#pragma once

#include <QDate>
#include <QString>

#include <optional>

// A date as the user types it into a condition box: "2024/6/30", "2024-06-30", "2024.6.30",
// "20240630", "2024年6月30日", or with an era, "令和6年6月30日", "R6/6/30" (元年 for 1); digits of
// either width. Anything else, or no such day, gives an invalid date.
QDate DateInput(const QString& text);
// A stored "yyyymmdd" as its box shows it, "2024/06/30"; another text as it stands.
QString DateInputText(const QString& yyyymmdd);

// A customer's birthday: month and day, and the year when it is known (0: not known). A month of 0
// stands for no birthday recorded.
struct Birthday
{
    int year = 0;
    int month = 0;
    int day = 0;

    bool known() const { return month > 0; }
    bool operator==(const Birthday&) const = default;
};

// The birthday of the numbers, or none when they make no day: a month 1 to 12, a day of that month
// (29 February only in a leap year, or without a year), a year 0 or from 1868 (明治) to today's.
std::optional<Birthday> BirthdayOf(int year, int month, int day, const QDate& today);
// A birthday as a file or a box gives it: the forms of DateInput, "4/15" or "4月15日" without a
// year, or a day number of a spreadsheet (45000) that a workbook cell holds for a date. Empty
// gives no birthday; none when it cannot be read or makes no day.
std::optional<Birthday> ParseBirthday(const QString& text, const QDate& today);
// "1980/04/15", "04/15" without the year, empty without a birthday: a text ParseBirthday reads back.
QString BirthdayText(const Birthday& birthday);
