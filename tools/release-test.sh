#!/usr/bin/env bash
# Tests the release files of build/release/ (tools/release.sh) under Wine, in a prefix of its
# own without a display:
#   - the zip holds exactly the listed files;
#   - a silent install (/S) puts the files, the Start-menu shortcut, the start-at-sign-in
#     entry and the installed-programs entry in place, and the installed program starts and
#     shows its drop window;
#   - a second silent install while the program runs ends the program, and keeps the user's
#     data folder and settings; an update keeps the choice not to start at sign-in;
#   - a silent uninstall while the program runs ends it, removes the program files, the
#     shortcut and both entries, and keeps the data folder and settings;
#   - a silent uninstall with /REMOVEDATA removes those too.
# Expects tools/release.sh run and the windows preset's morvek_test_window.exe built.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"

VERSION="$(cat build/windows/version.txt)"
DISPLAY_VERSION="$(sed -n 's/^#define MORVEK_DISPLAY_VERSION "\(.*\)"$/\1/p' \
    build/windows/generated/MorvekVersion.h)"
ZIP="$ROOT/build/release/morvek-$VERSION-win64.zip"
SETUP="$ROOT/build/release/morvek-$VERSION-setup.exe"
WINDOW="$ROOT/build/windows/tests/morvek_test_window.exe"

failures=0
check() {  # check DESCRIPTION COMMAND...
    local what="$1"
    shift
    if "$@"; then
        echo "ok   $what"
    else
        echo "FAIL $what"
        failures=$((failures + 1))
    fi
}

# ---- The zip -------------------------------------------------------------------------------
expected="$(mktemp)"
actual="$(mktemp)"
{
    for file in morvek.exe morvek-cli.exe readme.txt \
        licenses/mingw-w64-runtime-and-winpthreads.txt licenses/gcc-runtime-libstdc++-libgcc.txt \
        licenses/zlib.txt; do
        echo "morvek-$VERSION/$file"
    done
    (cd res && find help -type f) | sed "s|^|morvek-$VERSION/|"
} | LC_ALL=C sort >"$expected"
unzip -Z1 "$ZIP" | grep -v '/$' | LC_ALL=C sort >"$actual"
check "the zip holds exactly the listed files" diff -u "$expected" "$actual"
rm -f "$expected" "$actual"
# Nothing beyond what every Windows has: the runtime is linked in (and its licenses ship).
only_system_dlls() {  # only_system_dlls FILE-IN-ZIP
    local exe dlls
    exe="$(mktemp)"
    unzip -p "$ZIP" "morvek-$VERSION/$1" >"$exe"
    dlls="$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')"
    rm -f "$exe"
    grep -qx 'kernel32.dll' <<<"$dlls" || return 1
    ! grep -vxE '(advapi32|comctl32|comdlg32|gdi32|kernel32|ole32|oleacc|oleaut32|shell32|user32|msvcrt)\.dll' <<<"$dlls"
}
check "morvek.exe needs only the system's DLLs" only_system_dlls morvek.exe
check "morvek-cli.exe needs only the system's DLLs" only_system_dlls morvek-cli.exe
check "the zip's help page names version $DISPLAY_VERSION" \
    bash -c "unzip -p '$ZIP' 'morvek-$VERSION/help/index.htm' | grep -q 'Version $DISPLAY_VERSION '"
check "the zip's read-me names version $VERSION" \
    bash -c "unzip -p '$ZIP' 'morvek-$VERSION/readme.txt' | grep -q 'morvek-$VERSION-setup.exe'"

# ---- The installer under Wine ----------------------------------------------------------------
export MORVEK_WINEPREFIX="$ROOT/build/wineprefix-release"
# shellcheck source=tools/wine-env.sh
source tools/wine-env.sh
export LANG=ja_JP.UTF-8
trap morvek_wine_stop EXIT
morvek_wine_start

USERDIR="$(ls -d "$WINEPREFIX"/drive_c/users/* | grep -v Public | head -1)"
INSTDIR="$USERDIR/AppData/Local/Programs/Morvek"
SHORTCUT="$USERDIR/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/モルベク 添付ファイル エクストラクタ.lnk"
DATA="$USERDIR/AppData/Roaming/TevoSoftwareDev/morvek"
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvek'
SETTINGS_KEY='HKCU\Software\Tevo Software Development\Morveｋ Attachment Extractor\Settings'

