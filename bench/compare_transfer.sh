#!/usr/bin/env bash
# Measures transfer_bench against curl on the same generated body from the
# sample service, in one run (each twice, alternating).
# Usage: bench/compare_transfer.sh [BUILD_DIR] [BYTES]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
bytes=${2:-1073741824}
work=$(mktemp -d)
# shellcheck source=bench/common.sh
. "$root/bench/common.sh"
start_sample_service
url="http://127.0.0.1:$port/bulk/$bytes?mode=length"

run_curl() { curl_figures "$url"; }
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
