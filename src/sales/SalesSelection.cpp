#include "SalesSelection.h"

#include "db/Database.h"
#include "db/EngineError.h"
#include "db/Schema.h"
#include "db/Table.h"

#include <iterator>

namespace {

// The report selection: the purchase month as text between the two bounds, the maker or the
// purchaser by equal name, ordered by purchase date and key. In the period report the "+" keeps
// the engine from reaching for the month index and sorting the whole table: the date index
// walks the rows in report order and holds the month and the total itself.
QString whereAndOrder(ReportKind kind)
{
    switch (kind) {
    case ReportKind::Maker:
        return QStringLiteral("where Fi_メーカー = ? and Fi_購入年月 between ? and ?"
                              " order by Fi_購入年月日, Fi_キー");
    case ReportKind::Buyer:
        return QStringLiteral("where Fi_購入者 = ? and Fi_購入年月 between ? and ?"
                              " order by Fi_購入年月日, Fi_キー");
    case ReportKind::Period:
        break;
    }
    return QStringLiteral("where +Fi_購入年月 between ? and ? order by Fi_購入年月日, Fi_キー");
}

QVariantList valuesOf(const ReportSelection& s)
{
    if (s.kind == ReportKind::Period)
        return {s.periodFrom, s.periodTo};
    return {s.name, s.periodFrom, s.periodTo};
}

// The indexes the reports and the charts walk; the schema defines them, and a file made before
// them gets them from the same definitions.
const QString kReportIndexes[] = {
    QStringLiteral("Ix_売上_購入年月日"),   QStringLiteral("Ix_売上_メーカー"),
    QStringLiteral("Ix_売上_購入者"),       QStringLiteral("Ix_売上_月別集計"),
    QStringLiteral("Ix_売上_月別内訳"),     QStringLiteral("Ix_売上_メーカー別集計"),
    QStringLiteral("Ix_売上_購入者別集計"),
};

const QString kPeriod = QStringLiteral("Fi_購入年月 between ? and ?");

} // namespace

bool SalesStore::reportIndexesMissing() const
{
    Database db;
    QString marks;
    QVariantList names;
    for (const auto& index : kReportIndexes) {
        marks += names.isEmpty() ? QStringLiteral("?") : QStringLiteral(", ?");
        names << index;
    }
    Query q(
        db,
        QStringLiteral("select count(*) from sqlite_master where type = 'index' and name in (%1)").arg(marks),
        names);
    return !q.next() || q.integer(0) < static_cast<std::int64_t>(std::size(kReportIndexes));
}

void SalesStore::buildReportIndexes(const std::function<void()>& progress) const
{
    Database db;
    db.setProgress(progress);
    for (const QString& index : kReportIndexes)
        db.execute(CreateIndexStatement(index));
}

ReportKeys SalesStore::reportKeys(const ReportSelection& selection) const
{
    Database db;
    ReportKeys result;
    Query q(db, QStringLiteral("select Fi_キー, Fi_売価合計 from Tb_売上 ") + whereAndOrder(selection.kind),
            valuesOf(selection));
    while (q.next()) {
        result.keys.push_back(static_cast<std::int32_t>(q.integer(0)));
        result.grandTotal += q.integer(1); // whole yen, stored as real
    }
    return result;
}

std::int64_t SalesStore::countInPeriod(const QString& from, const QString& to) const
{
    Database db;
    return db.count(QStringLiteral("Tb_売上"), kPeriod, {from, to});
}

std::int64_t SalesStore::removePeriod(const QString& from, const QString& to, std::int64_t confirmed) const
{
    const QString failed = QStringLiteral("売上データを削除できませんでした。削除したデータはありません。");
    Database db;
    return InContext(failed, [&] {
        // Immediate: no other writer can change the period between the count and the deletion.
        Database::Transaction transaction(db, Database::Transaction::Start::Immediate);
        const std::int64_t found = db.count(QStringLiteral("Tb_売上"), kPeriod, {from, to});
        if (found != confirmed)
            return found;
        const int deleted = db.execute(QStringLiteral("delete from Tb_売上 where ") + kPeriod, {from, to});
        if (deleted != found)
            throw QelError(QelError::Kind::Changed, failed,
                           QStringLiteral("%1 / %2").arg(deleted).arg(found));
        transaction.commit();
        return found;
    });
}

ReportSales::ReportSales(const ReportSelection& selection)
    : m_selection(selection), m_db(std::make_unique<Database>())
{
    QString countSql = whereAndOrder(selection.kind);
    countSql.truncate(countSql.indexOf(QStringLiteral(" order by")));
    Query q(*m_db, QStringLiteral("select count(*) from Tb_売上 ") + countSql, valuesOf(selection));
    m_count = q.next() ? q.integer(0) : 0;
}

ReportSales::~ReportSales() = default;

const Sale* ReportSales::next()
{
    if (!m_rows)
        m_rows = std::make_unique<Query>(*m_db, SalesTable().select(whereAndOrder(m_selection.kind)),
                                         valuesOf(m_selection));
    if (!m_rows->next())
        return nullptr;
    m_row = SalesTable().read(*m_rows);
    return &m_row;
}
