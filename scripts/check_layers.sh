#!/usr/bin/env bash
# Fails, naming the file and line, on any #include of the program's own code
# that reaches a layer above the including file's own. Run from the
# repository root (the test run does). The layers, lowest first: frame; draw
# and diag on frame; store on diag; windows on store and draw; app on
# windows. The tools and the tray library use only what they use today;
# res/ is for everybody; tests/ and bench/ may include anything.
set -uo pipefail

declare -A ALLOWED=(
    [frame]="frame"
    [draw]="frame draw"
    [diag]="frame diag"
    [store]="frame diag store"
    [windows]="frame draw diag store windows"
    [app]="frame draw diag store windows app"
    [tools]="tools"
    [sillbeck]=""
)

status=0
for folder in "${!ALLOWED[@]}"; do
    [[ -d $folder ]] || continue
    allowed=" ${ALLOWED[$folder]} res "
    # Lines such as: frame/Dialog.cpp:4:#include "app/GlimwickDlg.h"
    while IFS= read -r hit; do
        [[ $hit =~ ^([^:]+):([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*[\"\<]([A-Za-z0-9_]+)/ ]] || continue
        file="${BASH_REMATCH[1]}" line="${BASH_REMATCH[2]}" used="${BASH_REMATCH[3]}"
        # Only the project's own folders count; system headers never have one of these names.
        [[ " frame draw diag store windows app tools sillbeck res tests bench " == *" $used "* ]] || continue
        if [[ $allowed != *" $used "* ]]; then
            echo "$file:$line: $folder/ may not include $used/ (a layer above it or beside it)"
            status=1
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include' --include='*.h' --include='*.cpp' --include='*.rc' "$folder")
done
if [[ $status -eq 0 ]]; then
    echo "layers: every include reaches only its own layer or those below"
fi
exit "$status"
