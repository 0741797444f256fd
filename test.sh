#!/usr/bin/env bash
# Builds everything and runs every test: natively with CTest (once more in the
# checked build, under AddressSanitizer and UndefinedBehaviorSanitizer), the
# Debian package installed and run, the written pages in Chromium, the
# portable parts as 32-bit code under qemu-i386 (linux32), and the win64
# programs and their installer under Wine. The 32-bit Windows programs
# (win32) and their tests are built here; scripts/win32-vm-tests.sh runs them
# in a virtual machine.
#
# The builds run one after another, each on every core. The tests of the
# builds run in two lanes beside them: the Wine lane (the win64 programs,
# Chromium, then the installer) and the native lane (native, the Debian
# package, native-debug, linux32), one test step at a time in each. The tests mostly
# wait (for Wine, Chromium, qemu, child processes), so the cores the builds
# leave idle do them, and the long Wine step does not hold up the native
# steps behind it. Each test step's output goes to build/logs/STEP.log and is
# shown when the step fails.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh all

logs=build/logs
rm -rf "$logs"
mkdir -p "$logs"

# A lane whose tools could not be installed (install-deps.sh said why) is
# skipped, loudly, and the others run: its line stands in build/logs/skipped
# and is said again at the end.
linux32=linux32
if ! scripts/install-deps.sh check linux32; then
    echo "== linux32: SKIPPED: its cross compiler, qemu-user or library sources are not installed" |
        tee -a "$logs/skipped"
    linux32=
fi

# A test lane: its steps one after another, each waiting until its build is
# done (or failed).
test_lane() {
    local step preset status=0
    for step in "$@"; do
        case $step in
            package|browser) preset=native ;;
            installer) preset=win64 ;;
            *) preset=$step ;;
        esac
        while [ ! -e "$logs/$preset.built" ] && [ ! -e "$logs/builds.failed" ]; do
            sleep 2
        done
        [ -e "$logs/$preset.built" ] || return 1
        local started=$SECONDS
        if run_tests "$step" > "$logs/$step.log" 2>&1; then
            echo "== tests $step: passed ($((SECONDS - started)) s) $(grep -E 'tests passed' "$logs/$step.log" | tail -1)"
        else
            echo "== tests $step: FAILED ($((SECONDS - started)) s); its output:"
            cat "$logs/$step.log"
            status=1
        fi
    done
    return $status
}

run_tests() {
    case $1 in
        native|native-debug|linux32) ctest --preset "$1" ;;
        package) tests/package/deb_test.sh build/native ;;
        browser) VEXEL_DESKTOP_PAGES=build/win64/tests/app/desktop-written \
                     scripts/browser-tests.sh build/native/cli/vexel ;;
        win64) scripts/wine-ctest.sh ;;
        installer) tests/package/installer_test.sh build/win64 ;;
    esac
}

# Chromium opens a page the desktop program wrote in the win64 tests: the
# browser step follows them in their lane.
test_lane win64 browser installer &
wine_lane=$!
test_lane native package native-debug $linux32 &
native_lane=$!
# A failed build stops the lanes; an interrupted script stops them too.
trap 'touch "$logs/builds.failed"; wait $wine_lane $native_lane 2>/dev/null || true' EXIT

for preset in native win64 native-debug $linux32 win32; do
    started=$SECONDS
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    echo "== build $preset: done ($((SECONDS - started)) s)"
    touch "$logs/$preset.built"
done

status=0
wait $wine_lane || status=$?
wait $native_lane || status=$?
trap - EXIT
if [ -s "$logs/skipped" ]; then
    cat "$logs/skipped" >&2
fi
if [ $status -ne 0 ]; then
    echo "Some tests FAILED (logs in $logs/)." >&2
    exit 1
fi
if [ -s "$logs/skipped" ]; then
    echo "All tests that ran passed, but NOT ALL LANES RAN (see the SKIPPED lines above)." >&2
else
    echo "All tests passed."
fi
