# shellcheck shell=bash
# Shared by the install and package tests: the files every installation holds, and a demo fill
# run by an installed rowsmith-fill.

# Fails, naming them, unless every file of tests/install/installed_files is under the folder $1
# (a link counts when what it points to is there).
check_installed_files() {
    local root=$1 path missing=0
    while read -r path; do
        if [ ! -e "$root/$path" ]; then
            echo "not installed: $path" >&2
            missing=1
        fi
    done < "$(dirname "${BASH_SOURCE[0]}")/installed_files"
    return $missing
}

# Runs the scenario $2 with the program $1 into a fresh data and configuration folder under $3,
# so that the Demo alias makes its database there, then checks that every table the scenario
# empties and fills holds the scenario's record count.
check_demo_fill() {
    local fill=$1 scenario=$2 home=$3
    XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config "$fill" --quiet --seed 7 "$scenario"
    local database=$home/data/rowsmith/demo.sqlite checked=0 table method count actual
    [ -f "$database" ] || { echo "no demo database at $database" >&2; return 1; }
    while read -r table method count; do
        [ "$method" = 0 ] || continue
        actual=$(sqlite3 "$database" "SELECT COUNT(*) FROM \"$table\"")
        if [ "$actual" != "$count" ]; then
            echo "table $table holds $actual records, not $count" >&2
            return 1
        fi
        checked=$((checked + 1))
    # Scenario files end their lines with CR LF.
    done < <(awk -F= '{sub(/\r$/, "")}
                      /^\[Table /{table=substr($0, 8, length($0) - 8)}
                      /^FieldMethod=/{method=$2}
                      /^RecCount=/{print table, method, $2}' "$scenario")
    [ "$checked" -gt 0 ] || { echo "the scenario empties and fills no table" >&2; return 1; }
}

# Fails unless the program $1, run with an empty user folder under $3, finds the shipped library
# first-names in the folder $2.
check_shipped_libraries() {
    local fill=$1 folder=$2 home=$3 found
    found=$(XDG_DATA_HOME=$home/data "$fill" --list-libraries \
        | awk '$1 == "first-names" && $3 == "shipped" {print $4}')
    if [ "$found" != "$folder/first-names.txt" ]; then
        echo "first-names is not found as shipped in $folder: '$found'" >&2
        return 1
    fi
}
