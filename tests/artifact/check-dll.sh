#!/usr/bin/env bash
# check-dll.sh ARCH OBJDUMP DLL: the DLL's export directory, imports and
# entry point are exactly what a Windows JVM of ARCH (x86 or x64) binds to,
# and the file stays within 16 KiB.
set -euo pipefail
arch=$1 objdump=$2 dll=$3

case $arch in
  x86) format=pei-i386
       expected_exports=$'1 _Java_zorbel_jni_FileSystemHandler_changeFileMode@16\n2 _Java_zorbel_jni_FileSystemHandler_removeFile@12' ;;
  x64) format=pei-x86-64
       expected_exports=$'1 Java_zorbel_jni_FileSystemHandler_changeFileMode\n2 Java_zorbel_jni_FileSystemHandler_removeFile' ;;
esac

headers=$("$objdump" -p "$dll")
. "$(dirname "$0")/check.sh"

check "file format" "$format" "$("$objdump" -f "$dll" | sed -n 's/.*file format //p')"
check "export module name" "Trelvan.dll" "$(awk '/^Name[ \t]/ {print $3}' <<<"$headers")"
check "ordinal base" "1" "$(awk '/^Ordinal Base/ {print $3}' <<<"$headers")"
check "exports (ordinal name)" "$expected_exports" "$(awk -v base=1 '
  /^\[Ordinal\/Name Pointer\] Table/ {inside=1; next}
  inside && /^[ \t]*\[/ {gsub(/[\[\]]/, ""); print $1 + base, $2; next}
  inside && /^[ \t]*$/ {inside=0}' <<<"$headers" | sort -u)"
check "imported DLLs" "KERNEL32.dll" "$(awk '/DLL Name:/ {print $3}' <<<"$headers" | sort -u)"
check "no entry point" "AddressOfEntryPoint 0" "$(awk '/^AddressOfEntryPoint/ {sub(/^0+/, "", $2); print $1, ($2 == "" ? 0 : $2)}' <<<"$headers")"
size=$(stat -c %s "$dll")
check "at most 16 KiB" "yes" "$([ "$size" -le 16384 ] && echo yes || echo "no: $size bytes")"
exit $status
