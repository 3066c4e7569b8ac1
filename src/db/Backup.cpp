#include "Backup.h"

#include "Database.h"
#include "EngineError.h"

#include "core/Clock.h"
#include "core/Globals.h"
#include "core/TextRoutines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <SQLiteCpp/Backup.h>
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <functional>

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
        throw QelError::fromFile(error, what, FolderLine(QFileInfo(path).isDir() ? path : folderOf(path)));
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
void checkCopy(const QString& path, bool whole, const Progress& progress)
{
    try {
        InspectDatabase(path, whole, true, progress);
    } catch (const QelError& e) {
        throw e.within(QStringLiteral("圧縮したデータベースに誤りがあります。データベースは元のままです。"),
                       FileLine(path));
    }
}

// Writes a new backup file under its final name: first under a partial name beside it, then
// renamed, and the folder flushed. Nothing is left behind when it fails.
void writeBackupFile(const QString& target, const std::function<int(const QString& partial)>& write)
{
    BackupFiles& files = BackupFiles::current();
    const QString folder = folderOf(target);
    const QString partial = folder + QLatin1Char('/') + kTemp + QFileInfo(target).fileName();
    const QString writeFailed =
        QStringLiteral("バックアップファイルを書き込めません。データベースは元のままです。");
    discard(partial);
    try {
        if (const int error = write(partial))
            throw QelError::fromFile(error, writeFailed, FolderLine(folder));
        if (const int renamed = files.rename(partial, target))
            throw QelError::fromFile(renamed, writeFailed, FileLine(target));
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
        throw QelError(QelError::Kind::NotFound,
                       QStringLiteral("バックアップフォルダがありません。\n%1").arg(FolderLine(folder)));
    const QString target = folder + QStringLiteral("/Back") + stamp + G().DbFileName;
    if (QFileInfo::exists(target))
        throw QelError(
            QelError::Kind::AlreadyExists,
            QStringLiteral("同じ名前のバックアップファイルがあります。\n%1").arg(FileLine(target)));
    return target;
}

// Renames a checked copy over a file that the engine cannot read as a database (nobody can be
// writing it) and flushes the folder: before the rename the file is the old one, after it the new
// one, never neither.
void replaceFile(const QString& copy, const QString& dbPath, const QString& failed)
{
    if (const int error = BackupFiles::current().rename(copy, dbPath))
        throw QelError::fromFile(error, failed, FileLine(dbPath));
    BackupFiles::current().flush(folderOf(dbPath));
}

// Whether the file has a second name in the folder: a backup that an earlier version wrote as a
// link and that still shares the database's bytes.
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

quint32 bigEndian32(const char* bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return (quint32(b[0]) << 24) | (quint32(b[1]) << 16) | (quint32(b[2]) << 8) | quint32(b[3]);
}

// The engine's own handle on the main file of the connection.
sqlite3_file* fileOf(SQLite::Database& db)
{
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db.getHandle(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        !file || !file->pMethods)
        throw QelError(QelError::Kind::ReadWrite);
    return file;
}

int readThrough(sqlite3_file* file, char* buffer, qint64 offset, qint64 size)
{
    return file->pMethods->xRead(file, buffer, static_cast<int>(size), offset) == SQLITE_OK ? 0 : EIO;
}

// Whether the two database files hold the same pages: all bytes after the header, where the
// engine keeps its counters.
bool samePages(const QString& a, const QString& b)
{
    QFile first(a);
    QFile second(b);
    if (first.size() != second.size() || !first.open(QIODevice::ReadOnly) ||
        !second.open(QIODevice::ReadOnly))
        return false;
    first.seek(100);
    second.seek(100);
    while (!first.atEnd()) {
        if (first.read(1 << 20) != second.read(1 << 20))
            return false;
    }
    return true;
}

constexpr int kPagesPerStep = 256;

} // namespace

RemovedAtEnd::~RemovedAtEnd()
{
    if (QFileInfo::exists(m_path))
        BackupFiles::current().remove(m_path);
}

