# Writes a two-column data file (".prn") of `lines` rows to standard output: X counts up from 0,
# Y is a slow wave with a saw-tooth ripple, so the graph has both long runs and fine detail; with
# shape=noisy, Y is a sine of about 110 periods across the rows with small random noise, so every
# pixel column of the picture holds many points.
# Numbers are in the files' own 23-character form with a four-digit exponent; lines end CR LF.
#   awk -v lines=1000000 [-v shape=noisy] -f bench/make_prn.awk > big.prn
function prn(v,    s, mant, e, sign) {
  s = sprintf("%.14E", v)
  sign = (substr(s, 1, 1) == "-") ? "-" : " "
  if (sign == "-") s = substr(s, 2)
  mant = substr(s, 1, index(s, "E") - 1)
  e = substr(s, index(s, "E") + 1) + 0
  return sprintf("%s%sE%s%04d", sign, mant, (e < 0 ? "-" : "+"), (e < 0 ? -e : e))
}
BEGIN {
  if (lines == "") lines = 1000000
  srand(1)
  step = 2 * 3.14159265358979 * 110 / lines
  for (i = 0; i < lines; i++) {
    if (shape == "noisy") {
      y = 1000 * sin(i * step) + 20 * (rand() - 0.5)
    } else {
      y = 1000 * sin(i / 50000) + (i % 997) / 10
    }
    printf "%s %s\r\n", prn(i), prn(y)
  }
}
