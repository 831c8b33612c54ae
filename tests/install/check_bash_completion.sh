#!/usr/bin/env bash
# Completes zalvo-cli command lines with the bash completion as installed, as bash would on
# the Tab key, and compares the offered words.
#   check_bash_completion.sh COMPLETION_FILE
set -uo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
. "$here/expected_files.sh"
. /usr/share/bash-completion/bash_completion
. "$1"

# complete_words WORD... : the words offered for the last one (an empty last word: after a blank).
complete_words() {
    COMP_WORDS=(zalvo-cli "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _zalvo_cli
    [ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | tr '\n' ' '
}

expect() {
    local expected="$1"
    shift
    local offered
    offered="$(complete_words "$@")"
    [ "$offered" = "$expected" ] || fail "zalvo-cli $* <Tab>: offered '$offered', expected '$expected'"
}

expect "identify log read " ""
expect "read " "re"
expect "--mode " read --mo
expect "0 1 2 3 auto " read --range ""
expect "4 F M V " read --mode ""
expect "115 235 255 " log --simulate ""
expect "--reconnect " log --rec
expect "--json " identify --j
expect "" identify --mode
echo "bash completion: commands, options and their values complete"
