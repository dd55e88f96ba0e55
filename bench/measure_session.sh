# Sourced by the benchmark drivers. A driver's measuring part runs as `bash DRIVER --measure ...`
# inside xvfb-run, in a session of its own, so that an interrupted run can end all of it (Xvfb,
# wine and whatever the part started) by its process group.

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
