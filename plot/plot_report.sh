#!/bin/sh
# Turns a report file OP of adequacy into a figure: the sample days' loads
# and loss-of-load probabilities, the Monte Carlo estimates at each
# checkpoint against the direct solution, and the what-if passes.
#
#   plot/plot_report.sh [OP [svg|png]]
#
# Writes OP.svg (or OP.png) beside the report.  The report is read by its
# fixed columns only; a file that is not such a report gives one line of
# error, a failure status, and no figure.
set -eu

report=${1:-OP}
format=${2:-svg}
me=plot

fail() {
  echo "$me: $*" >&2
  exit 1
}

case $format in
  svg) terminal="svg size 900,1150 dynamic enhanced font 'Helvetica,13'" ;;
  png) terminal="pngcairo size 900,1150 enhanced font 'Helvetica,11'" ;;
  *) fail "unknown FORMAT '$format' (svg or png)" ;;
esac
command -v gnuplot >/dev/null 2>&1 ||
  fail "gnuplot is not installed (Debian package gnuplot-nox)"
[ -r "$report" ] || fail "cannot read $report"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# The records, parsed by their columns into data files for gnuplot and a
# line of settings for the figure.
if ! tr -d '\r' < "$report" | awk -v dir="$work" '
function field(s, from, width) { return substr(s, from, width) }
function starred(s) { return s ~ /\*/ }
# A fixed-point or integer field as a number; a blank integer field is 0.
function number(s) { gsub(/ /, "", s); return s == "" ? 0 : s + 0 }
function value(s) { return starred(s) ? "NaN" : number(s) }
function bad(why) { print why > "/dev/stderr"; failed = 1; exit 1 }
{ line[NR] = $0 }
END {
  if (failed) exit 1
  n = NR; i = 1; passes = 0; checkpoints = 0; starred_values = 0
  while (i <= n && line[i] == "          DIRECT SOLUTION") {
    if (i + 37 > n) bad("a direct-solution block is cut short")
    if (line[i + 2] != "     LOLH       LOLE       ALLR" ||
        line[i + 5] != "    MWHEUE    MWHTOTAL   puEUEppm" ||
        substr(line[i + 37], 1, 32) != "D1 MIN, D2 WIN, D3 SUM, D4 ADD =")
      bad("a direct-solution block is not as this program writes it")
    passes++
    lolh = field(line[i + 3], 1, 11); lole = field(line[i + 3], 12, 11)
    eue = field(line[i + 6], 1, 11); ppm = field(line[i + 6], 24, 10)
    echo = line[i + 37]
    label = number(field(echo, 33, 7)) "/" number(field(echo, 40, 7)) "/" \
            number(field(echo, 47, 7)) "/" number(field(echo, 54, 7))
    if (starred(substr(echo, 33))) label = "pass " passes
    for (f = 1; f <= 3; f++) {
      s = f == 1 ? lolh : f == 2 ? lole : ppm
      if (starred(s)) starred_values++
    }
    printf "%d %s %s %s \"%s\"\n", passes, value(lolh), value(lole),
           value(ppm), label > (dir "/passes.dat")
    last_lolh = value(lolh); last_eue = value(eue); last_label = label
    if (starred(eue)) starred_values++
    # The sample days of the last pass only.
    for (h = 0; h < 24; h++) {
      r = line[i + 12 + h]
      if (length(r) != 60) bad("a sample-day row is not 60 columns")
      out = number(field(r, 1, 3))
      for (d = 0; d < 3; d++) {
        load = field(r, 4 + 19 * d, 7); lolp = field(r, 11 + 19 * d, 12)
        # A LOLP printed as zero has no place on a logarithmic axis.
        out = out " " value(load) " " \
              (starred(lolp) || number(lolp) <= 0 ? "NaN" : number(lolp))
      }
      sample[h] = out
    }
    i += 38
    if (i <= n && line[i] ~ /^TIME =/) i++
  }
  if (passes == 0) bad("it does not begin with a direct-solution block")
  if (i <= n) {
    if (line[i] != "  " || line[i + 1] != "  " ||
        line[i + 2] != "           MONTECARLO SEQUENTIAL SOLUTION" ||
        line[i + 4] != "   YRS       LOLH       LOLEV      ALOLP     MWHEUE")
      bad("what follows the direct solution is not the Monte Carlo phase")
    for (i += 5; i <= n; i += 2) {
      r = line[i]
      if (length(r) != 51 || line[i + 1] !~ /^TIME =/)
        bad("a Monte Carlo checkpoint record is damaged")
      yrs = field(r, 1, 8)
      if (starred(yrs)) { starred_values++; continue }
      for (f = 0; f < 4; f++) {
        s = field(r, 9 + 11 * f, f == 3 ? 10 : 11)
        if (starred(s)) starred_values++
      }
      checkpoints++
      if (checkpoints == 1 || number(yrs) < first_yrs) first_yrs = number(yrs)
      if (number(yrs) > last_yrs) last_yrs = number(yrs)
      print number(yrs), value(field(r, 9, 11)), value(field(r, 20, 11)),
            value(field(r, 42, 10)) > (dir "/mc.dat")
    }
  }
  for (h = 0; h < 24; h++) print sample[h] > (dir "/sample.dat")
  # As shell assignments; the label holds only digits, signs, slashes and
  # blanks.
  printf "passes=%d\ncheckpoints=%d\nstarred=%d\nlolh=%s\neue=%s\n" \
         "label=\047%s\047\nfirst_yrs=%s\nlast_yrs=%s\n", passes, checkpoints,
         starred_values, last_lolh, last_eue, last_label, first_yrs + 0,
         last_yrs + 0 > (dir "/settings")
}' 2> "$work/why"; then
  fail "$report is not a report of adequacy: $(head -n 1 "$work/why")"
