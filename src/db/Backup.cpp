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

QString tempPath()
{
    return AppFile(QStringLiteral("Temp") + G().DbFileName);
}

QString backupFolder()
{
    return AppFile(G().BackDataPath);
}

// Opens the copy read-only and asks the engine whether it is whole.
void checkCopy(const QString& path)
{
    try {
        SQLite::Database db(path.toStdString(), SQLite::OPEN_READONLY);
        SQLite::Statement check(db, "PRAGMA integrity_check");
        if (!check.executeStep() || check.getColumn(0).getString() != "ok")
            throw DbError(QStringLiteral("圧縮したデータベースに誤りがあります。\n%1").arg(path),
                          QString::fromStdString(check.getColumn(0).getString()));
    } catch (const DbError&) {
        throw;
    } catch (const std::exception& e) {
        throw DbError(QStringLiteral("圧縮したデータベースを確認できません。\n%1").arg(path), QString::fromUtf8(e.what()));
    }
}

} // namespace

void DeleteBackFile(const QString& fileName)
{
    const QString path = backupFolder() + QLatin1Char('/') + fileName;
    if (!QFileInfo(path).isFile())
        return;
    QFile file(path);
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner);
    if (!file.remove())
        throw DbError(QStringLiteral("バックアップファイルを削除できません。\n%1").arg(path), file.errorString());
}

void CompactDb()
{
    const QString temp = tempPath();
    // A copy left by an interrupted run would make the compaction fail; it is of no use now.
    if (QFileInfo::exists(temp) && !QFile::remove(temp))
        throw DbError(QStringLiteral("前回の作業ファイルを削除できません。\n%1").arg(temp));
    {
        Database db;
        db.execute(QStringLiteral("vacuum into ?"), {temp});
    }
    try {
        checkCopy(temp);
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
}

QString BackupDb()
{
    const QString dbPath = Database::currentPath();
    const QString temp = tempPath();
    const QString stamp = Clock::current().now().toString(QStringLiteral("yyyyMMddHHmmss"));
    const QString target = backupFolder() + QStringLiteral("/Back") + stamp + G().DbFileName;

    if (!QFileInfo(temp).isFile())
        throw DbError(QStringLiteral("圧縮したデータベースがありません。バックアップを中止しました。\n%1").arg(temp));
    checkCopy(temp);
    if (!QFileInfo(backupFolder()).isDir())
        throw DbError(QStringLiteral("バックアップフォルダがありません。\n%1").arg(backupFolder()));
    if (QFileInfo::exists(target))
        throw DbError(QStringLiteral("同じ名前のバックアップファイルがあります。\n%1").arg(target));

    if (!QFile::rename(dbPath, target)) {
        // Another file system: copy first, and remove the original only once the copy is whole.
        if (!QFile::copy(dbPath, target)) {
            QFile::remove(target);
            throw DbError(QStringLiteral("データベースをバックアップフォルダへ移せません。\n%1").arg(target));
        }
        if (!QFile::remove(dbPath)) {
            QFile::remove(target);
            throw DbError(QStringLiteral("データベースをバックアップフォルダへ移せません。\n%1").arg(dbPath));
        }
    }
    if (!QFile::rename(temp, dbPath)) {
        // Put the original back so that the program keeps working on it.
        if (!QFile::rename(target, dbPath))
            QFile::copy(target, dbPath);
        throw DbError(QStringLiteral("圧縮したデータベースを置き換えられません。\n%1").arg(dbPath));
    }
    return target;
}
