#!/usr/bin/env bash
# Prints the lines of the test suite against the lines of the rest of the
# code: every source, script and build file under tests/ (fixtures and fuzz
# seeds excepted) against those under src/, scripts/, bench/, fuzz/, cmake/,
# tools/ and the top CMakeLists.txt. The project keeps tests at most 0.4 of
# the code.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
count() {
  find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.sh' -o -name '*.py' \
    -o -name '*.cmake' -o -name 'CMakeLists.txt' \) -not -path '*/fixtures/*' -not -path '*/corpus/*' \
    -print0 | xargs -0 cat | wc -l
}
dirs=()
for d in src scripts bench fuzz cmake tools; do [ -d "$d" ] && dirs+=("$d"); done
tests=$(count tests)
code=$(( $(count "${dirs[@]}") + $(wc -l < CMakeLists.txt) ))
awk -v t="$tests" -v c="$code" 'BEGIN { printf "tests %d lines, code %d lines, ratio %.2f\n", t, c, t / c }'
