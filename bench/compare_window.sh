#!/usr/bin/env bash
# Measures window_bench (the real window, offscreen, downloading the canned
# video vidlark0008, whose stream is a generated body of BYTES) against curl
# fetching the same stream from the same sample service through the same proxy:
# wall and CPU time of both whole processes, the window's transfer phase (first
# progress to the end of the job) beside its whole process, PAIRS pairs in
# alternating order, and the medians.
# Usage: bench/compare_window.sh [-n PAIRS] [-o FOLDER] [-b BYTES] [BUILD_DIR]
set -euo pipefail
usage="usage: bench/compare_window.sh [-n PAIRS] [-o FOLDER] [-b BYTES] [BUILD_DIR]"
root=$(cd "$(dirname "$0")/.." && pwd)
bytes=1073741824
link="http://www.youtube.com/watch?v=vidlark0008"
itag=34
# shellcheck source=bench/common.sh
. "$root/bench/common.sh"
parse_common_options "$@"
shift "$shift_count"
build=${1:-$root/build}
make_folders
start_sample_service --big-stream "$bytes"
proxy="http://127.0.0.1:$port"
export http_proxy=$proxy

# The stream's URL as the watch page gives it: the entry of the stream map
# that carries this itag, its url= value percent-encoded twice.
percent_decode() { printf '%b' "${1//%/\\x}"; }
curl -s -x "$proxy" -o "$work/watch.html" "$link"
# The page escapes "/" as "\/" inside its script.
map=$(sed -n 's/.*"url_encoded_fmt_stream_map": "\([^"]*\)".*/\1/p' "$work/watch.html" | sed 's|\\/|/|g')
entry=$(tr ',' '\n' <<<"$map" | grep "itag=$itag\$")
encoded=$(sed 's/^url=\([^\\]*\).*/\1/' <<<"$entry")
url=$(percent_decode "$(percent_decode "$encoded")")
[ -n "$url" ] || { echo "compare_window: no itag $itag stream on $link" >&2; exit 1; }

echo "curl -s -o FILE -x $proxy $url"
echo "http_proxy=$proxy QT_QPA_PLATFORM=offscreen window_bench '$link' FOLDER"
echo "$bytes bytes into $out, $pairs pairs"
mkdir "$out/folder"
run_curl() {
    timed curl curl -s -o "$out/curl.out" -x "$proxy" "$url"
    expect_size "$out/curl.out" "$bytes"
    rm -f "$out/curl.out"
}
run_bench() {
    QT_QPA_PLATFORM=offscreen timed window "$build/bench/window_bench" "$link" "$out/folder"
    local saved
    saved=$(sed -n 's/^file: //p' "$work/window.log")
    expect_size "$saved" "$bytes"
    rm -f "$out/folder"/*
    # The transfer phase as the window saw it: "seconds cpu_seconds".
    sed -n 's/^from_first_progress: seconds=\([0-9.]*\) cpu_seconds=\([0-9.]*\).*/\1 \2/p' \
        "$work/window.log" >>"$work/phase.figures"
    tail -n 1 "$work/phase.figures" |
        awk '{ printf "  transfer phase wall=%.2f cpu=%.2f\n", $1, $2 }'
}
run_pairs

report_side curl
report_side window
phase_wall=$(median 1 "$work/phase.figures")
phase_cpu=$(median 2 "$work/phase.figures")
printf "median transfer phase wall=%.2f cpu=%.2f\n" "$phase_wall" "$phase_cpu"
read -r curl_wall curl_cpu _ < <(side_medians curl)
read -r window_wall window_cpu _ < <(side_medians window)
ratio_line "window transfer phase speed (curl's wall time / the phase's)" "$curl_wall" "$phase_wall"
ratio_line "window whole process speed (curl's wall time / ours)" "$curl_wall" "$window_wall"
ratio_line "window transfer phase CPU efficiency (curl's CPU time / the phase's)" "$curl_cpu" "$phase_cpu"
ratio_line "window whole process CPU efficiency (curl's CPU time / ours)" "$curl_cpu" "$window_cpu"
