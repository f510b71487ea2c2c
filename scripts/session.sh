#!/usr/bin/env bash
# session.sh start [N] | stop | status [N]
# A session is one X display, wineserver and virtual desktop shared by every
# Wine process of a run, so each program starts in a fraction of a second and
# finds the desktop, taskbar and tray already there. "start N" brings up N of
# them side by side (default 1), so that N tests that show windows can run at
# once: desktop 0 uses the project's prefix, and the X display when there is a
# usable one; desktop K > 0 gets an Xvfb of its own and a fresh copy of that
# prefix. "stop" ends them all.
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
count_arg() {
    [[ ${1:-1} =~ ^[1-9][0-9]?$ ]] || { echo "session: N must be a number from 1 to 99, not '$1'" >&2; exit 2; }
    echo "${1:-1}"
}

start_xvfb() {
    # Xvfb picks a free display itself and names it, so desktops started
    # side by side never race for one.
    local pid
    rm -f "$SESSION/displayno"
    setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp \
        3>"$SESSION/displayno" </dev/null >"$SESSION/xvfb.log" 2>&1 &
    pid=$!
    echo "$pid" >"$SESSION/xvfb.pid"
    for _ in $(seq 50); do
        if [[ $(cat "$SESSION/displayno" 2>/dev/null) =~ ^([0-9]+)$'\n'?$ ]]; then
            export DISPLAY=":${BASH_REMATCH[1]}"
            if usable; then echo "$DISPLAY" >"$SESSION/display"; return 0; fi
        fi
        alive "$pid" || break
        sleep 0.2
    done
    kill "$pid" 2>/dev/null || true
    echo "session: could not start Xvfb (see $SESSION/xvfb.log)" >&2
    return 1
}

# A copy of the project's prefix as it is now. The system folders (hundreds of
# MB that no program writes to) are shared by hard links; everything else,
# the registry included, is the copy's own.
copy_prefix() {
    local shared=(drive_c/windows/system32 drive_c/windows/winsxs)
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    tar -C "$MAIN_PREFIX" "${shared[@]/#/--exclude=./}" -cf - . | tar -C "$WINEPREFIX" -xf -
    local d
    for d in "${shared[@]}"; do
        [[ -d $MAIN_PREFIX/$d ]] && cp -al "$MAIN_PREFIX/$d" "$WINEPREFIX/$d"
    done
}

start_one() {
    [[ -f $MAIN_PREFIX/.glimwick-prefix ]] || { echo "session: no Wine prefix; run scripts/setup.sh" >&2; exit 1; }
    mkdir -p "$SESSION"
    if [[ $SESSION != "$BUILD/session" && ! -s $SESSION/display ]]; then
        unset DISPLAY  # desktop 0's display is not this one's
    fi
    usable || start_xvfb
    if alive "$(pid_of keeper)" && desktop_up; then
        echo "session: desktop ${GLIMWICK_DESKTOP:-0} already up on $DISPLAY"
        return 0
    fi
    # A leftover server may own a desktop on another display: start clean.
    if [[ $WINEPREFIX == "$MAIN_PREFIX" ]]; then
        wineserver -k 2>/dev/null || true
    else
        copy_prefix
    fi
    wineserver -p
    # The desktop closes when its last process leaves; this one waits for
    # ever on a FIFO that nobody writes to.
    [[ -p $SESSION/keeper.fifo ]] || mkfifo "$SESSION/keeper.fifo"
    setsid wine cmd /c pause <>"$SESSION/keeper.fifo" >>"$SESSION/wine.log" 2>&1 &
    echo $! >"$SESSION/keeper.pid"
    setsid wine explorer /desktop=Glimwick,1280x800 </dev/null >>"$SESSION/wine.log" 2>&1 &
    for _ in $(seq 150); do
        if desktop_up; then echo "session: desktop ${GLIMWICK_DESKTOP:-0} up on $DISPLAY"; return 0; fi
        sleep 0.2
    done
    echo "session: desktop ${GLIMWICK_DESKTOP:-0} did not come up (see $SESSION/wine.log)" >&2
    exit 1
}

stop_one() {
    [[ -d $WINEPREFIX ]] && { wineserver -k 2>/dev/null || true; }
    local pid; pid="$(pid_of xvfb)"
    if alive "$pid" && [[ $(</proc/"$pid"/comm) == Xvfb ]]; then
        kill "$pid"
        for _ in $(seq 25); do alive "$pid" || break; sleep 0.2; done
    fi
    rm -rf "$SESSION"
}

status_one() { usable && alive "$(pid_of keeper)" && desktop_up; }

# Runs this script for desktops 0..N-1, side by side.
each() {
    local n="$1" cmd="$2" k pids=() failed=0
    for (( k = 0; k < n; k++ )); do
        GLIMWICK_DESKTOP=$k "$0" "$cmd" &
        pids+=($!)
    done
    for k in "${pids[@]}"; do wait "$k" || failed=1; done
    return "$failed"
}
# The desktops that have a session folder.
started() {
    local d n=1
    for d in "$BUILD"/session-*; do
        [[ ${d##*-} =~ ^[0-9]+$ ]] && (( ${d##*-} + 1 > n )) && n=$(( ${d##*-} + 1 ))
    done
    echo "$n"
}

case "${1:-}" in
    start) each "$(count_arg "${2:-}")" start-one ;;
    stop) each "$(started)" stop-one && echo "session: stopped" ;;
    status) each "$(count_arg "${2:-}")" status-one ;;
    start-one) start_one ;;
    stop-one) stop_one ;;
    status-one) status_one ;;
    *) echo "usage: $0 start [N] | stop | status [N]" >&2; exit 2 ;;
esac
