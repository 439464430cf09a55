#!/usr/bin/env bash
# CI's packaging step: makes the Debian packages of a build folder and checks them as a user's
# machine and a host program's developer meet them. Usage: package-check.sh [BUILD_DIR]
# (default build-test, the folder scripts/test.sh builds and tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-test}
work=$(realpath "$(mktemp -d)")
trap 'rm -rf "$work"' EXIT
fail() {
    echo "package-check: $*" >&2
    exit 1
}

echo "== packages"
made=$("$root/scripts/package.sh" "$build")
mapfile -t debs <<<"$made"
((${#debs[@]} == 2)) || fail "expected two packages, got: ${debs[*]}"
program_deb=${debs[0]}
[[ $(basename "$program_deb") == pointillo_1.0.0_amd64.deb ]] || fail "unexpected $program_deb"
depends=$(dpkg-deb -f "$program_deb" Depends)
for needed in fonts-wqy-zenhei fonts-arphic-uming fonts-arphic-ukai fonts-liberation libqt6widgets6; do
    [[ $depends == *"$needed"* ]] || fail "pointillo does not depend on $needed: $depends"
done
lintian --fail-on error "${debs[@]}"

for deb in "${debs[@]}"; do
    dpkg-deb -x "$deb" "$work/root"
done
share=$work/root/usr/share
desktop=$share/applications/org.pointillo.Orvane.desktop
desktop-file-validate "$desktop"
appstreamcli validate --no-net --no-color "$share/metainfo/org.pointillo.Orvane.metainfo.xml" >/dev/null

echo "== programs started from the unpacked package"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The menu entry's command, through the link in bin/: the window must load the control library
# from the unpacked program folder and run until it is told to stop.
command=$(sed -n 's/^Exec=//p' "$desktop")
"$work/root/usr/bin/$command" 2>"$work/orvane.err" &
pid=$!
sleep 3
kill -0 "$pid" 2>/dev/null || fail "orvane ended early: $(cat "$work/orvane.err")"
grep -q "$work/root/usr/lib/pointillo/libKivaro.so" "/proc/$pid/maps" ||
    fail "orvane did not load the control library from its own folder"
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
((status == 128 + 15)) || fail "orvane ended with status $status instead of by the signal"
[[ ! -s $work/orvane.err ]] || fail "orvane printed: $(cat "$work/orvane.err")"

glyph=$("$work/root/usr/bin/pointillo" 英 2>"$work/pointillo.err") ||
    fail "pointillo failed: $(cat "$work/pointillo.err")"
[[ $glyph == ';英'* && $glyph == *'DB '* && ! -s $work/pointillo.err ]] ||
    fail "pointillo made no glyph: $glyph $(cat "$work/pointillo.err")"
[[ -f $work/root/usr/share/man/man1/pointillo.1.gz ]] || fail "the package has no pointillo.1"

echo "== example host built against an installed prefix"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
cmake -S "$root/examples/host" -B "$work/example" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF >/dev/null
grep -q "^Kivaro_DIR:PATH=$prefix/" "$work/example/CMakeCache.txt" ||
    fail "the example found another Kivaro package than the one in $prefix"
cmake --build "$work/example" >/dev/null
frame=$("$work/example/scrolling_text" --frames 40 Kivaro 2>"$work/example.err")
[[ $frame == *'#'* && ! -s $work/example.err ]] ||
    fail "the example showed no text: $frame $(cat "$work/example.err")"
echo "packages, desktop data, programs and example host: all good"
