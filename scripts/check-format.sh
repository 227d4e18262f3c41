#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what clang-format (.clang-format) writes.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h' 2>/dev/null || find src tools tests bench -name '*.cpp' -o -name '*.h')
[ ${#files[@]} -eq 0 ] && exit 0
if ! clang-format --dry-run -Werror "${files[@]}"; then
  echo "check-format: run 'clang-format -i' on the files above" >&2
  exit 1
fi
