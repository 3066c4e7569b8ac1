#pragma once

#include "db/Rows.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The statements of the product screen over Tb_商品 and its maker list. Every call opens the
// database for itself and stamps a change with the clock's now; failures are raised as DbError.
class ProductStore
{
  public:
    // The key of every product in list order: grouped by maker reading, then by product
    // reading, rows of equal readings in key order.
    std::vector<std::int32_t> keys() const;
    // The rows of those keys that still exist, in no particular order.
    std::vector<ProductRow> rowsOf(const std::vector<std::int32_t>& keys) const;
    // The first product in list order whose name and maker name, without their outer blanks,
    // are these.
    std::optional<std::int32_t> firstKeyOf(const QString& name, const QString& maker) const;
    // Every maker, as the maker list reads them.
    std::vector<MakerRow> makers() const;
    // Adds the product (its key is ignored) under the next key, stamped now; returns the key.
    std::int32_t add(const ProductRow& product) const;
    // Writes every field but the key; returns whether the row still existed.
    bool update(std::int32_t key, const ProductRow& product) const;
    bool remove(std::int32_t key) const;
};
