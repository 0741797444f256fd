# bash completion for vexel                                  -*- shell-script -*-

_vexel() {
    local cur prev words cword
    _init_completion || return

    local commands="compress restore verify decode expand help"
    local command="" i
    for ((i = 1; i < cword; i++)); do
        case "${words[i]}" in
            compress | restore | verify | decode | expand | help)
                command=${words[i]}
                break
                ;;
        esac
    done

    case "$prev" in
        --password | --iterations | -j | --jobs)
            return
            ;;
        --codec)
            COMPREPLY=($(compgen -W "deflate lzma" -- "$cur"))
            return
            ;;
        --password-file | --log | -o | --output)
            _filedir
            return
            ;;
        --site | -O | --output-dir)
            _filedir -d
            return
            ;;
        --other-files)
            COMPREPLY=($(compgen -W "copy link skip" -- "$cur"))
            return
            ;;
        --files0-from)
            _filedir
            [[ $cur == - || -z $cur ]] && COMPREPLY+=(-)
            return
            ;;
    esac

    local options
    case "$command" in
        "")
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W "--help --version -h -V" -- "$cur"))
            else
                COMPREPLY=($(compgen -W "$commands" -- "$cur"))
            fi
            return
            ;;
        help)
            COMPREPLY=($(compgen -W "compress restore verify decode expand" -- "$cur"))
            return
            ;;
        compress)
            options="--vbscript --javascript --keep-whitespace --keep-high-bytes --password --password-file
                --high-speed --modern --codec --site --retrain --encrypt --iterations --recursive --follow-links-anywhere --jobs --dry-run --log --quiet --json
                --files0-from --output-dir --other-files --help -r -j -n -q -h -O"
            ;;
        restore)
            options="--recursive --follow-links-anywhere --force --dry-run --quiet --files0-from --help -r -f -n -q -h"
            ;;
        verify)
            options="--password --password-file --recursive --follow-links-anywhere --quiet --files0-from
                --output-dir --other-files --help -r -q -h -O"
            ;;
        decode | expand)
            options="--output --password --password-file --help -o -h"
            ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ $command == compress ]] && [[ " ${words[*]} " != *" -O "* && " ${words[*]} " != *" --output-dir "* ]]; then
        # Pages in any letter case (page.Html too), and folders.
        _filedir '[hH][tT][mM]?([lL])'
    else
        _filedir
    fi
} &&
    complete -F _vexel vexel
