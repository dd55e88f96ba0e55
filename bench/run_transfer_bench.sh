#!/usr/bin/env bash
# Times the page download and upload services (DownLoadFile, UploadFile) against curl and a
# plain WinInet loop with a 64 KiB buffer, all on one loopback nginx server started here, and
# prints one table of times, ratios and peak working sets. See bench/README.md.
#
#   bench/run_transfer_bench.sh [--sizes 1,16,128,512] [--quick] [--runs N] [--port N]
#                               [--build-dir DIR]
#
#   --sizes     file sizes in MiB, comma-separated (default 1,16,128,512)
#   --quick     the same as --sizes 1,16
#   --runs      timed runs per transfer; the table shows the median (default 3)
#   --port      the loopback port for nginx (default: a free one)
#   --build-dir where the benchmark program is built (default build/bench)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
self="$repo/bench/run_transfer_bench.sh"
source "$repo/bench/driver_common.sh"

# ---- The measuring part: runs inside xvfb-run, started by the outer part below. ----
# Arguments: exe work_dir url_base runs results_file sizes...
if [[ "${1:-}" == "--measure" ]]; then
  shift
  exe=$1 work=$2 base=$3 runs=$4 results=$5
  shift 5

  wine_path() { printf 'Z:%s' "${1//\//\\}"; }

  # The median of the numbers on standard input.
  median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2];
                                                   else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

  # curl_time download|upload FILE SIZE_BYTES: the median of the runs' total times; fails when a
  # transfer moved fewer bytes than the file holds.
  curl_time() {
    local kind=$1 file=$2 bytes=$3 i line seconds moved
    local times=()
    for ((i = 0; i <= runs; i++)); do
      if [[ "$kind" == download ]]; then
        line=$(curl -sS --fail -o "$work/curl.out" -w '%{time_total} %{size_download}' \
          "$base/files/$(basename "$file")")
      else
        # "Expect:" off: nginx answers at once, and curl must still send the whole body.
        line=$(curl -sS --fail -o /dev/null -H 'Expect:' \
          -F "file=@$file;type=application/octet-stream;filename=bench.bin" \
          -w '%{time_total} %{size_upload}' "$base/upload")
      fi
      read -r seconds moved <<<"$line"
      if ((moved < bytes)); then
        echo "curl $kind of $file moved $moved of $bytes bytes" >&2
        return 1
      fi
      # The first run warms up and is not counted, as in the Windows program.
      if ((i > 0)); then times+=("$seconds"); fi
    done
    printf '%s\n' "${times[@]}" | median
  }

  wineboot -i </dev/null >"$work/wineboot.log" 2>&1 || {
    cat "$work/wineboot.log" >&2
    exit 1
  }
  for mib in "$@"; do
    file="$work/files/bench-$mib.bin"
    bytes=$((mib * 1024 * 1024))
    echo "measuring $mib MiB ..." >&2
    wine "$exe" --download-url "$base/files/bench-$mib.bin" --upload-url "$base/upload" \
      --file "$(wine_path "$file")" --out "$(wine_path "$work/ours.out")" --runs "$runs" \
      >"$work/ours-$mib.txt" </dev/null || {
      cat "$work/ours-$mib.txt" >&2
      echo "transfer_bench failed for $mib MiB" >&2
      exit 1
    }
    value() { awk -v k="$1" '$1 == k { print $2 }' "$work/ours-$mib.txt"; }
    curl_down=$(curl_time download "$file" "$bytes")
    curl_up=$(curl_time upload "$file" "$bytes")
    rm -f "$work/curl.out"
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$mib" download "$(value ours_download_s)" \
      "$curl_down" "$(value wininet_download_s)" "$(value peak_ws_bytes)" \
      "$(value peak_ws_start_bytes)" >>"$results"
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$mib" upload "$(value ours_upload_s)" \
      "$curl_up" "$(value wininet_upload_s)" "$(value peak_ws_bytes)" \
      "$(value peak_ws_start_bytes)" >>"$results"
  done
  wineserver -k 2>/dev/null || true
  exit 0
fi

# ---- The outer part: packages, build, files, server, clean-up. ----
sizes=1,16,128,512
runs=3
port=
build_dir="$repo/build/bench"
while (($#)); do
  case "$1" in
    --sizes) sizes=$2; shift 2 ;;
    --quick) sizes=1,16; shift ;;
    --runs) runs=$2; shift 2 ;;
    --port) port=$2; shift 2 ;;
    --build-dir) build_dir=$(realpath -m "$2"); shift 2 ;;
    -h | --help) sed -n '2,14p' "$self"; exit 0 ;;
    *) echo "unknown argument: $1 (see --help)" >&2; exit 2 ;;
  esac
done
IFS=, read -r -a size_list <<<"$sizes"
for mib in "${size_list[@]}"; do
  [[ "$mib" =~ ^[1-9][0-9]*$ ]] || { echo "bad size: $mib (whole MiB)" >&2; exit 2; }
done
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "bad run count: $runs" >&2; exit 2; }

