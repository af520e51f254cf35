#!/usr/bin/env python3
"""Stealth JPEG outputs against their covers: file size, look and round trip.

Covers: photos of bench/detectability/photos.tsv, each shrunk by a 2 x 2 area average and cut to a centred
--size tile, compressed by libjpeg (Pillow) at each --qualities and --subsampling with optimised Huffman
tables.  Each cover is encoded with `lumaquill-cli encode --stealth` to a .jpg at its safe and at its
largest size (a random file whose zlib stream and stored name fill the size `info --json` gives; --sizes
may add rates in bits per non-zero AC coefficient, 0.2 say), and:
  - growth: (output bytes - cover bytes) / cover bytes;
  - PSNR of the output against the cover, both decoded by libjpeg-turbo's djpeg and by ImageMagick's
    convert (with --look);
  - decoded with the password, the file must come back (with --round-trip);
  - the output read and written again by `jpegtran -copy none -optimize` must give the same bytes (with
    --rewrite; the covers carry no EXIF block, so none is dropped);
  - the seconds of the whole CLI encode and decode (each with its Argon2id: 64 MiB, 3 passes).
Prints one row per cover and size, then the mean and largest growth per size.

Usage:  /usr/bin/python3 bench/stealth_jpeg_sizes.py --cli build/src/cli/lumaquill-cli [--photos 5] \
            [--size 1024x768] [--sizes safe,0.2,largest] [--qualities 75,95] [--subsampling 4:2:0,4:4:4] [--progressive] [--look] \
            [--round-trip] [--rewrite]
"""

import argparse
import csv
import io
import json
import math
import re
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import numpy as np
from PIL import Image

HERE = Path(__file__).resolve().parent
PASSWORD = "correct horse"
NAME = "p.bin"
# Pillow's subsampling numbers.
SUBSAMPLING = {"4:4:4": 0, "4:2:2": 1, "4:2:0": 2}


