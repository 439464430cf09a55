#pragma once

#include "CliOptions.h"

namespace pointillo {

// pointillo guess: the layouts that may have made the input's bytes, best first. Returns the
// exit status; throws CliError.
int RunGuess(const CliOptions& options);

} // namespace pointillo
