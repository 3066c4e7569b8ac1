#pragma once

#include "db/Backup.h"

#include <QString>
#include <QStringList>

#include <functional>

// What a completed backup run leaves for the screen to say.
struct BackupResult
{
    // Full path of the backup file written.
    QString backupPath;
    // Set when an old backup could not be deleted after the new one was in place: what the user
    // reads, and the system's texts for support.
    QString pruneProblem;
    QString pruneDetail;
    // The old backups to delete once the run's work is done.
    QStringList toPrune;
};

// The backup run shared by the backup screen and the bulk deletion: the preparation (the backup
// folder, and the database checked to be ours and writable, before anything moves), the
// compaction and the backup, each announced before it runs (the screen shows the text and pauses)
// and reporting its progress while it works. The engine's write lock is held from the
// preparation to the end, so another program's commit is either in the backup and the database or
// in the database alone. A failing step throws QelError naming the step and the file; the database
// in use stays as it was and no compacted copy or partial backup is left behind.
// The old backups are deleted only once the new one is in place, so that a failed run never
// costs an old backup.
BackupResult RunBackup(const std::function<void(const QString& status)>& announce,
                       const Progress& progress = {});

// Deletes the named old backups of the folder, never the new one; what could not be deleted is
// added to the result's prune problem.
void PruneBackups(BackupResult& result);

// The backup folder, AppPath + "/" + BackDataPath, resolved. Throws QelError when it is missing,
// is not a folder, or is the application folder or a folder above it (pruning every file there
// would delete the database in use and the program).
QString CheckedBackupFolder();

// The backups of the folder, names in ascending order: its ordinary files (sub-folders are not
// backups) except those a stopped run left half-written and the kept files of an earlier ledger.
QStringList BackupFileNames(const QString& folder);

// The oldest names to delete so that backCnt backups remain with the new one; none when fewer
// than backCnt are there, and none at all when backCnt is 0 or less (every backup is kept).
QStringList OldestBackups(const QStringList& sortedNames, int backCnt);
