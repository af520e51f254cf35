#!/usr/bin/env bash
# Peak memory of a decode with the right password on a 108 MB image.
#
# Builds lumaquill-cli, writes a 6000 x 6000 24-bit bitmap of random pixels
# (108 000 000 pixel bytes), hides in it a file of random bytes (a large
# body) and, separately, a text of one repeated letter (a small body that
# unpacks to a large text), decodes each under /usr/bin/time -v and prints
# the peak resident set size against the bound: the pixel bytes + 2 x the
# decoded size + 64 MB.
#   bench/decode_memory.sh [BUILD_DIR] [PAYLOAD_MB] [TEXT_MB]
#   (defaults: build, 30, 400)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$here/build}
payload_mb=${2:-30}
text_mb=${3:-400}
[ -d "$build" ] || cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target lumaquill-cli >/dev/null 2>&1
cli=${LUMAQUILL_CLI:-$build/src/cli/lumaquill-cli}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

width=6000
height=6000
stride=$(( (24 * width + 31) / 32 * 4 ))
pixel_bytes=$(( stride * height ))
payload_bytes=$(( payload_mb * 1000 * 1000 ))

text_bytes=$(( text_mb * 1000 * 1000 ))

python3 - "$work" "$width" "$height" "$pixel_bytes" "$payload_bytes" "$text_bytes" <<'PY'
import random, struct, sys
work, width, height, pixel_bytes, payload_bytes, text_bytes = sys.argv[1], *map(int, sys.argv[2:])
rng = random.Random(14)
with open(work + '/photo.bmp', 'wb') as f:
    f.write(b'BM' + struct.pack('<IHHI', 54 + pixel_bytes, 0, 0, 54))
    f.write(struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, pixel_bytes, 0, 0, 0, 0))
    f.write(rng.randbytes(pixel_bytes))
with open(work + '/payload.bin', 'wb') as f:
    f.write(rng.randbytes(payload_bytes))
with open(work + '/text.txt', 'wb') as f:
    for _ in range(text_bytes // 1000000):
        f.write(b'A' * 1000000)
PY

"$cli" encode --out "$work/encoded.bmp" --container "$work/photo.bmp" \
    --file "$work/payload.bin" --password "right password" --speed 0 >/dev/null

echo "image: ${width} x ${height}, 24 bits, pixel bytes ${pixel_bytes} ($((pixel_bytes / 1024)) kB)"
status=0

# measure NAME DECODED_BYTES DECODE-ARGS...: one decode under time -v.
measure() {
    local name=$1 decoded=$2
    shift 2
    local bound_kb=$(( pixel_bytes / 1024 + 2 * decoded / 1024 + 64 * 1024 ))
    /usr/bin/time -v "$cli" decode "$@" >"$work/stdout" 2>"$work/time.txt"
    local peak elapsed
    peak=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$work/time.txt")
    elapsed=$(sed -n 's/^[[:space:]]*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt")
    echo "$name: decoded ${decoded} bytes, peak RSS ${peak} kB, bound ${bound_kb} kB" \
        "($(( peak * 100 / bound_kb ))%), ${elapsed}"
    [ "$peak" -lt "$bound_kb" ] || status=1
}

mkdir -p "$work/out"
measure "file of random bytes" "$payload_bytes" "$work/encoded.bmp" --password "right password" \
    --out "$work/out/back.bin"
cmp "$work/payload.bin" "$work/out/back.bin"

"$cli" encode --out "$work/text.bmp" --container "$work/photo.bmp" \
    --text-file "$work/text.txt" --password "right password" --speed 0 >/dev/null
measure "repeated-letter text" "$text_bytes" "$work/text.bmp" --password "right password"
cmp "$work/text.txt" "$work/stdout"
exit $status
