#!/usr/bin/env bash
# Downloads over several connections against their peers, on four links the
# sample service builds: a cap per connection, a cap in total, a connection
# reset every few MiB, and an HLS playlist of many small segments with
# latency. Each side runs RUNS times (order rotating), medians and ratios last.
#   cap:    curl (one connection), aria2c -x4 -s4 -k1M, transfer_bench over 4
#   total:  the same three under a total cap
#   resets: aria2c and transfer_bench over 4 at 4 MiB/s a connection (curl -C -
#           --retry stalls on them)
#   hls:    yt-dlp -N 4 against vidlark-cli (lookup included, its download with
#           --concurrent-fragments 4 and the lookup's answer)
# Usage: bench/compare_connections.sh [-n RUNS] [-o FOLDER] [BUILD_DIR]
set -euo pipefail
usage="usage: bench/compare_connections.sh [-n RUNS] [-o FOLDER] [BUILD_DIR]"
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/common.sh
. "$root/bench/common.sh"
pairs=3
parse_common_options "$@"
shift "$shift_count"
build=${1:-$root/build}
command -v aria2c >/dev/null || { echo "aria2c is missing (scripts/install-deps)" >&2; exit 1; }
make_folders
# shellcheck disable=SC2119 # no extra options for the service
start_sample_service
base="http://127.0.0.1:$port"

mib=1048576
cap=$((2 * mib))   # a connection's bytes a second
total=$((8 * mib)) # all connections' bytes a second
cap_bytes=$((32 * mib))
reset_bytes=$((16 * mib))
links=(
    "cap $cap_bytes /bulk/$cap_bytes?rate=$cap&run=RUN"
    "total $cap_bytes /bulk/$cap_bytes?totalrate=$total&run=RUN"
    "resets $reset_bytes /bulk/$reset_bytes?rate=$((4 * mib))&resetevery=$((4 * mib))&run=RUN"
)
hls_page="/pages/hls-many?latency=100"

curl_side() { # NAME URL BYTES [CURL OPTIONS]
    local name=$1 url=$2 size=$3
    shift 3
    timed "$name" curl -s "$@" -o "$out/$name.out" "$url"
    expect_size "$out/$name.out" "$size"
    rm -f "$out/$name.out"
}
aria_side() { # NAME URL BYTES
    timed "$1" aria2c -q -x4 -s4 -k1M --allow-overwrite=true --auto-file-renaming=false \
        -d "$out" -o "$1.out" "$2"
    expect_size "$out/$1.out" "$3"
    rm -f "$out/$1.out"
}
vidlark_side() { # NAME URL BYTES
    timed "$1" "$build/bench/transfer_bench" "$2" "$out/$1.out" 4
    expect_size "$out/$1.out" "$3"
    rm -f "$out/$1.out"
}
hls_side() { # NAME
    local folder=$out/$1
    mkdir -p "$folder"
    if [ "$1" = hls-ytdlp ]; then
        timed "$1" yt-dlp -q --no-warnings -N 4 -P "$folder" -o video.mp4 "$base$hls_page"
    else
        timed "$1" "$build/src/cli/vidlark-cli" --dir "$folder" "$base$hls_page"
    fi
    [ -n "$(ls "$folder")" ] || { echo "$1 saved nothing" >&2; exit 1; }
    rm -rf "$folder"
}

echo "into $out, $pairs runs a side"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
for run in $(seq "$pairs"); do
    for link in "${links[@]}"; do
        read -r name size path <<<"$link"
        url=$base${path/RUN/$run}
        sides=(curl aria vidlark)
        [ "$name" != resets ] || sides=(aria vidlark)
        # Each run starts with another side.
        for i in $(seq 0 $((${#sides[@]} - 1))); do
            side=${sides[$(((i + run) % ${#sides[@]}))]}
            case $side in
                curl) curl_side "$name-curl" "$url" "$size" ;;
                aria) aria_side "$name-aria2c" "$url" "$size" ;;
                vidlark) vidlark_side "$name-vidlark" "$url" "$size" ;;
            esac
        done
    done
    if [ $((run % 2)) = 1 ]; then
        hls_side hls-ytdlp
        hls_side hls-vidlark
    else
        hls_side hls-vidlark
        hls_side hls-ytdlp
    fi
done
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"

for side in cap-curl cap-aria2c cap-vidlark total-curl total-aria2c total-vidlark \
    resets-aria2c resets-vidlark hls-ytdlp hls-vidlark; do
    report_side "$side"
done
wall() { side_medians "$1" | cut -d' ' -f1; }
awk -v v="$(wall cap-vidlark)" -v a="$(wall cap-aria2c)" -v b="$cap_bytes" -v c="$cap" \
    'BEGIN { printf "cap: vidlark %.2f of the 4-connection limit, %.2fx aria2c'"'"'s time\n",
             b / v / (4 * c), v / a }'
awk -v v="$(wall total-vidlark)" -v a="$(wall total-aria2c)" -v b="$cap_bytes" -v c="$total" \
    'BEGIN { printf "total: vidlark %.2f of the total cap, %.2fx aria2c'"'"'s time\n", b / v / c, v / a }'
awk -v v="$(wall resets-vidlark)" -v a="$(wall resets-aria2c)" \
    'BEGIN { printf "resets: vidlark %.2fx aria2c'"'"'s time\n", v / a }'
awk -v v="$(wall hls-vidlark)" -v y="$(wall hls-ytdlp)" \
    'BEGIN { printf "hls: vidlark-cli %.2fx yt-dlp -N 4'"'"'s time\n", v / y }'
