#!/usr/bin/env bash
# The manual pages as man shows them: each renders without a troff warning,
# and brontalctl's lists every command line of `brontalctl --help` whole.
set -euo pipefail
brontalctl=$1 folder=$2
status=0

for page in brontal-driver brontalctl brontal-sim; do
  warnings=$(groff -man -ww -z "$folder/$page.1" 2>&1)
  if [ -n "$warnings" ]; then
    echo "FAIL: $page.1 has troff warnings:"; echo "$warnings"; status=1
  fi
  if ! gzip -dc "$folder/$page.1.gz" | cmp -s - "$folder/$page.1"; then
    echo "FAIL: $page.1.gz is not $page.1"; status=1
  fi
done

rendered=$(groff -man -Tascii -P-cbu "$folder/brontalctl.1")
count=0
# The usage of each command, without its summary.
while IFS= read -r usage; do
  count=$((count + 1))
  if ! grep -qF -- "$usage" <<<"$rendered"; then
    echo "FAIL: the manual page lacks: $usage"; status=1
  fi
done < <("$brontalctl" --help | sed -n '/^Commands:/,/^$/{/^  [a-z]/p}' | sed 's/^  //; s/   .*//')
[ "$count" -ge 10 ] || { echo "FAIL: only $count commands read from --help"; status=1; }
for section in SYNOPSIS COMMANDS OPTIONS; do
  grep -q "^$section" <<<"$rendered" || { echo "FAIL: no section $section"; status=1; }
done
[ $status -eq 0 ] && echo "$count commands on the page"
exit $status
