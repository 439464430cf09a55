#!/usr/bin/env bash
# Installs, by Debian package name, whatever the build, the tests, the program and the
# packaging checks need and is missing. Quiet, and quick when everything is already there.
set -euo pipefail

packages=(
    g++ gcc cmake make pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    libbenchmark-dev
    fonts-wqy-zenhei fonts-arphic-uming fonts-arphic-ukai fonts-liberation fonts-dejavu-core
    fontconfig libfontconfig-dev libfreetype-dev unifont xfonts-wqy locales
    as31 sdcc gcc-avr avr-libc
    clang libfuzzer-14-dev
    dpkg-dev file lintian desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fc-cache -f >/dev/null 2>&1 || true
fi

# The glyph tests run the window and pointillo under the locales whose users see the fonts'
# family names translated; fontconfig reads the language from LANG when a process starts.
test_locales=(en_US.UTF-8 zh_CN.UTF-8 zh_TW.UTF-8 ja_JP.UTF-8)
absent=()
for l in "${test_locales[@]}"; do
    locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}" || absent+=("$l")
done
if ((${#absent[@]})); then
    echo "Generating locales: ${absent[*]}"
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    for l in "${absent[@]}"; do
        grep -qx "$l UTF-8" /etc/locale.gen 2>/dev/null || echo "$l UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    done
    $sudo locale-gen >/dev/null
fi
