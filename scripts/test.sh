#!/usr/bin/env bash
# Builds Vostrel and runs every test (installing missing packages): the
# suite in a normal build, then again under AddressSanitizer and
# UndefinedBehaviorSanitizer. Fails when any test fails.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$repo/scripts/deps.sh" test
jobs="$(nproc)"

cd "$repo"
echo "== layout"
bash scripts/format.sh

echo "== the browser page (for the packages; its tests come with test.d/web.sh)"
bash scripts/web.sh

echo "== build and test"
cmake --preset plain -DVOSTREL_WEB_PAGE="$repo/build-web/vostrel.html" > /dev/null
cmake --build --preset plain -j "$jobs"
ctest --preset plain -j "$jobs"

echo "== build and test under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake --preset sanitize > /dev/null
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

for extra in "$repo"/scripts/test.d/*.sh; do
  [ -e "$extra" ] || continue
  echo "== $(basename "$extra" .sh)"
  bash "$extra"
done
