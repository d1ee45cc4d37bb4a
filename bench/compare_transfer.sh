#!/usr/bin/env bash
# Measures transfer_bench against curl on the same generated body from the
# sample service, in one run (each twice, alternating).
# Usage: bench/compare_transfer.sh [BUILD_DIR] [BYTES]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
bytes=${2:-1073741824}
work=$(mktemp -d)
trap 'kill "$service_pid" 2>/dev/null || true; rm -rf "$work"' EXIT

"$build/tools/sample-service/vidlark-sample-service" --port 0 >"$work/service.out" &
service_pid=$!
for _ in $(seq 50); do grep -q listening "$work/service.out" && break; sleep 0.1; done
port=$(sed -n 's/^listening on 127.0.0.1://p' "$work/service.out")
url="http://127.0.0.1:$port/bulk/$bytes?mode=length"

run_curl() {
    echo "curl -s -o FILE $url"
    /usr/bin/time -o "$work/curl.rss" -f "%M" curl -s -o "$work/curl.out" \
        -w '%{size_download} %{time_total} %{speed_download}\n' "$url" >"$work/curl.stats"
    read -r size seconds speed <"$work/curl.stats"
    awk -v b="$size" -v s="$seconds" -v r="$speed" -v m="$(cat "$work/curl.rss")" \
        'BEGIN { printf "curl bytes=%.0f seconds=%.3f MBps=%.1f peak_rss_mb=%.1f\n", b, s, r / 1e6, m / 1024 }'
    rm -f "$work/curl.out"
}
run_bench() {
    echo "transfer_bench $url FILE"
    "$build/bench/transfer_bench" "$url" "$work/bench.out"
    rm -f "$work/bench.out"
}
# Each runs twice, in alternating order, so neither pays for the other's
# write-back more than the other does.
run_curl
run_bench
run_bench
run_curl
