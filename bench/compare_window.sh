#!/usr/bin/env bash
# Measures window_bench (the real window, offscreen, downloading the canned
# video whose stream is a 1 GiB generated body) against curl fetching the same
# stream from the same sample service through the same proxy, in one run (each
# twice, alternating).
# Usage: bench/compare_window.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
link="http://www.youtube.com/watch?v=vidlark0008"
itag=34
work=$(mktemp -d)
# shellcheck source=bench/common.sh
. "$root/bench/common.sh"
start_sample_service
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

mkdir "$work/folder"
run_curl() { curl_figures "$url" -x "$proxy"; }
run_bench() {
    echo "http_proxy=$proxy QT_QPA_PLATFORM=offscreen window_bench '$link' FOLDER"
    QT_QPA_PLATFORM=offscreen "$build/bench/window_bench" "$link" "$work/folder"
    rm -f "$work/folder"/*
}
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
# Each runs twice, in alternating order, so neither pays for the other's
# write-back more than the other does.
run_curl
run_bench
run_bench
run_curl
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
