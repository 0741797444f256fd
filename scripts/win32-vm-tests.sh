#!/usr/bin/env bash
# The 32-bit Windows programs tested where they can run: a 32-bit Wine in the
# virtual machine of scripts/win32-vm.sh. Builds the win32 preset (programs,
# test programs, installer) and the native vexel, then in one boot of the
# guest:
#   pages      the 32-bit vexel.exe compresses, verifies and restores copies
#              of the examples as classic, deflate, LZMA and default modern
#              pages; here the pages, backups and logs are compared byte for
#              byte with what the Linux vexel writes in the same steps
#   tests      the win32 test programs under ctest (the engine's and the
#              desktop program's end-to-end test first)
#   window     the desktop program started, its main window saved as
#              RESULTS/main-window.png
#   installer  tests/package/installer_test.sh with the 32-bit installer
#              (silent install, the program started, upgrade, uninstall)
#
#   scripts/win32-vm-tests.sh [--quick] [--time-limit SECONDS] [--results DIR]
#
# --quick runs only the engine's and the end-to-end test programs. The
# results (console, logs, the pages, the screenshot) are in RESULTS
# (build/win32-vm by default). Run as root the first time on a machine: the
# guest is made then (scripts/win32-vm.sh image). The time limit (default
# 5400 s) holds for the whole lane; a lane it ends exits with status 124,
# after comparing the pages (which come first).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

# The steps of vexel.exe over the examples: a name and compress's options.
modes=("classic|" "deflate|--modern --codec deflate" "lzma|--modern --codec lzma" "modern|--modern")
first_tests='^(engine_tests|app_end_to_end_tests)$'

# ---- in the guest --------------------------------------------------------

# step [--server-ends] NAME COMMAND...: runs a step, its output in
# RESULTS/NAME.log, its outcome in RESULTS/steps. Wine's server is kept
# running between the step's programs: a start of Wine that starts the
# server and Wine's services too takes up to a minute under emulation, one
# with them running a few seconds. With --server-ends it is not, for a step
# that waits for the server to end (wineserver -w).
step() {
    local name started=$SECONDS status=0 keep=1
    if [ "$1" = --server-ends ]; then
        keep=0
        shift
    fi
    name=$1
    shift
    echo "== $name"
    wineserver -k > /dev/null 2>&1 < /dev/null || true
    if [ $keep = 1 ]; then
        wineserver -p > /dev/null 2>&1 < /dev/null || true
    fi
    "$@" > "$out/$name.log" 2>&1 || status=$?
    if [ $status -eq 0 ]; then
        echo "$name passed $((SECONDS - started)) s" | tee -a "$out/steps"
    else
        echo "$name FAILED (status $status) $((SECONDS - started)) s" | tee -a "$out/steps"
        tail -n 30 "$out/$name.log"
    fi
}

