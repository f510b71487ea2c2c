#!/usr/bin/env bash
# CTest's cross-compiling emulator: wine-run.sh prog.exe args...
# Runs in the display and prefix of the desktop CTest gave the test (desktop
# 0 when it asked for none); exits with the program's code.
set -euo pipefail
if [[ ${CTEST_RESOURCE_GROUP_0_DESKTOP:-} =~ id:([0-9]+) ]]; then
    export GLIMWICK_DESKTOP="${BASH_REMATCH[1]}"
fi
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
if [[ ${GLIMWICK_DESKTOP:-0} != 0 && ! -s $SESSION/display ]]; then
    echo "wine-run.sh: desktop $GLIMWICK_DESKTOP is not up; start it with scripts/session.sh start N" >&2
    exit 1
fi
exec wine "$@"
