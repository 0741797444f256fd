# fish completion for vexel

set -l commands compress restore verify decode expand help

function __vexel_command_is
    set -l tokens (commandline -opc)
    for token in $tokens[2..-1]
        if contains -- $token compress restore verify decode expand help
            contains -- $token $argv
            return
        end
    end
    return 1
end

complete -c vexel -f
complete -c vexel -n "not __fish_seen_subcommand_from $commands" -s h -l help -d 'Show the help'
complete -c vexel -n "not __fish_seen_subcommand_from $commands" -s V -l version -d 'Show the version'
complete -c vexel -n "not __fish_seen_subcommand_from $commands" -a compress -d 'Compress pages in place, keeping a _backup copy'
complete -c vexel -n "not __fish_seen_subcommand_from $commands" -a restore -d 'Put pages back from their _backup copies'
complete -c vexel -n "not __fish_seen_subcommand_from $commands" -a verify -d 'Check compressed pages against their _backup copies'
complete -c vexel -n "not __fish_seen_subcommand_from $commands" -a decode -d 'Print the text a compressed page expands to'
complete -c vexel -n "not __fish_seen_subcommand_from $commands" -a expand -d 'Print the text a raw data file expands to'
complete -c vexel -n "not __fish_seen_subcommand_from $commands" -a help -d 'Show the help of a command'
complete -c vexel -n "__vexel_command_is help" -a "compress restore verify decode expand"

# compress: pages (.htm and .html in any letter case) and folders; the other
# commands any file.
function __vexel_pages
    for path in (complete -C "__fish_command_without_completions "(commandline -ct))
        if string match -qr -- '/$' $path; or string match -qri -- '\.html?$' $path
            echo $path
        end
    end
end
complete -c vexel -n "__vexel_command_is compress" -a "(__vexel_pages)"
complete -c vexel -n "__vexel_command_is restore verify decode expand" -F
complete -c vexel -n "__vexel_command_is compress restore verify decode expand" -s h -l help -d 'Show the help'

complete -c vexel -n "__vexel_command_is compress" -l vbscript -d 'Write pages that expand with VBScript'
complete -c vexel -n "__vexel_command_is compress" -l javascript -d 'Write pages that expand with JavaScript (default)'
complete -c vexel -n "__vexel_command_is compress" -l keep-whitespace -d 'Keep whitespace between tags'
complete -c vexel -n "__vexel_command_is compress" -l keep-high-bytes -d 'Keep pairs of bytes above 128'
complete -c vexel -n "__vexel_command_is compress" -l high-speed -d 'Search a short window: faster, larger'
complete -c vexel -n "__vexel_command_is compress" -l modern -d 'Write modern pages'
complete -c vexel -n "__vexel_command_is compress" -l codec -x -a 'deflate lzma' -d 'The codec of modern pages'
complete -c vexel -n "__vexel_command_is compress" -l site -x -a '(__fish_complete_directories)' -d 'Pages of the site at ROOT share one decoder file there'
complete -c vexel -n "__vexel_command_is compress" -l retrain -d 'With --site: train a new dictionary'
complete -c vexel -n "__vexel_command_is compress" -l encrypt -d 'Encrypt modern pages with the password'
complete -c vexel -n "__vexel_command_is compress" -l iterations -x -d 'Key iterations of --encrypt'
complete -c vexel -n "__vexel_command_is compress" -s j -l jobs -x -d 'Compress N pages in parallel'
complete -c vexel -n "__vexel_command_is compress" -l log -r -F -d 'Write the log lines to FILE as well'
complete -c vexel -n "__vexel_command_is compress" -l json -d 'One JSON object per page and a summary'
complete -c vexel -n "__vexel_command_is compress restore" -s n -l dry-run -d 'Report what would be done; write nothing'
complete -c vexel -n "__vexel_command_is compress restore verify" -s r -l recursive -d 'Take the pages of sub-folders too'
complete -c vexel -n "__vexel_command_is compress restore verify" -l follow-links-anywhere -d 'Follow a link in a folder to a page outside it'
complete -c vexel -n "__vexel_command_is restore" -s f -l force -d 'Put the backup back over any page, ours or not'
complete -c vexel -n "__vexel_command_is compress restore verify" -s q -l quiet -d 'Less output'
complete -c vexel -n "__vexel_command_is compress restore verify" -l files0-from -r -F -d 'Take the PATHs from FILE, NUL-separated (- for standard input)'
complete -c vexel -n "__vexel_command_is compress verify decode expand" -l password -x -d 'The password of the pages'
complete -c vexel -n "__vexel_command_is compress verify decode expand" -l password-file -r -F -d 'Read the password from the first line of FILE'
complete -c vexel -n "__vexel_command_is decode expand" -s o -l output -r -F -d 'Write to OUT instead of standard output'
complete -c vexel -n "__vexel_command_is compress verify" -s O -l output-dir -x -a '(__fish_complete_directories)' -d 'Compress the folder SRC into OUT (verify: check OUT against SRC)'
complete -c vexel -n "__vexel_command_is compress verify" -l other-files -x -a 'copy link skip' -d 'With --output-dir: the files that are not pages'
