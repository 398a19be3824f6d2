#!/usr/bin/env bash
# Scenario: start-up of brontal-driver until its window first shows with the
# simulated devices listed, and the resident memory then. Runs the program
# RUNS times (default 7) on the offscreen platform and prints the medians.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-7}
program="$build/bin/brontal-driver"
[ -x "$program" ] || { echo "no $program: build first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

times=()
memory=()
for i in $(seq "$runs"); do
  mkdir -m 0700 "$work/run$i"
  XDG_RUNTIME_DIR="$work/run$i" XDG_CONFIG_HOME="$work/run$i" QT_QPA_PLATFORM=offscreen \
    BRONTAL_TRACE="$work/trace$i" "$program" --simulate --screenshot "$work/shot$i.png" >/dev/null 2>&1
  line=$(grep -m1 'first shown after' "$work/trace$i")
  times+=("$(sed -E 's/.*after ([0-9]+) ms.*/\1/' <<<"$line")")
  memory+=("$(sed -E 's/.*resident ([0-9]+) KiB.*/\1/' <<<"$line")")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
echo "runs: $runs"
echo "start-up to first shown window: median $(median "${times[@]}") ms (all: ${times[*]})"
echo "resident memory then: median $(( $(median "${memory[@]}") / 1024 )) MiB"
