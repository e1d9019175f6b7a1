#!/usr/bin/env bash
# Checks what a built library shows a host: its exports (with ordinals on
# Windows) are exactly those listed, and the DLL imports only KERNEL32.dll
# and msvcrt.dll.
#   check_artifacts.sh dll FILE OBJDUMP DEF_FILE
#   check_artifacts.sh so  FILE NM      VERSION_SCRIPT
set -euo pipefail
kind=$1 file=$2 tool=$3 list=$4
status=0

compare() {  # what, expected, actual
    if [ "$2" != "$3" ]; then
        printf 'FAIL %s\n  expected:\n%s\n  actual:\n%s\n' "$1" "$(sed 's/^/    /' <<<"$2")" \
            "$(sed 's/^/    /' <<<"$3")"
        status=1
    else
        printf 'ok   %s: %s\n' "$1" "$(tr '\n' ' ' <<<"$3")"
    fi
}

case $kind in
dll)
    dump=$("$tool" -p "$file")
    expected=$(awk '/@[0-9]+/ { sub("@", "", $2); print $2, $1 }' "$list" | sort -n)
    # Rows of the name table: "[   0] Name", indexed from the ordinal base.
    ordinal_base=$(sed -n 's/^Ordinal Base\s*//p' <<<"$dump")
    actual=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
        sed -n "s/^\s*\[ *\([0-9]*\)\] \(.*\)$/\1 \2/p" |
        awk -v base="$ordinal_base" '{ print $1 + base, $2 }' | sort -n)
    compare "exports by ordinal" "$expected" "$actual"
    # The entry point is ours, not MinGW's start-up code.
    start=$("$tool" -f "$file" | sed -n 's/^start address 0x0*//p')
    entry=$("${tool%objdump}nm" "$file" |
        awk '$3 == "_widesave_dll_entry@12" || $3 == "widesave_dll_entry" { sub(/^0*/, "", $1); print $1 }')
    compare "entry point" "$entry" "$start"
    if "$tool" -f "$file" | grep -q "pei-i386"; then
        # Each export realigns the stack before anything else, for callers
        # whose stack is only 4-byte aligned (x86-64 callers keep 16 bytes).
        code=$("$tool" -d "$file")
        unaligned=$(awk '{ print $2 }' <<<"$expected" | while read -r name; do
            awk -v f="<_$name>:" -v name="$name" '$2 == f { on = 1; n = 0; next }
                on { if ($0 ~ /and +\$0xfffffff0,%esp/) { found = 1; exit } if (++n >= 8) exit }
                END { if (!found) print name }' <<<"$code"
        done)
        compare "exports that do not realign the stack" "" "$unaligned"
    fi
    imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | sort -f)
    compare "imported DLLs" "$(printf 'KERNEL32.dll\nmsvcrt.dll')" "$imports"
    ;;
so)
    expected=$(awk '/global:/ { on = 1; next } /local:/ { on = 0 } on { gsub(/[ ;]/, ""); if ($0 != "") print }' "$list" | sort)
    actual=$("$tool" -D --defined-only "$file" | awk '{ print $NF }' | sort)
    compare "dynamic symbols" "$expected" "$actual"
    ;;
*)
    echo "unknown kind $kind" >&2
    exit 2
    ;;
esac
exit $status
