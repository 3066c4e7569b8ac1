#include "RestoreRun.h"

#include "BackupRun.h"

#include "core/Globals.h"
#include "db/Database.h"
#include "db/DbError.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

QDateTime timeInName(const QString& name)
{
    static const QRegularExpression stamp(QStringLiteral("^Back([0-9]{14})"));
    const QRegularExpressionMatch match = stamp.match(name);
    return match.hasMatch() ? QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMddHHmmss"))
                            : QDateTime();
}

QString fileLine(const QString& path)
{
    return QStringLiteral("ファイル: ") + QDir::toNativeSeparators(path);
}

template <class F> auto step(const QString& name, F&& action)
{
    try {
        return action();
    } catch (const DbError& e) {
        throw e.within(QStringLiteral("復元を中止しました（%1）。データベースは元のままです。").arg(name));
    }
}

} // namespace

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
        try {
            InspectDatabase(entry.path, false, false);
            entry.restorable = true;
        } catch (const DbError& e) {
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
    } catch (const DbError& e) {
        entry.restorable = false;
        entry.reason = e.message();
    }
}

RestoreResult RunRestore(const BackupEntry& chosen,
                         const std::function<void(const QString& status)>& announce)
{
    announce(QStringLiteral("復元前の確認"));
    bool keepAsIs = false;
    step(QStringLiteral("復元前の確認"), [&] {
        const QFileInfo now(chosen.path);
        if (!now.isFile())
            throw DbError(QStringLiteral("選んだバックアップファイルが見つかりません。\n%1")
                              .arg(fileLine(chosen.path)));
        if (now.size() != chosen.size || now.lastModified() != chosen.modified)
            throw DbError(QStringLiteral("選んだバックアップファイルが一覧を表示した後に変わりました。"
                                         "一覧を確かめてから、もう一度選んでください。\n%1")
                              .arg(fileLine(chosen.path)));
        try {
            InspectDatabase(chosen.path, true);
        } catch (const DbError& e) {
            throw e.within({}, fileLine(chosen.path));
        }
        // A database in use that is itself damaged is what a restore is for: it is kept as it is.
        // One that another program holds is not damaged: the restore stops for a later try.
        try {
            InspectDatabase(Database::currentPath(), false);
        } catch (const DbError& e) {
            if (e.busy())
                throw e.within({}, fileLine(Database::currentPath()));
            keepAsIs = QFileInfo::exists(Database::currentPath());
        }
    });

    BackupResult backup;
    if (QFileInfo::exists(Database::currentPath())) {
        BackupOptions options;
        options.keep = chosen.path;
        options.asIs = keepAsIs;
        options.deferPruning = true;
        backup = step(QStringLiteral("復元前のバックアップ"), [&] { return RunBackup(announce, options); });
    }

    announce(QStringLiteral("データ復元"));
    step(QStringLiteral("データ復元"), [&] {
        // Another program may have moved it meanwhile.
        if (!QFileInfo(chosen.path).isFile())
            throw DbError(QStringLiteral("選んだバックアップファイルが見つかりません。\n%1")
                              .arg(fileLine(chosen.path)));
        RestoreDb(chosen.path);
    });

    // Restored: the old backups go as after any backup run, the chosen one never.
    PruneBackups(backup);
    RestoreResult result;
    result.replacedBackup = backup.backupPath;
    result.pruneProblem = backup.pruneProblem;
    result.pruneDetail = backup.pruneDetail;
    return result;
}
