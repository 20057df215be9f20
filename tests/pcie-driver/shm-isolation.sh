#!/bin/sh
# Run inside a private /dev/shm that stands in for a user's machine: a live
# reader holds the real segment name there while the demos' posting path
# runs beside it. The live segment must keep its inode and hear nothing.
# Arguments: private-shm zeltra-testbed pcie-notifier-helper zeltra-notify-post
set -u
wrap=$1 testbed=$2 helper=$3 post=$4
segment=/dev/shm/com_morvane_ZeltraDiscoveryNotifier
work=$(mktemp -d)
trap 'exec 3>&-; wait; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; echo "live reader said:"; cat "$work/out"; exit 1; }
mkfifo "$work/in"
"$testbed" --card dv0 --card dv1 -- "$helper" report <"$work/in" >"$work/out" 2>&1 &
exec 3>"$work/in"
for i in $(seq 100); do grep -q '^ready$' "$work/out" && break; sleep 0.1; done
grep -q '^arrived dv1$' "$work/out" || fail "the live reader did not start"
inode=$(stat -c %i "$segment")

# The demos' path: every posting and removal under a private /dev/shm.
"$wrap" "$post" remove dv1 || fail "a private posting failed"
"$wrap" "$post" arrive dv0 || fail "a private posting failed"
"$wrap" "$post" unlink 2>/dev/null # nothing of its own to remove
# Outside a private /dev/shm the stand-in refuses.
if env -u ZELTRA_PRIVATE_SHM "$post" remove dv1 2>/dev/null; then fail "posted into the machine's segment"; fi
sleep 0.5
[ "$(stat -c %i "$segment")" = "$inode" ] || fail "the live segment was replaced"
grep -q '^removed' "$work/out" && fail "the live reader heard a foreign event"

# The reader does hear a posting made on its own segment.
"$post" remove dv1 || fail "posting on the live segment failed"
for i in $(seq 50); do grep -q '^removed dv1$' "$work/out" && break; sleep 0.1; done
grep -q '^removed dv1$' "$work/out" || fail "the live reader hears nothing at all"
echo "live segment untouched (inode $inode)"
