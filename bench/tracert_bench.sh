#!/usr/bin/env bash
# Our tracert beside Debian's `traceroute -I -n -q 3 -w W` on the same two targets of a lab
# built here (network namespaces, removed on exit): a host three hops away and an address
# that never answers (black-holed behind the second router), in one run. Then the console
# route trace of the program: 64 hosts three hops away traced at once against one alone, with
# the wall time of each, their ratio and the peak memory of the program.
# Usage: bench/tracert_bench.sh [path/to/tracert] [wait-seconds] [repeats] [path/to/sondrel]
#        (as root; Debian's traceroute is installed when missing)
set -euo pipefail
tracert=$(realpath "${1:-build/src/tracert}")
wait_s=${2:-1}
repeats=${3:-20}
sondrel=$(realpath "${4:-build/src/sondrel}")
wait_ms=$(awk -v w="$wait_s" 'BEGIN { printf "%d", w * 1000 }')
# Every console run waits for the one-second poll and the stop's two seconds: a few runs each
# are enough.
console_repeats=$(( repeats < 5 ? repeats : 5 ))
parallel=64

[ "$(id -u)" -eq 0 ] || { echo "needs root (network namespaces)"; exit 1; }
if ! command -v traceroute >/dev/null; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq traceroute >/dev/null
fi
command -v traceroute >/dev/null || { echo "traceroute missing: apt-get install -y traceroute"; exit 1; }
[ -x "$tracert" ] || { echo "no tracert at $tracert: build the tracert target"; exit 1; }
[ -x "$sondrel" ] || { echo "no sondrel at $sondrel: build the sondrel target"; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time missing: apt-get install -y time"; exit 1; }

p=sdb$$
nodes="c g r f"
cleanup() { for n in $nodes; do ip netns del "$p$n" 2>/dev/null || true; done; }
trap cleanup EXIT
for n in $nodes; do ip netns add "$p$n"; done
# client 10.204.1.2 - gate - core - far 10.204.3.10; far black-holes 10.204.8.0/24
ip -n "${p}c" -batch - <<END
link set lo up
link add c0 type veth peer name g1 netns ${p}g
addr add 10.204.1.2/24 dev c0
link set c0 up
route add default via 10.204.1.1
END
ip -n "${p}g" -batch - <<END
link set lo up
link add g2 type veth peer name r1 netns ${p}r
addr add 10.204.1.1/24 dev g1
addr add 10.204.2.1/24 dev g2
link set g1 up
link set g2 up
route add 10.204.3.0/24 via 10.204.2.2
route add 10.204.8.0/24 via 10.204.2.2
END
ip -n "${p}r" -batch - <<END
link set lo up
link add r3 type veth peer name f0 netns ${p}f
addr add 10.204.2.2/24 dev r1
addr add 10.204.3.1/24 dev r3
link set r1 up
link set r3 up
route add 10.204.1.0/24 via 10.204.2.1
route add 10.204.8.0/24 via 10.204.3.10
END
ip -n "${p}f" -batch - <<END
link set lo up
addr add 10.204.3.10/24 dev f0
link set f0 up
route add default via 10.204.3.1
route add blackhole 10.204.8.0/24
END
# The hosts of the console traces: more addresses of far, .11 and up.
for ((i = 1; i <= parallel; i++)); do echo "addr add 10.204.3.$((10 + i))/24 dev f0"; done |
    ip -n "${p}f" -batch -
for n in $nodes; do
    ip netns exec "$p$n" sh -c 'sysctl -qw net.ipv4.ip_forward=1 net.ipv4.icmp_ratelimit=0 net.ipv4.icmp_ratemask=0'
done

# Mean seconds per run of two commands inside the client, run in turns so that a change in
# the machine's load hits both alike, timed there (no namespace start-up in the figure). The
# output of each one's last run is kept in $work/<label>.
work=$(mktemp -d)
trap 'cleanup; rm -rf "$work"' EXIT
measure_pair() {  # repeats label-a label-b "command a" "command b"
    ip netns exec "${p}c" bash -c '
        n=$1 outa=$2 outb=$3 a=$4 b=$5 ta=0 tb=0
        for ((i = 0; i < n; i++)); do
            s=$EPOCHREALTIME; $a >"$outa" 2>&1 || { cat "$outa" >&2; exit 1; }
            m=$EPOCHREALTIME; $b >"$outb" 2>&1 || { cat "$outb" >&2; exit 1; }
            e=$EPOCHREALTIME
            ta=$(awk -v t="$ta" -v s="$s" -v m="$m" "BEGIN { print t + m - s }")
            tb=$(awk -v t="$tb" -v m="$m" -v e="$e" "BEGIN { print t + e - m }")
        done
        awk -v a="$ta" -v b="$tb" -v n="$n" "BEGIN { printf \"%.5f %.5f\\n\", a / n, b / n }"
    ' _ "$1" "$work/$2" "$work/$3" "$4" "$5"
}

far=10.204.3.10
silent=10.204.8.1
read -r t_far r_far < <(measure_pair "$repeats" tracert_far traceroute_far \
    "$tracert -d -w $wait_ms $far" "traceroute -I -n -q 3 -w $wait_s $far")
read -r t_silent r_silent < <(measure_pair 1 tracert_silent traceroute_silent \
    "$tracert -d -w $wait_ms $silent" "traceroute -I -n -q 3 -w $wait_s $silent")

hops() { grep -cE "$2" "$work/$1" || true; }
echo "host 3 hops away ($far), mean of $repeats runs:"
printf "  tracert -d -w %s:            %8.1f ms  (%s hop lines)\n" "$wait_ms" \
    "$(awk -v t="$t_far" 'BEGIN { print t * 1000 }')" "$(hops tracert_far '^ *[0-9]+ ')"
printf "  traceroute -I -n -q 3 -w %s:  %8.1f ms  (%s hop lines)\n" "$wait_s" \
    "$(awk -v t="$r_far" 'BEGIN { print t * 1000 }')" "$(hops traceroute_far '^ *[0-9]+ ')"
echo "silent address ($silent), one run, 30 hops:"
printf "  tracert:     %8.1f ms  (%s hops timed out)\n" \
    "$(awk -v t="$t_silent" 'BEGIN { print t * 1000 }')" "$(hops tracert_silent '请求超时')"
printf "  traceroute:  %8.1f ms  (%s hops timed out)\n" \
    "$(awk -v t="$r_silent" 'BEGIN { print t * 1000 }')" "$(hops traceroute_silent '^ *[0-9]+ +\* \* \*')"
awk -v a="$t_far" -v b="$r_far" -v c="$t_silent" -v d="$r_silent" 'BEGIN {
    printf "time ratio tracert/traceroute: %.2f (3 hops), %.2f (silent); goal: at most 1.20 on both\n", a / b, c / d
}'

