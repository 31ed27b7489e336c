#!/bin/sh
# Draws the README's figure afresh from the built program: the typical run
# (2500/, Enter, then on to 10,000,000 years) with its companion file,
# plotted as docs/typical_run.png; the companion is kept beside it as
# docs/typical_run.json, so that a test can tell a figure older than the
# program.
#
#   tools/docs_figure.sh build/adequacy
set -eu
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
docs=$(cd "$(dirname "$0")/../docs" && pwd)
plot=$(cd "$(dirname "$0")/../plot" && pwd)/plot_report.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
cd "$work"
printf '2500/\n\n1\n1\n1\n1\n2\n\n' | "$program" --details OP.json > /dev/null 2> err ||
  { cat err >&2; exit 1; }
DETAILS=OP.json sh "$plot" OP png > /dev/null
cp OP.png "$docs/typical_run.png"
cp OP.json "$docs/typical_run.json"
echo "docs-figure: wrote docs/typical_run.png and docs/typical_run.json"
