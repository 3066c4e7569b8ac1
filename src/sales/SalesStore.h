#pragma once

#include "core/Amount.h"
#include "db/Rows.h"
#include "db/Stamp.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

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

// A stored sale as read back: the sale with its key and its last-update stamp.
struct SaleRow : Sale
{
    std::int32_t key = 0;
    Stamp stamp;
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
    // The maker's products in reading order with their prices.
    std::vector<ProductRow> productRowsOf(const QString& maker) const;
    // The prices of the maker's product; none when the product has no row (any more).
    std::optional<ProductPrices> pricesOf(const QString& maker, const QString& product) const;
    NamesWithReadings customers() const;
    // Every customer's key and reading in the same order, read from the reading index alone, and
    // the names of some customers by key, in the order of the keys (empty for a key without a
    // row): a long purchaser list is shown at once and its names read as they are drawn.
    KeysWithReadings customerReadings() const;
    QStringList customerNames(const std::vector<std::int32_t>& keys) const;
    // Appends the sale under the next key and returns that key.
    std::int32_t add(const Sale& sale) const;

    // The keys of every sale in ascending order: the browsing order of the correction screen.
    std::vector<std::int32_t> saleKeys() const;
    // The sale of the key; none when it has no row (any more).
    std::optional<SaleRow> sale(std::int32_t key) const;
    // Writes the sale over the row of the key with a fresh stamp, the key kept; false when the
    // row is gone, and then nothing is written.
    bool update(std::int32_t key, const Sale& sale) const;
    // Deletes the row of the key; false when there was none.
    bool remove(std::int32_t key) const;
};
