#!/usr/bin/env bash
# Builds Glimwick and runs the whole test suite under Wine, in a session of its
# own. Extra arguments go to ctest (e.g. -R test_gdi).
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
stage() { printf '\n===== %s =====\n' "$*"; }

stage "Set-up"
"$HERE/setup.sh"
source "$HERE/env.sh"

# Tests that show windows run this many at a time, each on a desktop of its
# own; they mostly wait on the program's timings, so more desktops than cores.
DESKTOPS="${GLIMWICK_TEST_DESKTOPS:-5}"

stage "Configure"
cmake -S "$REPO" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$REPO/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DGLIMWICK_TEST_DESKTOPS="$DESKTOPS"

stage "Build"
cmake --build "$BUILD" -j2

stage "Session"
trap '"$HERE/session.sh" stop || true' EXIT
"$HERE/session.sh" start "$DESKTOPS"
source "$HERE/env.sh"  # desktop 0's display, for ctest and its children

stage "Test"
status=0
ctest --test-dir "$BUILD" --output-on-failure --timeout 300 -j"$((DESKTOPS + 1))" "$@" || status=$?
stage "Done: ctest exit status $status"
exit "$status"
