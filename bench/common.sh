# Shared by the compare scripts (sourced): the sample service on a free port
# and curl's figures in the benchmarks' own line format. Needs $build and $work.

# Starts the service; sets service_pid and port, and stops it on exit.
start_sample_service() {
    "$build/tools/sample-service/vidlark-sample-service" --port 0 >"$work/service.out" &
    service_pid=$!
    trap 'kill "$service_pid" 2>/dev/null || true; rm -rf "$work"' EXIT
    for _ in $(seq 50); do grep -q listening "$work/service.out" && break; sleep 0.1; done
    port=$(sed -n 's/^listening on 127.0.0.1://p' "$work/service.out")
    [ -n "$port" ] || { echo "the sample service did not start" >&2; exit 1; }
}

# curl_figures URL [CURL OPTION...]: fetches URL into a scratch file and prints
# "curl bytes=N seconds=S MBps=R peak_rss_mb=M".
curl_figures() {
    local url=$1
    shift
    echo "curl -s -o FILE $* $url"
    /usr/bin/time -o "$work/curl.rss" -f "%M" curl -s -o "$work/curl.out" "$@" \
        -w '%{size_download} %{time_total} %{speed_download}\n' "$url" >"$work/curl.stats"
    read -r size seconds speed <"$work/curl.stats"
    awk -v b="$size" -v s="$seconds" -v r="$speed" -v m="$(cat "$work/curl.rss")" \
        'BEGIN { printf "curl bytes=%.0f seconds=%.3f MBps=%.1f peak_rss_mb=%.1f\n", b, s, r / 1e6, m / 1024 }'
    rm -f "$work/curl.out"
}
