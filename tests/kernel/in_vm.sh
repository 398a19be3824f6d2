#!/usr/bin/env bash
# The kernel test's steps, run inside the VM (chroot into the host's root, read-only).
# Usage: in_vm.sh BUILD_DIR
# Expectations come from BUILD_DIR/kernel-test/expect/, written on the host.
set -u
build="$1"
bin="$build/bin"
expect="$build/kernel-test/expect"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
read -r -a products <"$expect/products"
sim=/tmp/sim
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$sim" && chmod 700 "$XDG_RUNTIME_DIR"
unset BRONTAL_HID  # the real hidraw backend

# Runs one step; its output is shown when it fails (always with KERNEL_TEST_VERBOSE=1).
step() {
  local name="$1" t0=$EPOCHREALTIME rc
  shift
  # Not in a subshell: sim_plug keeps the server's pid.
  "$@" >/tmp/step.out 2>&1
  rc=$?
  local took
  took="$(awk -v a="$t0" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }')"
  if [ $rc -eq 0 ]; then
    [ -n "${KERNEL_TEST_VERBOSE:-}" ] && cat /tmp/step.out
    grep -h '^exchange overhead' /tmp/step.out
    echo "KERNEL-STEP PASS $name (${took} s)"
  else
    cat /tmp/step.out
    echo "KERNEL-STEP FAIL $name (${took} s, status $rc)"
  fi
}

uhid_node() {
  [ -c /dev/uhid ] || { echo "/dev/uhid missing after loading uhid"; cat /proc/modules; return 1; }
}

programs_run() {
  "$bin/brontalctl" --version || return 1
  "$bin/brontalctl" --simulate list --json | python3 -c 'import json, sys; assert json.load(sys.stdin)'
}

# hidraw nodes of our products: one per (vendor, product, interface) on the simulated bus.
expected_nodes() {
  python3 - "$expect/list.json" <<'EOF'
import json, sys
print(len({(c["vendor_id"], c["product_id"], c["interface"]) for c in json.load(open(sys.argv[1]))}))
EOF
}

our_nodes() {
  local n=0 u p
  for u in /sys/class/hidraw/*/device/uevent; do
    [ -e "$u" ] || continue
    for p in "${products[@]}"; do
      local vid="${p%:*}" pid="${p#*:}"
      grep -qix "HID_ID=0003:0000${vid}:0000${pid}" "$u" && n=$((n + 1))
    done
  done
  echo $n
}

server=""
sim_plug() {
  "$bin/brontal-sim" serve --uhid "$sim" >/tmp/sim-serve.log 2>&1 &
  server=$!
  local p i ok
  for p in "${products[@]}"; do
    ok=""
    for i in $(seq 100); do
      kill -0 "$server" 2>/dev/null || { echo "brontal-sim serve --uhid exited:"; cat /tmp/sim-serve.log; return 1; }
      "$bin/brontal-sim" plug "$sim" "$p" 2>/tmp/plug.err && { ok=1; break; }
      sleep 0.1
    done
    [ -n "$ok" ] || { echo "plug $p failed:"; cat /tmp/plug.err /tmp/sim-serve.log; return 1; }
  done
  local want have
  want="$(expected_nodes)" && [ "$want" -gt 0 ] || { echo "no collections on the simulated bus"; return 1; }
  for i in $(seq 200); do
    have="$(our_nodes)"
    [ "$have" -ge "$want" ] && break
    sleep 0.1
  done
  ls -l /sys/class/hidraw/ /dev/hidraw* 2>&1
  grep -H 'HID_ID\|HID_PHYS' /sys/class/hidraw/*/device/uevent 2>&1
  [ "$have" -eq "$want" ] || { echo "expected $want hidraw nodes of ${products[*]}, found $have"; cat /tmp/sim-serve.log; return 1; }
}

kernel_gtest() {
  [ -x "$bin/hidraw_kernel_test" ] || { echo "$bin/hidraw_kernel_test is not built"; return 1; }
  BRONTAL_SIM_DIR="$sim" timeout 120 "$bin/hidraw_kernel_test"
}

