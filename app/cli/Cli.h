#pragma once

#include <QByteArray>
#include <QStringList>

namespace pointillo {

// Runs the command with its arguments (without the program name) and returns its exit
// status: 0 success, 1 an input or output failure, 2 a usage error.
int RunCli(const QStringList& arguments);

// The whole of a regular file, opened without blocking, or of standard input for "-", up to
// 64 MiB. Throws CliError (status 1) naming path for anything else (a device, a pipe by name),
// or for a longer input.
QByteArray ReadInput(const QString& path);

} // namespace pointillo
