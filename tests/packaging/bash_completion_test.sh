#!/usr/bin/env bash
# The completion as bash runs it: COMP_WORDS and COMP_CWORD as bash sets
# them, COMPREPLY compared with what brontalctl's help and devices allow.
set -uo pipefail
export LC_ALL=C  # the order the expected lists are in
brontalctl=$1
source "$2"
failures=0 cases=0

# complete "WORDS BEFORE THE CURSOR|THE WORD BEING TYPED" "EXPECTED CANDIDATES, sorted"
complete_case() {
  local before=${1%|*} typed=${1#*|} expected=$2
  read -ra COMP_WORDS <<<"$brontalctl $before"
  COMP_WORDS+=("$typed")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _brontalctl
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//')
  cases=$((cases + 1))
  if [ "$got" != "$expected" ]; then
    echo "FAIL: brontalctl $before [$typed]: got '$got', expected '$expected'"
    failures=$((failures + 1))
  fi
}

complete_case "|ud" "udev-rules"
complete_case "|s" "set shoot show sync"
complete_case "|li" "lighting list"
complete_case "lighting|" "modes preview"
complete_case "audio|" "capture styles"
complete_case "sync|" "start status stop"
complete_case "profile keyboard|" "add copy delete export import list rename reset select"
complete_case "macro mouse|r" "record rename"
complete_case "layer|" "keyboard"
complete_case "describe|" ""
# Devices: the families and, with --simulate and its products, the devices listed.
complete_case "show|" "headset keyboard mouse mousepad"
complete_case "--simulate 320f:2003 show|" "320f:2003 headset keyboard mouse mousepad"
complete_case "--json colors|k" "keyboard"
# Setting names by family, also after settings already given.
complete_case "set mousepad|" "brightness= color= mode= multicolor= speed="
complete_case "set headset|mic" "mic-mute= mic="
complete_case "set keyboard mode=3|repeat" "repeat-delay= repeat="
complete_case "set mouse|dpi.N." "dpi.N.color= dpi.N.enabled="
complete_case "set 320f:1004|eq" "eq-curve= eq="
# Options: the global ones and the command's own.
complete_case "monitor|--f" "--for"
complete_case "|--s" "--simulate"

echo "$((cases - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
