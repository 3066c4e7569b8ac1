#pragma once

#include "db/Backup.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <vector>

// One file of the backup folder as the restore screen lists it.
struct BackupEntry
{
    QString path;
    QString name;
    QDateTime taken; // read from the name; invalid for a name that carries no time
    qint64 size = 0;
    QDateTime modified;
    // Set when the file opens read-only as one of our databases; otherwise the reason it cannot
    // be restored.
    bool restorable = false;
    QString reason;
    // The file as the list read it: the restore refuses a file that has since been replaced or
    // written.
    FileFingerprint fingerprint;
    // The database the backup was made of, from its name; empty for a file of another name.
    QString origin;
    // What it holds, once counted.
    bool counted = false;
    DatabaseSummary summary;
};

// The files of the backup folder, newest first (those without a time in their name last), each
// opened read-only and looked at (a database at all, whole to its end, ours), not yet counted:
// reading the list changes no file. Throws QelError when the folder cannot be used.
std::vector<BackupEntry> ListBackups();

// Counts what a restorable entry holds (a count reads much of the file, so a long list is counted
// row by row); an entry that fails now is no longer restorable, with the reason.
void CountBackup(BackupEntry& entry);

// What a completed restore leaves for the screen to say.
struct RestoreResult
{
    // The backup of the file that was replaced; empty when there was no file to keep.
    QString replacedBackup;
    QString pruneProblem;
    QString pruneDetail;
};

// The refusal of a backup of the other database (the file name it was made of).
QString OtherDatabaseText(const QString& origin);

// Whether the entry is a backup of the other database, which is never restored over this one.
bool OfOtherDatabase(const BackupEntry& entry);

// Restores the listed backup as the database in use, in this order: the chosen file checked (a
// backup of this database, the very file the list read, unchanged, whole, ours) and copied aside
// before anything else; the engine's lock on the database in use taken (another program that is
// writing stops the restore here); the database in use kept in the backup folder as it is, damaged
// or not; the copy's content written into the database through the engine in one transaction;
// then the pruning of the backup run, which never takes the chosen file. The lock is held from the
// keeping to the writing. Each step is announced before it runs and reports its progress. A
// failing step throws QelError naming the step and the file; the database in use stays as it was,
// no temporary file is left and no backup is deleted.
RestoreResult RunRestore(const BackupEntry& chosen,
                         const std::function<void(const QString& status)>& announce,
                         const Progress& progress = {});
