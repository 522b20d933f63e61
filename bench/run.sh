#!/bin/sh
# The figures of make bench: the benchmarks (bench/kep_bench.cc), then the
# peak resident memory of the real game through one whole scripted episode on
# the largest story and on the shipped one.
#
#   bench/run.sh BUILD [kep_bench flags...]
set -eu
cd "$(dirname "$0")/.."
build=$1
shift

"$build/bench/kep_bench" "$@"

echo
echo "Peak resident memory through one whole episode (real game, 80x40 pty)"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$build/bench/make_story" "$tmp/largest"
"$build/bench/memory_bench" "$build/kep" 300 1 "$tmp/largest" .
