#!/usr/bin/env bash
# The widesave tool's commands, messages and exit statuses, run as a user
# runs them.
#   cli_test.sh TOOL                natively, in a scratch base folder
#   cli_test.sh TOOL EMULATOR...    the same through an emulator (qemu-user)
#   cli_test.sh TOOL.exe wine       under Wine, in the prefix's own LOCALAPPDATA
set -uo pipefail
# Wine turns the command line into UTF-16 by the locale.
source "$(dirname "$0")/../scripts/lib/wine_environment.sh"
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
expect "list shows slot 1 with its size and time" grep -q -E '^ +1 +v +256  [0-9]{4}-[0-9]{2}-[0-9]{2}T' "$scratch/out"
expect "list shows slot 2" grep -q -E '^ +2 +x +2 ' "$scratch/out"
check "list as JSON" 0 "" -- ws --subdir "$subdir" list --slots 0-1 --json
expect "JSON list" grep -q -E '^\[\{"slot": 1, "letter": "v", "bytes": 256, "modified": "[0-9T:Z-]+"\}\]' "$scratch/out"
check "list over every slot number" 0 "" -- ws --subdir "$subdir" list --slots=-2147483648-2147483647
expect "every slot listed once" test "$(grep -c -E '^ +-?[0-9]+ ' "$scratch/out")" = 4
check "list of a missing directory" 3 "does not exist" -- ws --subdir "not $subdir" list
check "list with a bad range" 1 "FIRST-LAST" -- ws --subdir "$subdir" list --slots 5-1

# Where the saves are.
check "path" 0 "" -- ws --subdir "$subdir" path
expect "path names the save directory" grep -q -F "$subdir" "$scratch/out"
check "path of a slot" 0 "" -- ws --subdir "$subdir" path 1
expect "path of a slot names its v file" grep -q -F "$subdir" "$scratch/out"
expect "path of a slot ends in its file name" grep -q -E 'Save1\.rvdata.?$' "$scratch/out"
check "path of a slot with no save" 3 "slot 9 has no save" -- ws --subdir "$subdir" path 9

# Hex as other tools print it: wrapped lines and spaces between digits.
printf '0001020304050607\n08090a0b 0c0d0e0f\n  10\t11\r\n' >"$scratch/wrapped.hex"
check "hex with whitespace" 0 "" -- ws --subdir "$subdir" write 6 --hex "$(native_path "$scratch/wrapped.hex")"
expect "hex with whitespace stored" test "$(od -An -tx1 "$save_dir/Save6.rxdata" | tr -d ' \n')" = 000102030405060708090a0b0c0d0e0f1011
printf '00 11 -2\n' >"$scratch/dash.hex"
check "anything else in hex" 4 "not hex text" -- ws --subdir "$subdir" write 6 --hex "$(native_path "$scratch/dash.hex")"

# No empty save by accident.
: >"$scratch/empty.bin"
check "empty input" 4 "--force" -- ws --subdir "$subdir" write 7 "$(native_path "$scratch/empty.bin")"
expect "empty input wrote nothing" test ! -e "$save_dir/Save7.rxdata"
check "empty input with --force" 0 "" -- ws --subdir "$subdir" write 7 --force "$(native_path "$scratch/empty.bin")"
expect "an empty save is stored" test -f "$save_dir/Save7.rxdata" -a ! -s "$save_dir/Save7.rxdata"
if [ "$runner" != wine ] && command -v script >/dev/null; then
    # Standard input a terminal (script gives the tool one): refused, not waited on.
    terminal() {
        script -q -e -c "$(printf '%q ' env LOCALAPPDATA="$scratch/base" "${emulator[@]}" "$tool" \
            --subdir "$subdir" write 8)" /dev/null </dev/null >"$scratch/terminal"
    }
    terminal
    expect "standard input from a terminal is refused" test $? = 4
    expect "and the message says to pipe the save in" grep -q "pipe the save" "$scratch/terminal"
fi

