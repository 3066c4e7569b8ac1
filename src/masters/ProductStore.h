#pragma once

#include "db/Rows.h"
#include "db/Table.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// Tb_商品: the product screen's list and changes, and the products of a maker as the sales
// screens choose them.
class ProductStore : public TableStore<ProductRow>
{
  public:
    ProductStore();
    // The key of every product in list order: grouped by maker reading, then by product
    // reading, rows of equal readings in key order.
    std::vector<std::int32_t> keys() const;
    // The maker's products by reading, rows of equal reading in key order: whole, or only their
    // names and readings (which a table with a damaged price column still gives).
    std::vector<ProductRow> ofMaker(const QString& maker) const;
    NamesWithReadings namesOf(const QString& maker) const;
    // The maker's product of that name; none when it has no row (any more).
    std::optional<ProductRow> product(const QString& maker, const QString& name) const;
    // The first product in list order whose name and maker name, without their outer blanks,
    // are these.
    std::optional<std::int32_t> firstKeyOf(const QString& name, const QString& maker) const;
};
