#!/usr/bin/env python3
"""JPEG detectability benchmark: how well a learned JPEG detector tells stealth JPEGs from untouched JPEGs.

Covers: the photos of photos.tsv, each shrunk by a 2 x 2 area average (so no earlier JPEG grid survives) and cut
into 512 x 512 tiles (at most --tiles per photo), each compressed with libjpeg (Pillow) at quality 75 and 95,
4:2:0, optimised Huffman tables.  Stego images at 0.05, 0.1 and 0.2 bits per non-zero AC coefficient (of all
components; the envelope's bits, so the payload file is rate x nzAC / 8 - 17 - 11 - 5 bytes):
  - stealth:     `lumaquill-cli encode --stealth` to a .jpg (UERD costs, syndrome-trellis codes, every
                 coefficient a carrier);
  - nonadaptive: +-1 embedding without costs at the same rate: rate x nzAC message bits in as many non-zero
                 AC coefficients of all components chosen at random, each changed by +1 or -1 (at random) with
                 probability 1/2, as LSB matching does.
Detector: Markov features of the luminance DCT coefficients (Shi, Chen and Chen 2006: transition probabilities
of the differences of absolute coefficients, T = 4, horizontal, vertical, diagonal and minor diagonal, within
the block grid and between blocks: 648 features), a shrinkage LDA; trained and tested with a split by source
photo (half the photos each way, 10 random splits); the AUC is the mean over the splits, +- their standard
deviation.  Coefficients are read by bench/jpeg_coefficients_dump.

Usage:  /usr/bin/python3 bench/detectability/jpeg_detectability.py --cli build/src/cli/lumaquill-cli \
            --dump build/bench/jpeg_coefficients_dump [--tiles 4] [--workers 2]
Writes jpeg_results.md in --work (default bench/detectability/work-jpeg).
"""

import argparse
import csv
import io
import json
import os
import subprocess
import sys
import tempfile
from concurrent.futures import ProcessPoolExecutor
from pathlib import Path

import numpy as np
from PIL import Image

HERE = Path(__file__).resolve().parent
TILE = 512
QUALITIES = (75, 95)
RATES = (0.05, 0.1, 0.2)
METHODS = ("stealth", "nonadaptive")
T = 4
# Envelope tag and name length, the zlib stream's stored-block overhead, the stored name "p.bin".
OVERHEAD = 17 + 11 + 5


def photos():
    with open(HERE / "photos.tsv", newline="") as f:
        return [row[1] for row in csv.reader(f, delimiter="\t") if row and not row[0].startswith("#")]


