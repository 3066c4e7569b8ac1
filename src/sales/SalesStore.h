#pragma once

#include "core/Amount.h"
#include "db/Stamp.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class Query;
template <class Row> class Table;

// One row of Tb_売上: as the sales entry writes it (key and stamp left to the store) and as it is
// read back.
struct Sale
{
    std::int32_t key = 0;
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
    Stamp stamp; // last update, as read
};

// The columns of Tb_売上, for the readers that walk many sales at once (the reports).
const Table<Sale>& SalesTable();

// Tb_売上 for the sales screens. Each call is one database operation and stamps a change with the
// clock's now; failures are thrown as DbError.
class SalesStore
{
  public:
    // Appends the sale under the next key (its own key is ignored) and returns that key.
    std::int32_t add(const Sale& sale) const;

    // The keys of every sale in ascending order: the browsing order of the correction screen.
    std::vector<std::int32_t> saleKeys() const;
    // The sale of the key; none when it has no row (any more).
    std::optional<Sale> sale(std::int32_t key) const;
    // Writes the sale over the row of its key with a fresh stamp; false when the row is gone,
    // and then nothing is written.
    bool update(const Sale& sale) const;
    // Deletes the row of the key; false when there was none.
    bool remove(std::int32_t key) const;
};
