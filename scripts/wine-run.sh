#!/usr/bin/env bash
# CTest's cross-compiling emulator: wine-run.sh prog.exe args...
# Runs in the session's display and prefix; exits with the program's code.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
exec wine "$@"
