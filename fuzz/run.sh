#!/usr/bin/env bash
# Builds the fuzz targets of the rules with clang and libFuzzer and runs each one for a bounded
# time, seeded from fuzz/corpus/<target>. Prints one line per target; saves any input that
# crashed or broke a check. See fuzz/README.md.
#
#   fuzz/run.sh [--time SECONDS] [--targets a,b,...] [--build-dir DIR] [--list]
#
#   --time      seconds per target (default 30)
#   --targets   which targets, comma-separated (default all; --list shows them)
#   --build-dir where the targets are built and the grown corpora kept (default build/fuzz)
#   --list      print the target names and stop
#
# Exit code: 0 when no target found anything, 1 when one did (or a build failed), 2 for a usage
# error.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
self="$repo/fuzz/run.sh"
all_targets=(url_split answer_line content_length text_file registry_path page_name
  report_escape update_rules)

seconds=30
targets=("${all_targets[@]}")
build_dir="$repo/build/fuzz"
while (($#)); do
  case "$1" in
    --time) seconds=$2; shift 2 ;;
    --targets) IFS=, read -r -a targets <<<"$2"; shift 2 ;;
    --build-dir) build_dir=$(realpath -m "$2"); shift 2 ;;
    --list) printf '%s\n' "${all_targets[@]}"; exit 0 ;;
    -h | --help) sed -n '2,15p' "$self"; exit 0 ;;
    *) echo "unknown argument: $1 (see --help)" >&2; exit 2 ;;
  esac
done
[[ "$seconds" =~ ^[1-9][0-9]{0,5}$ ]] || { echo "bad time: $seconds (whole seconds)" >&2; exit 2; }
for target in "${targets[@]}"; do
  [[ " ${all_targets[*]} " == *" $target "* ]] ||
    { echo "unknown target: $target (see --list)" >&2; exit 2; }
done

# clang with its libFuzzer runtime comes with the project's own setup, which installs what is
# missing and only checks on a ready machine.
"$repo/scripts/setup.sh" >&2

echo "building the fuzz targets in $build_dir ..." >&2
mkdir -p "$build_dir"
cmake -S "$repo/fuzz" -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++ >"$build_dir/configure.log" 2>&1 ||
  { cat "$build_dir/configure.log" >&2; exit 1; }
cmake --build "$build_dir" -j"$(nproc)" --target "${targets[@]/#/fuzz_}" >"$build_dir/build.log" 2>&1 ||
  { tail -50 "$build_dir/build.log" >&2; exit 1; }

# Every finding ends the run at once with a stack, so the saved input is the one at fault.
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:print_summary=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

# A target that no longer ends by itself (a hang in the code under test) is stopped this long
# after its time is up; libFuzzer's own per-input limit reports slow inputs before that.
grace=60
found=0
results=()
for target in "${targets[@]}"; do
  corpus="$build_dir/corpus/$target"
  artifacts="$build_dir/artifacts/$target"
  log="$build_dir/logs/$target.log"
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  echo "fuzzing $target for ${seconds}s ..." >&2
  touch "$log.started"
  status=0
  # New inputs go to the first folder (the build tree); the seeds in the source tree are only
  # read.
  timeout -k 10 $((seconds + grace)) "$build_dir/fuzz_$target" -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 -max_len=8192 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$corpus" "$repo/fuzz/corpus/$target" \
    >"$log" 2>&1 </dev/null || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | awk '{ print $2 }')
  saved=$(find "$artifacts" -type f -newer "$log.started" | head -1)
  rm -f "$log.started"
  if ((status == 0)); then
    verdict="nothing found"
  else
    found=1
    verdict="FOUND (exit $status): ${saved:-no input saved}, log $log"
    case $status in 124 | 137) verdict="HUNG (stopped after $((seconds + grace))s): log $log" ;; esac
  fi
  results+=("$(printf '%-15s %12s %6s  %s' "$target" "${runs:-?}" "${coverage:-?}" "$verdict")")
done

echo
printf '%-15s %12s %6s  %s\n' "target" "runs" "cov" "result (${seconds}s each)"
printf '%s\n' "${results[@]}"
if ((found)); then
  echo
  echo "Inputs that failed are in $build_dir/artifacts/<target>/; rerun one with"
  echo "  $build_dir/fuzz_<target> <file>"
fi
exit "$found"
