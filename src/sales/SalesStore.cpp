#include "SalesStore.h"

#include <algorithm>

const Table<Sale>& SalesTable()
{
    static const Table<Sale> table(QStringLiteral("Tb_売上"), &Sale::key,
                                   {{QStringLiteral("Fi_購入年"), &Sale::year},
                                    {QStringLiteral("Fi_購入年月"), &Sale::yearMonth},
                                    {QStringLiteral("Fi_購入年月日"), &Sale::date},
                                    {QStringLiteral("Fi_メーカー"), &Sale::maker},
                                    {QStringLiteral("Fi_メーカーフリガナ"), &Sale::makerReading},
                                    {QStringLiteral("Fi_商品"), &Sale::product},
                                    {QStringLiteral("Fi_商品フリガナ"), &Sale::productReading},
                                    {QStringLiteral("Fi_定価"), &Sale::listPrice},
                                    {QStringLiteral("Fi_売価"), &Sale::sellingPrice},
                                    {QStringLiteral("Fi_数量"), &Sale::quantity},
                                    {QStringLiteral("Fi_売価合計"), &Sale::total},
                                    {QStringLiteral("Fi_購入者"), &Sale::buyer},
                                    {QStringLiteral("Fi_購入者フリガナ"), &Sale::buyerReading},
                                    {QStringLiteral("Fi_備考"), &Sale::remarks}},
                                   Table<Sale>::Stamped::Yes, &Sale::stamp);
    return table;
}

SalesStore::SalesStore() : TableStore(SalesTable()) {}

std::vector<std::int32_t> SalesStore::saleKeys() const
{
    Database db;
    // Unordered, the engine reads the keys from the smallest index instead of every whole row;
    // sorting them here is cheaper than reading a million rows.
    std::vector<std::int32_t> keys = ReadKeys(db, QStringLiteral("select Fi_キー from Tb_売上"));
    std::sort(keys.begin(), keys.end());
    return keys;
}