# A negative slot needs '--' before it, as any argument starting with '-'.
printf 'negative' >"$scratch/negative.bin"
check "negative slot after --" 0 "" -- ws --subdir "$subdir" write -- -3 "$(native_path "$scratch/negative.bin")"
expect "negative slot stored" cmp -s "$scratch/negative.bin" "$save_dir/Save-3.rxdata"

# Backup and restore, into another subdirectory, byte for byte.
check "backup" 0 "" -- ws --subdir "$subdir" backup "$(native_path "$scratch/backup")"
expect "backup names each slot's file by its number" test "$(ls "$scratch/backup" | sort -n | tr '\n' ' ')" = "-3 1 2 4 5 6 7 "
expect "backup holds the current saves" cmp -s "$every_byte" "$scratch/backup/1"
check "mkdir of another subdirectory" 0 "" -- ws --subdir "$subdir 2" mkdir
check "restore" 0 "" -- ws --subdir "$subdir 2" restore "$(native_path "$scratch/backup")"
expect "restore says which slots it wrote" test "$(grep -c '^slot ' "$scratch/out")" = 7
for slot in -3 1 2 4 5 6 7; do
    check "read back restored slot $slot" 0 "" -- ws --subdir "$subdir 2" read -o "$(native_path "$scratch/restored")" -- "$slot"
    expect "restored slot $slot is byte for byte the backup" cmp -s "$scratch/backup/$slot" "$scratch/restored"
done
check "restore from a missing folder" 4 "cannot list" -- ws --subdir "$subdir 2" restore "$(native_path "$scratch/nothing")"

# Delete removes both letters, so that no older save comes back.
check "delete" 0 "" -- ws --subdir "$subdir" delete 1
expect "delete removed both files" test ! -e "$save_dir/Save1.rvdata" -a ! -e "$save_dir/Save1.rxdata"
check "read after delete" 3 "slot 1 has no save" -- ws --subdir "$subdir" read 1
check "delete of a slot with no save" 3 "slot 1 has no save" -- ws --subdir "$subdir" delete 1

if [ "$runner" != wine ]; then
    # One unreadable slot: its own row, and the listing goes on.
    ln -s "$scratch/gone/away" "$save_dir/Save9.rvdata"
    check "list with an unreadable slot" 0 "" -- ws --subdir "$subdir" list
    expect "the unreadable slot has its own row" grep -q -E '^ +9 +v +unreadable' "$scratch/out"
    expect "and the others are listed" grep -q -E '^ +2 +x +2 ' "$scratch/out"
    rm "$save_dir/Save9.rvdata"
fi

# The command line, strictly.
check "no base folder" 2 "no base folder" -- ws_without_base mkdir
check "unknown command" 1 "not expected" -- ws frobnicate
check "unknown option" 1 "not expected" -- ws --frobnicate mkdir
check "option of another command" 1 "not expected" -- ws mkdir --hex
check "option of another command, after the slot" 1 "not expected" -- ws exists 1 --json
check "missing argument" 1 "required" -- ws read
check "repeated option" 1 "subdir" -- ws --subdir a --subdir b mkdir
check "slot that is not a number" 1 "not a slot number" -- ws read one
check "slot with a space" 1 "not a slot number" -- ws exists " 1"
check "--opt=value" 0 "" -- ws --subdir="$subdir" exists 2
check "missing command" 1 "Usage" -- ws
expect "no arguments print the usage on stderr only" test ! -s "$scratch/out"
check "help" 0 "" -- ws --help
expect "help documents the exit statuses" grep -q "Exit status" "$scratch/out"
expect "help lists every command" test "$(grep -c -E '^  widesave \[--subdir NAME\] ' "$scratch/out")" = 9
check "help command" 0 "" -- ws help
expect "help command prints the same" grep -q "Exit status" "$scratch/out"
check "version" 0 "" -- ws --version
expect "version printed" grep -q -E '^widesave [0-9]+\.[0-9]+\.[0-9]+' "$scratch/out"

echo "cli: $passed passed, $failed failed"
[ "$failed" = 0 ]
