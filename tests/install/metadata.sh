#!/usr/bin/env bash
# The installed metadata passes the ecosystem's own checkers, and the manual page of
# kestova-cli documents every command and option the built program has.
#   metadata.sh SOURCE_DIR BIN_DIR
set -uo pipefail
src=$1 bin=$2
. "$src/tests/install/lib.sh"
need desktop-file-validate; need appstreamcli; need man

desktop-file-validate "$src/dist/org.kestova.Kestova.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$src/dist/org.kestova.Kestova.metainfo.xml" || fail "AppStream metadata"

for page in kestova.1 kestova-cli.1; do
    # man skips formatting when its output goes nowhere, so give it a real file.
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$src/dist/man/$page" 2>&1 >"$(mktemp)" </dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
done

page="$src/dist/man/kestova-cli.1"
help=$("$bin/kestova-cli" --help) || fail "kestova-cli --help"
commands=$(sed -n '/^Commands:/,/^$/{s/^  \([a-z0-9][a-z0-9-]*\) .*/\1/p}' <<<"$help")
[ -n "$commands" ] || fail "no commands in kestova-cli --help"
for command in $commands; do
    # A command is documented as a tagged paragraph of the COMMANDS section.
    sed -n '/^\.SH COMMANDS/,/^\.SH /p' "$page" | grep -A1 '^\.TP' | grep -qE "^\.B[IR]? ${command//-/\\\\-}( |$)" ||
        fail "kestova-cli.1 does not document the command $command"
done
for option in $(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u); do
    [ "$option" = --help-all ] && continue  # Qt's own, not ours
    grep -qF -- "${option//-/\\-}" "$page" || fail "kestova-cli.1 does not document $option"
done
grep -qF 'kestova.ini' <<<"$help" || fail "kestova-cli --help does not say where the configuration file is"
finish
