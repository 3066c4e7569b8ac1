#pragma once

#include "core/Amount.h"
#include "core/PeriodMonth.h"
#include "db/Stamp.h"
#include "db/Table.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

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

// Which sales a sum covers: the purchase months from and to ("yyyymm"; kOpenStart and kOpenEnd
// for no bound), and all sales or those of one maker or one purchaser (by name, as stored).
struct SalesScope
{
    enum class Kind { All, Maker, Buyer };
    Kind kind = Kind::All;
    QString from = kOpenStart;
    QString to = kOpenEnd;
    QString name;
};

// The sales of one month, maker or purchaser: the sum of their totals, their number and the last
// purchase date ("yyyymmdd").
struct SalesSum
{
    QString group;
    Amount total = 0;
    std::int64_t count = 0;
    QString lastDate;
};

// Tb_売上 for the sales screens, and its sums for the charts.
class SalesStore : public TableStore<Sale>
{
  public:
    SalesStore();
    // The keys of every sale in ascending order: the browsing order of the correction screen.
    std::vector<std::int32_t> saleKeys() const;

    // The scope's sales by purchase month, in month order (months without sales left out).
    std::vector<SalesSum> monthSums(const SalesScope& scope) const;
    // The first month with a sale of the scope's maker or purchaser (of any sale for all), whatever
    // its months; empty when there is none.
    QString firstMonth(const SalesScope& scope) const;
    // The scope's sales by maker, in no particular order.
    std::vector<SalesSum> makerSums(const SalesScope& scope) const;
    // The scope's `count` purchasers of the largest totals, largest first, equal totals by name.
    std::vector<SalesSum> topBuyers(const SalesScope& scope, int count) const;
};
