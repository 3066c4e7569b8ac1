#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <vector>

// The 48 prefecture names, position = Fi_番号; position 0 stands for no prefecture.
QStringList PrefectureNames();

// Writes a new database file with every table and the prefecture rows, and nothing else.
// An existing file at the path is replaced. Throws QelError on failure.
void CreateDatabaseFile(const QString& path);

class Database;

// A column as the schema declares it: its name and its type in lower case ("integer", "real",
// "text").
struct SchemaColumn
{
    QString name;
    QString type;
};
// Every table of the schema with its columns in their order.
const std::map<QString, std::vector<SchemaColumn>>& SchemaTables();

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
