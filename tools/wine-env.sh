# Sourced by the scripts that run Windows programs: a Wine prefix of the project's own
# under build/, quiet and non-interactive. MORVEK_WINEPREFIX may point elsewhere.
export WINEPREFIX="${MORVEK_WINEPREFIX:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Creates the prefix once, starts a persistent server for it (each later process then
# starts in a fraction of a second) and makes it headless ("Graphics"="null") unless
# MORVEK_WINE_DISPLAY=1 asks for windows on $DISPLAY. No Wine process may share a pipe
# with the caller here, or the caller waits for the server to end.
morvek_wine_start() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i </dev/null >/dev/null 2>&1
    fi
    # The graphics driver is chosen when the prefix's desktop process starts, so the setting
    # goes in first, and the server that ran while it was written ends before the real one.
    # A server left running by an earlier start is persistent and would be waited for
    # forever: it is ended first.
    wineserver -k 2>/dev/null || true
    wineserver -w
    if [ "${MORVEK_WINE_DISPLAY:-0}" = 1 ]; then
        wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f </dev/null >/dev/null 2>&1 || true
    else
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
    fi
    wineserver -k 2>/dev/null || true
    wineserver -w
    wineserver -p
    wine cmd /c exit </dev/null >/dev/null 2>&1
}

morvek_wine_stop() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

# Makes the prefix fit for windows on a real (or virtual) X display without a window
# manager: Wine draws its own title bars, the caption buttons have their font, and the
# Japanese dialog fonts resolve to IPAGothic instead of boxes. Run before morvek_wine_start.
morvek_wine_display_setup() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i </dev/null >/dev/null 2>&1
        wineserver -w
    fi
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    [ -f "$fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/marlett.ttf "$fonts/" 2>/dev/null || true
    local reg
    reg="$(mktemp --suffix=.reg)"
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Decorated"="N"\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
        # Proportional faces take IPA's proportional Gothic, the fixed-pitch one IPAGothic.
        local face
        for face in "MS UI Gothic" "ＭＳ Ｐゴシック" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "MS Sans Serif"; do
            printf '"%s"="IPAPGothic"\r\n' "$face"
        done
        printf '"%s"="IPAGothic"\r\n' "ＭＳ ゴシック"
        printf '\r\n'
    } | iconv -f UTF-8 -t UTF-16 >"$reg"
    wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" </dev/null >/dev/null 2>&1
    wineserver -w
    rm -f "$reg"
}
