#!/usr/bin/env bash
# check-syscalls.sh PROBE LIBRARY: each operation makes exactly the system
# calls it needs (changeFileMode 2, removeFile 4) and no heap allocation.
set -euo pipefail
probe=$1 library=$2
dir=$(mktemp -d /tmp/trelvan-syscalls-XXXXXX)
trap 'rm -rf "$dir"' EXIT
command -v strace >/dev/null || { echo "FAIL strace is missing: run make setup"; exit 1; }

status=0
while read -r operation name expected; do
  log="$dir/strace.log"
  out=$(strace -qq -o "$log" "$probe" "$library" "$operation" "$dir/$name")
  # The calls between the two getppid() markers.
  calls=$(awk '/^getppid\(/ {inside = !inside; next} inside {sub(/\(.*/, ""); print}' "$log" | paste -sd' ')
  count=$(wc -w <<<"$calls")
  allocations=$(sed -n 's/.*allocations \([0-9]*\).*/\1/p' <<<"$out")
  if [ "$count" -eq "$expected" ] && [ "$allocations" -eq 0 ]; then
    printf 'ok   %-6s %-14s %d system calls (%s), no allocation\n' "$operation" "$name" "$count" "$calls"
  else
    printf 'FAIL %-6s %-14s %d system calls (%s), %s allocations; want %d and 0\n' \
      "$operation" "$name" "$count" "$calls" "$allocations" "$expected"
    status=1
  fi
done <<'CASES'
change ascii.txt 2
change café-日本.txt 2
remove ascii.txt 4
remove café-日本.txt 4
CASES
exit $status