void DeleteBackFile(const QString& fileName)
{
    const QString path = backupFolder() + QLatin1Char('/') + fileName;
    if (!QFileInfo(path).isFile())
        return;
    if (const int error = BackupFiles::current().remove(path))
        throw QelError::fromFile(error, QStringLiteral("バックアップファイルを削除できません。"),
                                 FileLine(path));
}

bool IsPartialBackup(const QString& fileName)
{
    static const QRegularExpression partial(
        QStringLiteral("^TempBack[0-9]{14}(%1|%2)$")
            .arg(QRegularExpression::escape(kOperationalDbFile), QRegularExpression::escape(kSampleDbFile)));
    return partial.match(fileName).hasMatch() ||
           (fileName.startsWith(kTemp) && IsEarlierLedgerCopy(fileName.mid(kTemp.size())));
}

bool IsEarlierLedgerCopy(const QString& fileName)
{
    static const QRegularExpression kept(QStringLiteral("^旧形式_.+_[0-9]{14}(\\.[^.]*)?$"));
    return kept.match(fileName).hasMatch();
}

QString KeepEarlierLedger(const QString& path, const Progress& progress)
{
    const QString folder = backupFolder();
    if (!QFileInfo(folder).isDir())
        throw QelError(QelError::Kind::NotFound,
                       QStringLiteral("バックアップフォルダがありません。\n%1").arg(FolderLine(folder)));
    const QFileInfo info(path);
    const QString stamp = Clock::current().now().toString(QStringLiteral("yyyyMMddHHmmss"));
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("mdb") : info.suffix();
    const QString target = folder + QStringLiteral("/旧形式_") + info.completeBaseName() + QLatin1Char('_') +
                           stamp + QLatin1Char('.') + suffix;
    if (QFileInfo::exists(target))
        throw QelError(QelError::Kind::AlreadyExists,
                       QStringLiteral("同じ名前のファイルがあります。\n%1").arg(FileLine(target)));
    writeBackupFile(
        target, [&](const QString& partial) { return BackupFiles::current().copy(path, partial, progress); });
    return target;
}

QString BackupOrigin(const QString& fileName)
{
    static const QRegularExpression backup(
        QStringLiteral("^Back[0-9]{14}(%1|%2)$")
            .arg(QRegularExpression::escape(kOperationalDbFile), QRegularExpression::escape(kSampleDbFile)));
    const QRegularExpressionMatch match = backup.match(fileName);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString RestoreCopyPath()
{
    return AppFile(QStringLiteral("TempRestore") + G().DbFileName);
}

QString ConversionCopyPath()
{
    return AppFile(QStringLiteral("TempConvert") + G().DbFileName);
}

void SettleDatabase(const QString& path)
{
    const QString journal = path + QStringLiteral("-journal");
    if (!QFileInfo::exists(journal))
        return;
    try {
        // Taking the lock as a writer makes the engine roll back the journal of a cut-off
        // transaction first; a read-only connection could not.
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READWRITE, Database::kBusyTimeoutMs);
        db.exec("BEGIN EXCLUSIVE");
        // A journal still there holds nothing to undo (cut off before its first record), and
        // nobody else can be writing it now.
        if (QFileInfo::exists(journal))
            BackupFiles::current().remove(journal);
        db.exec("COMMIT");
    } catch (const std::exception& e) {
        throw EngineError(e, FileLine(path));
    }
}

void CheckDatabaseInUse(bool mustBeOurs)
{
    const QString db = Database::currentPath();
    if (!QFileInfo(db).isFile())
        throw QelError(QelError::Kind::NotFound,
                       QStringLiteral("データベースファイルが見つかりません。\n%1").arg(FileLine(db)));
    if (!writableByMode(db))
        throw QelError(QelError::Kind::ReadOnly,
                       QStringLiteral("データベースファイルが読み取り専用のため、バックアップできません。"
                                      "ファイルの読み取り専用を外してから、もう一度操作してください。\n%1")
                           .arg(FileLine(db)));
    if (!mustBeOurs)
        return;
    try {
        SettleDatabase(db);
        InspectDatabase(db, false, false);
    } catch (const QelError& e) {
        throw e.within(
            QStringLiteral("このファイルはバックアップできません。ファイルもバックアップも元のままです。"),
            FileLine(db));
    }
}

