#!/bin/sh
# Fails when an include under src/ points up a layer or sideways between layers of one rank, names a
# folder that is no layer, or when platform tests appear outside platform/.
#   rank 0: core   rank 1: platform, settings, csv   rank 2: address   rank 3: lists, update   rank 4: ui
#   rank 5: app, complete (the programs)
# A file may include its own folder and any folder of a lower rank; nothing includes the programs.
# Usage: scripts/check-layers.sh [src folder]
src=${1:-"$(dirname "$0")/../src"}
rank() {
    case $1 in
    core) echo 0 ;;
    platform | settings | csv) echo 1 ;;
    address) echo 2 ;;
    lists | update) echo 3 ;;
    ui) echo 4 ;;
    app | complete) echo 5 ;;
    *) echo x ;;
    esac
}
status=0
for file in $(cd "$src" && find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort); do
    own=${file%%/*}
    own_rank=$(rank "$own")
    for target in $(sed -n 's|^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*|\1|p' "$src/$file"); do
        folder=${target%%/*}
        [ "$folder" = "$own" ] && continue
        target_rank=$(rank "$folder")
        if [ "$target_rank" = x ] || [ "$folder" = "$target" ]; then
            echo "$file: includes \"$target\", which is in no layer"
            status=1
        elif [ "$target_rank" -ge "$own_rank" ]; then
            echo "$file: includes \"$target\": $folder is not below $own"
            status=1
        fi
    done
    if [ "$own" != platform ] && grep -nE '^[[:space:]]*#[[:space:]]*if.*(Q_OS_|_WIN32|WIN32|__linux__|__APPLE__)' "$src/$file" >/dev/null; then
        echo "$file: tests the platform; that belongs in platform/"
        status=1
    fi
done
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
