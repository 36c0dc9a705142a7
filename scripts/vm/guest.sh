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

# Into the results, beside what the window's test already wrote there.
keep_files() {
    mkdir -p "$results/files"
    cp -r "$files"/. "$results/files/"
}

# The log reaches the build machine, then the machine powers off and qemu ends.
finish() {
    # Repeaters and Wine's processes still running hold the log's pipe: they
    # go first.
    [ -n "${wineserver:-}" ] && "$wineserver" -k 2> /dev/null
    kill $(jobs -p | grep -vx "$log") 2> /dev/null
    # What the programs printed, for a look after a failure.
    keep_files
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

# check NAME SECONDS: the next check begins. Its name goes to the log, and to
# $results/check for the build machine, before anything of it runs; one that
# has not finished within SECONDS of the guest's clock is named as the one
# that hung, and the run ends there with what the programs printed so far.
check() {
    end_check
    echo "# $1 (${SECONDS} s, at most $2 s)"
    printf '%s\n' "$1" > "$results/check"
    hang_guard "$1" "$2" &
    guard=$!
}

end_check() {
    [ -n "${guard:-}" ] && kill "$guard" 2> /dev/null
    guard=""
}

hang_guard() {
    # The sleep must not hold the log's pipe once the guard is gone.
    sleep "$2" > /dev/null 2>&1 < /dev/null || return
    # Counted before this check's own line reaches the log.
    echo $(($(grep -c '^not ok' "$results/log") + 1)) > "$results/status"
    echo "not ok - $1: did not finish within $2 s"
    printf '%s\n' "$1" > "$results/hung"
    echo "# the check that hung: $1"
    [ -n "${wineserver:-}" ] && "$wineserver" -k 2> /dev/null
    keep_files
    sleep 1
    sync
    /bin/busybox poweroff -f
}

# run NAME EXPECTED_STATUS COMMAND...: runs it, keeps its output in
# $files/NAME.out and .err, and checks its exit status.
run() {
    local name="$1" expected="$2"
    shift 2
    local status=0
    "$@" > "$files/$name.out" 2> "$files/$name.err" || status=$?
    # The Windows programs end their lines with CR LF.
    sed -i 's/\r$//' "$files/$name.out" "$files/$name.err"
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

# A text as an extended regular expression that matches only that text.
literal() {
    printf '%s' "$1" | sed 's/[][\\.^$*+?(){}|]/\\&/g'
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

# The Linux tarvane-cli where the Windows one runs, for the checks both make.
cli_in_files() {
    (cd "$files" && "$cli" "$@")
}

# How often the repeater left the bus (restarts, each seen as an unplug).
restarts() {
    grep -c '^unplugged' "$files/vr-$1.log"
}

# How often its hidraw node appeared.
plugs() {
    grep -c '^plugged ' "$files/vr-$1.log"
}

# forgetful_write PROGRAM CARD COMMAND...: the repeater with that card number
# acknowledges every frame but keeps nothing, so the program (COMMAND, run
# in $files) must find after the restart that it holds the old values: the
# fiber channel 1 changed from code 0b to 05 and back.
forgetful_write() {
    local program="$1" card="$2"
    shift 2
    local name="$program write --verify, $card keeps nothing"
    run "$program read -o, $card keeps nothing" 0 "$@" read --device "$card" -o "forget-$card.txt"
    sed '/"Baud": \[/{n;s/"0b"/"05"/}' "$files/forget-$card.txt" > "$files/forget-golden-$card.txt"
    run "$name" 5 "$@" write "forget-golden-$card.txt" --device "$card" --verify
    expect_line "$name: the frames acknowledged" "$files/$name.err" "successfully set"
    expect_line "$name: the difference found" "$files/$name.err" "Written, but the device holds something else"
    expect_match "$name: fiber channel 1 holds 0b, not 05" "$files/$name.out" $'^Fiber1\t[^\t]*\t[^\t]*\t05( [^\t]*)?\t0b( [^\t]*)?$'
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

check "tarvane-cli, one repeater (USB gadget)" 120
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
plugs_before=$(plugs a)
run "write --backup --verify" 0 "$cli" write "$files/golden.txt" --backup "$files/backup.txt" --verify
expect_line "write: backup saved" "$files/write --backup --verify.err" "Backup saved: $files/backup.txt"
expect_line "write: set" "$files/write --backup --verify.err" "successfully set"
expect_line "write: verified" "$files/write --backup --verify.err" "Verified: the device holds what was written"
if [ "$(restarts a)" -gt "$before" ] && [ "$(plugs a)" -gt "$plugs_before" ]; then
    ok "the repeater left the bus after its reset and came back"
else
    not_ok "the repeater did not leave the bus after its reset and come back"
fi
if cmp -s "$files/a.txt" "$files/backup.txt"; then ok "the backup is what the repeater held"; else not_ok "the backup differs from the first read"; fi
run "diff golden after write" 0 "$cli" diff "$files/golden.txt"
run "diff old file after write" 1 "$cli" diff "$files/a.txt"
run "--trace read" 0 "$cli" --trace read -o "$files/trace.txt"
expect_match "trace: open" "$files/--trace read.err" "^ *[0-9]+\.[0-9]{3} open $node_a\$"
expect_match "trace: hardware type query" "$files/--trace read.err" "^ *[0-9]+\.[0-9]{3} > $(frame 00 12 15 01 00)\$"
# Of the reply, the head, the command and the type in byte 4.
expect_match "trace: hardware type reply" "$files/--trace read.err" "^ *[0-9]+\.[0-9]{3} < 12 15 .. .. 04( ..){11}\$"
expect_match "trace: fiber query" "$files/--trace read.err" "^ *[0-9]+\.[0-9]{3} > 00 12 26 01 00 "

check "tarvane-cli, two repeaters (USB gadget and uhid), chosen by card number" 120
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
plugs_before=$(plugs b)
run "write --device card --verify (uhid)" 0 "$cli" write "$files/golden-b.txt" --device TV2026000418 --verify
if [ "$(restarts b)" -gt "$before" ] && [ "$(plugs b)" -gt "$plugs_before" ]; then
    ok "the uhid repeater left the bus after its reset and came back"
else
    not_ok "the uhid repeater did not leave the bus after its reset and come back"
fi
run "diff --device card (uhid)" 0 "$cli" diff "$files/golden-b.txt" --device TV2026000418
run "diff --device card (gadget, untouched)" 0 "$cli" diff "$files/golden.txt" --device TV2026000417
run "diff --device path" 0 "$cli" diff "$files/golden.txt" --device "$node_a"

check "tarvane-cli, a repeater that stops answering" 60
kill -USR1 "$pid_b"
run "read --device silent" 4 "$cli" --trace read --device "$node_b" -o "$files/silent.txt"
expect_line "read --device silent: search failed" "$files/read --device silent.err" "Search device failed"
expect_match "read --device silent: time-out in the trace" "$files/read --device silent.err" \
    "^ *[0-9]+\.[0-9]{3} < time-out: no reply within 10 ms\$"
run "list with a silent one" 4 "$cli" list
expect_line "list with a silent one: its error" "$files/list with a silent one.out" "$node_b	Search device failed"
unplug b
unplug a

check "tarvane-cli, a repeater that acknowledges writes and keeps nothing" 60
plug f --backend uhid --card TV2026000419 --type 4 --forget-writes
forgetful_write tarvane-cli TV2026000419 cli_in_files
unplug f

check "the udev rule" 90
plug rule --backend usb --card TV2026000420 --type 4
# Read once into a file: the failure's lines show the node's tags.
udevadm info "$node_rule" > "$files/udev-rule.txt" 2>&1
expect_match "uaccess on the repeater's hidraw node" "$files/udev-rule.txt" "^E: TAGS=.*:uaccess:"
unplug rule
plug other --backend usb --card TV2026000421 --usb-id 1234:5678
udevadm info "$node_other" > "$files/udev-other.txt" 2>&1
if [ -n "$node_other" ] && ! grep -q "uaccess" "$files/udev-other.txt"; then
    ok "no uaccess on another vendor's hidraw node"
else
    not_ok "another vendor's hidraw node ${node_other:-(none)} has uaccess or was not found:"
    sed 's/^/    /' "$files/udev-other.txt"
fi
unplug other
# The tag gives access only if it is set before the seat's rules act on it:
# udevd reads the rules of all its folders in the order of their file names.
rule_order() {
    local dirs=(/etc/udev/rules.d /run/udev/rules.d /usr/lib/udev/rules.d /lib/udev/rules.d)
    local ours acting name dir LC_ALL=C
    ours="$(basename "$(ls /run/udev/rules.d/*tarvane*.rules | head -n 1)")"
    acting="$(for dir in "${dirs[@]}"; do grep -l 'RUN{builtin}+="uaccess"' "$dir"/*.rules; done 2> /dev/null |
        xargs -r -n 1 basename | sort -u)"
    if [ -z "$acting" ]; then
        not_ok "the udev rule's order: no rules file of the guest applies uaccess (looked in ${dirs[*]})"
        return
    fi
    for name in $acting; do
        if [[ "$ours" < "$name" ]]; then
            ok "the udev rule's order: $ours before $name, which applies uaccess"
        else
            not_ok "the udev rule's order: $ours sorts after $name, which applies uaccess: the tag comes too late"
        fi
    done
}
rule_order

check "the window (offscreen, real hidapi)" 300
# Straight to the build machine's share, line by line: a run cut short by
# the time-out still shows its QTest lines in vm/results/files/window.txt.
mkdir -p "$results/files"
run "window" 0 "$work/tests/vm/tst_vmwindow" -o "$results/files/window.txt,txt"
sed 's/^/    /' "$results/files/window.txt"

# --- The Windows programs under Wine ------------------------------------------
# tarvane-cli.exe and tarvane.exe as the zip has them, in a Wine prefix that
# scripts/vm-test.sh prepared, with the test's cfgmgr32.dll beside them (Wine
# 8.0 lacks what hidapi lists devices with); Wine's winebus sees the same
# hidraw nodes, and its plugplay service tells the window of arrivals and
# removals by WM_DEVICECHANGE.
wine_dir="$work/vm/wine"
windows="$wine_dir/prefix/drive_c/tarvane"
wine="$(command -v wine64 || echo /usr/lib/wine/wine64)"
wineserver="$(command -v wineserver || echo /usr/lib/wine/wineserver)"
export WINEPREFIX="$wine_dir/prefix" WINEDEBUG="$(cat "$wine_dir/winedebug")" \
    WINEDLLOVERRIDES="cfgmgr32=n,b;mscoree,mshtml=" LANG=en_US.UTF-8
# Wine passes no Unix variable that starts with QT_ to Windows programs; one
# named WINEQT_X reaches them as QT_X.
unset QT_QPA_PLATFORM QT_LOGGING_RULES

winerun() {
    (cd "$files" && timeout 60 "$wine" "$@")
}

# A line of a Windows program's list: its path (Wine names the interface
# \\?\hid#vid_0483&pid_6901...#{GUID}), its backslashes doubled as the list's
# text lines escape them, and what it reported.
winlist_line() {
    printf '%s' '^\\\\\\\\\?\\\\hid#vid_0483&pid_6901'
    printf '[^\t]*#\\{[^\t]*\\}'
    printf '\t%s' "$@"
    printf '$'
}

check "Wine: the prefix, its services and winebus" 360
started=$SECONDS
"$wineserver" -p > "$files/wineserver.log" 2>&1
if timeout 300 "$wine" wineboot > "$files/wineboot.log" 2>&1; then
    ok "Wine started ($((SECONDS - started)) s)"
else
    not_ok "Wine did not start: the Windows programs were not tried"
    sed 's/^/    /' "$files/wineboot.log"
    end_check
    echo "$failed" > "$results/status"
    echo "# $failed failed"
    exit
fi
zip="$(cat "$wine_dir/zip")"
# What Wine's HID path runs on, read into memory before the first query's
# 10 ms start: a page fetched from the build machine then would count as the
# device's time to answer, as on a real PC it does not.
wine_lib=/usr/lib/x86_64-linux-gnu/wine
cat "$wine_lib"/x86_64-windows/{ntoskrnl.exe,winebus.sys,hidclass.sys,hid.dll,kernelbase.dll,ntdll.dll} \
    "$wine_lib"/x86_64-unix/{ntdll.so,winebus.so} > /dev/null
for program in tarvane.exe tarvane-cli.exe hidapi.dll; do
    if unzip -p "$zip" "$(basename "$zip" .zip)/$program" | cmp -s - "$windows/$program"; then
        ok "$program is the zip's, byte for byte"
    else
        not_ok "$program is not the zip's"
    fi
done

check "tarvane-cli.exe under Wine, one repeater (USB gadget)" 300
cli_exe="$windows/tarvane-cli.exe"
plug wa --backend usb --card TV2026000417 --type 4
# With the trace, which keeps the time of the first reply through Wine.
run "tarvane-cli.exe list" 0 winerun "$cli_exe" --trace list
expect_match "tarvane-cli.exe list: Orvex-A4 TV2026000417" "$files/tarvane-cli.exe list.out" \
    "$(winlist_line Orvex-A4 TV2026000417 1.05 2.10 2 4)"
unescape() { sed 's/\\\\/\\/g'; }  # the list's "\\" back to one backslash
wa_path="$(cut -f1 "$files/tarvane-cli.exe list.out" | head -n 1 | unescape)"
run "tarvane-cli.exe read -o" 0 winerun "$cli_exe" read -o win-a.txt
expect_line "tarvane-cli.exe read -o: TV2026000417 read" "$files/tarvane-cli.exe read -o.err" "Read successfully"
run "tarvane-cli.exe diff after read" 0 winerun "$cli_exe" diff win-a.txt
if [ ! -s "$files/tarvane-cli.exe diff after read.out" ]; then
    ok "tarvane-cli.exe diff after read: TV2026000417 holds the file"
else
    not_ok "tarvane-cli.exe diff after read: differences"
fi
# The golden file: fiber channel 1 at code 05 instead of the device's 0b.
sed '/"Baud": \[/{n;s/"0b"/"05"/}' "$files/win-a.txt" > "$files/win-golden.txt"
run "tarvane-cli.exe diff golden before write" 1 winerun "$cli_exe" diff win-golden.txt
before=$(restarts wa)
plugs_before=$(plugs wa)
run "tarvane-cli.exe write --backup --verify" 0 winerun "$cli_exe" write win-golden.txt --backup win-backup.txt --verify
expect_line "tarvane-cli.exe write: backup of TV2026000417 saved" "$files/tarvane-cli.exe write --backup --verify.err" \
    "Backup saved: win-backup.txt"
expect_line "tarvane-cli.exe write: TV2026000417 set" "$files/tarvane-cli.exe write --backup --verify.err" "successfully set"
expect_line "tarvane-cli.exe write: TV2026000417 verified after its restart" \
    "$files/tarvane-cli.exe write --backup --verify.err" "Verified: the device holds what was written"
if [ "$(restarts wa)" -gt "$before" ] && [ "$(plugs wa)" -gt "$plugs_before" ]; then
    ok "tarvane-cli.exe write: TV2026000417 left the bus after its reset and came back"
else
    not_ok "tarvane-cli.exe write: TV2026000417 did not leave the bus and come back"
fi
if cmp -s "$files/win-a.txt" "$files/win-backup.txt"; then
    ok "tarvane-cli.exe write: the backup is what TV2026000417 held"
else
    not_ok "tarvane-cli.exe write: the backup differs from the first read"
fi
run "tarvane-cli.exe diff golden after write" 0 winerun "$cli_exe" diff win-golden.txt
run "tarvane-cli.exe diff old file after write" 1 winerun "$cli_exe" diff win-a.txt
run "tarvane-cli.exe --trace read" 0 winerun "$cli_exe" --trace read -o win-trace.txt
expect_match "tarvane-cli.exe --trace: TV2026000417 opened at its Windows path" "$files/tarvane-cli.exe --trace read.err" \
    "^ *[0-9]+\.[0-9]{3} open $(literal "$wa_path")\$"
expect_match "tarvane-cli.exe --trace: hardware type query" "$files/tarvane-cli.exe --trace read.err" \
    "^ *[0-9]+\.[0-9]{3} > $(frame 00 12 15 01 00)\$"
expect_match "tarvane-cli.exe --trace: hardware type reply, type 4" "$files/tarvane-cli.exe --trace read.err" \
    "^ *[0-9]+\.[0-9]{3} < 12 15 .. .. 04( ..){11}\$"

check "tarvane-cli.exe under Wine, a second repeater (uhid), one that stops answering" 300
plug wb --backend uhid --card TV2026000418 --type 3
run "tarvane-cli.exe list two" 0 winerun "$cli_exe" list
expect_match "tarvane-cli.exe list two: Orvex-A4 TV2026000417" "$files/tarvane-cli.exe list two.out" \
    "$(winlist_line Orvex-A4 TV2026000417 1.05 2.10 2 4)"
expect_match "tarvane-cli.exe list two: Orvex-A3 TV2026000418" "$files/tarvane-cli.exe list two.out" \
    "$(winlist_line Orvex-A3 TV2026000418 1.05 2.10 2 2)"
wb_path="$(grep -F "	TV2026000418	" "$files/tarvane-cli.exe list two.out" | cut -f1 | unescape)"
run "tarvane-cli.exe read without --device" 3 winerun "$cli_exe" read -o win-none.txt
run "tarvane-cli.exe read --device TV2026000418" 0 winerun "$cli_exe" read --device TV2026000418 -o win-b.txt
kill -USR1 "$pid_wb"
run "tarvane-cli.exe read --device silent" 4 winerun "$cli_exe" --trace read --device "$wb_path" -o win-silent.txt
expect_line "tarvane-cli.exe read --device silent: search failed" "$files/tarvane-cli.exe read --device silent.err" \
    "Search device failed"
expect_match "tarvane-cli.exe read --device silent: time-out in the trace" \
    "$files/tarvane-cli.exe read --device silent.err" "^ *[0-9]+\.[0-9]{3} < time-out: no reply within 10 ms\$"
unplug wb
unplug wa

check "tarvane-cli.exe under Wine, a repeater that acknowledges writes and keeps nothing" 180
plug wf --backend uhid --card TV2026000419 --type 4 --forget-writes
forgetful_write tarvane-cli.exe TV2026000419 winerun "$cli_exe"
unplug wf

# The window: the shipped tarvane.exe on Qt's windows platform (Wine's null
# display driver), driven from inside by the test's plugin tests/vm/WindowHand.cpp,
# which tarvane.exe loads because QT_QPA_GENERIC_PLUGINS names it. One
# command a line goes in, one answer a line comes out.
window_start() {
    coproc HAND {
        cd "$files" && WINEQT_PLUGIN_PATH="Z:$wine_dir/plugins" WINEQT_QPA_GENERIC_PLUGINS=tarvanehand \
            exec timeout 1200 "$wine" "$windows/tarvane.exe" -platform windows 2> "$files/tarvane.exe.err"
    }
    window_pid=$HAND_PID
}

# window COMMAND FIELDS...: the answer goes to $answer. A program that does
# not answer within 120 s is ended, so that the checks after it fail at once.
window() {
    local IFS=$'\t'
    answer="(no answer)"
    if [ -n "${HAND[1]:-}" ] && printf '%s\n' "$*" >&"${HAND[1]}" &&
        IFS= read -r -t 120 answer <&"${HAND[0]}"; then
        answer="${answer%$'\r'}"
    else
        answer="(no answer)"
        kill "$window_pid" 2> /dev/null
        exec {HAND[0]}<&- {HAND[1]}>&- 2> /dev/null
        HAND=()
    fi
}

# window_expect CHECK EXPECTED COMMAND FIELDS...: a list expected is tab-separated.
window_expect() {
    local check="$1" expected="$2"
    shift 2
    window "$@"
    if [ "$answer" = "$expected" ]; then
        ok "tarvane.exe: $check: ${answer//$'\t'/, }"
    else
        not_ok "tarvane.exe: $check: \"${answer//$'\t'/, }\", expected \"${expected//$'\t'/, }\""
    fi
}

# The steps of tst_vmwindow: a repeater plugged in appears by itself, reads,
# writes and restarts, and its pulling out empties the window.
window_repeater() {
    local name="$1" card="$2" id="$3"
    shift 3
    plug "$id" "$@"
    window_expect "$card plugged in appears by itself" "$name" wait 20 name "$name"
    window_expect "$card: its two CAN channels" 2 tabs
    window_expect "$card: Read" 读取成功 click m_pushButtonRead
    window_expect "$card: Write" 设置成功 click m_pushButtonWrite
    window_expect "$card: the name line empties at the reset and fills again" $'\t'"$name" wait 20 names $'\t'"$name"
    window_expect "$card: Read after its restart" 读取成功 click m_pushButtonRead
    unplug "$id"
    window_expect "$card pulled out: the name line empties" "" wait 20 name ""
    window_expect "$card pulled out: no CAN channel tabs" 0 tabs
    window_expect "$card pulled out: Read" 设备未连接 click m_pushButtonRead
}

check "tarvane.exe under Wine, started with no repeater" 300
first=Orvex-A4_TV2026000417
window_start
window_expect "started with no repeater" 搜索设备失败 wait 60 boxes 搜索设备失败
window_expect "started with no repeater: the name line" "" name
window_repeater "$first" TV2026000417 wa --backend usb --card TV2026000417 --type 4
check "tarvane.exe under Wine, a uhid repeater" 300
window_repeater Orvex-B1_TV2026000418 TV2026000418 wb --backend uhid --card TV2026000418 --type 5

check "tarvane.exe under Wine, a second repeater chosen" 300
second=Orvex-A3_TV2026000418
plug wa --backend usb --card TV2026000417 --type 4
window_expect "TV2026000417 appears" "$first" wait 20 name "$first"
window_expect "one repeater: nothing to choose" "" devices
plug wb --backend uhid --card TV2026000418 --type 3
# The entries by name (the hand sorts them).
window_expect "TV2026000418 joins the choice, the window stays with TV2026000417" "$second"$'\t'"*$first" \
    wait 20 devices "$second" "*$first"
window_expect "the name line still shows TV2026000417" "$first" name
window_expect "TV2026000418 chosen" chosen choose "$second"
window_expect "the window moves to TV2026000418" "$second" wait 20 name "$second"
window_expect "TV2026000418 checked" "*$second"$'\t'"$first" devices
window_expect "TV2026000418: Read" 读取成功 click m_pushButtonRead
unplug wb
window_expect "TV2026000418 pulled out: back to TV2026000417" "$first" wait 20 name "$first"
window_expect "TV2026000418 pulled out: nothing to choose" "" devices
window_expect "TV2026000417: Read" 读取成功 click m_pushButtonRead
window_expect "closed" bye quit
status=0
wait "$window_pid" || status=$?
if [ "$status" -eq 0 ]; then ok "tarvane.exe ended with status 0"; else not_ok "tarvane.exe ended with status $status"; fi
unplug wa

# --- The Debian package, installed as apt installs it ---------------------------
# Its maintainer script must load the rule and tag a repeater that was
# plugged in before the install, without a replug. The test's own copy of the
# rule (same name, in /run, which would hide the package's) goes first.
check "the Debian package: dpkg with udevd running" 180
[ -n "${wineserver:-}" ] && "$wineserver" -k 2> /dev/null
rm -f /run/udev/rules.d/70-tarvane.rules
udevadm control --reload-rules
plug pkg --backend usb --card TV2026000422 --type 4
udevadm info "$node_pkg" > "$files/udev-package-before.txt" 2>&1
if grep -q ":uaccess:" "$files/udev-package-before.txt"; then
    not_ok "before the package: the repeater's node already has uaccess, the check could not fail"
    sed 's/^/    /' "$files/udev-package-before.txt"
else
    ok "before the package: no uaccess without the rule"
fi
# dpkg writes the system's folders: here into a tmpfs laid over them, so the
# build machine's stay as they are.
for dir in /etc /usr /var; do
    mkdir -p "/run/package$dir/upper" "/run/package$dir/work"
    mount -t overlay overlay -o "lowerdir=$dir,upperdir=/run/package$dir/upper,workdir=/run/package$dir/work" \
        "$dir" || not_ok "cannot lay a writable $dir over the build machine's"
done
deb="$(ls "$work"/vm/package/tarvane_*.deb 2> /dev/null | head -n 1)"
# Other packages' triggers (manual pages, icons) take minutes in the
# emulated machine and say nothing about this package.
run "dpkg -i" 0 env PATH=/usr/sbin:/usr/bin:/sbin:/bin dpkg --no-triggers -i "${deb:-"(no package built)"}"
udevadm settle --timeout=30
udevadm info "$node_pkg" > "$files/udev-package.txt" 2>&1
ls /usr/lib/udev/rules.d > "$files/rules after the package.txt"
expect_match "the package's rule in /usr/lib/udev/rules.d" "$files/rules after the package.txt" "^70-tarvane\.rules$"
expect_match "after dpkg -i: uaccess on the node of the repeater plugged in before" "$files/udev-package.txt" \
    "^E: TAGS=.*:uaccess:"
run "the installed tarvane-cli finds it" 0 /usr/bin/tarvane-cli list
expect_match "the installed tarvane-cli: TV2026000422" "$files/the installed tarvane-cli finds it.out" "TV2026000422"
unplug pkg

end_check
udevadm control --exit
echo "$failed" > "$results/status"
echo "# $failed failed"
