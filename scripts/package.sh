#!/usr/bin/env bash
# Installs what is missing, builds Velmora for release and makes the Debian package
# build-package/velmora_<version>_amd64.deb. Its Depends field comes from the program's links
# (dpkg-shlibdeps, in dpkg-dev, which reads the program with `file`): without those tools a package
# would be made that installs but cannot start, so the script fails when Depends names no Qt web engine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh package
dir=build-package
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
nice cmake --build "$dir"
rm -f "$dir"/velmora_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/velmora_*.deb)
depends=$(dpkg-deb --field "$deb" Depends)
echo "$deb"
echo "Depends: $depends"
if [[ $depends != *libqt6webenginecore6* ]]; then
    echo "package: the Depends field names no Qt web engine library" >&2
    exit 1
fi
