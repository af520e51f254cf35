#!/usr/bin/env python3
"""Opens lumaquill-cli's stealth JPEGs with the reference reader.

Covers are made with Pillow (libjpeg): qualities 50 to 95, baseline and
progressive, 4:4:4, 4:2:2, 4:2:0 and greyscale, one with an EXIF
orientation.  For each, `lumaquill-cli encode --stealth` writes a .jpg and
stealth_jpeg_ref must give back the text or the file and its stored name.
Needs PyNaCl (python3-nacl) and Pillow; skipped, with a note, without them.

Usage:  compare_stealth_jpeg.py --cli PATH
Exit status 0 when every case agrees; prints "N passed, N failed" last.
"""

import argparse
import os
import random
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import stealth_jpeg_ref as ref  # noqa: E402

PASSWORD = 'correct horse'

# name, width, height, quality, subsampling (Pillow: 0 4:4:4, 1 4:2:2, 2 4:2:0; None greyscale), progressive, orientation
CASES = [
    ('q50_420', 192, 128, 50, 2, False, 1),
    ('q75_422_progressive', 203, 151, 75, 1, True, 1),
    ('q90_444', 160, 120, 90, 0, False, 1),
    ('q95_grey_progressive', 200, 136, 95, None, True, 1),
    ('q75_420_rotated', 240, 160, 75, 2, False, 6),
]


def photo(image_module, width, height, grey, seed):
    rng = random.Random(seed)
    channels = 1 if grey else 3
    data = bytearray()
    for y in range(height):
        for x in range(width):
            textured = (y * 3 // height) == 1
            for c in range(channels):
                smooth = (x * 200 // width + y * 50 // height + c * 30) % 256
                noise = rng.randint(-40, 40) if textured else rng.randint(-3, 3)
                data.append(max(0, min(255, smooth + noise)))
    return image_module.frombytes('L' if grey else 'RGB', (width, height), bytes(data))


def make_cover(path, case):
    from PIL import Image
    name, width, height, quality, subsampling, progressive, orientation = case
    picture = photo(Image, width, height, subsampling is None, hash(name) & 0xFFFF)
    options = {'quality': quality, 'optimize': True, 'progressive': progressive}
    if subsampling is not None:
        options['subsampling'] = subsampling
    if orientation != 1:
        exif = Image.Exif()
        exif[0x0112] = orientation
        options['exif'] = exif.tobytes()
    picture.save(path, 'JPEG', **options)


def run_case(cli, folder, case, as_file):
    cover = os.path.join(folder, case[0] + '.jpg')
    out = os.path.join(folder, case[0] + ('_file' if as_file else '') + '_s.jpg')
    make_cover(cover, case)
    content = os.urandom(40) if as_file else b'Meet at noon by the old mill.'
    args = [cli, 'encode', '--container', cover, '--out', out, '--stealth', '--password', PASSWORD]
    if as_file:
        payload = os.path.join(folder, 'memo.bin')
        with open(payload, 'wb') as f:
            f.write(content)
        args += ['--file', payload]
    else:
        args += ['--text', content.decode()]
    run = subprocess.run(args, capture_output=True)
    if run.returncode != 0:
        return 'encode failed: ' + run.stderr.decode(errors='replace')
    with open(out, 'rb') as f:
        opened = ref.open_stealth_jpeg(f.read(), PASSWORD.encode())
    if opened is None:
        return 'the reference opened nothing'
    name, got = opened
    if got != content or name != ('memo.bin' if as_file else ''):
        return 'the reference read %r / %r' % (name, got[:40])
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--cli', required=True)
    options = parser.parse_args()
    try:
        import nacl.pwhash  # noqa: F401
        import PIL  # noqa: F401
    except ImportError as missing:
        print('skipped: %s (install python3-nacl and python3-pil)' % missing)
        return 0
    passed = failed = 0
    with tempfile.TemporaryDirectory() as folder:
        for case in CASES:
            for as_file in (False, True):
                problem = run_case(options.cli, folder, case, as_file)
                label = case[0] + (' file' if as_file else ' text')
                if problem:
                    failed += 1
                    print('FAIL %s: %s' % (label, problem))
                else:
                    passed += 1
                    print('ok   %s' % label)
    print('%d passed, %d failed' % (passed, failed))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
