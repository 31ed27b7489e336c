#!/bin/sh
# Turns a report file OP of adequacy into a figure: the sample days' loads
# and loss-of-load probabilities, each Monte Carlo estimate at each
# checkpoint against the direct solution, and the what-if passes.  With the
# run's companion file (OP.json beside OP, or the path in DETAILS), also
# the 95 % interval of every estimate, the events by their length and the
# years by their deficit hours, and the run's version, seed and time.
#
#   plot/plot_report.sh [OP [svg|png]]
#
# Writes OP.svg (or OP.png) beside the report.  The report is read by its
# fixed columns only; a file that is not such a report gives one line of
# error, a failure status, and no figure.  The companion is read with jq;
# without jq or the file the figure is drawn from OP alone.
set -eu

report=${1:-OP}
format=${2:-svg}
me=plot

fail() {
  echo "$me: $*" >&2
  exit 1
}

case $format in
  svg | png) ;;
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
      # Checkpoints come at 1000 years, then ten times the one before,
      # so a count printed as asterisks is known all the same.
      yrs = field(r, 1, 8)
      years = starred(yrs) ? (checkpoints == 0 ? 1000 : 10 * years) \
                           : number(yrs)
      if (starred(yrs)) starred_years++
      for (f = 0; f < 4; f++) {
        s = field(r, 9 + 11 * f, f == 3 ? 10 : 11)
        if (starred(s)) starred_values++
      }
      checkpoints++
      if (checkpoints == 1 || years < first_yrs) first_yrs = years
      if (years > last_yrs) last_yrs = years
      printf "%.0f %s %s %s %s\n", years, value(field(r, 9, 11)),
             value(field(r, 20, 11)), value(field(r, 31, 11)),
             value(field(r, 42, 10)) > (dir "/mc.dat")
    }
  }
  for (h = 0; h < 24; h++) print sample[h] > (dir "/sample.dat")
  # As shell assignments; the label holds only digits, signs, slashes and
  # blanks.
  printf "passes=%d\ncheckpoints=%d\nstarred=%d\nstarred_years=%d\n" \
         "lolh=%s\neue=%s\nlabel=\047%s\047\nfirst_yrs=%.0f\nlast_yrs=%.0f\n",
         passes, checkpoints, starred_values, starred_years + 0, last_lolh,
         last_eue, last_label, first_yrs + 0, last_yrs + 0 > (dir "/settings")
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
    printf "set key off\nplot 2 notitle\nunset label 1\nset key on\n"
  else
    echo "plot $clauses"
  fi
  clauses=""
}

# Text from a file as plain text in a gnuplot title: no quote or backslash,
# and the marks of gnuplot's enhanced text escaped.
plain() {
  printf '%s' "$1" | tr -d '"\\\n' | sed 's/[_^{}@&~]/\\\\&/g'
}

# The companion file, if there is one and jq to read it: the intervals by
# checkpoint, the two counts, and the run's identity.
details=${DETAILS:-$report.json}
details_name=$(plain "$(basename "$details")")
companion=no
companion_note=""
if [ -r "$details" ]; then
  if ! command -v jq >/dev/null 2>&1; then
    companion_note="intervals need jq to read $details_name"
  elif jq -r '.checkpoints[] | [.years] + ([.LOLH, .LOLEV, .ALOLP, .MWHEUE]
                 | map(.ci95 // [null, null]) | add)
                 | map(. // "NaN") | @tsv' "$details" > "$work/ci.dat" \
         2> /dev/null &&
       jq -r '(.events.count // 0) as $n | (.events.by_duration_hours // {})
                 | to_entries[] | "\(.key) \(.value / $n)"' "$details" \
         > "$work/events.dat" &&
       jq -r '(.years // 0) as $n | (.years_by_deficit_hours // {})
                 | to_entries[] | "\(.key) \(.value / $n)"' "$details" \
         > "$work/years.dat" &&
       counted=$(jq -r '"\(.years // 0) \(.events.count // 0)"' "$details") &&
       caption=$(jq -r '"adequacy \(.program.version), seed \(.seed), run of \(.started)"' "$details"); then
    companion=yes
  else
    companion_note="$details_name is not a companion file of adequacy"
  fi
else
  companion_note="95% intervals and event counts need the companion file: make run writes OP.json beside OP; else name it with DETAILS=path"
fi
# Each checkpoint beside its intervals, matched by its years (NaN where
# the companion has none).
[ -f "$work/ci.dat" ] || : > "$work/ci.dat"
[ -f "$work/mc.dat" ] || : > "$work/mc.dat"
awk 'FILENAME == ARGV[1] { ci[$1] = $0; next }
     { out = $0
       if ($1 in ci) { n = split(ci[$1], c, "\t"); for (k = 2; k <= n; k++) out = out " " c[k] }
       else for (k = 0; k < 8; k++) out = out " NaN"
       print out }' "$work/ci.dat" "$work/mc.dat" > "$work/mcci.dat"

name=$(plain "$(basename "$report")")
if [ "$companion" = yes ]; then
  caption=$(plain "$caption")
else
  caption="adequacy: report $name"
fi
note=""
[ "$starred" -gt 0 ] &&
  note="$starred value(s) printed as asterisks in $name are left out"
[ "$starred_years" -gt 0 ] &&
  note="${note:+$note; }YRS printed as asterisks at $starred_years checkpoint(s), each drawn at ten times the years of the one before"
day_names="winter summer off-peak"
day_colours="#1f77b4 #d62728 #2ca02c"

# Rows of panels: the sample days; the four estimates, two to a row; the
# events and the years, from the companion; the what-if passes.
rows=1
[ "$checkpoints" -gt 0 ] && rows=$((rows + 2))
[ "$checkpoints" -gt 0 ] && [ "$companion" = yes ] && rows=$((rows + 1))
[ "$passes" -gt 1 ] && rows=$((rows + 1))
row_px=330
height=$((rows * row_px + 90))
case $format in
  svg) terminal="svg size 1000,$height dynamic enhanced font 'Helvetica,13'" ;;
  png) terminal="pngcairo size 1000,$height enhanced font 'Helvetica,11'" ;;