# The console trace: `sondrel --trace` with data, settings and runtime folders of its own and
# a list written here: one single entry (position 0) and a group of the 64 hosts (position 1).
# Each run is timed inside the client; /usr/bin/time gives the peak resident memory of the
# program (its tracert children are far smaller, so theirs never is the figure).
home="$work/home"
mkdir -p "$home/data/SondrelDataBas" "$home/config" "$home/runtime"
chmod 700 "$home/runtime"
hosts=()
for ((i = 1; i <= parallel; i++)); do hosts+=("10.204.3.$((10 + i))"); done
{
    printf 'Aone,%s\r\n' "${hosts[0]}"
    printf 'Bmany,%s\r\n' "$(IFS=,; echo "${hosts[*]}")"
    printf ' \r\n'
} >"$home/data/SondrelDataBas/Quibbet_DB1.txt"
console_run() {  # label list-position: prints "seconds max-rss-kB"
    ip netns exec "${p}c" env XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
        XDG_RUNTIME_DIR="$home/runtime" bash -c '
        s=$EPOCHREALTIME
        /usr/bin/time -f %M -o "$1.rss" "$2" --trace "$3;30;;$4;0" >"$1.out" 2>&1 ||
            { cat "$1.out" >&2; exit 1; }
        e=$EPOCHREALTIME
        awk -v s="$s" -v e="$e" -v m="$(tail -n 1 "$1.rss")" "BEGIN { print e - s, m }"
    ' _ "$work/$1" "$sondrel" "$2" "$wait_ms"
}
t_one=0 t_all=0 m_one=0 m_all=0
for ((i = 0; i < console_repeats; i++)); do
    r=$(console_run console_one /0/)
    read -r t m <<<"$r"
    t_one=$(awk -v a="$t_one" -v b="$t" 'BEGIN { print a + b }')
    m_one=$(( m > m_one ? m : m_one ))
    r=$(console_run console_all /1/)
    read -r t m <<<"$r"
    t_all=$(awk -v a="$t_all" -v b="$t" 'BEGIN { print a + b }')
    m_all=$(( m > m_all ? m : m_all ))
done
finished() { grep -c "跟踪完成" "$work/$1.out" || true; }
echo "console trace (sondrel --trace, -w $wait_ms ms, 3 hops), mean of $console_repeats runs:"
printf "  1 target:    %8.1f ms  (%s of 1 traces completed; %s)\n" \
    "$(awk -v t="$t_one" -v n="$console_repeats" 'BEGIN { print t / n * 1000 }')" \
    "$(finished console_one)" "$(tail -n 1 "$work/console_one.out")"
printf "  %d targets:  %8.1f ms  (%s of %d traces completed; %s)\n" "$parallel" \
    "$(awk -v t="$t_all" -v n="$console_repeats" 'BEGIN { print t / n * 1000 }')" \
    "$(finished console_all)" "$parallel" "$(tail -n 1 "$work/console_all.out")"
echo "  peak memory (max RSS) of sondrel: ${m_one} kB (1 target), ${m_all} kB ($parallel targets)"
awk -v a="$t_all" -v b="$t_one" -v n="$parallel" 'BEGIN {
    printf "time ratio %d targets/1 target: %.2f; goal: at most 1.30\n", n, a / b
}'
