#!/usr/bin/env bash
# The whole encode of a 12-megapixel photo-like PNG through lumaquill-cli
# (load, hide 100 KB, save as PNG) against ImageMagick's plain re-save of the
# same file, in the same run: processor and wall time, peak memory, sizes.
# Goals: no slower, at most 5% larger, memory within pixel bytes + payload
# + 64 MB. Also times libpng and libspng reading and writing the photo.
#   bench/png_speed.sh [path/to/lumaquill-cli]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cli=${1:-$here/build/src/cli/lumaquill-cli}
work=${LUMAQUILL_BENCH_DIR:-/tmp/lumaquill-png-bench}
mkdir -p "$work"
cd "$work"

# The same photo every run: a fractal plasma (seeded), softened, with
# sensor-like noise.
if [ ! -f photo.png ]; then
    convert -seed 7 -size 4000x3000 plasma:fractal -blur 0x2 -attenuate 0.4 +noise Gaussian -depth 8 \
        PNG24:photo.png
fi
python3 -c "import random; r = random.Random(100); open('payload.bin', 'wb').write(bytes(r.getrandbits(8) for _ in range(102400)))"

measure() { # label, command...
    local label=$1
    shift
    /usr/bin/time -f '%U %S %e %M' -o time.txt "$@"
    read -r user sys wall rss < time.txt
    awk -v l="$label" -v u="$user" -v s="$sys" -v w="$wall" -v m="$rss" \
        'BEGIN { printf "%-12s cpu %6.2f s  wall %6.2f s  peak %7d KB\n", l, u + s, w, m }'
}

# Three alternating rounds, so that both sides meet the same load of the
# machine; compare the lowest figures.
for round in 1 2 3; do
    measure lumaquill "$cli" encode --container photo.png --out ours.png --file payload.bin --password benchmark
    measure imagemagick convert photo.png theirs.png
done
"$cli" decode ours.png --password benchmark --out back.bin --force >/dev/null 2>&1
cmp -s back.bin payload.bin || { echo "the encoded photo does not decode" >&2; exit 1; }

ours=$(stat -c %s ours.png)
theirs=$(stat -c %s theirs.png)
pixels=$((4000 * 3000 * 3))
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "sizes: ours %d bytes, ImageMagick %d bytes (%+.2f%%)\n", a, b, (a - b) * 100 / b }'
echo "memory budget: $(( (pixels + 102400) / 1024 + 65536 )) KB (pixel bytes + payload + 64 MB)"

cc -O2 "$here/bench/png_library_speed.c" $(pkg-config --cflags --libs libpng spng) -o png_library_speed
./png_library_speed photo.png 6 3 1
