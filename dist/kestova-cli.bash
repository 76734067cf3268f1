# bash completion for kestova-cli: commands, options, chip keywords, write modes,
# the serial ports present and the simulated chips; file names where a command takes one.

_kestova_cli_commands()
{
    # The installed program's own list, so the completion never names a command it lacks.
    "$1" --help 2>/dev/null | sed -n '/^Commands:/,/^$/{s/^  \([a-z0-9][a-z0-9-]*\) .*/\1/p}'
}

_kestova_cli_chips()
{
    # Every name --chip takes: the keyword and the other names of each chip it lists.
    "$1" chips 2>/dev/null | cut -f1,2 | tr '\t ' '\n\n' | grep -v '^-\?$'
}

_kestova_cli_ports()
{
    local dev
    for dev in /dev/ttyS* /dev/ttyUSB* /dev/ttyACM* /dev/ttyAMA* /dev/rfcomm*; do
        [[ -e $dev ]] && printf '%s\n' "$dev"
    done
    # Every chip has a simulated one of the same name, and "none" is an empty socket.
    printf 'SIM:%s\n' $(_kestova_cli_chips "$1") none
}

_kestova_cli()
{
    local cur prev words cword
    _init_completion -n : || return

    case $prev in
        --port)
            COMPREPLY=($(compgen -W "$(_kestova_cli_ports "${words[0]}")" -- "$cur"))
            __ltrim_colon_completions "$cur"
            return
            ;;
        --chip)
            COMPREPLY=($(compgen -W "$(_kestova_cli_chips "${words[0]}")" -- "$cur"))
            return
            ;;
        --mode)
            COMPREPLY=($(compgen -W 'normal differential fast' -- "$cur"))
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--port --chip --eeprom --mode --force --help --version' -- "$cur"))
        return
    fi

    # The command is the first word that is neither an option nor an option's value.
    local i command= nargs=0
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --port | --chip | --mode) ((i++)) ;;
            -*) ;;
            *)
                if [[ -z $command ]]; then
                    command=${words[i]}
                else
                    ((nargs++))
                fi
                ;;
        esac
    done

    if [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$(_kestova_cli_commands "${words[0]}")" -- "$cur"))
        return
    fi
    case $command in
        # The image files: binary, and Intel HEX by the names toolchains give it.
        write | compare | read) ((nargs == 0)) && _filedir '@(bin|hex|ihx|ihex|eep|BIN|HEX|IHX|IHEX|EEP)' ;;
        hex2bin) ((nargs == 0)) && _filedir '@(hex|ihx|ihex|eep|HEX|IHX|IHEX|EEP)' || { ((nargs == 1)) && _filedir '@(bin|BIN)'; } ;;
        bin2hex) ((nargs == 0)) && _filedir '@(bin|BIN)' || { ((nargs == 1)) && _filedir '@(hex|HEX)'; } ;;
        lock) ((nargs == 0)) && COMPREPLY=($(compgen -W '1 2 3' -- "$cur")) ;;
    esac
} &&
    complete -F _kestova_cli kestova-cli
