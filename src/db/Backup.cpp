#include "Backup.h"

#include "Database.h"
#include "DbError.h"

#include "core/Clock.h"
#include "core/Globals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

#include <sqlite3.h>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kTemp = QStringLiteral("Temp");

QString tempPathFor(const QString& dbFileName)
{
    return AppFile(kTemp + dbFileName);
}

QString tempPath()
{
    return tempPathFor(G().DbFileName);
}

QString backupFolder()
{
    return AppFile(G().BackDataPath);
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

QString folderLine(const QString& folder)
{
    return QStringLiteral("フォルダ: ") + native(folder);
}

QString fileLine(const QString& path)
{
    return QStringLiteral("ファイル: ") + native(path);
}

QString folderOf(const QString& path)
{
    return QFileInfo(path).absolutePath();
}

struct stat statOf(const QString& path, bool& found)
{
    struct stat info = {};
    found = ::stat(QFile::encodeName(path).constData(), &info) == 0;
    return info;
}

unsigned modeOf(const QString& path)
{
    bool found = false;
    const struct stat info = statOf(path, found);
    return found ? static_cast<unsigned>(info.st_mode & 07777) : 0644u;
}

// Whether the user may write the file by its mode: the class of the user (owner, group, others)
// decides, also for the superuser, for whom the system would allow anything. A file the user has
// made read-only is a file the user does not want changed.
bool writableByMode(const QString& path)
{
    bool found = false;
    const struct stat info = statOf(path, found);
    if (!found)
        return false;
    const uid_t user = ::geteuid();
    if (user == info.st_uid)
        return (info.st_mode & S_IWUSR) != 0;
    if (::getegid() == info.st_gid)
        return (info.st_mode & S_IWGRP) != 0;
    return (info.st_mode & S_IWOTH) != 0;
}

void flushOrThrow(const QString& path, const QString& what)
{
    if (const int error = BackupFiles::current().flush(path))
        throw DbError::fromFile(error, what, folderLine(QFileInfo(path).isDir() ? path : folderOf(path)));
}

// Cleanup after a failed step: the step's own error is what the user must read, so a file that
// cannot be removed now is left for the next start or run. The engine's journal goes with the
// file: a run killed while it compacted leaves one beside the half-written copy.
void discard(const QString& path)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        BackupFiles::current().remove(path);
    const QString journal = path + QStringLiteral("-journal");
    if (QFileInfo::exists(journal))
        BackupFiles::current().remove(journal);
}

// Checks the copy; a failure says which file and that the database was not touched.
void checkCopy(const QString& path, bool whole)
{
    try {
        InspectDatabase(path, whole);
    } catch (const DbError& e) {
        throw e.within(QStringLiteral("圧縮したデータベースに誤りがあります。データベースは元のままです。"),
                       fileLine(path));
    }
}

// Writes the database file as it is under the backup's final name: first under a partial name
// beside it (a second name of the same file where that is allowed and the folder lies on the same
// file system, else a flushed copy), then renamed, and the folder flushed. Nothing is left behind
// when it fails. A second name is allowed only where the database is replaced right after, so
// that the backup never shares the bytes of the database in use.
void writeBackupFile(const QString& dbPath, const QString& target, bool mayLink)
{
    BackupFiles& files = BackupFiles::current();
    const QString folder = folderOf(target);
    const QString partial = folder + QLatin1Char('/') + kTemp + QFileInfo(target).fileName();
    const QString writeFailed =
        QStringLiteral("バックアップファイルを書き込めません。データベースは元のままです。");
    discard(partial);
    try {
        int error = mayLink ? files.link(dbPath, partial) : EXDEV;
        // Another file system, or one without links: the bytes are copied instead.
        if (error == EXDEV || error == EPERM || error == EOPNOTSUPP || error == EMLINK || error == ENOSYS)
            error = files.copy(dbPath, partial);
        if (error)
            throw DbError::fromFile(error, writeFailed, folderLine(folder));
        flushOrThrow(partial, writeFailed);
        if (const int renamed = files.rename(partial, target))
            throw DbError::fromFile(renamed, writeFailed, fileLine(target));
        flushOrThrow(folder, writeFailed);
    } catch (...) {
        discard(partial);
        throw;
    }
}

QString newBackupPath()
{
    const QString stamp = Clock::current().now().toString(QStringLiteral("yyyyMMddHHmmss"));
    const QString folder = backupFolder();
    if (!QFileInfo(folder).isDir())
        throw DbError(QStringLiteral("バックアップフォルダがありません。\n%1").arg(folderLine(folder)));
    const QString target = folder + QStringLiteral("/Back") + stamp + G().DbFileName;
    if (QFileInfo::exists(target))
        throw DbError(QStringLiteral("同じ名前のバックアップファイルがあります。\n%1").arg(fileLine(target)));
    return target;
}

