# fish completion for quillfen-cli

set -l subcommands find dupes index
complete -c quillfen-cli -f
complete -c quillfen-cli -n "not __fish_seen_subcommand_from $subcommands" -a find -d 'Find files and folders'
complete -c quillfen-cli -n "not __fish_seen_subcommand_from $subcommands" -a dupes -d 'Find the duplicates of one file'
complete -c quillfen-cli -n "not __fish_seen_subcommand_from $subcommands" -a index -d 'Index folders for fast name searches'
complete -c quillfen-cli -s h -l help -d 'Print the usage and exit'
complete -c quillfen-cli -n "not __fish_seen_subcommand_from $subcommands" -l version -d 'Print the version and exit'

# Both subcommands
complete -c quillfen-cli -n "__fish_seen_subcommand_from $subcommands" -l in -x -a '(__fish_complete_directories)' -d 'Folder to search'
complete -c quillfen-cli -n "__fish_seen_subcommand_from $subcommands" -l format -x -a 'paths table tsv csv jsonl' -d 'Output format'
complete -c quillfen-cli -n "__fish_seen_subcommand_from $subcommands" -l null -d 'End each path with a NUL byte'
complete -c quillfen-cli -n "__fish_seen_subcommand_from $subcommands" -l quiet -d 'Show no progress line'

# find
set -l find "__fish_seen_subcommand_from find"
complete -c quillfen-cli -n $find -l name -x -d 'Name patterns separated by blanks'
complete -c quillfen-cli -n $find -l no-subfolders -d 'Search only the folder itself'
complete -c quillfen-cli -n $find -l no-index -d 'Walk even where an index could answer'
complete -c quillfen-cli -n $find -l text -x -d 'Content text'
complete -c quillfen-cli -n $find -l hex -x -d 'Content bytes in hexadecimal'
complete -c quillfen-cli -n $find -l match-case -d 'Compare content text with regard to case'
complete -c quillfen-cli -n $find -l encodings -x -a '(__fish_complete_list , "printf \'%s\n\' ansi unicode utf8")' -d 'Forms of the content text'
complete -c quillfen-cli -n $find -l modified -x -a 'week month year' -d 'Modified in the last'
complete -c quillfen-cli -n $find -l modified-between -x -d 'Two days YYYY-MM-DD'
complete -c quillfen-cli -n $find -l size -x -a 'small medium large' -d 'Size class'
complete -c quillfen-cli -n $find -l size-at-least -x -d 'Size in KB'
complete -c quillfen-cli -n $find -l size-at-most -x -d 'Size in KB'
complete -c quillfen-cli -n $find -l sort -x -a 'name folder type modified size' -d 'Columns clicked in order'

# dupes: the reference file, and what else must match
set -l dupes "__fish_seen_subcommand_from dupes"
complete -c quillfen-cli -n $dupes -F
complete -c quillfen-cli -n $dupes -l match-name -d 'Same name without extension'
complete -c quillfen-cli -n $dupes -l match-extension -d 'Same extension'
complete -c quillfen-cli -n $dupes -l match-time -d 'Same modification time'
complete -c quillfen-cli -n $dupes -l match-body -d 'Same content (the default)'
complete -c quillfen-cli -n $dupes -l no-match-body -d 'Compare no content'
complete -c quillfen-cli -n $dupes -l no-index -d 'Walk even where an index could answer'

# index
set -l actions add remove list update
complete -c quillfen-cli -n "__fish_seen_subcommand_from index; and not __fish_seen_subcommand_from $actions" -a "$actions"
complete -c quillfen-cli -n "__fish_seen_subcommand_from add remove update" -a '(__fish_complete_directories)'
complete -c quillfen-cli -n "__fish_seen_subcommand_from list" -l format -x -a 'table tsv json' -d 'Output format'
