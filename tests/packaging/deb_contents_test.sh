#!/usr/bin/env bash
# `cpack -G DEB` on the built tree (its build step finds everything up to
# date and the binaries of the build go in), then what the package holds and
# what its scripts do.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/*.deb)
dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' >"$work/contents"

program_dir=$(grep -oE '^\./usr/lib/([^/]+/)?brontal-driver/$' "$work/contents" | head -1)
[ -n "$program_dir" ] || fail "no program folder under /usr/lib"
expected=(
  "${program_dir}brontal-driver" "${program_dir}brontalctl" "${program_dir}brontal-sim" "${program_dir}brontal-audio"
  "${program_dir}skin/res.xml" "${program_dir}skin/lang/en.xml" "${program_dir}skin/XML/SetWnd.xml"
  "${program_dir}DefaultData/Language.config" "${program_dir}DefaultData/default_light.json"
  ./usr/lib/udev/rules.d/70-brontal-driver.rules
  ./usr/share/applications/brontal-driver.desktop
  ./usr/share/metainfo/example.brontal.BrontalDriver.metainfo.xml
  ./usr/share/man/man1/brontal-driver.1.gz ./usr/share/man/man1/brontalctl.1.gz ./usr/share/man/man1/brontal-sim.1.gz
  ./usr/share/bash-completion/completions/brontalctl
)
for size in 16 24 32 48 64 128 256; do expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/brontal-driver.png"); done
for path in "${expected[@]}"; do grep -qxF -- "$path" "$work/contents" || fail "missing $path"; done

# The commands on the PATH are relative links into the program folder, which holds the programs only.
for program in brontal-driver brontalctl brontal-sim brontal-audio; do
  link=$(grep -E "^\./usr/bin/$program -> " "$work/contents" | sed 's/.* -> //')
  [ -n "$link" ] || { fail "no /usr/bin/$program link"; continue; }
  [[ $link != /* ]] || fail "/usr/bin/$program points to an absolute path: $link"
  [ "$(realpath -m "/usr/bin/$link")" = "${program_dir#.}$program" ] || fail "/usr/bin/$program -> $link"
done
others=$(grep -E "^${program_dir//./\\.}[^/]+$" "$work/contents" |
  grep -vE '/(brontal-driver|brontalctl|brontal-sim|brontal-audio)$' || true)
[ -z "$others" ] || fail "more than the programs in the program folder: $others"
! grep -qE 'test|bench|scale_icon|capture_stand_in' "$work/contents" || fail "test or build tools in the package"

# Control data: the libraries it needs and the udev reload.
dpkg-deb -e "$deb" "$work/control"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libudev1 libjsoncpp; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
[ -x "$work/control/postinst" ] || fail "no executable postinst"

# The postinst reloads udev's rules and tells it about the devices, and
# goes through where udev does not run (its udevadm fails) or is missing.
mkdir "$work/bin"
printf '#!/bin/sh\necho "$*" >>"%s"\nexit %s\n' "$work/calls" '${UDEVADM_STATUS:-0}' >"$work/bin/udevadm"
chmod +x "$work/bin/udevadm"
for udevadm_status in 0 1; do
  rm -f "$work/calls"
  UDEVADM_STATUS=$udevadm_status PATH="$work/bin:/usr/bin:/bin" "$work/control/postinst" configure ||
    fail "postinst failed when udevadm exits $udevadm_status"
  grep -q '^control --reload$' "$work/calls" 2>/dev/null || fail "postinst did not reload the rules"
  grep -q '^trigger' "$work/calls" 2>/dev/null || fail "postinst did not trigger the devices"
done
env -i PATH="$work/empty" /bin/sh "$work/control/postinst" configure || fail "postinst failed without udevadm"

[ $status -eq 0 ] && echo "the package holds ${#expected[@]} expected files and its postinst holds"
exit $status
