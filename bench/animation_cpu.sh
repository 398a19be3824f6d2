#!/usr/bin/env bash
# Scenario: brontal-driver animating three simulated devices (a full-size
# keyboard in the sweep mode at speed 4, a mouse and a mouse pad in their
# own lighting) with its window on the offscreen platform, the keyboard's
# page on screen. Prints the CPU the program used over SECONDS (default 10),
# as a percentage of one core, and its threads' wake-ups per second
# (voluntary and involuntary context switches of every thread).
# Usage: bench/animation_cpu.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build=${1:-build}
seconds=${2:-10}
bin="$build/bin"
[ -x "$bin/brontal-driver" ] || { echo "no $bin/brontal-driver: build first" >&2; exit 1; }
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 0700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
  XDG_STATE_HOME="$work/state" XDG_CACHE_HOME="$work/cache" BRONTAL_HID="sim:$work/bus" BRONTAL_TRACE=off

"$bin/brontal-sim" serve "$work/bus" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do "$bin/brontal-sim" status "$work/bus" >/dev/null 2>&1 && break; sleep 0.1; done
# The first product plugged is the one on screen: PRODUCTS="320f:2003 320f:50eb 320f:1004"
# measures the keyboard animating while the mouse's page is shown.
for product in ${PRODUCTS:-320f:50eb 320f:2003 320f:1004}; do "$bin/brontal-sim" plug "$work/bus" "$product" >/dev/null; done

QT_QPA_PLATFORM=offscreen "$bin/brontal-driver" >/dev/null 2>&1 &
driver=$!
pids+=("$driver")
# Once the program listens, brontalctl's requests go to it rather than to the devices.
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/brontal/device-control.socket" ] && break; sleep 0.1; done
for _ in $(seq 100); do "$bin/brontalctl" show keyboard >/dev/null 2>&1 && break; sleep 0.2; done
"$bin/brontalctl" set keyboard mode="${MODE:-3}" speed=4 brightness=4 multicolor=1
sleep 2

cpu_ticks() { awk '{print $14 + $15}' "/proc/$driver/stat"; }
switches() {
  cat /proc/"$driver"/task/*/status 2>/dev/null |
    awk '/^(voluntary|nonvoluntary)_ctxt_switches/ {sum += $2} END {print sum}'
}
ticks_per_second=$(getconf CLK_TCK)
ticks_before=$(cpu_ticks)
switches_before=$(switches)
start=$(date +%s.%N)
sleep "$seconds"
ticks_after=$(cpu_ticks)
switches_after=$(switches)
end=$(date +%s.%N)
awk -v t=$((ticks_after - ticks_before)) -v hz="$ticks_per_second" -v s="$start" -v e="$end" \
  -v w=$((switches_after - switches_before)) -v threads="$(ls /proc/"$driver"/task | wc -l)" 'BEGIN {
    wall = e - s
    printf "three devices animating for %.1f s: CPU %.2f %% of one core, %.0f wake-ups per second (%d threads)\n",
      wall, 100 * t / hz / wall, w / wall, threads
  }'
