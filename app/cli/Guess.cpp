#include "Guess.h"

namespace pointillo {

int RunGuess(const CliOptions&) {
    throw CliError{2, QStringLiteral("guess is not built yet")};
}

} // namespace pointillo
