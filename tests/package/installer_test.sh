#!/usr/bin/env bash
# The Windows installer under Wine, in a fresh prefix: a silent install
# for every user puts the files, the Start-menu link, the entry under Apps and
# the Explorer verbs in place (and leaves a PATH too long to rewrite as it
# was); the "Compress with Html Vexel" verb's command line starts the desktop
# program with the page selected; an upgrade in place keeps the user's
# settings; a silent uninstall leaves nothing of ours but those settings; a
# per-user install into a quoted /D= folder puts it on the PATH and its
# uninstall with /REMOVESETTINGS takes exactly that entry off again, whatever
# its neighbours, and leaves nothing at all; the interactive installer
# installs "just for me" when an administrator chooses so on its page.
#   tests/package/installer_test.sh [BUILD_DIR]      (default build/win64)
# The 64-bit installer of build/win64 runs under the host's Wine; the 32-bit
# one of build/win32 in the 32-bit guest (scripts/win32-vm-tests.sh), where
# VEXEL_NO_BUILD=1 takes the installer as the host built it.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/wine-lib.sh
build=${1:-build/win64}
[[ $build == /* ]] || build=$(pwd)/$build
version=$(sed -n 's/^#define VEXEL_VERSION "\(.*\)"$/\1/p' "$build/generated/vexel_version.h")
[ "${VEXEL_NO_BUILD:-}" = 1 ] || cmake --build "$build" --target installer vexel_window_probe >/dev/null
if grep -qs 'CMAKE_SYSTEM_PROCESSOR "i686"' "$build"/CMakeFiles/*/CMakeSystem.cmake; then
    installer="$build/HtmlVexel-$version-setup.exe"
else
    installer="$build/HtmlVexel-$version-x64-setup.exe"
fi
export installer probe="$build/tests/package/vexel_window_probe.exe"
export version
[ -f "$installer" ] || { echo "installer_test: no $installer" >&2; exit 1; }

wine_fresh_prefix installer
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -uo pipefail
    source scripts/wine-lib.sh
    wine_setup
    failures=0
    fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
    c=$WINEPREFIX/drive_c
    machine_dir="$c/Program Files/Html Vexel"
    machine_link="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Html Vexel.lnk"
    uninstall_key="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\HtmlVexel"
    settings_key="HKCU\\Software\\Korrin\\ZP\\HTML Vexel"
    query() { wine reg query "$@" 2>/dev/null | tr -d "\r"; }
    # Our traces in the registry files, apart from the user'"'"'s settings.
    traces() { wineserver -w; grep -c -e HtmlVexel -e "Html Vexel" "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" | paste -sd " "; }
    trace_lines() { grep -h -e HtmlVexel -e "Html Vexel" "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" | paste -sd " "; }
    installed_files() {
        for file in HtmlVexel.exe vexel.exe help.chm LICENSE.txt THIRD-PARTY.txt uninstall.exe; do
            [ -f "$1/$file" ] || fail "$file is not in $1"
        done
    }
    before=$(traces)
    path_value() { query "$1" /v Path | sed -n "s/.*REG_[A-Z_]*SZ    //p"; }

    # A silent install for every user (Wine'"'"'s user is an administrator),
    # with /PATH on a machine whose PATH is longer than the installer can
    # rewrite whole: it must stay as it is.
    machine_env="HKLM\System\CurrentControlSet\Control\Session Manager\Environment"
    long_path="$(path_value "$machine_env")$(printf ";C:\\Tools\\Kit%04d" $(seq 1 90))"
    wine reg add "$machine_env" /v Path /t REG_EXPAND_SZ /d "$long_path" /f >/dev/null
    wine "$installer" /S /PATH
    wineserver -w
    installed_files "$machine_dir"
    grep -q "Lockless Inc." "$machine_dir/THIRD-PARTY.txt" || fail "THIRD-PARTY.txt lacks the notice of winpthreads'"'"' pthread.h"
    [ "$(path_value "$machine_env")" = "$long_path" ] || fail "the install changed a PATH too long to rewrite"
    [ -f "$machine_link" ] || fail "no Start-menu link"
    entry=$(query "HKLM\\$uninstall_key")
    for value in "DisplayName    REG_SZ    Html Vexel" "DisplayVersion    REG_SZ    $version" \
        "Publisher    REG_SZ    The Html Vexel developers" "DisplayIcon    REG_SZ    C:\\Program Files\\Html Vexel\\HtmlVexel.exe,0" \
        "EstimatedSize    REG_DWORD    0x" "UninstallString    REG_SZ    \"C:\\Program Files\\Html Vexel\\uninstall.exe\""; do
        [[ $entry == *"$value"* ]] || fail "the uninstall entry lacks \"$value\": $entry"
    done
    [ "$(wine "C:\\Program Files\\Html Vexel\\vexel.exe" --version | tr -d "\r")" = "vexel $version" ] ||
        fail "the installed vexel.exe does not say its version"
    for class in "SystemFileAssociations\\.htm" "SystemFileAssociations\\.html" Directory; do
        query "HKLM\\Software\\Classes\\$class\\shell\\HtmlVexel.Compress" /ve | grep -q "Compress with Html Vexel" ||
            fail "no \"Compress with Html Vexel\" on $class"
    done
    for class in "SystemFileAssociations\\.htm" "SystemFileAssociations\\.html"; do
        query "HKLM\\Software\\Classes\\$class\\shell\\HtmlVexel.Restore\\command" /ve | grep -q "vexel.exe\" restore \"%1\"" ||
            fail "no \"Restore original\" on $class"
    done

    # The verb as Explorer runs it: its command with the page for %1.
    command=$(query "HKLM\\Software\\Classes\\SystemFileAssociations\\.html\\shell\\HtmlVexel.Compress\\command" /ve |
        sed -n "s/.*REG_SZ    //p")
    program=$(sed -n "s/^\"\([^\"]*\)\" \"%1\"$/\1/p" <<<"$command")
    [ -n "$program" ] || fail "the verb'"'"'s command is not PROGRAM \"%1\": $command"
    mkdir -p "$c/pages"
    for page in first.html second.html third.htm; do
        printf "<html><head><title>%s</title></head><body><p>%s</p></body></html>\r\n" $page $page > "$c/pages/$page"
    done
    wine "$program" "C:\\pages\\second.html" &
    timeout 120 wine "$probe" second.html || fail "the desktop program started by the verb does not show second.html selected"
    wineserver -k; wineserver -w

    # An upgrade in place keeps the settings; the uninstaller keeps them too.
    wine reg add "$settings_key" /v tipid /t REG_SZ /d 4 /f >/dev/null
    wine "$installer" /S
    wineserver -w
    installed_files "$machine_dir"
    query "$settings_key" /v tipid | grep -q "REG_SZ    4" || fail "the upgrade lost the settings"
    echo "a file of the user" > "$machine_dir/notes.txt"
    wine "$machine_dir/uninstall.exe" /S
    wineserver -w
    for file in HtmlVexel.exe vexel.exe help.chm LICENSE.txt THIRD-PARTY.txt uninstall.exe; do
        [ ! -e "$machine_dir/$file" ] || fail "$file is left behind"
    done
    [ -f "$machine_dir/notes.txt" ] || fail "the uninstaller removed a file it did not install"
    rm -rf "$machine_dir"
    [ ! -e "$machine_link" ] || fail "the Start-menu link is left behind"
    query "$settings_key" /v tipid | grep -q "REG_SZ    4" || fail "the uninstaller removed the settings unasked"
    [ "$(path_value "$machine_env")" = "$long_path" ] || fail "the uninstall changed a PATH too long to rewrite"
    after=$(traces)
    [ "$after" = "$before" ] || fail "registry traces of ours before install ($before) and after uninstall ($after): $(trace_lines)"

    # For this user alone, into a folder given in quotes, with vexel.exe on a
    # PATH whose entries share the folder'"'"'s start or end; then uninstalled
    # with the settings.
    user_path="C:\\Tools\\Html Vexel Plugins;\\\\?\\C:\\Tools\\Html Vexel;;C:\\Tools\\Html Vexel\\bin"
    wine reg add "HKCU\\Environment" /v Path /t REG_EXPAND_SZ /d "$user_path" /f >/dev/null
    before=$(traces)
    wine "$installer" /S /CurrentUser /PATH "/D=C:\\Tools\\Html Vexel"
    wineserver -w
    user_dir="$c/Tools/Html Vexel"
    installed_files "$user_dir"
    query "HKCU\\$uninstall_key" | grep -q "DisplayName    REG_SZ    Html Vexel" || fail "no per-user uninstall entry"
    query "HKLM\\$uninstall_key" | grep -q DisplayName && fail "the per-user install wrote a machine-wide entry"
    [ "$(path_value "HKCU\\Environment")" = "$user_path;C:\\Tools\\Html Vexel" ] ||
        fail "/PATH did not add the one entry: $(path_value "HKCU\\Environment")"
    wine "$user_dir/uninstall.exe" /S /REMOVESETTINGS
    wineserver -w
    [ ! -e "$user_dir" ] || fail "the per-user folder is left behind"
    [ "$(path_value "HKCU\\Environment")" = "$user_path" ] ||
        fail "the uninstall did not give back the PATH as it was: $(path_value "HKCU\\Environment")"
    query "$settings_key" >/dev/null && fail "/REMOVESETTINGS kept the settings"
    after=$(traces)
    [ "$after" = "$before" ] || fail "registry traces of ours before install ($before) and after uninstall ($after): $(trace_lines)"

    # The interactive installer, "just for me" chosen on its page by an
    # administrator (whose default is everyone).
    wine "$installer" &
    timeout 240 wine "$probe" --installer "Install just for me" || fail "no \"just for me\" install through the pages"
    timeout 60 wineserver -w || wineserver -k
    user_dir=$(ls -d "$c"/users/*/AppData/Local/Programs/"Html Vexel" 2>/dev/null | head -1)
    [ -n "$user_dir" ] && installed_files "$user_dir" || fail "the install chosen \"just for me\" is not in the user'"'"'s programs"
    query "HKLM\\$uninstall_key" | grep -q DisplayName && fail "the install chosen \"just for me\" wrote a machine-wide entry"
    [ -n "$user_dir" ] && wine "$user_dir/uninstall.exe" /S /REMOVESETTINGS
    wineserver -w
    after=$(traces)
    [ "$after" = "$before" ] || fail "registry traces of ours before install ($before) and after uninstall ($after): $(trace_lines)"

    [ "$failures" -eq 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
    echo "installer_test: installed, started through the verb, upgraded and uninstalled cleanly"
'
