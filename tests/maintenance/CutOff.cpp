#include "CutOff.h"

#include <QFile>
#include <QFileInfo>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

bool LeaveCutOffTransaction(const QString& db)
{
    const pid_t child = ::fork();
    if (child == 0) {
        // A small cache makes the engine write pages before the commit, as a large deletion does.
        SQLite::Database connection(db.toStdString(), SQLite::OPEN_READWRITE);
        connection.exec("PRAGMA cache_size = 10");
        connection.exec("BEGIN");
        connection.exec("delete from Tb_売上");
        SQLite::Statement insert(connection,
                                 "insert into Tb_顧客 (Fi_キー, Fi_名前, Fi_備考) values (?, 'x', ?)");
        for (int key = 100000; key < 100300; ++key) {
            insert.bind(1, key);
            insert.bind(2, std::string(2000, 'y'));
            insert.exec();
            insert.reset();
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const QFileInfo journal(db + QStringLiteral("-journal"));
    return journal.exists() && journal.size() > 0;
}

int StoppingFiles::rename(const QString& from, const QString& to)
{
    return tick(BackupFiles::rename(from, to));
}

int StoppingFiles::remove(const QString& path)
{
    return tick(BackupFiles::remove(path));
}

int StoppingFiles::setMode(const QString& path, unsigned mode)
{
    return tick(BackupFiles::setMode(path, mode));
}

int StoppingFiles::flush(const QString& path)
{
    return tick(BackupFiles::flush(path));
}

int StoppingFiles::write(const QString& to, qint64 size, unsigned mode, const Reader& read,
                         const Progress& progress)
{
    if (m_left == 1) {
        QByteArray bytes(static_cast<qsizetype>(size / 2), '\0');
        const int fd = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd >= 0 && read(bytes.data(), 0, bytes.size()) == 0 &&
            ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) < 0)
            ::_exit(4);
        ::_exit(0);
    }
    return tick(BackupFiles::write(to, size, mode, read, progress));
}

int StoppingFiles::tick(int result)
{
    if (--m_left == 0)
        ::_exit(0);
    return result;
}

StoppedRun RunStoppingAfter(int stopAfter, const std::function<void()>& run)
{
    const pid_t child = ::fork();
    if (child < 0)
        return StoppedRun::Failed;
    if (child == 0) {
        BackupFiles::install(std::make_unique<StoppingFiles>(stopAfter));
        try {
            run();
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(2);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return StoppedRun::Failed;
    switch (WEXITSTATUS(status)) {
    case 0:
        return StoppedRun::Stopped;
    case 2:
        return StoppedRun::Completed;
    default:
        return StoppedRun::Failed;
    }
}