// Renames the checked copy over the database and flushes the folder. The rename is the one step
// that changes which file the database is; before it the database is the old one, after it the
// new one, never neither.
void replaceDatabase(const QString& copy, const QString& dbPath, const QString& failed)
{
    if (const int error = BackupFiles::current().rename(copy, dbPath))
        throw DbError::fromFile(error, failed, fileLine(dbPath));
    // The new name is in place; a folder that cannot be flushed now is flushed by the system later.
    BackupFiles::current().flush(folderOf(dbPath));
}

// Whether the file has a second name in the folder: a backup that a stopped run wrote as a link
// and that still shares the database's bytes.
bool linkedInto(const QString& path, const QString& folder)
{
    bool found = false;
    const struct stat db = statOf(path, found);
    if (!found || db.st_nlink < 2)
        return false;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        bool other = false;
        const struct stat info = statOf(folder + QLatin1Char('/') + name, other);
        if (other && info.st_dev == db.st_dev && info.st_ino == db.st_ino)
            return true;
    }
    return false;
}

} // namespace

void DeleteBackFile(const QString& fileName)
{
    const QString path = backupFolder() + QLatin1Char('/') + fileName;
    if (!QFileInfo(path).isFile())
        return;
    if (const int error = BackupFiles::current().remove(path))
        throw DbError::fromFile(error, QStringLiteral("バックアップファイルを削除できません。"),
                                fileLine(path));
}

bool IsPartialBackup(const QString& fileName)
{
    static const QRegularExpression partial(
        QStringLiteral("^TempBack[0-9]{14}(%1|%2)$")
            .arg(QRegularExpression::escape(kOperationalDbFile), QRegularExpression::escape(kSampleDbFile)));
    return partial.match(fileName).hasMatch();
}

void CheckDatabaseInUse(bool mustBeOurs)
{
    const QString db = Database::currentPath();
    if (!QFileInfo(db).isFile())
        throw DbError(QStringLiteral("データベースファイルが見つかりません。\n%1").arg(fileLine(db)));
    if (!writableByMode(db))
        throw DbError(QStringLiteral("データベースファイルが読み取り専用のため、バックアップできません。"
                                     "ファイルの読み取り専用を外してから、もう一度操作してください。\n%1")
                          .arg(fileLine(db)));
    if (!mustBeOurs)
        return;
    try {
        InspectDatabase(db, false);
    } catch (const DbError& e) {
        throw e.within(
            QStringLiteral("このファイルはバックアップできません。ファイルもバックアップも元のままです。"),
            fileLine(db));
    }
}

void CompactDb()
{
    const QString db = Database::currentPath();
    const QString temp = tempPath();
    // A copy left by an interrupted run would make the compaction fail; it is of no use now.
    if (QFileInfo::exists(temp)) {
        if (const int error = BackupFiles::current().remove(temp))
            throw DbError::fromFile(error, QStringLiteral("前回の作業ファイルを削除できません。"),
                                    fileLine(temp));
    }
    const QString failed = QStringLiteral("データベースを圧縮できません。データベースは元のままです。");
    try {
        try {
            Database source(db);
            SQLite::Statement vacuum(source.raw(), "vacuum into ?");
            vacuum.bind(1, temp.toStdString());
            vacuum.exec();
        } catch (const std::exception& e) {
            // The copy is written to the application folder: a full disk or a refused file there.
            throw DbError::of(e, folderLine(folderOf(temp))).within(failed);
        }
        // The copy takes the database's place: it keeps the database's mode.
        if (const int error = BackupFiles::current().setMode(temp, modeOf(db)))
            throw DbError::fromFile(error, failed, fileLine(temp));
        flushOrThrow(temp, failed);
        checkCopy(temp, true);
    } catch (...) {
        discard(temp);
        throw;
    }
}

QString BackupDb()
{
    const QString dbPath = Database::currentPath();
    const QString temp = tempPath();
    if (!QFileInfo(temp).isFile())
        throw DbError(QStringLiteral("圧縮したデータベースがありません。バックアップを中止しました。\n%1")
                          .arg(fileLine(temp)));
    QString target;
    try {
        // CompactDb has just checked the copy whole; a second full pass would double the run.
        checkCopy(temp, false);
        target = newBackupPath();
        writeBackupFile(dbPath, target, true);
        replaceDatabase(
            temp, dbPath,
            QStringLiteral("圧縮したデータベースを置き換えられません。データベースは元のままです。"));
    } catch (...) {
        // The backup written for this run goes with it: written as a link it would follow every
        // later change of the database, which stays the one in use.
        if (!target.isEmpty())
            discard(target);
        discard(temp);
        throw;
    }
    return target;
}

