#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

// Writes database files in the Jet 3 format (Access 97) for the tests and benchmarks of the
// conversion: the header page, the catalog, one definition page per table, data pages and the
// tables' page maps, as a reader of that format needs them; no indexes. Text is stored in
// CP932, as the shop's Windows wrote it.
namespace jet3 {

enum class Type { Byte = 0x02, Integer = 0x03, Long = 0x04, Double = 0x07, DateTime = 0x08, Text = 0x0a };

struct Column
{
    QString name;
    Type type = Type::Text;
    int size = 50; // a text's greatest length in bytes; ignored for the other types
};

struct Table
{
    QString name;
    std::vector<Column> columns;
    qint64 rows = 0;
    // The values of one row, one per column: an invalid QVariant is a Null, a QByteArray is
    // stored as those bytes, a QString in CP932, a number as the column's type.
    std::function<void(qint64 row, QVariantList& values)> fill;
};

// Writes the tables into a new file at the path (an existing one is replaced). Returns the
// reason when it cannot (a value that does not fit its column, a row too long for a page, a
// write that fails), else the empty text.
QString Write(const QString& path, const std::vector<Table>& tables);

// A table whose rows are given as they are.
Table Rows(const QString& name, std::vector<Column> columns, std::vector<QVariantList> rows);

} // namespace jet3
