#!/bin/sh
# Long fuzz runs: scripts/fuzz-long.sh <target|all> <seconds per target>
# Targets: records quoted_form class_path command_line differential pe_image.
# Builds the `fuzz` preset, then fuzzes each target in build/fuzz/long/<target>,
# whose corpus grows from run to run (the seeds in fuzz/corpus are never
# written). A crash leaves its input there as crash-*: copy it into
# fuzz/corpus/<target>/ as a regression seed once fixed.
set -eu
cd "$(dirname "$0")/.."
all="records quoted_form class_path command_line differential pe_image"
if [ $# -ne 2 ]; then
  echo "usage: $0 <$(echo "$all" | tr ' ' '|')|all> <seconds>" >&2
  exit 2
fi
case "$1" in
  all) targets=$all ;;
  *)
    case " $all " in
      *" $1 "*) targets=$1 ;;
      *) echo "unknown target: $1" >&2; exit 2 ;;
    esac ;;
esac
seconds=$2

cmake --preset fuzz >/dev/null
# shellcheck disable=SC2086
cmake --build --preset fuzz --target $(for t in $targets; do printf 'fuzz_%s ' "$t"; done)

status=0
for t in $targets; do
  work="build/fuzz/long/$t"
  mkdir -p "$work/corpus"
  cp fuzz/corpus/"$t"/* "$work/corpus/"
  dict=
  case $t in records|differential) dict="-dict=$PWD/fuzz/records.dict" ;; esac
  echo "=== $t: $seconds s"
  # shellcheck disable=SC2086
  if ! (cd "$work" && "../../fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="./" $dict corpus); then
    echo "=== $t: FAILED, see $work" >&2
    status=1
  fi
done
exit $status
