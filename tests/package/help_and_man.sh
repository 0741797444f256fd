#!/usr/bin/env bash
# vexel --help, the man page source, the desktop program's help page on the
# command line and the shell completions name the same options, command by
# command; each completion file loads in its shell.
#   tests/package/help_and_man.sh VEXEL SOURCE_DIR
set -euo pipefail
vexel=$1
source_dir=$2
man_source=$source_dir/docs/vexel.1.scd
completions=$source_dir/packaging/completions
help_page=$source_dir/app/help/command-line.htm
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The options a help text defines: its lines that begin with blanks and a dash.
help_options() {
    grep -E '^ +-' | grep -oE '(^|[ ,])--?[a-zA-Z][a-zA-Z0-9-]*' | tr -d ' ,' | sort -u
}

# The options the man page defines in one section: the lines that begin with
# a bold option (*--jobs*). The section runs from its heading to the next.
man_options() {
    local heading=$1
    awk -v heading="$heading" '
        $0 == heading { inside = 1; next }
        inside && /^#/ { inside = 0 }
        inside && /^\*-/ { print }' "$man_source" |
        grep -oE '\*--?[a-zA-Z][a-zA-Z0-9-]*\*' | tr -d '*' | sort -u
}

# The options the help page gives in one command's section: the option cells
# of its tables (<td><code>-j, --jobs N</code>). A section runs from its
# <h2 id="COMMAND"> to the next heading.
page_options() {
    local id=$1
    awk -v start="<h2 id=\"$id\">" '
        index($0, start) { inside = 1; next }
        inside && /<h[12]/ { inside = 0 }
        inside' "$help_page" |
        grep -oE '<tr><td><code>[^<]*</code>' | sed -e 's/<[^>]*>//g' |
        grep -oE '(^|[ ,])--?[a-zA-Z][a-zA-Z0-9-]*' | tr -d ' ,' | sort -u
}

for command in "" compress restore verify decode expand; do
    if [ -z "$command" ]; then
        help=$("$vexel" --help)
        heading="# OPTIONS"
    else
        help=$("$vexel" "$command" --help)
        heading="## $command"
    fi
    from_help=$(help_options <<<"$help")
    from_man=$(man_options "$heading")
    [ -n "$from_help" ] || fail "no options found in the help of '${command:-vexel}'"
    if [ "$from_help" != "$from_man" ]; then
        fail "the options of '${command:-vexel}' differ between --help (<) and the man page (>):"
        diff <(echo "$from_help") <(echo "$from_man") >&2 || true
    fi
    # The help page names each command's -h/--help once, for all of them.
    if [ -z "$command" ]; then
        wanted=$from_help
    else
        wanted=$(grep -vxE -- '-h|--help' <<<"$from_help")
    fi
    from_page=$(page_options "${command:-vexel}")
    if [ "$wanted" != "$from_page" ]; then
        fail "the options of '${command:-vexel}' differ between --help (<) and $(basename "$help_page") (>):"
        diff <(echo "$wanted") <(echo "$from_page") >&2 || true
    fi
    # Every command is in the man page's synopsis, and every option in each
    # completion file.
    if [ -n "$command" ] && ! grep -qE "^\*vexel $command\*" "$man_source"; then
        fail "the synopsis lacks 'vexel $command'"
    fi
    for option in $from_help; do
        for file in vexel.bash _vexel vexel.fish; do
            case $file:$option in
                # fish names options without their dashes (-l jobs, -s j).
                vexel.fish:--*) grep -qE -- "-l ${option#--}( |$)" "$completions/$file" ;;
                vexel.fish:-*) grep -qE -- "-s ${option#-}( |$)" "$completions/$file" ;;
                *) grep -qE -- "(^|[^a-z-])$option([^a-z0-9-]|$)" "$completions/$file" ;;
            esac || fail "$file does not offer $option of '${command:-vexel}'"
        done
    done
done

# The completion files load, and offer what they should.
zsh -n "$completions/_vexel" || fail "_vexel does not parse"
fish -n "$completions/vexel.fish" || fail "vexel.fish does not parse"
offered=$(fish --no-config -c "source '$completions/vexel.fish'; complete -C 'vexel compress --fil'")
[[ $offered == *--files0-from* ]] || fail "fish offers '$offered' for 'vexel compress --fil'"
offered=$(fish --no-config -c "source '$completions/vexel.fish'; complete -C 'vexel res'")
[[ $offered == restore* ]] || fail "fish offers '$offered' for 'vexel res'"
bash_offers() {
    bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
        _vexel vexel "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        echo "${COMPREPLY[*]}"' bash "$completions/vexel.bash" "$@"
}
offered=$(bash_offers vexel compress --js)
[ "$offered" = "--json" ] || fail "bash offers '$offered' for 'vexel compress --js'"
offered=$(bash_offers vexel ve)
[ "$offered" = "verify" ] || fail "bash offers '$offered' for 'vexel ve'"
offered=$(bash_offers vexel decode --pass)
[ "$offered" = "--password --password-file" ] || fail "bash offers '$offered' for 'vexel decode --pass'"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)" >&2
    exit 1
fi
echo "help, man page, help page and completions agree"
