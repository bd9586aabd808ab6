#!/usr/bin/env bash
# Runs the bash completion of rowsmith-fill as bash does on a Tab, in a folder of scenario files
# and an alias configuration, and compares what it offers.
# Usage: completion_test.sh COMPLETION_FILE ROWSMITH_FILL
set -uo pipefail
completion=$1 fill=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir scenarios
touch demo.scn notes.txt
printf '[Test DB]\nDRIVER=SQLITE\nPATH=test.sqlite\n\n[Sales]\nDRIVER=SQLITE\nPATH=s.sqlite\n' \
    > aliases.ini
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
# shellcheck source=/dev/null
source "$completion"

failures=0
# expect "WORD WORD ..." "OFFERED1|OFFERED2|...": completes the last word, as bash splits the line.
expect() {
    local line=$1 want=$2 got
    read -r -a COMP_WORDS <<< "$line"
    [[ $line == *' ' ]] && COMP_WORDS+=("")
    COMP_WORDS[0]=$fill
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _rowsmith_fill
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -s -d '|')
    if [ "$got" != "$want" ]; then
        echo "'$line': offered '$got', expected '$want'" >&2
        failures=$((failures + 1))
    fi
}

expect "rowsmith-fill --list" "--list-aliases|--list-libraries|--list-tables"
expect "rowsmith-fill --q" "--quiet"
expect "rowsmith-fill --l" "--lint|--list-aliases|--list-libraries|--list-tables"
expect "rowsmith-fill --preview 3 --format " "csv|jsonl|table"
expect "rowsmith-fill --export out --format " "csv|jsonl|sql"
expect "rowsmith-fill " "demo.scn|scenarios"
expect "rowsmith-fill --seed " ""
expect "rowsmith-fill --aliases al" "aliases.ini"
expect "rowsmith-fill --aliases aliases.ini --list-tables " "Demo|Sales|Test DB"
expect "rowsmith-fill --aliases aliases.ini --list-tables T" "Test DB"
expect "rowsmith-fill --aliases = aliases.ini --list-tables S" "Sales"
expect "rowsmith-fill --list-tables " "Demo"
expect "rowsmith-fill --show-library first" "first-names"
expect "rowsmith-fill --show-library cou" "countries|country-codes"
mkdir -p "$XDG_DATA_HOME/rowsmith/libraries"
printf 'teal\n' > "$XDG_DATA_HOME/rowsmith/libraries/my colours.txt"
expect "rowsmith-fill --show-library my" "my colours"
exit $((failures > 0))
