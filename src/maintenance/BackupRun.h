#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// What a completed backup run leaves for the screen to say.
struct BackupResult
{
    // Full path of the backup file written.
    QString backupPath;
    // Set when an old backup could not be deleted after the new one was in place.
    QString pruneProblem;
};

// The backup run shared by the backup screen and the bulk deletion: the preparation of the
// backup folder, the compaction and the backup, each announced before it runs (the screen shows
// the text and pauses). A failing step throws DbError naming the step and the file; the
// database in use stays where it was and no compacted copy is left behind.
// The old backups are deleted only once the new one is in place, so that a failed run never
// costs an old backup.
BackupResult RunBackup(const std::function<void(const QString& status)>& announce);

// The backup folder, AppPath + "/" + BackDataPath, resolved. Throws DbError when it is missing,
// is not a folder, or is the application folder or a folder above it (pruning every file there
// would delete the database in use and the program).
QString CheckedBackupFolder();

// The ordinary files of the folder (sub-folders are not backups), names in ascending order.
QStringList BackupFileNames(const QString& folder);

// The oldest names to delete so that backCnt backups remain with the new one; none when fewer
// than backCnt are there, and none at all when backCnt is 0 or less (every backup is kept).
QStringList OldestBackups(const QStringList& sortedNames, int backCnt);
