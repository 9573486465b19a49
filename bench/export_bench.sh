#!/usr/bin/env bash
# Times `tavel --export out.bmp --size 1024x768 big.prn` as a whole process, wall time and peak
# memory, side by side with Grace's batch plotter drawing the same file to a 1024 x 768 PNG
# (gracebat, Debian package grace) and, when installed, gnuplot (gnuplot-nox, "with lines").
# The programs take turns, run after run, so a busy moment of the machine falls on all of them
# alike; each shows the median wall time and its largest peak memory of RUNS runs, and the last
# lines give tavel's median as a share of gracebat's (the target is at most 0.50) and its peak
# memory as a share of gracebat's (at most 1.20).
#
#   bench/export_bench.sh [path/to/tavel]        (default build/default/tavel)
#
# Environment: LINES (rows of the generated file, 1000000), SHAPE (slow, the default wave of
# make_prn.awk, or noisy: a sine of about 110 periods with small noise, a thousand points to a
# pixel column), RUNS (5), WORK (folder for the data and the pictures, a new temporary folder by
# default).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
tavel="${1:-$here/../build/default/tavel}"
lines="${LINES:-1000000}"
shape="${SHAPE:-slow}"
runs="${RUNS:-5}"
work="${WORK:-$(mktemp -d)}"

if [ ! -x "$tavel" ]; then
  echo "export_bench: no tavel at $tavel (build it first, or give its path)" >&2
  exit 2
fi
if [ ! -x /usr/bin/time ]; then
  echo "export_bench: /usr/bin/time is needed (Debian package time)" >&2
  exit 2
fi
tavel="$(cd "$(dirname "$tavel")" && pwd)/$(basename "$tavel")"
mkdir -p "$work"
cd "$work"

data="big-$shape-$lines.prn"
if [ ! -s "$data" ]; then
  echo "generating $lines rows ($shape) into $work/$data"
  awk -v lines="$lines" -v shape="$shape" -f "$here/make_prn.awk" > "$data"
fi

names=(tavel)
commands=("$tavel --export tavel.bmp --size 1024x768 $data")
if command -v gracebat > /dev/null; then
  names+=(gracebat)
  commands+=("gracebat -hdevice PNG -printfile gracebat.png -fixed 1024 768 $data")
else
  echo "gracebat   not installed (Debian grace), skipped"
fi
if command -v gnuplot > /dev/null; then
  cat > plot.gp << EOF2
set terminal png size 1024,768
set output 'gnuplot.png'
plot '$data' using 1:2 with lines
EOF2
  names+=(gnuplot)
  commands+=("gnuplot plot.gp")
else
  echo "gnuplot    not installed (Debian gnuplot-nox), skipped"
fi

# One file of "wall-seconds peak-KiB" lines per program.
for name in "${names[@]}"; do : > "times.$name"; done
for ((i = 0; i < runs; i++)); do
  for k in "${!names[@]}"; do
    name="${names[$k]}"
    start=$(date +%s%N)
    # shellcheck disable=SC2086  # the command is split into its words on purpose
    if ! /usr/bin/time -f '%M' -o time.txt ${commands[$k]} > run.log 2>&1; then
      echo "export_bench: $name failed:" >&2
      cat run.log >&2
      exit 1
    fi
    end=$(date +%s%N)
    echo "$(awk -v n=$((end - start)) 'BEGIN { printf "%.3f", n / 1e9 }') $(cat time.txt)" >> "times.$name"
  done
done

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
peak() { awk 'BEGIN { m = 0 } { if ($2 > m) m = $2 } END { printf "%.1f", m / 1024 }'; }

echo "$lines rows ($shape), 1024 x 768, median of $runs runs taken in turns"
printf '%-10s %8s  %10s\n' "program" "wall" "peak RSS"
for name in "${names[@]}"; do
  printf '%-10s %6.3f s  %6s MiB\n' "$name" "$(cut -d' ' -f1 "times.$name" | median)" \
    "$(peak < "times.$name")"
done
if [ -s times.gracebat ]; then
  ratio="$(awk -v a="$(cut -d' ' -f1 times.tavel | median)" \
    -v b="$(cut -d' ' -f1 times.gracebat | median)" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }')"
  echo "tavel / gracebat wall time: $ratio   (target <= 0.50)"
  memory="$(awk -v a="$(peak < times.tavel)" -v b="$(peak < times.gracebat)" \
    'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }')"
  echo "tavel / gracebat peak memory: $memory   (target <= 1.20)"
fi
echo "pictures in $work"
