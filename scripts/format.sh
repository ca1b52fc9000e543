#!/usr/bin/env bash
# Checks that every C++ source under src/, tests/, tools/, fuzz/ and bench/ is
# laid out as .clang-format says (Debian's clang-format); fails and names the
# files that are not. With --fix it reformats them instead.
#   bash scripts/format.sh [--fix]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
mapfile -t files < <(git ls-files -co --exclude-standard -- src tests tools fuzz bench web |
  grep -E '\.(cpp|h)$' | grep -v '/mingw/')
if [ "${1:-}" = --fix ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
bad=()
for f in "${files[@]}"; do
  clang-format --dry-run -Werror "$f" 2> /dev/null || bad+=("$f")
done
if [ ${#bad[@]} -ne 0 ]; then
  echo "not formatted by .clang-format (bash scripts/format.sh --fix): ${bad[*]}" >&2
  exit 1
fi
echo "format: ${#files[@]} files as .clang-format says"
