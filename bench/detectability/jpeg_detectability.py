#!/usr/bin/python3
"""JPEG detectability benchmark: how well learned JPEG detectors tell stealth JPEGs from untouched JPEGs.

Covers: the photos of photos.tsv (fetched and shrunk as detectability.py does: a photo whose short side is at least
1024 is area-averaged over 2 x 2 blocks first), cut into 512 x 512 tiles (at most --max-tiles per photo), each tile
compressed as a colour JPEG by libjpeg-turbo (Pillow) at quality 75 and 95, 4:2:0, optimised Huffman tables.

Stego images at 0.05, 0.1 and 0.2 bits per non-zero AC coefficient (nzAC, counted over all components of the cover):
  - stealth:   `lumaquill-cli encode --stealth` of a random file to a .jpg; the file is sized so that the envelope
               the program embeds holds rate x nzAC bits (the salt and length it embeds besides are not counted);
  - pm1-coded: non-adaptive +-1 at the bound of matrix embedding: every non-zero AC coefficient changes by +1 or -1
               (at random) with probability beta, where the ternary entropy H3(beta) = rate (a coder with equal costs
               on the non-zero AC coefficients cannot do with fewer changes);
  - pm1-plain: non-adaptive +-1 without coding (LSB matching): rate x nzAC coefficients chosen among the non-zero AC
               ones, each changed by +1 or -1 with probability 1/2.
The two simulators change only the luminance plane, at the same density as over all components: the detectors
read only the luminance.

Detectors (luminance only; features written here with numpy):
  - DCTR (Holub and Fridrich 2015): the decompressed luminance (not rounded) filtered by the 64 8 x 8 DCT basis
    patterns, |residual| / q quantised to 0..T (T = 4, q = 8 (2 - quality / 50)), histograms per kernel and per
    position against the 8 x 8 grid with mirror positions merged (25 classes): 64 x 25 x 5 = 8000 features;
  - Markov (Shi, Chen and Chen 2006): transition probabilities of the differences of absolute DCT coefficients,
    T = 4, within and between blocks: 648 features.
Classifier: the FLD ensemble of ensemble.py; scores from 5-fold cross-validation grouped by source photo; AUC with a
bootstrap standard error over photos.

Usage:  /usr/bin/python3 bench/detectability/jpeg_detectability.py --cli build/src/cli/lumaquill-cli \
            --dump build/bench/jpeg_coefficients_dump [--max-tiles 2] [--workers 2]
Writes results-jpeg.md and results-jpeg.json beside this script (--out); cache in work-jpeg/ (--work).
"""

import argparse
import json
import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
import detectability  # noqa: E402  (installs the Debian modules it needs when missing)
import ensemble  # noqa: E402

import numpy as np  # noqa: E402
from PIL import Image  # noqa: E402

TILE = 512
QUALITIES = (75, 95)
RATES = (0.05, 0.1, 0.2)
METHODS = ("stealth", "pm1-coded", "pm1-plain")
DETECTORS = ("DCTR", "Markov")
FOLDS = 5
SEED = 20261211
# The envelope's tag and name length (17), the zlib stream's stored-block overhead (11), the stored name "p.bin" (5).
OVERHEAD = 17 + 11 + 5
DCTR_T = 4
MARKOV_T = 4
# Random-subspace dimensions the ensemble chooses among by out-of-bag error, per detector.
SUBSPACES = {"DCTR": (100, 300, 1000), "Markov": (30, 100, 300)}

# Orthonormal 8-point DCT basis: BASIS[m, k] = w_k / 2 cos(pi k (2m + 1) / 16), w_0 = 1 / sqrt 2.
_m, _k = np.meshgrid(np.arange(8), np.arange(8), indexing="ij")
BASIS = np.where(_k == 0, 1 / np.sqrt(2), 1.0) / 2 * np.cos(np.pi * _k * (2 * _m + 1) / 16)
# Positions a and 8 - a against the block grid see mirrored kernels: merged into 5 classes per axis.
FOLD = np.array([0, 1, 2, 3, 4, 3, 2, 1])


# ---------------------------------------------------------------- coefficients and pictures


