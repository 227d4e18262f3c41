#!/usr/bin/env bash
# Fails when the interface spells a selector out ("share:", "operationDidFinishWithResult:error:")
# instead of naming it through src/platform/ui/MessageNames.h, where a typo fails to compile.
# Comments may quote selectors. Usage: scripts/check-names.sh (from anywhere; prints file:line).
set -euo pipefail
cd "$(dirname "$0")/.."

FOLDERS='platform/ui controls window chrome lists sharing documents contacts app'
HEADER='src/platform/ui/MessageNames.h'

dirs=()
for folder in $FOLDERS; do
  [ -d "src/$folder" ] && dirs+=("src/$folder")
done
mapfile -t sources < <(find "${dirs[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) ! -path "$HEADER" | sort)
[ ${#sources[@]} -gt 0 ] || exit 0

awk '
function fault(literal) {
    printf "%s:%d: the selector %s is spelled out: name it in MessageNames.h\n", FILENAME, FNR, literal
    faults++
}
{
    line = $0
    # A comment quotes selectors freely: look only at the code before it.
    sub(/^[ \t]*\/\/.*$/, "", line)
    sub(/[ \t]\/\/ .*$/, "", line)
    while (match(line, /"[A-Za-z_][A-Za-z0-9_]*:([A-Za-z_][A-Za-z0-9_]*:)*"/)) {
        fault(substr(line, RSTART, RLENGTH))
        line = substr(line, RSTART + RLENGTH)
    }
}
END {
    if (faults) {
        printf "check-names: %d selector literal(s) outside %s\n", faults, "'"$HEADER"'"
        exit 1
    }
}
' "${sources[@]}"
