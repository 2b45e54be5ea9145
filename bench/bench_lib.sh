# Shared by the benchmark scripts. Source it after `set -euo pipefail`.

# Microseconds since the epoch without starting a process.
now_us() {
  local t=$EPOCHREALTIME
  echo "${t//[.,]/}"
}
# The value after KEY in "KEY VALUE" lines.
field() { awk -v k="$1" '$1 == k { print $2 }' <<<"$2"; }
# calc FORMAT EXPRESSION: the expression worked out by awk and printed in FORMAT.
calc() { awk "BEGIN { printf \"$1\", $2 }"; }
