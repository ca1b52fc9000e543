#!/usr/bin/env bash
# Builds Vostrel and runs every test, installing the packages it misses: the layout, the suite
# in a normal build and again under AddressSanitizer + UndefinedBehaviorSanitizer, then every
# script of scripts/test.d. Fails when any test fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/deps.sh test
echo "== layout"
bash scripts/format.sh
echo "== the browser page (for the packages; its tests come with test.d/web.sh)"
bash scripts/web.sh
for preset in plain sanitize; do
  echo "== build and test: $preset"
  cmake --preset $preset -DVOSTREL_WEB_PAGE="$PWD/build-web/vostrel.html" > /dev/null
  cmake --build --preset $preset -j "$(nproc)"
  ctest --preset $preset -j "$(nproc)"
done
for extra in scripts/test.d/*.sh; do
  echo "== $(basename "$extra" .sh)"
  bash "$extra"
done
