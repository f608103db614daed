#!/usr/bin/env bash
# Pictures of the installer's and the uninstaller's pages, taken on a virtual 1024x768 X
# display (Xvfb) under Wine by clicking through an interactive installation with the
# keyboard (xdotool): build/screenshots/setup-*.png; with --docs the ones the README shows
# are copied to docs/. Expects tools/release.sh run. Not a test: tools/release-test.sh is.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"

VERSION="$(cat build/windows/version.txt)"
SETUP="$ROOT/build/release/morvek-$VERSION-setup.exe"
SHOTS="$ROOT/build/screenshots"
mkdir -p "$SHOTS"

export MORVEK_WINEPREFIX="$ROOT/build/wineprefix-x11"
# shellcheck source=tools/wine-env.sh
source tools/wine-env.sh
export LANG=ja_JP.UTF-8
export MORVEK_WINE_DISPLAY=1

DISPLAY_NUMBER=${MORVEK_XVFB_DISPLAY:-79}
Xvfb ":$DISPLAY_NUMBER" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
export DISPLAY=":$DISPLAY_NUMBER"
cleanup() {
    morvek_wine_stop
    kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
sleep 1
morvek_wine_display_setup
morvek_wine_start

shot() {  # shot NAME TITLE-PART: the visible window whose title holds TITLE-PART
    local id
    id="$(xdotool search --onlyvisible --name "$2" | head -1)"
    import -window "$id" "$SHOTS/$1.png"
}
next() {  # next SECONDS: the default button (Enter), then a pause for the next page
    xdotool key Return
    sleep "$1"
}
wait_for_window() {  # wait_for_window TITLE-PART
    timeout 60 xdotool search --sync --onlyvisible --name "$1" >/dev/null
    sleep 1.5
}

wine "$SETUP" </dev/null >/dev/null 2>&1 &
wait_for_window "セットアップ"
shot setup-welcome "セットアップ"
next 2
shot setup-folder "セットアップ"
next 2
shot setup-components "セットアップ"
# Install, then wait for the last step (the shortcut) and the finish page.
USERDIR="$(ls -d "$WINEPREFIX"/drive_c/users/* | grep -v Public | head -1)"
INSTDIR="$USERDIR/AppData/Local/Programs/Morvek"
SHORTCUT="$USERDIR/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/モルベク 添付ファイル エクストラクタ.lnk"
rm -f "$SHORTCUT"
next 0
for _ in $(seq 120); do
    [ -f "$SHORTCUT" ] && break
    sleep 0.5
done
sleep 3
shot setup-finish "セットアップ"
# Finish starts the program (its drop window appears); the uninstaller then ends it.
next 0
timeout 60 xdotool search --sync --onlyvisible --class morvek.exe >/dev/null
sleep 5

wine "$INSTDIR/uninstall.exe" </dev/null >/dev/null 2>&1 &
wait_for_window "アンインストール"
shot uninstall-confirm "アンインストール"
next 2
shot uninstall-components "アンインストール"
next 0
for _ in $(seq 120); do
    [ -e "$INSTDIR" ] || break
    sleep 0.5
done
sleep 3
shot uninstall-finish "アンインストール"
next 2

if [ "${1:-}" = --docs ]; then
    cp "$SHOTS/setup-components.png" "$SHOTS/uninstall-components.png" docs/
fi
ls "$SHOTS"/setup-*.png "$SHOTS"/uninstall-*.png
