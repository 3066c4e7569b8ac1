#pragma once

#include <QString>
#include <QStringList>

// The 48 prefecture names, position = Fi_番号; position 0 stands for no prefecture.
QStringList PrefectureNames();

// Writes a new database file with every table and the prefecture rows, and nothing else.
// An existing file at the path is replaced. Throws QelError on failure.
void CreateDatabaseFile(const QString& path);

class Database;

// The tables a later version added to the schema: a ledger made before them is a ledger all the
// same, and gets each of them from CreateMissingTable when it is first needed.
const QStringList& LaterTables();

// Makes a table that a later version added to the schema, with its indexes, in a file made before
// it (the tables of the first version are never made: a file without them is no ledger). Does
// nothing when the table is there. Throws QelError when the schema defines no such table.
void CreateMissingTable(Database& db, const QString& name);

// The statement that makes the named index as the schema defines it, leaving an index of that
// name that a file has already be ("create index if not exists ..."). Throws QelError when the
// schema defines no such index.
QString CreateIndexStatement(const QString& name);