def read_coefficients(dump, path):
    """The luminance coefficients (block (by, bx) at rows 8 by.., columns 8 bx..) and the nzAC of all components."""
    raw = subprocess.run([dump, str(path)], capture_output=True, check=True).stdout
    bw, bh, nz = np.frombuffer(raw[:12], "<u4")
    blocks = np.frombuffer(raw[12:], "<i2").astype(np.int32).reshape(bh, bw, 8, 8)
    return blocks.transpose(0, 2, 1, 3).reshape(bh * 8, bw * 8), int(nz)


def luma_table(path):
    """The luminance quantisation table in natural order (Pillow 8.3+ gives the file's tables in natural order)."""
    with Image.open(path) as image:
        return np.array(image.quantization[0], dtype=np.float64).reshape(8, 8)


def ac_mask(shape):
    mask = np.ones(shape, dtype=bool)
    mask[::8, ::8] = False
    return mask


def decompress(plane, table):
    """The luminance in pixels, not rounded: inverse DCT of the dequantised coefficients, plus 128."""
    h, w = plane.shape
    blocks = (plane.reshape(h // 8, 8, w // 8, 8) * table[None, :, None, :]).transpose(0, 2, 1, 3)
    pixels = BASIS @ blocks @ BASIS.T
    return pixels.transpose(0, 2, 1, 3).reshape(h, w) + 128.0


# ---------------------------------------------------------------- features


def dctr(pixels, quality):
    """DCTR features (8000): histograms of the quantised undecimated-DCT residuals by kernel and grid position."""
    from numpy.lib.stride_tricks import sliding_window_view

    q = 8.0 * (2.0 - quality / 50.0)
    x = pixels.astype(np.float32)
    basis = BASIS.astype(np.float32)
    rows = sliding_window_view(x, 8, axis=0) @ basis  # (H-7, W, k): vertical frequency k
    h, w = rows.shape[0], rows.shape[1] - 7
    phase = (FOLD[np.arange(h) % 8][:, None] * 5 + FOLD[np.arange(w) % 8][None, :]).astype(np.int32)
    counts = np.bincount(phase.ravel(), minlength=25).astype(np.float64)
    features = np.zeros((8, 8, 25, DCTR_T + 1))
    for k in range(8):
        # (H-7, W-7, l): every 8 x 8 window's DCT coefficient (k, l).
        u = sliding_window_view(rows[:, :, k], 8, axis=1) @ basis
        np.abs(u, out=u)
        u *= 1.0 / q
        np.minimum(u, DCTR_T, out=u)
        r = np.rint(u).astype(np.int32)
        index = (np.arange(8, dtype=np.int32)[None, None, :] * 25 + phase[:, :, None]) * (DCTR_T + 1) + r
        features[k] = np.bincount(index.ravel(), minlength=8 * 25 * (DCTR_T + 1)).reshape(8, 25, DCTR_T + 1)
    return (features / counts[None, None, :, None]).ravel().astype(np.float32)


def _transitions(d, shift):
    """P(next = j | current = i) for the clipped differences d, next taken shift = (dy, dx) away."""
    d = np.clip(d, -MARKOV_T, MARKOV_T) + MARKOV_T
    dy, dx = shift
    a = d[: d.shape[0] - dy, : d.shape[1] - dx]
    b = d[dy:, dx:]
    side = 2 * MARKOV_T + 1
    counts = np.bincount((a * side + b).ravel(), minlength=side * side).reshape(side, side).astype(np.float64)
    return (counts / np.maximum(counts.sum(axis=1, keepdims=True), 1)).ravel()


def markov(plane):
    """Markov features (648): intra-block (neighbouring frequencies) and inter-block (same frequency, next block)."""
    a = np.abs(plane)
    h, w = a.shape
    # The minor diagonal is the main diagonal of the mirrored plane (its width is a whole number of blocks).
    m = a[:, ::-1]
    features = []
    for step in (1, 8):
        for dy, dx in ((0, step), (step, 0), (step, step)):
            features.append(_transitions(a[: h - dy, : w - dx] - a[dy:, dx:], (dy, dx)))
        features.append(_transitions(m[: h - step, : w - step] - m[step:, step:], (step, step)))
    return np.concatenate(features).astype(np.float32)


# ---------------------------------------------------------------- embedding


def ternary_change_rate(rate):
    """beta with H3(beta) = -beta log2(beta / 2) - (1 - beta) log2(1 - beta) = rate (bisection; H3 rises to 2/3)."""
    lo, hi = 1e-9, 2 / 3
    for _ in range(100):
        mid = (lo + hi) / 2
        h3 = -mid * np.log2(mid / 2) - (1 - mid) * np.log2(1 - mid)
        lo, hi = (mid, hi) if h3 < rate else (lo, mid)
    return (lo + hi) / 2


def pm1(plane, changes, rng):
    """+-1 (random sign) on `changes` distinct non-zero AC coefficients chosen at random."""
    candidates = np.flatnonzero((plane != 0) & ac_mask(plane.shape))
    chosen = rng.choice(candidates, size=min(changes, len(candidates)), replace=False)
    stego = plane.copy().ravel()
    stego[chosen] += rng.choice(np.array([-1, 1]), size=len(chosen))
    return stego.reshape(plane.shape)


def pm1_coded(plane, rate, rng):
    nz_luma = np.count_nonzero((plane != 0) & ac_mask(plane.shape))
    return pm1(plane, rng.binomial(nz_luma, ternary_change_rate(rate)), rng)


def pm1_plain(plane, rate, rng):
    nz_luma = np.count_nonzero((plane != 0) & ac_mask(plane.shape))
    # rate x nzAC message bits in as many coefficients; half of them already have the wanted parity.
    return pm1(plane, rng.binomial(int(round(rate * nz_luma)), 0.5), rng)


def stealth(cover, cli, dump, rate, nz, scratch, rng):
    """The luminance plane of `encode --stealth` at rate bits per nzAC; None (and the message) when it fails."""
    payload = scratch / "p.bin"
    payload.write_bytes(rng.bytes(max(int(rate * nz / 8) - OVERHEAD, 1)))
    out = scratch / "s.jpg"
    run = subprocess.run([cli, "encode", "--container", str(cover), "--file", str(payload), "--out", str(out),
                          "--stealth", "--password", rng.bytes(12).hex(), "--force"], capture_output=True, text=True)
    if run.returncode != 0:
        return None, (run.stderr or run.stdout).strip()[:300]
    if not np.array_equal(luma_table(out), luma_table(cover)):
        return None, "the stealth JPEG's quantisation table differs from the cover's"
    return read_coefficients(dump, out)[0], ""


# ---------------------------------------------------------------- tiles and jobs


def make_tiles(photos, work, packages, limit):
    """Cover JPEGs of every photo; photos already cut in an earlier run keep their tiles (and their limit)."""
    folder = work / "covers"
    folder.mkdir(parents=True, exist_ok=True)
    index_file = work / "tiles.json"
    tiles = json.loads(index_file.read_text()) if index_file.exists() else []
    done = {t["photo"] for t in tiles}
    for number, photo in enumerate(photos):
        if number in done:
            continue
        rgb = np.asarray(Image.open(detectability.unpacked_path(photo, packages)).convert("RGB"))
        factor = detectability.shrink_factor(rgb)
        rgb = detectability.shrink(rgb)
        for k, (y, x) in enumerate(detectability.tile_origins(*rgb.shape[:2], limit)):
            tile = Image.fromarray(rgb[y : y + TILE, x : x + TILE])
            for quality in QUALITIES:
                name = f"p{number:03d}t{k}q{quality}"
                tile.save(folder / f"{name}.jpg", "JPEG", quality=quality, optimize=True, subsampling=2)
                tiles.append({"name": name, "photo": number, "quality": quality, "shrink": factor})
        index_file.write_text(json.dumps(tiles))
    return [t for t in tiles if t["photo"] < len(photos)]


def feature_file(work, name):
    return work / "features" / f"{name}.npz"


def process(job):
    """Features of one cover JPEG and of its stego images at every rate; cached on disk."""
    work, tile, cli, dump, deadline = job
    if time.time() > deadline:
        return None
    cover = work / "covers" / f"{tile['name']}.jpg"
    quality = tile["quality"]
    table = luma_table(cover)
    plane, nz = read_coefficients(dump, cover)
    nz_luma = np.count_nonzero((plane != 0) & ac_mask(plane.shape))
    rng = np.random.default_rng([SEED, tile["photo"], sum(tile["name"].encode())])
    arrays = {"nz": np.array(nz), "nz_luma": np.array(nz_luma)}
    errors = []

    def add(key, stego):
        arrays[f"{key}_DCTR"] = dctr(decompress(stego, table), quality)
        arrays[f"{key}_Markov"] = markov(stego)
        arrays[f"{key}_changed"] = np.array(np.count_nonzero(stego != plane) / max(nz_luma, 1))

    add("cover", plane)
    with tempfile.TemporaryDirectory(dir=work) as scratch:
        for rate in RATES:
            stego, error = stealth(cover, cli, dump, rate, nz, Path(scratch), rng)
            if stego is None:
                errors.append(f"{tile['name']} stealth {rate}: {error}")
            else:
                add(f"stealth{rate}", stego)
            add(f"pm1-coded{rate}", pm1_coded(plane, rate, rng))
            add(f"pm1-plain{rate}", pm1_plain(plane, rate, rng))
    target = feature_file(work, tile["name"])
    partial = target.with_name(target.stem + ".partial.npz")
    np.savez(partial, **arrays)
    os.replace(partial, target)
    return errors


def compute(tiles, work, cli, dump, workers, budget):
    # Every photo's first tile before any second one: a run cut short still covers every photo.
    ordered = sorted(tiles, key=lambda t: (int(t["name"][5 : t["name"].index("q")]), t["photo"], t["quality"]))
    deadline = time.time() + budget * 60 if budget else float("inf")
    jobs = [(work, t, cli, dump, deadline) for t in ordered if not feature_file(work, t["name"]).exists()]
    print(f"{len(jobs)} cover JPEGs to process ({workers} workers)", flush=True)
    errors, skipped = [], 0
    started = time.time()
    import multiprocessing

    with multiprocessing.Pool(workers) as pool:
        for done, errs in enumerate(pool.imap_unordered(process, jobs), 1):
            if errs is None:
                skipped += 1
                continue
            errors += errs
            if done % 20 == 0 or done == len(jobs):
                print(f"  {done}/{len(jobs)}, {time.time() - started:.0f} s", flush=True)
    if skipped:
        print(f"  {skipped} left for a later run: --budget of {budget} minutes spent", flush=True)
    for error in errors[:10]:
        print("  failed:", error, flush=True)
    return errors


# ---------------------------------------------------------------- evaluation


def evaluate(work, tiles, workers):
    """One process per quality (at most workers at once); rows in table order."""
    import multiprocessing

    with multiprocessing.Pool(min(workers, len(QUALITIES))) as pool:
        parts = pool.starmap(evaluate_quality, [(work, tiles, quality) for quality in QUALITIES])
    return [entry for part in parts for entry in part]


def evaluate_quality(work, tiles, quality):
    results = []
    chosen = [t for t in tiles if t["quality"] == quality and feature_file(work, t["name"]).exists()]
    data = {t["name"]: np.load(feature_file(work, t["name"])) for t in chosen}
    # Every row of a quality on the same tiles: those with a stealth image at every rate.
    names = [t["name"] for t in chosen if all(f"stealth{r}_DCTR" in data[t["name"]] for r in RATES)]
    photo = {t["name"]: t["photo"] for t in chosen}
    shrunk = sum(t["shrink"] != 1 for t in chosen if t["name"] in set(names))
    groups = np.array([photo[n] for n in names])
    nz = np.array([int(data[n]["nz"]) for n in names])
    for rate in RATES:
        for method in METHODS:
            key = f"{method}{rate}"
            entry = {"quality": quality, "rate": rate, "method": method, "tiles": len(names),
                     "photos": len(set(groups.tolist())), "shrunk_tiles": shrunk, "mean_nzAC": float(nz.mean()),
                     "luma_changes_per_nzAC": float(np.mean([data[n][f"{key}_changed"] for n in names]))}
            for detector in DETECTORS:
                xc = np.array([data[n][f"cover_{detector}"] for n in names], dtype=np.float64)
                xs = np.array([data[n][f"{key}_{detector}"] for n in names], dtype=np.float64)
                sc, ss = ensemble.out_of_fold_scores(xc, xs, groups, FOLDS, SEED, SUBSPACES[detector])
                entry[detector], entry[detector + "_se"] = detectability.auc_with_error(sc, ss, groups)
            results.append(entry)
            print(f"  Q{quality} {rate} {method}: " + ", ".join(f"{d} {entry[d]:.3f}" for d in DETECTORS),
                  flush=True)
    return results


def table(results):
    lines = ["| quality | rate (bpnzAC) | method | tiles (photos) | luma changes / nzAC | DCTR AUC | Markov AUC |",
             "|---|---|---|---|---|---|---|"]
    for e in results:
        lines.append(f"| {e['quality']} | {e['rate']} | {e['method']} | {e['tiles']} ({e['photos']}) | "
                     f"{100 * e['luma_changes_per_nzAC']:.2f} % | "
                     + " | ".join(f"{e[d]:.3f} ± {e[d + '_se']:.3f}" for d in DETECTORS) + " |")
    lines.append("")
    for quality in QUALITIES:
        e = next((e for e in results if e["quality"] == quality), None)
        if e:
            lines.append(f"Quality {quality}: {e['tiles']} tiles of {e['photos']} photos ({e['shrunk_tiles']} tiles"
                         f" from photos area-averaged 2 x 2 first), mean {e['mean_nzAC']:.0f} nzAC per tile.")
    lines.append(f"FLD ensemble, {FOLDS}-fold cross-validation grouped by source photo; AUC ± bootstrap standard error"
                 " over photos. Luminance only.")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--cli", default=str(detectability.REPO / "build" / "src" / "cli" / "lumaquill-cli"))
    parser.add_argument("--dump", default=str(detectability.REPO / "build" / "bench" / "jpeg_coefficients_dump"))
    parser.add_argument("--work", default=str(HERE / "work-jpeg"), help="cache folder (default: work-jpeg/ here)")
    parser.add_argument("--packages", default=str(HERE / "work"),
                        help="folder whose packages/ holds the unpacked photo packages (shared with detectability.py)")
    parser.add_argument("--max-tiles", type=int, default=2, help="at most this many tiles of each photo not yet cut")
    parser.add_argument("--photos", type=int, default=0, help="use only the first N photos (quick trials)")
    parser.add_argument("--tiles", choices=("all", "shrunk", "full-size"), default="all")
    parser.add_argument("--workers", type=int, default=2)
    parser.add_argument("--budget", type=float, default=0,
                        help="minutes after which no new cover is started (0: no limit); first tiles go first")
    parser.add_argument("--evaluate-only", action="store_true",
                        help="measure on the tiles whose features are cached; encode nothing new")
    parser.add_argument("--out", default=str(HERE / "results-jpeg.md"))
    args = parser.parse_args()

    started = time.time()
    photos = detectability.read_manifest()
    if args.photos:
        photos = photos[: args.photos]
    work = Path(args.work)
    (work / "features").mkdir(parents=True, exist_ok=True)
    tiles = make_tiles(photos, work, Path(args.packages), args.max_tiles)
    errors = [] if args.evaluate_only else compute(tiles, work, os.path.abspath(args.cli),
                                                     os.path.abspath(args.dump), args.workers, args.budget)
    print(f"features done, {time.time() - started:.0f} s", flush=True)
    if args.tiles != "all":
        tiles = [t for t in tiles if (t["shrink"] == 1) == (args.tiles == "full-size")]
    results = evaluate(work, tiles, args.workers)
    text = table(results) + f"\nRun time {time.time() - started:.0f} s; {len(errors)} stealth encodes failed.\n"
    Path(args.out).write_text(text)
    Path(args.out).with_suffix(".json").write_text(json.dumps(results, indent=1))
    print(text)


if __name__ == "__main__":
    main()
