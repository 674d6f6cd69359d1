#!/usr/bin/env bash
# Moves N files of one name (p1/Debug/vc140.pdb ... pN/Debug/vc140.pdb) to a
# trash of the run's own with kesmora-cli --delete --trash --yes, and prints
# the wall and CPU time with what was trashed and left.
# Usage: bench/cli/trash-same-name.sh CLI SCRATCH [N]   (N defaults to 4000)
set -euo pipefail
cli=$1 dir=$2 n=${3:-4000}
rm -rf "$dir"
mkdir -p "$dir/home/data"
for i in $(seq "$n"); do
  mkdir -p "$dir/tree/p$i/Debug"
  : >"$dir/tree/p$i/Debug/vc140.pdb"
done
TIMEFORMAT="wall %R s, CPU user %U s + sys %S s"
{ time HOME=$dir/home XDG_DATA_HOME=$dir/home/data "$cli" --folders all --delete --trash --yes \
  "$dir/tree" >"$dir/out.txt" 2>&1; } 2>"$dir/time.txt"
echo "$n files: $(cat "$dir/time.txt"); in the trash: $(ls "$dir/home/data/Trash/files" | wc -l);" \
  "left: $(find "$dir/tree" -name vc140.pdb | wc -l)"
rm -rf "$dir"
