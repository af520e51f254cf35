#!/usr/bin/env bash
# Time and peak memory of stealth round trips through lumaquill-cli.
#
# For each size writes a photo-like 24-bit PNG cover (a smooth sky over a
# textured ground, with sensor noise), hides in it a file of random bytes
# that fills the picture's safe size (as info reports it) to within a few
# bytes, encodes
# to PNG and decodes under /usr/bin/time -v, checks the file comes back,
# and prints the wall time and peak resident set size of each against the
# goals: at most 3 x the picture's bytes + 256 MB; a 12-megapixel cover
# encodes in at most 10 s and decodes in at most 2 s plus the Argon2id
# (a decode of a stealth image first tries the image as a classic and as a
# sealed one, which costs one Argon2id more); a 1-megapixel one at most 1 s.
# With --round-trip-only nothing is measured: the round trips are checked,
# and the exit status says whether they came back (ctest runs it so on a
# 1-megapixel cover).
#   bench/stealth_sizes.sh [--round-trip-only] [BUILD_DIR] [WIDTHxHEIGHT ...]
#   (defaults: build, 1000x1000 4000x3000 8000x6000)
set -euo pipefail

measure=1
if [ "${1:-}" = --round-trip-only ]; then
    measure=0
    shift
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$here/build}
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000x1000 4000x3000 8000x6000)
if [ -z "${LUMAQUILL_CLI:-}" ]; then
    [ -d "$build" ] || cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" --target lumaquill-cli >/dev/null 2>&1
fi
cli=${LUMAQUILL_CLI:-$build/src/cli/lumaquill-cli}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
password="stealth bench password"
status=0

# cover WIDTH HEIGHT: $work/cover.png. Rows are built as big integers so
# that a large cover takes seconds, not minutes, in plain Python.
cover() {
    python3 - "$work/cover.png" "$1" "$2" <<'PY'
import random, struct, sys, zlib
path, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rng = random.Random(22)
row_bytes = 3 * width
# Sensor noise of 0-3 everywhere, texture of 0-47 on the ground.
small = bytes(v & 3 for v in range(256))
large = bytes(v % 48 for v in range(256))
horizon = height * 2 // 5

def sky(y):
    shade = 120 + 80 * y // max(horizon, 1)
    return bytes((min(shade + x * 40 // width, 200) - 60 * (c == 0)) for x in range(width) for c in range(3))

def ground(y):
    return bytes((90 + (x * 17 + y * 11) % 40 - 30 * (c == 2)) for x in range(width) for c in range(3))

# Sixteen base rows of each kind, repeated; the noise makes every row unique.
skies = [sky(y) for y in range(0, max(horizon, 1), max(horizon // 16, 1))]
grounds = [ground(y) for y in range(16)]
raw = zlib.compressobj(1)
with open(path, 'wb') as f:
    def chunk(kind, data):
        f.write(struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data)))
    f.write(b'\x89PNG\r\n\x1a\n')
    chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
    parts = []
    for y in range(height):
        if y < horizon:
            base, table = skies[min(y * len(skies) // max(horizon, 1), len(skies) - 1)], small
        else:
            base, table = grounds[y % len(grounds)], large
        noise = rng.randbytes(row_bytes).translate(table)
        row = (int.from_bytes(base, 'big') + int.from_bytes(noise, 'big')).to_bytes(row_bytes, 'big')
        parts.append(raw.compress(b'\0' + row))
        if len(parts) > 64:
            chunk(b'IDAT', b''.join(parts))
            parts = []
    parts.append(raw.flush())
    chunk(b'IDAT', b''.join(parts))
    chunk(b'IEND', b'')
PY
}

# run NAME BOUND_KB COMMAND...: one run, under /usr/bin/time -v when measuring.
run() {
    local name=$1 bound_kb=$2
    shift 2
    if [ $measure = 0 ]; then
        "$@" >/dev/null 2>"$work/err.txt" || { cat "$work/err.txt" >&2; return 1; }
        return 0
    fi
    /usr/bin/time -v "$@" >/dev/null 2>"$work/time.txt" || { cat "$work/time.txt" >&2; return 1; }
    local peak elapsed user system
    peak=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$work/time.txt")
    elapsed=$(sed -n 's/^[[:space:]]*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt")
    user=$(sed -n 's/^[[:space:]]*User time (seconds): //p' "$work/time.txt")
    system=$(sed -n 's/^[[:space:]]*System time (seconds): //p' "$work/time.txt")
    # On a shared machine the processor time tells more than the wall clock.
    echo "  $name: ${elapsed} wall, ${user} s user + ${system} s system," \
        "peak RSS ${peak} kB of ${bound_kb} kB ($(( peak * 100 / bound_kb ))%)"
    [ "$peak" -lt "$bound_kb" ] || status=1
}

for size in "${sizes[@]}"; do
    width=${size%x*}
    height=${size#*x}
    cover "$width" "$height"
    safe=$("$cli" info "$work/cover.png" --json | sed -n 's/^  "stealth_safe_size": \([0-9]*\),$/\1/p')
    largest=$("$cli" info "$work/cover.png" --json | sed -n 's/^  "stealth_largest_size": \([0-9]*\),$/\1/p')
    # zlib stores random bytes in blocks: 6 bytes of header and check value,
    # and 5 per block of at most 16 kB; the stored name is "payload.bin".
    content=$(( safe - 11 - 6 - 5 * (safe / 16384 + 1) ))
    head -c "$content" /dev/urandom >"$work/payload.bin"
    picture_kb=$(( width * height * 3 / 1024 ))
    bound_kb=$(( 3 * picture_kb + 256 * 1024 ))
    echo "${width} x ${height} ($(( width * height )) pixels): safe ${safe} bytes, largest ${largest} bytes," \
        "payload file ${content} bytes"
    run encode "$bound_kb" "$cli" encode --container "$work/cover.png" --file "$work/payload.bin" --stealth \
        --password "$password" --out "$work/stealth.png" --force || status=1
    run decode "$bound_kb" "$cli" decode "$work/stealth.png" --password "$password" --out "$work/back.bin" \
        --force || status=1
    if ! cmp -s "$work/payload.bin" "$work/back.bin"; then
        echo "  the payload did not come back" >&2
        status=1
    fi
done
exit $status
