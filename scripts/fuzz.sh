#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time on its seed corpus.
# Usage: scripts/fuzz.sh [seconds per target, default 8] [target ...]
# Findings (crash-*, timeout-*, oom-*) are left in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-8}
shift || true
bash scripts/deps.sh fuzz
CXX=clang++-14 cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
nice cmake --build build-fuzz
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(request settings japan_post position encoder cp932 postal_data csv address)
mkdir -p build-fuzz/findings
export ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen
# The settings target writes a file on every run: in memory where possible.
[ -d /dev/shm ] && export TMPDIR=/dev/shm
for t in "${targets[@]}"; do
    # New inputs go to a scratch copy: the seed corpus in the repository stays small.
    work=build-fuzz/corpus/$t
    mkdir -p "$work"
    echo "fuzz_$t: ${seconds}s"
    status=0
    build-fuzz/fuzz_$t -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -artifact_prefix="build-fuzz/findings/$t-" "$work" "fuzz/corpus/$t" >build-fuzz/fuzz_$t.log 2>&1 ||
        status=$?
    grep -E '^(Done [0-9]+ runs|SUMMARY|check failed)' build-fuzz/fuzz_$t.log || true
    if [ $status -ne 0 ]; then
        echo "fuzz_$t found a fault (build-fuzz/fuzz_$t.log, input in build-fuzz/findings/)"
        exit 1
    fi
done
