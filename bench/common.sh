# shellcheck shell=bash disable=SC2034,SC2154
# (the caller sets build and usage and reads bytes and shift_count)
# Shared by the compare scripts (sourced): options, the sample service on a
# free port, timed runs of both sides and their medians.
#
# Every compare script takes
#   -n PAIRS   pairs of runs (default 5); a pair runs each side once, and the
#              side that goes first alternates from pair to pair
#   -o FOLDER  where the downloaded files go (default: a new folder in /tmp);
#              /dev/shm keeps the disk out of the figures
# and prints, per run, a line "SIDE wall=S cpu=S user=S sys=S peak_rss_mb=M"
# (cpu = user + sys of the whole process), then the medians of each side and
# the ratios to curl: speed (curl's wall time / ours) and CPU efficiency
# (curl's CPU time / ours).

pairs=5
out_parent=
parse_common_options() {
    local option
    OPTIND=1
    while getopts "n:o:b:" option; do
        case $option in
            n) pairs=$OPTARG ;;
            o) out_parent=$OPTARG ;;
            b) bytes=$OPTARG ;;
            *) echo "$usage" >&2; exit 64 ;;
        esac
    done
    shift_count=$((OPTIND - 1))
    [[ $pairs =~ ^[1-9][0-9]*$ ]] || { echo "$usage" >&2; exit 64; }
}

# Scratch files in $work, downloads in $out (inside the caller's folder); both
# go on exit, as does the service.
make_folders() {
    work=$(mktemp -d)
    if [ -n "$out_parent" ]; then
        [ -d "$out_parent" ] || { echo "no folder $out_parent" >&2; exit 64; }
        out=$(mktemp -d "$out_parent/vidlark-bench.XXXXXX")
    else
        out=$(mktemp -d)
    fi
    service_pid=
    trap 'cleanup' EXIT
}

cleanup() {
    [ -z "$service_pid" ] || kill "$service_pid" 2>/dev/null || true
    rm -rf "$work" "$out"
}

# Starts the service with the given extra options; sets service_pid and port.
start_sample_service() {
    "$build/tools/sample-service/vidlark-sample-service" --port 0 "$@" >"$work/service.out" &
    service_pid=$!
    for _ in $(seq 50); do grep -q listening "$work/service.out" && break; sleep 0.1; done
    port=$(sed -n 's/^listening on 127.0.0.1://p' "$work/service.out")
    [ -n "$port" ] || { echo "the sample service did not start" >&2; exit 1; }
}

# timed SIDE COMMAND...: runs the command after a sync, its output in
# $work/SIDE.log, and records "wall user sys rss_kb" in $work/SIDE.figures.
# Fails when the command fails.
timed() {
    local side=$1
    shift
    sync
    if ! /usr/bin/time -o "$work/time" -f "%e %U %S %M" "$@" >"$work/$side.log" 2>&1; then
        echo "$side failed:" >&2
        cat "$work/$side.log" >&2
        exit 1
    fi
    local wall user sys rss
    read -r wall user sys rss < <(tail -n 1 "$work/time")
    echo "$wall $user $sys $rss" >>"$work/$side.figures"
    awk -v side="$side" -v w="$wall" -v u="$user" -v s="$sys" -v m="$rss" \
        'BEGIN { printf "%-8s wall=%.2f cpu=%.2f user=%.2f sys=%.2f peak_rss_mb=%.1f\n",
                        side, w, u + s, u, s, m / 1024 }'
}

# expect_size FILE BYTES: a run that did not deliver the whole body does not count.
expect_size() {
    local size
    size=$(stat -c %s "$1" 2>/dev/null || echo 0)
    [ "$size" = "$2" ] || { echo "$1 holds $size bytes, not $2" >&2; exit 1; }
}

# median COLUMN FILE: the median of one column of a figures file.
median() {
    awk -v c="$1" '{ print $c }' "$2" | sort -g |
        awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Medians of wall, user+sys and peak RSS: "wall cpu rss_mb".
side_medians() {
    local file=$work/$1.figures
    awk '{ print $1, $2 + $3, $4 / 1024 }' "$file" >"$file.cpu"
    echo "$(median 1 "$file.cpu") $(median 2 "$file.cpu") $(median 3 "$file.cpu")"
}

# report_side SIDE: one line of medians.
report_side() {
    local wall cpu rss
    read -r wall cpu rss < <(side_medians "$1")
    printf "median %-8s wall=%.2f cpu=%.2f peak_rss_mb=%.1f (%s runs)\n" "$1" "$wall" "$cpu" \
        "$rss" "$(wc -l <"$work/$1.figures")"
}

# ratio_line WHAT CURL_SECONDS OUR_SECONDS
ratio_line() {
    awk -v what="$1" -v c="$2" -v o="$3" 'BEGIN { printf "%s: %.2fx curl\n", what, (o > 0 ? c / o : 0) }'
}

# run_pairs: runs run_curl and run_bench $pairs times each, alternating which
# goes first, so neither pays for the other's write-back more than the other.
run_pairs() {
    echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
    for pair in $(seq "$pairs"); do
        if [ $((pair % 2)) = 1 ]; then
            run_curl
            run_bench
        else
            run_bench
            run_curl
        fi
    done
    echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
}
