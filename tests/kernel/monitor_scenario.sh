#!/usr/bin/env bash
# The monitor scenario, run the same way on the simulated bus (for the expectation)
# and in the VM: a product leaves, a receiver's device drops and returns, and the
# keyboard's cable goes and comes back (the device switches to its receiver and
# back) while brontalctl monitor follows.
# Usage: monitor_scenario.sh BIN_DIR SIM_DIR OUT_FILE
set -u
bin="$1" dir="$2" out="$3"
rc=0
"$bin/brontalctl" monitor --for 7 --json >"$out" &
monitor=$!
# The VM may take a while to start the monitor: the changes must come after it
# has seen the bus as plugged.
for _ in $(seq 100); do [ -s "$out" ] && break; sleep 0.1; done
sleep 1
"$bin/brontal-sim" unplug "$dir" 320f:2003 || { echo "unplug failed"; rc=1; }
"$bin/brontal-sim" link "$dir" 320f:5103 off || { echo "link off failed"; rc=1; }
sleep 1
"$bin/brontal-sim" link "$dir" 320f:5103 on || { echo "link on failed"; rc=1; }
"$bin/brontal-sim" unplug "$dir" 320f:5100 || { echo "cable unplug failed"; rc=1; }
sleep 1
"$bin/brontal-sim" plug "$dir" 320f:5100 || { echo "cable plug failed"; rc=1; }
wait "$monitor" || { echo "brontalctl monitor failed"; rc=1; }
exit $rc
