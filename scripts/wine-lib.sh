# Shared by the scripts that run our Windows programs under Wine in a virtual
# X display (tests and screenshots); source it, do not run it.
#
#   wine_fresh_prefix NAME    a Wine prefix of its own in /tmp, exported with
#                             quiet Wine settings and removed when the script exits
#   wine_setup                inside the display: boots the prefix, tells Wine to
#                             draw every window frame itself and gives it its
#                             symbol font
#   wine_wait_window TITLE    inside the display: prints the X id of the first
#                             window called TITLE, waiting up to a minute for it;
#                             fails when none appears
#   wine_detached_bin         prints a folder holding a "wine" for test programs
#                             run by CTest (put it first on PATH)
#
# With VEXEL_WINE_PREFIX_READY=1, wine_fresh_prefix and wine_setup keep to
# the WINEPREFIX and Wine settings they are given, set up so already (the
# 32-bit guest of scripts/win32-vm.sh keeps its prefix in its image, and each
# run's writes to it are dropped).
#
# The bare X display has no window manager, and Wine leaves the frame of a
# window it hands to one undrawn (and its pixels unreadable); with "Decorated"
# off Wine draws title bars and caption buttons as Windows does. Those buttons
# are glyphs of the Marlett font, which a fresh prefix does not find on its
# own: without it they show as letters ("0 1 r").

wine_fresh_prefix() {
    if [ "${VEXEL_WINE_PREFIX_READY:-}" = 1 ]; then
        trap 'wineserver -k 2>/dev/null || true' EXIT
        return
    fi
    # No Mono or Gecko installer, and no desktop entries made on the host
    # for the Start-menu links programs create (winemenubuilder).
    export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    WINEPREFIX=$(mktemp -d "/tmp/vexel-$1-wine.XXXXXX")
    trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
}

wine_setup() {
    if [ "${VEXEL_WINE_PREFIX_READY:-}" = 1 ]; then
        return
    fi
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
    local marlett=/usr/share/wine/fonts/marlett.ttf  # Debian's fonts-wine
    if [ -f "$marlett" ]; then
        cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    wineserver -w
}

wine_wait_window() {
    local id _
    for _ in $(seq 1 120); do
        id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\"" | head -1 | awk '{print $1}')
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.5
    done
    echo "the window \"$1\" did not appear" >&2
    return 1
}

# Wine's services and desktop process, started by a test program, keep the
# output the program had, and may outlive it: CTest, which waits for the end
# of a test's output, then waits until the test's time-out. This "wine" gives
# the program a file of its own for its output and shows it as it grows until
# the program ends.
wine_detached_bin() {
    local bin=/tmp/vexel-wine-bin
    mkdir -p "$bin"
    cat > "$bin/wine" <<'WINE'
#!/bin/bash
log=$(mktemp /tmp/vexel-wine-output.XXXXXX)
/usr/bin/wine "$@" > "$log" 2>&1 < /dev/null &
pid=$!
tail -n +1 -f --pid="$pid" "$log"
status=0
wait "$pid" || status=$?
rm -f "$log"
exit $status
WINE
    chmod 755 "$bin/wine"
    echo "$bin"
}
