#!/usr/bin/env bash
# Each way brontal-driver cannot start: the exit status is not 0, and
# standard error says why in a line of its own.
set -uo pipefail
driver=$1
work=$(mktemp -d "$(dirname "$driver")/start-failures.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0 cases=0

# The program finds its skin beside itself: a hard link in an empty folder has none.
mkdir "$work/no-skin"
ln "$driver" "$work/no-skin/brontal-driver" 2>/dev/null || cp "$driver" "$work/no-skin/brontal-driver"

# start_case NAME PROGRAM "EXPECTED PATTERN OF STDERR" VARIABLE=VALUE...
start_case() {
  local name=$1 program=$2 pattern=$3
  shift 3
  mkdir -p "$work/$name/run" "$work/$name/home"
  chmod 700 "$work/$name/run"
  local err="$work/$name/stderr"
  # A private session: no other instance, no desktop bus, no user files touched.
  env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/$name/home" XDG_RUNTIME_DIR="$work/$name/run" \
    XDG_CONFIG_HOME= XDG_DATA_HOME= XDG_STATE_HOME= DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" \
    BRONTAL_TRACE=off "$@" timeout 60 "$program" --simulate >/dev/null 2>"$err" </dev/null
  local status=$?
  cases=$((cases + 1))
  if [ $status -eq 0 ] || [ $status -ge 124 ]; then
    echo "FAIL: $name: exit status $status (want a failure of its own, not 0, a time-out or a signal)"
    failures=$((failures + 1))
  elif ! grep -qE "^brontal-driver: cannot start: .*($pattern)" "$err"; then
    echo "FAIL: $name: stderr does not say why:"; cat "$err"
    failures=$((failures + 1))
  fi
}

start_case no-skin "$work/no-skin/brontal-driver" "res.xml" QT_QPA_PLATFORM=offscreen
start_case no-display "$driver" "display|platform" QT_QPA_PLATFORM=xcb
start_case unknown-platform "$driver" "platform" QT_QPA_PLATFORM=no-such-platform

echo "$((cases - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
