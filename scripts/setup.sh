#!/usr/bin/env bash
# Idempotent set-up of a fresh Debian 12 machine: packages, the Japanese locale
# and the project's Wine prefix. Cheap when everything is already there.
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

PACKAGES=(cmake make g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
          binutils-mingw-w64-x86-64 mingw-w64-tools wine wine64 xvfb x11-utils
          xdotool imagemagick locales fonts-ipafont-gothic fonts-ipafont-mincho fonts-wine googletest nsis wixl libxml2-utils
          osslsigncode)
COMMANDS=(cmake make ctest x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-g++-posix
          x86_64-w64-mingw32-windres x86_64-w64-mingw32-widl wine wineboot wineserver
          Xvfb xdpyinfo xwininfo xdotool import locale-gen makensis wixl xmllint osslsigncode)
# Some packages are only visible as files. Wine draws the title bars' buttons
# with its own Marlett (fonts-wine, only recommended by wine).
FILES=(/usr/lib/wine/wine64 /usr/src/googletest/CMakeLists.txt
       /usr/share/wine/fonts/marlett.ttf
       /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf
       /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
       /usr/share/fonts/opentype/ipafont-mincho/ipamp.ttf)

sudo=""
[[ $EUID -eq 0 ]] || sudo=sudo

need_packages() {
    local x
    for x in "${COMMANDS[@]}"; do command -v "$x" >/dev/null || return 0; done
    for x in "${FILES[@]}"; do [[ -e $x ]] || return 0; done
    return 1
}
if need_packages; then
    echo "setup: installing packages"
    # LC_ALL=C: the Japanese locale may not exist yet and perl would complain.
    LC_ALL=C $sudo apt-get update
    LC_ALL=C DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${PACKAGES[@]}"
fi

# Without this locale Wine silently falls back from code page 932 to 1252.
if ! LC_ALL=C locale -a | grep -ix 'ja_JP.utf8' >/dev/null; then
    echo "setup: generating ja_JP.UTF-8"
    $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    LC_ALL=C $sudo locale-gen
fi

source "$HERE/env.sh"

# This build of Wine does not find the fonts of its data folder, only those
# of the prefix's Fonts folder: Marlett goes there (for a new prefix, once
# wineboot has made the folder).
link_marlett() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    [[ -d $fonts && ! -e $fonts/marlett.ttf ]] || return 0
    ln -s /usr/share/wine/fonts/marlett.ttf "$fonts/marlett.ttf"
}
link_marlett

# Bump when the prefix configuration below changes.
PREFIX_VERSION=1
STAMP="$WINEPREFIX/.glimwick-prefix"
[[ "$(cat "$STAMP" 2>/dev/null)" == "$PREFIX_VERSION" ]] && exit 0

echo "setup: preparing Wine prefix $WINEPREFIX"
mkdir -p "$BUILD"
# A persistent server (a running session) would keep the registry unsaved
# and "wineserver -w" below waiting for ever.
wineserver -k 2>/dev/null || true
wineboot -i

# One virtual desktop with taskbar and tray for every process of the prefix, and
# the IPA fonts standing in for the Japanese Windows fonts the dialogs ask for.
reg="$(mktemp --suffix=.reg)"
trap 'rm -f "$reg"' EXIT
{
    printf '\xff\xfe'   # UTF-16LE, so the Japanese value names survive the import
    iconv -f UTF-8 -t UTF-16LE <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Glimwick"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Glimwick"="1280x800"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops\Glimwick]
"EnableShell"=dword:00000001

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"ＭＳ Ｐ明朝"="IPAPMincho"
"ＭＳ 明朝"="IPAMincho"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"MS UI Gothic"="IPAPGothic"
"MS Shell Dlg"="IPAPGothic"
REG
} >"$reg"
wine reg import "Z:$reg"
# The server writes the registry files when it exits.
wineserver -w

# Wine stores non-ASCII names as \x escapes: ＭＳ Ｐゴシック.
if ! grep -qF '"\xff2d\xff33 \xff30\x30b4\x30b7\x30c3\x30af"="IPAPGothic"' "$WINEPREFIX/user.reg"; then
    echo "setup: font replacements missing from $WINEPREFIX/user.reg" >&2
    exit 1
fi
link_marlett
echo "$PREFIX_VERSION" >"$STAMP"
echo "setup: Wine prefix ready"
