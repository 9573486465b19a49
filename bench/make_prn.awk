# Writes a two-column data file (".prn") of `lines` rows to standard output: X counts up from 0,
# Y is a slow wave with a saw-tooth ripple, so the graph has both long runs and fine detail.
# Numbers are in the files' own 23-character form with a four-digit exponent; lines end CR LF.
#   awk -v lines=1000000 -f bench/make_prn.awk > big.prn
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
  for (i = 0; i < lines; i++) {
    printf "%s %s\r\n", prn(i), prn(1000 * sin(i / 50000) + (i % 997) / 10)
  }
}
