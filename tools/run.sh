#!/usr/bin/env bash
# Sets up everything, builds the Windows program and runs it under Wine.
#
# The windows of the program are not built yet: until they are, this runs the start-up
# smoke program, which does the program's start-up folder work in the Wine prefix under
# build/ (data folder, scan folder, first-start files, temporary folder) and prints what
# it made and the settings as the program reads them.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target morvek_smoke

# shellcheck source=tools/wine-env.sh
source tools/wine-env.sh
trap morvek_wine_stop EXIT
morvek_wine_start
wine build/windows/tools/smoke/morvek_smoke.exe </dev/null
