#!/usr/bin/env bash
# Builds what a Windows user downloads, into build/release/:
#   morvek-<version>-win64.zip   morvek.exe, morvek-cli.exe, the help folder, readme.txt and
#                                the license texts of the runtime linked into the programs,
#                                in one folder morvek-<version>/
#   morvek-<version>-setup.exe   the installer (NSIS, installer/morvek.nsi) of the same files
# The version is the CMake project version. Builds the windows preset's two programs first
# (the preset keeps its other settings, e.g. MORVEK_WERROR from tools/test.sh).
# tools/release-test.sh tests both files under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"

tools/setup.sh

cmake --preset windows >/dev/null
cmake --build --preset windows --target morvek morvek-cli

BIN="$ROOT/build/windows"
VERSION="$(cat "$BIN/version.txt")"
DISPLAY_VERSION="$(sed -n 's/^#define MORVEK_DISPLAY_VERSION "\(.*\)"$/\1/p' \
    "$BIN/generated/MorvekVersion.h")"
[ -n "$VERSION" ] && [ -n "$DISPLAY_VERSION" ] || {
    echo "release.sh: no version in $BIN" >&2
    exit 1
}

OUT="$ROOT/build/release"
NAME="morvek-$VERSION"
STAGE="$OUT/stage/$NAME"
rm -rf "$OUT/stage"
mkdir -p "$STAGE/licenses"

# The programs without their debugging information (the build keeps it).
GUI="$(sed -n 1p "$BIN/release-programs.txt")"
CLI="$(sed -n 2p "$BIN/release-programs.txt")"
x86_64-w64-mingw32-strip -o "$STAGE/morvek.exe" "$GUI"
x86_64-w64-mingw32-strip -o "$STAGE/morvek-cli.exe" "$CLI"
cp -r "$(dirname "$GUI")/help" "$STAGE/help"
[ -f "$STAGE/help/index.htm" ] || {
    echo "release.sh: the help folder was not built" >&2
    exit 1
}

# Text files for Notepad: CRLF line ends; the Japanese read-me in UTF-8 with a byte order
# mark, which every Notepad reads as UTF-8.
crlf() { sed 's/\r$//; s/$/\r/' "$1"; }
{
    printf '\xef\xbb\xbf'
    crlf installer/readme.txt | sed "s/@VERSION@/$VERSION/g; s/@DISPLAY_VERSION@/$DISPLAY_VERSION/g"
} >"$STAGE/readme.txt"

# The programs link the mingw-w64 C runtime with winpthreads, GCC's libstdc++ and libgcc
# (under the GCC Runtime Library Exception) and zlib (which inflates the archives the
# inspection looks into), statically: their license texts as the Debian packages that were
# linked ship them.
license() {  # license PACKAGE FILE
    local source="/usr/share/doc/$1/copyright"
    [ -f "$source" ] || {
        echo "release.sh: $source is missing (package $1)" >&2
        exit 1
    }
    crlf "$source" >"$STAGE/licenses/$2"
}
license mingw-w64-x86-64-dev mingw-w64-runtime-and-winpthreads.txt
license gcc-mingw-w64-base gcc-runtime-libstdc++-libgcc.txt
license libz-mingw-w64-dev zlib.txt

ZIP="$OUT/$NAME-win64.zip"
SETUP="$OUT/$NAME-setup.exe"
rm -f "$ZIP" "$SETUP"
(cd "$OUT/stage" && find "$NAME" | LC_ALL=C sort | zip -q -X -9 -@ "$ZIP")

makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$VERSION" -DDISPLAY_VERSION="$DISPLAY_VERSION" \
    -DSTAGE="$STAGE" -DSOURCE_ROOT="$ROOT" -DOUTFILE="$SETUP" installer/morvek.nsi

ls -l "$ZIP" "$SETUP" | awk '{ print $5, $NF }'
