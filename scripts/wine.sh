# wine.sh - sourced: Wine prefixes of our own in temporary folders (never
# ~/.wine), for the Windows build's tests.
#
#   wine_boot DIR        makes and starts a new 64-bit prefix in DIR (~15 s)
#   wine_copy FROM DIR   a prefix of its own for one test: FROM's files by
#                        hard links, but the registry files (which Wine
#                        rewrites in place) as copies
#   wine_end DIR         ends the Wine processes of that prefix only
#   wine_suite DIR       the set-up the Windows suite runs in, in the folder
#                        DIR: DIR/template, booted once without a display
#                        (the real-window tests copy it), and DIR/modules, a
#                        fresh copy of it for the build's programs and the
#                        module tests, its wineserver kept running (so each
#                        test binary starts in well under a second); exports
#                        VOSTREL_WINE_TEMPLATE and WINEPREFIX. Called again,
#                        it makes DIR/modules anew. Ended by wine_end DIR/modules.
export WINEARCH=win64 WINEDEBUG=-all
# No offer to install Mono or Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="

wine_boot() {
  WINEPREFIX="$1" wineboot --init > /dev/null 2>&1 || { echo "wineboot failed in $1" >&2; return 1; }
  WINEPREFIX="$1" wineserver -w
}

wine_copy() {
  cp -al "$1" "$2"
  local f
  for f in "$1"/*.reg "$1"/.update-timestamp; do
    rm -f "$2/${f##*/}"
    cp -p "$f" "$2/"
  done
}

wine_end() { WINEPREFIX="$1" wineserver -k 2> /dev/null || true; }

wine_suite() {
  [ -d "$1/template" ] || (unset DISPLAY; wine_boot "$1/template")
  if [ -d "$1/modules" ]; then wine_end "$1/modules"; rm -rf "$1/modules"; fi
  wine_copy "$1/template" "$1/modules"
  export VOSTREL_WINE_TEMPLATE="$1/template" WINEPREFIX="$1/modules"
  wineserver -p30
}
