#!/usr/bin/env bash
# Peak memory of a decode with a wrong password on a 12-megapixel image.
#
# Builds lumaquill-cli, writes a 4000 x 3000 24-bit bitmap of random pixels,
# encodes a short text into it, then decodes it with wrong passwords under
# /usr/bin/time -v and prints each run's peak resident set size against the
# bound: the image's pixel bytes plus 256 MB.
#   bench/wrong_password_memory.sh [BUILD_DIR]   (default: build)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$here/build}
[ -d "$build" ] || cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target lumaquill-cli >/dev/null 2>&1
cli="$build/src/cli/lumaquill-cli"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

width=4000
height=3000
stride=$(( (24 * width + 31) / 32 * 4 ))
pixel_bytes=$(( stride * height ))
bound_kb=$(( pixel_bytes / 1024 + 256 * 1024 ))

le32() {
    local v=$1
    printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255))
}

# File header, 40-byte information header (24 bits, no compression), rows.
{
    printf 'BM'
    printf "$(le32 $((54 + pixel_bytes)))$(le32 0)$(le32 54)"
    printf "$(le32 40)$(le32 $width)$(le32 $height)\\x01\\x00\\x18\\x00"
    printf "$(le32 0)$(le32 $pixel_bytes)$(le32 0)$(le32 0)$(le32 0)$(le32 0)"
    # The same pixels every run, so the same wrong passwords take the same
    # paths (python3 when present).
    if command -v python3 >/dev/null; then
        python3 -c "import random, sys; sys.stdout.buffer.write(random.Random(12).randbytes($pixel_bytes))"
    else
        head -c "$pixel_bytes" /dev/urandom
    fi
} > "$work/photo.bmp"
[ "$(stat -c %s "$work/photo.bmp")" -eq $((54 + pixel_bytes)) ]

"$cli" encode --out "$work/encoded.bmp" --container "$work/photo.bmp" \
    --text "The meeting moves to Thursday." --password "right password" --speed 0 >/dev/null

echo "image: ${width} x ${height}, 24 bits, pixel bytes ${pixel_bytes} ($((pixel_bytes / 1024)) kB)"
echo "bound: pixel bytes + 256 MB = ${bound_kb} kB"
worst=0
# On these pixels "letmein please" reads the ModeByte as EmbedMode 4, which
# has no end pixel to stop at; the body read stops after two bytes that do
# not open a zlib stream.
for password in "wrong password" "not the password" "hunter2" "letmein please"; do
    mkdir -p "$work/out"
    status=0
    /usr/bin/time -v "$cli" decode "$work/encoded.bmp" --password "$password" --out-dir "$work/out" \
        >/dev/null 2>"$work/time.txt" || status=$?
    peak=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$work/time.txt")
    elapsed=$(sed -n 's/^[[:space:]]*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt")
    echo "wrong password \"$password\": exit $status, peak RSS ${peak} kB, ${elapsed}"
    [ "$peak" -gt "$worst" ] && worst=$peak
done
echo "worst peak RSS: ${worst} kB ($(( worst * 100 / bound_kb ))% of the bound)"
[ "$worst" -lt "$bound_kb" ]
