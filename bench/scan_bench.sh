#!/usr/bin/env bash
# The console address scan of the program beside `fping -g -r 1 -t 1000` (and `nmap -sn -n`
# when installed) on the same /24 of a lab segment built here (network namespaces, removed on
# exit): the client 10.205.1.254 on a bridge with 127 answering hosts (the odd addresses, each
# with its own hardware address) and 126 silent ones (the even addresses, nobody's). For each
# tool in turn, in one run: wall time, hosts found, hardware addresses found; for the program
# also its peak memory and the CPU time of its workers together.
# Usage: bench/scan_bench.sh [path/to/sondrel] [repeats]   (as root; fping must be installed)
set -euo pipefail
sondrel=$(realpath "${1:-build/src/sondrel}")
repeats=${2:-3}
[ "$(id -u)" -eq 0 ] || { echo "needs root (network namespaces)"; exit 1; }
command -v fping >/dev/null || { echo "fping missing: apt-get install -y fping"; exit 1; }
[ -x "$sondrel" ] || { echo "no sondrel at $sondrel: build the sondrel target"; exit 1; }

p=sdsb$$
c=${p}c h=${p}h
work=$(mktemp -d)
cleanup() { ip netns del "$c" 2>/dev/null || true; ip netns del "$h" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
ip netns add "$c"; ip netns add "$h"
ip -n "$c" -batch - <<END
link set lo up
link add br0 type bridge
addr add 10.205.1.254/24 dev br0
link set br0 up
link add v0 type veth peer name e0 netns $h
link set v0 master br0
link set v0 up
END
ip -n "$h" link set lo up
ip -n "$h" link set e0 up
# Each answering address on a macvlan of its own: its own hardware address, and only it
# answers address resolution for it.
ip netns exec "$h" sysctl -qw net.ipv4.conf.all.arp_ignore=1 net.ipv4.conf.all.arp_announce=2
for ((i = 1; i <= 253; i += 2)); do
    echo "link add link e0 name m$i type macvlan mode bridge"
    echo "addr add 10.205.1.$i/24 dev m$i"
    echo "link set m$i up"
done | ip -n "$h" -batch -
ip netns exec "$c" sysctl -qw net.ipv4.ping_group_range="0 2147483647"
mkdir -p "$work/etc"
# The expected answer: every odd address with its macvlan's address, and the client's own.
{
    for ((i = 1; i <= 253; i += 2)); do
        printf '10.205.1.%d %s\n' "$i" "$(ip -n "$h" -br link show "m$i" | awk '{print toupper($3)}' | tr : -)"
    done
    printf '10.205.1.254 %s\n' "$(ip -n "$c" -br link show br0 | awk '{print toupper($3)}' | tr : -)"
} | sort > "$work/expected"
live=$(wc -l < "$work/expected")

now() { date +%s.%N; }
# The program's own folders and its own list, never the machine's.
prepare_sondrel() {
    rm -rf "$work/x"; mkdir -p "$work/x/data/SondrelDataBas" "$work/x/config" "$work/x/run"
    chmod 700 "$work/x/run"
    printf 'Aloop,127.0.0.1\r\n \r\n' > "$work/x/data/SondrelDataBas/Quibbet_DB1.txt"
}
run_sondrel() {
    prepare_sondrel
    local start end pid stat
    start=$(now)
    ip netns exec "$c" env XDG_DATA_HOME="$work/x/data" XDG_CONFIG_HOME="$work/x/config" \
        XDG_RUNTIME_DIR="$work/x/run" "$sondrel" --scan 10.205.1.1-10.205.1.254 \
        > "$work/sondrel.out" 2> "$work/sondrel.err" &
    pid=$!
    # Own peak memory, and the CPU time of the waited-for children (the workers), sampled
    # until the program ends.
    local hwm=0 children=0 tick h
    tick=$(getconf CLK_TCK)
    while kill -0 "$pid" 2>/dev/null; do
        if stat=$(cat "/proc/$pid/stat" 2>/dev/null) && [ -n "$stat" ]; then
            children=$(echo "${stat##*) }" | awk '{print $14 + $15}')
            # A process that is ending has no VmHWM line any more: keep the last value.
            h=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null)
            [ -n "$h" ] && hwm=$h
        fi
        sleep 0.02
    done
    wait "$pid" || true
    end=$(now)
    local found macs
    found=$(awk -F'\t' '$3 ~ / ms$/' "$work/sondrel.out" | wc -l)
    awk -F'\t' '$3 ~ / ms$/ && $5 != "" {print $2, $5}' "$work/sondrel.out" | sort > "$work/sondrel.macs"
    macs=$(comm -12 "$work/expected" "$work/sondrel.macs" | wc -l)
    printf '%s %s %s %s %s\n' "$(echo "$end - $start" | bc)" "$found" "$macs" "$hwm" \
        "$(printf '%.2f' "$(echo "scale=2; $children / $tick" | bc)")"
}
run_fping() {
    local start end found
    start=$(now)
    ip netns exec "$c" fping -a -q -g 10.205.1.1 10.205.1.254 -r 1 -t 1000 > "$work/fping.out" 2>/dev/null || true
    end=$(now)
    found=$(wc -l < "$work/fping.out")
    printf '%s %s\n' "$(echo "$end - $start" | bc)" "$found"
}
run_nmap() {
    local start end found macs
    start=$(now)
    ip netns exec "$c" nmap -sn -n 10.205.1.1-254 > "$work/nmap.out" 2>/dev/null || true
    end=$(now)
    found=$(grep -c '^Nmap scan report' "$work/nmap.out" || true)
    macs=$(grep -c '^MAC Address' "$work/nmap.out" || true)
    printf '%s %s %s\n' "$(echo "$end - $start" | bc)" "$found" "$macs"
}

echo "range 10.205.1.1-10.205.1.254: $live live hosts (the client included), 126 silent; $repeats runs each, in turns"
printf '%-8s %8s %6s %6s %10s %12s\n' tool wall_s hosts macs peak_kB workers_cpu_s
for ((r = 1; r <= repeats; r++)); do
    # A fresh address-resolution table for every run: the hardware addresses come from this scan.
    ip -n "$c" neigh flush all
    read -r t f m k u <<< "$(run_sondrel)"
    printf '%-8s %8.2f %6s %6s %10s %12s\n' sondrel "$t" "$f" "$m" "$k" "$u"
    echo "$t" >> "$work/sondrel.times"
    ip -n "$c" neigh flush all
    read -r t f <<< "$(run_fping)"
    printf '%-8s %8.2f %6s %6s %10s %12s\n' fping "$t" "$f" - - -
    echo "$t" >> "$work/fping.times"
    if command -v nmap >/dev/null; then
        ip -n "$c" neigh flush all
        read -r t f m <<< "$(run_nmap)"
        printf '%-8s %8.2f %6s %6s %10s %12s\n' nmap "$t" "$f" "$m" - -
    fi
done
mean() { awk '{s += $1} END {printf "%.2f", s / NR}' "$1"; }
ms=$(mean "$work/sondrel.times"); mf=$(mean "$work/fping.times")
echo "mean wall: sondrel ${ms} s, fping ${mf} s, ratio $(echo "scale=2; $ms / $mf" | bc) (goal: at most 1.50)"
