# bash completion for talvikctl

_talvikctl() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands="list version read write counters firmware"
    local command="" word
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        case $word in
        list | version | read | write | counters | firmware)
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
        list | counters) mapfile -t COMPREPLY < <(compgen -W "--json --help" -- "$cur") ;;
        *) mapfile -t COMPREPLY < <(compgen -W "--help" -- "$cur") ;;
        esac
        return
    fi
    local pattern
    case $command in
    read | write) pattern='*.pro' ;;
    firmware) pattern='*.bin' ;;
    *) return ;;
    esac
    # Folders to walk into, and files of the command's kind.
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$cur"; compgen -f -X "!$pattern" -- "$cur")
}
complete -F _talvikctl talvikctl
