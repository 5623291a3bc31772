#!/usr/bin/env bash
# Fails when a source file includes from a folder above its own. The folders of src/, bottom
# first; a file may include from its own folder and from folders of a lower rank only, so
# folders of one rank (the two readers, the two front ends) never include each other.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A rank=(
  [common]=0      # numbers, texts, canvases, the interfaces of the outside world
  [port]=1        # the port connection and its operating-system layers
  [context]=2     # the program-wide sets of variables
  [motion]=3      # step output, moves, manual panel, mode boxes
  [plan]=4        # the plan of paths and holes, and the job that runs one
  [text]=5        # lettering drawn with a single-stroke font, for the drawing readers
  [dxf]=6 [gerber]=6 [svg]=6  # readers, previews and the jobs of each file kind
  [board]=7       # one board's files together: roles, placement, sides
  [session]=8     # one machine session over everything below
  [run]=9 [app]=9 # the front ends
)
root=${1:-src}
bad=0
while IFS= read -r -d '' file; do
  own=${file#"$root"/}; own=${own%%/*}
  [[ -n ${rank[$own]+x} ]] || { echo "$file: folder '$own' has no rank in $0"; bad=1; continue; }
  while IFS= read -r target; do
    dir=${target%%/*}
    [[ $target == */* && -n ${rank[$dir]+x} ]] || continue
    if [[ $dir != "$own" ]] && (( rank[$dir] >= rank[$own] )); then
      echo "$file includes \"$target\": $dir is not below $own"
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$root" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
if (( bad )); then exit 1; fi
echo "includes run downward only"
