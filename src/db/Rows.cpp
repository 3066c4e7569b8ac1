#include "Rows.h"

#include "Database.h"

std::vector<MakerRow> ReadMakers(Database& db)
{
    std::vector<MakerRow> rows;
    Query q(db, QStringLiteral("select Fi_キー, Fi_メーカー, Fi_メーカーフリガナ from Tb_メーカー"
                               " order by Fi_メーカーフリガナ, Fi_キー"));
    while (q.next()) {
        MakerRow row;
        row.key = static_cast<std::int32_t>(q.integer(0));
        row.name = q.text(1);
        row.reading = q.text(2);
        rows.push_back(std::move(row));
    }
    return rows;
}

NamesWithReadings NamesOf(const std::vector<MakerRow>& makers)
{
    NamesWithReadings result;
    result.names.reserve(static_cast<qsizetype>(makers.size()));
    result.readings.reserve(static_cast<qsizetype>(makers.size()));
    for (const MakerRow& m : makers) {
        result.names << m.name;
        result.readings << m.reading;
    }
    return result;
}

std::vector<ProductRow> ReadProducts(Database& db, const QString& whereAndOrder, const QVariantList& values)
{
    std::vector<ProductRow> rows;
    Query q(db,
            QStringLiteral(
                "select Fi_キー, Fi_メーカー, Fi_メーカーフリガナ, Fi_商品, Fi_商品フリガナ, Fi_定価, Fi_売価"
                " from Tb_商品 ") +
                whereAndOrder,
            values);
    while (q.next()) {
        ProductRow row;
        row.key = static_cast<std::int32_t>(q.integer(0));
        row.maker = q.text(1);
        row.makerReading = q.text(2);
        row.name = q.text(3);
        row.reading = q.text(4);
        row.listPrice = q.integer(5);
        row.sellingPrice = q.integer(6);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::int32_t> ReadKeys(Database& db, const QString& sql)
{
    std::vector<std::int32_t> keys;
    Query q(db, sql);
    while (q.next())
        keys.push_back(static_cast<std::int32_t>(q.integer(0)));
    return keys;
}

QString Placeholders(std::size_t count)
{
    QString marks;
    marks.reserve(static_cast<qsizetype>(count * 3));
    for (std::size_t i = 0; i < count; ++i)
        marks += i == 0 ? QStringLiteral("?") : QStringLiteral(", ?");
    return marks;
}

QVariantList KeyValues(const std::vector<std::int32_t>& keys)
{
    QVariantList values;
    values.reserve(static_cast<qsizetype>(keys.size()));
    for (std::int32_t key : keys)
        values << key;
    return values;
}
