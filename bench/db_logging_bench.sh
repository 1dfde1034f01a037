#!/usr/bin/env bash
# Database logging in console mode: 100,000 probes to 127.0.0.1 at interval 1 ms (100 rounds
# of 1000 probes) with the result logs, with logging to the default SQLite database, and with
# logging to a PostgreSQL data source through psqlODBC (a throw-away server on 127.0.0.1).
# Each kind runs REPEAT times (default 3, alternating, each with fresh folders and a fresh
# table); prints the median seconds and probes per second of each kind and the fewest rows
# any of its runs left in the table.
# Usage: [REPEAT=n] bench/db_logging_bench.sh [path/to/sondrel]   (needs the right to send
# ICMP; root or a user that can run PostgreSQL's initdb for the PostgreSQL run)
set -euo pipefail
sondrel=$(realpath "${1:-build/src/sondrel}")
probes=100000
repeat=${REPEAT:-3}
args="127.0.0.1;1;32;500;100;1000"
work=$(mktemp -d)
chmod 755 "$work"
pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1 || true)
as_pg() { if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
cleanup() {
    [ -f "$work/pg/PG_VERSION" ] && as_pg "$pgbin/pg_ctl" -D "$work/pg" -m fast -w stop >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

# Every run has folders of its own with a list it wrote itself.
prepare() {  # name, Default_IfDB: makes $work/name/{data,config}
    local root=$work/$1
    mkdir -p "$root/data/SondrelDataBas" "$root/config/Sondrel" "$root/run"
    chmod 700 "$root/run"
    printf 'ALoopback,127.0.0.1\r\n \r\n' >"$root/data/SondrelDataBas/Quibbet_DB1.txt"
    printf '[General]\nDefault_IfDB=%s\n' "$2" >"$root/config/Sondrel/Sondrel.conf"
}
run() {  # name: prints seconds
    local root=$work/$1
    XDG_DATA_HOME="$root/data" XDG_CONFIG_HOME="$root/config" XDG_RUNTIME_DIR="$root/run" \
        /usr/bin/time -f "%e" -o "$root/time" "$sondrel" --console "$args" >"$root/out" 2>"$root/err" || {
        { echo "$1 failed:"; tail -5 "$root/err"; } >&2; exit 1; }
    cat "$root/time"
}
columns='IPAddress\r\n主机名\r\nTestDate\r\nTestTime\r\nSendBufferSize\r\nRoundTripTime\r\nTTL\r\nTestStatus\r\n'

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
fewest() { sort -g | head -1; }

run_logs() {  # repetition
    prepare "logs$1" 0
    local sec
    sec=$(run "logs$1")
    echo "$sec $(($(wc -l <"$work/logs$1/data/SondrelDataBas/Quibbet_DB3.txt") - 1))"
}
run_sqlite() {  # repetition
    prepare "sqlite$1" 1
    local db=$work/sqlite$1/data/SondrelDataBas/SondrelDB.mdb
    printf "1\r\n$db\r\n\r\nPingLogTable\r\n$columns" >"$work/sqlite$1/data/SondrelDataBas/Quibbet_DB9.txt"
    local sec
    sec=$(run "sqlite$1")
    echo "$sec $(sqlite3 "$db" 'SELECT count(*) FROM PingLogTable')"
}

pg=""
if [ -n "$pgbin" ] && [ -f /usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so ]; then
    pg=1
    mkdir -p "$work/pg" && chown postgres "$work/pg" 2>/dev/null || true
    as_pg "$pgbin/initdb" -D "$work/pg" -A trust -U postgres --no-sync -E UTF8 --locale=C >/dev/null
    port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
    as_pg "$pgbin/pg_ctl" -D "$work/pg" -o "-p $port -k $work/pg -h 127.0.0.1 -F" -l "$work/pg/log" -w start >/dev/null
    printf '[PostgreSQL Unicode]\nDriver=psqlodbcw.so\n' >"$work/odbcinst.ini"
    printf '[SondrelBench]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=%s\nDatabase=postgres\nUsername=postgres\n' "$port" >"$work/odbc.ini"
fi
pg_sql() { as_pg psql -h 127.0.0.1 -p "$port" -U postgres -q -At -c "$1"; }
run_pgsql() {  # repetition
    pg_sql 'DROP TABLE IF EXISTS pinglogtable' >/dev/null 2>&1
    pg_sql 'CREATE TABLE pinglogtable (ipaddress text, 主机名 text, testdate text, testtime text, sendbuffersize integer, roundtriptime integer, ttl integer, teststatus text)'
    prepare "pgsql$1" 1
    printf "3\r\nSondrelBench\r\npostgres\r\n\r\npostgres\r\nPingLogTable\r\n$columns" >"$work/pgsql$1/data/SondrelDataBas/Quibbet_DB9.txt"
    local sec
    sec=$(ODBCSYSINI="$work" ODBCINI="$work/odbc.ini" run "pgsql$1")
    echo "$sec $(pg_sql 'SELECT count(*) FROM pinglogtable')"
}

: >"$work/logs.txt"; : >"$work/sqlite.txt"; : >"$work/pgsql.txt"
for i in $(seq "$repeat"); do
    run_logs "$i" >>"$work/logs.txt"
    run_sqlite "$i" >>"$work/sqlite.txt"
    [ -z "$pg" ] || run_pgsql "$i" >>"$work/pgsql.txt"
done
logs_sec=$(cut -d' ' -f1 "$work/logs.txt" | median)
logged=$(cut -d' ' -f2 "$work/logs.txt" | fewest)
sqlite_sec=$(cut -d' ' -f1 "$work/sqlite.txt" | median)
sqlite_rows=$(cut -d' ' -f2 "$work/sqlite.txt" | fewest)

pg_line="PostgreSQL: not run (PostgreSQL or psqlODBC is not installed)"
if [ -n "$pg" ]; then
    pg_sec=$(cut -d' ' -f1 "$work/pgsql.txt" | median)
    pg_rows=$(cut -d' ' -f2 "$work/pgsql.txt" | fewest)
    pg_line=$(awk -v n="$probes" -v s="$pg_sec" -v l="$logs_sec" -v rows="$pg_rows" 'BEGIN {
        printf "PostgreSQL (psqlODBC): %.2f s = %.0f probes/s (%.0f %% of the result-log rate), %d rows in the table\n", s, n / s, 100 * l / s, rows }')
fi

echo "median of $repeat runs each; rows: the fewest of any run"
awk -v n="$probes" -v l="$logs_sec" -v logged="$logged" -v s="$sqlite_sec" -v rows="$sqlite_rows" 'BEGIN {
    printf "result logs:           %.2f s = %.0f probes/s, %d log lines\n", l, n / l, logged
    printf "SQLite default:        %.2f s = %.0f probes/s (%.0f %% of the result-log rate), %d rows in the table\n", s, n / s, 100 * l / s, rows
}'
echo "$pg_line"
echo "goal: each logging run at least 80 % of the result-log rate, rows = $probes"
