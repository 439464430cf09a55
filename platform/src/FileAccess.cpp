#include "platform/FileAccess.h"

#include "platform/PlatformError.h"

#include <QFile>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool NameExists(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool MayWriteFolder(const QString& folder) {
    // access() alone would ask on behalf of the real user, not the one the program runs as.
    return !folder.isEmpty() && ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(),
                                            W_OK | X_OK, AT_EACCESS) == 0;
}

int OpenRegularFile(const QString& path) {
    const int fd = path.isEmpty() ? -1
                                  : ::open(QFile::encodeName(path).constData(),
                                           O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw PlatformError(kErrFileNotFound, QStringLiteral("Cannot open %1").arg(path));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw PlatformError(kErrPermissionDenied,
                            QStringLiteral("Not a regular file: %1").arg(path));
    }
    return fd;
}

QByteArray ReadRegularFile(const QString& path, qint64 maxBytes) {
    const int fd = OpenRegularFile(path);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw PlatformError(kErrDeviceIO, file.errorString());
    }
    const auto tooLong = [&path] {
        return PlatformError(kErrDeviceIO, QStringLiteral("File too long: %1").arg(path));
    };
    if (file.size() > maxBytes)
        throw tooLong();
    // One byte more than allowed tells a file that grew past the limit from one that fits.
    const QByteArray bytes = file.read(std::min(file.size(), maxBytes) + 1);
    if (file.error() != QFileDevice::NoError)
        throw PlatformError(kErrDeviceIO, file.errorString());
    if (bytes.size() > maxBytes)
        throw tooLong();
    return bytes;
}

} // namespace platform
