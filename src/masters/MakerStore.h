#pragma once

#include "db/Rows.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// Tb_メーカー: the maker list of every screen and the maker screen's changes. Every call opens
// the database for itself and stamps a change with the clock's now; failures are raised as
// DbError.
class MakerStore
{
  public:
    // Every maker in list order: by reading, rows of equal reading in key order.
    std::vector<MakerRow> all() const;
    // The key of every maker in list order.
    std::vector<std::int32_t> keys() const;
    // The rows of those keys, each at its key's position; none where a row is gone.
    std::vector<std::optional<MakerRow>> rowsOf(const std::vector<std::int32_t>& keys) const;
    // The first maker in list order whose name and reading, without their outer blanks, are
    // these.
    std::optional<std::int32_t> firstKeyOf(const QString& name, const QString& reading) const;
    // Adds the maker under the next key (its own key is ignored); returns the key.
    std::int32_t add(const MakerRow& maker) const;
    // Writes the maker over the row of its key; returns whether that row still existed.
    bool update(const MakerRow& maker) const;
    bool remove(std::int32_t key) const;
};
