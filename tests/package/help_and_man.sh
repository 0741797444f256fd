#!/usr/bin/env bash
# vexel --help, the man page source, the desktop program's help page on the
# command line and the shell completions name the same options, command by
# command; each completion file loads in its shell.
#   tests/package/help_and_man.sh VEXEL SOURCE_DIR
set -euo pipefail
vexel=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
source_dir=$(cd "$2" && pwd)
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

# The commands: those --help lists are the man page's and the completions'.
sorted_words() { tr ' ' '\n' | grep . | sort -u | paste -sd ' '; }
from_help=$("$vexel" --help | sed -n '/^Commands:/,/^$/p' | sed -n 's/^  \([a-z]\+\) .*/\1/p' | sorted_words)
from_man=$(sed -n 's/^\*vexel \([a-z]\+\)\*.*/\1/p' "$man_source" | sorted_words)
from_bash=$(sed -n 's/^ *local commands="\(.*\)"$/\1/p' "$completions/vexel.bash" | sorted_words)
from_zsh=$(sed -n "s/^ *'\([a-z]\+\):.*/\1/p" "$completions/_vexel" | sorted_words)
from_fish=$(sed -n 's/^set -l commands //p' "$completions/vexel.fish" | sorted_words)
[[ $from_help == *help* ]] || fail "vexel --help does not list the help command: $from_help"
for source in man bash zsh fish; do
    from=from_$source
    [ "${!from}" = "$from_help" ] || fail "the commands of $source (${!from}) are not those of --help ($from_help)"
done

# A man page line that begins with a dot is read as a request and loses it.
if grep -n '^\.' "$man_source" >&2; then
    fail "lines of the man page source begin with a dot"
fi

# The page-finding recipes of the README and the man page take the pages
# 'vexel compress --recursive' takes (over the examples, a page in upper
# case among them).
site=$(mktemp -d)
cp -r "$source_dir/examples" "$site/site"
taken=$(cd "$site" && "$vexel" compress --recursive --dry-run --json site 2>/dev/null |
    sed -n 's/^{"type":"page","path":"\([^"]*\)".*/\1/p' | sort || true)
# (scdoc's escapes taken off the man page's: \\ and \*).
recipes=$({ grep -ho "find site .* -print0" "$source_dir/README.md"
            grep -ho "find site .* -print0" "$man_source" | sed 's/\\\(.\)/\1/g'; } | sort -u)
[ -n "$recipes" ] || fail "no find recipes found in the README and the man page"
while IFS= read -r recipe; do
    found=$(cd "$site" && eval "${recipe% -print0}" | sort || true)
    [ "$found" = "$taken" ] || fail "'$recipe' finds other pages than vexel: $(diff <(echo "$taken") <(echo "$found") | paste -sd ' ')"
done <<<"$recipes"
rm -rf "$site"

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
# compress offers pages in any letter case and folders, not other files.
pages=$(mktemp -d)
mkdir "$pages/folder"
touch "$pages/page.Html" "$pages/Other.HTM" "$pages/notes.txt"
offered=$(cd "$pages" && bash_offers vexel compress "" | tr ' ' '\n' | LC_ALL=C sort | paste -sd ' ')
[ "$offered" = "Other.HTM folder page.Html" ] || fail "bash offers '$offered' for 'vexel compress '"
offered=$(cd "$pages" && fish --no-config -c "source '$completions/vexel.fish'; complete -C 'vexel compress '" |
    LC_ALL=C sort | paste -sd ' ')
[ "$offered" = "Other.HTM folder/ page.Html" ] || fail "fish offers '$offered' for 'vexel compress '"
rm -rf "$pages"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)" >&2
    exit 1
fi
echo "help, man page, help page and completions agree"
