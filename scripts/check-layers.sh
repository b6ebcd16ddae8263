#!/usr/bin/env bash
# Checks the layering of the libraries under src/ (docs/ARCHITECTURE.md): a
# source of src/<lib> may include headers of its own library and of the
# libraries below it, never of one above. Prints every offending include as
# file:line and exits non-zero when there is one, or when a folder of src/ has
# no place in the order.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}

# Bottom to top.
layers=(platform core graphics data sound world flow dialog scene app)

declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

status=0
for dir in "$root"/src/*/; do
  lib=$(basename "$dir")
  if [ -z "${rank[$lib]+set}" ]; then
    echo "src/$lib: not in the layer order of scripts/check-layers.sh"
    status=1
    continue
  fi
  own=${rank[$lib]}
  above=("${layers[@]:$((own + 1))}")
  [ ${#above[@]} -gt 0 ] || continue
  pattern=$(IFS='|'; echo "${above[*]}")
  # Lines like: #include "flow/FlowStep.h", #include <flow/FlowStep.h> or,
  # relative to the includer, #include "../flow/FlowStep.h"
  # grep answers 1 for no match and 2 for a failure to read, which must not
  # pass as a clean tree.
  found=0
  offending=$(grep -rnE --include='*.h' --include='*.cpp' \
      "^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<](\.\.?/)*($pattern)/" "$dir") || found=$?
  if [ "$found" -eq 0 ]; then
    echo "$offending" | sed "s|^$root/||"
    status=1
  elif [ "$found" -ne 1 ]; then
    echo "src/$lib: could not be read"
    status=1
  fi
done

if [ "$status" -ne 0 ]; then
  echo "layer check failed: the order, bottom to top, is ${layers[*]}"
fi
exit "$status"
