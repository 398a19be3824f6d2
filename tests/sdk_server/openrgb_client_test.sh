#!/usr/bin/env bash
# brontal-driver on the brontal-sim daemon with its SDK server on a free
# port, driven by the openrgb-sdk client (installed by scripts/deps).
set -uo pipefail
driver=$1 sim=$2 script=$3 node_modules=$4
if [ ! -f "$node_modules/openrgb-sdk/package.json" ]; then
  echo "FAIL: the openrgb-sdk client is not installed in $node_modules (scripts/deps installs it)"
  echo "0 passed, 1 failed"
  exit 1
fi
work=$(mktemp -d /tmp/brontal-sdk-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
# A private session: no other instance, no desktop bus, no user files touched.
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME= XDG_DATA_HOME= XDG_STATE_HOME= XDG_CACHE_HOME=
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY

"$sim" serve "$work/sim" >"$work/sim.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do "$sim" status "$work/sim" >/dev/null 2>&1 && break; sleep 0.1; done

BRONTAL_HID="sim:$work/sim" BRONTAL_TRACE="$work/driver.trace" "$driver" --sdk-server=0 >"$work/driver.log" 2>&1 &
pids+=($!)
port=
for _ in $(seq 150); do
  port=$(sed -n 's/.*sdk server: listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/driver.trace" 2>/dev/null | head -1)
  [ -n "$port" ] && break
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "FAIL: brontal-driver did not start its SDK server"
  cat "$work/driver.log" "$work/driver.trace" 2>/dev/null | tail -40
  echo "0 passed, 1 failed"
  exit 1
fi

if NODE_PATH="$node_modules" timeout 120 node "$script" "$port" "$sim" "$work/sim"; then
  echo "1 passed, 0 failed"
  exit 0
fi
echo "--- driver trace"; tail -40 "$work/driver.trace"
echo "0 passed, 1 failed"
exit 1
