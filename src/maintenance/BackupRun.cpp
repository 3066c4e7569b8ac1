#include "BackupRun.h"

#include "core/Globals.h"
#include "core/TextRoutines.h"
#include "db/Backup.h"
#include "db/EngineError.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace {

// The folder as the file system resolves it (links followed); a missing one as written.
QString resolved(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : canonical;
}

bool holds(const QString& folder, const QString& inner)
{
    return inner == folder ||
           inner.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

// Wraps the failure of a step so that the message says which step stopped the run.
template <class F> auto step(const QString& name, F&& action)
{
    return InContext(QStringLiteral("バックアップを中止しました（%1）。").arg(name), std::forward<F>(action));
}

} // namespace

QString CheckedBackupFolder()
{
    const QString folder = AppFile(G().BackDataPath);
    const QString shown = ShownPath(folder);
    if (holds(resolved(folder), resolved(G().AppPath)))
        throw QelError(
            QelError::Kind::Folder,
            QStringLiteral(
                "Qel.Ini の BackDataPath がアプリケーションのフォルダか、その上のフォルダを"
                "指しています。\nBackDataPath にバックアップ専用のフォルダ名を設定してください。\n%1")
                .arg(shown));
    const QFileInfo info(folder);
    if (!info.exists())
        throw QelError(QelError::Kind::NotFound,
                       QStringLiteral("バックアップフォルダがありません。\n%1").arg(shown));
    if (!info.isDir())
        throw QelError(QelError::Kind::FolderInTheWay,
                       QStringLiteral("バックアップフォルダの場所にファイルがあります。\n%1").arg(shown));
    return folder;
}

QStringList BackupFileNames(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
    // A kept earlier ledger is the shop's original data, not a backup: never pruned, never offered.
    names.removeIf([](const QString& name) { return IsPartialBackup(name) || IsEarlierLedgerCopy(name); });
    std::sort(names.begin(), names.end());
    return names;
}

QStringList OldestBackups(const QStringList& sortedNames, int backCnt)
{
    const qsizetype n = sortedNames.size();
    if (backCnt <= 0 || n < backCnt)
        return {};
    return sortedNames.mid(0, n - backCnt + 1);
}

void PruneBackups(BackupResult& result)
{
    const QString folder = AppFile(G().BackDataPath);
    const QString appFolder = resolved(G().AppPath);
    QStringList problems;
    QStringList details;
    for (const QString& name : result.toPrune) {
        const QString path = folder + QLatin1Char('/') + name;
        if (path == result.backupPath || QFileInfo(resolved(path)).absolutePath() == appFolder)
            continue;
        try {
            DeleteBackFile(name);
        } catch (const QelError& e) {
            problems << e.message();
            details << e.detail();
        }
    }
    result.toPrune.clear();
    if (!problems.isEmpty()) {
        result.pruneProblem =
            QStringLiteral(
                "バックアップは完了しましたが、古いバックアップファイルを削除できませんでした。\n") +
            problems.join(QLatin1Char('\n'));
        result.pruneDetail = details.join(QLatin1Char('\n'));
    }
}

BackupResult RunBackup(const std::function<void(const QString& status)>& announce, const Progress& progress)
{
    announce(QStringLiteral("バックアップ前準備"));
    std::unique_ptr<DatabaseLock> lock;
    const QString folder = step(QStringLiteral("バックアップ前準備"), [&] {
        const QString checked = CheckedBackupFolder();
        CheckDatabaseInUse();
        lock = std::make_unique<DatabaseLock>();
        return checked;
    });
    const QStringList oldest = OldestBackups(BackupFileNames(folder), G().BackCnt);

    announce(QStringLiteral("データベース最適化"));
    step(QStringLiteral("データベース最適化"), [&] { CompactDb(*lock, progress); });

    BackupResult result;
    announce(QStringLiteral("データベースバックアップ"));
    result.backupPath =
        step(QStringLiteral("データベースバックアップ"), [&] { return BackupDb(*lock, progress); });
    lock.reset();

    result.toPrune = oldest;
    // The new backup is in place: only now may the old ones go.
    PruneBackups(result);
    return result;
}
