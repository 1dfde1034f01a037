#!/usr/bin/env bash
# One million probes to 127.0.0.1 in console mode (one target, 1000 probes per round, 1000
# rounds, interval 1 ms) beside `ping -f` doing the same work, in one run.
# Usage: bench/console_flood.sh [path/to/sondrel]   (needs the right to send ICMP)
set -euo pipefail
sondrel=${1:-build/src/sondrel}
count=1000000
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A list of our own: the run never reads the default list with the machine's gateway and DNS.
mkdir -p "$work/data/SondrelDataBas" "$work/config" "$work/run"
chmod 700 "$work/run"
printf 'ALoopback,127.0.0.1\r\n \r\n' >"$work/data/SondrelDataBas/Quibbet_DB1.txt"

measure() {  # label, command...: prints "seconds peak-KB"
    local label=$1; shift
    /usr/bin/time -f "%e %M" -o "$work/$label.time" "$@" >"$work/$label.out" 2>"$work/$label.err" || {
        echo "$label failed:"; cat "$work/$label.err"; exit 1; }
    cat "$work/$label.time"
}

read -r s_sec s_kb < <(XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" \
    XDG_RUNTIME_DIR="$work/run" measure sondrel \
    "$sondrel" --console "127.0.0.1;1;32;500;1000;1000")
read -r p_sec p_kb < <(measure ping ping -q -f -c "$count" -s 32 127.0.0.1)

received=$(awk -F'\t' '$1=="收到"{print $2}' "$work/sondrel.out")
logged=$(($(wc -l <"$work/data/SondrelDataBas/Quibbet_DB3.txt") - 1))
awk -v n="$count" -v ss="$s_sec" -v sk="$s_kb" -v ps="$p_sec" -v pk="$p_kb" \
    -v rec="$received" -v logged="$logged" 'BEGIN {
    printf "sondrel --console: %d probes, %s replies, %d log lines in %.2f s = %.0f probes/s, peak %.1f MB\n", n, rec, logged, ss, n / ss, sk / 1024
    printf "ping -f:           %d probes in %.2f s = %.0f probes/s, peak %.1f MB\n", n, ps, n / ps, pk / 1024
    printf "time ratio sondrel/ping: %.2f (goal: at most 2.00); memory goal: under 100 MB\n", ss / ps
}'
