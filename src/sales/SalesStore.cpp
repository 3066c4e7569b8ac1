#include "SalesStore.h"

#include "db/Database.h"
#include "db/Stamp.h"

#include <QHash>

#include <algorithm>

namespace {

const QString kSales = QStringLiteral("Tb_売上");

QVariant money(Amount value)
{
    return QVariant::fromValue<qlonglong>(value);
}

RowValues SaleValues(const Sale& sale)
{
    RowValues values;
    values.set(QStringLiteral("Fi_購入年"), sale.year)
        .set(QStringLiteral("Fi_購入年月"), sale.yearMonth)
        .set(QStringLiteral("Fi_購入年月日"), sale.date)
        .set(QStringLiteral("Fi_メーカー"), sale.maker)
        .set(QStringLiteral("Fi_メーカーフリガナ"), sale.makerReading)
        .set(QStringLiteral("Fi_商品"), sale.product)
        .set(QStringLiteral("Fi_商品フリガナ"), sale.productReading)
        .set(QStringLiteral("Fi_定価"), money(sale.listPrice))
        .set(QStringLiteral("Fi_売価"), money(sale.sellingPrice))
        .set(QStringLiteral("Fi_数量"), money(sale.quantity))
        .set(QStringLiteral("Fi_売価合計"), money(sale.total))
        .set(QStringLiteral("Fi_購入者"), sale.buyer)
        .set(QStringLiteral("Fi_購入者フリガナ"), sale.buyerReading)
        .set(QStringLiteral("Fi_備考"), sale.remarks);
    return values;
}

} // namespace

NamesWithReadings SalesStore::makers() const
{
    Database db;
    return NamesOf(ReadMakers(db));
}

NamesWithReadings SalesStore::productsOf(const QString& maker) const
{
    Database db;
    NamesWithReadings result;
    Query q(
        db,
        QStringLiteral(
            "select Fi_商品, Fi_商品フリガナ from Tb_商品 where Fi_メーカー = ? order by Fi_商品フリガナ"),
        {maker});
    while (q.next()) {
        result.names << q.text(0);
        result.readings << q.text(1);
    }
    return result;
}

std::optional<ProductPrices> SalesStore::pricesOf(const QString& maker, const QString& product) const
{
    Database db;
    Query q(db, QStringLiteral("select Fi_定価, Fi_売価 from Tb_商品 where Fi_メーカー = ? and Fi_商品 = ?"),
            {maker, product});
    if (!q.next())
        return std::nullopt;
    return ProductPrices{q.amount("Fi_定価"), q.amount("Fi_売価")};
}

NamesWithReadings SalesStore::customers() const
{
    Database db;
    NamesWithReadings result;
    Query q(db, QStringLiteral("select Fi_名前, Fi_名前フリガナ from Tb_顧客 order by Fi_名前フリガナ"));
    while (q.next()) {
        result.names << q.text(0);
        result.readings << q.text(1);
    }
    return result;
}

KeysWithReadings SalesStore::customerReadings() const
{
    Database db;
    KeysWithReadings result;
    Query q(db,
            QStringLiteral("select Fi_キー, Fi_名前フリガナ from Tb_顧客 order by Fi_名前フリガナ, Fi_キー"));
    while (q.next()) {
        result.keys.push_back(static_cast<std::int32_t>(q.integer(0)));
        result.readings << q.text(1);
    }
    return result;
}

QStringList SalesStore::customerNames(const std::vector<std::int32_t>& keys) const
{
    Database db;
    QHash<std::int32_t, QString> byKey;
    Query q(db,
            QStringLiteral("select Fi_キー, Fi_名前 from Tb_顧客 where Fi_キー in (%1)")
                .arg(Placeholders(keys.size())),
            KeyValues(keys));
    while (q.next())
        byKey.insert(static_cast<std::int32_t>(q.integer(0)), q.text(1));
    QStringList names;
    names.reserve(static_cast<qsizetype>(keys.size()));
    for (std::int32_t key : keys)
        names << byKey.value(key);
    return names;
}

std::int32_t SalesStore::add(const Sale& sale) const
{
    Database db;
    const std::int32_t key = db.nextKey(kSales);
    SaleValues(sale).set(QStringLiteral("Fi_キー"), key).stamp(Stamp::now()).insertInto(db, kSales);
    return key;
}

std::vector<ProductRow> SalesStore::productRowsOf(const QString& maker) const
{
    Database db;
    return ReadProducts(db, QStringLiteral("where Fi_メーカー = ? order by Fi_商品フリガナ, Fi_キー"),
                        {maker});
}

std::vector<std::int32_t> SalesStore::saleKeys() const
{
    Database db;
    std::vector<std::int32_t> keys;
    // Unordered, the engine reads the keys from the smallest index instead of every whole row;
    // sorting them here is cheaper than reading a million rows.
    Query q(db, QStringLiteral("select Fi_キー from Tb_売上"));
    while (q.next())
        keys.push_back(static_cast<std::int32_t>(q.integer(0)));
    std::sort(keys.begin(), keys.end());
    return keys;
}

std::optional<SaleRow> SalesStore::sale(std::int32_t key) const
{
    Database db;
    Query q(db, QStringLiteral("select * from Tb_売上 where Fi_キー = ?"), {key});
    if (!q.next())
        return std::nullopt;
    SaleRow row;
    row.key = static_cast<std::int32_t>(q.integer("Fi_キー"));
    row.year = q.text("Fi_購入年");
    row.yearMonth = q.text("Fi_購入年月");
    row.date = q.text("Fi_購入年月日");
    row.maker = q.text("Fi_メーカー");
    row.makerReading = q.text("Fi_メーカーフリガナ");
    row.product = q.text("Fi_商品");
    row.productReading = q.text("Fi_商品フリガナ");
    row.listPrice = q.amount("Fi_定価");
    row.sellingPrice = q.amount("Fi_売価");
    row.quantity = q.amount("Fi_数量");
    row.total = q.amount("Fi_売価合計");
    row.buyer = q.text("Fi_購入者");
    row.buyerReading = q.text("Fi_購入者フリガナ");
    row.remarks = q.text("Fi_備考");
    row.stamp.year = q.text("Fi_最終更新年");
    row.stamp.month = q.text("Fi_最終更新月");
    row.stamp.day = q.text("Fi_最終更新日");
    row.stamp.hour = q.text("Fi_最終更新時");
    row.stamp.minute = q.text("Fi_最終更新分");
    row.stamp.second = q.text("Fi_最終更新秒");
    return row;
}

bool SalesStore::update(std::int32_t key, const Sale& sale) const
{
    Database db;
    return SaleValues(sale).stamp(Stamp::now()).updateByKey(db, kSales, key);
}

bool SalesStore::remove(std::int32_t key) const
{
    Database db;
    return DeleteByKey(db, kSales, key);
}
