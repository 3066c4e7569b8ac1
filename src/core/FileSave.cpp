#include "FileSave.h"

#include "QelError.h"
#include "TextRoutines.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kCannotSave = QStringLiteral("ファイルを保存できません。");

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

// The folder's entry of a renamed file reaches the disk only with the folder itself.
void syncFolder(const QString& folder)
{
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// 0 when the file's data is on the disk, else the system's error.
int syncFile(const QString& path)
{
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return error;
}

// Moves the file to `to` unless a file of that name exists: 0, EEXIST, or another error. A file
// system that cannot refuse in the same step (renameat2) is asked through a second link, and one
// without links by a look first.
int renameIfFree(const QString& from, const QString& to)
{
    const QByteArray source = encoded(from), target = encoded(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    if (::link(source.constData(), target.constData()) == 0) {
        ::unlink(source.constData());
        return 0;
    }
    if (errno != EPERM && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    struct stat info;
    if (::lstat(target.constData(), &info) == 0)
        return EEXIST;
    return ::rename(source.constData(), target.constData()) == 0 ? 0 : errno;
}

} // namespace

FileSave::FileSave(const QString& target, Existing existing) : m_target(target), m_existing(existing)
{
    const QFileInfo info(target);
    if (info.isDir() && existing == Existing::Replace)
        throw QelError::fromFile(EISDIR, kCannotSave, FileLine(target));
    const QString folder = info.absolutePath();
    // Made by the program so that the user's mask gives it the permissions of any new file; one
    // that replaces a file takes that file's.
    struct stat old;
    const bool replacing = existing == Existing::Replace && ::stat(encoded(target).constData(), &old) == 0;
    for (int attempt = 0;; ++attempt) {
        const QString temporary = folder + QStringLiteral("/.") + info.fileName() + QLatin1Char('.') +
                                  QString::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(encoded(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                              replacing ? 0600 : 0666);
        if (fd < 0) {
            if (errno == EEXIST && attempt < 100)
                continue;
            throw QelError::fromFile(errno, kCannotSave, FolderLine(folder));
        }
        if (replacing)
            ::fchmod(fd, old.st_mode & 07777);
        m_temporary = temporary;
        if (!m_file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            ::unlink(encoded(temporary).constData());
            throw QelError(QelError::Kind::FileOperation,
                           kCannotSave + QLatin1Char('\n') + FolderLine(folder), m_file.errorString());
        }
        return;
    }
}

FileSave::~FileSave()
{
    if (m_committed)
        return;
    m_file.close();
    ::unlink(encoded(m_temporary).constData());
}

QFile& FileSave::file()
{
    return m_file;
}

QString FileSave::temporaryPath()
{
    m_file.close();
    return m_temporary;
}

QString FileSave::commit()
{
    const QString& temporary = m_temporary;
    if (m_file.isOpen()) {
        const bool flushed = m_file.flush();
        const QString why = m_file.errorString();
        m_file.close();
        if (!flushed || m_file.error() != QFileDevice::NoError)
            throw QelError(QelError::Kind::FileOperation,
                           kCannotSave + QLatin1Char('\n') + FileLine(m_target), why);
    }
    if (const int error = syncFile(temporary))
        throw QelError::fromFile(error, kCannotSave, FileLine(m_target));

    QString written = m_target;
    if (m_existing == Existing::Replace) {
        if (::rename(encoded(temporary).constData(), encoded(m_target).constData()) != 0)
            throw QelError::fromFile(errno, kCannotSave, FileLine(m_target));
    } else {
        for (int number = 1;; ++number) {
            written = NumberedName(m_target, number);
            const int error = renameIfFree(temporary, written);
            if (error == 0)
                break;
            if (error != EEXIST || number >= 999)
                throw QelError::fromFile(error, kCannotSave, FileLine(m_target));
        }
    }
    m_committed = true;
    syncFolder(QFileInfo(written).absolutePath());
    return written;
}

QString NumberedName(const QString& path, int number)
{
    if (number <= 1)
        return path;
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString base = info.fileName().left(info.fileName().size() - suffix.size());
    return info.dir().filePath(base + QStringLiteral(" (%1)").arg(number) + suffix);
}
