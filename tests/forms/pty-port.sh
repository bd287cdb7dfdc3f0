#!/bin/sh
# A COM port of the test's Wine prefix on one end of a socat pty pair; what the program
# writes through it is copied from the other end into a file.
#   pty-port.sh open  PORTS DOSDEVICES PORT   start the pair, link PORT to it
#   pty-port.sh check PORTS PORT BAUD SETTING...   the port's end runs at BAUD and every
#                                                 stty SETTING holds
#   pty-port.sh close PORTS DOSDEVICES PORT   stop what open started, unlink PORT
set -eu
what=$1
ports=$2
shift 2

case $what in
open)
    dosdevices=$1 port=$2
    command -v socat >/dev/null || { echo "pty-port: socat is missing (run scripts/setup)" >&2; exit 1; }
    mkdir -p "$ports"
    end=$ports/$port-pty peer=$ports/$port-peer pids=$ports/$port-pids
    rm -f "$end" "$peer" "$pids"
    : >"$ports/$port-port.bin"
    socat pty,raw,echo=0,link="$end" pty,raw,echo=0,link="$peer" </dev/null >/dev/null 2>&1 &
    echo $! >>"$pids"
    n=0
    until [ -e "$end" ] && [ -e "$peer" ]; do
        n=$((n + 1))
        [ $n -le 100 ] || { echo "pty-port: socat made no pair" >&2; exit 1; }
        sleep 0.1
    done
    cat "$peer" >>"$ports/$port-port.bin" 2>/dev/null </dev/null &
    echo $! >>"$pids"
    # Kept open between the program's writes: socat ends its pair when the last user of
    # an end closes it.
    sleep 100000 <"$end" >/dev/null 2>&1 &
    echo $! >>"$pids"
    ln -sfn "$end" "$dosdevices/$port"
    ;;
check)
    port=$1 baud=$2
    shift 2
    settings=$(stty -F "$ports/$port-pty" -a)
    echo "$settings"
    speed=$(stty -F "$ports/$port-pty" speed)
    [ "$speed" = "$baud" ] || { echo "pty-port: $speed baud, not $baud" >&2; exit 1; }
    for s in "$@"; do
        printf '%s\n' "$settings" | tr ' ;' '\n\n' | grep -qx -- "$s" || { echo "pty-port: $s does not hold" >&2; exit 1; }
    done
    ;;
close)
    dosdevices=$1 port=$2
    rm -f "$dosdevices/$port"
    if [ -f "$ports/$port-pids" ]; then
        while read -r pid; do kill "$pid" 2>/dev/null || true; done <"$ports/$port-pids"
        rm -f "$ports/$port-pids"
    fi
    ;;
*)
    echo "pty-port: open, check or close" >&2
    exit 2
    ;;
esac
