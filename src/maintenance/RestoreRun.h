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
    // What it holds, once counted.
    bool counted = false;
    DatabaseSummary summary;
};

// The files of the backup folder, newest first (those without a time in their name last), each
// opened read-only and looked at (a database at all, whole to its end, ours), not yet counted:
// reading the list changes no file. Throws DbError when the folder cannot be used.
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

// Restores the listed backup as the database in use, in this order: the chosen file checked
// (unchanged since it was listed, whole, ours) before anything moves; the database in use backed
// up through the backup run (a damaged database is kept as it is instead); the chosen file copied
// beside the database and renamed over it in one step; then the run's pruning, which never takes
// the chosen file. Each step is announced before it runs. A failing step throws DbError naming
// the step and the file; the database in use stays where it was, whole, no temporary file is
// left and no backup is deleted.
RestoreResult RunRestore(const BackupEntry& chosen,
                         const std::function<void(const QString& status)>& announce);
