#!/usr/bin/env bash
# Installs the Debian packages that are missing for a purpose:
#   scripts/deps.sh run    - what building and running the program needs
#   scripts/deps.sh test   - that, plus what the test suite needs
#   scripts/deps.sh windows - what the Windows build and its tests under
#                            Wine need (scripts/windows.sh)
#   scripts/deps.sh web    - what the browser page needs (scripts/web.sh)
# Uses sudo when not run as root. Installs nothing that is already there.
set -euo pipefail

run_pkgs=(cmake g++ make libfltk1.3-dev fluid)
test_pkgs=(emscripten node-acorn chromium firefox-esr webkit2gtk-driver unzip libgtest-dev clang-format pandoc xvfb xauth xdotool x11-utils imagemagick clang libclang-rt-dev desktop-file-utils dpkg-dev python3)

win_pkgs=(cmake make g++-mingw-w64-x86-64-win32 libgtest-dev wine wine64 fonts-wine nsis zip unzip
          p7zip-full pandoc xvfb xauth xdotool x11-utils imagemagick python3)

web_pkgs=(cmake make emscripten node-acorn libgtest-dev)

want=("${run_pkgs[@]}")
if [ "${1:-run}" = test ]; then want+=("${test_pkgs[@]}"); fi
if [ "${1:-run}" = windows ]; then want=("${win_pkgs[@]}"); fi
if [ "${1:-run}" = web ]; then want=("${web_pkgs[@]}"); fi
# npm, for the browser tests' puppeteer-core: Debian's, unless a node of its own brought one.
if [ "${1:-run}" = test ] && ! command -v npm > /dev/null; then want+=(npm); fi

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
