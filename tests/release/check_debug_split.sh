#!/bin/sh
# check_debug_split.sh <objdump> <nm> <addr2line> <exe>: the shipped file has
# no debug sections and no symbols, and an address of our own code in it
# resolves, through its .gnu_debuglink, to a line of our sources.
set -eu
objdump=$1; nm=$2; addr2line=$3; exe=$4
fail() { echo "check_debug_split: $*" >&2; exit 1; }

sections=$("$objdump" -h "$exe")
if echo "$sections" | grep -q ' \.debug_'; then
  fail "$exe ships debug sections: $(echo "$sections" | grep -o '\.debug_[a-z_]*' | tr '\n' ' ')"
fi
echo "$sections" | grep -q ' \.gnu_debuglink ' || fail "$exe has no .gnu_debuglink section"
"$objdump" -t "$exe" | grep -qx 'no symbols' || fail "$exe ships a symbol table"

# wmain: "_wmain" in a 32-bit symbol table, "wmain" in a 64-bit one.
address=$("$nm" "$exe.debug" | awk '$3 == "_wmain" || $3 == "wmain" { print $1 }')
[ -n "$address" ] || fail "$exe.debug has no symbol for wmain"
where=$("$addr2line" -f -e "$exe" "0x$address")
echo "$where" | sed -n 1p | grep -qx wmain && echo "$where" | sed -n 2p | grep -q '/native/main_windows\.cpp:[1-9]' ||
  fail "0x$address in $exe resolves to '$(echo $where)', not to wmain in native/main_windows.cpp"
echo "check_debug_split: $exe has no debug sections or symbols; 0x$address is $(echo $where)"
