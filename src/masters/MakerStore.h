#pragma once

#include "db/Rows.h"
#include "db/Table.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// Tb_メーカー: the maker list of every screen and the maker screen's changes.
class MakerStore : public TableStore<MakerRow>
{
  public:
    MakerStore();
    // Every maker in list order: by reading, rows of equal reading in key order.
    std::vector<MakerRow> all() const;
    // The key of every maker in list order.
    std::vector<std::int32_t> keys() const;
    // The first maker in list order whose name and reading, without their outer blanks, are
    // these.
    std::optional<std::int32_t> firstKeyOf(const QString& name, const QString& reading) const;
};
