#!/bin/busybox sh
# The first process of the test VM: loads the HID modules, then runs tessik-sim and tessik-cli
# against each other over the kernel's uhid and hidraw, printing one "KTEST name PASS|FAIL
# detail" line per check on the console, "KTEST DONE" at the end, and powers off.
/bin/busybox --install -s /bin
export PATH=/bin:/usr/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mkdir -p /tmp && mount -t tmpfs tmpfs /tmp
for m in hid hid-generic uhid; do insmod /lib/modules/$m.ko || echo "KTEST modules FAIL $m"; done

result() { echo "KTEST $1 $2 $3"; }
nodes() { ls /dev/hidraw* 2>/dev/null | wc -l; }
# Waits until N hidraw nodes exist (the kernel made them for tessik-sim's devices).
wait_nodes() {
    i=0
    while [ "$(nodes)" -lt "$1" ] && [ $i -lt 200 ]; do usleep 50000; i=$((i + 1)); done
    [ "$(nodes)" -ge "$1" ]
}
start_sim() {
    tessik-sim "$@" 2>>/tmp/sim.log &
    SIM=$!
}
stop_sim() {
    kill $SIM 2>/dev/null
    wait $SIM 2>/dev/null
    i=0
    while [ "$(nodes)" -gt 0 ] && [ $i -lt 100 ]; do usleep 50000; i=$((i + 1)); done
}

# The receiver among other HID devices: another vendor's, and a silent boot loader.
start_sim --decoys --sim-state /tmp/state
if wait_nodes 3; then
    out=$(tessik-cli version 2>&1)
    case "$out" in *"Firmware Ver 1.2.3"*) result search PASS "3 nodes" ;;
        *) result search FAIL "$out" ;; esac
else
    result search FAIL "only $(nodes) hidraw nodes"
fi

# Set Up Data through the kernel: the same transfers as in-process.
if tessik-cli setup /data/table.ird --trace /tmp/vm.trace >/tmp/setup.out 2>&1; then
    got=$(sha256sum /tmp/vm.trace | cut -d' ' -f1)
    want=$(cat /data/trace.sha256)
    if [ "$got" = "$want" ]; then result trace PASS "$(wc -l </tmp/vm.trace) lines"
    else result trace FAIL "sha256 $got, in-process $want"; fi
else
    result trace FAIL "setup: $(cat /tmp/setup.out)"
fi

stop_sim

# A firmware update: the mode switch, the boot loader's node, the new firmware coming back.
start_sim
wait_nodes 1
start=$(cut -d' ' -f1 /proc/uptime)
out=$(tessik-cli firmware /data/firmware.bin 2>&1)
status=$?
end=$(cut -d' ' -f1 /proc/uptime)
after=$(tessik-cli version 2>&1)
case "$status:$out:$after" in
    "0:"*"Firmware update succeeded."*":"*"$(cat /data/firmware.name)"*)
        result update PASS "${start}s to ${end}s" ;;
    *) result update FAIL "status $status: $out / $after" ;;
esac
stop_sim

# The device pulled out in the middle of Set Up Data, and plugged in again, while tessik-cli
# watch looks on (no udev daemon runs here: it listens to the kernel's own events).
start_sim --unplug-after 30 --replug-ms 1500
wait_nodes 1
tessik-cli watch >/tmp/watch.out 2>/tmp/watch.err &
WATCH=$!
usleep 300000
tessik-cli setup /data/table.ird >/tmp/pulled.out 2>&1
pulled=$?
sleep 2
wait_nodes 1
tessik-cli setup /data/table.ird >/tmp/again.out 2>&1
again=$?
if [ $pulled -ne 0 ] && [ $again -eq 0 ] && grep -q "tessik-cli: Failed" /tmp/pulled.out; then
    result unplug PASS "$(head -1 /tmp/pulled.out)"
else
    result unplug FAIL "first $pulled: $(cat /tmp/pulled.out) / second $again: $(cat /tmp/again.out)"
fi
kill -INT $WATCH
wait $WATCH
watched=$?
# The receiver present at the start, then its leave and its arrival, in that order.
events=$(cut -d' ' -f1,2,3 /tmp/watch.out | tr '\n' ',')
case "$watched:$events" in
    "0:present 07f7:0021 normal,left 07f7:0021 normal,arrived 07f7:0021 normal,")
        result watch PASS "$(tr '\n' ';' </tmp/watch.out)" ;;
    *) result watch FAIL "status $watched: $(cat /tmp/watch.out /tmp/watch.err | tr '\n' ';')" ;;
esac
stop_sim

# A node this user may not open.
start_sim
wait_nodes 1
chmod 600 /dev/hidraw*
echo "user:x:1000:1000::/tmp:/bin/sh" >>/etc/passwd
echo "user:x:1000:" >>/etc/group
out=$(su user -c "tessik-cli version" 2>&1)
status=$?
case "$status:$out" in
    "1:"*"no permission to open it"*) result permission PASS "" ;;
    *) result permission FAIL "status $status: $out" ;;
esac
chmod 666 /dev/hidraw*

# The cost of an exchange through the tool against the bare ioctls on the same node.
if [ -x /bin/uhid_bench ]; then
    uhid_bench --benchmark_min_time=0.3 --benchmark_repetitions=3 \
        --benchmark_report_aggregates_only=true 2>&1 | grep median | sed 's/^/KBENCH /'
fi
stop_sim
[ -s /tmp/sim.log ] && sed 's/^/KSIM /' /tmp/sim.log
echo "KTEST DONE"
poweroff -f
