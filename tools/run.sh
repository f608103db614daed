#!/usr/bin/env bash
# Sets up everything, builds the Windows programs and runs one under Wine.
#
# The program's windows are not built yet: until they are, this runs the command-line tool
# morvek-cli.exe, which does the program's start-up folder work in the Wine prefix under
# build/ and then its command (default: "list", the records of the store). Any arguments are
# passed on, for example:
#   tools/run.sh extract --no-scan message.eml
#   tools/run.sh --help
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh run
cmake --preset windows >/dev/null
cmake --build --preset windows --target morvek-cli

# shellcheck source=tools/wine-env.sh
source tools/wine-env.sh
trap morvek_wine_stop EXIT
morvek_wine_start
[ $# -gt 0 ] || set -- list
# Under the Japanese locale the program runs with code page 932, as on a Japanese Windows;
# its output is Shift_JIS, turned into UTF-8 for this terminal.
LANG=ja_JP.UTF-8 wine build/windows/app/cli/morvek-cli.exe "$@" </dev/null | iconv -f CP932 -t UTF-8
