#!/usr/bin/env bash
# Makes the Debian packages pointillo and libkivaro-dev and prints their paths.
#   scripts/package.sh        from a clean tree: a fresh build in build-package/, with Debian's
#                             hardening flags and without tests or benchmarks
#   scripts/package.sh DIR    from the build folder DIR as it is configured (CI packages its
#                             test build, so it compiles nothing again)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" >&2
umask 022

if (($#)); then
    dir=$(cd "$1" && pwd)
    cmake --build "$dir" --parallel "$(nproc)" >/dev/null
else
    dir=$root/build-package
    rm -rf "$dir"
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
        LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
        "$root/scripts/build.sh" "$dir" -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF \
        -DPOINTILLO_BENCH=OFF >&2
fi

rm -f "$dir"/pointillo_*.deb "$dir"/libkivaro-dev_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
for deb in "$dir"/pointillo_*.deb "$dir"/libkivaro-dev_*.deb; do
    [[ -f $deb ]] || { echo "package.sh: cpack made no $(basename "$deb")" >&2; exit 1; }
    echo "$deb"
done
