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

class Database;

// Every maker in reading order, rows of equal reading in key order: the one maker list of every
// screen.
std::vector<MakerRow> ReadMakers(Database& db);
NamesWithReadings NamesOf(const std::vector<MakerRow>& makers);

// The products that the condition and order (the text after "from Tb_商品") select, values bound.
std::vector<ProductRow> ReadProducts(Database& db, const QString& whereAndOrder,
                                     const QVariantList& values = {});
