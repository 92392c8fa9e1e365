#!/usr/bin/env bash
# Captures a DirectPlay session between tarnwick-simhost and tarnwick-session
# on the loopback interface of a network namespace of its own, so that no
# other traffic of the machine gets in and nothing leaves it.
#
#   capture-loopback-session.sh BIN OUT SECONDS
#
# BIN: the folder with the built tools; OUT: the capture to write (pcapng).
# Four simulated aircraft fly around Seattle-Tacoma; the program stays
# SECONDS in the session, without a work folder (headings stay true), and
# its JSON lines go to OUT.live.jsonl.
# Needs root (or CAP_SYS_ADMIN and CAP_NET_RAW), unshare, ip and dumpcap.
set -euo pipefail
if [ "${1:-}" != "--inside" ]; then
    [ $# -eq 3 ] || { echo "usage: $0 BIN OUT SECONDS" >&2; exit 2; }
    exec unshare --net "$0" --inside "$@"
fi
shift
bin=$1 out=$2 seconds=$3
ip link set lo up
dumpcap -q -i lo -w "$out" 2>"$out.dumpcap.log" &
capture=$!
# dumpcap names the interface on standard error once it captures.
for _ in $(seq 50); do grep -q "Capturing on" "$out.dumpcap.log" 2>/dev/null && break; sleep 0.1; done
"$bin/tarnwick-simhost" --address 127.0.0.1 --port 0 --center 47.449,-122.309 --aircraft 4 \
    --seconds $((seconds + 10)) >"$out.simhost.log" 2>&1 &
host=$!
for _ in $(seq 50); do grep -q listening "$out.simhost.log" 2>/dev/null && break; sleep 0.1; done
port=$(sed -n 's/^listening enumeration=UDP\/TCP 127.0.0.1:\([0-9]*\).*/\1/p' "$out.simhost.log")
status=0
"$bin/tarnwick-session" --connect 127.0.0.1 --port "$port" --work "$out.no-work-folder" --seconds "$seconds" --json \
    >"$out.live.jsonl" 2>"$out.session.log" || status=$?
sleep 0.5
kill "$host" "$capture" 2>/dev/null || true
wait "$host" "$capture" 2>/dev/null || true
rm -f "$out.dumpcap.log" "$out.simhost.log"
exit "$status"
