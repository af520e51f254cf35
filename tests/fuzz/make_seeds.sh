#!/usr/bin/env bash
# Writes the seed corpus of every fuzz target into tests/fuzz/seeds/<target>:
# small images encoded by lumaquill-cli (speed 0, the key of FuzzKey.h),
# hand-made bitmaps and zlib streams, and a few malformed ones of each.
#   tests/fuzz/make_seeds.sh [path/to/lumaquill-cli]
# The noise images draw from the clock, so a new run gives other bytes for
# them; every other seed comes out the same. Each decode seed is decoded
# once here: a valid one must give back its payload, and none may be slow.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cli=${1:-"$here/../../build/src/cli/lumaquill-cli"}
cli=$(realpath "$cli")
seeds="$here/seeds"
key=fuzz-password # FuzzKey.h: kSeedKeyText
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rm -rf "$seeds"
mkdir -p "$seeds"/{bmp_reader,question_header,decode_flow,decode_tail}

# Containers: 66 x 66 is about the smallest picture with room for a payload
# (capacity keeps 4096 pixels in reserve). Bitmaps, zlib streams and the
# malformed variants come from Python.
python3 - "$work" "$seeds" <<'EOF'
import random, struct, sys, zlib
work, seeds = sys.argv[1], sys.argv[2]

def bmp(width, height, bits, rows=None, info_size=40, compression=0, colors_used=0,
        table=b"", masks=b"", top_down=False, offset=None, extra=b""):
    stride = ((bits * width + 31) // 32) * 4
    if rows is None:
        rows = bytes((x * 7 + y * 13) & 0xFF for y in range(height) for x in range(stride))
    info = struct.pack("<IiiHHIIiiII", info_size, width, -height if top_down else height, 1, bits,
                       compression, stride * height, 2835, 2835, colors_used, 0)
    info += masks.ljust(info_size - 40, b"\0")[: info_size - 40]
    trailing = masks if info_size == 40 else b""
    start = 14 + len(info) + len(trailing) + len(table)
    offset = start if offset is None else offset
    gap = b"\0" * max(0, offset - start)
    body = info + trailing + table + gap + rows + extra
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, offset) + body

def write(folder, name, data):
    with open(f"{seeds}/{folder}/{name}", "wb") as f:
        f.write(data)

def table(entries):
    return b"".join(bytes((i * 37 & 0xFF, i * 59 & 0xFF, i * 83 & 0xFF, 0)) for i in range(entries))

with open(f"{work}/container24.bmp", "wb") as f:
    f.write(bmp(66, 66, 24))
with open(f"{work}/container32.bmp", "wb") as f:
    f.write(bmp(66, 66, 32))

plain_masks = struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
for name, data in {
    "rgb24_odd_width.bmp": bmp(13, 7, 24),
    "rgb24_top_down.bmp": bmp(9, 5, 24, top_down=True),
    "rgb24_trailing_bytes.bmp": bmp(5, 3, 24, extra=b"tail"),
    "rgb24_offset_gap.bmp": bmp(5, 3, 24, offset=80),
    "rgb32.bmp": bmp(5, 3, 32),
    "rgb16.bmp": bmp(6, 5, 16),
    "mono.bmp": bmp(17, 9, 1, table=table(2)),
    "nibble.bmp": bmp(9, 5, 4, table=table(16)),
    "byte_12_colours.bmp": bmp(7, 4, 8, colors_used=12, table=table(12)),
    "byte_colours_used_wraps.bmp": bmp(7, 4, 8, colors_used=65536 + 5, table=table(5)),
    "bitfields_trailing_masks.bmp": bmp(4, 3, 32, compression=3, masks=plain_masks[:12]),
    "bitfields_v4.bmp": bmp(4, 3, 32, info_size=108, compression=3, masks=plain_masks),
    "bitfields_v5.bmp": bmp(4, 3, 32, info_size=124, compression=3, masks=plain_masks),
    "bad_signature.bmp": b"MB" + bmp(5, 3, 24)[2:],
    "bad_bit_count.bmp": bmp(5, 3, 2),
    "rle8.bmp": bmp(7, 4, 8, compression=1, table=table(256)),
    "short_rows.bmp": bmp(13, 7, 24)[:-40],
    "short_table.bmp": bmp(7, 4, 8, table=table(256))[:14 + 40 + 100],
    "zero_width.bmp": bmp(0, 3, 24),
    "huge_width.bmp": bmp(5, 3, 24)[:18] + struct.pack("<i", 0x7FFFFFFF) + bmp(5, 3, 24)[22:],
    "odd_masks.bmp": bmp(4, 3, 32, compression=3, masks=struct.pack("<III", 0xF800, 0x07E0, 0x001F)),
}.items():
    write("bmp_reader", name, data)

