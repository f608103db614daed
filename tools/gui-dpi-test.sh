#!/usr/bin/env bash
# The Windows program on displays of higher scale: for each dots-per-inch value given
# (default 144 and 192, that is 150 % and 200 %) Wine's display resolution is set, the screen
# is 1024x768 at that scale (1536x1152 at 150 %), and the program shows its drop window and
# a list with one record. Checks: the drop window's size and place (180x225 at 144), its
# picture shown pixel for pixel (the artwork drawn for that scale, not a stretched one), the
# list's row height, the text of the selected row inside its row, and the list read by an
# accessibility client from another process. Screenshots (with the
# progress dialog, the about box, the settings and the splash window) go to
# build/screenshots/ as NAME-PERCENT.png (--docs copies the drop window's and the list's at
# 150 % to docs/).
# Expects the windows preset built. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

ROOT="$PWD"
BIN="$ROOT/build/windows"
SHOTS="$ROOT/build/screenshots"
DOCS=0
DPIS=()
for arg in "$@"; do
    if [ "$arg" = "--docs" ]; then
        DOCS=1
    else
        DPIS+=("$arg")
    fi
done
[ ${#DPIS[@]} -gt 0 ] || DPIS=(144 192)
mkdir -p "$SHOTS"

export MORVEK_WINEPREFIX="$ROOT/build/wineprefix-dpi"
# shellcheck source=tools/wine-env.sh
source tools/wine-env.sh
export LANG=ja_JP.UTF-8
export MORVEK_WINE_DISPLAY=1

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

scaled() {  # scaled VALUE DPI: VALUE at 96 dots per inch scaled, halves rounded up
    echo $(((2 * $1 * $2 + 96) / 192))
}

WORK="$(mktemp -d)"
XVFB_PID=""
cleanup() {
    morvek_wine_stop
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

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

for DPI in "${DPIS[@]}"; do
    PERCENT=$((DPI * 100 / 96))
    WIDTH=$(scaled 1024 "$DPI")
    HEIGHT=$(scaled 768 "$DPI")
    echo "--- $DPI dots per inch ($PERCENT %), screen ${WIDTH}x$HEIGHT"

    DISPLAY_NUMBER=${MORVEK_XVFB_DISPLAY:-78}
    Xvfb ":$DISPLAY_NUMBER" -screen 0 "${WIDTH}x${HEIGHT}x24" -dpi "$DPI" -nolisten tcp \
        >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$DISPLAY_NUMBER"
    sleep 1

    morvek_wine_display_setup
    # Wine takes the display's resolution from these keys when a process starts.
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$DPI" /f \
        </dev/null >/dev/null 2>&1
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        /v LogPixels /t REG_DWORD /d "$DPI" /f </dev/null >/dev/null 2>&1
    morvek_wine_start

    USERDIR="$(ls -d "$WINEPREFIX"/drive_c/users/* | grep -v Public | head -1)"
    APPDATA="$USERDIR/AppData/Roaming"
    rm -rf "$APPDATA/TevoSoftwareDev"
    wine reg delete 'HKCU\Software\Tevo Software Development' /f </dev/null >/dev/null 2>&1 || true

    # One record in the store, extracted by the command-line tool into the same folders.
    cp "$WORK/report.eml" "$WORK/copy.eml"
    wine "$BIN/cli/morvek-cli.exe" extract --no-scan --quiet "$(winepath -w "$WORK/copy.eml")" \
        </dev/null >/dev/null 2>&1 || true

    # The dialogs on their own, for a look (trimmed to the window).
    for dialog in progress about settings; do
        wine "$BIN/tests/morvek_show_dialog.exe" "$dialog" --close-after 4000 </dev/null \
            >/dev/null 2>&1 &
        sleep 2.5
        import -window root "$SHOTS/$dialog-$PERCENT.png"
        convert "$SHOTS/$dialog-$PERCENT.png" -trim +repage "$SHOTS/$dialog-$PERCENT.png"
        wait $! || true
    done

    wine "$BIN/gui/morvek.exe" </dev/null >/dev/null 2>&1 &
    sleep 1.2
    import -window root "$SHOTS/splash-$PERCENT.png"
    convert "$SHOTS/splash-$PERCENT.png" -trim +repage "$SHOTS/splash-$PERCENT.png"
    sleep 4
    DROP="$(wine "$BIN/tests/morvek_test_window.exe" drop </dev/null 2>/dev/null | tr -d '\r' || true)"
    W=$(scaled 120 "$DPI")
    H=$(scaled 150 "$DPI")
    X=$((WIDTH - $(scaled 21 "$DPI") - W))
    Y=$((HEIGHT / 4))
    check "drop window ${W}x$H at $X,$Y ($DROP)" test "$DROP" = "$X,$Y ${W}x$H"
    import -window root -crop "$((W + 40))x$((H + 40))+$((X - 20))+$((Y - 20))" +repage \
        "$SHOTS/dropwindow-$PERCENT.png"
    # The picture inside the capsule is the artwork drawn for this scale, pixel for pixel: a
    # stretched 100 % picture would differ at every edge.
    PICTURE="$ROOT/res/art/dropwindow-$PERCENT.bmp"
    [ "$PERCENT" = 100 ] && PICTURE="$ROOT/res/art/dropwindow.bmp"
    check "the drop window shows its $PERCENT % picture unscaled" \
        /usr/bin/python3 - "$SHOTS/dropwindow-$PERCENT.png" "$PICTURE" <<'PY'
import sys
from PIL import Image
shot = Image.open(sys.argv[1]).convert("RGB")
art = Image.open(sys.argv[2]).convert("RGB")
w, h = art.size
r = w / 2.0
bad = total = 0
for y in range(h):
    for x in range(w):
        # Well inside the capsule (two pixels clear of the region's edge).
        cy = min(max(y, r), h - r)
        if (x + 0.5 - r) ** 2 + (y + 0.5 - cy) ** 2 > (r - 2) ** 2:
            continue
        total += 1
        if shot.getpixel((x + 20, y + 20)) != art.getpixel((x, y)):
            bad += 1
print("   %d of %d pixels differ" % (bad, total))
sys.exit(0 if total > 0 and bad == 0 else 1)
PY

    # The list window with the record open and its row selected.
    wine "$BIN/tests/morvek_test_window.exe" open </dev/null >/dev/null 2>&1
    sleep 3
    LIST="$(wine "$BIN/tests/morvek_test_window.exe" list </dev/null 2>/dev/null | tr -d '\r' || true)"
    echo "   list client area and resolution: $LIST"
    check "the list window takes the display's resolution ($LIST)" \
        bash -c "[ \"\${1##* }\" = $DPI ]" _ "$LIST"
    # The frame: half the work area, centred.
    FW=$((WIDTH / 2))
    FH=$((HEIGHT / 2))
    import -window root -crop "$((FW + 8))x$((FH + 8))+$((WIDTH / 4 - 4))+$((HEIGHT / 4 - 4))" \
        +repage "$SHOTS/listwindow-$PERCENT.png"
    ROW=$(($(scaled 32 "$DPI") + 2 * $(scaled 3 "$DPI")))
    check "list rows are $ROW high and the selected row's text lies inside it" \
        /usr/bin/python3 - "$SHOTS/listwindow-$PERCENT.png" "$LIST" "$ROW" "$((WIDTH / 4 - 4))" \
        "$((HEIGHT / 4 - 4))" "$(scaled 40 "$DPI")" <<'PY'
import sys
from PIL import Image
shot = Image.open(sys.argv[1]).convert("RGB")
pos, size, _ = sys.argv[2].split()
left, top = (int(v) for v in pos.split(","))
width = int(size.split("x")[0])
left -= int(sys.argv[4])
top -= int(sys.argv[5])
row, indent = int(sys.argv[3]), int(sys.argv[6])
BLUE, GREY = (49, 106, 197), (210, 210, 210)
# A column right of every text: the fills of the record row (selected, blue) and of the first
# attachment row (grey) start one row apart.
x = left + width - 10
column = [shot.getpixel((x, y)) for y in range(top, shot.size[1])]
first_blue = column.index(BLUE)
first_grey = column.index(GREY)
blue_end = first_blue
while column[blue_end + 1] == BLUE:
    blue_end += 1
print("   record fill %d..%d, attachment fill from %d" % (first_blue, blue_end, first_grey))
ok = first_grey - first_blue == row
# The record's texts (white on the blue) right of the icon column lie inside the fill: a
# line with some white pixels (not a frame line, which is white all along).
span = range(left + indent, left + width - 20)


def holds_text(y):
    white = sum(1 for xx in span if shot.getpixel((xx, top + y)) == (255, 255, 255))
    return 0 < white < len(span) * 9 // 10


rows_with_text = [y for y in range(0, row) if holds_text(y)]  # the record row, at the top
print("   text lines %d..%d" % (rows_with_text[0], rows_with_text[-1]))
# (the frame is drawn first, so a text running into it would show on it)
ok = ok and rows_with_text[0] > first_blue and rows_with_text[-1] <= blue_end
sys.exit(0 if ok else 1)
PY

    # A screen reader's reading of the list from another process: the record and its two
    # attachments, the record selected, then the first attachment after the down-arrow key.
    ACC="$(wine "$BIN/tests/morvek_test_window.exe" accessible </dev/null 2>/dev/null | tr -d '\r' || true)"
    sed 's/^/   /' <<<"$ACC"
    check "an accessibility client in another process reads the list" bash -c '
        grep -qx "children 3" <<<"$1" &&
        grep -q "^name 1 2026年12月10日 09:30:00、Test Sender <sender@example.com>、monthly report$" <<<"$1" &&
        grep -q "^name 3 report.txt、" <<<"$1" &&
        [ "$(grep "^selected" <<<"$1" | tr "\n" " ")" = "selected 1 selected 2 " ]' _ "$ACC"

    wine "$BIN/tests/morvek_test_window.exe" exit </dev/null >/dev/null 2>&1 || true
    sleep 2
    morvek_wine_stop
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
done

if [ "$DOCS" = 1 ]; then
    for name in dropwindow listwindow; do
        [ -f "$SHOTS/$name-150.png" ] && cp "$SHOTS/$name-150.png" docs/
    done
fi
echo "$failures failure(s)"
[ "$failures" = 0 ]
