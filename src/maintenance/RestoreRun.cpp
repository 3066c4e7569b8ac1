#include "RestoreRun.h"

#include "BackupRun.h"

#include "core/Globals.h"
#include "core/QelError.h"
#include "core/TextRoutines.h"
#include "db/Database.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <memory>

namespace {

QDateTime timeInName(const QString& name)
{
    static const QRegularExpression stamp(QStringLiteral("^Back([0-9]{14})"));
    const QRegularExpressionMatch match = stamp.match(name);
    return match.hasMatch() ? QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMddHHmmss"))
                            : QDateTime();
}

template <class F> auto step(const QString& name, F&& action)
{
    try {
        return action();
    } catch (const QelError& e) {
        throw e.within(QStringLiteral("復元を中止しました（%1）。データベースは元のままです。").arg(name));
    }
}

} // namespace

QString OtherDatabaseText(const QString& origin)
{
    const QString kind =
        origin == kSampleDbFile ? QStringLiteral("サンプルデータ") : QStringLiteral("運用データ");
    return QStringLiteral("このバックアップは%1（%2）のものです。使用中のデータ（%3）には復元できません。\n"
                          "使用中のデータのバックアップを選んでください。")
        .arg(kind, origin, G().DbFileName);
}

std::vector<BackupEntry> ListBackups()
{
    const QString folder = CheckedBackupFolder();
    std::vector<BackupEntry> entries;
    for (const QString& name : BackupFileNames(folder)) {
        BackupEntry entry;
        entry.name = name;
        entry.path = folder + QLatin1Char('/') + name;
        entry.taken = timeInName(name);
        const QFileInfo info(entry.path);
        entry.size = info.size();
        entry.modified = info.lastModified();
        entry.fingerprint = FingerprintOf(entry.path);
        entry.origin = BackupOrigin(name);
        try {
            InspectDatabase(entry.path, false, false);
            entry.restorable = true;
        } catch (const QelError& e) {
            entry.reason = e.message();
        }
        entries.push_back(std::move(entry));
    }
    // Newest first; the time stamps have one width, so the names order them.
    std::stable_sort(entries.begin(), entries.end(), [](const BackupEntry& a, const BackupEntry& b) {
        if (a.taken.isValid() != b.taken.isValid())
            return a.taken.isValid();
        return a.taken.isValid() ? a.taken > b.taken : a.name < b.name;
    });
    return entries;
}

void CountBackup(BackupEntry& entry)
{
    if (entry.counted || !entry.restorable)
        return;
    entry.counted = true;
    try {
        entry.summary = InspectDatabase(entry.path, false);
    } catch (const QelError& e) {
        entry.restorable = false;
        entry.reason = e.message();
    }
}

bool OfOtherDatabase(const BackupEntry& entry)
{
    return !entry.origin.isEmpty() && entry.origin != G().DbFileName;
}

RestoreResult RunRestore(const BackupEntry& chosen,
                         const std::function<void(const QString& status)>& announce, const Progress& progress)
{
    const QString dbPath = Database::currentPath();
    const QString copy = RestoreCopyPath();
    // The private copy goes whichever way the restore ends.
    const RemovedAtEnd discard(copy);
    const bool dbExists = QFileInfo::exists(dbPath);
    std::unique_ptr<DatabaseLock> lock;
    bool readable = false;

    announce(QStringLiteral("復元前の確認"));
    step(QStringLiteral("復元前の確認"), [&] {
        if (OfOtherDatabase(chosen))
            throw QelError(QelError::Kind::OtherLedger, OtherDatabaseText(chosen.origin));
        const auto unchanged = [&chosen] {
            if (!QFileInfo(chosen.path).isFile())
                throw QelError(QelError::Kind::NotFound,
                               QStringLiteral("選んだバックアップファイルが見つかりません。\n%1")
                                   .arg(FileLine(chosen.path)));
            if (FingerprintOf(chosen.path) != chosen.fingerprint)
                throw QelError(QelError::Kind::Changed,
                               QStringLiteral("選んだバックアップファイルが一覧を表示した後に変わりました。"
                                              "一覧を確かめてから、もう一度選んでください。\n%1")
                                   .arg(FileLine(chosen.path)));
        };
        // What is restored is a copy of the file the list read, checked before and after it was
        // taken: the file cannot be swapped under the restore.
        unchanged();
        if (QFileInfo::exists(copy)) {
            if (const int error = BackupFiles::current().remove(copy))
                throw QelError::fromFile(error, QStringLiteral("前回の作業ファイルを削除できません。"),
                                         FileLine(copy));
        }
        if (const int error = BackupFiles::current().copy(chosen.path, copy, progress))
            throw QelError::fromFile(error, QStringLiteral("選んだバックアップファイルを読めません。"),
                                     FileLine(chosen.path));
        unchanged();
        try {
            const DatabaseSummary summary = InspectDatabase(copy, true, true, progress);
            if (chosen.counted && !(summary == chosen.summary))
                throw QelError(
                    QelError::Kind::Changed,
                    QStringLiteral("選んだバックアップファイルが一覧を表示した後に変わりました。"));
        } catch (const QelError& e) {
            throw e.within({}, FileLine(chosen.path));
        }
        if (dbExists) {
            CheckDatabaseInUse(false);
            // Another program that is writing stops the restore here, before anything is written.
            lock = std::make_unique<DatabaseLock>(copy, readable);
        }
    });

    announce(QStringLiteral("バックアップ前準備"));
    QStringList oldest = step(QStringLiteral("バックアップ前準備"), [] {
        return OldestBackups(BackupFileNames(CheckedBackupFolder()), G().BackCnt);
    });
    oldest.removeAll(chosen.name);

    BackupResult backup;
    if (dbExists) {
        announce(QStringLiteral("データベースバックアップ"));
        // As it is, damaged or not: the file that the restore replaces.
        backup.backupPath = step(QStringLiteral("データベースバックアップ"),
                                 [&] { return KeepDbAsBackup(readable ? lock.get() : nullptr, progress); });
    }

    announce(QStringLiteral("データ復元"));
    step(QStringLiteral("データ復元"), [&] {
        if (readable)
            lock->replace(copy, progress);
        else
            ReplaceUnreadableDb(copy);
    });
    lock.reset();

    // Restored: the old backups go as after any backup run, the chosen one never.
    backup.toPrune = oldest;
    PruneBackups(backup);
    RestoreResult result;
    result.replacedBackup = backup.backupPath;
    result.pruneProblem = backup.pruneProblem;
    result.pruneDetail = backup.pruneDetail;
    return result;
}
