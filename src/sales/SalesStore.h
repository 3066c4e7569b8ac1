#pragma once

#include "core/Amount.h"
#include "db/Rows.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

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
// Each call is one database operation and stamps a change with the clock's now; failures are
// thrown as DbError.
class SalesStore
{
  public:
    // Makers, products and customers in reading order, each with its reading.
    NamesWithReadings makers() const;
    NamesWithReadings productsOf(const QString& maker) const;
    // The prices of the maker's product; none when the product has no row (any more).
    std::optional<ProductPrices> pricesOf(const QString& maker, const QString& product) const;
    NamesWithReadings customers() const;
    // Appends the sale under the next key and returns that key.
    std::int32_t add(const Sale& sale) const;
};
