#!/usr/bin/env bash
# Installs everything that building and testing Trelvan need on Debian 12,
# and prepares 32-bit Wine. Safe to run again: every step checks first.
set -euo pipefail

say()  { printf '[setup] %s\n' "$*"; }
fail() { printf '\n[setup] FAILED: %s\n\n' "$*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || fail "run as root (packages and binfmt_misc need it)"

packages=(
  build-essential cmake ninja-build clang libclang-rt-14-dev
  libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
  wine wine64 wine32:i386 qemu-user
  openjdk-17-jdk-headless junit5
  strace e2fsprogs file
)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  say "adding the i386 architecture (for wine32)"
  dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  say "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null \
    || fail "apt-get could not install: ${missing[*]}"
elif [ -n "${need_update:-}" ]; then
  apt-get update -qq
fi
say "packages present"

# The kernel here cannot run i386 ELF programs itself; 32-bit Wine runs
# through qemu-i386, registered with binfmt_misc. The F flag makes the kernel
# open the interpreter now, so the registration works in any mount namespace.
binfmt=/proc/sys/fs/binfmt_misc
if [ ! -e "$binfmt/register" ]; then
  say "mounting binfmt_misc"
  mount -t binfmt_misc binfmt_misc "$binfmt" || fail "cannot mount binfmt_misc; 32-bit Wine cannot run"
fi
if [ ! -e "$binfmt/qemu-i386" ] && [ ! -e "$binfmt/i386" ]; then
  qemu=$(command -v qemu-i386-static || command -v qemu-i386 || true)
  [ -n "$qemu" ] || fail "qemu-i386 not found; 32-bit Wine cannot run"
  say "registering $qemu for i386 ELF programs"
  printf '%s' ":qemu-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$qemu:F" \
    > "$binfmt/register" || fail "cannot register qemu-i386 with binfmt_misc"
fi
say "i386 programs run through binfmt_misc"

# The Wine prefix, made now: a new one takes minutes. Then each architecture
# must really run a program of its own: 64-bit cmd.exe, and the 32-bit one
# from syswow64.
here=$(cd "$(dirname "$0")" && pwd)
say "preparing the Wine prefix (the first time takes minutes)"
for arch in x64 x86; do
  cmd='C:\windows\system32\cmd.exe'
  [ "$arch" = x86 ] && cmd='C:\windows\syswow64\cmd.exe'
  out=$("$here/wine-run" "$arch" "$cmd" /c ver 2>&1) || fail "windows-$arch: Wine cannot run a program: $out"
  grep -q 'Windows' <<<"$out" || fail "windows-$arch: Wine ran, but not as expected: $out"
  say "windows-$arch programs run under Wine"
done
say "ready: every target can be built and run"
