#pragma once

#include "db/Rows.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// Tb_商品: the product screen's list and changes, and the products of a maker as the sales
// screens choose them. Every call opens the database for itself and stamps a change with the
// clock's now; failures are raised as DbError.
class ProductStore
{
  public:
    // The key of every product in list order: grouped by maker reading, then by product
    // reading, rows of equal readings in key order.
    std::vector<std::int32_t> keys() const;
    // The rows of those keys, each at its key's position; none where a row is gone.
    std::vector<std::optional<ProductRow>> rowsOf(const std::vector<std::int32_t>& keys) const;
    // The maker's products by reading, rows of equal reading in key order: whole, or only their
    // names and readings (which a table with a damaged price column still gives).
    std::vector<ProductRow> ofMaker(const QString& maker) const;
    NamesWithReadings namesOf(const QString& maker) const;
    // The maker's product of that name; none when it has no row (any more).
    std::optional<ProductRow> product(const QString& maker, const QString& name) const;
    // The first product in list order whose name and maker name, without their outer blanks,
    // are these.
    std::optional<std::int32_t> firstKeyOf(const QString& name, const QString& maker) const;
    // Adds the product under the next key (its own key is ignored); returns the key.
    std::int32_t add(const ProductRow& product) const;
    // Writes the product over the row of its key; returns whether that row still existed.
    bool update(const ProductRow& product) const;
    bool remove(std::int32_t key) const;
};
