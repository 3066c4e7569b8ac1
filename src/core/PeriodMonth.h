#pragma once

#include <QDate>
#include <QString>

// A bound of a sales period: a month "yyyymm", or kOpenStart / kOpenEnd, compared as text with
// the purchase-month text of a sale.
inline const QString kOpenStart = QStringLiteral("000000");
inline const QString kOpenEnd = QStringLiteral("999999");

// The "yyyymm" of a date.
QString MonthOf(const QDate& date);
// One month earlier (delta -1) or later (+1), any number of months: January steps back to
// December of the year before, December forward to January of the year after.
QString StepMonth(const QString& yyyymm, int delta);
// The first day of the month.
QDate FirstDayOf(const QString& yyyymm);
// The month as the period labels show it: "gggee年mm月" in era mode, else "yyyy年mm月".
QString MonthDisplay(const QString& yyyymm);
// A period bound as the period labels show it: "指定なし" for an open start or end, else the
// month.
QString PeriodBoundText(const QString& bound);
