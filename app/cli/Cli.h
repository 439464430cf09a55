#pragma once

#include <QStringList>

namespace pointillo {

// Runs the command with its arguments (without the program name) and returns its exit
// status: 0 success, 1 an input or output failure, 2 a usage error.
int RunCli(const QStringList& arguments);

} // namespace pointillo