quiet() { "$@" </dev/null >/dev/null 2>&1; }
# The registry as reg.exe shows it (Shift_JIS under the Japanese locale).
reg_query() { wine reg query "$@" </dev/null 2>/dev/null | iconv -f CP932 -t UTF-8 | tr -d '\r'; }
has_value() {  # has_value KEY NAME PATTERN
    reg_query "$1" /v "$2" | grep -q -- "$3"
}
no_key() { ! quiet wine reg query "$1"; }
running() { quiet wine "$WINDOW" find; }
wait_until() {  # wait_until SECONDS COMMAND...: polls every 0.25 s
    local seconds="$1" i
    shift
    for ((i = 0; i < seconds * 4; i++)); do
        "$@" && return 0
        sleep 0.25
    done
    return 1
}
installed_files_present() {
    local file
    for file in morvek.exe morvek-cli.exe uninstall.exe readme.txt help/index.htm \
        licenses/mingw-w64-runtime-and-winpthreads.txt licenses/gcc-runtime-libstdc++-libgcc.txt \
        licenses/zlib.txt; do
        [ -s "$INSTDIR/$file" ] || return 1
    done
}
start_program() {  # start_program: the installed program; waits for its drop window
    quiet wine "$INSTDIR/morvek.exe" &
    wait_until 30 quiet wine "$WINDOW" drop
}

# A clean user: nothing of an earlier run.
running && quiet wine "$WINDOW" exit && wait_until 10 bash -c "! wine '$WINDOW' find </dev/null >/dev/null 2>&1" || true
rm -rf "$INSTDIR" "$USERDIR/AppData/Roaming/TevoSoftwareDev" "$SHORTCUT"
quiet wine reg delete "$RUN_KEY" /v Morvek /f || true
quiet wine reg delete "$UNINSTALL_KEY" /f || true
quiet wine reg delete 'HKCU\Software\Tevo Software Development' /f || true

started=$SECONDS
quiet wine "$SETUP" /S && code=0 || code=$?
echo "     (silent install: exit code $code, $((SECONDS - started)) s)"
check "silent install ends with exit code 0" test "$code" = 0
check "the program files are installed" installed_files_present
check "the installed morvek.exe is the one of the zip" \
    bash -c "unzip -p '$ZIP' 'morvek-$VERSION/morvek.exe' | cmp -s - '$INSTDIR/morvek.exe'"
check "the installed help page names version $DISPLAY_VERSION" \
    grep -q "Version $DISPLAY_VERSION " "$INSTDIR/help/index.htm"
check "the version resource of morvek.exe is $VERSION" \
    bash -c "strings -el '$INSTDIR/morvek.exe' | grep -qx '$VERSION'"
check "the about box and the splash window of morvek.exe show version $DISPLAY_VERSION" \
    bash -c "strings -el '$INSTDIR/morvek.exe' | grep -qx ' Ver $DISPLAY_VERSION' &&
             strings -el '$INSTDIR/morvek.exe' | grep -qx 'Version $DISPLAY_VERSION'"
check "the version resource of morvek-cli.exe is $VERSION" \
    bash -c "strings -el '$INSTDIR/morvek-cli.exe' | grep -qx '$VERSION'"
check "the Start-menu shortcut points at the program" \
    bash -c "strings -a '$SHORTCUT' | grep -qi 'Programs.Morvek.morvek.exe' ||
             strings -el '$SHORTCUT' | grep -qi 'Programs.Morvek.morvek.exe'"
check "the program starts at sign-in" has_value "$RUN_KEY" Morvek 'Programs\\Morvek\\morvek.exe"'
check "the installed-programs entry has the name" \
    has_value "$UNINSTALL_KEY" DisplayName 'モルベク 添付ファイル エクストラクタ'
check "the installed-programs entry has version $VERSION" \
    has_value "$UNINSTALL_KEY" DisplayVersion "REG_SZ *$VERSION\$"
check "the installed-programs entry has the publisher" \
    has_value "$UNINSTALL_KEY" Publisher 'Tevo Software Development'
