#!/usr/bin/python3
"""Peak memory and time of lumaquill-cli on hostile and careless inputs.

Makes each kind of file in a scratch folder (the large ones sparse, so the
disk holds a few kilobytes), runs the command under /usr/bin/time -v and
prints a markdown table: the case, the command, the exit status, the peak
resident set size, the wall time and the first line the program wrote to
standard error (its reason). The goal is every case under 200 MB and 1 s.

    /usr/bin/python3 bench/hostile_pictures.py [LUMAQUILL_CLI]
    (default: build/src/cli/lumaquill-cli)
"""

import os
import re
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CLI = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "build/src/cli/lumaquill-cli")
GOAL_KB = 200 * 1000
GOAL_SECONDS = 1.0
GIB = 1 << 30


def sparse(path, head, length):
    """A file that starts with head and is length bytes long, the rest a hole."""
    with open(path, "wb") as f:
        f.write(head)
        f.truncate(length)


def bmp_header(width, height, bits=24, pixel_bytes=None):
    stride = (bits * width + 31) // 32 * 4
    size = stride * height if pixel_bytes is None else pixel_bytes
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, size, 0, 0, 0, 0)
    return b"BM" + struct.pack("<IHHI", 54 + size, 0, 0, 54) + info


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_header_only(width, height):
    """Signature, IHDR, an IDAT of an empty zlib stream, IEND: 69 bytes."""
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + png_chunk(b"IDAT", zlib.compress(b""))
            + png_chunk(b"IEND", b""))


def segment(marker, body):
    return b"\xff" + bytes([marker]) + struct.pack(">H", len(body) + 2) + body


# One Huffman table of a single code of one bit ("0"): DC difference 0 for
# the DC tables, end of block for the AC tables, so every block of a flat
# grey picture costs two bits of zeros.
SINGLE_CODE = bytes([1] + [0] * 15 + [0])


def jpeg_tables():
    dqt = segment(0xDB, b"\x00" + bytes([1] * 64))
    dht = segment(0xC4, b"\x00" + SINGLE_CODE + b"\x10" + SINGLE_CODE)
    return dqt + dht


def jpeg_frame(marker, width, height):
    return segment(marker, struct.pack(">BHHB", 8, height, width, 1) + b"\x01\x11\x00")


def exif_orientation(value):
    """APP1 with an EXIF block of one IFD entry: the orientation."""
    tiff = b"MM\x00\x2a" + struct.pack(">I", 8) + struct.pack(">H", 1)
    tiff += struct.pack(">HHIHH", 0x0112, 3, 1, value, 0) + struct.pack(">I", 0)
    return segment(0xE1, b"Exif\x00\x00" + tiff)


