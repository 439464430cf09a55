#include "DotFile.h"

#include "platform/PlatformError.h"

#include <QSaveFile>
#include <QStringEncoder>

namespace orvane {

QByteArray DotFileBytes(const QString& text) {
    QStringEncoder encoder("GB18030");
    QByteArray bytes = encoder.encode(text + QStringLiteral("\r\n"));
    if (!encoder.isValid() || encoder.hasError())
        throw platform::PlatformError(platform::kErrDeviceIO,
                                      QStringLiteral("The text cannot be written as GB18030"));
    return bytes;
}

void SaveDotFile(const QString& path, const QString& text) {
    SaveFileBytes(path, DotFileBytes(text));
}

void SaveFileBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw platform::PlatformError(platform::kErrPermissionDenied, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        throw platform::PlatformError(platform::kErrDeviceIO, file.errorString());
    }
    if (!file.commit())
        throw platform::PlatformError(platform::kErrDeviceIO, file.errorString());
}

} // namespace orvane
