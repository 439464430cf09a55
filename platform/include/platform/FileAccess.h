#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Whether a directory entry of that name exists, of any kind: a file, a folder, a device, a
// pipe, a socket, or a link (also one that leads nowhere).
bool NameExists(const QString& path);

// Whether the running user (by effective user and group) may create files in folder.
bool MayWriteFolder(const QString& folder);

// Opens path for reading without ever blocking (a pipe with no writer would block a plain
// open) and returns the descriptor, which the caller closes. Throws PlatformError
// kErrFileNotFound when nothing can be opened there, and kErrPermissionDenied when it is not a
// regular file (a folder, a device, a pipe, a socket, or a link to one of these).
int OpenRegularFile(const QString& path);

// The whole content of the regular file at path, read through OpenRegularFile. Throws
// PlatformError as that does, and kErrDeviceIO when the file is longer than maxBytes or cannot
// be read to its end.
QByteArray ReadRegularFile(const QString& path, qint64 maxBytes);

} // namespace platform
