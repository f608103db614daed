#!/usr/bin/env bash
# Sets up everything, builds the Windows program and runs morvek.exe under Wine with the
# Japanese code page, as on a Japanese Windows. The capsule-shaped drop window appears at
# the right edge of the screen: drag .eml files onto it, click it for the attachment list,
# right-click it for the menu, click its orange mark to exit.
#
# Without an X display the program runs on a virtual one (Xvfb): after start-up a screenshot
# is saved to build/run-screenshot.png and the program is ended.
#
#   tools/run.sh            the program
#   tools/run.sh cli ARGS   the command-line tool morvek-cli.exe instead (for example
#                           "tools/run.sh cli list" or "tools/run.sh cli --help")
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh run
cmake --preset windows >/dev/null
cmake --build --preset windows --target morvek morvek-cli morvek_test_window

# shellcheck source=tools/wine-env.sh
source tools/wine-env.sh
export LANG=ja_JP.UTF-8

if [ "${1:-}" = cli ]; then
    shift
    trap morvek_wine_stop EXIT
    morvek_wine_start
    [ $# -gt 0 ] || set -- list
    # The tool's output is Shift_JIS, turned into UTF-8 for this terminal.
    wine build/windows/cli/morvek-cli.exe "$@" </dev/null | iconv -f CP932 -t UTF-8
    exit
fi

# Windows need a display: a prefix of its own that draws on X.
export MORVEK_WINEPREFIX="$PWD/build/wineprefix-x11"
source tools/wine-env.sh
export MORVEK_WINE_DISPLAY=1
XVFB_PID=
if [ -z "${DISPLAY:-}" ]; then
    Xvfb :78 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=:78
    sleep 1
fi
cleanup() {
    morvek_wine_stop
    [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
morvek_wine_display_setup
morvek_wine_start

if [ -z "$XVFB_PID" ]; then
    wine build/windows/gui/morvek.exe </dev/null
else
    wine build/windows/gui/morvek.exe </dev/null >/dev/null 2>&1 &
    sleep 6
    import -window root build/run-screenshot.png
    echo "No display: the program ran on a virtual one; screenshot in build/run-screenshot.png"
    wine build/windows/tests/morvek_test_window.exe exit </dev/null >/dev/null 2>&1 || true
    sleep 2
fi
