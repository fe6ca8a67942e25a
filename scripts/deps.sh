#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs, only those that are missing.
# Usage: scripts/deps.sh [test|windows|package|fuzz]
set -euo pipefail
# Debian's libzip CMake package refuses to load unless libzip's three small tools are installed too.
# Qt's own Japanese texts (the dialogs' buttons) come with qt6-translations-l10n; the postal data's
# update checks Japan Post's certificate against the system's authorities (ca-certificates).
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-webengine-dev
          qt6-webengine-dev-tools qt6-svg-dev qt6-image-formats-plugins qt6-translations-l10n libgl-dev
          libzip-dev zipcmp zipmerge ziptool fonts-noto-cjk xvfb xauth ca-certificates)
if [ "${1:-}" = test ]; then
    # xdotool types into the real program in the system tests, which put openbox around its window
    # and read the frame with xprop; Google Benchmark builds the encoder's benchmark, which the test
    # build compiles too; the update's test makes its server's certificate with openssl.
    packages+=(xdotool openbox x11-utils libbenchmark-dev desktop-file-utils openssl)
elif [ "${1:-}" = windows ]; then
    # The Windows compile check: MinGW-w64 with the POSIX thread model Qt's headers expect.
    packages+=(g++-mingw-w64-x86-64-posix libbenchmark-dev)
elif [ "${1:-}" = package ]; then
    # cpack's Debian package: dpkg-shlibdeps finds the libraries the program needs, and reads the
    # program with `file`.
    packages+=(dpkg-dev file)
elif [ "${1:-}" = fuzz ]; then
    # The fuzz targets (fuzz/) are built with clang's libFuzzer and sanitizers.
    packages+=(clang-14 libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
