#include "PurchaseHistory.h"

#include "db/Database.h"
#include "db/Schema.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

const QString kHistoryIndex = QStringLiteral("Ix_売上_購入履歴");
constexpr int kTopMakers = 3;

// "Before the day" as the last day it still allows, so that one look at the latest purchase
// serves both ends of the condition.
QString DayBefore(const QString& yyyymmdd)
{
    const QDate day = QDate::fromString(yyyymmdd, QStringLiteral("yyyyMMdd"));
    return day.isValid() ? day.addDays(-1).toString(QStringLiteral("yyyyMMdd")) : yyyymmdd;
}

// Whole months from the day to today: a month is complete on the same day of the month.
int MonthsBetween(const QDate& from, const QDate& to)
{
    if (!from.isValid() || !to.isValid())
        return -1;
    if (to < from)
        return 0;
    int months = (to.year() - from.year()) * 12 + (to.month() - from.month());
    if (to.day() < from.day() && !(to.day() == to.daysInMonth() && from.day() > to.day()))
        --months;
    return std::max(0, months);
}

// The nearest whole yen, a half away from zero.
Amount RoundedQuotient(Amount total, std::int64_t parts)
{
    if (parts <= 0)
        return 0;
    Amount q = total / parts;
    const Amount r = total % parts;
    if (2 * (r < 0 ? -r : r) >= parts)
        q += total < 0 ? -1 : 1;
    return q;
}

} // namespace

bool PurchaseCondition::any() const
{
    return !lastFrom.isEmpty() || !lastBefore.isEmpty() || hasPeriod() || minTotal > 0 || minVisits > 0 ||
           !maker.isEmpty() || never;
}

WhereClause PurchaseWhere(const PurchaseCondition& c, const QString& name)
{
    WhereClause where;
    const auto append = [&where](const QString& term) {
        if (!where.text.isEmpty())
            where.text += QStringLiteral(" and ");
        where.text += term;
    };
    const QString ofCustomer = QStringLiteral(" from Tb_売上 where Fi_購入者 = ") + name;
    if (!c.maker.isEmpty()) {
        append(name + QStringLiteral(" in (select Fi_購入者 from Tb_売上 where Fi_メーカー = ?)"));
        where.values << c.maker;
    }
    if (c.never)
        append(QStringLiteral("not exists (select 1") + ofCustomer + QLatin1Char(')'));
    if (!c.lastFrom.isEmpty() || !c.lastBefore.isEmpty()) {
        // Without a sale the latest purchase is null, which no bound holds.
        append(QStringLiteral("(select max(Fi_購入年月日)") + ofCustomer +
               QStringLiteral(") between ? and ?"));
        where.values << c.lastFrom
                     << (c.lastBefore.isEmpty() ? QStringLiteral("99999999") : DayBefore(c.lastBefore));
    }
    // Within the period, or over every sale without one. A total or a number of visits implies a
    // purchase; only without them does a term ask for one, and it stops at the first sale found.
    QString within = ofCustomer;
    QVariantList bounds;
    if (c.hasPeriod()) {
        within += QStringLiteral(" and Fi_購入年月日 between ? and ?");
        bounds << c.periodFrom << (c.periodTo.isEmpty() ? QStringLiteral("99999999") : c.periodTo);
    }
    if (c.minTotal > 0) {
        append(QStringLiteral("(select sum(Fi_売価合計)") + within + QStringLiteral(") >= ?"));
        where.values << bounds << QVariant::fromValue<qlonglong>(c.minTotal);
    }
    if (c.minVisits > 1) {
        // The n-th day of purchase exists: the index walks the customer's days in order and stops
        // there, where counting distinct days would sort every customer's sales.
        append(QStringLiteral("(select Fi_購入年月日") + within +
               QStringLiteral(" group by Fi_購入年月日 limit 1 offset ?) is not null"));
        where.values << bounds << c.minVisits - 1;
    }
    if ((c.hasPeriod() || c.minVisits == 1) && c.minTotal <= 0 && c.minVisits <= 1) {
        append(QStringLiteral("exists (select 1") + within + QLatin1Char(')'));
        where.values << bounds;
    }
    return where;
}

PurchaseSummary SummarizePurchases(const std::vector<Sale>& sales, const QDate& today)
{
    PurchaseSummary s;
    QSet<QString> days;
    QHash<QString, Amount> byMaker;
    for (const Sale& sale : sales) {
        if (s.first.isEmpty() || sale.date < s.first)
            s.first = sale.date;
        if (s.last.isEmpty() || sale.date > s.last)
            s.last = sale.date;
        days.insert(sale.date);
        s.total += sale.total;
        byMaker[sale.maker] += sale.total;
    }
    s.count = static_cast<std::int64_t>(sales.size());
    s.visits = days.size();
    s.perVisit = RoundedQuotient(s.total, s.visits);
    if (!sales.empty())
        s.monthsSince = MonthsBetween(QDate::fromString(s.last, QStringLiteral("yyyyMMdd")), today);
    for (auto it = byMaker.constBegin(); it != byMaker.constEnd(); ++it)
        s.topMakers.push_back({it.key(), it.value()});
    std::sort(s.topMakers.begin(), s.topMakers.end(), [](const MakerTotal& a, const MakerTotal& b) {
        return a.total != b.total ? a.total > b.total : a.maker < b.maker;
    });
    if (s.topMakers.size() > kTopMakers)
        s.topMakers.resize(kTopMakers);
    return s;
}

std::vector<Sale> SalesStore::purchasesOf(const QString& buyer) const
{
    Database db;
    return SalesTable().rows(
        db, QStringLiteral("where Fi_購入者 = ? order by Fi_購入年月日 desc, Fi_キー desc"), {buyer});
}

bool SalesStore::purchaseIndexMissing() const
{
    Database db;
    return db.count(QStringLiteral("sqlite_master"), QStringLiteral("type = 'index' and name = ?"),
                    {kHistoryIndex}) == 0;
}

void SalesStore::buildPurchaseIndex(const std::function<void()>& progress) const
{
    Database db;
    db.setProgress(progress);
    db.execute(CreateIndexStatement(kHistoryIndex));
}
