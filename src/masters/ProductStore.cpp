#include "ProductStore.h"

namespace {

const Table<ProductRow> kProducts(QStringLiteral("Tb_商品"), &ProductRow::key,
                                  {{QStringLiteral("Fi_メーカーフリガナ"), &ProductRow::makerReading},
                                   {QStringLiteral("Fi_商品フリガナ"), &ProductRow::reading},
                                   {QStringLiteral("Fi_メーカー"), &ProductRow::maker},
                                   {QStringLiteral("Fi_商品"), &ProductRow::name},
                                   {QStringLiteral("Fi_定価"), &ProductRow::listPrice},
                                   {QStringLiteral("Fi_売価"), &ProductRow::sellingPrice}},
                                  Table<ProductRow>::Stamped::Yes);

const QString kListOrder = QStringLiteral("order by Fi_メーカーフリガナ, Fi_商品フリガナ, Fi_キー");
const QString kOfMaker = QStringLiteral("where Fi_メーカー = ? order by Fi_商品フリガナ, Fi_キー");

} // namespace

ProductStore::ProductStore() : TableStore(kProducts) {}

std::vector<std::int32_t> ProductStore::keys() const
{
    Database db;
    // The reading index holds the key: the list order is read without touching a row.
    return ReadKeys(db, QStringLiteral("select Fi_キー from Tb_商品 ") + kListOrder);
}

std::vector<ProductRow> ProductStore::ofMaker(const QString& maker) const
{
    Database db;
    return kProducts.rows(db, kOfMaker, {maker});
}

NamesWithReadings ProductStore::namesOf(const QString& maker) const
{
    Database db;
    NamesWithReadings result;
    Query q(db, QStringLiteral("select Fi_商品, Fi_商品フリガナ from Tb_商品 ") + kOfMaker, {maker});
    while (q.next()) {
        result.names << q.text(0);
        result.readings << q.text(1);
    }
    return result;
}

std::optional<ProductRow> ProductStore::product(const QString& maker, const QString& name) const
{
    Database db;
    std::vector<ProductRow> rows =
        kProducts.rows(db, QStringLiteral("where Fi_メーカー = ? and Fi_商品 = ? limit 1"), {maker, name});
    if (rows.empty())
        return std::nullopt;
    return std::move(rows.front());
}

std::optional<std::int32_t> ProductStore::firstKeyOf(const QString& name, const QString& maker) const
{
    Database db;
    Query q(db,
            QStringLiteral(
                "select Fi_キー from Tb_商品 where trim(Fi_商品, ' ') = ? and trim(Fi_メーカー, ' ') = ? ") +
                kListOrder + QStringLiteral(" limit 1"),
            {name, maker});
    if (!q.next())
        return std::nullopt;
    return static_cast<std::int32_t>(q.integer(0));
}
