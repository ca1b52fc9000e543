#!/usr/bin/env bash
# Builds and runs the benchmarks (installing missing packages) and prints one
# table: Vostrel's load, generate, folder search and start-up against expat,
# one plain fwrite, find(1) and a minimal FLTK window, with the ratios and
# the targets. Everything runs in temporary folders; takes a few minutes.
# Not part of scripts/test.sh.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$repo/build-bench"
runs="${VOSTREL_BENCH_STARTS:-20}"   # starts of each program, alternating

# ---- Packages --------------------------------------------------------------------
"$repo/scripts/deps.sh" run
bench_pkgs=(libbenchmark-dev libexpat1-dev xvfb xauth xdotool strace)
missing=()
for p in "${bench_pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# ---- Build -------------------------------------------------------------------------
echo "== build (build-bench)"
cmake -S "$repo" -B "$build" -DVOSTREL_BENCH=ON -DVOSTREL_TESTS=OFF > /dev/null
cmake --build "$build" -j "$(nproc)" --target vostrel vostrel_bench min_window min_window_label \
  startup_probe spawn_time vostrel-convert > /dev/null
bench="$build/bench/vostrel_bench"

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null || true
  rm -rf "$work"
  [ -n "${tree_dir:-}" ] && rm -rf "$tree_dir"
}
trap cleanup EXIT

# ---- 1-3: load, generate, discovery -------------------------------------------------
# Nine repetitions of each timing, in random interleaved order; medians.
echo "== timings: load, generate, discovery"
env -u DISPLAY "$bench" --benchmark_min_time=0.3 --benchmark_repetitions=9 \
  --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
  --benchmark_format=csv > "$work/bench.csv" 2> "$work/bench.err" || {
  cat "$work/bench.err" >&2
  exit 1
}
if grep -q ',true,' "$work/bench.csv"; then
  echo "a timing failed:" >&2
  grep ',true,' "$work/bench.csv" >&2
  exit 1
fi
# median cpu|real NAME: cpu_time or real_time of a median row, in µs.
median() {
  awk -F, -v want="\"$2_median\"" -v col="$1" \
    '$1 == want { printf "%.1f\n", (col == "cpu" ? $4 : $3) }' "$work/bench.csv"
}
load_v=$(median cpu BM_Load_Vostrel); load_e=$(median cpu BM_Load_Expat)
gen_v=$(median cpu BM_Generate_Vostrel); gen_f=$(median cpu BM_Generate_Fwrite)
disc_v=$(median cpu BM_Discovery_Vostrel)
find_t=$(median real BM_Discovery_Find/manual_time); find_s=$(median real BM_Find_Start/manual_time)
wload_v=$(median real BM_Load_Vostrel); wload_e=$(median real BM_Load_Expat)
wgen_v=$(median real BM_Generate_Vostrel); wgen_f=$(median real BM_Generate_Fwrite)

# ---- 3: listings and stat calls of one search ------------------------------------------
echo "== system calls of one search (strace)"
if [ "$(stat -f -c %T /dev/shm 2> /dev/null)" = tmpfs ] && [ -w /dev/shm ]; then
  tree_dir="$(mktemp -d -p /dev/shm)"
else
  tree_dir="$(mktemp -d)"
fi
tree="$tree_dir/tree"
"$bench" --make-tree "$tree" > /dev/null
visited=$(find "$tree" -maxdepth 2 -type d | wc -l)   # every folder the search may list
trace() { strace -f -qq -o "$1" -e trace=openat,open,getdents64,newfstatat,fstat,stat,lstat,statx "${@:2}" > /dev/null 2>&1 || true; }
# A listing is an open with O_DIRECTORY. The search names its paths in full,
# so its calls on the tree are picked by path; find works relative to open
# folders, so its start (find /nonexistent) is subtracted instead.
count() { grep -cE "$2" "$1" || true; }
trace "$work/s.trace" "$bench" --search "$tree/" Temperaments/ 2
trace "$work/f.trace" find "$tree" -maxdepth 3 -type d -name Temperaments -print -quit
trace "$work/f0.trace" find /nonexistent
v_list=$(count "$work/s.trace" "openat\\(AT_FDCWD, \"$tree/.*O_DIRECTORY")
v_stat=$(count "$work/s.trace" "(newfstatat|stat|lstat|statx)\\(AT_FDCWD, \"$tree/")
v_fstat=$(count "$work/s.trace" "(newfstatat\\([0-9]+, \"\", |fstat\\([0-9]+, )\\{st_mode=S_IFDIR")
stat_re='^[0-9]+ +(newfstatat|fstat|stat|lstat|statx)\('
f_list=$(( $(count "$work/f.trace" O_DIRECTORY) - $(count "$work/f0.trace" O_DIRECTORY) ))
f_stat=$(( $(count "$work/f.trace" "$stat_re") - $(count "$work/f0.trace" "$stat_re") ))
# Entries in the folders listed, "." and ".." included.
entries=$(( $(find "$tree" -mindepth 1 -maxdepth 3 | wc -l) + 2 * visited ))

# ---- 4: start-up under Xvfb ------------------------------------------------------------
echo "== converter start-up: $runs runs of vostrel-convert --version and /bin/true, alternating"
read -r st_c st_t < <("$build/bench/spawn_time" "$runs" "$build/vostrel-convert --version" /bin/true)

