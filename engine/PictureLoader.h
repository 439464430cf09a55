#pragma once

#include <QImage>
#include <QString>

namespace pointillo {

// The largest picture an import accepts. A glyph picture is a few hundred pixels across; this
// leaves room for photographs and refuses what would exhaust memory.
inline constexpr qint64 kMaxPicturePixels = 40'000'000;

// Loads a picture at its own size through Qt's image readers (BMP, JPEG, ICO, PNG, GIF and
// whatever else is installed). Throws PlatformError kErrInvalidPicture for a file that is not a
// picture, is damaged, or is too large, kErrFileNotFound for a path that does not exist, and
// kErrPermissionDenied for one that is not a regular file (never opened in a way that blocks).
QImage LoadPicture(const QString& path);

} // namespace pointillo
