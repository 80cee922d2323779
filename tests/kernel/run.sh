#!/usr/bin/env bash
# The receiver on a real kernel: boots Debian's kernel in qemu with a busybox initramfs holding
# tessik-cli, tessik-sim (and the uhid benchmark when built), and runs vm_init.sh inside.
#   run.sh BUILD_DIR SOURCE_DIR
# Exit status: 0 every check passed, 1 one failed, 77 skipped (no qemu or no kernel package).
set -uo pipefail
build=$(realpath "$1")
source=$(realpath "$2")
cache=$build/kernel-cache
skip() { echo "kernel test skipped: $*"; exit 77; }

qemu=$(command -v qemu-system-x86_64) || skip "qemu-system-x86_64 is not installed"
busybox=$(command -v busybox) || skip "busybox is not installed"
command -v cpio >/dev/null || skip "cpio is not installed"

# The distribution's kernel, fetched once into the build tree.
mkdir -p "$cache"
if [ ! -f "$cache/vmlinuz" ]; then
    version=$(apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-/ {print $2; exit}')
    [ -n "$version" ] || skip "no linux-image-amd64 package is known to apt"
    (cd "$cache" && apt-get download "$version" >/dev/null 2>&1) || skip "apt-get download $version failed"
    rm -rf "$cache/x" && dpkg-deb -x "$cache"/"$version"_*.deb "$cache/x" || skip "cannot unpack $version"
    for m in hid hid-generic uhid; do
        find "$cache/x/lib/modules" -name "$m.ko" -exec cp {} "$cache/" \; 
    done
    cp "$cache"/x/boot/vmlinuz-* "$cache/vmlinuz"
    rm -rf "$cache/x" "$cache"/*.deb
fi
for m in hid hid-generic uhid; do [ -f "$cache/$m.ko" ] || skip "the kernel package has no $m.ko"; done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root"/{bin,data,etc,lib/modules,proc,sys,dev,tmp}
printf "root:x:0:0::/:/bin/sh\n" >"$root/etc/passwd"
printf "root:x:0:\n" >"$root/etc/group"
cp /bin/busybox "$root/bin/busybox"
cp "$source/tests/kernel/vm_init.sh" "$root/init"
cp "$cache"/*.ko "$root/lib/modules/"
programs=("$build/src/cli/tessik-cli" "$build/src/simserver/tessik-sim")
[ -x "$build/bench/uhid_bench" ] && programs+=("$build/bench/uhid_bench")
for p in "${programs[@]}"; do
    [ -x "$p" ] || { echo "kernel test: $p is not built"; exit 1; }
    cp "$p" "$root/bin/"
    # Their shared libraries, at the paths the dynamic loader looks for them.
    for lib in $(ldd "$p" | grep -o '/[^ ]*'); do
        mkdir -p "$root$(dirname "$lib")" && cp -n "$lib" "$root$lib"
    done
done

# What the VM compares against: the table, the transfers of its Set Up Data in-process, the
# sample firmware and its name.
cli=$build/src/cli/tessik-cli
work=$root/tmp/host
mkdir -p "$work"
"$cli" import "$source/res/samples/living-room-tv.json" "$root/data/table.ird" || exit 1
"$cli" setup "$root/data/table.ird" --simulate --trace "$work/trace" >/dev/null || exit 1
sha256sum "$work/trace" | cut -d' ' -f1 >"$root/data/trace.sha256"
cp "$build/res/samples/sample-firmware.bin" "$root/data/firmware.bin" || exit 1
"$cli" image-info "$root/data/firmware.bin" | sed -n 's/^name: *//p' >"$root/data/firmware.name"
rm -rf "$work"

chmod 755 "$root"
(cd "$root" && find . | cpio -o -H newc --quiet | gzip -1) >"$cache/initrd.gz"

log=$build/kernel-test.log
started=$(date +%s)
timeout 240 "$qemu" -accel tcg -m 512 -smp 1 -nographic -no-reboot \
    -kernel "$cache/vmlinuz" -initrd "$cache/initrd.gz" \
    -append "console=ttyS0 quiet loglevel=3 panic=-1 rdinit=/init" >"$log" 2>&1
took=$(( $(date +%s) - started ))

grep -aoE 'K(TEST|BENCH|SIM) .*' "$log" | tr -d '\r'
echo "kernel test: boot to result in ${took} s (log: $log)"
# The tool's exchange against the bare ioctls, both medians of wall time per exchange.
tool=$(grep -a "KBENCH BM_ToolGetVersion_median" "$log" | awk '{print $3}')
bare=$(grep -a "KBENCH BM_BareIoctls_median" "$log" | awk '{print $3}')
if [ -n "$tool" ] && [ -n "$bare" ]; then
    echo "kernel test: exchange through the tool ${tool} us, bare ioctls ${bare} us, ratio $(awk "BEGIN {printf \"%.2f\", $tool / $bare}")"
fi
grep -aq "KTEST DONE" "$log" || { echo "kernel test: the VM did not finish"; tail -20 "$log"; exit 1; }
if grep -aqE "KTEST [a-z]+ FAIL" "$log"; then exit 1; fi
for check in search trace update unplug watch permission; do
    grep -aq "KTEST $check PASS" "$log" || { echo "kernel test: $check did not run"; exit 1; }
done
exit 0
