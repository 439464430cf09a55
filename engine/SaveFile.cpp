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

// Everything written reaches the disk before the file counts as saved: a disk that fills up
// may report it only now, and then only through errno (QSaveFile would say "Unknown error").
// Returns why it failed, or nothing.
QString writeWhole(QSaveFile& file, const QByteArray& bytes) {
    errno = 0;
    if (file.write(bytes) != bytes.size())
        return errno ? systemReason(errno) : file.errorString();
    if (::fsync(file.handle()) != 0 && errno != EINVAL)
        return systemReason(errno);
    return {};
}

// A character device or a pipe is written as the shell's '>' would: directly, since it cannot be
// replaced. A pipe nobody reads is refused instead of blocking forever.
void writeStream(const QString& path, const QByteArray& bytes) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        fail(platform::kErrDeviceIO,
             errno == ENXIO ? QStringLiteral("No process reads the pipe") : systemReason(errno));
    (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int why = n < 0 ? errno : ENOSPC;
            ::close(fd);
            fail(platform::kErrDeviceIO, systemReason(why));
        }
        done += n;
    }
    if (::close(fd) != 0 && errno != EINTR)
        fail(platform::kErrDeviceIO, systemReason(errno));
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
    if (!copy.open() || copy.write(old) != old.size() || !copy.flush() ||
        ::fsync(copy.handle()) != 0) {
        copy.remove();
        fail(platform::kErrPermissionDenied,
             QStringLiteral("Cannot keep a copy of %1 while it is written in place (the folder "
                            "does not let a new file be made beside it)")
                 .arg(path));
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

void SaveFileBytes(const QString& path, const QByteArray& bytes) {
    const std::optional<struct stat> old = statTarget(path);
    if (old && !S_ISREG(old->st_mode))
        fail(platform::kErrPermissionDenied, QStringLiteral("Not a regular file: %1").arg(path));
    // Without the right to create a file beside it, the old file can only be written in place;
    // its content is kept first, in memory and on disk, to put it back if that fails.
    const bool inPlace = old && !platform::MayWriteFolder(QFileInfo(path).absolutePath());
    const QByteArray kept = inPlace ? platform::ReadRegularFile(path, kMaxKeptBytes) : QByteArray();
    const QString copy = inPlace ? keepCopy(path, kept) : QString();
    QSaveFile file(path);
    file.setDirectWriteFallback(inPlace);
    // Unbuffered, so that a write that fails is seen at once and not only when the file closes.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail(platform::kErrPermissionDenied, file.errorString());
    if (old && !inPlace)
        carryOwnership(file.handle(), *old);
    if (const QString why = writeWhole(file, bytes); !why.isEmpty()) {
        file.cancelWriting();
        (void)file.commit(); // drops the new file, or closes the old one written in place
        if (inPlace)
            failInPlace(path, kept, copy, why);
        fail(platform::kErrDeviceIO, why);
    }
    if (!file.commit()) {
        if (inPlace)
            failInPlace(path, kept, copy, file.errorString());
        fail(platform::kErrDeviceIO, file.errorString());
    }
    if (inPlace)
        QFile::remove(copy);
}

void SaveOutputBytes(const QString& path, const QByteArray& bytes) {
    const std::optional<struct stat> old = statTarget(path);
    if (old && (S_ISCHR(old->st_mode) || S_ISFIFO(old->st_mode)))
        writeStream(path, bytes);
    else
        SaveFileBytes(path, bytes);
}

} // namespace pointillo
