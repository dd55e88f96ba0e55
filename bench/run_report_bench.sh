#!/usr/bin/env bash
# Times the StartReport service while its requests hang on a loopback server that never answers
# (the server runs inside report_bench.exe), in batches of events, and prints one table of call
# times, ratios against the first batch and requests in progress. See bench/README.md.
#
#   bench/run_report_bench.sh [--batches 1,10,100,500] [--paced] [--settle-ms N] [--drain-ms N]
#                             [--build-dir DIR]
#
#   --batches   events per batch, comma-separated, run in this order (default 1,10,100,500);
#               every event starts two worker threads, and all of them stay in progress until
#               the end of the run
#   --paced     before each call, wait (untimed) until the previous event's workers connected
#   --settle-ms how long each batch's workers may take to connect (default 60000)
#   --drain-ms  how long the workers may take to end after the server let go (default 60000)
#   --build-dir where the benchmark program is built (default build/bench)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
self="$repo/bench/run_report_bench.sh"
source "$repo/bench/driver_common.sh"

# ---- The measuring part: runs inside xvfb-run, started by the outer part below. ----
# Arguments: exe work_dir results_file program_arguments...
if [[ "${1:-}" == "--measure" ]]; then
  shift
  exe=$1 work=$2 results=$3
  shift 3
  wineboot -i </dev/null >"$work/wineboot.log" 2>&1 || {
    cat "$work/wineboot.log" >&2
    exit 1
  }
  status=0
  wine "$exe" "$@" >"$results" </dev/null || status=$?
  wineserver -k 2>/dev/null || true
  exit "$status"
fi

# ---- The outer part: packages, build, prefix, clean-up. ----
batches=1,10,100,500
settle_ms=60000
drain_ms=60000
build_dir="$repo/build/bench"
paced=()
while (($#)); do
  case "$1" in
    --batches) batches=$2; shift 2 ;;
    --paced) paced=(--paced); shift ;;
    --settle-ms) settle_ms=$2; shift 2 ;;
    --drain-ms) drain_ms=$2; shift 2 ;;
    --build-dir) build_dir=$(realpath -m "$2"); shift 2 ;;
    -h | --help) sed -n '2,16p' "$self"; exit 0 ;;
    *) echo "unknown argument: $1 (see --help)" >&2; exit 2 ;;
  esac
done
[[ "$batches" =~ ^[1-9][0-9]{0,4}(,[1-9][0-9]{0,4})*$ ]] ||
  { echo "bad batches: $batches (comma-separated event counts)" >&2; exit 2; }
for value in "$settle_ms" "$drain_ms"; do
  [[ "$value" =~ ^[0-9]{1,7}$ ]] || { echo "bad time: $value (milliseconds)" >&2; exit 2; }
done

# The cross compiler, Wine and Xvfb: the project's own setup installs what is missing and only
# checks on a ready machine.
"$repo/scripts/setup.sh" >&2

build_bench_program "$build_dir" report_bench || exit 1
exe="$build_dir/bench/report_bench.exe"

work=$(mktemp -d "${TMPDIR:-/tmp}/miravolt-report-bench.XXXXXX")
export WINEPREFIX="$work/wineprefix" WINEDLLOVERRIDES=mscoree,mshtml= WINEDEBUG=-all


cleanup() {
  local status=$?
  trap - EXIT INT TERM
  stop_measuring
  if [[ -d "$WINEPREFIX" ]]; then wineserver -k 2>/dev/null || true; fi
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

results="$work/results.txt"
echo "measuring under Wine ..." >&2
start_measuring "$self" --measure "$exe" "$work" "$results" --batches "$batches" \
  --settle-ms "$settle_ms" --drain-ms "$drain_ms" ${paced[@]+"${paced[@]}"}
measure_status=0
wait_measuring || measure_status=$?
if [[ ! -s "$results" ]] || ! grep -q '^ok ' "$results"; then
  echo "report_bench failed (status $measure_status)" >&2
  cat "$results" >&2 2>/dev/null || true
  exit 1
fi

mode="in bursts, each right after the one before"
((${#paced[@]})) && mode="paced, each after the previous event's workers connected"
echo
echo "StartReport against a loopback server that never answers (under Wine). Every event starts"
echo "two workers that stay in progress until the end of the run. Calls $mode."
echo "Times per call in microseconds; 2 threads = two empty threads started just before the batch."
echo
awk '
  function ratio(a, b) { return b > 0 ? sprintf("%.2f", a / b) : "-" }
  # The program writes its lines in text mode: CR LF.
  { sub(/\r$/, "") }
  $1 == "first_call_us" { first = $2 }
  $1 == "batch" { rows[++n] = $0 }
  $1 == "drained" { drained = $2; left = $3 }
  END {
    printf "%7s %11s %11s %10s %12s %9s %11s %12s %11s\n", "events", "in progress",
           "median", "max", "median/first", "max/first", "2 threads", "median/2thr", "in progress"
    printf "%7s %11s %11s %10s %12s %9s %11s %12s %11s\n", "", "before", "", "", "", "", "", "",
           "after"
    for (i = 1; i <= n; ++i) {
      split(rows[i], f, " ")
      printf "%7d %11d %11.1f %10.1f %12.2f %9.2f %11.1f %12s %11d%s\n", f[2], f[3], f[4], f[5],
             f[6], f[7], f[8], ratio(f[4], f[8]), f[9],
             (f[11] == "unsettled" ? "  (not all connected in time)" : "")
    }
    printf "\nfirst call of the run (opens the shared session): %.1f us\n", first
    if (drained == 1) print "all workers ended after the server closed its connections"
    else printf "workers still in progress at the end: %d\n", left
  }
' "$results"
if [[ "$measure_status" -ne 0 ]]; then
  echo "report_bench reported a failure (status $measure_status): see the notes above" >&2
  exit 1
fi
