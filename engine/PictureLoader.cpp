#include "PictureLoader.h"

#include "platform/FileAccess.h"
#include "platform/PlatformError.h"

#include <QFile>
#include <QImageReader>

#include <unistd.h>

namespace pointillo {

QImage LoadPicture(const QString& path) {
    // The file is opened once and read from that handle: a name checked first and opened
    // later could meanwhile lead to a pipe, and opening that would block the window.
    const int fd = platform::OpenRegularFile(path);
    QFile file(path);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw platform::PlatformError(platform::kErrFileNotFound, file.errorString());
    }
    QImageReader reader(&file);
    reader.setAutoTransform(false);
    // The size comes from the header, before any pixel is decoded.
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPicturePixels)
        throw platform::PlatformError(
            platform::kErrInvalidPicture,
            QStringLiteral("Picture too large: %1 x %2").arg(size.width()).arg(size.height()));
    QImage picture = reader.read();
    if (picture.isNull())
        throw platform::PlatformError(platform::kErrInvalidPicture, reader.errorString());
    if (qint64(picture.width()) * picture.height() > kMaxPicturePixels)
        throw platform::PlatformError(platform::kErrInvalidPicture,
                                      QStringLiteral("Picture too large"));
    return picture;
}

} // namespace pointillo
