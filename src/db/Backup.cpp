#include "Backup.h"

#include "Database.h"
#include "DbError.h"

#include "core/Clock.h"
#include "core/Globals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

namespace {

std::unique_ptr<BackupFiles>& slot()
{
    static std::unique_ptr<BackupFiles> files = std::make_unique<BackupFiles>();
    return files;
}

QString tempPath()
{
    return AppFile(QStringLiteral("Temp") + G().DbFileName);
}

QString backupFolder()
{
    return AppFile(G().BackDataPath);
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// A compacted copy is of no use once its run has failed; the next run makes a fresh one.
void dropTemp(const QString& temp)
{
    QString why;
    if (QFileInfo::exists(temp))
        BackupFiles::current().remove(temp, why);
}

// Opens the copy read-only and asks the engine whether it is whole; a quick look reads only its
// header and schema, enough to tell a database from a stray or truncated file.
void checkCopy(const QString& path, bool quick = false)
{
    try {
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY);
        SQLite::Statement check(db,
                                quick ? "select 'ok' from sqlite_master limit 1" : "PRAGMA integrity_check");
        if (!check.executeStep() || check.getColumn(0).getString() != "ok")
            throw DbError(
                QStringLiteral("圧縮したデータベースに誤りがあります。\n%1").arg(native(path)),
                QString::fromStdString(check.hasRow() ? check.getColumn(0).getString() : std::string()));
    } catch (const DbError&) {
        throw;
    } catch (const std::exception& e) {
        throw DbError(QStringLiteral("圧縮したデータベースを確認できません。\n%1").arg(native(path)),
                      QString::fromUtf8(e.what()));
    }
}

} // namespace

bool BackupFiles::rename(const QString& from, const QString& to, QString& why)
{
    // QFile falls back to copy and delete across file systems, and undoes a half-done copy.
    QFile file(from);
    if (file.rename(to))
        return true;
    why = file.errorString();
    return false;
}

bool BackupFiles::remove(const QString& path, QString& why)
{
    QFile file(path);
    if (file.remove())
        return true;
    why = file.errorString();
    return false;
}

BackupFiles& BackupFiles::current()
{
    return *slot();
}

void BackupFiles::install(std::unique_ptr<BackupFiles> files)
{
    slot() = files ? std::move(files) : std::make_unique<BackupFiles>();
}

void DeleteBackFile(const QString& fileName)
{
    const QString path = backupFolder() + QLatin1Char('/') + fileName;
    if (!QFileInfo(path).isFile())
        return;
    QFile file(path);
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner);
    QString why;
    if (!BackupFiles::current().remove(path, why))
        throw DbError(QStringLiteral("バックアップファイルを削除できません。\n%1").arg(native(path)), why);
}

void CompactDb()
{
    const QString temp = tempPath();
    // A copy left by an interrupted run would make the compaction fail; it is of no use now.
    QString why;
    if (QFileInfo::exists(temp) && !BackupFiles::current().remove(temp, why))
        throw DbError(QStringLiteral("前回の作業ファイルを削除できません。\n%1").arg(native(temp)), why);
    try {
        {
            Database db;
            try {
                db.execute(QStringLiteral("vacuum into ?"), {temp});
            } catch (const DbError& e) {
                throw DbError(QStringLiteral("データベースを圧縮できません。データベースは元のままです。\n%1")
                                  .arg(native(db.path())),
                              e.engineText());
            }
        }
        checkCopy(temp);
    } catch (...) {
        // A full disk or a locked database can leave a partial copy behind.
        dropTemp(temp);
        throw;
    }
}

QString BackupDb()
{
    BackupFiles& files = BackupFiles::current();
    const QString dbPath = Database::currentPath();
    const QString temp = tempPath();
    const QString stamp = Clock::current().now().toString(QStringLiteral("yyyyMMddHHmmss"));
    const QString target = backupFolder() + QStringLiteral("/Back") + stamp + G().DbFileName;

    if (!QFileInfo(temp).isFile())
        throw DbError(QStringLiteral("圧縮したデータベースがありません。バックアップを中止しました。\n%1")
                          .arg(native(temp)));
    try {
        // CompactDb has just checked the copy whole; a second full pass would double the run.
        checkCopy(temp, true);
        if (!QFileInfo(backupFolder()).isDir())
            throw DbError(
                QStringLiteral("バックアップフォルダがありません。\n%1").arg(native(backupFolder())));
        if (QFileInfo::exists(target))
            throw DbError(
                QStringLiteral("同じ名前のバックアップファイルがあります。\n%1").arg(native(target)));
        QString why;
        if (!files.rename(dbPath, target, why))
            throw DbError(
                QStringLiteral(
                    "データベースをバックアップフォルダへ移せません。データベースは元のままです。\n%1")
                    .arg(native(target)),
                why);
    } catch (...) {
        dropTemp(temp);
        throw;
    }

    QString why;
    if (files.rename(temp, dbPath, why))
        return target;
    // Put the original back so that the program keeps working on it; if even that fails, the
    // user must know where the database now lies.
    QString backWhy;
    if (!files.rename(target, dbPath, backWhy)) {
        throw DbError(
            QStringLiteral("圧縮したデータベースを置き換えられず、元のデータベースも戻せませんでした。\n"
                           "データベースファイルは今、次の場所にあります。\n%1\n"
                           "このファイルを次の場所へ戻してください。\n%2\n"
                           "圧縮したデータベースは次の場所に残っています。\n%3")
                .arg(native(target), native(dbPath), native(temp)),
            why + QLatin1Char('\n') + backWhy);
    }
    dropTemp(temp);
    throw DbError(QStringLiteral("圧縮したデータベースを置き換えられません。データベースは元のままです。\n%1")
                      .arg(native(dbPath)),
                  why);
}