echo "== start-up: $runs starts of each program, alternating"
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset > "$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
# A working folder and home of its own, with a settings file that names a
# temperaments folder, so nothing is searched.
mkdir -p "$work/run/home" "$work/run/Temperaments"
printf 'Tempdirstr=%s/Temperaments/\n' "$work/run" > "$work/run/Vostrel.ini"
(
  cd "$work/run"
  export HOME="$work/run/home"
  # The window the probe times is the one meant: mapped, 800 x 300.
  "$build/vostrel" & pid=$!
  win=$(timeout 10 xdotool search --sync --onlyvisible --name "Vostrel for HW3" | head -n1)
  xdotool getwindowgeometry "$win" | awk '/Geometry/ { print "   Vostrel window mapped, geometry " $2 }'
  kill "$pid"; wait "$pid" 2> /dev/null || true
  "$build/bench/startup_probe" "$runs" 300 \
    vostrel "Vostrel for HW3" "$build/vostrel" \
    minimal "Minimal FLTK window" "$build/bench/min_window" \
    label "Minimal FLTK window with a label" "$build/bench/min_window_label"
) > "$work/startup.txt"
grep -v -e '^run ' -e '^rss ' "$work/startup.txt"
start_field() { awk -v l="$1" -v f="$2" '$1 == "median" && $2 == l { print $f }' "$work/startup.txt"; }
st_v=$(start_field vostrel 3); st_m=$(start_field minimal 3); st_l=$(start_field label 3)
rss_v=$(start_field vostrel 4); rss_m=$(start_field minimal 4); rss_l=$(start_field label 4)

# ---- Table -----------------------------------------------------------------------------
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
met() { awk -v r="$1" -v t="$2" 'BEGIN { print (r <= t ? "met" : "MISSED") }'; }
find_own=$(awk -v a="$find_t" -v b="$find_s" 'BEGIN { printf "%.1f", a - b }')
r_load=$(ratio "$load_v" "$load_e"); r_gen=$(ratio "$gen_v" "$gen_f")
r_disc=$(ratio "$disc_v" "$find_own"); r_st=$(ratio "$st_v" "$st_m"); r_rss=$(ratio "$rss_v" "$rss_m")
list_ok=$([ "$v_list" -eq "$visited" ] && echo met || echo MISSED)

echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'),"\
  "$(. /etc/os-release && echo "$PRETTY_NAME"), load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Times: medians; processor time (user + system) in µs; start-up: wall time to the map."
echo
fmt="| %-34s | %14s | %-32s | %6s | %-8s | %-6s |\n"
printf "$fmt" "Measure" "Vostrel" "Baseline" "Ratio" "Target" "Result"
printf "$fmt" "----------------------------------" "--------------" "--------------------------------" "------" "--------" "------"
printf "$fmt" "Load: parse_xml + compute_cents" "$load_v" "expat, fread 8 KiB: $load_e" "$r_load" "<= 1.0" "$(met "$r_load" 1.0)"
printf "$fmt" "Generate: compute + write file" "$gen_v" "one fwrite: $gen_f" "$r_gen" "<= 3" "$(met "$r_gen" 3)"
printf "$fmt" "Discovery: search_for_dir" "$disc_v" "find $find_t - start $find_s" "$r_disc" "<= 2" "$(met "$r_disc" 2)"
printf "$fmt" "Discovery: listings" "$v_list" "folders visited: $visited" "" "equal" "$list_ok"
printf "$fmt" "Discovery: stat calls by path" "$v_stat" "entries listed: $entries" "" "" ""
printf "$fmt" "Discovery: fstat of an open folder" "$v_fstat" "" "" "" ""
printf "$fmt" "find: listings / stat calls" "" "$f_list / $f_stat" "" "" ""
printf "$fmt" "Start-up: time to map (ms)" "$st_v" "minimal window: $st_m" "$r_st" "<= 1.2" "$(met "$r_st" 1.2)"
printf "$fmt" "Start-up: peak RSS (KiB)" "$rss_v" "minimal window: $rss_m" "$r_rss" "<= 1.2" "$(met "$r_rss" 1.2)"
r_conv=$(ratio "$st_c" "$st_t")
printf "$fmt" "Converter: --version, whole run (µs)" "$st_c" "/bin/true: $st_t" "$r_conv" "<= 1.5" "$(met "$r_conv" 1.5)"
printf "$fmt" "  window with one label (ms / KiB)" "" "$st_l / $rss_l" "" "" ""
echo
echo "Resident memory (KiB) at the last start, where Vostrel and the empty window differ most:"
awk '$1 == "rss" { d = $3 - $4; print (d < 0 ? -d : d), $2, $3, $4, $5 }' "$work/startup.txt" |
  sort -rn | head -n 8 | awk '{ printf "  %-60s vostrel %6d  minimal %6d  with a label %6d\n", $2, $3, $4, $5 }'
echo "Wall-clock medians (µs): load $wload_v vs $wload_e ($(ratio "$wload_v" "$wload_e")x)," \
  "generate $wgen_v vs $wgen_f ($(ratio "$wgen_v" "$wgen_f")x)"
