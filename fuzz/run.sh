#!/bin/sh
# Runs each fuzz target for a bounded time.
#
#   fuzz/run.sh BUILD SECONDS
#
# BUILD holds the targets (fuzz/fuzz_reader, fuzz/fuzz_game). Each target
# starts from its committed seeds (fuzz/seeds/<target>) and from seeds made
# from the shipped episodes in data/; what it finds goes to BUILD/corpus, a
# crash to BUILD/artifacts. The log of a target is shown in full only when it
# fails.
set -eu
cd "$(dirname "$0")/.."
build=$1
seconds=$2
made=$build/seeds
mkdir -p "$made/reader" "$made/game" "$build/artifacts"

# Seeds from the shipped episodes: each data file for the reader (control
# byte "0": no filler), and for the game the four files, page texts cut to
# their first 60 characters (keeping whether they say GAME OVER) so the seeds
# stay small, with a few plays of each episode.
if [ -f data/story-choice.dat ]; then
  for f in data/*.dat; do
    { printf 0; cat "$f"; } > "$made/reader/$(basename "$f" .dat)"
  done
  for episode in 1 2 3; do
    for walk in 1111111111 1234123412341234 2222222222 4321432143 13131313; do
      {
        cat data/story-start.dat
        printf '\n~~~\n'
        cat data/story.dat
        printf '\n~~~\n'
        awk '{ print substr($0, 1, 64) (index($0, "GAME OVER") ? " GAME OVER" : "") }' \
          data/story-text.dat
        printf '\n~~~\n'
        cat data/story-choice.dat
        printf '\n~~~\n'
        printf ' 1%s%s3' "$episode" "$walk"
      } > "$made/game/episode$episode-$walk"
    done
  done
fi

# Temporary story files on a memory file system when there is one.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  TMPDIR=/dev/shm
  export TMPDIR
fi

status=0
for target in reader game; do
  corpus=$build/corpus/$target
  log=$build/fuzz-$target.log
  mkdir -p "$corpus"
  echo "fuzz_$target: ${seconds}s"
  if "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=1024 -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$target-" \
      "$corpus" "fuzz/seeds/$target" "$made/$target" > "$log" 2>&1; then
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
  else
    cat "$log"
    echo "fuzz_$target FAILED; inputs kept in $build/artifacts"
    status=1
  fi
done
exit $status
