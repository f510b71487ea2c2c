# shellcheck shell=bash
# Sourced by the other scripts: paths and the Wine environment Glimwick runs in.
REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${GLIMWICK_BUILD:-$REPO/build}"

# The project's own prefix, so nothing leaks into (or from) ~/.wine. A test
# run may use more desktops side by side (session.sh start N): desktop K > 0
# has a display, server and copy of the prefix of its own.
if [[ ${GLIMWICK_DESKTOP:-0} =~ ^[1-9][0-9]*$ ]]; then
    SESSION="$BUILD/session-$GLIMWICK_DESKTOP"
    export WINEPREFIX="$BUILD/wineprefix-$GLIMWICK_DESKTOP"
else
    SESSION="$BUILD/session"
    export WINEPREFIX="$BUILD/wineprefix"
fi
MAIN_PREFIX="$BUILD/wineprefix"
export WINEARCH=win64
# Code page 932 comes from the glibc locale. Quiet: a shell started before
# setup.sh generated the locale cannot switch to it itself (its children can).
export LC_ALL=ja_JP.UTF-8 2>/dev/null
# No Mono/Gecko installers; winebus.sys otherwise wakes ~900 times a second;
# winemenubuilder would copy Start-menu shortcuts into the host's own menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winebus.sys=d;winemenubuilder.exe=d"
export WINEDEBUG="${WINEDEBUG:--all}"

# CTest starts wine-run.sh in its own process: pick up the Xvfb that session.sh started.
if [[ -s "$SESSION/display" ]]; then
    _d="$(<"$SESSION/display")"
    [[ -S "/tmp/.X11-unix/X${_d#:}" ]] && export DISPLAY="$_d"
    unset _d
fi
