#!/bin/bash
# Runs inside the test machine (scripts/vm-test.sh) as its first process, as
# root on the build machine's files, with the build folder writable at its own
# path: starts udevd with the package's rule, plugs virtual repeaters in, and
# runs the real tarvane-cli and the window's test against them. Every check prints
# "ok" or "not ok"; the number of failed checks goes to vm/results/status.
set -u
work="$1"
repo="$(cd "$(dirname "$0")/../.." && pwd)"
results="$work/vm/results"
mkdir -p "$results"
exec > >(tee "$results/log") 2>&1
log=$!

# The log reaches the build machine, then the machine powers off and qemu ends.
finish() {
    # Repeaters still running hold the log's pipe: they go first.
    kill $(jobs -p | grep -vx "$log") 2> /dev/null
    exec > /dev/console 2>&1
    wait "$log"
    sync
    /bin/busybox poweroff -f
}
trap finish EXIT

cli="$work/cli/tarvane-cli"
repeater="$work/tools/virtual-repeater/tarvane-virtual-repeater"
# The build machine's files are read-only here, its /tmp too: scratch space
# is a tmpfs under /run.
scratch=/run/tarvane
files="$scratch/files"
mkdir -p "$files" "$scratch/home" "$scratch/runtime" "$scratch/tmp"
chmod 700 "$scratch/runtime"
export HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime" TMPDIR="$scratch/tmp" LANG=C.UTF-8 \
    QT_QPA_PLATFORM=offscreen \
    QT_LOGGING_RULES="qt.qpa.*=false"
failed=0

ok() { echo "ok - $*"; }
not_ok() {
    echo "not ok - $*"
    failed=$((failed + 1))
}

# run NAME EXPECTED_STATUS COMMAND...: runs it, keeps its output in
# $files/NAME.out and .err, and checks its exit status.
run() {
    local name="$1" expected="$2"
    shift 2
    local status=0
    "$@" > "$files/$name.out" 2> "$files/$name.err" || status=$?
    if [ "$status" -eq "$expected" ]; then
        ok "$name: exit $status"
    else
        not_ok "$name: exit $status, expected $expected ($*)"
        sed 's/^/    out: /' "$files/$name.out"
        sed 's/^/    err: /' "$files/$name.err"
    fi
}

# expect NAME FILE TEXT: the file holds a line that is exactly TEXT.
expect_line() {
    if grep -qxF -- "$3" "$2"; then
        ok "$1"
    else
        not_ok "$1: no line \"$3\" in $(basename "$2")"
        sed 's/^/    /' "$2"
    fi
}

# expect_match NAME FILE REGEX
expect_match() {
    if grep -qE -- "$3" "$2"; then
        ok "$1"
    else
        not_ok "$1: nothing matches /$3/ in $(basename "$2")"
        sed 's/^/    /' "$2"
    fi
}

# plug NAME ARGS...: starts a virtual repeater and waits until its hidraw node
# is there and udev has handled it; the node goes to node_NAME.
plug() {
    local name="$1"
    shift
    "$repeater" "$@" > "$files/vr-$name.log" 2>&1 &
    eval "pid_$name=$!"
    local i
    for i in $(seq 1 300); do
        grep -q '^plugged ' "$files/vr-$name.log" && break
        sleep 0.1
    done
    local node
    node="$(awk '$1 == "plugged" { node = $2 } END { print node }' "$files/vr-$name.log")"
    # Settled is not yet handled: the node's rules must have run before the
    # checks look at its tags.
    [ -n "$node" ] && udevadm wait --timeout=30 --initialized=yes "$node" 2> /dev/null
    udevadm settle --timeout=30
    eval "node_$name=\$node"
    if [ -n "$node" ]; then
        ok "repeater $name ($*) plugged in as $node"
    else
        not_ok "repeater $name ($*) did not come up"
        sed 's/^/    /' "$files/vr-$name.log"
    fi
}

unplug() {
    local pid
    eval "pid=\$pid_$1"
    kill -TERM "$pid" 2> /dev/null
    wait "$pid" 2> /dev/null
    udevadm settle --timeout=30
}

# How often the repeater left the bus (restarts, each seen as an unplug).
restarts() {
    grep -c '^unplugged' "$files/vr-$1.log"
}

# A frame as the trace shows it: 17 bytes, zeros after the given ones.
frame() {
    local bytes=("$@")
    while [ "${#bytes[@]}" -lt 17 ]; do bytes+=(00); done
    echo "${bytes[*]}"
}

# --- udevd with the package's rule ---------------------------------------------
mkdir -p /run/udev/rules.d
cp "$work/dist/70-tarvane.rules" /run/udev/rules.d/
/lib/systemd/systemd-udevd --daemon --resolve-names=never
udevadm settle --timeout=30

