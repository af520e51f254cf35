#!/usr/bin/python3
"""Detectability benchmark: how well standard detectors tell Lumaquill's images from untouched photos.

Covers are 512 x 512 tiles of natural photos from Debian packages (photos.tsv), each photo first shrunk by
an area average over 2 x 2 blocks so that the JPEG grid of the wallpaper files is gone. Every tile is
encoded by the real command-line program (classic images and, when the build knows it, --stealth images)
and by reference simulators, at 0.05, 0.1 and 0.2 bits per pixel. Detectors: weighted stego, sample
pairs, RS analysis (mean estimate over R, G, B) and a Fisher-linear-discriminant ensemble on SPAM features
(with and without colour co-occurrences), trained and tested on photo-disjoint folds.

Run with Debian's /usr/bin/python3; see README.md.
"""

import argparse
import csv
import importlib
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
REPO = HERE.parent.parent
DEBIAN_MODULES = {"numpy": "python3-numpy", "scipy": "python3-scipy", "sklearn": "python3-sklearn", "PIL": "python3-pil"}


def ensure_debian_packages(packages):
    missing = []
    for package in sorted(set(packages)):
        status = subprocess.run(["dpkg-query", "-W", "-f=${Status}", package], capture_output=True, text=True)
        if "install ok installed" not in status.stdout:
            missing.append(package)
    if not missing:
        return
    if os.geteuid() != 0:
        sys.exit("missing Debian packages: " + " ".join(missing) + " (install them with apt-get as root)")
    print("installing", " ".join(missing), flush=True)
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.run(["apt-get", "install", "-y", "--no-install-recommends", *missing], check=True, env=env)


def unpacked_path(photo, work):
    """The photo's file: where its package installed it or, failing that, in the package unpacked under work/
    (apt-get download and dpkg-deb -x: nothing is installed, no root needed)."""
    if Path(photo["path"]).is_file():
        return Path(photo["path"])
    root = work / "packages" / photo["package"]
    if not root.is_dir():
        download = work / "packages" / "download"
        download.mkdir(parents=True, exist_ok=True)
        subprocess.run(["apt-get", "download", photo["package"]], cwd=download, check=True, capture_output=True)
        deb = sorted(download.glob(photo["package"] + "_*.deb"))[-1]
        partial = root.with_name(root.name + ".partial")
        shutil.rmtree(partial, ignore_errors=True)
        subprocess.run(["dpkg-deb", "-x", str(deb), str(partial)], check=True)
        os.replace(partial, root)
    return root / photo["path"].lstrip("/")


def ensure_modules():
    needed = []
    for module, package in DEBIAN_MODULES.items():
        try:
            importlib.import_module(module)
        except ImportError:
            needed.append(package)
    if needed:
        ensure_debian_packages(needed)


ensure_modules()

import numpy as np  # noqa: E402
from PIL import Image  # noqa: E402
from sklearn.metrics import roc_auc_score  # noqa: E402

sys.path.insert(0, str(HERE))
import ensemble  # noqa: E402
import simulators  # noqa: E402
import steganalysis  # noqa: E402

RATES = (0.05, 0.1, 0.2)
TILE = 512
# Area-average factor: each output pixel is the mean of a DOWNSAMPLE x DOWNSAMPLE block, rounded. Photos
# whose short side is below DOWNSAMPLE * TILE are used at full size (no tile would fit after shrinking).
DOWNSAMPLE = 2
MAX_TILES_PER_PHOTO = 8
FOLDS = 5
BOOTSTRAP = 200
SEED = 20261210
# zlib header (2) + one stored block header (5) + Adler-32 (4): a random file grows by this much.
ZLIB_OVERHEAD = 11
CLI_METHODS = ("classic", "stealth")
SIM_METHODS = ("hill-sim", "lsb-sim")
DETECTORS = ("WS", "SPA", "RS", "SPAM", "SPAM+colour")


def read_manifest():
    photos = []
    with open(HERE / "photos.tsv", newline="") as f:
        for row in csv.reader(f, delimiter="\t"):
            if row and not row[0].startswith("#"):
                photos.append({"package": row[0], "path": row[1]})
    return photos


def shrink_factor(rgb):
    return DOWNSAMPLE if min(rgb.shape[:2]) >= DOWNSAMPLE * TILE else 1


