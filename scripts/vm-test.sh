#!/usr/bin/env bash
# The real HID stack: boots Debian's own kernel in a small virtual machine
# (qemu) on the build machine's files and runs the real tarvane-cli and the
# window, linked with the real hidapi, against virtual repeaters on the
# kernel's HID bus (a USB gadget on dummy_hcd, and uhid), with a real udevd
# and the package's udev rule; then the Windows programs of the zip under
# Wine against the same virtual repeaters; last, the Debian package installed
# by dpkg over a repeater already plugged in. The checks themselves are in
# scripts/vm/guest.sh and tests/vm/.
#
#   scripts/vm-test.sh [BUILD_DIR [WINDOWS_BUILD_DIR]]
#       (default: build-test and build-windows; the zip in WINDOWS_BUILD_DIR
#       is made by scripts/windows-build.sh --no-tests when it is missing or
#       older than the programs)
#
# TARVANE_SKIP_VM=1 skips it. TARVANE_VM_ACCEL=kvm uses KVM where it really
# works (the default, tcg, emulates and works everywhere);
# TARVANE_VM_TIMEOUT (seconds, default 1200) bounds the guest's run;
# TARVANE_VM_WINEDEBUG gives Wine's programs there a WINEDEBUG (traces in
# vm/results/files/*.err).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${TARVANE_SKIP_VM:-}" = "1" ]; then
    echo "vm-test: skipped, as TARVANE_SKIP_VM=1 asks: the programs were not tried on the real HID stack"
    exit 0
fi

build="${1:-build-test}"
windows_build="${2:-build-windows}"
# Without symbolic links: the guest mounts the build folder at this path
# inside the build machine's /, where a link's target would be looked up in
# its own initramfs.
repo="$(pwd -P)"
mkdir -p "$build"
build="$(cd "$build" && pwd -P)"
mkdir -p "$windows_build"
windows_build="$(cd "$windows_build" && pwd -P)"
case "$repo$build$windows_build" in
    *[[:space:]]*) echo "vm-test: the guest's shell scripts take no path with blanks: $build" >&2
        exit 1 ;;
esac

# qemu, the guest's init (busybox), udevd, and kmod to find the modules' order;
# Wine, and unzip for the zip.
scripts/deps.sh qemu-system-x86 busybox-static udev kmod wine64 unzip

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DTARVANE_WERROR=ON > /dev/null
fi
cmake --build "$build" -j "$(nproc)" --target tarvane-cli tarvane-virtual-repeater tst_vmwindow

vm="$build/vm"
mkdir -p "$vm"

# --- The Debian package, for the guest's dpkg ---------------------------------
# Made by CPack from this build as scripts/package-test.sh makes it from a
# Release one: the same files and maintainer script. CPack builds every target
# first.
rm -rf "$vm/package"
(cd "$build" && cpack -G DEB -B "$vm/package") > "$vm/package.log" 2>&1 ||
    { cat "$vm/package.log" >&2; echo "vm-test: CPack could not make the package" >&2; exit 1; }
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

# --- The Windows programs: the zip, unchanged, in a Wine prefix ---------------
tarvane_version=$(tr -d "[:space:]" < VERSION)  # the one place the version is written
zip="$windows_build/tarvane-$tarvane_version-windows-x64.zip"
if [ -f "$windows_build/CMakeCache.txt" ]; then
    cmake --build "$windows_build" -j "$(nproc)" --target tarvane tarvane-cli
fi
if [ ! -f "$zip" ] || [ "$windows_build/tarvane.exe" -nt "$zip" ] || [ "$windows_build/tarvane-cli.exe" -nt "$zip" ]; then
    BUILD_DIR="$windows_build" scripts/windows-build.sh --no-tests
fi
# Test-only: the stand-in for Wine's cfgmgr32.dll and the window's hand.
cmake --build "$windows_build" -j "$(nproc)" --target wine-cfgmgr32 tarvanehand

