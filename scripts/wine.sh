# wine.sh - sourced: Wine prefixes of our own in temporary folders (never
# ~/.wine), for the Windows build's tests.
#
#   wine_boot DIR        makes and starts a new 64-bit prefix in DIR (~15 s)
#   wine_copy FROM DIR   a prefix of its own for one test: FROM's files by
#                        hard links, but the registry files (which Wine
#                        rewrites in place) as copies
#   wine_end DIR         ends the Wine processes of that prefix only
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
