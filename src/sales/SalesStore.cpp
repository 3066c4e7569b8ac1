#include "SalesStore.h"

#include "db/Database.h"
#include "db/Stamp.h"

namespace {

const QString kSales = QStringLiteral("Tb_売上");

QVariant money(Amount value)
{
    return QVariant::fromValue<qlonglong>(value);
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

std::int32_t SalesStore::add(const Sale& sale) const
{
    Database db;
    const std::int32_t key = db.nextKey(kSales);
    RowValues()
        .set(QStringLiteral("Fi_キー"), key)
        .set(QStringLiteral("Fi_購入年"), sale.year)
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
        .set(QStringLiteral("Fi_備考"), sale.remarks)
        .stamp(Stamp::now())
        .insertInto(db, kSales);
    return key;
}
