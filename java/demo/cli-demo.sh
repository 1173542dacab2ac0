#!/usr/bin/env bash
# cli-demo.sh JAVA JAR: the jar's command line at work on a temporary file.
set -uo pipefail
java=$1 jar=$2
file=$(mktemp /tmp/trelvan-cli-demo-XXXXXX)
show() { printf '  %s\n' "$(ls -l "$file" 2>/dev/null | cut -d' ' -f1 || echo "(gone)")"; }
run() {
  printf '$ java -jar trelvan.jar %s\n' "$*"
  "$java" -jar "$jar" "$@"
  printf '  exit %d\n' $?
}

echo "file: $file"; show
run readonly "$file"; show
run writable "$file"; show
run readonly "$file"; show
run remove "$file"
[ -e "$file" ] && echo "  still there" || echo "  gone"
run remove "$file"
run frobnicate "$file"
