#pragma once

#include "db/Rows.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// The statements of the maker screen over Tb_メーカー. Every call opens the database for
// itself and stamps a change with the clock's now; failures are raised as DbError.
class MakerStore
{
  public:
    // The key of every maker in list order: by reading, rows of equal reading in key order.
    std::vector<std::int32_t> keys() const;
    // The rows of those keys that still exist, in no particular order.
    std::vector<MakerRow> rowsOf(const std::vector<std::int32_t>& keys) const;
    // The first maker in list order whose name and reading, without their outer blanks, are
    // these.
    std::optional<std::int32_t> firstKeyOf(const QString& name, const QString& reading) const;
    // Adds a maker under the next key; returns the key.
    std::int32_t add(const QString& name, const QString& reading) const;
    // Returns whether the row of the key still existed.
    bool update(std::int32_t key, const QString& name, const QString& reading) const;
    bool remove(std::int32_t key) const;
};