def shrink(rgb):
    h, w = rgb.shape[0] // 2 * 2, rgb.shape[1] // 2 * 2
    blocks = rgb[:h, :w].astype(np.float64).reshape(h // 2, 2, w // 2, 2, 3)
    return np.clip(np.rint(blocks.mean(axis=(1, 3))), 0, 255).astype(np.uint8)


def make_tiles(work, per_photo):
    index = work / "tiles.json"
    if index.exists():
        return json.loads(index.read_text())
    (work / "covers").mkdir(parents=True, exist_ok=True)
    tiles = []
    for number, path in enumerate(photos()):
        rgb = shrink(np.asarray(Image.open(path).convert("RGB")))
        rows, cols = rgb.shape[0] // TILE, rgb.shape[1] // TILE
        grid = [(r * TILE, c * TILE) for r in range(rows) for c in range(cols)]
        keep = np.linspace(0, len(grid) - 1, min(per_photo, len(grid))).round().astype(int)
        for k, i in enumerate(keep):
            y, x = grid[i]
            tile = Image.fromarray(rgb[y:y + TILE, x:x + TILE])
            for quality in QUALITIES:
                name = f"p{number:03d}t{k}q{quality}"
                tile.save(work / "covers" / f"{name}.jpg", "JPEG", quality=quality, optimize=True, subsampling=2)
                tiles.append({"name": name, "photo": number, "quality": quality})
    index.write_text(json.dumps(tiles))
    return tiles


def coefficients(dump, path):
    raw = subprocess.run([dump, str(path)], capture_output=True, check=True).stdout
    bw, bh, nz = np.frombuffer(raw[:12], "<u4")
    blocks = np.frombuffer(raw[12:], "<i2").astype(np.int32).reshape(bh, bw, 8, 8)
    # The JPEG plane: block (by, bx) at rows 8 by .., columns 8 bx ...
    return blocks.transpose(0, 2, 1, 3).reshape(bh * 8, bw * 8), int(nz)


def transitions(d, shift):
    """P(next = j | current = i) for the clipped differences d, next taken shift away."""
    d = np.clip(d, -T, T) + T
    (dy, dx) = shift
    a = d[: d.shape[0] - dy, : d.shape[1] - dx]
    b = d[dy:, dx:]
    side = 2 * T + 1
    counts = np.bincount((a * side + b).ravel(), minlength=side * side).reshape(side, side).astype(np.float64)
    return (counts / np.maximum(counts.sum(axis=1, keepdims=True), 1)).ravel()


def markov(plane):
    a = np.abs(plane)
    features = []
    # Within the plane: differences of neighbouring coefficients, next difference one step on.
    for dy, dx in ((0, 1), (1, 0), (1, 1), (1, -1)):
        if dx >= 0:
            d = a[: a.shape[0] - dy, : a.shape[1] - dx] - a[dy:, dx:]
        else:
            d = a[: a.shape[0] - dy, 1:] - a[dy:, :-1]
        features.append(transitions(d, (dy, abs(dx)) if dx >= 0 else (dy, 1)))
    # Between blocks: the same frequency in neighbouring blocks (8 apart).
    h, w = a.shape
    for dy, dx in ((0, 8), (8, 0), (8, 8)):
        d = a[: h - dy, : w - dx] - a[dy:, dx:]
        features.append(transitions(d, (dy, dx)))
    d = a[: h - 8, 8:] - a[8:, : w - 8]
    features.append(transitions(d, (8, 8)))
    return np.concatenate(features)


def nonadaptive(plane_path, dump, rate, seed):
    """The luminance plane after +-1 embedding without costs at rate bits per nzAC (all components)."""
    plane, nz = coefficients(dump, plane_path)
    rng = np.random.default_rng(seed)
    plane = plane.copy()
    ac = np.ones_like(plane, dtype=bool)
    ac[::8, ::8] = False
    candidates = np.flatnonzero((plane != 0) & ac)
    # Luminance holds this share of the non-zero AC coefficients: it gets that share of the message.
    bits = int(round(rate * nz * len(candidates) / max(nz, 1)))
    chosen = rng.choice(candidates, size=min(bits, len(candidates)), replace=False)
    change = chosen[rng.random(len(chosen)) < 0.5]
    flat = plane.ravel()
    flat[change] += rng.choice((-1, 1), size=len(change))
    return plane


def stealth_plane(cover, cli, dump, rate, nz, scratch, seed):
    content = int(rate * nz / 8) - OVERHEAD
    payload = scratch / "p.bin"
    payload.write_bytes(np.random.default_rng(seed).integers(0, 256, max(content, 1), dtype=np.uint8).tobytes())
    out = scratch / "s.jpg"
    run = subprocess.run([cli, "encode", "--container", str(cover), "--file", str(payload), "--out", str(out),
                          "--stealth", "--password", f"password{seed}", "--force"], capture_output=True)
    if run.returncode != 0:
        raise RuntimeError(run.stderr.decode(errors="replace"))
    return coefficients(dump, out)[0]


def features_of(job):
    work, tile, cli, dump, seed = job
    target = work / "features" / f"{tile['name']}.npz"
    if target.exists():
        return
    cover = work / "covers" / f"{tile['name']}.jpg"
    plane, nz = coefficients(dump, cover)
    result = {"cover": markov(plane)}
    with tempfile.TemporaryDirectory() as scratch:
        for r, rate in enumerate(RATES):
            result[f"stealth{rate}"] = markov(stealth_plane(cover, cli, dump, rate, nz, Path(scratch), seed + r))
            result[f"nonadaptive{rate}"] = markov(nonadaptive(cover, dump, rate, seed + 100 + r))
    np.savez(target, **result)


def auc(cover_scores, stego_scores):
    scores = np.concatenate([cover_scores, stego_scores])
    labels = np.concatenate([np.zeros(len(cover_scores)), np.ones(len(stego_scores))])
    order = np.argsort(scores, kind="mergesort")
    ranks = np.empty(len(scores))
    ranks[order] = np.arange(1, len(scores) + 1)
    positives = labels == 1
    return (ranks[positives].sum() - positives.sum() * (positives.sum() + 1) / 2) / (positives.sum() * (~positives).sum())


def evaluate(work, tiles, quality, key, splits=10):
    from sklearn.discriminant_analysis import LinearDiscriminantAnalysis
    chosen = [t for t in tiles if t["quality"] == quality]
    data = [np.load(work / "features" / f"{t['name']}.npz") for t in chosen]
    covers = np.array([d["cover"] for d in data])
    stegos = np.array([d[key] for d in data])
    groups = np.array([t["photo"] for t in chosen])
    photo_ids = np.unique(groups)
    rng = np.random.default_rng(1)
    results = []
    for _ in range(splits):
        train_photos = rng.choice(photo_ids, size=len(photo_ids) // 2, replace=False)
        train = np.isin(groups, train_photos)
        x = np.concatenate([covers[train], stegos[train]])
        y = np.concatenate([np.zeros(train.sum()), np.ones(train.sum())])
        lda = LinearDiscriminantAnalysis(solver="lsqr", shrinkage="auto").fit(x, y)
        results.append(auc(lda.decision_function(covers[~train]), lda.decision_function(stegos[~train])))
    return float(np.mean(results)), float(np.std(results))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--dump", required=True)
    parser.add_argument("--work", default=str(HERE / "work-jpeg"))
    parser.add_argument("--tiles", type=int, default=4)
    parser.add_argument("--workers", type=int, default=2)
    options = parser.parse_args()
    work = Path(options.work)
    (work / "features").mkdir(parents=True, exist_ok=True)
    # Tiles already made for a larger --tiles are reused: the first ones of each photo.
    tiles = [t for t in make_tiles(work, options.tiles) if int(t["name"][5:t["name"].index("q")]) < options.tiles]
    jobs = [(work, t, os.path.abspath(options.cli), os.path.abspath(options.dump), 1000 * i)
            for i, t in enumerate(tiles)]
    with ProcessPoolExecutor(options.workers) as pool:
        for done, _ in enumerate(pool.map(features_of, jobs), 1):
            if done % 20 == 0:
                print(f"{done}/{len(jobs)} tiles", file=sys.stderr, flush=True)
    lines = ["| quality | rate (bpnzAC) | stealth AUC | non-adaptive +-1 AUC |", "|---|---|---|---|"]
    for quality in QUALITIES:
        for rate in RATES:
            s = evaluate(work, tiles, quality, f"stealth{rate}")
            n = evaluate(work, tiles, quality, f"nonadaptive{rate}")
            lines.append(f"| {quality} | {rate} | {s[0]:.3f} ± {s[1]:.3f} | {n[0]:.3f} ± {n[1]:.3f} |")
    photos_used = len({t["photo"] for t in tiles})
    lines.append(f"\n{photos_used} photos, {len(tiles) // len(QUALITIES)} tiles per quality; "
                 "Markov features (648), shrinkage LDA, split by photo, 10 splits.")
    (work / "jpeg_results.md").write_text("\n".join(lines) + "\n")
    print("\n".join(lines))


if __name__ == "__main__":
    main()
