#include "SalesStore.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

// Up to a year the engine reads the months through the month index that holds the maker and the
// purchaser too, and sorts what it found; a longer or open period of all sales is summed by
// walking the maker or purchaser index whole, in its order, which reads every sale once without
// sorting a million.
constexpr int kShortPeriodMonths = 12;

bool IsMonth(const QString& text)
{
    static const QRegularExpression month(QStringLiteral("^[0-9]{4}(0[1-9]|1[0-2])$"));
    return month.match(text).hasMatch();
}

bool WalkIndex(const SalesScope& scope)
{
    const bool shortPeriod =
        IsMonth(scope.from) && IsMonth(scope.to) && scope.to < StepMonth(scope.from, kShortPeriodMonths);
    return scope.kind == SalesScope::Kind::All && !shortPeriod;
}

// The selection of the scope, the months bound last: "?" for the name when there is one, then the
// two months. `walk` keeps the engine off the month index (the "+"), so that it walks an index in
// the order of the grouping instead.
QString FromWhere(const SalesScope& scope, bool walk)
{
    const QString months =
        walk ? QStringLiteral("+Fi_購入年月 between ? and ?") : QStringLiteral("Fi_購入年月 between ? and ?");
    switch (scope.kind) {
    case SalesScope::Kind::Maker:
        return QStringLiteral(" from Tb_売上 where Fi_メーカー = ? and ") + months;
    case SalesScope::Kind::Buyer:
        return QStringLiteral(" from Tb_売上 where Fi_購入者 = ? and ") + months;
    case SalesScope::Kind::All:
        break;
    }
    return QStringLiteral(" from Tb_売上 where ") + months;
}

QVariantList ValuesOf(const SalesScope& scope)
{
    if (scope.kind == SalesScope::Kind::All)
        return {scope.from, scope.to};
    return {scope.name, scope.from, scope.to};
}

} // namespace

const Table<Sale>& SalesTable()
{
    static const Table<Sale> table(QStringLiteral("Tb_売上"), &Sale::key,
                                   {{QStringLiteral("Fi_購入年"), &Sale::year},
                                    {QStringLiteral("Fi_購入年月"), &Sale::yearMonth},
                                    {QStringLiteral("Fi_購入年月日"), &Sale::date},
                                    {QStringLiteral("Fi_メーカー"), &Sale::maker},
                                    {QStringLiteral("Fi_メーカーフリガナ"), &Sale::makerReading},
                                    {QStringLiteral("Fi_商品"), &Sale::product},
                                    {QStringLiteral("Fi_商品フリガナ"), &Sale::productReading},
                                    {QStringLiteral("Fi_定価"), &Sale::listPrice},
                                    {QStringLiteral("Fi_売価"), &Sale::sellingPrice},
                                    {QStringLiteral("Fi_数量"), &Sale::quantity},
                                    {QStringLiteral("Fi_売価合計"), &Sale::total},
                                    {QStringLiteral("Fi_購入者"), &Sale::buyer},
                                    {QStringLiteral("Fi_購入者フリガナ"), &Sale::buyerReading},
                                    {QStringLiteral("Fi_備考"), &Sale::remarks}},
                                   Table<Sale>::Stamped::Yes, &Sale::stamp);
    return table;
}

SalesStore::SalesStore() : TableStore(SalesTable()) {}

std::vector<std::int32_t> SalesStore::saleKeys() const
{
    Database db;
    // Unordered, the engine reads the keys from the smallest index instead of every whole row;
    // sorting them here is cheaper than reading a million rows.
    std::vector<std::int32_t> keys = ReadKeys(db, QStringLiteral("select Fi_キー from Tb_売上"));
    std::sort(keys.begin(), keys.end());
    return keys;
}

std::vector<SalesSum> SalesStore::monthSums(const SalesScope& scope) const
{
    Database db;
    std::vector<SalesSum> sums;
    Query q(db,
            QStringLiteral("select Fi_購入年月, sum(Fi_売価合計), count(*)") + FromWhere(scope, false) +
                QStringLiteral(" group by Fi_購入年月 order by Fi_購入年月"),
            ValuesOf(scope));
    while (q.next())
        sums.push_back({q.text(0), q.integer(1), q.integer(2), QString()}); // whole yen, stored as real
    return sums;
}

QString SalesStore::firstMonth(const SalesScope& scope) const
{
    SalesScope whole = scope;
    whole.from = kOpenStart;
    whole.to = kOpenEnd;
    Database db;
    Query q(db, QStringLiteral("select min(Fi_購入年月)") + FromWhere(whole, false), ValuesOf(whole));
    return q.next() ? q.text(0) : QString();
}

std::vector<SalesSum> SalesStore::makerSums(const SalesScope& scope) const
{
    Database db;
    std::vector<SalesSum> sums;
    Query q(db,
            QStringLiteral("select Fi_メーカー, sum(Fi_売価合計), count(*)") +
                FromWhere(scope, WalkIndex(scope)) + QStringLiteral(" group by Fi_メーカー"),
            ValuesOf(scope));
    while (q.next())
        sums.push_back({q.text(0), q.integer(1), q.integer(2), QString()});
    return sums;
}

std::vector<SalesSum> SalesStore::topBuyers(const SalesScope& scope, int count) const
{
    Database db;
    std::vector<SalesSum> sums;
    Query q(db,
            QStringLiteral("select Fi_購入者, sum(Fi_売価合計) as total, count(*), max(Fi_購入年月日)") +
                FromWhere(scope, WalkIndex(scope)) +
                QStringLiteral(" group by Fi_購入者 order by total desc, Fi_購入者 limit ?"),
            ValuesOf(scope) << count);
    while (q.next())
        sums.push_back({q.text(0), q.integer(1), q.integer(2), q.text(3)});
    return sums;
}
