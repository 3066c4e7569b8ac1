#include "ProductStore.h"

#include "db/Database.h"

namespace {

const QString kTable = QStringLiteral("Tb_商品");

RowValues fieldsOf(const ProductRow& p)
{
    RowValues values;
    values.set(QStringLiteral("Fi_メーカーフリガナ"), p.makerReading)
        .set(QStringLiteral("Fi_商品フリガナ"), p.reading)
        .set(QStringLiteral("Fi_メーカー"), p.maker)
        .set(QStringLiteral("Fi_商品"), p.name)
        .set(QStringLiteral("Fi_定価"), QVariant::fromValue<qlonglong>(p.listPrice))
        .set(QStringLiteral("Fi_売価"), QVariant::fromValue<qlonglong>(p.sellingPrice))
        .stamp(Stamp::now());
    return values;
}

} // namespace

std::vector<std::int32_t> ProductStore::keys() const
{
    Database db;
    // The reading index holds the key: the list order is read without touching a row.
    return ReadKeys(
        db,
        QStringLiteral("select Fi_キー from Tb_商品 order by Fi_メーカーフリガナ, Fi_商品フリガナ, Fi_キー"));
}

std::vector<ProductRow> ProductStore::rowsOf(const std::vector<std::int32_t>& keys) const
{
    Database db;
    return ReadProducts(db, QStringLiteral("where Fi_キー in (%1)").arg(Placeholders(keys.size())),
                        KeyValues(keys));
}

std::optional<std::int32_t> ProductStore::firstKeyOf(const QString& name, const QString& maker) const
{
    Database db;
    Query q(db,
            QStringLiteral(
                "select Fi_キー from Tb_商品 where trim(Fi_商品, ' ') = ? and trim(Fi_メーカー, ' ') = ?"
                " order by Fi_メーカーフリガナ, Fi_商品フリガナ, Fi_キー limit 1"),
            {name, maker});
    if (!q.next())
        return std::nullopt;
    return static_cast<std::int32_t>(q.integer(0));
}

std::int32_t ProductStore::add(const ProductRow& product) const
{
    Database db;
    const std::int32_t key = db.nextKey(kTable);
    RowValues values = fieldsOf(product);
    values.set(QStringLiteral("Fi_キー"), key).insertInto(db, kTable);
    return key;
}

bool ProductStore::update(std::int32_t key, const ProductRow& product) const
{
    Database db;
    return fieldsOf(product).updateByKey(db, kTable, key);
}

bool ProductStore::remove(std::int32_t key) const
{
    Database db;
    return DeleteByKey(db, kTable, key);
}

std::vector<MakerRow> ProductStore::makers() const
{
    Database db;
    return ReadMakers(db);
}
