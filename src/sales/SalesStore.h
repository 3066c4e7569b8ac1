#pragma once

#include "core/Amount.h"
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

// Tb_売上 for the sales screens.
class SalesStore : public TableStore<Sale>
{
  public:
    SalesStore();
    // The keys of every sale in ascending order: the browsing order of the correction screen.
    std::vector<std::int32_t> saleKeys() const;
};
