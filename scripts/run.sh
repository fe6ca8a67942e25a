#!/usr/bin/env bash
# Installs what is missing, builds Velmora and starts it. Arguments are passed to the program
# (a request file's path, for instance).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
cmake --build build --target velmora
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting Velmora on a virtual X display (Xvfb)."
    exec xvfb-run -a -s "-screen 0 1600x1200x24" build/bin/velmora "$@"
fi
exec build/bin/velmora "$@"
