#!/usr/bin/env bash
# The Windows program end to end on a virtual 1024x768 X display (Xvfb), under Wine with a
# prefix of its own: start-up and placement of the drop window, a real mouse drag (xdotool)
# of a message from a small drag-source program onto the drop window's main zone (records
# appear in the store) and onto its lower zone with the unsent function on (a draft appears
# in the temporary folder), then exit. Screenshots of the windows go to
# build/screenshots/ (docs/ keeps the ones shown in the README: tools/gui-test.sh --docs).
# Expects the windows preset built. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

ROOT="$PWD"
BIN="$ROOT/build/windows"
SHOTS="$ROOT/build/screenshots"
DOCS=0
[ "${1:-}" = "--docs" ] && DOCS=1
mkdir -p "$SHOTS"

export MORVEK_WINEPREFIX="$ROOT/build/wineprefix-x11"
# shellcheck source=tools/wine-env.sh
source tools/wine-env.sh
export LANG=ja_JP.UTF-8
export MORVEK_WINE_DISPLAY=1

DISPLAY_NUMBER=${MORVEK_XVFB_DISPLAY:-77}
Xvfb ":$DISPLAY_NUMBER" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
export DISPLAY=":$DISPLAY_NUMBER"
cleanup() {
    morvek_wine_stop
    kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
sleep 1

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

shot() {  # shot NAME [GEOMETRY]
    if [ -n "${2:-}" ]; then
        import -window root -crop "$2" +repage "$SHOTS/$1.png"
    else
        import -window root "$SHOTS/$1.png"
    fi
}

morvek_wine_display_setup
morvek_wine_start

USERDIR="$(ls -d "$WINEPREFIX"/drive_c/users/* | grep -v Public | head -1)"
APPDATA="$USERDIR/AppData/Roaming"
rm -rf "$APPDATA/TevoSoftwareDev"
wine reg delete 'HKCU\Software\Tevo Software Development' /f </dev/null >/dev/null 2>&1 || true

# A message with one text attachment and one prohibited attachment.
WORK="$(mktemp -d)"
cat >"$WORK/report.eml" <<'MAIL'
From: Test Sender <sender@example.com>
To: user@example.com
Subject: monthly report
Date: Thu, 10 Dec 2026 09:30:00 +0900
MIME-Version: 1.0
Content-Type: multipart/mixed; boundary="b1"

--b1
Content-Type: text/plain; charset=us-ascii

Please find the report attached.
--b1
Content-Type: text/plain; name="report.txt"
Content-Disposition: attachment; filename="report.txt"
Content-Transfer-Encoding: base64

UmVwb3J0IGJvZHkK
--b1
Content-Type: application/octet-stream; name="tool.exe"
Content-Disposition: attachment; filename="tool.exe"
Content-Transfer-Encoding: base64

TVqQAAMAAAAEAAAA
--b1--
MAIL
cp "$WORK/report.eml" "$WORK/draft.eml"
# Outlook items (read in place from the shared samples, when they are there): one for a
# drag as Outlook makes it, one for a shell drop.
OUTLOOK_SAMPLE="$(cd "$(dirname "$0")/../.." && pwd)/shared/corpus-outlook/msg/attachment_test_msg.msg"
if [ -f "$OUTLOOK_SAMPLE" ]; then
    cp "$OUTLOOK_SAMPLE" "$WORK/outlook.msg"
    cp "$OUTLOOK_SAMPLE" "$WORK/shell.msg"
fi

# Pictures of the dialogs, each on its own on the empty screen (trimmed to the window).
for dialog in progress scanconfirm about settings allowed prohibited; do
    wine "$BIN/tests/morvek_show_dialog.exe" "$dialog" --close-after 4000 </dev/null >/dev/null 2>&1 &
    sleep 2.5
    import -window root "$SHOTS/$dialog.png"
    convert "$SHOTS/$dialog.png" -trim +repage "$SHOTS/$dialog.png"
    wait $! || true
done

# Start-up: the splash window, then the drop window by the right edge.
wine "$BIN/gui/morvek.exe" </dev/null >/dev/null 2>&1 &
sleep 1.2
shot splash
convert "$SHOTS/splash.png" -trim +repage "$SHOTS/splash.png"
sleep 4
# On a 1024x768 work area the 120-pixel capsule lands at x 883, y 192.
geometry_of() {  # the geometry of the visible window at x,y (xdotool)
    xdotool getmouselocation >/dev/null
    local id
    for id in $(xdotool search --onlyvisible --class "morvek.exe" 2>/dev/null); do
        xdotool getwindowgeometry "$id" 2>/dev/null | tr '\n' ' '
        echo
    done
}
GEOMS="$(geometry_of)"
check "drop window placed at 883,192 and 120x150 ($GEOMS)" \
    grep -q "Position: 883,192 .*Geometry: 120x150" <<<"$GEOMS"
shot dropwindow 160x190+863+172

drag() {  # drag FROM_X FROM_Y TO_X TO_Y
    xdotool mousemove "$1" "$2"
    sleep 0.4
    xdotool mousedown 1
    local i
    for i in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove $(($1 + ($3 - $1) * i / 10)) $(($2 + ($4 - $2) * i / 10))
        sleep 0.1
    done
    sleep 0.4
    xdotool mouseup 1
}

wait_for() {  # wait_for FILE SECONDS
    local i
    for ((i = 0; i < $2 * 10; i++)); do
        [ -s "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

# drag_message NAME TARGET_X TARGET_Y [--mail]: drags WORK/NAME from the drag-source program
# onto a screen point, as a shell file or (--mail) as a mail client's virtual file.
drag_message() {
    local name="$1" x="$2" y="$3"
    shift 3
    rm -f "$WORK/ready.txt" "$WORK/result.txt"
    wine "$BIN/tests/morvek_test_dragsource.exe" --x 100 --y 100 --timeout 30 \
        --ready "$(winepath -w "$WORK/ready.txt")" --result "$(winepath -w "$WORK/result.txt")" \
        "$@" "$(winepath -w "$WORK/$name")" </dev/null >/dev/null 2>&1 &
    wait_for "$WORK/ready.txt" 30 || return 1
    sleep 0.5
    drag 160 140 "$x" "$y"
    wait_for "$WORK/result.txt" 30 || return 1
    head -1 "$WORK/result.txt" | tr -d '\r'
}

# A real drag of a message file onto the main zone: extraction, no scan configured, the
# records kept and the list window opened.
EFFECT="$(drag_message report.eml $((883 + 58)) $((192 + 60)) || true)"
check "the drop on the main zone was taken as a copy ($EFFECT)" test "$EFFECT" = copy
# The run extracts, keeps and opens the list; Wine on a bare X server applies the capsule's
# hiding only once the pointer moves on after that.
for _ in $(seq 30); do
    geometry_of | grep -q "Position: 256,192" && break
    sleep 0.5
done
sleep 1
xdotool mousemove 600 700
sleep 1
DATA="$(find "$APPDATA/TevoSoftwareDev" -maxdepth 1 -mindepth 1 -type d | head -1)"
check "the message was extracted into a record" test -f "$DATA/report.att"
check "the text attachment is in the store" test -f "$DATA/report/report.txt"
check "the prohibited attachment became an alert file" \
    bash -c "ls '$DATA/report' | grep -q 'alert'"
check "the record list names the record" grep -qa "report.att" "$DATA/morvek.atd"
GEOMS="$(geometry_of)"
check "the list window is open" grep -q "Position: 256,192 .*Geometry: 512x384" <<<"$GEOMS"
check "the drop window has hidden itself" bash -c "! grep -q 'Position: 883,192' <<<'$GEOMS'"
shot listwindow 520x392+252+188
# An attachment selected with the mouse.
xdotool mousemove 450 356 click 1
sleep 1
shot listselection 520x392+252+188

# Outlook items onto the list window: a drag as Outlook makes it (Unicode descriptor, the
# item as a storage) and a .msg file from the shell; each gives a record in the list.
if [ -f "$WORK/outlook.msg" ]; then
    EFFECT="$(drag_message outlook.msg 512 420 --outlook || true)"
    check "the Outlook drag onto the list was taken as a copy ($EFFECT)" test "$EFFECT" = copy
    EFFECT="$(drag_message shell.msg 512 420 || true)"
    check "the shell drop of a .msg onto the list was taken as a copy ($EFFECT)" test "$EFFECT" = copy
    sleep 3
    for item in outlook shell; do
        check "the $item item was extracted into a record" test -f "$DATA/$item.att"
        check "the $item item's attachments are in the store" \
            bash -c "ls '$DATA/$item' | grep -q 'pj1.txt'"
        check "the record list names the $item item" grep -qa "$item.att" "$DATA/morvek.atd"
    done
else
    echo "SKIP: no Outlook samples at $OUTLOOK_SAMPLE"
fi

# The unsent function on, then a drag from the mail client onto the lower zone: a draft in
# the temporary folder.
wine reg add 'HKCU\Software\Tevo Software Development\Morveｋ Attachment Extractor\Settings' \
    /v USE_UNSENDMAIL_FUNC /t REG_DWORD /d 1 /f </dev/null >/dev/null 2>&1
wine "$BIN/tests/morvek_test_window.exe" close </dev/null >/dev/null 2>&1
sleep 1
EFFECT="$(drag_message draft.eml $((883 + 58)) $((192 + 115)) --mail || true)"
check "the mail-client drop on the lower zone was taken as a copy ($EFFECT)" test "$EFFECT" = copy
sleep 2
TEMPDIR="$(find "$USERDIR" -maxdepth 4 -type d -name morvek -path '*Temp*' | head -1)"
check "the draft is in the temporary folder" bash -c "ls '$TEMPDIR' | grep -q '\.eml'"

# Exit through the close mark of the capsule.
xdotool mousemove $((883 + 109)) $((192 + 10)) click 1
sleep 2
check "the program has ended" bash -c "! wine '$BIN/tests/morvek_test_window.exe' open </dev/null >/dev/null 2>&1"

if [ "$DOCS" = 1 ]; then
    mkdir -p docs
    cp "$SHOTS"/*.png docs/
fi
rm -rf "$WORK"
echo "$failures failure(s)"
[ "$failures" = 0 ]