# Random pixels: a mode header the key reads as anything.
rng = random.Random(12)
noise = bytes(rng.randrange(256) for _ in range(66 * 3 * 66 + 66 * 2))
write("decode_flow", "random_pixels.bmp", bmp(66, 66, 24, rows=noise[: 200 * 66]))
write("question_header", "random_pixels.bmp", bmp(66, 66, 24, rows=noise[: 200 * 66]))

# The decode tail: 3 bytes of cap (low 20 bits plus one), the name's length,
# the name, the zlib stream.
def tail(cap, name, stream):
    name = name.encode() if isinstance(name, str) else name
    return struct.pack("<I", cap - 1)[:3] + bytes([len(name)]) + name + stream

text = "Meet at noon by the old mill.".encode()
report = bytes(range(256)) * 8
zeros = bytes(100000)
for name, data in {
    "text.bin": tail(4096, "", zlib.compress(text)),
    "file.bin": tail(4096, "report.txt", zlib.compress(report)),
    "file_exact_cap.bin": tail(len(report), "report.txt", zlib.compress(report)),
    "file_cap_one_short.bin": tail(len(report) - 1, "report.txt", zlib.compress(report)),
    "path_name.bin": tail(4096, "C:\\data\\report.txt", zlib.compress(report)),
    "long_utf8_name.bin": tail(4096, "x" + "\u00e9" * 30, zlib.compress(text)),
    "windows1252_name.bin": tail(4096, b"caf\xe9 \x80.txt", zlib.compress(text)),
    "control_name.bin": tail(4096, b"bell\a\x1b[2J.txt", zlib.compress(text)),
    "hidden_name.bin": tail(4096, "../.profile", zlib.compress(text)),
    "empty_stream.bin": tail(16, "", zlib.compress(b"")),
    "many_zeros.bin": tail(1 << 20, "zeros.bin", zlib.compress(zeros, 9)),
    "trailing_bytes.bin": tail(4096, "", zlib.compress(text) + b"junk"),
    "truncated.bin": tail(4096, "", zlib.compress(report)[:-9]),
    "bad_adler.bin": tail(4096, "", zlib.compress(text)[:-1] + b"\0"),
    "raw_deflate.bin": tail(4096, "", zlib.compress(text)[2:]),
    "preset_dictionary.bin": tail(4096, "", (lambda c: c.compress(text) + c.flush())(
        zlib.compressobj(zdict=b"the old mill"))),
}.items():
    write("decode_tail", name, data)
EOF

# Encoded images. A file payload is hidden under its own name.
printf 'Quarterly figures\n' > "$work/report.txt"
printf 'Gr\xc3\xbc\xc3\x9fe\n' > "$work/grüße.txt"
printf 'ding\n' > "$work/bell"$'\a'".txt"
printf 'set -x\n' > "$work/.profile"
encode() { # NAME ARGS...: one image into decode_flow
    local name=$1
    shift
    "$cli" encode --speed 0 --out "$seeds/decode_flow/$name" "$@" >/dev/null
}
c24=(--container "$work/container24.bmp")
c32=(--container "$work/container32.bmp")
encode text.bmp "${c24[@]}" --text "Meet at noon" --password "$key"
encode text_32bit.bmp "${c32[@]}" --text "Meet at noon" --password "$key"
encode file.bmp "${c24[@]}" --file "$work/report.txt" --password "$key"
encode file_utf8_name.bmp "${c24[@]}" --file "$work/grüße.txt" --password "$key"
encode file_control_name.bmp "${c24[@]}" --file "$work/bell"$'\a'".txt" --password "$key"
encode file_hidden_name.bmp "${c24[@]}" --file "$work/.profile" --password "$key"
encode text_one_question.bmp "${c24[@]}" --text "Meet at noon" --quiz "First pet?" "Four legs" "$key"
encode file_two_questions.bmp "${c24[@]}" --file "$work/report.txt" \
    --quiz "Wie heißt der Hund?" "Vier Beine" "fuzz-" --quiz "Town?" "Fjord" "password"
