#include "PeriodMonth.h"

#include "DateText.h"

QString MonthOf(const QDate& date)
{
    return QStringLiteral("%1%2")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'));
}

QString StepMonth(const QString& yyyymm, int delta)
{
    const int year = yyyymm.left(4).toInt();
    const int month = yyyymm.right(2).toInt();
    const int index = year * 12 + (month - 1) + delta;
    const int y = index >= 0 ? index / 12 : 0;
    const int m = index >= 0 ? index % 12 + 1 : 1;
    return QStringLiteral("%1%2").arg(y, 4, 10, QLatin1Char('0')).arg(m, 2, 10, QLatin1Char('0'));
}

QDate FirstDayOf(const QString& yyyymm)
{
    return QDate(yyyymm.left(4).toInt(), yyyymm.right(2).toInt(), 1);
}

QString MonthDisplay(const QString& yyyymm)
{
    return YearMonthText(FirstDayOf(yyyymm));
}

QString PeriodBoundText(const QString& bound)
{
    return bound == kOpenStart || bound == kOpenEnd ? QStringLiteral("指定なし") : MonthDisplay(bound);
}
