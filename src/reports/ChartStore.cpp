#include "ChartStore.h"

#include "db/Database.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

namespace {

// Up to a year the engine reads the period through the month index that holds the maker and the
// purchaser too, and sorts what it found; a longer period is summed by walking the maker or
// purchaser index whole, in its order, which reads every sale once without sorting a million.
constexpr int kShortPeriodMonths = 12;

bool IsMonth(const QString& text)
{
    static const QRegularExpression month(QStringLiteral("^[0-9]{4}(0[1-9]|1[0-2])$"));
    return month.match(text).hasMatch();
}

bool IsShortPeriod(const ChartScope& scope)
{
    return IsMonth(scope.periodFrom) && IsMonth(scope.periodTo) &&
           scope.periodTo < StepMonth(scope.periodFrom, kShortPeriodMonths);
}

// The selection of the scope with the months bound last: "?" for the name when there is one,
// then the two months. `walk` keeps the engine off the month index (the "+"), so that it walks
// an index in the order of the grouping instead.
QString WhereOf(ChartScope::Kind kind, bool walk)
{
    const QString months =
        walk ? QStringLiteral("+Fi_購入年月 between ? and ?") : QStringLiteral("Fi_購入年月 between ? and ?");
    switch (kind) {
    case ChartScope::Kind::Maker:
        return QStringLiteral(" from Tb_売上 where Fi_メーカー = ? and ") + months;
    case ChartScope::Kind::Buyer:
        return QStringLiteral(" from Tb_売上 where Fi_購入者 = ? and ") + months;
    case ChartScope::Kind::All:
        break;
    }
    return QStringLiteral(" from Tb_売上 where ") + months;
}

QVariantList ValuesOf(const ChartScope& scope, const QString& from, const QString& to)
{
    if (scope.kind == ChartScope::Kind::All)
        return {from, to};
    return {scope.name, from, to};
}

bool WalkIndex(const ChartScope& scope)
{
    return scope.kind == ChartScope::Kind::All && !IsShortPeriod(scope);
}

} // namespace

int PerMille(Amount part, Amount whole)
{
    if (whole <= 0)
        return 0;
    return static_cast<int>((part * 1000 + whole / 2) / whole);
}

QString PerMilleText(int perMille)
{
    return QStringLiteral("%1.%2%").arg(perMille / 10).arg(perMille % 10);
}

MonthChart ChartStore::months(const ChartScope& scope) const
{
    // The period and the year before it: one range when they overlap, else the two apart, so
    // that a month's chart does not read the eleven months between.
    const bool openStart = !IsMonth(scope.periodFrom);
    const bool openEnd = !IsMonth(scope.periodTo);
    std::vector<std::pair<QString, QString>> ranges;
    if (openStart)
        ranges.emplace_back(scope.periodFrom, scope.periodTo);
    else if (IsShortPeriod(scope))
        ranges = {{StepMonth(scope.periodFrom, -12), StepMonth(scope.periodTo, -12)},
                  {scope.periodFrom, scope.periodTo}};
    else
        ranges.emplace_back(StepMonth(scope.periodFrom, -12), scope.periodTo);
    QHash<QString, MonthTotal> found;
    QString first, last;
    {
        Database db;
        for (const auto& [from, to] : ranges) {
            Query q(db,
                    QStringLiteral("select Fi_購入年月, sum(Fi_売価合計), count(*)") +
                        WhereOf(scope.kind, false) + QStringLiteral(" group by Fi_購入年月"),
                    ValuesOf(scope, from, to));
            while (q.next()) {
                MonthTotal m;
                m.month = q.text(0);
                m.total = q.integer(1); // whole yen, stored as real
                m.count = q.integer(2);
                const bool inPeriod = m.month >= scope.periodFrom && m.month <= scope.periodTo;
                if (inPeriod && IsMonth(m.month)) {
                    if (first.isEmpty() || m.month < first)
                        first = m.month;
                    if (last.isEmpty() || m.month > last)
                        last = m.month;
                }
                found.insert(m.month, m);
            }
        }
    }

    MonthChart chart;
    if (first.isEmpty())
        return chart;
    // A closed bound shows every month up to it, sales or not.
    if (!openStart)
        first = scope.periodFrom;
    if (!openEnd)
        last = scope.periodTo;
    for (QString month = first; month <= last; month = StepMonth(month, 1)) {
        MonthTotal m = found.value(month);
        m.month = month;
        m.yearBefore = found.value(StepMonth(month, -12)).total;
        chart.total += m.total;
        chart.count += m.count;
        chart.yearBefore += m.yearBefore;
        chart.months.push_back(m);
    }
    return chart;
}

std::vector<MakerShare> ChartStore::makers(const ChartScope& scope) const
{
    std::vector<MakerShare> all;
    {
        Database db;
        Query q(db,
                QStringLiteral("select Fi_メーカー, sum(Fi_売価合計)") +
                    WhereOf(scope.kind, WalkIndex(scope)) + QStringLiteral(" group by Fi_メーカー"),
                ValuesOf(scope, scope.periodFrom, scope.periodTo));
        while (q.next())
            all.push_back({q.text(0), q.integer(1), 0, false});
    }
    std::sort(all.begin(), all.end(), [](const MakerShare& a, const MakerShare& b) {
        return a.total != b.total ? a.total > b.total : a.maker < b.maker;
    });
    Amount whole = 0;
    for (const MakerShare& m : all)
        whole += m.total;
    if (all.size() > static_cast<std::size_t>(kTopMakers)) {
        MakerShare others{QStringLiteral("その他"), 0, 0, true};
        for (auto it = all.begin() + kTopMakers; it != all.end(); ++it)
            others.total += it->total;
        all.resize(kTopMakers);
        all.push_back(others);
    }
    for (MakerShare& m : all)
        m.perMille = PerMille(m.total, whole);
    return all;
}

std::vector<BuyerTotal> ChartStore::buyers(const ChartScope& scope) const
{
    std::vector<BuyerTotal> top;
    Database db;
    Query q(db,
            QStringLiteral("select Fi_購入者, count(*), sum(Fi_売価合計) as total, max(Fi_購入年月日)") +
                WhereOf(scope.kind, WalkIndex(scope)) +
                QStringLiteral(" group by Fi_購入者 order by total desc, Fi_購入者 limit ?"),
            ValuesOf(scope, scope.periodFrom, scope.periodTo) << kTopBuyers);
    while (q.next())
        top.push_back({q.text(0), q.integer(1), q.integer(2), q.text(3)});
    return top;
}
