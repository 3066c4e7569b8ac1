#pragma once

#include <QString>

#include <memory>

// The backup routines; each throws DbError with the reason when a step fails, and a failed
// step leaves the database file in use where it was (or, when even that cannot be, says where
// it is).

// Deletes the named file of the backup folder when it exists.
void DeleteBackFile(const QString& fileName);

// Writes a compacted copy of the database in use to AppPath + "/Temp" + DbFileName and checks it.
void CompactDb();

// Moves the database to the backup folder as "Back" + yyyymmddhhnnss + DbFileName and puts the
// compacted copy in its place. Returns the full path of the backup file.
QString BackupDb();

// The file operations of the backup routines. Tests install their own to make a move fail where
// a real file system cannot be made to (permissions do not bind the superuser).
class BackupFiles
{
  public:
    virtual ~BackupFiles() = default;
    // Each returns whether it succeeded and, when not, the reason in why.
    virtual bool rename(const QString& from, const QString& to, QString& why);
    virtual bool remove(const QString& path, QString& why);

    static BackupFiles& current();
    static void install(std::unique_ptr<BackupFiles> files); // nullptr restores the real ones
};
