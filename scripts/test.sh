#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors under AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
export QTWEBENGINE_DISABLE_SANDBOX=1
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_STRICT=ON >/dev/null
cmake --build build-test -j"$(nproc)"
cd build-test
ctest --output-on-failure -j2