fi

. "$work/settings"
# How many numbers column $2 of data file $1 holds.
numbers() {
  awk -v c="$2" '$c != "NaN" { n++ } END { print n + 0 }' "$work/$1"
}

# Appends one series to the plot command being built in $clauses, unless
# its column holds no number: a series with none has nothing to draw.
clauses=""
series() {  # file column clause
  [ "$(numbers "$1" "$2")" -gt 0 ] || return 0
  clauses="${clauses:+$clauses, }$3"
}
plot_series() {  # what to say when no series has a point
  if [ -z "$clauses" ]; then
    printf "set yrange [0:1]\nset y2range [0:1]\n"
    printf "set label 1 '%s' at graph 0.5, 0.5 center\n" "$1"
    printf "plot 2 notitle\nunset label 1\n"
  else
    echo "plot $clauses"
  fi
  clauses=""
}

panels=1
[ "$checkpoints" -gt 0 ] && panels=$((panels + 1))
[ "$passes" -gt 1 ] && panels=$((panels + 1))
# The report's name as plain text in gnuplot's enhanced text.
name=$(basename "$report" | sed 's/[_^{}@&~]/\\\\&/g')
note=""
[ "$starred" -gt 0 ] &&
  note="$starred value(s) printed as asterisks in $name are left out"
day_names="winter summer off-peak"
day_colours="#1f77b4 #d62728 #2ca02c"

