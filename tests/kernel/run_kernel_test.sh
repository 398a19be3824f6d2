#!/usr/bin/env bash
# Boots Debian's kernel in qemu and runs in_vm.sh against the real uhid/hidraw path.
# Usage: run_kernel_test.sh BUILD_DIR
# Exit 0 only when the VM reported DONE, at least one step ran and none failed.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build="$(realpath "$1")" || exit 2
work="$build/kernel-test"
limit="${KERNEL_TEST_TIMEOUT:-240}"
products="320f:5100 320f:5103 320f:2003 0c76:1630"

start=$EPOCHREALTIME
fail() { echo "kernel-test: $*" >&2; exit 1; }
elapsed() { awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }'; }

command -v qemu-system-x86_64 >/dev/null || fail "qemu-system-x86_64 not found (package qemu-system-x86)"
[ -x "$build/bin/brontalctl" ] || fail "$build/bin/brontalctl not built"
[ -x "$build/bin/brontal-sim" ] || fail "$build/bin/brontal-sim not built"

# The newest kernel in /boot whose modules are installed: the running kernel
# (a container's, often) is irrelevant.
kernel="" kver=""
for k in $(ls /boot/vmlinuz-* 2>/dev/null | sort -V); do
  v="${k#/boot/vmlinuz-}"
  [ -d "/lib/modules/$v/kernel/drivers/hid" ] && { kernel="$k"; kver="$v"; }
done
[ -n "$kernel" ] || fail "no /boot/vmlinuz-* with modules in /lib/modules (package linux-image-amd64)"
[ -r "$kernel" ] || fail "$kernel is not readable"

busybox=""
for b in /bin/busybox /usr/bin/busybox; do [ -x "$b" ] && { busybox="$b"; break; }; done
[ -n "$busybox" ] || fail "busybox not found (package busybox-static)"
# A dynamically linked busybox would find no libraries in the initramfs.
case "$(LANG=C ldd "$busybox" 2>&1)" in *"not a dynamic executable"*) ;; *) fail "$busybox is not static (package busybox-static)" ;; esac

rm -rf "$work"
root="$work/initramfs"
mkdir -p "$root"/{bin,dev,proc,sys,mnt,etc,lib/modules} "$work/expect" || fail "cannot create $work"
cp "$busybox" "$root/bin/busybox"

# Modules in load order, each after its dependencies.
declare -A seen=()
order=()
add_module() {
  local name="${1//-/_}" dep file
  [ -n "${seen[$name]:-}" ] && return 0
  seen[$name]=1
  file="$(modinfo -k "$kver" -n "$1" 2>/dev/null)" || fail "module $1 not found for $kver"
  # modinfo names built-in modules "(builtin)": nothing to load.
  [ "${file:0:1}" = / ] || return 0
  for dep in $(modinfo -k "$kver" -F depends "$1" | tr ',' ' '); do add_module "$dep"; done
  case "$file" in
    *.ko.xz) xz -dc "$file" >"$root/lib/modules/$name.ko" ;;
    *.ko.zst) zstd -qdc "$file" >"$root/lib/modules/$name.ko" ;;
    *.ko.gz) gzip -dc "$file" >"$root/lib/modules/$name.ko" ;;
    *.ko) cp "$file" "$root/lib/modules/$name.ko" ;;
    *) fail "unexpected module file $file" ;;
  esac || fail "cannot unpack $file"
  order+=("$name")
}
for m in virtio_pci 9pnet_virtio 9p hid hid-generic uhid; do add_module "$m"; done
printf '%s\n' "${order[@]}" >"$root/lib/modules/order"

cat >"$root/etc/kernel-test.conf" <<EOF
BUILD_DIR='$build'
IN_VM='$here/in_vm.sh'
KERNEL_TEST_VERBOSE='${KERNEL_TEST_VERBOSE:-}'
EOF
echo "$products" >"$work/expect/products"

cat >"$root/init" <<'EOF'
#!/bin/busybox sh
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
. /etc/kernel-test.conf
echo; echo "KERNEL-VM UP"  # the firmware leaves its last line open
for m in $(cat /lib/modules/order); do
  insmod /lib/modules/$m.ko || echo "KERNEL-VM insmod $m failed"
