# check.sh: sourced by the artifact checks. check WHAT EXPECTED ACTUAL
# prints "ok" or "FAIL" with both values, and marks the run failed.
status=0
check() {
  if [ "$2" == "$3" ]; then
    printf 'ok   %s\n' "$1"
  else
    printf 'FAIL %s\n  expected: %s\n  actual:   %s\n' "$1" "${2//$'\n'/ | }" "${3//$'\n'/ | }"
    status=1
  fi
}
