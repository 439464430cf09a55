#include "PictureLoader.h"

#include "platform/PlatformError.h"

#include <QFileInfo>
#include <QImageReader>

namespace orvane {

QImage LoadPicture(const QString& path) {
    if (!QFileInfo(path).isFile())
        throw platform::PlatformError(platform::kErrFileNotFound,
                                      QStringLiteral("File not found: %1").arg(path));
    QImageReader reader(path);
    reader.setAutoTransform(false);
    // The size comes from the header, before any pixel is decoded.
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPicturePixels)
        throw platform::PlatformError(platform::kErrInvalidPicture,
                                      QStringLiteral("Picture too large: %1 x %2")
                                          .arg(size.width())
                                          .arg(size.height()));
    QImage picture = reader.read();
    if (picture.isNull())
        throw platform::PlatformError(platform::kErrInvalidPicture, reader.errorString());
    if (qint64(picture.width()) * picture.height() > kMaxPicturePixels)
        throw platform::PlatformError(platform::kErrInvalidPicture,
                                      QStringLiteral("Picture too large"));
    return picture;
}

} // namespace orvane
