#!/usr/bin/env bash
# The soak: a sample stage played for 100,000 frames by the headless runner,
# looping: the hero jumps now and then, and each time it is lost the retry
# prompt takes it back to the stage's start. The runner's resident memory is
# sampled from /proc while it runs; the figures at the start of play and at
# the end say whether anything grows frame by frame.
#   bench/soak.sh [FRAMES] [STAGE]
# Needs the built runner (tools/run builds it); runs on a copy of build/game.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
frames=${1:-100000}
stage=${2:-'data\stg4\c01-1.stg4_781'}
runner="$root/build/game/kestrova4-run"
[ -x "$runner" ] || { echo "soak: build kestrova4-run first (tools/run builds it)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/game"
for entry in "$root"/build/game/*; do
  case "$(basename "$entry")" in kestrova4|kestrova4-run) continue ;; esac
  cp -r "$entry" "$work/game/"
done

# Z (jump in play, decide on the retry prompt) for 2 frames every 120 frames.
for ((f = 200; f < frames; f += 120)); do
  printf '%d Z\n%d\n' "$f" "$((f + 2))"
done > "$work/soak.keys"

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null || true; }

start_seconds=$(date +%s.%N)
"$runner" --dir "$work/game" --stage "$stage" --keys "$work/soak.keys" --frames "$frames" \
  --trace "$work/trace.txt" 2>"$work/stderr.txt" &
pid=$!
start_rss="" last_rss="" peak_rss=0
while kill -0 "$pid" 2>/dev/null; do
  rss=$(rss_kb "$pid")
  if [ -n "$rss" ]; then
    # The start of play: the stage loaded and the first thousand frames traced.
    if [ -z "$start_rss" ] && [ -f "$work/trace.txt" ] && [ "$(wc -l < "$work/trace.txt")" -ge 1000 ]; then
      start_rss=$rss
    fi
    last_rss=$rss
    [ "$rss" -gt "$peak_rss" ] && peak_rss=$rss
  fi
  sleep 0.2
done
status=0
wait "$pid" || status=$?
end_seconds=$(date +%s.%N)

traced=$(wc -l < "$work/trace.txt")
# Entries into the retry prompt (scene 4, phase 5): the hero lost and the stage started again.
retries=$(awk '$2 == 4 && $3 == 5 && !(prev == 5) { n++ } { prev = ($2 == 4 ? $3 : -1) } END { print n + 0 }' \
  "$work/trace.txt")
echo "frames traced: $traced (runner exit $status)"
echo "stage restarts: $retries"
echo "resident memory at the start of play: ${start_rss:-?} kB"
echo "resident memory at the end:           ${last_rss:-?} kB"
echo "resident memory peak:                 $peak_rss kB"
awk -v s="$start_seconds" -v e="$end_seconds" -v n="$traced" \
  'BEGIN { printf "wall time: %.1f s (%.3f ms a frame)\n", e - s, (e - s) * 1000 / n }'
[ "$status" -eq 0 ] || { cat "$work/stderr.txt" >&2; exit "$status"; }
