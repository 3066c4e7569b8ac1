#pragma once

#include "core/Amount.h"
#include "db/Stamp.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// A list of names with the reading of each at the same position, in reading order.
struct NamesWithReadings
{
    QStringList names;
    QStringList readings;
};

struct ProductPrices
{
    Amount listPrice = 0;
    Amount sellingPrice = 0;
};

// One line of Tb_売上 as the sales entry writes it.
struct Sale
{
    QString year;      // yyyy
    QString yearMonth; // yyyymm
    QString date;      // yyyymmdd
    QString maker;
    QString makerReading;
    QString product;
    QString productReading;
    Amount listPrice = 0;
    Amount sellingPrice = 0;
    Amount quantity = 0;
    Amount total = 0;
    QString buyer;
    QString buyerReading;
    QString remarks;
};

// The statements of the sales screens and their look-ups of makers, products and customers.
// Each call is one database operation; failures are thrown as DbError.
class SalesStore
{
  public:
    static NamesWithReadings Makers();
    static NamesWithReadings ProductsOf(const QString& maker);
    // The prices of the maker's product; none when the product has no row (any more).
    static std::optional<ProductPrices> PricesOf(const QString& maker, const QString& product);
    static NamesWithReadings Customers();

    // Appends the sale under the next key and returns that key.
    static std::int32_t Add(const Sale& sale, const Stamp& stamp);
};
