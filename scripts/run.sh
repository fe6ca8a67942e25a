#!/usr/bin/env bash
# Installs what is missing, builds Velmora and starts it. Arguments are passed to the program
# (a request file's path, for instance).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
cmake --build build --target velmora
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    # xvfb-run picks a free display and its own access key; both are needed to look at it.
    exec xvfb-run -a -s "-screen 0 1600x1200x24" sh -c '
        echo "No display: Velmora runs on the virtual X display $DISPLAY (Xvfb). To see it:"
        echo "  DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY import -window root velmora.png   (imagemagick)"
        echo "or, to use it, x11vnc -display $DISPLAY -auth $XAUTHORITY and a VNC viewer on port 5900."
        exec "$0" "$@"' build/bin/velmora "$@"
fi
exec build/bin/velmora "$@"
