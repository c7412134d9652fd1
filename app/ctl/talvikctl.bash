# bash completion for talvikctl

_talvikctl() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands="list version read write counters firmware backups restore"
    local command="" word
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        case $word in
        list | version | read | write | counters | firmware | backups | restore)
            command=$word
            break
            ;;
        esac
    done
    if [[ $prev == --wait ]]; then
        return
    fi
    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            mapfile -t COMPREPLY < <(compgen -W "--help --version --wait" -- "$cur")
        else
            mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur")
        fi
        return
    fi
    if [[ $cur == -* ]]; then
        case $command in
        list) mapfile -t COMPREPLY < <(compgen -W "--json --help" -- "$cur") ;;
        counters) mapfile -t COMPREPLY < <(compgen -W "--json --csv --since --help" -- "$cur") ;;
        write | firmware | restore)
            mapfile -t COMPREPLY < <(compgen -W "--no-backup --help" -- "$cur") ;;
        *) mapfile -t COMPREPLY < <(compgen -W "--help" -- "$cur") ;;
        esac
        return
    fi
    local pattern
    case $command in
    read | write) pattern='*.pro' ;;
    restore)
        # The newest backup by name, or a backup file of one's own.
        mapfile -t COMPREPLY < <(compgen -W latest -- "$cur")
        compopt -o filenames 2>/dev/null
        mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X '!*.pro' -- "$cur")
        return
        ;;
    firmware) pattern='*.bin' ;;
    *) return ;;
    esac
    # Folders to walk into, and files of the command's kind.
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X "!$pattern" -- "$cur")
}
complete -F _talvikctl talvikctl
