#!/usr/bin/env bash
# Compiles every source of the project (src, tests, bench) for 64-bit Windows with MinGW-w64 and the
# system's Qt 6 headers, warnings as errors. Nothing is linked: Debian has no Windows Qt libraries.
# Prints how many files were compiled; exits non-zero on any error.
# Usage: scripts/check-windows.sh [build folder, default build-windows]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh windows
dir=${1:-build-windows}
cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Debug \
      -DVELMORA_STRICT=ON >/dev/null
mapfile -t objects < <(ninja -C "$dir" -t targets all | sed -n 's/^\(.*\.obj\): .*/\1/p')
if [ ${#objects[@]} -eq 0 ]; then
    echo "check-windows: no sources found" >&2
    exit 1
fi
if ! nice ninja -C "$dir" -k 0 "${objects[@]}"; then
    echo "check-windows: FAILED (${#objects[@]} files)" >&2
    exit 1
fi
echo "check-windows: ${#objects[@]} files compiled for Windows without warnings"
