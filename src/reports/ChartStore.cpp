#include "ChartStore.h"

#include <QHash>

#include <algorithm>

namespace {

bool IsClosed(const QString& bound)
{
    return bound != kOpenStart && bound != kOpenEnd;
}

// The months of the scope by month, read over this range of months.
void ReadMonths(const SalesStore& store, ChartScope scope, const QString& from, const QString& to,
                QHash<QString, SalesSum>& found)
{
    scope.from = from;
    scope.to = to;
    for (SalesSum& sum : store.monthSums(scope))
        found.insert(sum.group, std::move(sum));
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
    const SalesStore store;
    MonthChart chart;
    // Before the first sale there is nothing to compare with.
    const QString firstSale = store.firstMonth(scope);
    if (firstSale.isEmpty())
        return chart;

    const bool closedStart = IsClosed(scope.from);
    const bool closedEnd = IsClosed(scope.to);
    // The period and the year before it: one range when they overlap, else the two apart, so
    // that a month's chart does not read the eleven months between.
    QHash<QString, SalesSum> found;
    const QString yearBeforeFrom = closedStart ? StepMonth(scope.from, -12) : scope.from;
    if (closedStart && closedEnd && scope.to < StepMonth(scope.from, 12)) {
        ReadMonths(store, scope, yearBeforeFrom, StepMonth(scope.to, -12), found);
        ReadMonths(store, scope, scope.from, scope.to, found);
    } else {
        ReadMonths(store, scope, yearBeforeFrom, scope.to, found);
    }

    QString first = closedStart ? scope.from : QString();
    QString last = closedEnd ? scope.to : QString();
    bool sales = false;
    for (auto it = found.cbegin(); it != found.cend(); ++it) {
        if (it.key() < scope.from || it.key() > scope.to)
            continue;
        sales = true;
        if (!closedStart && (first.isEmpty() || it.key() < first))
            first = it.key();
        if (!closedEnd && (last.isEmpty() || it.key() > last))
            last = it.key();
    }
    // A closed period without sales is still shown against a year before that had some.
    if (!sales && !(closedStart && closedEnd && !found.isEmpty()))
        return chart;

    for (QString month = first; month <= last; month = StepMonth(month, 1)) {
        const SalesSum sum = found.value(month);
        MonthTotal m{month, sum.total, sum.count, std::nullopt};
        const QString before = StepMonth(month, -12);
        if (before >= firstSale)
            m.yearBefore = found.value(before).total;
        chart.total += m.total;
        chart.count += m.count;
        chart.months.push_back(m);
    }
    // The ratio compares like with like: the same months a year earlier, all of them with data.
    if (closedStart && closedEnd && yearBeforeFrom >= firstSale) {
        Amount yearBefore = 0;
        for (const MonthTotal& m : chart.months)
            yearBefore += m.yearBefore.value_or(0);
        chart.yearBefore = yearBefore;
    }
    return chart;
}

std::vector<MakerShare> ChartStore::makers(const ChartScope& scope) const
{
    std::vector<MakerShare> all;
    for (const SalesSum& sum : SalesStore().makerSums(scope))
        all.push_back({sum.group, sum.total, 0, false});
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
    for (const SalesSum& sum : SalesStore().topBuyers(scope, kTopBuyers))
        top.push_back({sum.group, sum.count, sum.total, sum.lastDate});
    return top;
}
