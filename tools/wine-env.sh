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
