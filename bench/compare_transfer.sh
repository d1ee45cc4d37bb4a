#!/usr/bin/env bash
# Measures transfer_bench (one DownloadToFile through the real client) against
# curl on the same generated body from the sample service: wall and CPU time
# of both whole processes, PAIRS pairs in alternating order, and the medians.
# Usage: bench/compare_transfer.sh [-n PAIRS] [-o FOLDER] [-b BYTES] [BUILD_DIR] [BYTES]
set -euo pipefail
usage="usage: bench/compare_transfer.sh [-n PAIRS] [-o FOLDER] [-b BYTES] [BUILD_DIR] [BYTES]"
root=$(cd "$(dirname "$0")/.." && pwd)
bytes=1073741824
# shellcheck source=bench/common.sh
. "$root/bench/common.sh"
parse_common_options "$@"
shift "$shift_count"
build=${1:-$root/build}
bytes=${2:-$bytes}
make_folders
# shellcheck disable=SC2119 # no extra options for the service
start_sample_service
url="http://127.0.0.1:$port/bulk/$bytes?mode=length"

echo "curl -s -o FILE $url"
echo "transfer_bench $url FILE"
echo "into $out, $pairs pairs"
run_curl() {
    timed curl curl -s -o "$out/curl.out" "$url"
    expect_size "$out/curl.out" "$bytes"
    rm -f "$out/curl.out"
}
run_bench() {
    timed bench "$build/bench/transfer_bench" "$url" "$out/bench.out"
    expect_size "$out/bench.out" "$bytes"
    rm -f "$out/bench.out"
}
run_pairs

report_side curl
report_side bench
read -r curl_wall curl_cpu _ < <(side_medians curl)
read -r bench_wall bench_cpu _ < <(side_medians bench)
ratio_line "transfer_bench speed (curl's wall time / ours)" "$curl_wall" "$bench_wall"
ratio_line "transfer_bench CPU efficiency (curl's CPU time / ours)" "$curl_cpu" "$bench_cpu"
