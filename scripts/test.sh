#!/usr/bin/env bash
# Builds Glimwick and runs the whole test suite under Wine, in a session of its
# own. Extra arguments go to ctest (e.g. -R test_gdi).
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
stage() { printf '\n===== %s =====\n' "$*"; }

stage "Set-up"
"$HERE/setup.sh"
source "$HERE/env.sh"

stage "Session"
trap '"$HERE/session.sh" stop || true' EXIT
"$HERE/session.sh" start
source "$HERE/env.sh"  # the session's display, for ctest and its children

stage "Configure"
cmake -S "$REPO" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$REPO/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release

stage "Build"
cmake --build "$BUILD" -j2

stage "Test"
status=0
ctest --test-dir "$BUILD" --output-on-failure --timeout 300 -j2 "$@" || status=$?
stage "Done: ctest exit status $status"
exit "$status"
