#!/usr/bin/env bash
# Sets up everything and runs every test: the native build, the native build under
# AddressSanitizer and UndefinedBehaviorSanitizer, the Windows build under Wine, the
# program end to end on a virtual display (also at 150 % and 200 % scale), and the release
# files (installer and zip) built and installed under Wine.
# Then each fuzz target runs briefly (MORVEK_FUZZ_SECONDS, default 30). Warnings are
# errors. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh

echo "== includes run down the layers"
python3 tools/check_layers.py

for preset in native native-asan windows; do
    echo "== build: $preset"
    cmake --preset "$preset" -DMORVEK_WERROR=ON >/dev/null
    cmake --build --preset "$preset"
done

echo "== test: native"
ctest --preset native
echo "== test: native-asan"
ctest --preset native-asan

echo "== fuzz"
tools/fuzz.sh "${MORVEK_FUZZ_SECONDS:-30}"

echo "== test: windows (Wine)"
# shellcheck source=tools/wine-env.sh
source tools/wine-env.sh
trap morvek_wine_stop EXIT
morvek_wine_start
ctest --preset windows
morvek_wine_stop

echo "== test: the program end to end on a virtual display (Xvfb, Wine)"
tools/gui-test.sh
echo "== test: the program at 150 % and 200 % display scale (Xvfb, Wine)"
tools/gui-dpi-test.sh

echo "== release: the installer and the zip, built and tested under Wine"
tools/release.sh
tools/release-test.sh
