#!/usr/bin/env bash
# Internet play through a home router, in network namespaces made and removed
# here:
#
#   home (Tarnwick) --- router (nftables masquerade, miniupnpd) --- line --- internet (tarnwick-simhost)
#   192.168.77.2        192.168.77.1 | 25.77.0.1                  relay      25.77.0.2
#
# The router lets in only what answers traffic from home, plus what miniupnpd
# maps. Its outside address must look public, or miniupnpd refuses to map;
# 25.77.0.0/24 exists only inside these namespaces. The line is a relay in
# user space (the kernel here has no netem) that can hold frames and drop UDP.
#
#   internet_play_test.sh CASE BIN_DIR
# CASE: no-mapping, mapping, slow-line, refused, absent, hosting, stall.
# TW_KEEP=1 keeps the folder with the logs (named on failure) for a look.
set -euo pipefail

case_name="$1"
bin="$2"
if [ "$(id -u)" -ne 0 ] || ! ip netns add "tw-probe-$$" 2>/dev/null; then
    echo "SKIPPED: network namespaces cannot be made here (they need root and a kernel that allows them)"
    exit 77
fi
ip netns del "tw-probe-$$"
for tool in nft miniupnpd ethtool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (scripts/install-deps installs it)"
        exit 77
    fi
done

prefix="tw$$"
home="$prefix-home" router="$prefix-router" line="$prefix-line" internet="$prefix-inet"
work="$(mktemp -d)"
pids=()

cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    for ns in "$home" "$router" "$line" "$internet"; do ip netns del "$ns" 2>/dev/null || true; done
    [ -n "${TW_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

in_ns() {
    local ns="$1"
    shift
    ip netns exec "$ns" "$@"
}

fail() {
    echo "FAILED: $*"
    for log in "$work"/*.log "$work"/*.out "$work"/*.err; do
        [ -f "$log" ] && { echo "---- $log"; tail -n 40 "$log"; }
    done
    exit 1
}

# A veth pair between two namespaces, without checksum offloading: frames that
# pass the relay must carry finished checksums.
link() {
    local a_ns="$1" a="$2" b_ns="$3" b="$4"
    ip link add "$a" netns "$a_ns" type veth peer name "$b" netns "$b_ns"
    in_ns "$a_ns" ethtool -K "$a" tx off rx off >/dev/null
    in_ns "$b_ns" ethtool -K "$b" tx off rx off >/dev/null
    in_ns "$a_ns" ip link set "$a" up
    in_ns "$b_ns" ip link set "$b" up
}

# delay: one way, in ms; loss: per cent of UDP datagrams
make_network() {
    local delay="$1" loss="$2"
    for ns in "$home" "$router" "$line" "$internet"; do
        ip netns add "$ns"
        in_ns "$ns" ip link set lo up
    done
    link "$home" home0 "$router" inside
    link "$router" outside "$line" line0
    link "$line" line1 "$internet" inet0
    in_ns "$home" ip addr add 192.168.77.2/24 dev home0
    in_ns "$home" ip route add default via 192.168.77.1
    in_ns "$router" ip addr add 192.168.77.1/24 dev inside
    in_ns "$router" ip addr add 25.77.0.1/24 dev outside
    in_ns "$router" sysctl -qw net.ipv4.ip_forward=1
    in_ns "$internet" ip addr add 25.77.0.2/24 dev inet0
    in_ns "$router" nft -f - <<'EOF'
table inet filter {
    chain forward {
        type filter hook forward priority 0; policy drop;
        ct state established,related accept
        iifname "inside" oifname "outside" accept
        jump miniupnpd
    }
    chain miniupnpd {
    }
    chain prerouting {
        type nat hook prerouting priority -100; policy accept;
        jump prerouting_miniupnpd
    }
    chain prerouting_miniupnpd {
    }
    chain postrouting {
        type nat hook postrouting priority 100; policy accept;
        jump postrouting_miniupnpd
        oifname "outside" masquerade
    }
    chain postrouting_miniupnpd {
    }
}
EOF
    # Started straight from here, not through in_ns, so that $! is the process itself.
    ip netns exec "$line" "$bin/tarnwick-test-relay" line0 line1 "$delay" "$loss" 20 >"$work/relay.log" 2>&1 &
    relay=$!
    pids+=($!)
}

# rules: miniupnpd's permission lines
start_miniupnpd() {
    local rules="$1"
    cat >"$work/miniupnpd.conf" <<EOF
ext_ifname=outside
listening_ip=inside
http_port=0
enable_natpmp=no
enable_upnp=yes
secure_mode=yes
system_uptime=yes
notify_interval=60
clean_ruleset_interval=600
uuid=3d3cec3a-8cf0-11e0-98ee-001a6bd2d07b
lease_file=$work/leases
upnp_table_name=filter
upnp_nat_table_name=filter
upnp_forward_chain=miniupnpd
upnp_nat_chain=prerouting_miniupnpd
upnp_nat_postrouting_chain=postrouting_miniupnpd
$rules
EOF
    ip netns exec "$router" miniupnpd -f "$work/miniupnpd.conf" -P "$work/miniupnpd.pid" -d >"$work/miniupnpd.log" 2>&1 &
    pids+=($!)
    # Up once it listens for discovery.
    for _ in $(seq 50); do
        in_ns "$router" ss -lun | grep -q ':1900 ' && return 0
        sleep 0.1
    done
    fail "miniupnpd did not start"
}

allow_home="allow 1024-65535 192.168.77.0/24 1024-65535
deny 0-65535 0.0.0.0/0 0-65535"
deny_all="deny 0-65535 0.0.0.0/0 0-65535"

# seconds: how long the host runs
start_host() {
    local ns="$1" seconds="$2"
    shift 2
    ip netns exec "$ns" "$bin/tarnwick-simhost" --center 47.45,-122.31 --session "Internet" --aircraft 4 \
        --seconds "$seconds" --log "$work/host.jsonl" "$@" >"$work/host.out" 2>"$work/host.err" &
    host=$!
    pids+=($!)
    for _ in $(seq 100); do
        grep -q '^listening' "$work/host.out" && return 0
        sleep 0.1
    done
    fail "tarnwick-simhost did not start"
}

# Seconds since a `date +%s.%N`, and a comparison of decimals.
since() { awk -v start="$1" -v now="$(date +%s.%N)" 'BEGIN { printf "%.1f", now - start }'; }
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

# Runs tarnwick-session in home; its standard error gets a time stamp (s) a line.
run_session() {
    local ns="$1"
    shift
    local start
    start=$(date +%s.%N)
    set +e
    in_ns "$ns" "$bin/tarnwick-session" "$@" >"$work/session.out" 2> >(
        while IFS= read -r text; do echo "$(since "$start") $text"; done >"$work/session.err"
    )
    session_status=$?
    set -e
    session_seconds=$(since "$start")
    sleep 0.2  # the time stamper finishes
}

expect_err() {
    grep -q -- "$1" "$work/session.err" || fail "tarnwick-session's standard error lacks: $1"
}

mapped_ports() { in_ns "$router" nft list chain inet filter prerouting_miniupnpd | grep -c dport || true; }

# The search and join time: when the connection was accepted.
join_seconds() { awk '/Connected to FS session!/ { print $1; exit }' "$work/session.err"; }

# Pilots whose position changed in three tables printed or more: the table
# follows them.
moving_pilots() {
    awk '{ for (i = 2; i + 3 <= NF; i++) if ($i == "hdg" && $(i + 2) != "0.00000") seen[$1 " " $(i + 2) " " $(i + 3)] = $1 }
         END { for (p in seen) moves[seen[p]]++; n = 0; for (m in moves) if (moves[m] >= 3) n++; print n }' \
        "$work/session.out"
}

case "$case_name" in
    no-mapping)
        # Nothing comes in unasked: the host's connection back never arrives.
        make_network 0 0
        start_miniupnpd "$allow_home"
        start_host "$internet" 30
        run_session "$home" --connect 25.77.0.2 --no-port-mapping --seconds 5
        [ "$session_status" -eq 1 ] || fail "the search from home succeeded without mapped ports"
        below "$session_seconds" 15 || fail "the search took ${session_seconds} s"
        expect_err "no session found"
        expect_err "Router ports were not opened (turned off).*forward TCP ports 2300-2349 and UDP ports 2350-2399"
        ;;
    mapping)
        make_network 0 0
        start_miniupnpd "$allow_home"
        start_host "$internet" 60
        run_session "$home" --connect 25.77.0.2 --seconds 15 --say "Hello from home"
        [ "$session_status" -eq 0 ] || fail "the session from home failed"
        expect_err "router ports opened: TCP 2300 and UDP 2350 at 25.77.0.1"
        expect_err "Connected to FS session!"
        (($(moving_pilots) >= 1)) || fail "no pilot moved on the table"
        grep -q "chat: ATC Controller: Hello from home" "$work/session.out" || fail "our chat line was not shown"
        grep -q "Hello from home" "$work/host.jsonl" || fail "the host did not get our chat line"
        (($(grep -c "chat:" "$work/session.out") >= 2)) || fail "no pilot's chat line came back"
        [ "$(mapped_ports)" -eq 0 ] || fail "the router still maps ports after the session"
        ;;
    slow-line)
        # 150 ms each way: 300 ms round trips; 5 % of UDP datagrams lost.
        make_network 150 5
        start_miniupnpd "$allow_home"
        start_host "$internet" 90
        run_session "$home" --connect 25.77.0.2 --seconds 20
        [ "$session_status" -eq 0 ] || fail "the session over the slow line failed"
        joined=$(join_seconds)
        echo "joined over the slow line after ${joined} s"
        below "$joined" 30 || fail "the join took ${joined} s"
        (($(moving_pilots) >= 1)) || fail "no pilot moved on the table"
        ;;
    refused)
        make_network 0 0
        start_miniupnpd "$deny_all"
        start_host "$internet" 30
        run_session "$home" --connect 25.77.0.2 --seconds 5
        [ "$session_status" -eq 1 ] || fail "the search succeeded though the router refused"
        expect_err "The router 192.168.77.1 refused to open the ports"
        expect_err "no session found"
        ;;
    absent)
        make_network 0 0
        start_host "$internet" 30
        run_session "$home" --connect 25.77.0.2 --seconds 5
        [ "$session_status" -eq 1 ] || fail "the search succeeded without a router to map"
        below "$session_seconds" 20 || fail "the search took ${session_seconds} s"
        expect_err "No router answered"
        expect_err "no session found"
        ;;
    hosting)
        # The host at home, a controller on the Internet.
        make_network 0 0
        start_miniupnpd "$allow_home"
        start_host "$home" 30 --map-ports
        grep -q "router ports opened: TCP 47624 and UDP 47624" "$work/host.err" || fail "the host's ports were not mapped"
        run_session "$internet" --connect 25.77.0.1 --no-port-mapping --seconds 5
        [ "$session_status" -eq 0 ] || fail "the controller could not join the host at home"
        ;;
    stall)
        # A line that stalls for 20 s holds the session; a host that goes ends it.
        make_network 0 0
        start_miniupnpd "$allow_home"
        start_host "$internet" 120
        ip netns exec "$home" "$bin/tarnwick-session" --connect 25.77.0.2 --seconds 100 \
            >"$work/session.out" 2>"$work/session.err" &
        session=$!
        pids+=($!)
        for _ in $(seq 200); do
            grep -q "Connected to FS session!" "$work/session.err" && break
            sleep 0.1
        done
        grep -q "Connected to FS session!" "$work/session.err" || fail "no join"
        sleep 2
        kill -STOP "$relay"
        sleep 20
        kill -CONT "$relay"
        before=$(wc -l <"$work/session.out")
        sleep 5
        kill -0 "$session" 2>/dev/null || fail "the session ended with the stalled line"
        (($(wc -l <"$work/session.out") > before)) || fail "the table did not move after the stall"
        kill -KILL "$host"
        start=$(date +%s.%N)
        set +e
        wait "$session"
        session_status=$?
        set -e
        echo "the session ended $(since "$start") s after its host's machine closed its connections"
        [ "$session_status" -eq 1 ] || fail "the session did not end when its host went"
        expect_err "The FS multiplayer connection was lost"
        ;;
    *)
        echo "unknown case $case_name"
        exit 2
        ;;
esac
echo "PASSED: $case_name"
