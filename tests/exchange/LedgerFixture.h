#pragma once

#include "support/Jet3Writer.h"

#include <QString>
#include <QVariant>

#include <map>
#include <vector>

// The ledger of a shop that used the earlier program, as the rows of its six tables, written as
// a Jet 3 file with the writer of tests/support. Texts hold what Japanese shops write (㈱, 髙,
// 﨑, 德, №, half-width readings, empty and Null entries); the sales fill many data pages.
struct LedgerData
{
    std::map<QString, std::vector<QVariantList>> rows;
    // Each table's columns as the file has them, in our schema's order unless changed.
    std::map<QString, std::vector<jet3::Column>> columns;

    // The columns the earlier program gave the table: long keys (integer in the reference and
    // search tables), integer prefecture numbers, double amounts, text of up to 255 bytes.
    static std::vector<jet3::Column> ledgerColumns(const QString& table);
    std::vector<jet3::Table> tables() const;
    // Writes the file; a GoogleTest failure when the writer cannot.
    void write(const QString& path) const;
};

LedgerData SampleLedger(int customers = 300, int sales = 1500);

// A value as our database holds it: a Null as 0 or the empty text, a double as a number.
QVariant Stored(const QVariant& value, bool text);
