#pragma once

#include "core/Amount.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <cstdint>
#include <vector>

// Rows as the stores hand them to the screens; a field has the same name in every row.

struct MakerRow
{
    std::int32_t key = 0;
    QString name;
    QString reading;
};

struct ProductRow
{
    std::int32_t key = 0;
    QString maker;
    QString makerReading;
    QString name;
    QString reading;
    Amount listPrice = 0;
    Amount sellingPrice = 0;
};

// A list of names with the reading (or another companion value) of each at the same position.
struct NamesWithReadings
{
    QStringList names;
    QStringList readings;
};

// Keys in list order with the reading of each at the same position: a list whose names are read
// later, a block at a time.
struct KeysWithReadings
{
    std::vector<std::int32_t> keys;
    QStringList readings;
};

// A condition of a statement: its text with a "?" for each value, and the values to bind.
struct WhereClause
{
    QString text;
    QVariantList values;
};

class Database;

// The names and readings of makers or products, in their order.
template <class Row> NamesWithReadings NamesOf(const std::vector<Row>& rows)
{
    NamesWithReadings result;
    result.names.reserve(static_cast<qsizetype>(rows.size()));
    result.readings.reserve(static_cast<qsizetype>(rows.size()));
    for (const Row& row : rows) {
        result.names << row.name;
        result.readings << row.reading;
    }
    return result;
}

// For lists read a block of keys at a time: the keys that a statement selects, in its order;
// "?, ?, ?" for the values of an "in (...)" condition; the keys as those values.
std::vector<std::int32_t> ReadKeys(Database& db, const QString& sql);
QString Placeholders(std::size_t count);
QVariantList KeyValues(const std::vector<std::int32_t>& keys);
