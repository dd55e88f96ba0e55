# Sourced by the benchmark drivers (which set repo to the repository's root): building a
# benchmark program, and the session its measuring part runs in.

# build_bench_program BUILD_DIR TARGET: configures BUILD_DIR for the 64-bit Windows release
# build with the benchmarks and builds TARGET (bench/TARGET.exe there); returns 1, after
# showing the log, when either step failed.
build_bench_program() {
  local build_dir=$1 target=$2
  echo "building $target in $build_dir ..." >&2
  mkdir -p "$build_dir"
  cmake -S "$repo" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DMIRAVOLT_BENCH=ON -DMIRAVOLT_TESTS=OFF \
    >"$build_dir/bench-configure.log" 2>&1 || { cat "$build_dir/bench-configure.log" >&2; return 1; }
  cmake --build "$build_dir" -j"$(nproc)" --target "$target" >"$build_dir/bench-build.log" 2>&1 ||
    { tail -50 "$build_dir/bench-build.log" >&2; return 1; }
}

# A driver's measuring part runs as `bash DRIVER --measure ...` inside xvfb-run, in a session of
# its own, so that an interrupted run can end all of it (Xvfb, wine and whatever the part
# started) by its process group.
measure_pid=

# start_measuring DRIVER ARGUMENTS...: starts the measuring part in the background.
start_measuring() {
  setsid xvfb-run -a bash "$@" &
  measure_pid=$!
}

# Returns the measuring part's exit status. Unlike a foreground command, wait lets an INT or
# TERM reach the driver's traps at once.
wait_measuring() {
  local status=0
  wait "$measure_pid" || status=$?
  measure_pid=
  return "$status"
}

# Ends a measuring part that is still running (for the driver's clean-up).
stop_measuring() {
  [[ -n "$measure_pid" ]] || return 0
  if [[ "$(ps -o pgid= -p "$measure_pid" 2>/dev/null | tr -d ' ')" == "$measure_pid" ]]; then
    kill -TERM -- "-$measure_pid" 2>/dev/null || true
  fi
  wait "$measure_pid" 2>/dev/null || true
}
