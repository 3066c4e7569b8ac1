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
    return MonthOf(FirstDayOf(yyyymm).addMonths(delta));
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
