#!/usr/bin/env bash
# footprint.sh: what the resident program costs while it waits, beside a
# minimal program that does only the tray eye's own work, in one run.
# Prints, for both processes: own PSS (from /proc/<pid>/smaps_rollup of the
# Wine process) on the 1280x800 desktop and on a 3840x2160 one, CPU seconds
# per minute over 30 s with the pointer moving and with it still long
# enough for the eyes to fall asleep, and the program's start-up times.
# Run from the repository after a build (scripts/test.sh or cmake --build).
# Uses the project's Wine session (started and stopped here when it is not
# up); the large desktop gets an Xvfb screen of its own for the run.
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$HERE/../scripts/env.sh"
cd "$REPO"

BIG_SIZE=3840x2160
BIG_DESKTOP=GlimwickBig
WINDOW_S=30
# Eyes shut at 21.4 s after the last movement; a little more to be sure.
ASLEEP_S=23
SHOWN_S=2
HIDDEN_S=12

for f in Glimwick.exe Sillbeck.dll minimal_eye.exe bench_footprint.exe; do
    [[ -f $BUILD/$f ]] || { echo "footprint: $BUILD/$f missing; build first" >&2; exit 1; }
done

own_session=""
big_xvfb=""
cleanup() {
    if [[ -n $big_xvfb ]]; then
        # The large desktop's processes end with their X server.
        kill "$big_xvfb" 2>/dev/null || true
        for _ in $(seq 25); do [[ -e /proc/$big_xvfb ]] || break; sleep 0.2; done
    fi
    [[ -n $own_session ]] && "$REPO/scripts/session.sh" stop >/dev/null
    return 0
}
trap cleanup EXIT

if ! "$REPO/scripts/session.sh" status; then
    "$REPO/scripts/session.sh" start >/dev/null
    own_session=1
    source "$REPO/scripts/env.sh"
fi

helper() { wine "$BUILD/bench_footprint.exe" "$@"; }

# The Linux process of a Wine program of this prefix on this display.
linux_pid() {
    local p
    for p in /proc/[0-9]*; do
        [[ $(cat "$p/comm" 2>/dev/null) == "$1" ]] || continue
        tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
        tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qxF "DISPLAY=$DISPLAY" || continue
        echo "${p#/proc/}"
        return 0
    done
    return 1
}
wait_pid() {
    local pid
    for _ in $(seq 150); do pid="$(linux_pid "$1")" && { echo "$pid"; return 0; }; sleep 0.2; done
    echo "footprint: $1 not running" >&2
    return 1
}

# "PSS anon file" in MiB.
pss() {
    awk '/^Pss:/{t=$2} /^Pss_Anon:/{a=$2} /^Pss_File:/{f=$2}
         END{printf "%.2f %.1f %.1f", t/1024, a/1024, f/1024}' "/proc/$1/smaps_rollup"
}
# The part of PSS in font files the window system keeps mapped, in MiB.
font_pss() {
    awk '/^[0-9a-f]+-[0-9a-f]+ /{f = tolower($6) ~ /\.(ttf|ttc|otf|fon)$/} /^Pss:/{if (f) t += $2}
         END{printf "%.1f", t/1024}' "/proc/$1/smaps"
}
# Nanoseconds on a CPU, all threads.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s+=$1} END{printf "%d", s}'; }
now_ns() { date +%s%N; }

row() { printf '  %-34s %9s %9s %7s\n' "$@"; }
pss_rows() {  # title, glimwick pid, minimal pid
    local g m
    read -r -a g <<<"$(pss "$2")"
    read -r -a m <<<"$(pss "$3")"
    row "$1" "${g[0]} MiB" "${m[0]} MiB" "$(awk -v a="${g[0]}" -v b="${m[0]}" 'BEGIN{printf "%.2f", a/b}')"
    row "  anonymous / file-backed" "${g[1]}/${g[2]}" "${m[1]}/${m[2]}" ""
    row "  of which font files" "$(font_pss "$2")" "$(font_pss "$3")" ""
}
# CPU seconds per minute of both over a window in which "$@" runs.
cpu_window() {
    local title="$1"; shift
    local g0 m0 t0 g1 m1 t1
    g0="$(cpu_ns "$G")"; m0="$(cpu_ns "$M")"; t0="$(now_ns)"
    "$@"
    g1="$(cpu_ns "$G")"; m1="$(cpu_ns "$M")"; t1="$(now_ns)"
    awk -v t="$title" -v g=$((g1 - g0)) -v m=$((m1 - m0)) -v d=$((t1 - t0)) 'BEGIN{
        gs = g / d * 60; ms = m / d * 60
        printf "  %-34s %7.3f s %7.3f s %7.2f\n", t, gs, ms, (ms > 0 ? gs / ms : 0) }'
}

echo "Glimwick's own process beside a minimal program doing only the eye's work"
echo "(two cursor reads, eight pixel writes every 200 ms); PSS from smaps_rollup."
echo
echo "Desktop 1280x800 (the session's)"
# The programs it starts inherit its output: read it from a file, not a pipe.
out="$(mktemp)"
helper start >"$out"
sed 's/^/  /' "$out"
rm -f "$out"
G="$(wait_pid Glimwick.exe)"; M="$(wait_pid minimal_eye.exe)"
row "" "Glimwick" "minimal" "ratio"
cpu_window "CPU per minute, pointer moving" helper move $((WINDOW_S * 1000))
sleep "$ASLEEP_S"
cpu_window "CPU per minute, pointer still" sleep "$WINDOW_S"
pss_rows "PSS, waiting (before any reminder)" "$G" "$M"
helper remind
sleep "$SHOWN_S"
pss_rows "PSS, reminder shown" "$G" "$M"
sleep "$HIDDEN_S"
pss_rows "PSS, waiting after a reminder" "$G" "$M"
helper stop

echo
echo "Desktop $BIG_SIZE (a second Xvfb screen)"
wine reg add "HKCU\\Software\\Wine\\Explorer\\Desktops\\$BIG_DESKTOP" /v EnableShell /t REG_DWORD /d 1 /f \
    >/dev/null 2>&1
for n in $(seq 121 160); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    setsid Xvfb ":$n" -screen 0 "${BIG_SIZE}x24" -nolisten tcp </dev/null >/dev/null 2>&1 &
    big_xvfb=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do timeout 5 xdpyinfo >/dev/null 2>&1 && break; sleep 0.2; done
    timeout 5 xdpyinfo >/dev/null 2>&1 && break
    kill "$big_xvfb" 2>/dev/null || true
    big_xvfb=""
done
[[ -n $big_xvfb ]] || { echo "footprint: no Xvfb for $BIG_SIZE" >&2; exit 1; }
big() { wine explorer "/desktop=$BIG_DESKTOP,$BIG_SIZE" "$BUILD/bench_footprint.exe" "$@" >/dev/null 2>&1; }
big start &
G="$(wait_pid Glimwick.exe)"; M="$(wait_pid minimal_eye.exe)"
log="$(find "$WINEPREFIX/drive_c/users" -name Glimwick_v2.log 2>/dev/null | head -1)"
for _ in $(seq 150); do grep -qF "FIND!" "$log" 2>/dev/null && break; sleep 0.2; done
sleep 3
row "" "Glimwick" "minimal" "ratio"
pss_rows "PSS, waiting (before any reminder)" "$G" "$M"
big remind
sleep "$SHOWN_S"
pss_rows "PSS, reminder shown" "$G" "$M"
sleep "$HIDDEN_S"
pss_rows "PSS, waiting after a reminder" "$G" "$M"
big stop