def shrink(rgb):
    factor = shrink_factor(rgb)
    if factor == 1:
        return rgb
    h = rgb.shape[0] // factor * factor
    w = rgb.shape[1] // factor * factor
    blocks = rgb[:h, :w].astype(np.float64).reshape(h // factor, factor, w // factor, factor, 3)
    return np.clip(np.rint(blocks.mean(axis=(1, 3))), 0, 255).astype(np.uint8)


def tile_origins(height, width, limit):
    """Top-left corners of the non-overlapping grid, centred; at most limit spread evenly."""
    rows, cols = height // TILE, width // TILE
    y0, x0 = (height - rows * TILE) // 2, (width - cols * TILE) // 2
    grid = [(y0 + r * TILE, x0 + c * TILE) for r in range(rows) for c in range(cols)]
    if len(grid) > limit:
        keep = np.linspace(0, len(grid) - 1, limit).round().astype(int)
        grid = [grid[i] for i in keep]
    return grid


def make_tiles(photos, work, limit):
    """Tiles of every photo; photos already cut in an earlier run keep their tiles (and their limit)."""
    folder = work / "tiles"
    folder.mkdir(parents=True, exist_ok=True)
    index_file = folder / "index.json"
    tiles = json.loads(index_file.read_text()) if index_file.exists() else []
    done = {t["photo"] for t in tiles}
    for number, photo in enumerate(photos):
        if number in done:
            continue
        rgb = np.asarray(Image.open(unpacked_path(photo, work)).convert("RGB"))
        factor = shrink_factor(rgb)
        rgb = shrink(rgb)
        for k, (y, x) in enumerate(tile_origins(*rgb.shape[:2], limit)):
            name = f"p{number:03d}t{k}"
            Image.fromarray(rgb[y : y + TILE, x : x + TILE]).save(folder / f"{name}.png")
            tiles.append({"name": name, "photo": number, "shrink": factor})
        index_file.write_text(json.dumps(tiles))
    return [t for t in tiles if t["photo"] < len(photos)]


def payload_bytes(rate):
    return int(round(rate * TILE * TILE / 8)) - ZLIB_OVERHEAD


def run_cli(cli, cover, rate, rng, scratch, stealth):
    payload = scratch / "payload.bin"
    payload.write_bytes(rng.bytes(payload_bytes(rate)))
    out = scratch / "out.png"
    password = rng.bytes(12).hex()
    command = [cli, "encode", "--container", str(cover), "--file", str(payload), "--password", password,
               "--out", str(out), "--force"]
    # Stealth images always strengthen the password with Argon2id; --speed is refused with --stealth.
    command += ["--stealth"] if stealth else ["--speed", "0"]
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        return None, (result.stderr or result.stdout).strip()[:300]
    return np.asarray(Image.open(out).convert("RGB")), ""


def stego_images(method, cover_path, cover, rng, cli, scratch):
    for rate in RATES:
        if method == "classic":
            yield rate, *run_cli(cli, cover_path, rate, rng, scratch, False)
        elif method == "stealth":
            yield rate, *run_cli(cli, cover_path, rate, rng, scratch, True)
        elif method == "hill-sim":
            yield rate, simulators.optimal_pm1(cover, rate, rng), ""
        elif method == "lsb-sim":
            yield rate, simulators.lsb_replacement(cover, rate, rng), ""


def feature_file(work, method, tile):
    return work / "features" / method / f"{tile}.npz"


def process(job):
    """Features of one tile's cover or of its stego images for one method; cached on disk."""
    work, tile, method, cli = job
    target = feature_file(work, method, tile)
    cover_path = work / "tiles" / f"{tile}.png"
    cover = np.asarray(Image.open(cover_path).convert("RGB"))
    seed = [SEED, int(tile[1:4]), int(tile[5:]), sum(method.encode())]
    rng = np.random.default_rng(seed)
    arrays, errors = {}, []
    with tempfile.TemporaryDirectory(dir=work) as scratch:
        if method == "cover":
            items = [(0.0, cover, "")]
        else:
            items = stego_images(method, cover_path, cover, rng, cli, Path(scratch))
        for rate, image, error in items:
            if image is None:
                errors.append(f"{tile} {method} {rate}: {error}")
                continue
            key = f"r{rate}"
            arrays[key + "_changed"] = np.array(np.count_nonzero(image != cover) / cover.size)
            for name, value in steganalysis.all_features(image).items():
                arrays[f"{key}_{name}"] = value
    target.parent.mkdir(parents=True, exist_ok=True)
    # Written under another name and renamed, so an interrupted run leaves no half-written cache file.
    partial = target.with_name(target.stem + ".partial.npz")
    np.savez(partial, **arrays)
    os.replace(partial, target)
    return tile, method, errors


def stealth_supported(cli):
    result = subprocess.run([cli, "encode", "--help"], capture_output=True, text=True)
    return "--stealth" in result.stdout + result.stderr


def compute(tiles, methods, work, cli, workers):
    jobs = [(work, t["name"], m, cli) for m in ("cover", *methods) for t in tiles
            if not feature_file(work, m, t["name"]).exists()]
    print(f"{len(jobs)} feature jobs to run ({workers} workers)", flush=True)
    errors = []
    started = time.time()
    if workers > 1:
        import multiprocessing

        with multiprocessing.Pool(workers) as pool:
            for done, (tile, method, errs) in enumerate(pool.imap_unordered(process, jobs), 1):
                errors += errs
                if done % 25 == 0 or done == len(jobs):
                    print(f"  {done}/{len(jobs)} jobs, {time.time() - started:.0f} s", flush=True)
    else:
        for job in jobs:
            errors += process(job)[2]
    for error in errors[:10]:
        print("  encode failed:", error, flush=True)
    return errors


def load(work, method, tiles, rate):
    """Rows of one method/rate for every tile that has them, keyed by tile name."""
    rows = {}
    for t in tiles:
        f = feature_file(work, method, t["name"])
        if not f.exists():
            continue
        data = np.load(f)
        key = f"r{rate}"
        if f"{key}_structural" in data:
            rows[t["name"]] = {name: data[f"{key}_{name}"] for name in ("structural", "spam", "colour", "changed")}
    return rows


def learned_vectors(row, with_colour):
    spam = row["spam"].mean(axis=0)
    return np.concatenate([spam, row["colour"]]) if with_colour else spam


def auc_with_error(cover_scores, stego_scores, groups):
    """AUC and its standard error by a bootstrap over source photos (tiles of one photo are not independent)."""
    labels = np.r_[np.zeros(len(cover_scores)), np.ones(len(stego_scores))]
    auc = float(roc_auc_score(labels, np.r_[cover_scores, stego_scores]))
    rng = np.random.default_rng(SEED)
    photos = np.unique(groups)
    members = [np.flatnonzero(groups == p) for p in photos]
    draws = []
    for _ in range(BOOTSTRAP):
        rows = np.concatenate([members[i] for i in rng.integers(0, len(photos), len(photos))])
        draws.append(roc_auc_score(np.r_[np.zeros(len(rows)), np.ones(len(rows))],
                                   np.r_[cover_scores[rows], stego_scores[rows]]))
    return auc, float(np.std(draws))


def evaluate(work, tiles, methods):
    photo_of = {t["name"]: t["photo"] for t in tiles}
    covers = load(work, "cover", tiles, 0.0)
    stego_sets = {(m, r): load(work, m, tiles, r) for m in methods for r in RATES}
    # Every row is measured on the same tiles: those every method encoded at every rate (stealth refuses
    # grey pictures, for instance).
    common = set(covers)
    for rows in stego_sets.values():
        common &= set(rows)
    results = []
    for method in methods:
        for rate in RATES:
            stegos = stego_sets[(method, rate)]
            names = sorted(common)
            if len(names) < 10:
                continue
            labels = np.r_[np.zeros(len(names)), np.ones(len(names))]
            entry = {"method": method, "rate": rate, "tiles": len(names),
                     "photos": len({photo_of[n] for n in names}),
                     "change_rate": float(np.mean([stegos[n]["changed"] for n in names]))}
            groups = np.array([photo_of[n] for n in names])
            for k, detector in enumerate(("WS", "SPA", "RS")):
                sc = np.array([covers[n]["structural"][k] for n in names])
                ss = np.array([stegos[n]["structural"][k] for n in names])
                entry[detector], entry[detector + "_se"] = auc_with_error(sc, ss, groups)
            for detector, with_colour in (("SPAM", False), ("SPAM+colour", True)):
                xc = np.array([learned_vectors(covers[n], with_colour) for n in names])
                xs = np.array([learned_vectors(stegos[n], with_colour) for n in names])
                sc, ss = ensemble.out_of_fold_scores(xc, xs, groups, FOLDS, SEED)
                entry[detector], entry[detector + "_se"] = auc_with_error(sc, ss, groups)
            results.append(entry)
            print(f"  {method} {rate}: " + ", ".join(f"{d} {entry[d]:.3f}" for d in DETECTORS), flush=True)
    return results


def table(results, photo_count, tiles):
    shrunk = sum(t["shrink"] != 1 for t in tiles)
    lines = [f"Photos: {photo_count}; tiles: {len(tiles)} ({TILE} x {TILE}; {shrunk} of them from photos area-averaged"
             f" {DOWNSAMPLE} x {DOWNSAMPLE} first, {len(tiles) - shrunk} from photos used at full size); learned"
             f" detectors: {FOLDS}-fold cross-validation grouped by source photo.",
             "AUC ± standard error from a bootstrap over source photos.", ""]
    if results:
        lines[-1:-1] = [f"Every row uses the same {results[0]['tiles']} tiles of {results[0]['photos']} photos: those"
                        " that every method encoded at every rate."]
    lines += ["| method | rate (bpp) | tiles | changed samples | WS | SPA | RS | SPAM | SPAM+colour |",
              "|---|---|---|---|---|---|---|---|---|"]
    for e in results:
        lines.append(f"| {e['method']} | {e['rate']} | {e['tiles']} | {100 * e['change_rate']:.2f} % | "
                     + " | ".join(f"{e[d]:.3f} ± {e[d + '_se']:.3f}" for d in DETECTORS) + " |")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--cli", default=str(REPO / "build" / "src" / "cli" / "lumaquill-cli"),
                        help="lumaquill-cli for the classic images (default: this tree's build folder)")
    parser.add_argument("--stealth-cli", help="lumaquill-cli that knows --stealth (default: --cli)")
    parser.add_argument("--work", default=str(HERE / "work"), help="cache folder (default: work/ here)")
    parser.add_argument("--methods", default="classic,stealth,hill-sim",
                        help="comma-separated among classic, stealth, hill-sim, lsb-sim")
    parser.add_argument("--workers", type=int, default=2)
    parser.add_argument("--photos", type=int, default=0, help="use only the first N photos (quick trials)")
    parser.add_argument("--max-tiles", type=int, default=MAX_TILES_PER_PHOTO,
                        help="at most this many tiles of each photo not yet cut in work/ (default %(default)s)")
    parser.add_argument("--tiles", choices=("all", "shrunk", "full-size"), default="all",
                        help="measure on the tiles of every photo, of the shrunk ones or of those used at full size")
    parser.add_argument("--out", default=str(HERE / "results.md"), help="where the table is written")
    args = parser.parse_args()

    started = time.time()
    photos = read_manifest()
    if args.photos:
        photos = photos[: args.photos]
    work = Path(args.work)
    work.mkdir(parents=True, exist_ok=True)
    tiles = make_tiles(photos, work, args.max_tiles)
    if args.tiles != "all":
        tiles = [t for t in tiles if (t["shrink"] == 1) == (args.tiles == "full-size")]
        photos = [p for n, p in enumerate(photos) if n in {t["photo"] for t in tiles}]
    print(f"{len(photos)} photos, {len(tiles)} tiles", flush=True)

    methods = [m for m in args.methods.split(",") if m]
    stealth_cli = args.stealth_cli or args.cli
    runnable = []
    for method in methods:
        cli = stealth_cli if method == "stealth" else args.cli
        if method in CLI_METHODS and not (shutil.which(cli) or Path(cli).is_file()):
            print(f"skipping {method}: no program at {cli}", flush=True)
        elif method == "stealth" and not stealth_supported(cli):
            print(f"skipping stealth: {cli} does not know --stealth", flush=True)
        else:
            runnable.append((method, cli))
    errors = []
    for method, cli in runnable:
        errors += compute(tiles, [method], work, cli, args.workers)
    results = evaluate(work, tiles, [m for m, _ in runnable])
    text = table(results, len(photos), tiles)
    text += f"\nRun time {time.time() - started:.0f} s; {len(errors)} encodes failed.\n"
    Path(args.out).write_text(text)
    (Path(args.out).with_suffix(".json")).write_text(json.dumps(results, indent=1))
    print(text)


if __name__ == "__main__":
    main()