def photos(count):
    with open(HERE / "detectability" / "photos.tsv", newline="") as f:
        rows = [row[1] for row in csv.reader(f, delimiter="\t") if row and not row[0].startswith("#")]
    # The photos installed on this machine, spread over the list.
    paths = [p for p in rows if Path(p).exists()]
    step = max(1, len(paths) // count)
    return paths[::step][:count]


def cover_pixels(path, width, height):
    rgb = np.asarray(Image.open(path).convert("RGB"))
    h, w = rgb.shape[0] // 2 * 2, rgb.shape[1] // 2 * 2
    small = np.clip(np.rint(rgb[:h, :w].astype(np.float64).reshape(h // 2, 2, w // 2, 2, 3).mean(axis=(1, 3))),
                    0, 255).astype(np.uint8)
    if small.shape[0] < height or small.shape[1] < width:
        small = np.asarray(Image.fromarray(rgb).resize((width, height), Image.LANCZOS))
    y, x = (small.shape[0] - height) // 2, (small.shape[1] - width) // 2
    return small[y:y + height, x:x + width]


def run(args, **kw):
    return subprocess.run(args, capture_output=True, check=False, **kw)


def sizes(cli, cover, names):
    """The sizes named: safe, largest, or a rate in bits per non-zero AC coefficient (from the largest, 0.4)."""
    info = json.loads(run([cli, "info", "--json", str(cover)]).stdout)
    known = {"safe": info["stealth_safe_size"], "largest": info["stealth_largest_size"]}
    return {name: known[name] if name in known else int((known["largest"] + 17) * float(name) / 0.4) - 17
            for name in names}


def decoded(path, tool):
    if tool == "djpeg":
        out = run(["djpeg", "-ppm", str(path)]).stdout
    else:
        out = run(["convert", str(path), "ppm:-"]).stdout
    return np.asarray(Image.open(io.BytesIO(out)).convert("RGB")).astype(np.float64)


def psnr(a, b):
    mse = np.mean((a - b) ** 2)
    return float("inf") if mse == 0 else 10 * math.log10(255 ** 2 / mse)


def encode(options, cover, size, scratch, seed):
    """Encodes the largest random file that fits size; its content, the output and the encode's seconds."""
    payload, out = scratch / NAME, scratch / "s.jpg"
    # The zlib stream of random bytes adds a few bytes of block headers; a refusal says how many too many.
    length = size - len(NAME) - 6
    while True:
        content = np.random.default_rng(seed).integers(0, 256, length, dtype=np.uint8).tobytes()
        payload.write_bytes(content)
        start = time.monotonic()
        result = run([options.cli, "encode", "--container", str(cover), "--file", str(payload), "--out", str(out),
                      "--stealth", "--password", PASSWORD, "--force"])
        if result.returncode == 0:
            return content, out, time.monotonic() - start
        found = re.search(r"takes (\d+) bytes .* at most (\d+) bytes", result.stderr.decode(errors="replace"))
        if not found:
            raise RuntimeError(result.stderr.decode(errors="replace"))
        length -= int(found.group(1)) - int(found.group(2))


def measure(options, cover, size_name, size, scratch, seed):
    content, out, seconds = encode(options, cover, size, scratch, seed)
    row = {"size": size_name, "payload": len(content), "encode_s": seconds,
           "growth": (out.stat().st_size - cover.stat().st_size) / cover.stat().st_size}
    if options.look:
        for tool in ("djpeg", "convert"):
            row[f"psnr_{tool}"] = psnr(decoded(cover, tool), decoded(out, tool))
    if options.rewrite:
        # libjpeg-turbo's transcoder: the coefficients read and written again, nothing else kept.
        progressive = ["-progressive"] if Image.open(out).info.get("progressive") else []
        rewritten = run(["jpegtran", "-copy", "none", "-optimize", *progressive, str(out)]).stdout
        row["rewrite_same"] = rewritten == out.read_bytes()
    if options.round_trip:
        got = scratch / "got"
        got.mkdir(exist_ok=True)
        start = time.monotonic()
        decode = run([options.cli, "decode", str(out), "--password", PASSWORD, "--out-dir", str(got), "--force"])
        row["decode_s"] = time.monotonic() - start
        row["round_trip"] = decode.returncode == 0 and (got / NAME).read_bytes() == content
    return row


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--photos", type=int, default=5)
    parser.add_argument("--size", default="1024x768")
    parser.add_argument("--qualities", default="75,95")
    parser.add_argument("--subsampling", default="4:2:0,4:4:4")
    parser.add_argument("--sizes", default="safe,largest")
    parser.add_argument("--look", action="store_true")
    parser.add_argument("--round-trip", action="store_true")
    parser.add_argument("--rewrite", action="store_true")
    parser.add_argument("--progressive", action="store_true")
    options = parser.parse_args()
    width, height = (int(v) for v in options.size.split("x"))
    growth = {name: [] for name in options.sizes.split(",")}
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        scratch = Path(folder)
        for number, photo in enumerate(photos(options.photos)):
            pixels = Image.fromarray(cover_pixels(photo, width, height))
            for quality in (int(q) for q in options.qualities.split(",")):
                for sub in options.subsampling.split(","):
                    cover = scratch / "cover.jpg"
                    pixels.save(cover, "JPEG", quality=quality, optimize=True, subsampling=SUBSAMPLING[sub],
                               progressive=options.progressive)
                    for size_name, size in sizes(options.cli, cover, growth).items():
                        row = measure(options, cover, size_name, size, scratch, 1000 * number + quality)
                        growth[size_name].append(row["growth"])
                        failures += row.get("round_trip", True) is False or row.get("rewrite_same", True) is False
                        extra = "".join(f" {k} {v:.2f} dB" for k, v in row.items() if k.startswith("psnr"))
                        trip = f" encode {row['encode_s']:.2f} s"
                        if "rewrite_same" in row:
                            trip += f", rewrite {'same' if row['rewrite_same'] else 'DIFFERENT'}"
                        if "round_trip" in row:
                            trip += f", decode {row['decode_s']:.2f} s, round trip {'ok' if row['round_trip'] else 'FAILED'}"
                        print(f"{Path(photo).parent.parent.name[:18]:18} q{quality} {sub} {size_name:7} "
                              f"{row['payload']:7} B  {cover.stat().st_size:8} B  {100 * row['growth']:+.2f} %"
                              f"{extra}{trip}", flush=True)
    for size_name, values in growth.items():
        print(f"{size_name}: mean {100 * np.mean(values):+.2f} %, largest {100 * np.max(values):+.2f} %, "
              f"smallest {100 * np.min(values):+.2f} % over {len(values)} covers")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