struct DatabaseLock::Writer
{
    std::unique_ptr<SQLite::Database> source;
    std::unique_ptr<SQLite::Backup> backup;
};

namespace {

std::unique_ptr<SQLite::Database> openForLock(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw QelError(QelError::Kind::NotFound,
                       QStringLiteral("データベースファイルが見つかりません。\n%1").arg(FileLine(path)));
    try {
        return std::make_unique<SQLite::Database>(path.toStdString(), SQLite::OPEN_READWRITE,
                                                  Database::kBusyTimeoutMs);
    } catch (const std::exception& e) {
        throw EngineError(e, FileLine(path));
    }
}

// Prepares the engine's copy of the replacement into the connection's database and takes the
// write lock for it (the first step copies nothing). The lock is kept until the copy is finished.
std::unique_ptr<DatabaseLock::Writer> lockForWrite(SQLite::Database& db, const QString& replacement)
{
    auto writer = std::make_unique<DatabaseLock::Writer>();
    writer->source = std::make_unique<SQLite::Database>(replacement.toStdString(), SQLite::OPEN_READONLY);
    writer->backup = std::make_unique<SQLite::Backup>(db, "main", *writer->source, "main");
    const int rc = writer->backup->executeStep(0);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        throw SQLite::Exception(sqlite3_errstr(rc), rc);
    return writer;
}

} // namespace

DatabaseLock::DatabaseLock() : m_path(Database::currentPath()), m_db(openForLock(m_path))
{
    try {
        // The first read rolls back a cut-off transaction; then no other program may write.
        m_db->exec("BEGIN IMMEDIATE");
        m_counter = changeCounter();
    } catch (const QelError&) {
        throw;
    } catch (const std::exception& e) {
        throw EngineError(e, FileLine(m_path));
    }
}

DatabaseLock::DatabaseLock(const QString& replacement, bool& readable)
    : m_path(Database::currentPath()), m_db(openForLock(m_path))
{
    readable = true;
    try {
        m_writer = lockForWrite(*m_db, replacement);
        m_counter = changeCounter();
    } catch (const QelError&) {
        throw;
    } catch (const SQLite::Exception& e) {
        const int code = e.getErrorCode() & 0xff;
        if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT) {
            m_writer.reset();
            m_db.reset();
            readable = false;
            return;
        }
        throw EngineError(e, FileLine(m_path));
    } catch (const std::exception& e) {
        throw EngineError(e, FileLine(m_path));
    }
}

// An unfinished copy is rolled back by the engine; an open transaction ends with the connection.
DatabaseLock::~DatabaseLock() = default;

quint32 DatabaseLock::changeCounter() const
{
    char header[4] = {};
    if (readThrough(fileOf(*m_db), header, 24, 4) != 0)
        throw QelError(QelError::Kind::ReadWrite,
                       QelError::sentence(QelError::Kind::ReadWrite) + QLatin1Char('\n') + FileLine(m_path));
    return bigEndian32(header);
}

int DatabaseLock::copyTo(const QString& target, const Progress& progress) const
{
    sqlite3_file* file = fileOf(*m_db);
    sqlite3_int64 size = 0;
    if (file->pMethods->xFileSize(file, &size) != SQLITE_OK)
        return EIO;
    return BackupFiles::current().write(
        target, size, modeOf(m_path),
        [file](char* buffer, qint64 offset, qint64 n) { return readThrough(file, buffer, offset, n); },
        progress);
}

