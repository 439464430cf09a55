#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds the program and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DBUILD_TESTING=OFF -DPOINTILLO_BENCH=OFF
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "Pointillo is built (build/bin/Orvane), but this machine has no display to show its" >&2
    echo "window on. Start it from a desktop session, or under Xvfb: xvfb-run build/bin/Orvane" >&2
    exit 1
fi
exec "$root/build/bin/Orvane" "$@"
