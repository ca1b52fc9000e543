#!/usr/bin/env bash
# links.sh PROGRAM...: the programs that stand on the core alone link no toolkit: no FLTK, X11,
# Xft, fontconfig, freetype or xcb library among an ELF program's needed libraries, no GDI,
# comctl32, comdlg32 or user32 among a Windows program's DLLs; a program linked statically holds
# symbols, and none of FLTK's or Xlib's.
set -euo pipefail
for program in "$@"; do
  libs="$(objdump -p "$program" | sed -n 's/^\s*\(NEEDED\|DLL Name:\)\s*//p')"
  syms="$(nm "$program" 2> /dev/null || true)"
  if grep -iqE 'fltk|libX|Xft|fontconfig|freetype|xcb|^(gdi32|gdiplus|comctl32|comdlg32|user32)\.dll$' <<< "$libs" ||
    { [ -z "$libs" ] && ! grep -q . <<< "$syms"; } || grep -qE 'Fl_Widget|XOpenDisplay' <<< "$syms"; then
    echo "$program links the toolkit (or holds no symbols to tell): $libs"
    exit 1
  fi
done
