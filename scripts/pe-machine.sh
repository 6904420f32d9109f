#!/bin/sh
# Prints i386 or x86_64 for a PE file, or "unknown".
set -eu
f=$1
off=$(od -An -t u4 -j 60 -N 4 "$f" | tr -d ' ')
m=$(od -An -t x2 -j $((off + 4)) -N 2 "$f" | tr -d ' ')
case "$m" in
  014c) echo i386 ;;
  8664) echo x86_64 ;;
  *) echo unknown ;;
esac
