# bash completion for quillfen-cli

_quillfen_cli() {
    local cur prev words cword
    if declare -F _init_completion >/dev/null; then
        _init_completion || return
    else
        cur=${COMP_WORDS[COMP_CWORD]}
        prev=${COMP_WORDS[COMP_CWORD - 1]}
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
    fi

    local command="" word
    for word in "${words[@]:1:cword-1}"; do
        case $word in
            find | dupes | index) command=$word; break ;;
        esac
    done

    case $prev in
        --in)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return ;;
        --format)
            if [[ $command == index ]]; then
                mapfile -t COMPREPLY < <(compgen -W "table tsv json" -- "$cur")
                return
            fi
            mapfile -t COMPREPLY < <(compgen -W "paths table tsv csv jsonl" -- "$cur")
            return ;;
        --sort)
            mapfile -t COMPREPLY < <(compgen -W "name folder type modified size" -- "$cur")
            return ;;
        --modified)
            mapfile -t COMPREPLY < <(compgen -W "week month year" -- "$cur")
            return ;;
        --size)
            mapfile -t COMPREPLY < <(compgen -W "small medium large" -- "$cur")
            return ;;
        --encodings)
            # A comma list: complete the name behind the last comma.
            local done=${cur%"${cur##*,}"}
            mapfile -t COMPREPLY < <(compgen -P "$done" -W "ansi unicode utf8" -- "${cur##*,}")
            compopt -o nospace 2>/dev/null
            return ;;
        --name | --text | --hex | --modified-between | --size-at-least | --size-at-most)
            return ;;
    esac

    local output="--format --null --quiet --help"
    case $command in
        "")
            mapfile -t COMPREPLY < <(compgen -W "find dupes index --help --version" -- "$cur") ;;
        find)
            mapfile -t COMPREPLY < <(compgen -W "--in --name --no-subfolders --no-index --text --hex \
                --match-case --encodings --modified --modified-between --size --size-at-least \
                --size-at-most --sort $output" -- "$cur") ;;
        dupes)
            if [[ $cur == -* ]]; then
                mapfile -t COMPREPLY < <(compgen -W "--in --match-name --match-extension \
                    --match-time --match-body --no-match-body --no-index $output" -- "$cur")
            else
                compopt -o filenames 2>/dev/null
                mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            fi ;;
        index)
            if [[ $prev == index ]]; then
                mapfile -t COMPREPLY < <(compgen -W "add remove list update" -- "$cur")
            elif [[ $cur == -* ]]; then
                mapfile -t COMPREPLY < <(compgen -W "--format --help" -- "$cur")
            else
                compopt -o filenames 2>/dev/null
                mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            fi ;;
    esac
}
complete -F _quillfen_cli quillfen-cli