void DatabaseLock::replace(const QString& replacement, const Progress& progress)
{
    const QString failed = QStringLiteral("データベースに書き込めません。データベースは元のままです。");
    try {
        if (!m_writer) {
            // The copy needs a connection without a transaction: the lock is let go and taken again
            // at once, and a commit of another program in between stops the write.
            m_db->exec("COMMIT");
            m_writer = lockForWrite(*m_db, replacement);
            if (changeCounter() != m_counter)
                throw QelError(QelError::Kind::Changed,
                               failed + QLatin1Char('\n') +
                                   QStringLiteral("作業中に他のプログラムがデータベースに書き込みました。"
                                                  "もう一度操作してください。\n%1")
                                       .arg(FileLine(m_path)));
        }
        const int total = std::max(1, m_writer->backup->getTotalPageCount());
        for (;;) {
            const int rc = m_writer->backup->executeStep(kPagesPerStep);
            if (rc == SQLITE_DONE)
                break;
            if (rc != SQLITE_OK)
                throw SQLite::Exception(sqlite3_errstr(rc), rc);
            if (progress)
                progress((total - m_writer->backup->getRemainingPageCount()) * 100 / total);
        }
        if (progress)
            progress(100);
        m_writer.reset();
        m_db.reset();
    } catch (const QelError&) {
        m_writer.reset();
        m_db.reset();
        throw;
    } catch (const std::exception& e) {
        m_writer.reset();
        m_db.reset();
        throw EngineError(e, FileLine(m_path)).within(failed);
    }
}

void CompactDb(DatabaseLock& lock, const Progress& progress)
{
    const QString db = lock.path();
    const QString temp = tempPath();
    // A copy left by an interrupted run would make the compaction fail; it is of no use now.
    if (QFileInfo::exists(temp)) {
        if (const int error = BackupFiles::current().remove(temp))
            throw QelError::fromFile(error, QStringLiteral("前回の作業ファイルを削除できません。"),
                                     FileLine(temp));
    }
    const QString failed = QStringLiteral("データベースを圧縮できません。データベースは元のままです。");
    try {
        try {
            // A reader beside the lock, which keeps writers out but lets readers in.
            SQLite::Database source(db.toStdString(), SQLite::OPEN_READONLY, Database::kBusyTimeoutMs);
            EngineProgress painting(source, progress);
            SQLite::Statement vacuum(source, "vacuum into ?");
            vacuum.bind(1, temp.toStdString());
            vacuum.exec();
        } catch (const std::exception& e) {
            // The copy is written to the application folder: a full disk or a refused file there.
            throw EngineError(e, FolderLine(folderOf(temp))).within(failed);
        }
        // The copy's content takes the database's place; as a file it keeps the database's mode.
        if (const int error = BackupFiles::current().setMode(temp, modeOf(db)))
            throw QelError::fromFile(error, failed, FileLine(temp));
        flushOrThrow(temp, failed);
        checkCopy(temp, true, progress);
    } catch (...) {
        discard(temp);
        throw;
    }
}

QString BackupDb(DatabaseLock& lock, const Progress& progress)
{
    const QString temp = tempPath();
    if (!QFileInfo(temp).isFile())
        throw QelError(QelError::Kind::NotFound,
                       QStringLiteral("圧縮したデータベースがありません。バックアップを中止しました。\n%1")
                           .arg(FileLine(temp)));
    QString target;
    try {
        // CompactDb has just checked the copy whole; a second full pass would double the run.
        checkCopy(temp, false, {});
        target = KeepDbAsBackup(&lock, [&progress](int percent) {
            if (progress)
                progress(percent / 2);
        });
        lock.replace(temp, [&progress](int percent) {
            if (progress)
                progress(50 + percent / 2);
        });
    } catch (...) {
        // A backup of a run that failed goes with it: the database in use is the one it holds.
        if (!target.isEmpty())
            discard(target);
        discard(temp);
        throw;
    }
    discard(temp);
    return target;
}

QString KeepDbAsBackup(const DatabaseLock* lock, const Progress& progress)
{
    const QString target = newBackupPath();
    const QString dbPath = Database::currentPath();
    writeBackupFile(target, [&](const QString& partial) {
        return lock ? lock->copyTo(partial, progress)
                    : BackupFiles::current().copy(dbPath, partial, progress);
    });
    return target;
}

void ReplaceUnreadableDb(const QString& copy)
{
    const QString dbPath = Database::currentPath();
    const QString failed = QStringLiteral("データベースを置き換えられません。データベースは元のままです。");
    if (QFileInfo::exists(dbPath)) {
        if (const int error = BackupFiles::current().setMode(copy, modeOf(dbPath)))
            throw QelError::fromFile(error, failed, FileLine(copy));
    }
    replaceFile(copy, dbPath, failed);
}

