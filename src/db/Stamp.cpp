#include "Stamp.h"

#include "core/Clock.h"

Stamp Stamp::at(const QDateTime& when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    return Stamp{QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0')),
                 two(d.month()),
                 two(d.day()),
                 two(t.hour()),
                 two(t.minute()),
                 two(t.second())};
}

Stamp Stamp::now()
{
    return at(Clock::current().now());
}

const QStringList& Stamp::columns()
{
    static const QStringList names{QStringLiteral("Fi_最終更新年"), QStringLiteral("Fi_最終更新月"),
                                   QStringLiteral("Fi_最終更新日"), QStringLiteral("Fi_最終更新時"),
                                   QStringLiteral("Fi_最終更新分"), QStringLiteral("Fi_最終更新秒")};
    return names;
}
