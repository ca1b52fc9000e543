#!/usr/bin/env bash
# Fuzzes the XML reader with the temperament handlers, the settings reader
# and the Scala .scl and .kbm readers with libFuzzer under AddressSanitizer
# + UndefinedBehaviorSanitizer (clang), for a bounded time each (first
# argument, default 20 seconds).
# Seeds: files written by the program's own writer and the hand-written
# cases in fuzz/corpus. Fails on any crash, leak, timeout or sanitizer report.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
seconds="${1:-20}"
out="$repo/build-fuzz"

echo "building fuzz targets in $out"
cmake --preset fuzz -S "$repo" -B "$out" > /dev/null
cmake --build "$out" -j "$(nproc)" --target fuzz_parse fuzz_settings fuzz_scala make_seeds

work="$(mktemp -d /tmp/vostrel-fuzz-XXXXXX)"
trap 'rm -rf "$work"' EXIT
cp -r "$repo/fuzz/corpus/parse" "$work/parse"
cp -r "$repo/fuzz/corpus/settings" "$work/settings"
cp -r "$repo/fuzz/corpus/scala" "$work/scala"
# The window is built but never shown: no display is needed or wanted.
env -u DISPLAY "$out/fuzz/make_seeds" "$work/parse"

export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$repo/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
run() {
  local target="$1" dict="$2" corpus="$3"
  echo "fuzzing $target for $seconds s"
  env -u DISPLAY "$out/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -dict="$repo/fuzz/$dict" -artifact_prefix="$out/$target-" -print_final_stats=1 \
    "$corpus" 2> "$out/$target.log" || {
      tail -n 60 "$out/$target.log"
      echo "$target FAILED (artifact and log in $out)"
      return 1
    }
  grep -E '^stat::number_of_executed_units|^Done' "$out/$target.log" || true
}
run fuzz_parse xml.dict "$work/parse"
run fuzz_settings settings.dict "$work/settings"
run fuzz_scala scala.dict "$work/scala"
echo "fuzzing passed"
