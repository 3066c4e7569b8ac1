#pragma once

#include <QString>

#include <cstdint>
#include <vector>

struct MakerRow
{
    std::int32_t key = 0;
    QString name;
    QString reading;
};

// The statements of the maker screen over Tb_メーカー. Every call opens the database for
// itself; failures are raised as DbError.
class MakerStore
{
  public:
    // Every maker in reading order (rows of equal reading in key order).
    static std::vector<MakerRow> all();
    // Adds a maker under the next key, stamped now; returns the key.
    static std::int32_t add(const QString& name, const QString& reading);
    // Returns whether the row of the key still existed.
    static bool update(std::int32_t key, const QString& name, const QString& reading);
    static bool remove(std::int32_t key);
};
