#pragma once

#include "core/Amount.h"

#include <QString>

#include <cstdint>
#include <vector>

struct ProductRow
{
    std::int32_t key = 0;
    QString maker;
    QString makerReading;
    QString name;
    QString reading;
    Amount listPrice = 0;
    Amount sellPrice = 0;
};

// The statements of the product screen over Tb_商品 and its maker list.
class ProductStore
{
  public:
    // Every product, grouped by maker reading, then in product reading order.
    static std::vector<ProductRow> all();
    // Adds the product (its key is ignored) under the next key, stamped now; returns the key.
    static std::int32_t add(const ProductRow& product);
    // Writes every field but the key; returns whether the row still existed.
    static bool update(std::int32_t key, const ProductRow& product);
    static bool remove(std::int32_t key);
};
