#!/usr/bin/env bash
# Bash completion of kestova-cli, as bash itself calls it: the command line split at
# bash's word breaks (':' included), the cursor at its end.
#   completion.sh SOURCE_DIR BIN_DIR
set -uo pipefail
src=$1 bin=$2
. "$src/tests/install/lib.sh"
[ -r /usr/share/bash-completion/bash_completion ] || { echo "FAIL: bash-completion is missing (scripts/setup installs it)" >&2; exit 1; }
. /usr/share/bash-completion/bash_completion
. "$src/dist/kestova-cli.bash"
PATH=$bin:$PATH

# expect LINE WORD... : completing LINE offers exactly the WORDs (in any order).
expect()
{
    local line=$1
    shift
    COMP_LINE=$line COMP_POINT=${#line}
    read -ra COMP_WORDS <<<"${line//:/ : }"
    [[ $line == *' ' ]] && COMP_WORDS+=('')
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _kestova_cli kestova-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    local got want
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
    want=$(printf '%s\n' "$@" | sort | xargs)
    [ "$got" = "$want" ] || fail "'$line' offers [$got], expected [$want]"
}

commands=$(kestova-cli --help | sed -n '/^Commands:/,/^$/{s/^  \([a-z0-9][a-z0-9-]*\) .*/\1/p}')
# shellcheck disable=SC2086
expect 'kestova-cli ' $commands
expect 'kestova-cli --port SIM:atmega8 --chip atmega8 pro' probe
expect 'kestova-cli --ch' --chip
expect 'kestova-cli probe --e' --eeprom
expect 'kestova-cli --chip atmega8' atmega8 atmega8515 atmega8535 atmega88p atmega88
expect 'kestova-cli --chip t' t13 t13a t25 t45 t85 t2313
expect 'kestova-cli --mode ' normal differential fast
expect 'kestova-cli --port SIM:atmega3' atmega32 atmega328p atmega328   # bash inserts after the colon
expect 'kestova-cli --port SIM:m3' m328p m328 m32
expect 'kestova-cli --port SIM:s' s8252 s8253 s53 s52 s51
expect 'kestova-cli --port SIM:n' none
expect 'kestova-cli --chip s' s8252 s8253 s53 s52 s51
expect 'kestova-cli fuses --f' --force
ports=$(cd /dev && ls -d ttyS* ttyUSB* ttyACM* ttyAMA* rfcomm* 2>/dev/null | sed 's|^|/dev/|')
# shellcheck disable=SC2086
expect 'kestova-cli --port /dev/tty' $(grep '^/dev/tty' <<<"$ports")
expect 'kestova-cli --chip s52 lock ' 1 2 3

# File arguments: HEX in, BIN out for hex2bin, and the reverse.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
touch "$work/a.hex" "$work/b.bin" "$work/c.txt" "$work/d.ihx"
cd "$work" || exit 1
expect 'kestova-cli hex2bin ' a.hex d.ihx
expect 'kestova-cli hex2bin a.hex ' b.bin
expect 'kestova-cli bin2hex ' b.bin
expect 'kestova-cli --port SIM:s52 --chip s52 read ' a.hex b.bin d.ihx
expect 'kestova-cli --port SIM:s52 --chip s52 write ' a.hex b.bin d.ihx
finish
