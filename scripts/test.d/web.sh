#!/usr/bin/env bash
# The browser page: builds it with the core's module tests for Node (scripts/web.sh), installs
# puppeteer-core and selenium-webdriver from tests/web/package-lock.json (neither downloads a
# browser or a driver: Debian's chromium, firefox-esr and WebKitGTK's MiniBrowser with
# WebKitWebDriver are used), and runs in build-web the module tests under Node and the browser
# scenarios, in the three engines, against the native window and converter of build/. The
# scenarios' screenshots (Chromium's) land in build-web/screenshots/ (the README's pictures in
# docs/ are copies of them).
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
"$repo/scripts/deps.sh" test
cd "$repo"
cmake --preset plain > /dev/null
cmake --build --preset plain -j "$(nproc)" --target vostrel vostrel-convert vostrel_collection > /dev/null
bash scripts/web.sh --tests --native "$repo/build"
PUPPETEER_SKIP_DOWNLOAD=1 npm ci --prefix tests/web --cache "$repo/build-web/npm-cache" \
  --no-audit --no-fund --loglevel=error
mkdir -p build-web/screenshots
VOSTREL_SCREENSHOT_DIR="$repo/build-web/screenshots" \
  ctest --test-dir build-web -j "$(nproc)" --output-on-failure