# The examples through vexel.exe in each mode, in /tmp/pages; the written
# pages and the logs to RESULTS/pages. Restoring must give back the examples.
guest_pages() {
    local mode name opts exe=$repo/build/win32/cli/vexel.exe status=0
    rm -rf /tmp/pages
    mkdir -p /tmp/pages "$out/pages"
    cd /tmp/pages
    wine "$exe" --version
    for mode in "${modes[@]}"; do
        name=${mode%%|*} opts=${mode#*|}
        cp -r "$repo/examples" "$name"
        # shellcheck disable=SC2086  # the options are words
        wine "$exe" compress -r $opts "$name" > "$out/pages/$name.compress.out" 2>&1 ||
            echo "exit $?" >> "$out/pages/$name.compress.out"
        cp -r "$name" "$out/pages/$name"
        wine "$exe" verify -r "$name" > "$out/pages/$name.verify.out" 2>&1 ||
            echo "exit $?" >> "$out/pages/$name.verify.out"
        wine "$exe" restore -r "$name" > "$out/pages/$name.restore.out" 2>&1 ||
            echo "exit $?" >> "$out/pages/$name.restore.out"
        diff -r "$repo/examples" "$name" || { echo "$name: restore did not give back the examples"; status=1; }
    done
    cd "$repo"
    return $status
}

# The desktop program's main window, saved once it has painted. The tip of
# the day, shown over it at the first start, is taken off the screen first.
guest_window() {
    local main= tips _ pages=/tmp/window-pages
    mkdir -p "$pages"
    cp examples/index.html "$pages/"
    (cd "$pages" && exec wine "$repo/build/win32/app/HtmlVexel.exe" 'Z:\tmp\window-pages\index.html') &
    for _ in $(seq 600); do
        main=$(xdotool search --onlyvisible --name '^Html Vexel Pro v[0-9.]+$' 2>/dev/null | head -n 1) || true
        [ -n "$main" ] && break
        sleep 0.5
    done
    [ -n "$main" ] || { echo "no main window in 300 s"; import -window root "$out/no-main-window.png"; return 1; }
    sleep 10
    tips=$(xdotool search --onlyvisible --name '^Tip of the day$' 2>/dev/null | head -n 1) || true
    [ -z "$tips" ] || xdotool windowunmap "$tips"
    sleep 2
    xwininfo -root -tree | grep -v 'has no name' || true
    import -window root "$out/screen.png"
    import -window "$main" "$out/main-window.png"
    wineserver -k
}

in_guest() {
    out=$VEXEL_VM_RESULTS
    : > "$out/steps"
    echo "guest: $(uname -r), $(nproc) CPUs, $(wine --version), up $(cut -d' ' -f1 /proc/uptime) s"
    # One display for the steps that drive windows themselves; ctest and the
    # installer test bring their own. (Its descriptors closed, so that it
    # does not hold the console open.)
    Xvfb :9 -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 < /dev/null &
    export DISPLAY=:9
    step pages guest_pages
    step tests-first scripts/wine-ctest.sh --preset win32 -R "$first_tests"
    if [ "${1:-}" != --quick ]; then
        step tests-rest scripts/wine-ctest.sh --preset win32 -E "$first_tests"
    fi
    step window guest_window
    step --server-ends installer env VEXEL_NO_BUILD=1 tests/package/installer_test.sh build/win32
    ! grep -q FAILED "$out/steps"
}

# ---- on the host ----------------------------------------------------------

# The Linux vexel's pages and logs for the same steps, in EXPECTED.
expected_pages() {
    local dir=$1 mode name opts vexel=$repo/build/native/cli/vexel
    rm -rf "$dir"
    mkdir -p "$dir"
    cd "$dir"
    for mode in "${modes[@]}"; do
        name=${mode%%|*} opts=${mode#*|}
        cp -r "$repo/examples" "$name"
        # shellcheck disable=SC2086
        "$vexel" compress -r $opts "$name" > "$name.compress.out" 2>&1 || echo "exit $?" >> "$name.compress.out"
        cp -r "$name" "$name.written"
        "$vexel" verify -r "$name" > "$name.verify.out" 2>&1 || echo "exit $?" >> "$name.verify.out"
        "$vexel" restore -r "$name" > "$name.restore.out" 2>&1 || echo "exit $?" >> "$name.restore.out"
        rm -rf "$name"
    done
    cd "$repo"
}

# The guest's pages and logs against the Linux vexel's: pages and backups byte
# for byte, logs line for line once the Windows line ends and path separators
# are the Linux ones.
compare_pages() {
    local got=$1 want=$2 mode name step status=0
    for mode in "${modes[@]}"; do
        name=${mode%%|*}
        if [ ! -d "$got/$name" ]; then
            echo "pages $name: the guest wrote none"
            status=1
            continue
        fi
        if diff -r "$want/$name.written" "$got/$name" > /dev/null; then
            echo "pages $name: $(find "$got/$name" -type f | wc -l) files as the Linux vexel writes them"
        else
            echo "pages $name: DIFFER from the Linux vexel's:"
            diff -rq "$want/$name.written" "$got/$name" | head -n 20
            status=1
        fi
        for step in compress verify restore; do
            if ! diff <(tr '\\' '/' < "$got/$name.$step.out" | tr -d '\r') "$want/$name.$step.out" > /dev/null; then
                echo "pages $name: the output of $step DIFFERS:"
                diff <(tr '\\' '/' < "$got/$name.$step.out" | tr -d '\r') "$want/$name.$step.out" | head -n 20
                status=1
            fi
        done
    done
    return $status
}

on_host() {
    local results=build/win32-vm limit=5400 quick= started=$SECONDS status=0
    while [ $# -gt 0 ]; do
        case $1 in
            --quick) quick=--quick; shift ;;
            --time-limit) limit=$2; shift 2 ;;
            --results) results=$2; shift 2 ;;
            *) sed -n '2,24p' "$0"; exit 2 ;;
        esac
    done
    # A guest that Debian's archive cannot give today (a mirror mid-sync, an
    # index that fails) skips the lane, loudly, as test.sh skips a lane whose
    # tools it cannot install; a guest that fails otherwise fails it.
    scripts/win32-vm.sh image || status=$?
    if [ $status -eq 3 ]; then
        mkdir -p build/logs
        echo "== win32 lane: SKIPPED: its guest could not be made from Debian's archive" | tee -a build/logs/skipped
        return 0
    fi
    [ $status -eq 0 ] || return $status
    echo "== guest ready ($((SECONDS - started)) s)"
    cmake --preset native > /dev/null
    cmake --build --preset native --target vexel
    cmake --preset win32 > /dev/null
    cmake --build --preset win32
    echo "== built ($((SECONDS - started)) s)"
    mkdir -p "$results"
    results=$(cd "$results" && pwd)
    expected_pages "$results/expected"
    rm -rf "$results/guest"
    # The time limit holds for the whole lane: the guest gets what is left.
    scripts/win32-vm.sh run --results "$results/guest" --time-limit "$((limit - (SECONDS - started)))" -- \
        scripts/win32-vm-tests.sh --in-guest $quick > "$results/console.log" 2>&1 || status=$?
    # The guest's own summary lines, the kernel's left in the log.
    grep -E '^(guest:|== |[a-z-]+ (passed|FAILED)|win32-vm:)' "$results/console.log" || true
    if [ $status -eq 124 ]; then
        echo "the guest's run was ENDED by the time limit ($limit s for the lane); the steps above ran"
    elif [ $status -ne 0 ]; then
        echo "the guest's run FAILED (status $status; $results/console.log)"
        tail -n 40 "$results/console.log"
    fi
    compare_pages "$results/guest/pages" "$results/expected" || status=1
    echo "== win32 lane: $((SECONDS - started)) s in all"
    return $status
}

if [ "${1:-}" = --in-guest ]; then
    shift
    in_guest "$@"
else
    on_host "$@"
fi
