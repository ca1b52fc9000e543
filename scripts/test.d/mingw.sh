#!/usr/bin/env bash
# Windows compile check: every source file under src/ is compiled for
# Windows with the MinGW-w64 cross compiler, against nothing but the
# toolkit's FL/ headers, with every warning an error. The cross compiler is
# installed for this check only, when it is missing.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cxx=x86_64-w64-mingw32-g++

if ! command -v "$cxx" > /dev/null; then
  echo "Installing g++-mingw-w64-x86-64 for the Windows compile check"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    g++-mingw-w64-x86-64 > /dev/null
fi

fl_headers=""
for d in /usr/include/FL /usr/local/include/FL; do
  [ -f "$d/Fl.H" ] && { fl_headers=$d; break; }
done
[ -n "$fl_headers" ] || { echo "mingw: no FL/ headers found" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Only FL/ is copied, so no other header of this Linux system can be found.
# -isystem: the toolkit's own headers are not ours to warn about (as in the
# native build, where they sit in a system folder); our code gets them all.
mkdir -p "$work/include"
cp -r "$fl_headers" "$work/include/FL"
flags=(-std=gnu++17 -Wall -Wextra -Werror -isystem "$work/include")

failed=0
count=0
for src in "$repo"/src/*.cpp; do
  count=$((count + 1))
  name="${src#"$repo"/}"
  if ! "$cxx" "${flags[@]}" -fsyntax-only "$src" 2> "$work/err"; then
    echo "FAIL $name"
    cat "$work/err"
    failed=$((failed + 1))
    continue
  fi
  # Where every included header came from: the cross compiler's own Windows
  # headers and our copy of FL/, never the Linux system's /usr/include.
  "$cxx" "${flags[@]}" -E "$src" -o "$work/pre"
  sed -n 's/^# [0-9]* "\([^"<]*\)".*/\1/p' "$work/pre" | sort -u > "$work/headers"
  if grep -q '^/usr/include/' "$work/headers"; then
    echo "FAIL $name: a Linux system header was used:"
    grep '^/usr/include/' "$work/headers"
    failed=$((failed + 1))
    continue
  fi
  # The Windows branch of the platform code really was compiled.
  if [ "$name" = src/main_gui.cpp ] && ! grep -q '/windows\.h$' "$work/headers"; then
    echo "FAIL $name was not compiled with the Windows headers"
    failed=$((failed + 1))
    continue
  fi
  echo "ok   $name"
done
[ "$count" -gt 0 ] || { echo "mingw: no sources found" >&2; exit 1; }

echo "mingw: $((count - failed)) of $count source files compile for Windows"
[ "$failed" -eq 0 ]
