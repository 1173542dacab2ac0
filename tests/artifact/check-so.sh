#!/usr/bin/env bash
# check-so.sh SO: the shared library's dynamic symbols are exactly the two
# JNI names, and it needs no library but libc.
set -euo pipefail
so=$1
. "$(dirname "$0")/check.sh"

check "file format" "elf64-x86-64" "$(objdump -f "$so" | sed -n 's/.*file format //p')"
check "defined dynamic symbols" \
  $'Java_zorbel_jni_FileSystemHandler_changeFileMode\nJava_zorbel_jni_FileSystemHandler_removeFile' \
  "$(nm -D --defined-only "$so" | awk '{print $3}' | sort)"
check "needed libraries" "libc.so.6" "$(readelf -d "$so" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort)"
exit $status
