#!/usr/bin/env bash
# Checks the built quillary3.dll as it ships, without running it (a check that needs no
# Windows, so it runs for the 32-bit DLL on machines whose kernel runs no 32-bit programs):
#
#   com/tests/check_dll.sh OBJDUMP NM DLL
#
# - the DLL has no symbols and no debug sections; DLL.debug beside it, which the DLL's
#   debug link names, holds them;
# - a version resource with the file and product version and the description;
# - a 32-bit DLL registers its DWARF unwind tables with its own static libgcc whatever
#   else the process holds: no code in it looks for libgcc_s_dw2-1.dll (the compiler's
#   start-up object does), and its start-up registration calls its own
#   __register_frame_info directly.
set -uo pipefail
objdump=$1
nm=$2
dll=$3
debug=$dll.debug
failed=0
fail() {
  echo "FAILED: $*"
  failed=1
}

headers=$("$objdump" -h "$dll")
grep -q ' \.debug_' <<<"$headers" && fail "$dll has debug sections"
grep -q ' \.gnu_debuglink' <<<"$headers" || fail "$dll has no debug link"
symbols=$("$objdump" -t "$dll" | grep -c '^\[' || true)
((symbols == 0)) || fail "$dll has $symbols symbols"
[[ -f $debug ]] || fail "$debug is missing"
link=$("$objdump" -s -j .gnu_debuglink "$dll" | sed -n 's/^ [0-9a-f]* [0-9a-f ]*  //p' | tr -d '\n' | cut -d. -f1-3)
[[ $link == "$(basename "$debug")" ]] || fail "the debug link names '$link', not $(basename "$debug")"
debugSymbols=$("$nm" "$debug" 2>/dev/null)
grep -q ' _*DllGetClassObject$' <<<"$debugSymbols" || fail "$debug holds no symbols"

# The version resource: its strings are UTF-16.
strings16=$(strings -el "$dll")
for text in VS_VERSION_INFO FileVersion ProductVersion FileDescription "Quillary3 list processing"; do
  grep -qx "$text" <<<"$strings16" || fail "the version resource has no '$text'"
done

if "$objdump" -f "$dll" | grep -q 'pei-i386'; then
  (($(grep -ca 'libgcc_s_dw2-1\.dll' "$dll") == 0)) || fail "$dll looks for libgcc_s_dw2-1.dll"
  address() { awk -v name="$1" '$3 == name { print $1; exit }' <<<"$debugSymbols"; }
  start=$(address ___gcc_register_frame)
  register=$(address ___register_frame_info)
  if [[ -z $start || -z $register ]]; then
    fail "no start-up registration found in $debug"
  else
    target=$(printf '%x' $((0x$register)))
    code=$("$objdump" -d --start-address=$((0x$start)) --stop-address=$((0x$start + 0x40)) "$dll")
    grep -Eq "call +(0x)?$target" <<<"$code" || fail "the start-up registration does not call the DLL's own __register_frame_info:
$code"
    grep -Eq 'call +\*' <<<"$code" && fail "the start-up registration calls through a pointer:
$code"
  fi
fi
((failed == 0)) && echo ok
exit $failed
