#!/usr/bin/env bash
# The programs that stand on the core alone link no toolkit: no FLTK, X11,
# Xft or fontconfig library among an ELF file's needed libraries, and no
# GDI, comctl32 or gdiplus among a Windows program's imported DLLs; a program linked
# statically holds none of FLTK's or Xlib's symbols.
#   links.sh PROGRAM...
set -euo pipefail
status=0
for program in "$@"; do
  if head -c 2 "$program" | grep -q MZ; then
    libs=$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p')
    banned='^(gdi32|gdiplus|comctl32|comdlg32|user32)\.dll$'
  else
    libs=$(objdump -p "$program" | sed -n 's/^\s*NEEDED\s*//p')
    banned='fltk|libX|Xft|fontconfig|freetype|xcb'
  fi
  if [ -z "$libs" ]; then
    # Linked statically: the toolkit would show in the symbol table instead.
    syms=$(nm "$program" 2> /dev/null)
    if [ -z "$syms" ] || grep -qE 'Fl_Widget|XOpenDisplay' <<< "$syms"; then
      echo "$program holds the toolkit, or no symbols to tell"
      status=1
    fi
    continue
  fi
  if bad=$(echo "$libs" | grep -iE "$banned"); then
    echo "$program links: $(echo $bad)"
    status=1
  else
    echo "$program: $(echo $libs)"
  fi
done
exit $status
