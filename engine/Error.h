#pragma once

#include <QString>

namespace pointillo {

// A request the engine cannot carry out, with the exit status a command gives for it: 1 for an
// input or output failure, 2 for a request that cannot be met as asked (a usage error).
struct Error {
    int status;
    QString message;
};

} // namespace pointillo
