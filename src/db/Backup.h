#pragma once

#include <QString>

// The backup routines; each throws DbError with the reason when a step fails, and a failed
// step leaves the database file in use where it was.

// Deletes the named file of the backup folder when it exists.
void DeleteBackFile(const QString& fileName);

// Writes a compacted copy of the database in use to AppPath + "/Temp" + DbFileName and checks it.
void CompactDb();

// Moves the database to the backup folder as "Back" + yyyymmddhhnnss + DbFileName and puts the
// compacted copy in its place. Returns the full path of the backup file.
QString BackupDb();
