#!/bin/sh
# Runs every benchmark and prints one table of figures and ratios against
# their goals. Needs the host and windows builds (scripts/test.sh makes them).
#   scripts/bench-all.sh [host build] [windows build]
set -eu
cd "$(dirname "$0")/.."
host=${1:-build/host}
win=${2:-build/windows}
for f in "$host/bench/cipher_bench" "$host/bench/records_bench" "$host/bench/java_start_bench" \
  "$host/bench/pe_image_bench"; do
  [ -x "$f" ] || { echo "bench-all: $f is missing: build the host preset first" >&2; exit 2; }
done
out=$(mktemp -d "${TMPDIR:-/tmp}/bench-all.XXXXXX")
trap 'rm -rf "$out"' EXIT

# Google Benchmark CSV: the value of a column for one benchmark name.
csv() { awk -F, -v n="\"$2\"" -v c="$3" '$1 == n { print $c }' "$out/$1.csv"; }
mbps() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1e6 }'; }
# ratio a b [decimals]: the cipher's goals are two-decimal ratios, so its
# rows show three, and a ratio just under a goal never prints as the goal.
ratio() { awk -v a="$1" -v b="$2" -v d="${3:-2}" 'BEGIN { printf "%." d "f", a / b }'; }

echo "bench-all: cipher (OpenSSL with AES-NI masked off, so it runs its software AES)"
OPENSSL_ia32cap="~0x200000200000000" "$host/bench/cipher_bench" --benchmark_format=csv \
  --benchmark_repetitions=3 --benchmark_report_aggregates_only=true >"$out/cipher.csv" 2>/dev/null
echo "bench-all: records and Java start overhead"
"$host/bench/records_bench" --benchmark_format=csv --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true >"$out/records.csv" 2>/dev/null
"$host/bench/java_start_bench" --benchmark_format=csv --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true >"$out/java.csv" 2>/dev/null
"$host/bench/pe_image_bench" --benchmark_format=csv --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true >"$out/pe_image.csv" 2>/dev/null
echo "bench-all: whole Java start against the java launcher"
scripts/java_start_compare.sh "$host" 20 >"$out/compare.txt"
service_ok=no
if [ -f "$win/native/launcher.exe" ]; then
  echo "bench-all: service under Wine"
  if bash scripts/bench-service.sh "$win" 5 >"$out/service.txt" 2>&1; then service_ok=yes; fi
fi

echo
printf '%-52s %14s %14s %s\n' "measure" "ours" "reference" "ratio / goal"
for n in 4096 1048576; do
  for dir in Encrypt Decrypt; do
    fast=$(csv cipher "WhiteboxCfb$dir/$n/0_median" 6)
    general=$(csv cipher "WhiteboxCfb$dir/$n/1_median" 6)
    ossl=$(csv cipher "OpenSslAes256Cfb$dir/${n}_median" 6)
    if [ "$dir" = Encrypt ]; then goal=0.07; else goal=0.10; fi
    printf '%-52s %11s MB/s %9s MB/s %s\n' "CFB $dir $n B, default tables vs OpenSSL" "$(mbps "$general")" \
      "$(mbps "$ossl")" "$(ratio "$general" "$ossl" 3) (goal >= $goal)"
    printf '%-52s %11s MB/s %9s MB/s %s\n' "CFB $dir $n B, plain-XOR tables vs OpenSSL" "$(mbps "$fast")" \
      "$(mbps "$ossl")" "$(ratio "$fast" "$ossl" 3)"
  done
done
printf '%-52s %12s us %14s\n' "initializeCipher" \
  "$(awk -v t="$(csv cipher InitializeCipher_median 3)" 'BEGIN { printf "%.0f", t / 1000 }')" "-"
printf '%-52s %12s us %14s\n' "read the ormic record" \
  "$(awk -v t="$(csv records BM_ReadOrmicRecord_median 3)" 'BEGIN { printf "%.1f", t / 1000 }')" "-"
printf '%-52s %12s us %14s\n' "build the 232-entry class-path option" \
  "$(awk -v t="$(csv records BM_BuildOrmicClassPathOption_median 3)" 'BEGIN { printf "%.1f", t / 1000 }')" "-"
printf '%-52s %12s ms %14s %s\n' "explain a crafted 64 MiB jvm.dll (PE reader)" \
  "$(csv pe_image BM_ReadCraftedPeImage/64_median 3)" "-" "(goal well under 1000 ms)"
for prev in 0 1; do
  t=$(csv java "BM_CallToCreateJavaVM/previous_trace:$prev/manual_time_median" 3)
  unit=$(csv java "BM_CallToCreateJavaVM/previous_trace:$prev/manual_time_median" 5)
  us=$(awk -v t="$t" -v u="$unit" 'BEGIN { f = (u == "ns") ? 1e-3 : (u == "ms") ? 1e3 : 1; printf "%.0f", t * f }')
  printf '%-52s %12s us %14s %s\n' "call to JNI_CreateJavaVM (previous trace: $prev)" "$us" "200 us" \
    "$(ratio "$us" 200) (goal < 1)"
done
ours=$(sed -n 's/.*our start routine: *\([0-9.]*\) ms/\1/p' "$out/compare.txt")
java=$(sed -n 's/.*java launcher: *\([0-9.]*\) ms/\1/p' "$out/compare.txt")
printf '%-52s %12s ms %11s ms %s\n' "whole start of a trivial main vs java launcher" "$ours" "$java" \
  "$(ratio "$ours" "$java") (goal <= 1.05)"
if [ "$service_ok" = yes ]; then
  echo
  echo "service under Wine (vesmors beside a minimal service; goals: idle < 1%, stop within 100 ms of the minimal one):"
  sed -n '/^execution: /,$p' "$out/service.txt"
else
  echo "(service benchmark not run: build $win and keep Wine installed)"
fi
echo
echo "machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"