QString KeepDbAsBackup()
{
    const QString target = newBackupPath();
    writeBackupFile(Database::currentPath(), target, false);
    return target;
}

void RestoreDb(const QString& backupPath)
{
    const QString dbPath = Database::currentPath();
    const QString temp = tempPath();
    const QString failed = QStringLiteral("バックアップを復元できません。");
    discard(temp);
    try {
        if (const int error = BackupFiles::current().copy(backupPath, temp))
            throw DbError::fromFile(error, failed, folderLine(folderOf(temp)));
        if (QFileInfo::exists(dbPath)) {
            if (const int error = BackupFiles::current().setMode(temp, modeOf(dbPath)))
                throw DbError::fromFile(error, failed, fileLine(temp));
        }
        try {
            InspectDatabase(temp, true);
        } catch (const DbError& e) {
            throw e.within(failed, fileLine(temp));
        }
        // Another program that is writing to the database would lose its work: wait for it, or
        // stop. A file the engine cannot read at all is the damaged one the copy replaces.
        if (QFileInfo::exists(dbPath)) {
            try {
                SQLite::Database db(dbPath.toStdString(), SQLite::OPEN_READWRITE, Database::kBusyTimeoutMs);
                db.exec("begin exclusive");
                db.exec("rollback");
            } catch (const SQLite::Exception& e) {
                const int code = e.getErrorCode();
                if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
                    throw DbError::fromEngine(e, fileLine(dbPath)).within(failed);
                }
            }
        }
        replaceDatabase(temp, dbPath, failed);
    } catch (...) {
        discard(temp);
        throw;
    }
}

QStringList RecoverInterruptedBackup()
{
    QStringList notices;
    const QString folder = backupFolder();
    for (const QString& name : {kSampleDbFile, kOperationalDbFile}) {
        const QString dbPath = AppFile(name);
        const QString temp = tempPathFor(name);
        if (!QFileInfo::exists(temp)) {
            discard(temp); // a journal left alone
            continue;
        }
        // Reads the whole copy, so only where the copy may be needed.
        const auto whole = [&temp] {
            try {
                InspectDatabase(temp, true);
                return true;
            } catch (const DbError&) {
                return false;
            }
        };
        if (!QFileInfo::exists(dbPath)) {
            // Left by a run that stopped between its two renames, or one that moved the database
            // away first: the checked copy is the database.
            if (!whole()) {
                notices << QStringLiteral(
                               "データベースファイル「%1」がありません。前回のバックアップで作られた"
                               "作業ファイルは壊れているため、元に戻せませんでした。\n"
                               "作業ファイルは消さずに残してあります。\n%2\n"
                               "バックアップフォルダのファイルからデータを復元してください。")
                               .arg(name, fileLine(temp));
                continue;
            }
            if (const int error = BackupFiles::current().rename(temp, dbPath)) {
                notices << DbError::fromFile(
                               error,
                               QStringLiteral("データベースファイル「%1」がありません。前回のバックアップで"
                                              "作られた作業ファイルを元に戻せませんでした。")
                                   .arg(name),
                               fileLine(temp))
                               .userText();
                continue;
            }
            BackupFiles::current().flush(folderOf(dbPath));
            notices
                << QStringLiteral(
                       "前回のバックアップが途中で止まったため、データベースファイル「%1」が"
                       "ありませんでした。\n圧縮したデータベースを確かめて、「%1」として元に戻しました。\n%2")
                       .arg(name, fileLine(dbPath));
            continue;
        }
        if (QFileInfo(folder).isDir() && linkedInto(dbPath, folder)) {
            // Stopped after the backup got its name and before the copy replaced the database:
            // the run is finished, so that the backup keeps the file as it was rather than follow
            // every later change. Without a whole copy the database is copied to part from it.
            try {
                if (!whole()) {
                    discard(temp);
                    if (const int error = BackupFiles::current().copy(dbPath, temp))
                        throw DbError::fromFile(error,
                                                QStringLiteral("前回のバックアップを終えられませんでした。"),
                                                folderLine(folderOf(temp)));
                }
                replaceDatabase(temp, dbPath, QStringLiteral("前回のバックアップを終えられませんでした。"));
            } catch (const DbError& e) {
                discard(temp);
                notices << e.userText();
            }
            continue;
        }
        discard(temp);
    }
    if (QFileInfo(folder).isDir()) {
        for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
            if (IsPartialBackup(name))
                discard(folder + QLatin1Char('/') + name);
        }
    }
    return notices;
}
