#!/usr/bin/env bash
# A power cut on a real file system: slot 1 of an ext4 image on a loop
# device is written by a host process that stops itself before each of its
# system calls in turn. While it is stopped, the image is copied (what the
# disk holds at that moment) and the copy mounted, which replays the
# journal. The save there must be the old one or the new one, whole, and
# the new one once the write had returned 0.
#   power_cut_ext4.sh HOST LIBRARY FAULT_LIBRARY
# Needs root and a loop device; exits 77 (skipped) without them.
set -euo pipefail
host=$1 library=$2 faults=$3

if [ "$(id -u)" != 0 ] || ! losetup -f >/dev/null 2>&1 || ! command -v mkfs.ext4 >/dev/null; then
    echo "skipped: needs root, a free loop device and mkfs.ext4"
    exit 77
fi

scratch=$(mktemp -d /tmp/widesave-ext4-XXXXXX)
disk=$scratch/disk.img copy=$scratch/copy.img
mkdir "$scratch/live" "$scratch/after"
cleanup() {
    umount "$scratch/after" 2>/dev/null || true
    umount "$scratch/live" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

truncate -s 32M "$disk"
mkfs.ext4 -q -F "$disk"
if ! mount -o loop "$disk" "$scratch/live" 2>/dev/null; then
    echo "skipped: cannot mount a loop device here"
    exit 77
fi
mkdir -p "$scratch/live/base/slots"

hex() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n' | tr a-f A-F; }
older=$(hex "the first save")
old=$(hex "the old save, as it was before")
new=$(hex "the new save, which is rather longer than the old one was")

run() {  # base folder, then host arguments
    LOCALAPPDATA=$1 "$host" "${@:2}"
}

put_back_old() {
    rm -f "$scratch/live/base/slots/"*
    run "$scratch/live/base" "$library" slots write 1 "$older" >/dev/null || [ $? = 100 ]
    run "$scratch/live/base" "$library" slots write 1 "$old" >/dev/null || [ $? = 100 ]
    sync
}

status=0 checked=0 seen=""
for ((k = 0; ; k++)); do
    put_back_old
    LOCALAPPDATA=$scratch/live/base "$host" "$faults" slots freeze-write 1 "$k" "$new" &
    pid=$!
    # Until it stops itself, or finishes the write.
    for ((wait = 0; wait < 1000; wait++)); do
        kill -0 "$pid" 2>/dev/null || break
        [ "$(awk '{ print $3 }' "/proc/$pid/stat" 2>/dev/null)" = T ] && break
        sleep 0.01
    done
    finished=false
    if ! kill -0 "$pid" 2>/dev/null; then
        finished=true
    fi
    cp --sparse=always "$disk" "$copy"
    kill -9 "$pid" 2>/dev/null || true
    code=0
    { wait "$pid"; } 2>/dev/null || code=$?
    if $finished && [ $code != 100 ]; then
        echo "FAIL step $k: the write finished with status $code"
        status=1
    fi

    mount -o loop "$copy" "$scratch/after"
    got=$(run "$scratch/after/base" "$library" slots read 1)
    umount "$scratch/after"
    if $finished; then
        [ "$got" = "$new" ] || { echo "FAIL after the write returned 0: got $got"; status=1; }
    elif [ "$got" != "$old" ] && [ "$got" != "$new" ]; then
        echo "FAIL power cut before system call $k: got $got"
        status=1
    fi
    seen+=$([ "$got" = "$new" ] && echo N || echo o)
    checked=$((checked + 1))

    # The live disk, with whatever the stopped writer left, takes the next write.
    run "$scratch/live/base" "$library" slots write 1 "$old" >/dev/null || code=$?
    if [ "$code" != 100 ] || ls "$scratch/live/base/slots" | grep -q temp; then
        echo "FAIL step $k: the next write (status $code) or a temporary file is left"
        status=1
    fi
    $finished && break
done
echo "save after a cut before each of $((checked - 1)) system calls, then after the write (o old, N new): $seen"
echo "power cut on ext4: $([ $status = 0 ] && echo ok || echo FAILED)"
exit $status
