#!/usr/bin/env bash
# Runs the whole CTest suite of a build N times (default 20) with -j4 while
# two busy processes load both cores, and prints how often each test failed.
# Not part of the test command: it is for finding tests that fail by chance.
#   bash scripts/stress.sh [RUNS] [BUILD_DIR]
# BUILD_DIR is build/ by default; for the Windows build (build-win/, made by
# scripts/windows.sh) each run gets the Wine set-up of scripts/windows.sh,
# its module prefix made anew (scripts/wine.sh, wine_suite).
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-20}"
build="${2:-$repo/build}"
[ -f "$build/CTestTestfile.cmake" ] ||
  { echo "no test build in $build (run scripts/test.sh or scripts/windows.sh first)" >&2; exit 2; }

log="$(mktemp -d /tmp/vostrel-stress.XXXXXX)"
busy=()
wine_dir=""
trap 'kill "${busy[@]}" 2>/dev/null || true
      if [ -n "$wine_dir" ]; then wine_end "$wine_dir/modules"; rm -rf "$wine_dir"; fi
      rm -rf "$log"' EXIT
if [ -f "$build/vostrel.exe" ]; then
  source "$repo/scripts/wine.sh"
  wine_dir="$(mktemp -d /tmp/vostrel-wine.XXXXXX)"
  wine_suite "$wine_dir"
fi

for _ in 1 2; do
  (while :; do :; done) &
  busy+=($!)
done

failed_runs=0
start=$SECONDS
for i in $(seq "$runs"); do
  [ -z "$wine_dir" ] || [ "$i" = 1 ] || wine_suite "$wine_dir"
  if (cd "$build" && ctest -j4 --output-on-failure > "$log/run.$i" 2>&1); then
    echo "run $i: passed"
  else
    failed_runs=$((failed_runs + 1))
    echo "run $i: FAILED"
  fi
  # ctest lists every failed test as "<number> - <name> (Failed|Timeout|...)" after "The following
  # tests FAILED:" (the skipped ones, listed the same way before it, are no failures).
  sed -n '/^The following tests FAILED:/,$ s/^[[:space:]]*[0-9]* - \(.*\) (.*)$/\1/p' \
    "$log/run.$i" >> "$log/failures"
done
total="$(grep -c 'tests passed' "$log"/run.* | awk -F: '{s += $2} END {print s}')"
echo "$runs runs of $build in $((SECONDS - start)) s with two busy processes; $failed_runs runs failed"
if [ -s "$log/failures" ]; then
  echo "failures per test:"
  sort "$log/failures" | uniq -c | sort -rn
  mkdir -p "$repo/build-stress" && cp "$log"/run.* "$repo/build-stress/"
  echo "logs of every run kept in $repo/build-stress"
  exit 1
fi
echo "no test failed (${total} summaries read)"
