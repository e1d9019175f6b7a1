#!/usr/bin/env bash
# The widesave tool's commands, messages and exit statuses, run as a user
# runs them.
#   cli_test.sh TOOL                natively, in a scratch base folder
#   cli_test.sh TOOL EMULATOR...    the same through an emulator (qemu-user)
#   cli_test.sh TOOL.exe wine       under Wine, in the prefix's own LOCALAPPDATA
set -uo pipefail
# Wine turns the command line into UTF-16 by the locale.
export LC_ALL=C.UTF-8
tool=$1
shift
emulator=("$@")
runner=${1:-}
scratch=$(mktemp -d /tmp/widesave-cli-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
passed=0 failed=0
subdir="Sauvegardes é 🎮 $$"

if [ "$runner" = wine ]; then
    native_path() { printf 'Z:%s' "${1//\//\\}"; }
    local_appdata=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local)
    save_dir="$local_appdata/$subdir"
    trap 'rm -rf "$scratch" "$save_dir"' EXIT
    ws() { wine "$tool" "$@"; }
    # cmd clears the variables for the tool alone; Wine sets them itself.
    ws_without_base() {
        wine cmd /c "set LOCALAPPDATA=&set APPDATA=&$(native_path "$(readlink -f "$tool")") $*"
    }
else
    native_path() { printf '%s' "$1"; }
    mkdir -p "$scratch/base"
    save_dir="$scratch/base/$subdir"
    ws() { env LOCALAPPDATA="$scratch/base" "${emulator[@]}" "$tool" "$@"; }
    ws_without_base() { env -u LOCALAPPDATA -u APPDATA -u XDG_DATA_HOME -u HOME "${emulator[@]}" "$tool" "$@"; }
fi

# check WHAT EXPECTED_STATUS STDERR_PATTERN -- COMMAND...
check() {
    local what=$1 status=$2 pattern=$3
    shift 4
    "$@" >"$scratch/out" 2>"$scratch/err" </dev/null
    local got=$?
    # A success says nothing on standard error; a failure says what happened.
    local said=false
    if [ -z "$pattern" ]; then [ -s "$scratch/err" ] || said=true; else grep -q -E -- "$pattern" "$scratch/err" && said=true; fi
    if [ "$got" = "$status" ] && $said; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL $what: status $got (expected $status), stderr:"
        sed 's/^/    /' "$scratch/err"
    fi
}

expect() {  # WHAT CONDITION...
    local what=$1
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL $what"; fi
}

every_byte="$scratch/données é.bin"
printf "$(printf '\\%03o' $(seq 0 255))" >"$every_byte"
hex=$(od -An -v -tx1 "$every_byte" | tr -d ' \n' | tr a-f A-F)

check "write before mkdir" 5 "mkdir' makes it" -- ws --subdir "$subdir" write 1 "$(native_path "$every_byte")"
check "mkdir" 0 "" -- ws --subdir "$subdir" mkdir
expect "the directory exists with its Unicode name" test -d "$save_dir"
check "mkdir again" 0 "" -- ws --subdir "$subdir" mkdir
check "read of a slot with no save" 3 "slot 1 has no save" -- ws --subdir "$subdir" read 1
check "exists of a slot with no save" 3 "slot 1 has no save" -- ws --subdir "$subdir" exists 1

check "first write" 0 "" -- ws --subdir "$subdir" write 1 "$(native_path "$every_byte")"
expect "first save is the x file" cmp -s "$every_byte" "$save_dir/Save1.rxdata"
check "exists" 0 "" -- ws --subdir "$subdir" exists 1
expect "exists prints x" test "$(cat "$scratch/out")" = x
check "second write" 0 "" -- ws --subdir "$subdir" write 1 "$(native_path "$every_byte")"
check "exists after two writes" 0 "" -- ws --subdir "$subdir" exists 1
expect "exists prints v" test "$(cat "$scratch/out")" = v
check "read to a file" 0 "" -- ws --subdir "$subdir" read 1 -o "$(native_path "$scratch/back é.bin")"
expect "every byte value comes back" cmp -s "$every_byte" "$scratch/back é.bin"
check "read to standard output" 0 "" -- ws --subdir "$subdir" read 1
expect "standard output carries the raw bytes" cmp -s "$every_byte" "$scratch/out"
check "read as hex" 0 "" -- ws --subdir "$subdir" read 1 --hex
expect "hex text of every byte" test "$(tr -d '\r\n' <"$scratch/out")" = "$hex"

printf '0aff\n' >"$scratch/lower.hex"
ws_from() { local input=$1; shift; ws "$@" <"$input"; }
check "write hex from standard input" 0 "" -- ws_from "$scratch/lower.hex" --subdir "$subdir" write 4 - --hex
expect "hex from standard input stored as bytes" test "$(od -An -tx1 "$save_dir/Save4.rxdata" | tr -d ' \n')" = 0aff
check "write bytes from standard input" 0 "" -- ws_from "$every_byte" --subdir "$subdir" write 5
expect "bytes from standard input stored" cmp -s "$every_byte" "$save_dir/Save5.rxdata"
printf 'XYZ\n' >"$scratch/bad.hex"
check "bad hex" 4 "not hex text" -- ws --subdir "$subdir" write 3 --hex "$(native_path "$scratch/bad.hex")"
expect "bad hex wrote nothing" test ! -e "$save_dir/Save3.rxdata"
check "hex file" 0 "" -- ws --subdir "$subdir" write 2 --hex "$(native_path "$scratch/lower.hex")"
expect "hex file stored as bytes" test "$(od -An -tx1 "$save_dir/Save2.rxdata" | tr -d ' \n')" = 0aff

check "list" 0 "" -- ws --subdir "$subdir" list
expect "list shows slot 1" grep -q -E '^ +1 +v +256' "$scratch/out"
expect "list shows slot 2" grep -q -E '^ +2 +x +2' "$scratch/out"
check "list as JSON" 0 "" -- ws --subdir "$subdir" list --slots 0-1 --json
expect "JSON list" test "$(tr -d '\r\n' <"$scratch/out")" = '[{"slot": 1, "letter": "v", "bytes": 256}]'

check "no base folder" 2 "no base folder" -- ws_without_base mkdir
check "unknown command" 1 "unknown command" -- ws frobnicate
check "slot that is not a number" 1 "one slot number" -- ws read one
check "missing command" 1 "no command" -- ws
check "help" 0 "" -- ws --help
expect "help documents the exit statuses" grep -q "exit status" "$scratch/out"
check "version" 0 "" -- ws --version
expect "version printed" grep -q -E '^widesave [0-9]+\.[0-9]+\.[0-9]+' "$scratch/out"

echo "cli: $passed passed, $failed failed"
[ "$failed" = 0 ]
