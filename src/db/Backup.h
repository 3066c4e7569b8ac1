#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

// The backup routines; each throws DbError with the reason when a step fails. At every instant
// the database lies under its own name, whole: the backup is written beside its final name and
// renamed to it, and the checked compacted copy replaces the database by one rename over it.
// A stop at any point leaves at most a "Temp" file that the next start or run removes.

// Deletes the named file of the backup folder when it exists.
void DeleteBackFile(const QString& fileName);

// Refuses a database that the run must not touch: missing, not writable by the user, or (when
// asked) not one of ours (the six tables with their columns).
void CheckDatabaseInUse(bool mustBeOurs = true);

// Writes a compacted copy of the database in use to AppPath + "/Temp" + DbFileName, with the
// database's mode, flushed and checked.
void CompactDb();

// Writes the database in use to the backup folder as "Back" + yyyymmddhhnnss + DbFileName and puts
// the compacted copy in its place. Returns the full path of the backup file.
QString BackupDb();

// Writes the database in use to the backup folder as it is, without compaction (a file that
// cannot be compacted is kept this way before a restore replaces it). Returns the path.
QString KeepDbAsBackup();

// Puts a copy of the file in place of the database in use: copied beside the database, flushed,
// checked, renamed over it in one step. The file itself is not changed.
void RestoreDb(const QString& backupPath);

// Whether the name is that of a backup still being written (left by a run that stopped); such a
// file is not a backup and never counts as one.
bool IsPartialBackup(const QString& fileName);

// At start-up, before the menu chooses the database: puts back a database that a stopped run left
// only as its checked compacted copy, finishes or undoes a run stopped between its renames, and
// removes the partial files. Returns the notices for the user (empty when nothing was done that
// the user must know).
QStringList RecoverInterruptedBackup();

// What a database file of ours holds.
struct DatabaseSummary
{
    std::int64_t customers = 0;
    std::int64_t sales = 0;
    QString latestSale; // yyyymmdd of the latest purchase date; empty without sales
};

// Reads a database file without changing it. Throws DbError with the reason, in a sentence for
// the user, when it is not one of ours: missing, not a database, cut short, damaged, or lacking
// one of the six tables or one of their columns. `whole` runs the engine's full integrity check
// as well (it reads every page). Without `counts` the summary stays empty: counting the sales
// reads a large part of the file.
DatabaseSummary InspectDatabase(const QString& path, bool whole, bool counts = true);

// The file operations of the backup routines, so that tests can make any of them fail, or stop
// the program after any of them, where a real file system cannot be made to (permissions do not
// bind the superuser). Each returns 0 or the system's error number.
class BackupFiles
{
  public:
    virtual ~BackupFiles() = default;
    // Renames in one step, replacing a file of the target name.
    virtual int rename(const QString& from, const QString& to);
    // A second name for the same file (same file system only).
    virtual int link(const QString& from, const QString& to);
    // A new file with the bytes of the source, flushed; nothing is left when it fails.
    virtual int copy(const QString& from, const QString& to);
    virtual int remove(const QString& path);
    virtual int setMode(const QString& path, unsigned mode);
    // Makes what was written to the file, or the names of the folder, durable.
    virtual int flush(const QString& path);

    static BackupFiles& current();
    static void install(std::unique_ptr<BackupFiles> files); // nullptr restores the real ones
};
