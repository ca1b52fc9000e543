#!/usr/bin/env bash
# Builds Vostrel (installing missing packages) and starts it in the caller's
# working directory, where its settings file Vostrel.ini lives.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$repo/scripts/deps.sh" run
cmake -S "$repo" -B "$repo/build" -DVOSTREL_TESTS=OFF > /dev/null
cmake --build "$repo/build" --target vostrel -j "$(nproc)"
exec "$repo/build/vostrel" "$@"
