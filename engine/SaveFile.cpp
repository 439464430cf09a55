#include "SaveFile.h"

#include "platform/FileAccess.h"
#include "platform/PlatformError.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStringEncoder>

#include <cerrno>
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

// Everything written reaches the disk before the file counts as saved: a disk that fills up
// may report it only now.
bool writeWhole(QSaveFile& file, const QByteArray& bytes) {
    if (file.write(bytes) != bytes.size())
        return false;
    return ::fsync(file.handle()) == 0 || errno == EINVAL;
}

void putBack(const QString& path, const QByteArray& old) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        file.write(old);
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
    // its content is kept first, to put it back if that fails.
    const bool inPlace = old && !platform::MayWriteFolder(QFileInfo(path).absolutePath());
    const QByteArray kept = inPlace ? platform::ReadRegularFile(path, kMaxKeptBytes) : QByteArray();
    QSaveFile file(path);
    file.setDirectWriteFallback(inPlace);
    // Unbuffered, so that a write that fails is seen at once and not only when the file closes.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail(platform::kErrPermissionDenied, file.errorString());
    if (old && !inPlace)
        carryOwnership(file.handle(), *old);
    if (!writeWhole(file, bytes)) {
        const QString why = file.errorString();
        file.cancelWriting();
        (void)file.commit(); // drops the new file, or closes the old one written in place
        if (inPlace)
            putBack(path, kept);
        fail(platform::kErrDeviceIO, why);
    }
    if (!file.commit()) {
        if (inPlace)
            putBack(path, kept);
        fail(platform::kErrDeviceIO, file.errorString());
    }
}

} // namespace pointillo