QStringList RecoverInterruptedBackup()
{
    QStringList notices;
    const QString folder = backupFolder();
    for (const QString& name : {kSampleDbFile, kOperationalDbFile}) {
        const QString dbPath = AppFile(name);
        const QString temp = tempPathFor(name);
        const QString restoreCopy = AppFile(QStringLiteral("TempRestore") + name);
        // A conversion that stopped before its new database took the name left the old one whole.
        discard(AppFile(QStringLiteral("TempConvert") + name));
        if (QFileInfo::exists(dbPath + QStringLiteral("-journal"))) {
            try {
                SettleDatabase(dbPath);
            } catch (const QelError& e) {
                notices << QStringLiteral(
                               "データベースファイル「%1」の途中で止まった処理を元に戻せませんでした。\n%2")
                               .arg(name, e.message());
            }
        }
        if (QFileInfo::exists(restoreCopy)) {
            if (!QFileInfo::exists(dbPath)) {
                // A restore into a missing database stopped before its copy took the name.
                notices << QStringLiteral("前回の復元が途中で止まりました。データベースファイル「%1」は"
                                          "ありません。バックアップフォルダのファイルから、"
                                          "もう一度復元してください。")
                               .arg(name);
            } else if (samePages(dbPath, restoreCopy)) {
                notices << QStringLiteral("前回の復元は、終わりを知らせる前に止まりましたが、"
                                          "データベース「%1」への復元は済んでいます。")
                               .arg(name);
            } else {
                notices << QStringLiteral("前回の復元が途中で止まりました。データベース「%1」は"
                                          "復元前のままです。\n必要なら、もう一度復元してください。")
                               .arg(name);
            }
            discard(restoreCopy);
        }
        if (!QFileInfo::exists(temp)) {
            discard(temp); // a journal left alone
            continue;
        }
        // Reads the whole copy, so only where the copy may be needed.
        const auto whole = [&temp] {
            try {
                InspectDatabase(temp, true);
                return true;
            } catch (const QelError&) {
                return false;
            }
        };
        if (!QFileInfo::exists(dbPath)) {
            // Left by an earlier version that moved the database away before it renamed the copy
            // into its place: the checked copy is the database.
            if (!whole()) {
                notices << QStringLiteral(
                               "データベースファイル「%1」がありません。前回のバックアップで作られた"
                               "作業ファイルは壊れているため、元に戻せませんでした。\n"
                               "作業ファイルは消さずに残してあります。\n%2\n"
                               "バックアップフォルダのファイルからデータを復元してください。")
                               .arg(name, FileLine(temp));
                continue;
            }
            if (const int error = BackupFiles::current().rename(temp, dbPath)) {
                notices << QelError::fromFile(
                               error,
                               QStringLiteral("データベースファイル「%1」がありません。前回のバックアップで"
                                              "作られた作業ファイルを元に戻せませんでした。")
                                   .arg(name),
                               FileLine(temp))
                               .userText();
                continue;
            }
            BackupFiles::current().flush(folderOf(dbPath));
            notices
                << QStringLiteral(
                       "前回のバックアップが途中で止まったため、データベースファイル「%1」が"
                       "ありませんでした。\n圧縮したデータベースを確かめて、「%1」として元に戻しました。\n%2")
                       .arg(name, FileLine(dbPath));
            continue;
        }
        if (QFileInfo(folder).isDir() && linkedInto(dbPath, folder)) {
            // An earlier version stopped after its backup, a second name of the database, got its
            // name: the database is given bytes of its own, so that the backup keeps the file as it
            // was rather than follow every later change.
            try {
                discard(temp);
                const QString failed = QStringLiteral("前回のバックアップを終えられませんでした。");
                if (const int error = BackupFiles::current().copy(dbPath, temp))
                    throw QelError::fromFile(error, failed, FolderLine(folderOf(temp)));
                replaceFile(temp, dbPath, failed);
            } catch (const QelError& e) {
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

FileFingerprint FingerprintOf(const QString& path)
{
    bool found = false;
    const struct stat info = statOf(path, found);
    FileFingerprint print;
    if (!found)
        return print;
    print.device = info.st_dev;
    print.inode = info.st_ino;
    print.size = info.st_size;
    print.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    print.changedNs = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return print;
}