collections() {
  timeout 60 "$bin/brontalctl" list --json >/tmp/list.json || { cat /tmp/list.json; return 1; }
  cat /tmp/list.json
  python3 - "$expect/list.json" /tmp/list.json <<'EOF'
import json, sys
def rows(path):
    return sorted((c["vendor_id"], c["product_id"], c["interface"], c["collection"], c["usage_page"], c["usage"])
                  for c in json.load(open(path)))
want, got = rows(sys.argv[1]), rows(sys.argv[2])
if not want or want != got:
    print("(vendor, product, interface, collection, usage page, usage) differ")
    print("simulated bus:", *want, sep="\n  ")
    print("kernel:", *got, sep="\n  ")
    sys.exit(1)
EOF
}

device_info() {
  timeout 120 "$bin/brontalctl" info --json >/tmp/info.json || { cat /tmp/info.json; return 1; }
  cat /tmp/info.json
  python3 - "$expect/info.json" /tmp/info.json <<'EOF'
import json, sys
def devices(path):
    return sorted(json.dumps(d, sort_keys=True) for d in json.load(open(path)))
want, got = devices(sys.argv[1]), devices(sys.argv[2])
if not want or want != got:
    print("simulated bus:", *want, sep="\n  ")
    print("kernel:", *got, sep="\n  ")
    sys.exit(1)
EOF
}

monitor_events() {
  bash "$here/monitor_scenario.sh" "$bin" "$sim" /tmp/monitor.json || return 1
  cat /tmp/monitor.json
  local i
  for i in $(seq 300); do [ -e "$expect/monitor.json" ] && break; sleep 0.1; done
  [ -e "$expect/monitor.json" ] || { echo "no reference run of the monitor on the host"; return 1; }
  python3 - "$expect/monitor.json" /tmp/monitor.json <<'EOF'
import json, sys
def events(path):
    return [json.loads(l) for l in open(path) if l.strip()]
# Arrivals, removals and link changes; their order and the connect-time read's
# progress vary with the VM's speed.
def changes(evs):
    return {(e["event"], e["vendor_id"], e["product_id"], e.get("role"), e.get("link"))
            for e in evs if e["event"] in ("arrived", "removed", "online", "offline", "link")}
reference, got = events(sys.argv[1]), events(sys.argv[2])
ok = True
for name, evs in (("simulated bus", reference), ("kernel", got)):
    if not any(c[:3] == ("removed", 0x320F, 0x2003) for c in changes(evs)):
        print(f"{name}: no removal of 320f:2003")
        ok = False
    if not any(c[0] == "link" and c[4] == "receiver" for c in changes(evs)):
        print(f"{name}: no switch of the keyboard to its receiver")
        ok = False
if changes(reference) != changes(got):
    print("only on the simulated bus:", sorted(changes(reference) - changes(got)))
    print("only on the kernel path:", sorted(changes(got) - changes(reference)))
    ok = False
if not ok:
    print("simulated bus:", *map(json.dumps, reference), sep="\n  ")
    print("kernel:", *map(json.dumps, got), sep="\n  ")
    sys.exit(1)
EOF
}

show_keyboard() {
  timeout 120 "$bin/brontalctl" show keyboard --json >/tmp/show.json || { cat /tmp/show.json; return 1; }
  cat /tmp/show.json
  python3 - "$expect/show-keyboard.json" /tmp/show.json <<'EOF'
import json, sys
# The firmware version comes from the USB device's bcdDevice, which a uhid device
# does not have.
def fields(path):
    d = json.load(open(path))
    for name in ("firmware_version", "firmware_outdated"):
        d.pop(name, None)
    return d
want, got = fields(sys.argv[1]), fields(sys.argv[2])
if "settings" not in want or want != got:
    print("simulated bus:", json.dumps(want, sort_keys=True))
    print("kernel:", json.dumps(got, sort_keys=True))
    sys.exit(1)
EOF
}

# The path's own cost: the simulator answers at once meanwhile.
exchange_overhead() {
  "$bin/brontal-sim" latency "$sim" 0 || return 1
  BRONTAL_TRACE=off "$bin/exchange_overhead" || return 1
  "$bin/brontal-sim" latency "$sim" 1000
  # The same exchanges on the simulated bus, on this VM's (emulated) processor.
  BRONTAL_TRACE=off "$bin/exchange_overhead" --simulate
}

step uhid-node uhid_node
step programs-run programs_run
step sim-plug sim_plug
step hidraw-kernel-test kernel_gtest
step list collections
step info device_info
step monitor monitor_events
step show-keyboard show_keyboard
step exchange-overhead exchange_overhead

if [ -n "$server" ]; then
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
fi
echo "KERNEL-TEST DONE"
