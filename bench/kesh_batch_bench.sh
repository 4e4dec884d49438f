#!/usr/bin/env bash
# kesh-batch over a large GBK file beside the stream tools, start-up included: replace
# beside sed making the same change into a new file, and find -c beside grep -c, for a
# word on every other line and for one that occurs nowhere. Prints the best of three runs.
#
# Usage: bench/kesh_batch_bench.sh [kesh-batch] [megabytes]
#   (defaults: build/rel/kesh-batch, a Release build, and 100 MB; files go to $TMPDIR or /tmp)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
batch=${1:-$root/build/rel/kesh-batch}
megabytes=${2:-100}
[ -x "$batch" ] || { echo "kesh_batch_bench: $batch is not built" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/kesh-batch-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
export LC_ALL=C  # arguments and file bytes are both GBK: no conversion on either side

# The file of find_replace_bench: lines of 98 and 102 bytes, CR LF ended, every other one
# holding the word once.
python3 - "$work/big.txt" "$megabytes" <<'PY'
import sys
plain = "第一章 总则 The quick brown fox jumps over the lazy dog, 0123456789 中华文化.".encode("gbk")
plain = plain[:96].ljust(96, b".") + b"\r\n"
with_word = plain[:13] + "人民".encode("gbk") + plain[13:]
with open(sys.argv[1], "wb") as out:
    block = (with_word + plain) * 1000
    for _ in range(int(sys.argv[2]) * 1000 * 1000 // len(block) + 1):
        out.write(block)
PY
word=$(printf '人民' | iconv -f UTF-8 -t GBK)
new=$(printf '公民' | iconv -f UTF-8 -t GBK)
absent=$(printf '无有' | iconv -f UTF-8 -t GBK)

# Best wall time of three runs of a command, in seconds.
best() {
  local fastest=
  for _ in 1 2 3; do
    local start end
    start=$(date +%s.%N)
    # Through a pipe: GNU grep stops at the first match when its output is /dev/null.
    "$@" | cat >/dev/null
    end=$(date +%s.%N)
    fastest=$(echo "$start $end ${fastest:-999999}" | awk '{t = $2 - $1; print (t < $3 ? t : $3)}')
  done
  echo "$fastest"
}
ratio() { echo "$1 $2" | awk '{printf "%.2f", $1 / $2}'; }
sed_replace() { LC_ALL=C sed "s/$word/$new/g" "$work/big.txt" > "$work/sed.txt"; }
grep_count() { LC_ALL=C grep -c "$1" "$work/big.txt" || true; }

echo "file: $(stat -c %s "$work/big.txt") bytes"
k=$(best "$batch" replace "$word" "$new" -o "$work/kesh.txt" "$work/big.txt")
s=$(best sed_replace)
cmp -s "$work/kesh.txt" "$work/sed.txt" && same=same || same=DIFFERENT
echo "replace: kesh-batch ${k}s  sed ${s}s  ratio $(ratio "$k" "$s")  (results $same)"
for target in "$word" "$absent"; do
  k=$(best "$batch" find -c "$target" "$work/big.txt")
  g=$(best grep_count "$target")
  echo "find -c ($("$batch" find -c "$target" "$work/big.txt") matches): kesh-batch ${k}s  grep -c ${g}s  ratio $(ratio "$k" "$g")"
done
