#pragma once

#include <QByteArray>
#include <QString>

namespace orvane {

// The bytes of a dot-matrix file: the code view's text and one CR LF, in the Chinese ANSI
// code page. GB18030 writes every character of code page 936 as that code page does and loses
// none of the rest. Throws PlatformError for text that cannot be encoded.
QByteArray DotFileBytes(const QString& text);

// Writes bytes to path whole or not at all: a failed write leaves any old file as it was and no
// partial file behind. Throws PlatformError when the file cannot be written.
void SaveFileBytes(const QString& path, const QByteArray& bytes);

// Writes the file whole or not at all: a failed save leaves any old file as it was. Throws
// PlatformError when the file cannot be written.
void SaveDotFile(const QString& path, const QString& text);

} // namespace orvane
