#!/bin/sh
# The layering check against a scratch tree: a listed exception passes, an
# include of a room above (or beside) fails with its file, line and room.
set -eu
check="$(cd "$(dirname "$0")" && pwd)/check_layers.sh"
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/src/core" "$tree/src/ops" "$tree/src/app"
printf '#include "platform/block.h"\n#include "platform/door/string_table.h"\n' \
    >"$tree/src/core/listed.cpp"
printf '#include "core/dib.h"\n' >"$tree/src/app/fine.cpp"
echo 'src/core/listed.cpp platform/door/string_table.h' >"$tree/exceptions"
sh "$check" "$tree/src" "$tree/exceptions" >/dev/null ||
    { echo "FAIL: a clean tree with a listed exception was refused"; exit 1; }

printf '// leaks upward\n#include "core/dib.h"\n#include "app/application.h"\n' >"$tree/src/core/leak.h"
printf '#include "formats/png/png_decoder.h"\n' >"$tree/src/ops/beside.cpp"
if out=$(sh "$check" "$tree/src" "$tree/exceptions"); then
    echo "FAIL: planted violations passed"; exit 1
fi
for expected in 'src/core/leak.h:3: core may not include app (app/application.h)' \
                'src/ops/beside.cpp:1: ops may not include formats (formats/png/png_decoder.h)'; do
    case $out in *"$expected"*) ;; *) printf 'FAIL: expected "%s" in:\n%s\n' "$expected" "$out"; exit 1 ;; esac
done
[ "$(printf '%s\n' "$out" | grep -c 'may not include')" -eq 2 ] ||
    { printf 'FAIL: only the two planted includes should be reported:\n%s\n' "$out"; exit 1; }
echo "check_layers refuses planted violations"