check "the installed-programs entry has the size" \
    has_value "$UNINSTALL_KEY" EstimatedSize 'REG_DWORD *0x[0-9a-f]*[1-9a-f]'
check "the installed-programs entry has the uninstaller" \
    has_value "$UNINSTALL_KEY" UninstallString 'Morvek\\uninstall.exe"'

# The user's data and settings, as a user of the program would have them.
mkdir -p "$DATA"
echo "kept" >"$DATA/marker.txt"
quiet wine reg add "$SETTINGS_KEY" /v USE_UNSENDMAIL_FUNC /t REG_DWORD /d 1 /f
check "the installed program starts and shows its drop window" start_program
echo "     (drop window: $(wine "$WINDOW" drop </dev/null 2>/dev/null | tr -d '\r'))"
check "the program has made its data folder" test -f "$DATA/morvek.atd"

# An update over the running program, with its settings dialog open: it is ended first,
# data and settings stay.
quiet wine "$WINDOW" settings
check "the program's settings dialog is open" wait_until 10 quiet wine "$WINDOW" modal
started=$SECONDS
quiet wine "$SETUP" /S && code=0 || code=$?
echo "     (silent install over the running program: exit code $code, $((SECONDS - started)) s)"
check "the second silent install ends with exit code 0" test "$code" = 0
check "the running program was ended" bash -c "! wine '$WINDOW' find </dev/null >/dev/null 2>&1"
check "the program files are still installed" installed_files_present
check "the data folder was kept" grep -q kept "$DATA/marker.txt"
check "the settings were kept" has_value "$SETTINGS_KEY" USE_UNSENDMAIL_FUNC 'REG_DWORD *0x1$'
check "the program starts at sign-in" has_value "$RUN_KEY" Morvek 'morvek.exe'

# A user who chose not to start the program at sign-in keeps that choice over an update.
quiet wine reg delete "$RUN_KEY" /v Morvek /f
quiet wine "$SETUP" /S || true
check "an update keeps the choice not to start at sign-in" \
    bash -c "! wine reg query '$RUN_KEY' /v Morvek </dev/null >/dev/null 2>&1"
check "the update still has the installed-programs entry" \
    has_value "$UNINSTALL_KEY" DisplayVersion "REG_SZ *$VERSION\$"

# Uninstall while the program runs; the uninstaller works from a copy of itself, so the
# script waits for it to finish.
check "the updated program starts and shows its drop window" start_program
started=$SECONDS
quiet wine "$INSTDIR/uninstall.exe" /S && code=0 || code=$?
wait_until 60 no_key "$UNINSTALL_KEY" || true
wait_until 30 test ! -e "$INSTDIR" || true
echo "     (silent uninstall: exit code $code, $((SECONDS - started)) s)"
check "silent uninstall ends with exit code 0" test "$code" = 0
check "the running program was ended" bash -c "! wine '$WINDOW' find </dev/null >/dev/null 2>&1"
check "the program folder is gone" test ! -e "$INSTDIR"
check "the Start-menu shortcut is gone" test ! -e "$SHORTCUT"
check "the start-at-sign-in entry is gone" bash -c "! wine reg query '$RUN_KEY' /v Morvek </dev/null >/dev/null 2>&1"
check "the installed-programs entry is gone" no_key "$UNINSTALL_KEY"
check "the data folder was kept" grep -q kept "$DATA/marker.txt"
check "the data folder still holds the record list" test -f "$DATA/morvek.atd"
check "the settings were kept" has_value "$SETTINGS_KEY" USE_UNSENDMAIL_FUNC 'REG_DWORD *0x1$'

# Asked to, the uninstaller removes the data and the settings too.
quiet wine "$SETUP" /S || true
quiet wine "$INSTDIR/uninstall.exe" /S /REMOVEDATA || true
wait_until 60 no_key "$UNINSTALL_KEY" || true
wait_until 30 test ! -e "$DATA" || true
check "uninstall /REMOVEDATA removes the data folder" test ! -e "$DATA"
check "uninstall /REMOVEDATA removes the settings" no_key 'HKCU\Software\Tevo Software Development'
check "uninstall /REMOVEDATA removes the program folder" test ! -e "$INSTDIR"

echo "$failures failure(s)"
[ "$failures" = 0 ]