encode noise_text.bmp --noise --text "Meet at noon" --password "$key"
encode noise_file.bmp --noise --file "$work/report.txt" --password "$key"
encode other_key.bmp "${c24[@]}" --text "Meet at noon" --password "not the fuzz key"

# The question header: texts in UTF-8, old Windows-1252 bytes and control
# characters; five questions; none.
question() {
    local name=$1
    shift
    "$cli" encode --speed 0 "${c24[@]}" --text "hi" --out "$seeds/question_header/$name" "$@" >/dev/null
}
question five_questions.bmp --quiz "Q1?" "h1" fu --quiz "Q2?" "h2" zz --quiz "Q3?" "h3" -pa \
    --quiz "Q4?" "h4" ss --quiz "Q5?" "h5" word
question control_characters.bmp --quiz $'\e[31mred\e[0m\a' $'tab\there\r\nline' "$key"
question windows1252.bmp --quiz $'Caf\xe9 \x80?' $'\x9b2J' "$key"
question empty_hint.bmp --quiz "First pet?" "" "$key"
question no_questions.bmp --password "$key"
cp "$seeds/decode_flow/file_two_questions.bmp" "$seeds/question_header/"

# Malformed images: a cut file, a flipped bit in the question signature,
# and bits flipped where the question texts and the body lie.
python3 - "$seeds" <<'EOF'
import random, sys
seeds = sys.argv[1]
def vary(folder, source, name, change):
    data = bytearray(open(f"{seeds}/{folder}/{source}", "rb").read())
    change(data)
    open(f"{seeds}/{folder}/{name}", "wb").write(bytes(data))
def flip(offsets):
    def change(data):
        for at in offsets:
            data[at] ^= 1
    return change
# The top row of a 66 x 66 24-bit image is stored last: 200 bytes from
# here. The signature takes its first 180 bytes, the count byte 9 more.
top = 54 + 65 * 200
rng = random.Random(7)
vary("question_header", "five_questions.bmp", "cut_short.bmp", lambda d: d.__delitem__(slice(-500, None)))
vary("question_header", "five_questions.bmp", "broken_signature.bmp", flip([top]))
vary("question_header", "control_characters.bmp", "flipped_text_bits.bmp",
     flip(rng.sample(list(range(top + 189, top + 198)) + list(range(top - 200, top - 140)), 10)))
vary("decode_flow", "file.bmp", "flipped_body_bits.bmp", flip(rng.sample(range(54, top), 40)))
vary("decode_flow", "noise_file.bmp", "cut_short.bmp", lambda d: d.__delitem__(slice(-3, None)))
EOF

# Every decode seed decodes quickly; the valid ones give back their payload.
decode() { # NAME EXPECTED-STATUS KEY-ARGS...
    local name=$1 expected=$2 status=0
    shift 2
    mkdir -p "$work/out"
    timeout 20 "$cli" decode "$seeds/decode_flow/$name" --out-dir "$work/out" --force "$@" \
        >/dev/null 2>&1 || status=$?
    if [ "$status" -ne "$expected" ]; then
        echo "make_seeds: decoding $name exited with $status, expected $expected" >&2
        exit 1
    fi
}
for name in text text_32bit file file_utf8_name file_control_name file_hidden_name noise_text noise_file; do
    decode "$name.bmp" 0 --password "$key"
done
decode text_one_question.bmp 0 --answer "$key"
decode file_two_questions.bmp 0 --answer fuzz- --answer password
for name in other_key flipped_body_bits random_pixels; do
    decode "$name.bmp" 1 --password "$key"
done
decode cut_short.bmp 1 --password "$key"

du -sh "$seeds"
