#!/usr/bin/env bash
# Installs what is missing, builds Velmora and starts it. Arguments are passed to the program
# (a request file's path, for instance).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
cmake --build build --target velmora
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "Velmora runs. Stop it with F12 (終了) in its window, or Ctrl+C here."
    exec build/bin/velmora "$@"
fi
# A virtual display has no GPU: the web engine draws in software from the start instead of failing
# to reach a GPU process first and saying so.
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:+$QTWEBENGINE_CHROMIUM_FLAGS }--disable-gpu"
# xvfb-run picks a free display and its own access key; both are needed to look at it. The ways to
# look are offered where their program is installed. Ctrl+C reaches the program and xvfb-run alike,
# and xvfb-run then stops the display.
exec xvfb-run -a -s "-screen 0 1600x1200x24" sh -c '
    echo "No display: Velmora runs on the virtual X display $DISPLAY (Xvfb)."
    if command -v import >/dev/null; then
        echo "  Screenshot: DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY import -window root velmora.png"
    else
        echo "  Screenshots: install imagemagick (its import takes them)."
    fi
    if command -v x11vnc >/dev/null; then
        echo "  To use it: x11vnc -display $DISPLAY -auth $XAUTHORITY, then a VNC viewer on port 5900."
    else
        echo "  To use it through VNC: install x11vnc."
    fi
    echo "Stop it with F12 (終了) in its window, or Ctrl+C here."
    exec "$0" "$@"' build/bin/velmora "$@"
