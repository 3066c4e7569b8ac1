#pragma once

#include "JetLedger.h"

#include "db/Backup.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

// What a conversion of an earlier ledger did, for the box that ends it.
struct LedgerConversion
{
    JetFormat format = JetFormat::None;
    // The rows now in each ledger table, in LedgerTables() order.
    std::vector<std::pair<QString, std::int64_t>> rows;
    // The sum of the sales' selling-price totals, in yen.
    std::int64_t salesTotal = 0;
    // Tables and columns of the file that were left behind.
    QStringList ignored;
    // Where the file's prefecture rows differ from ours, which were taken instead.
    QStringList prefectureDifferences;
    // The earlier ledger's file as kept in the backup folder.
    QString keptOriginal;
    // The backup of the database that the conversion replaced; empty when the replaced file was
    // the earlier ledger itself.
    QString replacedBackup;
    // As after a backup run: old backups that could not be deleted.
    QString pruneProblem;
    QString pruneDetail;
};

// Writes the ledger of the Jet file into a new database file at `target`: our whole schema with
// its indexes and its own prefectures, and every row of the other five tables with its key,
// texts as stored. Then checks the new file: the engine's integrity check of the tables before
// their indexes are made, its quick check of every page after, each table's rows against the rows
// read, and the sum of the sales' selling-price totals. The Jet file is only
// read. Throws QelError naming the table or the rows that stop it; nothing is left at `target`.
// Progress runs from 0 to 100.
LedgerConversion WriteConvertedLedger(const QString& jetPath, const QString& target,
                                      const Progress& progress = {});

// Converts the Jet file into the database in use, which it replaces as a restore replaces it
// with a backup: the new database written and checked beside it; the engine's lock on the
// database in use taken (another program that is writing stops the conversion here); the
// database in use kept in the backup folder as a backup, unless it is the Jet file itself; the
// Jet file kept byte for byte in the backup folder (KeepEarlierLedger); the new content written
// into the database through the engine in one transaction, or, where the engine cannot read the
// database (the Jet file itself), renamed over it in one step; then the old backups pruned as
// after a backup run. Each step is announced before it runs. A stop at any instant leaves the
// old database or the converted one, whole. A failing step throws QelError naming the step; the
// database in use stays as it was and no temporary file is left.
LedgerConversion ConvertLedger(const QString& jetPath,
                               const std::function<void(const QString& status)>& announce,
                               const Progress& progress = {});

// The box that ends a conversion: what each table received, what was left behind, where the
// original and the replaced database are kept.
QString ConversionReport(const LedgerConversion& conversion);