echo "# tarvane-cli, one repeater (USB gadget) (${SECONDS} s)"
plug a --backend usb --card TV2026000417 --type 4
run "list" 0 "$cli" list
expect_line "list shows the repeater" "$files/list.out" "$(printf '%s\t' "$node_a" Orvex-A4 TV2026000417 1.05 2.10 2)4"
run "read -o" 0 "$cli" read -o "$files/a.txt"
expect_line "read says so" "$files/read -o.err" "Read successfully"
run "diff after read" 0 "$cli" diff "$files/a.txt"
if [ ! -s "$files/diff after read.out" ]; then ok "diff after read: no difference"; else not_ok "diff after read: differences"; fi
# The golden file: fiber channel 1 at code 05 instead of the device's 0b.
sed '/"Baud": \[/{n;s/"0b"/"05"/}' "$files/a.txt" > "$files/golden.txt"
run "diff golden before write" 1 "$cli" diff "$files/golden.txt"
before=$(restarts a)
run "write --backup --verify" 0 "$cli" write "$files/golden.txt" --backup "$files/backup.txt" --verify
expect_line "write: backup saved" "$files/write --backup --verify.err" "Backup saved: $files/backup.txt"
expect_line "write: set" "$files/write --backup --verify.err" "successfully set"
expect_line "write: verified" "$files/write --backup --verify.err" "Verified: the device holds what was written"
if [ "$(restarts a)" -gt "$before" ]; then ok "the repeater restarted after its reset"; else not_ok "the repeater did not restart"; fi
if cmp -s "$files/a.txt" "$files/backup.txt"; then ok "the backup is what the repeater held"; else not_ok "the backup differs from the first read"; fi
run "diff golden after write" 0 "$cli" diff "$files/golden.txt"
run "diff old file after write" 1 "$cli" diff "$files/a.txt"
run "--trace read" 0 "$cli" --trace read -o "$files/trace.txt"
expect_match "trace: open" "$files/--trace read.err" "^ *[0-9]+\.[0-9]{3} open $node_a\$"
expect_match "trace: hardware type query" "$files/--trace read.err" "^ *[0-9]+\.[0-9]{3} > $(frame 00 12 15 01 00)\$"
# Of the reply, the head, the command and the type in byte 4.
expect_match "trace: hardware type reply" "$files/--trace read.err" "^ *[0-9]+\.[0-9]{3} < 12 15 .. .. 04( ..){11}\$"
expect_match "trace: fiber query" "$files/--trace read.err" "^ *[0-9]+\.[0-9]{3} > 00 12 26 01 00 "

echo "# tarvane-cli, two repeaters (USB gadget and uhid), chosen by card number (${SECONDS} s)"
plug b --backend uhid --card TV2026000418 --type 3
run "list two" 0 "$cli" list
expect_line "list two: the gadget" "$files/list two.out" "$(printf '%s\t' "$node_a" Orvex-A4 TV2026000417 1.05 2.10 2)4"
expect_line "list two: the uhid one" "$files/list two.out" "$(printf '%s\t' "$node_b" Orvex-A3 TV2026000418 1.05 2.10 2)2"
run "read without --device" 3 "$cli" read -o "$files/none.txt"
expect_line "read without --device: asks for one" "$files/read without --device.err" \
    "More than one device is connected; choose one with --device PATH|CARD:"
run "read --device card" 0 "$cli" read --device TV2026000418 -o "$files/b.txt"
sed '/"Baud": \[/{n;s/"0b"/"03"/}' "$files/b.txt" > "$files/golden-b.txt"
before=$(restarts b)
run "write --device card --verify (uhid)" 0 "$cli" write "$files/golden-b.txt" --device TV2026000418 --verify
if [ "$(restarts b)" -gt "$before" ]; then ok "the uhid repeater restarted after its reset"; else not_ok "the uhid repeater did not restart"; fi
run "diff --device card (uhid)" 0 "$cli" diff "$files/golden-b.txt" --device TV2026000418
run "diff --device card (gadget, untouched)" 0 "$cli" diff "$files/golden.txt" --device TV2026000417
run "diff --device path" 0 "$cli" diff "$files/golden.txt" --device "$node_a"

echo "# tarvane-cli, a repeater that stops answering (${SECONDS} s)"
kill -USR1 "$pid_b"
run "read --device silent" 4 "$cli" --trace read --device "$node_b" -o "$files/silent.txt"
expect_line "read --device silent: search failed" "$files/read --device silent.err" "Search device failed"
expect_match "read --device silent: time-out in the trace" "$files/read --device silent.err" \
    "^ *[0-9]+\.[0-9]{3} < time-out: no reply within 10 ms\$"
run "list with a silent one" 4 "$cli" list
expect_line "list with a silent one: its error" "$files/list with a silent one.out" "$node_b	Search device failed"
unplug b
unplug a

echo "# the udev rule (${SECONDS} s)"
plug rule --backend usb --card TV2026000420 --type 4
expect_match "uaccess on the repeater's hidraw node" <(udevadm info "$node_rule") "^E: TAGS=.*:uaccess:"
unplug rule
plug other --backend usb --card TV2026000421 --usb-id 1234:5678
if [ -n "$node_other" ] && ! udevadm info "$node_other" | grep -q "uaccess"; then
    ok "no uaccess on another vendor's hidraw node"
else
    not_ok "another vendor's hidraw node: $(udevadm info "$node_other" 2>&1 | grep TAGS)"
fi
unplug other

echo "# the window (offscreen, real hidapi) (${SECONDS} s)"
run "window" 0 "$work/tests/vm/tst_vmwindow" -o "$files/window.txt,txt"
sed 's/^/    /' "$files/window.txt"

udevadm control --exit
echo "$failed" > "$results/status"
echo "# $failed failed"
