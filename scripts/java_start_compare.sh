#!/bin/sh
# java_start_compare.sh <host build dir> [runs]
# Times a whole start of a trivial Java main through our start routine
# (bench/java_start_run) beside the JDK's own java launcher, with the same
# JDK, options and class path, alternating the two; prints the medians.
# Uses hyperfine when it is installed, else a loop over date +%s%N.
set -eu
build=$(cd "$1" && pwd)
runs=${2:-30}

jdk=$(sed -n 's/^LAUNCHER_JDK_HOME:PATH=//p' "$build/CMakeCache.txt")
libjvm=$jdk/lib/server/libjvm.so
java=$jdk/bin/java
run=$build/bench/java_start_run
classes=$build/bench/java-start-classes
[ -x "$run" ] && [ -f "$classes/JavaStartTrivial.class" ] || {
  echo "build the java_start_run target in $build first" >&2; exit 2; }

# The ormic options a JDK 17 accepts without a word: -Djava.ext.dirs is
# refused, and -verbose and -Xverify:none only add output.
set -- -Xbootclasspath/a:"$classes" -Djava.library.path=./bin -Xshare:auto \
  -XX:MaxHeapFreeRatio=5 -XX:MinHeapFreeRatio=5 -XX:+HeapDumpOnOutOfMemoryError \
  "-XX:HeapDumpPath=./dump" -Xms64m -Xmx365m -DimType=swing \
  -Dfile.encoding=UTF-8 -Djavax.net.ssl.trustStoreType=WINDOWS-ROOT \
  -Dsun.java2d.ddscale=true -Dsun.java2d.translaccel=true -Dmorena.debug=true
class_path=$("$run" --class-path)

work=$(mktemp -d "${TMPDIR:-/tmp}/java-start-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/launcher-logs"
cd "$work"

{
  printf '{"jvm_path": "%s", "main_class": "JavaStartTrivial", "encrypt_class": "JavaStartKeyProvider", "options": [' "$libjvm"
  sep=
  for o in "$@"; do printf '%s"%s"' "$sep" "$o"; sep=', '; done
  printf ']}\n'
} > record.json

ours() { "$run" record.json; }
theirs() { "$java" "$@" -cp "$class_path" JavaStartTrivial; }

# Both must work before they are timed.
ours >/dev/null 2>&1 || { echo "our start failed:" >&2; ours; exit 1; }
theirs "$@" >/dev/null 2>&1 || { echo "the java launcher failed:" >&2; theirs "$@"; exit 1; }

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

if command -v hyperfine >/dev/null 2>&1; then
  quoted=
  for o in "$@"; do quoted="$quoted '$o'"; done
  hyperfine -N --warmup 3 --runs "$runs" --export-json times.json \
    "'$run' record.json" "'$java'$quoted -cp '$class_path' JavaStartTrivial" >/dev/null
  ours_ms=$(python3 -c 'import json,statistics as s; r=json.load(open("times.json"))["results"]; print("%.1f" % (s.median(r[0]["times"])*1000))')
  java_ms=$(python3 -c 'import json,statistics as s; r=json.load(open("times.json"))["results"]; print("%.1f" % (s.median(r[1]["times"])*1000))')
  tool=hyperfine
else
  for _ in 1 2 3; do ours >/dev/null 2>&1; theirs "$@" >/dev/null 2>&1; done
  : > ours.txt; : > java.txt
  i=0
  while [ "$i" -lt "$runs" ]; do
    t0=$(date +%s%N); ours >/dev/null 2>&1; t1=$(date +%s%N)
    theirs "$@" >/dev/null 2>&1; t2=$(date +%s%N)
    echo $(( (t1 - t0) / 1000 )) >> ours.txt
    echo $(( (t2 - t1) / 1000 )) >> java.txt
    i=$((i + 1))
  done
  ours_ms=$(median < ours.txt | awk '{ printf "%.1f", $1 / 1000 }')
  java_ms=$(median < java.txt | awk '{ printf "%.1f", $1 / 1000 }')
  tool="date loop"
fi

echo "whole start of a trivial main, $runs runs each ($tool), medians:"
echo "  our start routine: $ours_ms ms"
echo "  java launcher:     $java_ms ms"
awk -v a="$ours_ms" -v b="$java_ms" 'BEGIN { printf "  ratio:             %.3f\n", a / b }'
