#!/usr/bin/env bash
# Sets up a fresh Debian machine, then builds and runs every test twice: in a normal build with
# warnings as errors, and under AddressSanitizer and UndefinedBehaviorSanitizer; then makes and
# checks the Debian packages of the first build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen

echo "== normal build"
"$root/scripts/build.sh" "$root/build-test" -DPOINTILLO_WERROR=ON -DPOINTILLO_BENCH=ON
ctest --test-dir "$root/build-test" --output-on-failure --timeout 300

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
"$root/scripts/build.sh" "$root/build-asan" -DPOINTILLO_WERROR=ON -DPOINTILLO_SANITIZE=ON \
    -DCMAKE_BUILD_TYPE=Debug
ctest --test-dir "$root/build-asan" --output-on-failure --timeout 600

echo "== Debian packages"
"$root/scripts/package-check.sh" "$root/build-test"

echo "== fuzz targets, 30 seconds each"
"$root/scripts/fuzz.sh" 30