# Packages: the project's own, plus the server and the outside baseline. On a ready machine
# this only checks.
"$repo/scripts/setup.sh" nginx curl >&2
nginx_bin=$(command -v nginx || echo /usr/sbin/nginx)

build_bench_program "$build_dir" transfer_bench || exit 1
exe="$build_dir/bench/transfer_bench.exe"

work=$(mktemp -d "${TMPDIR:-/tmp}/miravolt-bench.XXXXXX")
export WINEPREFIX="$work/wineprefix" WINEDLLOVERRIDES=mscoree,mshtml= WINEDEBUG=-all
nginx_conf="$work/nginx/nginx.conf"

stop_nginx() {
  local pid_file="$work/nginx/nginx.pid" pid i
  [[ -s "$pid_file" ]] || return 0
  pid=$(cat "$pid_file")
  kill -TERM "$pid" 2>/dev/null || return 0
  for ((i = 0; i < 50; i++)); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
}


cleanup() {
  local status=$?
  trap - EXIT INT TERM
  stop_measuring
  stop_nginx
  if [[ -d "$WINEPREFIX" ]]; then wineserver -k 2>/dev/null || true; fi
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

echo "creating test files in $work/files ..." >&2
mkdir -p "$work/files" "$work/nginx/temp"
for mib in "${size_list[@]}"; do
  head -c $((mib * 1024 * 1024)) /dev/urandom >"$work/files/bench-$mib.bin"
done

# nginx serves the files for download and takes uploads at /upload: it answers 200 at once
# and reads and drops the body (no temporary file). The lingering limits are raised so that a
# slow client may go on sending the body after the answer.
write_nginx_conf() {
  local user_line=
  # Workers of a root master would run as nobody, who cannot read the private work folder.
  ((EUID == 0)) && user_line="user root;"
  cat >"$nginx_conf" <<EOF
$user_line
worker_processes 1;
daemon on;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log warn;
events { worker_connections 64; }
http {
  access_log off;
  default_type application/octet-stream;
  sendfile on;
  client_body_temp_path $work/nginx/temp/body;
  proxy_temp_path $work/nginx/temp/proxy;
  fastcgi_temp_path $work/nginx/temp/fastcgi;
  uwsgi_temp_path $work/nginx/temp/uwsgi;
  scgi_temp_path $work/nginx/temp/scgi;
  server {
    listen 127.0.0.1:$1;
    client_max_body_size 0;
    lingering_time 1h;
    lingering_timeout 60s;
    location /files/ { alias $work/files/; }
    location = /upload { return 200; }
  }
}
EOF
}

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# A port taken between choosing and binding gets another try with a new one.
started=
for ((attempt = 0; attempt < 5; attempt++)); do
  try_port=${port:-$(free_port)}
  write_nginx_conf "$try_port"
  if "$nginx_bin" -p "$work/nginx" -c "$nginx_conf" -e "$work/nginx/error.log" 2>>"$work/nginx/start.log"; then
    started=$try_port
    break
  fi
  [[ -n "$port" ]] && break
done
if [[ -z "$started" ]]; then
  echo "nginx did not start:" >&2
  cat "$work/nginx/start.log" "$work/nginx/error.log" 2>/dev/null >&2
  exit 1
fi
base="http://127.0.0.1:$started"
for ((i = 0; i < 50; i++)); do
  curl -s -o /dev/null --fail "$base/files/bench-${size_list[0]}.bin" -r 0-0 && break
  sleep 0.1
done

results="$work/results.tsv"
: >"$results"
echo "nginx on $base; measuring under Wine ..." >&2
start_measuring "$self" --measure "$exe" "$work" "$base" "$runs" "$results" "${size_list[@]}"
if ! wait_measuring; then
  cat "$work/nginx/error.log" >&2 2>/dev/null || true
  exit 1
fi

echo
echo "Transfers over loopback to nginx $("$nginx_bin" -v 2>&1 | sed 's/.*nginx\///'), median of $runs runs"
echo "ours = DownLoadFile / UploadFile (8 KiB blocks), wininet-64K = plain WinInet loop with a"
echo "64 KiB buffer (both under Wine), curl = native curl $(curl --version | awk 'NR == 1 { print $2 }')"
echo
awk -F'\t' '
  function ratio(a, b) { return b > 0 ? sprintf("%.2f", a / b) : "-" }
  BEGIN {
    printf "%-9s %8s %10s %10s %16s %10s %13s %14s\n", "transfer", "size", "ours (s)",
           "curl (s)", "wininet-64K (s)", "ours/curl", "ours/wininet", "peak WS (MiB)"
  }
  {
    printf "%-9s %4d MiB %10.4f %10.4f %16.4f %10s %13s %14.1f\n", $2, $1, $3, $4, $5,
           ratio($3, $4), ratio($3, $5), $6 / 1048576
    start = $7
  }
  END { printf "\npeak working set of the program before any transfer: %.1f MiB\n", start / 1048576 }
' "$results"
