#!/bin/sh
# velmora-complete's memory on a list of about 1 GB, made by repeating the rows of a smaller list:
#   sh bench/lists/complete_memory.sh build-rel [list.csv] [size in MB]
# Without a list, one of Japan Post's business addresses is made by bench_complete's rows in CP932.
# Prints the peak resident memory and the CPU time of the run; the big files are deleted afterwards.
set -eu
build=$(cd "${1:?build folder}" && pwd)
small=${2:-}
megabytes=${3:-1024}
cd "$(dirname "$0")/../.."
work=$(mktemp -d /tmp/velmora-memory.XXXXXX)
trap 'rm -rf "$work"' EXIT
if [ -z "$small" ]; then
    small=$work/small.csv
    # The address column of JIGYOSYO itself, codes empty, header first.
    python3 - "$small" <<'PY'
import csv, io, sys, zipfile
with zipfile.ZipFile('data/japanpost/jigyosyo.zip') as z:
    text = z.read('JIGYOSYO.CSV').decode('cp932')
out = io.StringIO()
out.write('会社,郵便番号,住所\r\n')
for row in csv.reader(io.StringIO(text)):
    out.write('%s,,%s%s%s%s\r\n' % (row[2].replace(',', ' '), row[3], row[4], row[5], row[6]))
open(sys.argv[1], 'wb').write(out.getvalue().encode('cp932'))
PY
fi
big=$work/big.csv
head -n 1 "$small" > "$big"
tail -n +2 "$small" > "$work/rows"
target=$((megabytes * 1024 * 1024))
while [ "$(stat -c %s "$big")" -lt "$target" ]; do cat "$work/rows" >> "$big"; done
rm -f "$work/rows"
echo "list: $(stat -c %s "$big") bytes, $(wc -l < "$big") lines"
/usr/bin/time -f "peak resident memory %M KiB, CPU %U s user + %S s system, %e s wall" \
    "$build/bin/velmora-complete" "$big" -o "$work/out.csv"
echo "output: $(stat -c %s "$work/out.csv") bytes"
