#pragma once

#include <QDate>
#include <QString>

struct Era
{
    QString name;    // 平成
    QString initial; // H
    QDate first;     // first day of the era
};

// The era a date falls in; nullptr before the first era of the table (明治).
const Era* EraOf(const QDate& date);

// Formats a date with the tokens of the date displays: "yyyy", "mm", "dd", "ggg" (era name),
// "g" (era initial), "ee" (two-digit era year), "AAA" (weekday kanji); other characters stand
// for themselves. A date before 明治 has no era: its era tokens fall back to the Western year.
QString FormatDate(const QDate& date, const QString& pattern);

// Weekday as one kanji (日 .. 土).
QString WeekdayKanji(const QDate& date);

// Whether the era forms are in use: the Nengou setting is exactly "和暦".
bool EraMode();

// The three display pairs, chosen by EraMode().
QString DateWithWeekday(const QDate& date); // 平成17年05月18日（水） / 2005年05月18日（水）
QString YearMonthText(const QDate& date);   // 平成17年05月 / 2005年05月
QString ShortDate(const QDate& date);       // H.17/05/18 / 2005/05/18

// A last-update stamp as shown: the short date of year/month/day, a blank, hh:nn:ss.
QString StampDisplay(const QString& year, const QString& month, const QString& day, const QString& hour,
                     const QString& minute, const QString& second);