# Debian's wine64 package puts its loader outside PATH unless the wine
# wrapper package is installed too.
wine=$(command -v /usr/lib/wine/wine64 wine64 wine | head -n 1) || true
wineserver=$(command -v /usr/lib/wine/wineserver wineserver | head -n 1) || true
[ -n "$wine" ] && [ -n "$wineserver" ] || { echo "vm-test: Wine is not installed" >&2; exit 1; }
wine_dir="$vm/wine"
prefix="$wine_dir/prefix"
# Made here once, where Wine starts in seconds rather than minutes; every run
# starts from the registry it had then, so devices seen by an earlier run are
# not remembered.
made="$("$wine" --version) $(stat -c %Y /usr/share/wine/wine.inf 2> /dev/null || true)"
if [ "$(cat "$wine_dir/registry/made" 2> /dev/null)" != "$made" ]; then
    echo "vm-test: making the Wine prefix"
    WINEPREFIX="$prefix" "$wineserver" -k 2> /dev/null || true
    rm -rf "$wine_dir"
    mkdir -p "$prefix" "$wine_dir/registry"
    (export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
        LANG=en_US.UTF-8
        unset DISPLAY
        timeout 600 "$wine" wineboot -i
        # No display in the guest: Wine's null driver gives the windows
        # platform its windows and messages without an X server.
        timeout 60 "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
        # winebus's SDL backend takes no part in HID devices here; without
        # it winebus keeps to hidraw.
        timeout 60 "$wine" reg add 'HKLM\System\CurrentControlSet\Services\winebus' /v "Enable SDL" \
            /t REG_DWORD /d 0 /f
        timeout 60 "$wineserver" -w) > "$wine_dir/made.log" 2>&1 ||
        { cat "$wine_dir/made.log" >&2; exit 1; }
    cp "$prefix"/*.reg "$wine_dir/registry/"
    echo "$made" > "$wine_dir/registry/made"
fi
cp "$wine_dir/registry/"*.reg "$prefix/"
rm -rf "$prefix/drive_c/tarvane" "$wine_dir/unpacked" "$wine_dir/plugins"
mkdir -p "$wine_dir/unpacked" "$wine_dir/plugins/generic"
unzip -q "$zip" -d "$wine_dir/unpacked"
mv "$wine_dir/unpacked/tarvane-$tarvane_version-windows-x64" "$prefix/drive_c/tarvane"
# Beside the programs, where hidapi.dll's LoadLibrary finds it first; never
# in the zip.
cp "$windows_build/tools/wine-cfgmgr32/cfgmgr32.dll" "$prefix/drive_c/tarvane/"
cp "$windows_build/tests/vm/generic/tarvanehand.dll" "$wine_dir/plugins/generic/"
# The guest compares the programs it runs with the zip's.
echo "$zip" > "$wine_dir/zip"
echo "${TARVANE_VM_WINEDEBUG:--all}" > "$wine_dir/winedebug"

# --- Debian's kernel, unpacked into the build folder (never installed) -------
kernel_package() {
    apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-[0-9]/ { print $2; exit }'
}
package="$(kernel_package)"
if [ -z "$package" ]; then
    $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
    package="$(kernel_package)"
fi
[ -n "$package" ] || { echo "vm-test: apt knows no linux-image-amd64 kernel" >&2; exit 1; }
version="${package#linux-image-}"
kernel="$vm/kernel/$version"
if [ ! -f "$kernel/unpacked" ]; then
    echo "vm-test: fetching $package"
    rm -rf "$vm/kernel"
    mkdir -p "$kernel/download"
    # apt's download user must be able to write there.
    if [ "$(id -u)" -eq 0 ] && id _apt > /dev/null 2>&1; then chown _apt "$kernel/download"; fi
    # Lists older than the archive may name a file it no longer has.
    (cd "$kernel/download" && apt-get download -qq "$package") ||
        { $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq && (cd "$kernel/download" && apt-get download -qq "$package"); }
    dpkg-deb -x "$kernel"/download/*.deb "$kernel/root"
    rm -rf "$kernel/download"
    /usr/sbin/depmod -b "$kernel/root" "$version"
    touch "$kernel/unpacked"
fi

# --- The initramfs: busybox, the modules, and init --------------------------
# virtio and 9p to reach the build machine's files; hid, hidraw's users and
# uhid; USB with dummy_hcd and the HID gadget function through configfs.
# overlay: a writable /tmp over the build machine's, where wineserver keeps
# its socket.
modules=(virtio_pci 9pnet_virtio 9p overlay hid_generic uhid usbhid dummy_hcd configfs libcomposite usb_f_hid)
initramfs="$vm/initramfs"
rm -rf "$initramfs"
mkdir -p "$initramfs"/{bin,dev,proc,sys,mnt,modules}
cp /bin/busybox "$initramfs/bin/busybox"
for applet in sh mount insmod mkdir cat ln switch_root poweroff; do
    ln -s busybox "$initramfs/bin/$applet"
done
for module in "${modules[@]}"; do
    /usr/sbin/modprobe -d "$kernel/root" -S "$version" --show-depends "$module" | awk '$1 == "insmod" { print $2 }'
done | awk '!seen[$0]++' | while read -r file; do
    cp "$file" "$initramfs/modules/"
    basename "$file" >> "$initramfs/modules/order"
done
cp scripts/vm/init "$initramfs/init"
# The guest's paths travel in a file of the initramfs, not on the kernel's
# command line.
printf '%s\n%s\n' "$build" "$repo/scripts/vm/guest.sh" > "$initramfs/paths"
(cd "$initramfs" && find . | busybox cpio -o -H newc --quiet) | gzip -1 > "$vm/initramfs.cpio.gz"

# --- Boot ---------------------------------------------------------------------
results="$build/vm/results"
rm -rf "$results"
console="$vm/console.log"
accel="${TARVANE_VM_ACCEL:-tcg}"
limit="${TARVANE_VM_TIMEOUT:-1200}"
if [ "$accel" = "tcg" ]; then
    # The guest's clock counts emulated instructions (1 ns each) while it
    # runs, so that a busy build machine does not stretch the 10 ms the
    # program gives a reply; one processor, as counting needs.
    cpus=(-smp 1 -icount shift=0)
else
    cpus=(-smp 2)
fi
echo "vm-test: booting Linux $version (qemu, $accel), at most $limit s"
start=$SECONDS
status=0
timeout "$limit" qemu-system-x86_64 -accel "$accel" -m 1024 "${cpus[@]}" \
    -nographic -serial stdio -monitor none -no-reboot -net none \
    -kernel "$kernel/root/boot/vmlinuz-$version" -initrd "$vm/initramfs.cpio.gz" \
    -append "console=ttyS0 quiet panic=-1" \
    -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
    -virtfs "local,path=${build//,/,,},mount_tag=work,security_model=none,multidevs=remap" \
    < /dev/null > "$console" 2>&1 || status=$?

guest_status="$(cat "$results/status" 2>/dev/null || true)"
if [ "$status" -eq 0 ] && [ "$guest_status" = "0" ]; then
    cat "$results/log"
    echo "vm-test: passed ($((SECONDS - start)) s in the virtual machine)"
    exit 0
fi
echo "---- the guest's console ($console) ----"
cat "$console"
echo "----"
if [ -f "$results/hung" ]; then
    echo "vm-test: FAILED: the check \"$(cat "$results/hung")\" did not finish within its time-out" >&2
elif [ "$status" -eq 124 ]; then
    echo "vm-test: FAILED: the virtual machine did not finish within $limit s," \
        "in the check \"$(cat "$results/check" 2> /dev/null || echo "(none begun)")\"" >&2
elif [ "$status" -ne 0 ]; then
    echo "vm-test: FAILED: qemu ended with status $status" >&2
elif [ -z "$guest_status" ]; then
    echo "vm-test: FAILED: the guest did not boot or did not finish its checks" >&2
else
    echo "vm-test: FAILED: $guest_status of the guest's checks failed" >&2
fi
exit 1
