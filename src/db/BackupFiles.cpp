#include "Backup.h"

#include "core/Services.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

int result(int rc)
{
    return rc == 0 ? 0 : errno;
}

// Closes the descriptor whichever way the copy ends.
class Descriptor
{
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now, reporting a failed close (a late write error on some file systems).
    int close()
    {
        const int rc = ::close(m_fd);
        m_fd = -1;
        return result(rc);
    }

  private:
    int m_fd;
};

int copyBytes(int from, int to)
{
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got == 0)
            return 0;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer + done, static_cast<size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            done += put;
        }
    }
}

} // namespace

int BackupFiles::rename(const QString& from, const QString& to)
{
    return result(::rename(encoded(from).constData(), encoded(to).constData()));
}

int BackupFiles::link(const QString& from, const QString& to)
{
    return result(::link(encoded(from).constData(), encoded(to).constData()));
}

int BackupFiles::copy(const QString& from, const QString& to)
{
    Descriptor source(::open(encoded(from).constData(), O_RDONLY | O_CLOEXEC));
    if (source.get() < 0)
        return errno;
    struct stat info = {};
    if (::fstat(source.get(), &info) != 0)
        return errno;
    // Never over an existing file: the target name is new, or the caller removed it first.
    Descriptor target(
        ::open(encoded(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777));
    if (target.get() < 0)
        return errno;
    int error = copyBytes(source.get(), target.get());
    // The mode as the source has it, whatever the process's mask took from it at creation.
    if (error == 0 && ::fchmod(target.get(), info.st_mode & 07777) != 0)
        error = errno;
    if (error == 0 && ::fsync(target.get()) != 0)
        error = errno;
    const int closed = target.close();
    if (error == 0)
        error = closed;
    if (error != 0)
        ::unlink(encoded(to).constData());
    return error;
}

int BackupFiles::remove(const QString& path)
{
    return result(::unlink(encoded(path).constData()));
}

int BackupFiles::setMode(const QString& path, unsigned mode)
{
    return result(::chmod(encoded(path).constData(), static_cast<mode_t>(mode)));
}

int BackupFiles::flush(const QString& path)
{
    Descriptor fd(::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return errno;
    if (::fsync(fd.get()) != 0 && errno != EINVAL)
        return errno;
    return 0;
}

BackupFiles& BackupFiles::current()
{
    return Service<BackupFiles>::current();
}

void BackupFiles::install(std::unique_ptr<BackupFiles> files)
{
    Service<BackupFiles>::install(std::move(files));
}
