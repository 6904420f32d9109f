#!/bin/sh
# check_pe.sh <objdump> <exe> <i386|x86_64> <stack reserve>: the product's
# format, subsystem, header values and imports.
set -eu
objdump=$1; exe=$2; arch=$3; reserve=$(printf '%08x' "$4")
out=$("$objdump" -p "$exe")
fail() { echo "check_pe: $*" >&2; echo "$out" | head -40 >&2; exit 1; }
case "$arch" in
  i386) echo "$out" | grep -q "file format pei-i386" || fail "not PE32 i386"
        echo "$out" | grep -q "^Magic[[:space:]]*010b" || fail "not a PE32 optional header" ;;
  x86_64) echo "$out" | grep -q "file format pei-x86-64" || fail "not PE32+ x86-64" ;;
esac
echo "$out" | grep -q "^Subsystem[[:space:]]*00000002" || fail "not the Windows GUI subsystem"
case "$arch" in i386) hardening="DYNAMIC_BASE NX_COMPAT NO_SEH" ;; x86_64) hardening="DYNAMIC_BASE NX_COMPAT HIGH_ENTROPY_VA" ;; esac
for flag in $hardening TERMINAL_SERVICE_AWARE; do
  echo "$out" | grep -q "^[[:space:]]*$flag\$" || fail "no $flag in DllCharacteristics"
done
echo "$out" | grep -qi "^SizeOfStackReserve[[:space:]]*0*$reserve\$" || fail "stack reserve is not 0x$reserve"
if echo "$out" | grep -qi "^[[:space:]]*large address aware"; then fail "large-address aware"; fi
dlls=$(echo "$out" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
for d in $dlls; do
  case "$d" in
    libgcc*|libstdc++*|libwinpthread*|libssp*|libatomic*|libgomp*) fail "imports the MinGW runtime DLL $d" ;;
  esac
done
echo "$dlls" | grep -q kernel32.dll || fail "no kernel32.dll import: objdump output not understood"
echo "check_pe: $exe is $arch, GUI subsystem, $hardening TERMINAL_SERVICE_AWARE, stack 0x$reserve, imports: $(echo $dlls)"