def flat_jpeg(width, height, orientation):
    """A baseline grey JPEG of one flat colour, with an EXIF orientation."""
    blocks = ((width + 7) // 8) * ((height + 7) // 8)
    data = bytes((2 * blocks + 7) // 8)
    return (b"\xff\xd8" + exif_orientation(orientation) + jpeg_tables() + jpeg_frame(0xC0, width, height)
            + segment(0xDA, b"\x01\x01\x00\x00\x3f\x00") + data + b"\xff\xd9")


def progressive_header(width, height, pad_to):
    """SOI, tables, a progressive frame and a DC scan header; padded with a comment to pad_to bytes."""
    head = b"\xff\xd8" + jpeg_tables() + jpeg_frame(0xC2, width, height)
    scan = segment(0xDA, b"\x01\x01\x00\x00\x00\x00")
    comment = max(0, pad_to - len(head) - len(scan) - 2 - 4)
    return head + segment(0xFE, bytes(comment)) + scan + b"\xff\xd9"


def repeated_scans(side, scans):
    """An 8192-square grey progressive JPEG whose DC scan is repeated."""
    blocks = (side // 8) ** 2
    scan = segment(0xDA, b"\x01\x01\x00\x00\x00\x00") + bytes(blocks // 8 // 1024)
    return b"\xff\xd8" + jpeg_tables() + jpeg_frame(0xC2, side, side) + scan * scans + b"\xff\xd9"


def webp_lossless_header(width, height):
    """34 bytes: RIFF, a VP8L chunk declaring the size with alpha, nine zero bytes."""
    bits = (width - 1) | (height - 1) << 14 | 1 << 28
    chunk = b"\x2f" + struct.pack("<I", bits) + bytes(9)
    return b"RIFF" + struct.pack("<I", 4 + 8 + len(chunk)) + b"WEBPVP8L" + struct.pack("<I", len(chunk)) + chunk


def box(kind, body):
    return struct.pack(">I", 8 + len(body)) + kind + body


def full_box(kind, version, flags, body):
    return box(kind, bytes([version]) + flags.to_bytes(3, "big") + body)


def heif_grid(side, tile):
    """A HEIC whose primary item is a one-tile grid declaring side x side."""
    ftyp = box(b"ftyp", b"heic" + struct.pack(">I", 0) + b"mif1heic")
    hdlr = full_box(b"hdlr", 0, 0, bytes(4) + b"pict" + bytes(12) + b"\x00")
    pitm = full_box(b"pitm", 0, 0, struct.pack(">H", 1))
    infe_grid = full_box(b"infe", 2, 0, struct.pack(">HH", 1, 0) + b"grid" + b"\x00")
    infe_tile = full_box(b"infe", 2, 1, struct.pack(">HH", 2, 0) + b"hvc1" + b"\x00")
    iinf = full_box(b"iinf", 0, 0, struct.pack(">H", 2) + infe_grid + infe_tile)
    iref = full_box(b"iref", 0, 0, box(b"dimg", struct.pack(">HHH", 1, 1, 2)))
    hvcc = box(b"hvcC", bytes([1]) + bytes(21) + b"\x00")
    ispe_grid = full_box(b"ispe", 0, 0, struct.pack(">II", side, side))
    ispe_tile = full_box(b"ispe", 0, 0, struct.pack(">II", tile, tile))
    ipco = box(b"ipco", ispe_grid + hvcc + ispe_tile)
    ipma = full_box(b"ipma", 0, 0, struct.pack(">I", 2) + struct.pack(">HB", 1, 1) + bytes([0x81])
                    + struct.pack(">HB", 2, 2) + bytes([0x82, 0x83]))
    iprp = box(b"iprp", ipco + ipma)
    grid = bytes([0, 0, 0, 0]) + struct.pack(">HH", side, side)
    tile_data = bytes(64)

    def meta(grid_offset, tile_offset):
        iloc = full_box(b"iloc", 1, 0, bytes([0x44, 0x00]) + struct.pack(">H", 2)
                        + struct.pack(">HHH", 1, 1, 0) + struct.pack(">HII", 1, 0, len(grid))
                        + struct.pack(">HHH", 2, 0, 0) + struct.pack(">HII", 1, tile_offset, len(tile_data)))
        idat = box(b"idat", grid)
        return full_box(b"meta", 0, 0, hdlr + pitm + iloc + iinf + iref + iprp + idat)

    first = meta(0, 0)
    tile_offset = len(ftyp) + len(first) + 8
    return ftyp + meta(0, tile_offset) + box(b"mdat", tile_data)


def make_files(work):
    path = lambda name: os.path.join(work, name)
    sparse(path("cover19000.bmp"), bmp_header(19000, 19000), 54 + 57000 * 19000)
    with open(path("grid.heic"), "wb") as f:
        f.write(heif_grid(32767, 512))
    with open(path("progressive40000.jpg"), "wb") as f:
        f.write(progressive_header(40000, 40000, 280))
    with open(path("scans.jpg"), "wb") as f:
        f.write(repeated_scans(8192, 10000))
    with open(path("canvas.webp"), "wb") as f:
        f.write(webp_lossless_header(16383, 16383))
    sparse(path("trailing.bmp"), bmp_header(1, 1) + bytes(4), 3_900_000_000)
    with open(path("idat18900.png"), "wb") as f:
        f.write(png_header_only(18900, 18900))
    with open(path("rotated6.jpg"), "wb") as f:
        f.write(flat_jpeg(6000, 4000, 6))
    with open(path("upright1.jpg"), "wb") as f:
        f.write(flat_jpeg(6000, 4000, 1))
    stride = (24 * 400 + 31) // 32 * 4
    with open(path("cover400.bmp"), "wb") as f:
        f.write(bmp_header(400, 300) + bytes(range(256)) * (stride * 300 // 256) + bytes(stride * 300 % 256))
    sparse(path("gibibyte.bin"), b"", GIB)
    sparse(path("gigabyte.bin"), b"", 10**9)


def encode(*extra):
    return ["encode", "--out", "out.png", "--password", "abcd", "--force", *extra]


CASES = [
    ("19000 x 19000 sparse BMP cover", encode("--container", "cover19000.bmp", "--text", "hi")),
    ("HEIC grid declaring 32767 x 32767", ["info", "grid.heic"]),
    ("280-byte progressive JPEG declaring 40000 x 40000", ["info", "progressive40000.jpg"]),
    ("8192-square JPEG, one scan repeated 10,000 times", ["info", "scans.jpg"]),
    ("34-byte WebP declaring 16383 x 16383 with alpha", ["info", "canvas.webp"]),
    ("1 x 1 BMP with 3.9 GB of trailing bytes (sparse)", ["info", "trailing.bmp"]),
    ("69-byte PNG declaring 18900 x 18900", ["info", "idat18900.png"]),
    ("6000 x 4000 JPEG, EXIF orientation 6", ["info", "rotated6.jpg"]),
    ("6000 x 4000 JPEG, EXIF orientation 1 (for comparison)", ["info", "upright1.jpg"]),
    ("1 GiB payload into a 400 x 300 cover", encode("--container", "cover400.bmp", "--file", "gibibyte.bin")),
    ("10^9-byte payload (under the cap) into a 400 x 300 cover",
     encode("--container", "cover400.bmp", "--file", "gigabyte.bin")),
    ("--file /dev/zero", encode("--container", "cover400.bmp", "--file", "/dev/zero")),
    ("noise picture for a 1 GiB payload", encode("--noise", "--file", "gibibyte.bin")),
]


def measure(work, args):
    run = subprocess.run(["/usr/bin/time", "-v", CLI, *args], cwd=work, capture_output=True, text=True,
                         errors="replace")
    stats = run.stderr
    peak = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", stats).group(1))
    clock = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): ([\d:.]+)", stats).group(1)
    seconds = 0.0
    for part in clock.split(":"):
        seconds = seconds * 60 + float(part)
    said = stats.split("\tCommand being timed")[0].strip().splitlines()
    reason = said[0] if said else run.stdout.strip().splitlines()[0] if run.stdout.strip() else ""
    return run.returncode, peak, seconds, reason


def main():
    if not os.access(CLI, os.X_OK):
        sys.exit(f"{CLI} is not built: cmake --build build --target lumaquill-cli")
    with tempfile.TemporaryDirectory() as work:
        make_files(work)
        print("| Case | Command | Exit | Peak RSS | Time | Said |")
        print("|---|---|---|---|---|---|")
        within = True
        for name, args in CASES:
            status, peak, seconds, reason = measure(work, args)
            within = within and peak < GOAL_KB and seconds < GOAL_SECONDS
            reason = reason.replace("|", "\\|")[:150]
            print(f"| {name} | `{' '.join(args[:2])}` | {status} | {peak / 1000:.1f} MB | {seconds:.2f} s | {reason} |")
        print()
        print("All cases under 200 MB and 1 s." if within else "Some case is over 200 MB or 1 s.")


if __name__ == "__main__":
    main()
