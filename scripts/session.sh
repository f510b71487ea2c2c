#!/usr/bin/env bash
# session.sh start|stop|status: one X display, wineserver and virtual desktop shared by
# every Wine process of a run, so each program starts in a fraction of a second
# and finds the desktop, taskbar and tray already there.
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$HERE/env.sh"

alive() {  # zombies count as gone: PID 1 of a container may never reap them
    [[ -n ${1:-} && -r /proc/$1/stat ]] || return 1
    local s; s="$(</proc/"$1"/stat)"; s="${s##*) }"
    [[ ${s%% *} != Z ]]
}
pid_of() { cat "$SESSION/$1.pid" 2>/dev/null || true; }
usable() { [[ -n ${DISPLAY:-} ]] && timeout 5 xdpyinfo >/dev/null 2>&1; }
desktop_up() {  # the desktop's X window, and the taskbar as its 1280x20 child at the bottom
    local tree; tree="$(xwininfo -root -tree 2>/dev/null)" || return 1
    grep -qF '"Glimwick - Wine desktop"' <<<"$tree" && grep -qF ' 1280x20+0+780 ' <<<"$tree"
}

start_xvfb() {
    local n pid
    for n in $(seq 90 120); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        setsid Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp </dev/null >"$SESSION/xvfb.log" 2>&1 &
        pid=$!
        echo "$pid" >"$SESSION/xvfb.pid"
        export DISPLAY=":$n"
        for _ in $(seq 50); do
            if usable && alive "$pid"; then echo "$DISPLAY" >"$SESSION/display"; return 0; fi
            alive "$pid" || break  # lost a race for :$n; try the next one
            sleep 0.2
        done
        kill "$pid" 2>/dev/null || true
    done
    echo "session: could not start Xvfb" >&2
    return 1
}

start() {
    [[ -f $WINEPREFIX/.glimwick-prefix ]] || { echo "session: no Wine prefix; run scripts/setup.sh" >&2; exit 1; }
    mkdir -p "$SESSION"
    usable || start_xvfb
    if alive "$(pid_of keeper)" && desktop_up; then
        echo "session: already up on $DISPLAY"
        return 0
    fi
    # A leftover server may own a desktop on another display: start clean.
    wineserver -k 2>/dev/null || true
    wineserver -p
    # The desktop closes when its last process leaves; this one waits for
    # ever on a FIFO that nobody writes to.
    [[ -p $SESSION/keeper.fifo ]] || mkfifo "$SESSION/keeper.fifo"
    setsid wine cmd /c pause <>"$SESSION/keeper.fifo" >>"$SESSION/wine.log" 2>&1 &
    echo $! >"$SESSION/keeper.pid"
    setsid wine explorer /desktop=Glimwick,1280x800 </dev/null >>"$SESSION/wine.log" 2>&1 &
    for _ in $(seq 150); do
        if desktop_up; then echo "session: Wine desktop up on $DISPLAY"; return 0; fi
        sleep 0.2
    done
    echo "session: the Wine desktop did not come up (see $SESSION/wine.log)" >&2
    exit 1
}

stop() {
    [[ -d $WINEPREFIX ]] && { wineserver -k 2>/dev/null || true; }
    local pid; pid="$(pid_of xvfb)"
    if alive "$pid" && [[ $(</proc/"$pid"/comm) == Xvfb ]]; then
        kill "$pid"
        for _ in $(seq 25); do alive "$pid" || break; sleep 0.2; done
    fi
    rm -rf "$SESSION"
    echo "session: stopped"
}

case "${1:-}" in
    start) start ;;
    stop) stop ;;
    status) usable && alive "$(pid_of keeper)" && desktop_up ;;
    *) echo "usage: $0 start|stop|status" >&2; exit 2 ;;
esac
