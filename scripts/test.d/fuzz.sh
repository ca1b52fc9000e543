#!/usr/bin/env bash
# Fuzzes every reader (fuzz/fuzz_readers.cpp) with libFuzzer under AddressSanitizer +
# UndefinedBehaviorSanitizer (clang) for a bounded time (first argument, default 60 seconds),
# seeded with the hand-written files of fuzz/corpus and the writer's files of the tests. Fails on
# any crash, leak, timeout or sanitizer report, keeping the input and the log in build-fuzz/.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="$repo/build-fuzz"
cmake --preset fuzz -S "$repo" -B "$out" > /dev/null
cmake --build "$out" -j "$(nproc)" --target fuzz_readers
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$repo"/fuzz/corpus/* "$repo"/tests/cases/files/equal.xml "$repo"/tests/gui/fixtures/*.xml "$work"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$repo/tests/lsan.supp:print_suppressions=0" \
  "$out/fuzz/fuzz_readers" -max_total_time="${1:-60}" -timeout=10 -rss_limit_mb=2048 \
  -dict="$repo/fuzz/readers.dict" -artifact_prefix="$out/" "$work" 2> "$out/fuzz.log" ||
  { tail -n 60 "$out/fuzz.log"; echo "fuzzing FAILED (input and log in $out)"; exit 1; }
grep -E '^stat::number_of_executed_units|^Done' "$out/fuzz.log"
