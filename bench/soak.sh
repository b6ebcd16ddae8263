#!/usr/bin/env bash
# The soak: the first sample stage played for 100,000 frames by the headless
# runner in a loop of set-ups. Each round of the loop loses the hero once (it
# jumps the first wall and walks into the pit, and the stage starts again),
# then clears the stage with the keys of tests/tools/keys/c01-1-clear.keys and
# leaves the stage-clear phase, so that the test play loads the stage again
# and the game scene follows itself. The runner's resident memory is sampled
# from /proc while it runs; the figures at the start of play and at the end
# say whether anything grows from one set-up to the next.
#   bench/soak.sh [FRAMES]
# Needs the built runner (tools/run builds it); runs on a copy of build/game.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
frames=${1:-100000}
stage='data\stg4\c01-1.stg4_781'
runner="$root/build/game/kestrova4-run"
[ -x "$runner" ] || { echo "soak: build kestrova4-run first (tools/run builds it)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/game"
for entry in "$root"/build/game/*; do
  case "$(basename "$entry")" in kestrova4|kestrova4-run) continue ;; esac
  cp -r "$entry" "$work/game/"
done

# One round lasts 1411 frames: fade-in and ready (89), the lost attempt (315),
# ready again (80), the clearing attempt (590), the stage-clear phase until Z
# (326), the fade-out and the new scene (11). Its keys, as frames within the
# round: KEY FROM TO (held from FROM up to, not including, TO).
round=1411
cat > "$work/round.txt" <<'EOF'
RIGHT 100 400
X 120 122
Z 205 207
RIGHT 495 1195
Z 600 602
Z 707 709
Z 815 817
Z 1400 1402
EOF
# The clearing attempt fires every 20 frames, except where it jumps.
for ((f = 495; f <= 1075; f += 20)); do
  case $f in 595 | 715 | 815) continue ;; esac
  echo "X $f $((f + 2))"
done >> "$work/round.txt"

awk -v rounds="$(((frames + round - 1) / round))" -v round="$round" '
  { key[NR] = $1; from[NR] = $2; to[NR] = $3; n = NR }
  END {
    prev = ""
    for (r = 0; r < rounds; r++) {
      for (f = 0; f < round; f++) {
        held = ""
        split("RIGHT X Z", names, " ")
        for (k = 1; k <= 3; k++) {
          for (i = 1; i <= n; i++) {
            if (key[i] == names[k] && from[i] <= f && f < to[i]) { held = held " " names[k]; break }
          }
        }
        if (held != prev) { print (r * round + f) held; prev = held }
      }
    }
  }' "$work/round.txt" > "$work/soak.keys"

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null || true; }

start_seconds=$(date +%s.%N)
"$runner" --dir "$work/game" --stage "$stage" --keys "$work/soak.keys" --frames "$frames" \
  --trace "$work/trace.txt" 2>"$work/stderr.txt" &
pid=$!
start_rss="" last_rss="" peak_rss=0
while kill -0 "$pid" 2>/dev/null; do
  rss=$(rss_kb "$pid")
  if [ -n "$rss" ]; then
    # The start of play: two rounds traced, so every kind of set-up (a
    # restart, a clear, a reload) has been through once and the allocator
    # holds what one round needs.
    if [ -z "$start_rss" ] && [ -f "$work/trace.txt" ] && [ "$(wc -l < "$work/trace.txt")" -ge $((2 * round)) ]; then
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
# Entries into a phase of the game scene (scene 4): ready (1) after the first
# is a restart after a lost life or a new set-up after a clear; stage clear (4).
entries() {
  awk -v p="$1" '$2 == 4 && $3 == p && !(prev == p) { n++ } { prev = ($2 == 4 ? $3 : -99) } END { print n + 0 }' \
    "$work/trace.txt"
}
echo "frames traced: $traced (runner exit $status)"
echo "stage set-ups (ready phases): $(entries 1)"
echo "stage clears: $(entries 4)"
echo "resident memory at the start of play: ${start_rss:-?} kB"
echo "resident memory at the end:           ${last_rss:-?} kB"
echo "resident memory peak:                 $peak_rss kB"
awk -v s="$start_seconds" -v e="$end_seconds" -v n="$traced" \
  'BEGIN { printf "wall time: %.1f s (%.3f ms a frame)\n", e - s, (e - s) * 1000 / n }'
[ "$status" -eq 0 ] || { cat "$work/stderr.txt" >&2; exit "$status"; }
