#!/usr/bin/env bash
# Rewrites the expected files of every transcript from the built program.
# Review the diff before committing: the expectations are only as good as
# that review.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=${1:-$here/../../build/adequacy}
for case_dir in "$here"/*/; do
  scratch=$(mktemp -d)
  status=0
  (cd "$scratch" && "$program" < "$case_dir/input" > stdout 2> stderr) || status=$?
  sed -E 's/TIME =[ 0-9.*]{10} SEC/TIME =#SEC/' "$scratch/stdout" > "$case_dir/stdout"
  if [ -f "$scratch/OP" ]; then
    sed -E 's/TIME =[ 0-9.*]{10} SEC/TIME =#SEC/' "$scratch/OP" > "$case_dir/OP"
  else
    rm -f "$case_dir/OP"
  fi
  printf '%s\n' "$(head -n 1 "$scratch/stderr" | tr -d '\r')" > "$case_dir/stderr_first_line"
  echo "$status" > "$case_dir/status"
  rm -rf "$scratch"
done