output="$report.$format"
{
  cat <<GNUPLOT
set terminal $terminal
set output '$work/figure'
set datafile missing 'NaN'
set multiplot layout $panels,1 title "adequacy: report $name\
$([ -n "$note" ] && printf '%s' "\\n{/*0.8 $note}")"
set key outside right top box width 2 spacing 1.1
set grid
set xrange [0.5:24.5]
set xtics 1,1,24
set xlabel 'hour of the day'
set ylabel 'load (MW)'
set y2label 'LOLP (probability)'
set logscale y2
set format y2 '10^{%L}'
set ytics nomirror
set y2tics
set title 'Sample days of the last pass ($label)'
GNUPLOT
  # Loads on the left axis, LOLP on the logarithmic right axis; an axis
  # with nothing to show gets a fixed range.
  column=2
  for day in $day_names; do
    colour=$(echo "$day_colours" | cut -d' ' -f$(((column / 2))))
    series sample.dat $column "'$work/sample.dat' using 1:$column with linespoints pt 7 ps 0.6 lc rgb '$colour' title '$day load'"
    series sample.dat $((column + 1)) "'$work/sample.dat' using 1:$((column + 1)) axes x1y2 with linespoints dt 2 pt 6 ps 0.6 lc rgb '$colour' title '$day LOLP'"
    column=$((column + 2))
  done
  loads=$(( $(numbers sample.dat 2) + $(numbers sample.dat 4) + $(numbers sample.dat 6) ))
  lolps=$(( $(numbers sample.dat 3) + $(numbers sample.dat 5) + $(numbers sample.dat 7) ))
  [ "$loads" -gt 0 ] || echo "set yrange [0:1]"
  if [ "$lolps" -eq 0 ]; then
    echo "set y2range [1e-8:1]"
    echo "set label 2 'no hour has a LOLP above zero' at graph 0.5, 0.92 center"
  fi
  plot_series "no load or LOLP printed as a number"
  echo "unset label 2"
  if [ "$checkpoints" -gt 0 ]; then
    cat <<GNUPLOT
unset logscale; unset format; set autoscale
set xrange [$first_yrs / 2.0 : $last_yrs * 2.0]
set logscale x
set format x '10^{%L}'
set xtics autofreq
set xlabel 'simulated years'
set ylabel 'LOLH (h/year), LOLEV (events/year)'
set y2label 'MWHEUE (MWh/year)'
set ytics nomirror
set y2tics
set title 'Monte Carlo estimates at each checkpoint, with the direct solution'
GNUPLOT
    series mc.dat 2 "'$work/mc.dat' using 1:2 with linespoints pt 7 lc rgb '#1f77b4' title 'LOLH'"
    series mc.dat 3 "'$work/mc.dat' using 1:3 with linespoints pt 5 lc rgb '#ff7f0e' title 'LOLEV'"
    series mc.dat 4 "'$work/mc.dat' using 1:4 axes x1y2 with linespoints pt 9 lc rgb '#2ca02c' title 'MWHEUE'"
    [ "$lolh" != NaN ] && [ "$(numbers mc.dat 2)$(numbers mc.dat 3)" != 00 ] &&
      clauses="$clauses, $lolh with lines dt 2 lw 1.5 lc rgb '#1f77b4' title 'direct LOLH'"
    [ "$eue" != NaN ] && [ "$(numbers mc.dat 4)" -gt 0 ] &&
      clauses="$clauses, $eue axes x1y2 with lines dt 2 lw 1.5 lc rgb '#2ca02c' title 'direct MWHEUE'"
    plot_series "no estimate printed as a number"
  fi
  if [ "$passes" -gt 1 ]; then
    cat <<GNUPLOT
unset logscale; unset format; set autoscale
set xrange [0.5:$passes.5]
set xtics 1,1,$passes rotate by -30
set xlabel 'what-if pass, labelled D1/D2/D3/D4 (MW)'
set ylabel 'LOLH (h/year), LOLE (days/year)'
set y2label 'puEUEppm (ppm)'
set ytics nomirror
set y2tics
set title 'Direct solution of each what-if pass'
GNUPLOT
    series passes.dat 2 "'$work/passes.dat' using 1:2:xtic(5) with linespoints pt 7 lc rgb '#1f77b4' title 'LOLH'"
    series passes.dat 3 "'$work/passes.dat' using 1:3:xtic(5) with linespoints pt 5 lc rgb '#ff7f0e' title 'LOLE'"
    series passes.dat 4 "'$work/passes.dat' using 1:4:xtic(5) axes x1y2 with linespoints pt 9 lc rgb '#2ca02c' title 'puEUEppm'"
    plot_series "no index printed as a number"
  fi
  echo "unset multiplot"
} > "$work/figure.gp"

gnuplot "$work/figure.gp" 2> "$work/gnuplot.log" ||
  fail "gnuplot failed: $(grep -v '^ *$' "$work/gnuplot.log" | tail -n 1)"
mv "$work/figure" "$output"
echo "$me: wrote $output"
