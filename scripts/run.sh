#!/usr/bin/env bash
# Builds and runs Glimwick in the project's Wine desktop (arguments go to
# Glimwick). Without a usable X display it runs on Xvfb and saves a screenshot.
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

"$HERE/setup.sh"
source "$HERE/env.sh"
cmake -S "$REPO" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$REPO/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release
cmake --build "$BUILD" -j2 --target Glimwick Sillbeck glimctl

# Leave a session that was already up (e.g. a test run) as it is.
own_session=0
"$HERE/session.sh" status || own_session=1
pid=""
cleanup() {
    [[ -n $pid ]] && kill "$pid" 2>/dev/null || true
    (( own_session )) && "$HERE/session.sh" stop || true
}
trap cleanup EXIT
"$HERE/session.sh" start
source "$HERE/env.sh"  # picks up the Xvfb display, if the session started one

wine "$BUILD/Glimwick.exe" "$@" &
pid=$!
echo "run: Glimwick is running on $DISPLAY (pid $pid); quit it from its tray menu or press Ctrl-C"
if [[ -s $SESSION/display ]]; then
    sleep 6
    import -window root "$BUILD/screenshot.png"
    echo "run: screenshot saved to $BUILD/screenshot.png"
fi
status=0
wait "$pid" || status=$?
pid=""
echo "run: Glimwick exited with status $status"
exit "$status"
