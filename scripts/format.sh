#!/usr/bin/env bash
# Checks that every C++ source under src/, tests/, tools/, fuzz/, bench/ and web/ is laid out as
# .clang-format says (Debian's clang-format), naming the files that are not; with --fix it
# reformats them instead.
#   bash scripts/format.sh [--fix]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
mapfile -t files < <(git ls-files -co --exclude-standard -- src tests tools fuzz bench web |
  grep -E '\.(cpp|h)$' | grep -v /mingw/)
if [ "${1:-}" = --fix ]; then
  exec clang-format -i "${files[@]}"
fi
bad="$(clang-format --dry-run "${files[@]}" 2>&1 | sed -n 's/:[0-9]*:[0-9]*: warning: .*//p' | uniq)"
[ -z "$bad" ] || { echo "not formatted by .clang-format (scripts/format.sh --fix):" $bad >&2; exit 1; }
echo "format: ${#files[@]} files as .clang-format says"
