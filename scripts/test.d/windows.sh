#!/usr/bin/env bash
# The Windows build and its whole test suite under Wine (scripts/windows.sh).
set -euo pipefail
exec bash "$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/windows.sh"
