#include "Backup.h"

#include "core/Services.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <vector>

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

int writeAll(int to, const char* bytes, qint64 size)
{
    for (qint64 done = 0; done < size;) {
        const ssize_t put = ::write(to, bytes + done, static_cast<size_t>(size - done));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += put;
    }
    return 0;
}

int readAll(int from, char* buffer, qint64 offset, qint64 size)
{
    for (qint64 done = 0; done < size;) {
        const ssize_t got = ::pread(from, buffer + done, static_cast<size_t>(size - done), offset + done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            return EIO; // shorter than it was a moment ago
        done += got;
    }
    return 0;
}

constexpr qint64 kChunk = 1 << 20;

} // namespace

int BackupFiles::rename(const QString& from, const QString& to)
{
    return result(::rename(encoded(from).constData(), encoded(to).constData()));
}

int BackupFiles::write(const QString& to, qint64 size, unsigned mode, const Reader& read,
                       const Progress& progress)
{
    // Never over an existing file: the target name is new, or the caller removed it first.
    Descriptor target(::open(encoded(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode & 07777));
    if (target.get() < 0)
        return errno;
    std::vector<char> buffer(static_cast<size_t>(std::min(size, kChunk)));
    int error = 0;
    for (qint64 done = 0; error == 0 && done < size;) {
        const qint64 n = std::min(kChunk, size - done);
        error = read(buffer.data(), done, n);
        if (error == 0)
            error = writeAll(target.get(), buffer.data(), n);
        done += n;
        if (error == 0 && progress)
            progress(static_cast<int>(done * 100 / size));
    }
    // The mode as asked, whatever the process's mask took from it at creation.
    if (error == 0 && ::fchmod(target.get(), mode & 07777) != 0)
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

int BackupFiles::copy(const QString& from, const QString& to, const Progress& progress)
{
    Descriptor source(::open(encoded(from).constData(), O_RDONLY | O_CLOEXEC));
    if (source.get() < 0)
        return errno;
    struct stat info = {};
    if (::fstat(source.get(), &info) != 0)
        return errno;
    const int fd = source.get();
    return write(
        to, info.st_size, info.st_mode & 07777,
        [fd](char* buffer, qint64 offset, qint64 size) { return readAll(fd, buffer, offset, size); },
        progress);
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