esac
# The top of the panels, as a share of the height, under the title.
top=$(awk -v h="$height" 'BEGIN { printf "%.4f", 1 - 80 / h }')
row=0
# Places the next panel: row $row, full width or left or right half.
place() {  # full|left|right
  awk -v top="$top" -v rows="$rows" -v row="$row" -v where="$1" 'BEGIN {
    h = top / rows; y = top - (row + 1) * h
    x = where == "right" ? 0.5 : 0; w = where == "full" ? 1 : 0.5
    printf "set origin %.4f,%.4f\nset size %.4f,%.4f\n", x, y, w, h }'
}

output="$report.$format"
{
  cat <<GNUPLOT
set terminal $terminal
set output '$work/figure'
set datafile missing 'NaN'
set multiplot title "$caption\
$([ -n "$note" ] && printf '%s' "\\n{/*0.8 $note}")\
$([ -n "$companion_note" ] && printf '%s' "\\n{/*0.8 $companion_note}")"
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
  place full
  # Loads on the left axis, LOLP on the logarithmic right axis spanning
  # its data; an axis with nothing to show gets a fixed range.
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
  else
    awk '{ for (c = 3; c <= 7; c += 2) if ($c != "NaN") {
             if (lo == "" || $c < lo) lo = $c; if (hi == "" || $c > hi) hi = $c } }
         END { printf "set y2range [%g:%g]\n", lo / 3, hi * 3 }' "$work/sample.dat"
    zero_hours=$(awk '{ for (c = 3; c <= 7; c += 2) if ($c == "NaN") n++ } END { print n + 0 }' "$work/sample.dat")
    [ "$zero_hours" -gt 0 ] &&
      printf '%s\n' "set title \"Sample days of the last pass ($label)\\n{/*0.8 $zero_hours hour(s) with LOLP printed as zero are not on the log axis}\""
  fi
  plot_series "no load or LOLP printed as a number"
  echo "unset label 2"
  row=1
  if [ "$checkpoints" -gt 0 ]; then
    cat <<GNUPLOT
unset logscale; unset format; set autoscale
unset y2label; unset y2tics
set key inside top right box
set xrange [$first_yrs / 3.0 : $last_yrs * 3.0]
set logscale x
set format x '10^{%L}'
set xtics autofreq
set xlabel 'simulated years'
set ytics mirror
# Room above and below, so that no marker sits half outside on the border.
set offsets 0, 0, graph 0.08, graph 0.08
GNUPLOT
    # One panel per estimate: column of the estimate in mcci.dat, the
    # columns of its interval, its unit, and the exact value if any.
    panel=0
    for panel_def in "LOLH 2 6 h/year $lolh" "LOLEV 3 8 events/year NaN" \
                "ALOLP 4 10 share of years NaN" "MWHEUE 5 12 MWh/year $eue"; do
      set -- $panel_def
      index=$1; col=$2; lo=$3; exact=$(echo "$panel_def" | awk '{ print $NF }')
      unit=$(echo "$panel_def" | awk '{ $1 = $2 = $3 = $NF = ""; sub(/^ +/, ""); sub(/ +$/, ""); print }')
      if [ $((panel % 2)) -eq 0 ]; then place left; else place right; fi
      echo "set title '$index'"
      echo "set ylabel '$unit'"
      if [ "$(numbers mcci.dat $lo)" -gt 0 ]; then
        series mcci.dat $lo "'$work/mcci.dat' using 1:$col:$lo:$((lo + 1)) with yerrorbars pt 7 lc rgb '#1f77b4' title '$index, 95% interval'"
      else
        series mcci.dat $col "'$work/mcci.dat' using 1:$col with points pt 7 lc rgb '#1f77b4' title '$index'"
      fi
      [ "$exact" != NaN ] && [ "$(numbers mcci.dat $col)" -gt 0 ] &&
        clauses="$clauses, $exact with lines dt 2 lw 1.5 lc rgb '#d62728' title 'direct $index'"
      plot_series "no $index printed as a number"
      panel=$((panel + 1))
      [ $((panel % 2)) -eq 0 ] && row=$((row + 1))
    done
    if [ "$companion" = yes ]; then
      set -- $counted
      years_counted=$1 events_counted=$2
      lap=""
      [ "$years_counted" -gt 22287 ] &&
        lap="\\n(the years past 22,287 replay the first lap's history)"
      # A shares' axis from half the smallest, so that the rarest shows, and
      # its lengths to one past the longest, so that its bar shows whole.
      axis_of() {  # data file
        awk 'NR == 1 || $2 < lo { lo = $2 } $1 + 1 > hi { hi = $1 + 1 }
             END { print (lo > 0 ? lo / 2 : 1e-9), hi + 1 }' "$work/$1"
      }
      set -- $(axis_of events.dat)
      events_low=$1 events_right=$2
      set -- $(axis_of years.dat)
      years_low=$1 years_right=$2
      cat <<GNUPLOT
unset logscale; unset format; set autoscale
set offsets 0, 0, 0, 0
set logscale y
set format y '10^{%L}'
set style fill solid 0.6
set boxwidth 0.8
set key inside top right box
GNUPLOT
      place left
      printf '%s\n' "set title \"Loss-of-load events by length\\n{/*0.8 share of the $events_counted events in $years_counted years$lap}\""
      echo "set xlabel 'hours'; set ylabel 'share of events'"
      echo "set xrange [0:$events_right]"
      echo "set yrange [$events_low:*]"
      series events.dat 2 "'$work/events.dat' using 1:2 with boxes lc rgb '#ff7f0e' title 'events'"
      plot_series "no event"
      place right
      printf '%s\n' "set title \"Years by their deficit hours\\n{/*0.8 share of the $years_counted simulated years$lap}\""
      echo "set xlabel 'deficit hours in the year'; set ylabel 'share of years'"
      echo "set xrange [-1:$years_right]"
      echo "set yrange [$years_low:*]"
      series years.dat 2 "'$work/years.dat' using 1:2 with boxes lc rgb '#2ca02c' title 'years'"
      plot_series "no year"
      row=$((row + 1))
    fi
  fi
  if [ "$passes" -gt 1 ]; then
    # A logarithmic axis where the indices span more than a decade.
    # The axis fitted to the data, with room above and below.
    range=$(awk '{ for (c = 2; c <= 4; c++) if ($c ~ /^[0-9.eE+-]+$/ && $c > 0) {
                   if (lo == "" || $c < lo) lo = $c; if (hi == "" || $c > hi) hi = $c } }
               END { if (lo == "") print "no"
                     else if (hi / lo > 10) printf "yes [%g:%g]\n", lo / 2, hi * 2
                     else printf "no [0:%g]\n", hi * 1.15 }' "$work/passes.dat")
    log=${range%% *}
    cat <<GNUPLOT
unset logscale; unset format; set autoscale
set key outside right top box
set xrange [0.5:$passes.5]
set xtics rotate by -30
set xlabel 'what-if pass, labelled D1/D2/D3/D4 (MW)'
set ylabel 'index'
set title 'Direct solution of each what-if pass'
set offsets 0, 0, 0, 0
GNUPLOT
    [ "$log" = yes ] && printf "set logscale y\nset format y '10^{%%L}'\n"
    case $range in *'['*) echo "set yrange [${range#*[}" ;; esac
    zeros=$(awk '{ for (c = 2; c <= 4; c++) if ($c == 0) n++ } END { print n + 0 }' "$work/passes.dat")
    [ "$log" = yes ] && [ "$zeros" -gt 0 ] &&
      printf '%s\n' "set title \"Direct solution of each what-if pass\\n{/*0.8 $zeros index value(s) of zero are not on the log axis}\""
    # Each pass labelled with its D1..D4 at its place on the axis.
    awk '{ label = $5; for (k = 6; k <= NF; k++) label = label " " $k
           printf "%s%s %d", NR == 1 ? "set xtics (" : ", ", label, $1 }
         END { print ")" }' "$work/passes.dat"
    place full
    series passes.dat 2 "'$work/passes.dat' using (\$1-0.15):2 with points pt 7 ps 1.2 lc rgb '#1f77b4' title 'LOLH (h/year)'"
    series passes.dat 3 "'$work/passes.dat' using 1:3 with points pt 5 ps 1.2 lc rgb '#ff7f0e' title 'LOLE (days/year)'"
    series passes.dat 4 "'$work/passes.dat' using (\$1+0.15):4 with points pt 9 ps 1.2 lc rgb '#2ca02c' title 'puEUEppm (ppm)'"
    plot_series "no index printed as a number"
  fi
  echo "unset multiplot"
} > "$work/figure.gp"

# PLOT_SCRIPT=path keeps the gnuplot script, for a look at what was drawn.
[ -z "${PLOT_SCRIPT:-}" ] || cp "$work/figure.gp" "$PLOT_SCRIPT"
gnuplot "$work/figure.gp" 2> "$work/gnuplot.log" ||
  fail "gnuplot failed: $(grep -v '^ *$' "$work/gnuplot.log" | tail -n 1)"
mv "$work/figure" "$output"
echo "$me: wrote $output"
