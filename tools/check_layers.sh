#!/bin/sh
# The include rule of the rooms (../shared/architecture.md): a file under src/
# includes headers of its own room and of the rooms it may use, never of a room
# above it or beside it. Include paths are relative to src/.
#
#   tools/check_layers.sh [SRC_DIR [EXCEPTIONS_FILE]]
#
# Prints "FILE:LINE: ROOM may not include ROOM (HEADER)" for every forbidden
# include and exits 1 when one of them is not listed in the exceptions file
# (default tools/layer_exceptions.txt); exits 0 otherwise.
set -eu
here=$(dirname "$0")
src=${1:-$here/../src}
exceptions=${2:-$here/layer_exceptions.txt}
[ -d "$src" ] || { echo "check_layers: no source folder $src" >&2; exit 2; }
[ -f "$exceptions" ] || { echo "check_layers: no exceptions file $exceptions" >&2; exit 2; }
exceptions=$(cd "$(dirname "$exceptions")" && pwd)/$(basename "$exceptions")

cd "$src"
find . -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.inl' -o -name '*.c' -o -name '*.cc' \
    -o -name '*.cpp' \) | sed 's|^\./||' | LC_ALL=C sort |
awk -v exceptions="$exceptions" '
function room(path, parts) {
    if (path ~ /^platform\/door\//) return "door"
    split(path, parts, "/")
    return (parts[1] in uses) ? parts[1] : ""
}
BEGIN {
    # Each room and the rooms it may include, itself first.
    uses["platform"] = "platform"
    uses["door"] = "door platform"
    uses["core"] = "core platform"
    uses["formats"] = "formats core platform"
    uses["ops"] = "ops core platform"
    uses["anim"] = "anim core platform"
    uses["app"] = "app door formats ops anim core platform"
    uses["ui"] = "ui app door formats ops anim core platform"
    uses["cli"] = "cli app door formats ops anim core platform"
    for (r in uses) {
        n = split(uses[r], list, " ")
        for (i = 1; i <= n; ++i) allowed[r, list[i]] = 1
    }
    while ((getline line < exceptions) > 0) {
        sub(/#.*/, "", line)
        if (split(line, field, " ") == 2) { excepted[field[1] " " field[2]] = 1; listed++ }
    }
    close(exceptions)
    bad = 0; known = 0; files = 0
}
{
    file = $0
    shown = "src/" file
    own = room(file)
    files++
    if (own == "") {
        print shown ": in no room (add the room to tools/check_layers.sh)"
        bad++
        next
    }
    number = 0
    while ((getline text < file) > 0) {
        number++
        if (text !~ /^[ \t]*#[ \t]*include[ \t]*"/) continue
        header = text
        sub(/^[ \t]*#[ \t]*include[ \t]*"/, "", header)
        sub(/".*/, "", header)
        if (header ~ /^\.\.?\//) {
            print shown ":" number ": include paths are relative to src/ (" header ")"
            bad++
            continue
        }
        target = room(header)
        if (target == "" || allowed[own, target]) continue
        if ((shown " " header) in excepted) {
            used[shown " " header] = 1
            known++
            continue
        }
        print shown ":" number ": " own " may not include " target " (" header ")"
        bad++
    }
    close(file)
}
END {
    for (entry in excepted)
        if (!(entry in used)) print "note: exception no longer needed: " entry
    printf "%d files checked, %d known exceptions met, %d forbidden includes\n", files, known, bad
    exit bad ? 1 : 0
}'
