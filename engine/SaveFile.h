#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QSaveFile;

namespace pointillo {

// The bytes of a dot-matrix file: the code text and one CR LF, in the Chinese ANSI code page.
// GB18030 writes every character of code page 936 as that code page does and loses none of the
// rest. Throws platform::PlatformError for text that cannot be encoded.
QByteArray DotFileBytes(const QString& text);

// Writes bytes to path whole or not at all: any failure (a full disk included) leaves an old file
// byte for byte as it was. An existing file is replaced by a new one with its permissions and,
// where the user may set them, its owner and group; in a folder the user cannot write to, a
// writable file is written in place, and put back as it was when that fails (so one that
// cannot be read, or is too large to keep in memory, is not written); while it is written in
// place a copy of the old content waits in the runtime or temporary folder, and a failure names
// it when the old content cannot be put back. A name that is not a regular file (a device, a
// pipe, a socket, a folder) is never opened or replaced.
// Throws platform::PlatformError when the file cannot be written.
void SaveFileBytes(const QString& path, const QByteArray& bytes);

// As SaveFileBytes, except that a character device or a pipe (/dev/null, /dev/stdout, a named
// pipe) is written directly, as the shell's '>' would: what a command-line tool does. A pipe
// that no process reads is refused rather than waited on.
void SaveOutputBytes(const QString& path, const QByteArray& bytes);

// The same, written piece by piece, so that a table need not be held whole: nothing replaces the
// old file until Commit, and a target destroyed before Commit leaves the old file as it was.
// devicesDirect: write a character device or a pipe directly, as SaveOutputBytes does.
class SaveTarget {
public:
    SaveTarget(const QString& path, bool devicesDirect);
    ~SaveTarget();
    SaveTarget(const SaveTarget&) = delete;
    SaveTarget& operator=(const SaveTarget&) = delete;

    void Write(const QByteArray& bytes);
    void Commit();

private:
    [[noreturn]] void failWriting(const QString& why);

    QString m_path;
    int m_stream = -1; // a device or pipe written directly
    std::unique_ptr<QSaveFile> m_file;
    bool m_inPlace = false;
    bool m_done = false;
    QByteArray m_kept;
    QString m_copy;
};

} // namespace pointillo
