#pragma once

#include <QString>
#include <QStringList>

// The 48 prefecture names, position = Fi_番号; position 0 stands for no prefecture.
QStringList PrefectureNames();

// Writes a new database file with every table and the prefecture rows, and nothing else.
// An existing file at the path is replaced. Throws QelError on failure.
void CreateDatabaseFile(const QString& path);

// The statement that makes the named index as the schema defines it, leaving an index of that
// name that a file has already be ("create index if not exists ..."). Throws QelError when the
// schema defines no such index.
QString CreateIndexStatement(const QString& name);
