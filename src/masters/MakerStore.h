#pragma once

#include "db/Rows.h"

#include <QString>
#include <cstdint>
#include <vector>

// The statements of the maker screen over Tb_メーカー. Every call opens the database for
// itself and stamps a change with the clock's now; failures are raised as DbError.
class MakerStore
{
  public:
    // Every maker in reading order (rows of equal reading in key order).
    std::vector<MakerRow> all() const;
    // Adds a maker under the next key; returns the key.
    std::int32_t add(const QString& name, const QString& reading) const;
    // Returns whether the row of the key still existed.
    bool update(std::int32_t key, const QString& name, const QString& reading) const;
    bool remove(std::int32_t key) const;
};