done
# Loose caching halves the programs' start-up; nothing the VM has read changes on
# the host meanwhile (expect/monitor.json is new, and 9p keeps no negative entries).
if mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=262144,cache=loose hostroot /mnt; then
  mount -t proc proc /mnt/proc
  mount -t sysfs sysfs /mnt/sys
  mount -t devtmpfs devtmpfs /mnt/dev
  # A build or source tree under /tmp or /run would vanish under the tmpfs.
  n=0
  for p in "$BUILD_DIR" "${IN_VM%/*}"; do
    n=$((n + 1)); mkdir -p /keep/$n; mount -o bind "/mnt$p" /keep/$n
  done
  mount -t tmpfs tmpfs /mnt/tmp
  mount -t tmpfs tmpfs /mnt/run
  n=0
  for p in "$BUILD_DIR" "${IN_VM%/*}"; do
    n=$((n + 1)); [ -d "/mnt$p" ] || { mkdir -p "/mnt$p"; mount -o bind /keep/$n "/mnt$p"; }
  done
  echo "KERNEL-VM ROOT"
  chroot /mnt /usr/bin/env -i \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/tmp/home XDG_RUNTIME_DIR=/run/user/0 XDG_CONFIG_HOME=/tmp/home/.config \
    XDG_DATA_HOME=/tmp/home/.local/share XDG_CACHE_HOME=/tmp/home/.cache \
    LANG=C.UTF-8 TERM=dumb KERNEL_TEST_VERBOSE="$KERNEL_TEST_VERBOSE" \
    /bin/bash "$IN_VM" "$BUILD_DIR"
  echo "KERNEL-VM in_vm.sh exited with $?"
else
  echo "KERNEL-STEP FAIL mount-host-root"
fi
poweroff -f
EOF
chmod +x "$root/init"

# The kernel unpacks an uncompressed archive faster than it inflates one without KVM.
(cd "$root" && find . | LC_ALL=C sort | cpio -o -H newc --quiet) >"$work/initrd.cpio" || fail "cannot pack the initramfs"

# The expectations come from the simulated bus, computed on the host: the VM is slow.
ctl="$build/bin/brontalctl"
sim_list="$(echo $products | tr ' ' ',')"
"$ctl" --simulate "$sim_list" list --json >"$work/expect/list.json" || fail "brontalctl --simulate list failed"
"$ctl" --simulate "$sim_list" info --json >"$work/expect/info.json" || fail "brontalctl --simulate info failed"
"$ctl" --simulate "$sim_list" show keyboard --json >"$work/expect/show-keyboard.json" || fail "brontalctl --simulate show keyboard failed"

# The monitor's reference run takes seconds; it runs while the VM boots and in_vm.sh
# waits for its file.
(
  dir="$(mktemp -d)"
  trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$dir"' EXIT
  trap 'exit 1' TERM
  "$build/bin/brontal-sim" serve "$dir" 2>"$work/expect/sim-serve.log" &
  server=$!
  for p in $products; do
    for _ in $(seq 50); do "$build/bin/brontal-sim" plug "$dir" "$p" 2>/dev/null && break; sleep 0.1; done
  done
  BRONTAL_HID="sim:$dir" bash "$here/monitor_scenario.sh" "$build/bin" "$dir" "$work/expect/monitor.tmp" \
    && mv "$work/expect/monitor.tmp" "$work/expect/monitor.json"
) >"$work/expect/monitor-reference.log" 2>&1 &
reference=$!
# timeout passes the signal on to qemu.
trap 'kill "$reference" $(cat "$work/timeout.pid" 2>/dev/null) 2>/dev/null' EXIT

echo "kernel-test: kernel $kernel, modules: ${order[*]}, time-out ${limit} s"
boot_start=$EPOCHREALTIME
booted="" done="" passed=0 failed=0
while IFS= read -r line; do
  line="${line%$'\r'}"
  printf '%s\n' "$line"
  case "$line" in
    "KERNEL-VM UP") echo "kernel-test: kernel up after $(elapsed "$boot_start") s" ;;
    "KERNEL-VM ROOT") booted=1; echo "kernel-test: booted (modules, host root) after $(elapsed "$boot_start") s" ;;
    "KERNEL-STEP PASS "*) passed=$((passed + 1)) ;;
    "KERNEL-STEP FAIL "*) failed=$((failed + 1)) ;;
    "KERNEL-TEST DONE") done=1 ;;
  esac
done < <({ timeout -k 5 "$limit" qemu-system-x86_64 -m 1024 -nographic -no-reboot -cpu max -smp 1 \
           -nic none -kernel "$kernel" -initrd "$work/initrd.cpio" \
           -append "console=ttyS0 quiet panic=-1" \
           -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
           </dev/null 2>&1 &
          echo $! >"$work/timeout.pid"; wait $!; echo "KERNEL-QEMU exit $?"; } | sed -u 's/\x1b\[[0-9;?]*[a-zA-Z]//g; s/\x1bc//g')
kill "$reference" 2>/dev/null
wait "$reference" 2>/dev/null

echo "kernel-test: $passed passed, $failed failed; VM $(elapsed "$boot_start") s, whole test $(elapsed "$start") s"
[ -n "$booted" ] || fail "the VM did not mount the host's root"
[ -n "$done" ] || fail "the VM did not finish (no KERNEL-TEST DONE; time-out ${limit} s?)"
[ "$passed" -gt 0 ] || fail "no step ran"
[ "$failed" -eq 0 ] || fail "$failed step(s) failed"
exit 0
