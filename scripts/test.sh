#!/usr/bin/env bash
# Builds Vostrel and runs every test (installing missing packages): the
# suite in a normal build, then again under AddressSanitizer and
# UndefinedBehaviorSanitizer. Fails when any test fails.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$repo/scripts/deps.sh" test
jobs="$(nproc)"

echo "== build and test"
cmake -S "$repo" -B "$repo/build" -DVOSTREL_TESTS=ON > /dev/null
cmake --build "$repo/build" -j "$jobs"
(cd "$repo/build" && ctest --output-on-failure -j "$jobs")

echo "== build and test under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S "$repo" -B "$repo/build-asan" -DVOSTREL_TESTS=ON -DVOSTREL_SANITIZE=ON > /dev/null
cmake --build "$repo/build-asan" -j "$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$repo/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd "$repo/build-asan" && ctest --output-on-failure -j "$jobs")

for extra in "$repo"/scripts/test.d/*.sh; do
  [ -e "$extra" ] || continue
  echo "== $(basename "$extra" .sh)"
  bash "$extra"
done
