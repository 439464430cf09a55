#include "SaveFile.h"

#include "platform/FileAccess.h"
#include "platform/PlatformError.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace pointillo {

namespace {

// The largest old file kept in memory so that a failed write in place can put it back.
constexpr qint64 kMaxKeptBytes = 64 * 1024 * 1024;

[[noreturn]] void fail(int number, const QString& why) {
    throw platform::PlatformError(number, why);
}

std::optional<struct stat> statTarget(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return st;
}

// A new file takes the place of the old one: it gets the old one's owner and group where the
// user may give them (root may; others only a group they belong to), then its mode.
void carryOwnership(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, uid_t(-1), old.st_gid);
    (void)::fchmod(fd, old.st_mode & 07777);
}

QString systemReason(int number) {
    return QString::fromLocal8Bit(std::strerror(number));
}

// A character device or a pipe is written as the shell's '>' would: directly, since it cannot be
// replaced. A pipe nobody reads is refused instead of blocking forever.
int openStream(const QString& path) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        fail(platform::kErrDeviceIO,
             errno == ENXIO ? QStringLiteral("No process reads the pipe") : systemReason(errno));
    (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// Returns 0, or the errno of the failure.
int writeAll(int fd, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += n;
    }
    return 0;
}

// While a file is written in place its old content lives on disk too, so that even a kill in
// the middle leaves it somewhere: in the user's runtime folder, else the temporary folder.
QString keepCopy(const QString& path, const QByteArray& old) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || !platform::MayWriteFolder(folder))
        folder = QDir::tempPath();
    QTemporaryFile copy(
        QDir(folder).filePath(QFileInfo(path).fileName() + QStringLiteral(".old-XXXXXX")));
    copy.setAutoRemove(false);
    const bool made = copy.open();
    if (!made || copy.write(old) != old.size() || !copy.flush() || ::fsync(copy.handle()) != 0) {
        if (made)
            copy.remove();
        fail(platform::kErrPermissionDenied,
             QStringLiteral("Cannot keep a copy of %1 while it is written in place (neither its "
                            "folder nor %2 lets a new file be made)")
                 .arg(path, QDir::toNativeSeparators(folder)));
    }
    return copy.fileName();
}

// Returns whether the old content is whole again.
bool putBack(const QString& path, const QByteArray& old) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
           file.write(old) == old.size() && file.flush();
}

[[noreturn]] void failInPlace(const QString& path, const QByteArray& old, const QString& copy,
                              const QString& why) {
    if (putBack(path, old)) {
        QFile::remove(copy);
        fail(platform::kErrDeviceIO, why);
    }
    fail(platform::kErrDeviceIO,
         QStringLiteral("%1; the old content is kept in %2").arg(why, copy));
}

} // namespace

QByteArray DotFileBytes(const QString& text) {
    QStringEncoder encoder("GB18030");
    QByteArray bytes = encoder.encode(text + QStringLiteral("\r\n"));
    if (!encoder.isValid() || encoder.hasError())
        fail(platform::kErrDeviceIO, QStringLiteral("The text cannot be written as GB18030"));
    return bytes;
}

SaveTarget::SaveTarget(const QString& path, bool devicesDirect) : m_path(path) {
    const std::optional<struct stat> old = statTarget(path);
    if (old && devicesDirect && (S_ISCHR(old->st_mode) || S_ISFIFO(old->st_mode))) {
        m_stream = openStream(path);
        return;
    }
    if (old && !S_ISREG(old->st_mode))
        fail(platform::kErrPermissionDenied, QStringLiteral("Not a regular file: %1").arg(path));
    // Without the right to create a file beside it, the old file can only be written in place;
    // its content is kept first, in memory and on disk, to put it back if that fails.
    m_inPlace = old && !platform::MayWriteFolder(QFileInfo(path).absolutePath());
    if (m_inPlace) {
        m_kept = platform::ReadRegularFile(path, kMaxKeptBytes);
        m_copy = keepCopy(path, m_kept);
    }
    m_file = std::make_unique<QSaveFile>(path);
    m_file->setDirectWriteFallback(m_inPlace);
    // Unbuffered, so that a write that fails is seen at once and not only when the file closes.
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (m_inPlace)
            QFile::remove(m_copy);
        fail(platform::kErrPermissionDenied, m_file->errorString());
    }
    if (old && !m_inPlace)
        carryOwnership(m_file->handle(), *old);
}

SaveTarget::~SaveTarget() {
    if (m_stream >= 0)
        ::close(m_stream);
    if (m_file && !m_done) {
        m_file->cancelWriting();
        (void)m_file->commit();
        if (m_inPlace && putBack(m_path, m_kept))
            QFile::remove(m_copy);
    }
}

void SaveTarget::Write(const QByteArray& bytes) {
    if (m_stream >= 0) {
        if (const int why = writeAll(m_stream, bytes)) {
            ::close(m_stream);
            m_stream = -1;
            fail(platform::kErrDeviceIO, systemReason(why));
        }
        return;
    }
    errno = 0;
    if (m_file->write(bytes) != bytes.size())
        failWriting(errno ? systemReason(errno) : m_file->errorString());
}

void SaveTarget::Commit() {
    if (m_stream >= 0) {
        const int fd = std::exchange(m_stream, -1);
        if (::close(fd) != 0 && errno != EINTR)
            fail(platform::kErrDeviceIO, systemReason(errno));
        return;
    }
    // Everything written reaches the disk before the file counts as saved: a disk that fills up
    // may report it only now, and then only through errno (QSaveFile would say "Unknown error").
    if (::fsync(m_file->handle()) != 0 && errno != EINVAL)
        failWriting(systemReason(errno));
    m_done = true;
    if (!m_file->commit()) {
        if (m_inPlace)
            failInPlace(m_path, m_kept, m_copy, m_file->errorString());
        fail(platform::kErrDeviceIO, m_file->errorString());
    }
    if (m_inPlace)
        QFile::remove(m_copy);
}

void SaveTarget::failWriting(const QString& why) {
    m_done = true;
    m_file->cancelWriting();
    (void)m_file->commit(); // drops the new file, or closes the old one written in place
    if (m_inPlace)
        failInPlace(m_path, m_kept, m_copy, why);
    fail(platform::kErrDeviceIO, why);
}

void SaveFileBytes(const QString& path, const QByteArray& bytes) {
    SaveTarget target(path, false);
    target.Write(bytes);
    target.Commit();
}

void SaveOutputBytes(const QString& path, const QByteArray& bytes) {
    SaveTarget target(path, true);
    target.Write(bytes);
    target.Commit();
}

} // namespace pointillo
