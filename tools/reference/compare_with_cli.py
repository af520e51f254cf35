#!/usr/bin/env python3
"""Compares lumaquill-cli with the independent reference model.

For every case the same container, payload and key go through
`lumaquill-cli encode` and through lumaquill_ref.encode; the two images must
be equal byte for byte.  Then the reference decodes the CLI's image and the
CLI decodes the reference's image, and both must give back the payload (and,
for files, the stored name).  Sealed cases carry a random salt and nonce, so
their images differ by design: the reference opens the CLI's sealed image and
the CLI opens the reference's.  They need PyNaCl (python3-nacl) and are
skipped, with a note, without it.  Stealth cases (PyNaCl too): the CLI
encodes with --stealth, and stealth_extract, written from the format document
alone, must give back the content and the stored name; a wrong password and
the untouched cover open nothing, and sizes beyond the picture are refused.

Usage:  compare_with_cli.py [--cli PATH] [--only NAME[,NAME...]] [--keep] [--fast | --all]
        --fast leaves out the case with speed 1 (100000 strengthening passes,
        10 to 20 s in Python); --all adds speeds 2, 3 and 4 (about 35 minutes).
Exit status 0 when every case agrees; prints "N passed, N failed" last.
"""

import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zlib

sys.dont_write_bytecode = True  # leave no cache folder in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import lumaquill_ref as ref  # noqa: E402
import png_model  # noqa: E402
import stealth_embed  # noqa: E402
import stealth_extract  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_CLIS = [os.path.join(HERE, '..', '..', d, 'src', 'cli', 'lumaquill-cli')
                for d in ('build', 'build-ref', 'build-cli')]

# A file name longer than 50 bytes whose 50-byte cut falls inside a
# two-byte character, so the stored name must drop the partial sequence.
LONG_NAME = 'Prüfbericht_über_Straßenbäume_Größe_2024_x_Überblick_final.bin'
assert len(LONG_NAME.encode()) > 50
assert (LONG_NAME.encode()[50] & 0xC0) == 0x80


# ---------------------------------------------------------------------------
# Deterministic inputs
# ---------------------------------------------------------------------------

def lcg_bytes(seed, n):
    """Incompressible but reproducible bytes."""
    s = seed & 0xFFFFFFFF
    out = bytearray(n)
    for i in range(n):
        s = (s * 1103515245 + 12345) & 0xFFFFFFFF
        out[i] = (s >> 16) & 0xFF
    return bytes(out)


def container(width, height, bits, seed, extra=b'', xres=0, yres=0, **fields):
    """Textured picture with grey patches (averages near every level, so end
    pixel avoidance is exercised) and, for 32 bits, a varying fourth byte."""
    noise = lcg_bytes(seed, width * height * 4)

    def px(x, y):
        i = ((y - 1) * width + x) * 4
        if (x // 7 + y // 5) % 4 == 0:
            g = (x * 3 + y * 5 + seed) % 256
            return (g, g, g, noise[i + 3])
        return (noise[i], (noise[i + 1] + x) % 256, (noise[i + 2] + y) % 256, noise[i + 3])

    return ref.make_bmp(width, height, bits, px, extra=extra, xres=xres, yres=yres, **fields)


class Case:
    def __init__(self, name, container=None, text=None, file_name=None, file_size=0,
                 password=None, quiz=None, answers=None, speed=0, mode=None,
                 shrink=False, short_dir=False, slow=0, expect='ok', seed=None,
                 wrong_key=False, cli_decode=True, seal=False, zeros=False, png=False):
        self.name = name
        self.container = container        # (w, h, bits, seed[, extra, xres, yres]) or None for noise
        self.text = text
        self.file_name = file_name
        self.file_size = file_size
        self.password = password
        self.quiz = quiz
        self.answers = answers
        self.speed = speed
        self.mode = mode                  # expected EmbedMode
        self.shrink = shrink
        self.short_dir = short_dir
        self.slow = slow
        # 'ok': both encode and must agree; 'fail': both must refuse with the
        # same message.
        self.expect = expect
        self.seed = len(name) if seed is None else seed
        self.wrong_key = wrong_key        # a wrong key must fail on both sides
        self.cli_decode = cli_decode
        self.seal = seal                  # a sealed image: cross decode only
        self.zeros = zeros                # a file of zero bytes: tiny stream, large original
        # The cover is given to lumaquill-cli as a PNG of the same picture,
        # and the CLI writes a PNG.
        self.png = png


QUIZ = [('Erste Frage?', 'Hinweis eins', 'Antwort Eins'),
        ('', 'unused hint', 'unused answer'),
        ('Third question — ünïcödé', '', 'three')]
QUIZ_ANSWERS = ['Antwort Eins', 'three']

# 201 x 181, 24 bits: capacities 459, 8051, 14124, 32345.
BIG24 = (201, 181, 24, 11)
# 100 x 100, 24 bits: capacities -2846, -763, 904, 5904 (negative capacities never fit).
MID24 = (100, 100, 24, 12)
# 101 x 99, 32 bits: capacities -2847, -763, 903, 5903.
MID32 = (101, 99, 32, 13)
# 41 x 37, 24 bits: Capacity(3) < 0, so every size gets EmbedMode 0.
TINY24 = (41, 37, 24, 14)
# Pictures whose walk reaches fewer pixels than their capacities count.
WIDE3 = (4100, 3, 24, 17)
NARROW3 = (2000, 3, 24, 18)
ROWS2 = (5000, 2, 24, 19)

CASES = [
    Case('mode0-text-password', BIG24, text='Treffen um zwölf Uhr am Brunnen.', password='geheim', mode=0),
    Case('mode0-tiny-container', TINY24, text='tiny', password='pw-4', mode=0),
    Case('mode1-longname-file-password', BIG24, file_name=LONG_NAME, file_size=1500, password='Passwört', mode=1),
    Case('mode1-text-quiz', BIG24 + (b'', 2835, 2835), text=lcg_bytes(5, 1500).hex() + ' Quiz',
         quiz=QUIZ, answers=QUIZ_ANSWERS, mode=1),
    Case('mode2-text-quiz-mid', MID24, text='Hundert mal hundert, Modus zwei.',
         quiz=QUIZ, answers=QUIZ_ANSWERS, mode=2),
    Case('mode3-file-mid', MID24, file_name='report.txt', file_size=2000, password='pw-4', mode=3),
    Case('mode2-text-32bit', MID32, text='32-bit container text', password='zweiunddreißig', mode=2),
    Case('mode3-file-32bit-quiz', MID32, file_name=LONG_NAME, file_size=1200,
         quiz=QUIZ, answers=QUIZ_ANSWERS, mode=3),
    # Classic texts that begin with the sealed envelope's tag: delivered as
    # stored by both sides.
    Case('lookalike-text-password', BIG24, text='LQSEAL01 begins like a sealed envelope, yet is plain text.',
         password='geheim'),
    Case('lookalike-text-quiz', BIG24, text='LQSEAL01 with questions, which are never sealed.',
         quiz=QUIZ, answers=QUIZ_ANSWERS),
    Case('mode2-trailing-bytes', (99, 97, 24, 15, b'\x01\x02\x03'), text='rows then junk', password='pw-4', mode=2),
    Case('mode4-noise-text', None, text='Rauschen', password='noise', mode=4),
    Case('mode4-noise-shortpath-file', None, file_name='a.txt', file_size=300, password='noise',
         mode=4, short_dir=True),
    Case('mode4-noise-longpath-file', None, file_name=LONG_NAME, file_size=100, password='noise', mode=4),
    Case('mode4-noise-quiz', None, text='Rauschen mit Fragen', quiz=QUIZ, answers=QUIZ_ANSWERS, mode=4),
    Case('mode1-text-speed1', BIG24, text='y' * 2000 + lcg_bytes(3, 700).hex(), password='slow', speed=1,
         mode=1, slow=1),
    # Only with --all: 500000, 1000000 and 10000000 passes take the Python
    # model about 1.5, 3 and 30 minutes.
    Case('mode2-text-speed2', MID24, text='speed two', password='slow-2', speed=2, mode=2, slow=2),
    Case('mode4-text-speed3', None, text='speed three', password='slow-3', speed=3, mode=4, slow=2),
    Case('mode0-text-speed4', TINY24, text='speed four', password='slow-4', speed=4, mode=0, slow=2),
    Case('shrink-mid', MID24, text='shrink me', password='pw-4', shrink=True),
    # Noise plus shrink: from 5223 payload bytes on the noise image is kept.
    Case('noise-shrink-kept', None, file_name='n.bin', file_size=5300, password='pw-4', mode=4,
         shrink=True),
    Case('noise-shrink-rescaled', None, text='klein', password='pw-4', shrink=True),
    Case('shrink-32bit', MID32, text='shrink 32', password='pw-4', shrink=True),
    # T = 3 * 5011 + 4096 is below the 30000 pixel bytes but above the pixel
    # count: the container is enlarged (bilinear) to 141 x 141.
    Case('shrink-enlarge', MID24, file_name='e.bin', file_size=5000, password='pw-4', shrink=True),
    # Enlarged across, reduced down: both rules in one picture.
    Case('shrink-mixed', (3000, 2, 24, 15), text='wide and low', password='pw-4', shrink=True),
    # A 24-bit file with a colour table (colours-used 65536 + 2 counts as 2),
    # a wrong pixel offset and a wrong image size in its headers.
    Case('odd-headers-colour-table', (99, 101, 24, 16, b'', 3780, 3780,
                                      dict(colors_used=0x10002, image_size=7, offset=0)),
         text='Farbtabelle', password='pw-4', mode=2),
    Case('five-questions', MID24, text='fünf Fragen',
         quiz=[('F%d — %s?' % (i, 'ä' * i), 'H%d' % i, 'A%d' % i) for i in range(1, 6)],
         answers=['A%d' % i for i in range(1, 6)], mode=2),
    # A noise image stores the bare name; one over 30 bytes keeps its
    # extension and is cut before it.
    Case('mode4-name-31-to-50-bytes', None, file_name='n' * 20 + '.dat', file_size=50,
         password='marker-5', mode=4, short_dir=True),
    Case('mode4-long-name-keeps-extension', None, file_name='Quarterly board budget draft final.xlsx',
         file_size=80, password='marker-6', mode=4),
    # Zeros compress to almost nothing: the noise picture grows until its
    # decode can give all of them back.
    Case('mode4-noise-grows-for-the-original', None, file_name='zeros.bin', file_size=300000, zeros=True,
         password='pw-4', mode=4),
    # ... and an ordinary picture that could not give them back is refused.
    Case('too-large-to-decode-again', MID24, file_name='zeros.bin', file_size=1000000, zeros=True,
         password='pw-4', expect='fail'),
    Case('wrong-key-mode1', BIG24, text='only with the right key', password='right-key', mode=0,
         wrong_key=True),
    Case('wrong-key-mode4', None, file_name='w.bin', file_size=64, password='right-key', mode=4,
         wrong_key=True),
    Case('wrong-answer-quiz', MID24, text='quiz', quiz=QUIZ, answers=QUIZ_ANSWERS, mode=2,
         wrong_key=True),
    # A quiz whose questions are all empty is refused by lumaquill-cli: its
    # key would be the empty text, which no decode accepts.
    Case('no-mode-fits', MID24, file_name='big.bin', file_size=6000, password='pw-4', expect='fail'),
    # PNG covers into PNG outputs: the CLI's PNG must hold the pixels of the
    # model's BMP encode of the same picture, and decode in the model.
    Case('png-mode0-text', BIG24, text='Ein Bild, wie es Leute haben.', password='png-pw', mode=0, png=True),
    Case('png-mode2-32bit-alpha', MID32, text='RGBA cover', password='png-pw', mode=2, png=True),
    Case('png-mode3-file-quiz', MID24, file_name='report.txt', file_size=2000,
         quiz=QUIZ, answers=QUIZ_ANSWERS, mode=3, png=True),
    Case('png-wrong-key', MID24, text='nur mit dem richtigen', password='right-key', mode=2, png=True,
         wrong_key=True),
    # The mode choice leaves the walk what it needs. TINY24: 1365 interior
    # cells, 60 for the question header, 99 never handed out: 1206
    # positions. EmbedMode 0 takes a text of 147 bytes in 6 + 8 x 147 + 2 x 9
    # of them, exactly all; 148 bytes and a file that does not fit go to
    # EmbedMode 1.
    Case('walk-limit-mode0-full', TINY24, text=lcg_bytes(137, 300).hex()[:235], password='pw-4', mode=0),
    Case('walk-limit-text-next-mode', TINY24, text=lcg_bytes(137, 300).hex()[:236], password='pw-4', mode=1),
    Case('walk-limit-file-next-mode', TINY24, file_name='pay.bin', file_size=140, seed=140,
         password='pw-4', mode=1),
    # 4100 x 3: Capacity(2) = 2054, but the walk holds 1963 bytes of payload
    # and name in EmbedMode 2 (3939 positions); 1958 + 1 + 5 more go to
    # EmbedMode 3.
    Case('walk-limit-mode2-full', WIDE3, file_name='m.bin', file_size=1947, password='pw-4', mode=2),
    Case('walk-limit-mode2-to-mode3', WIDE3, file_name='m.bin', file_size=1948, password='pw-4', mode=3),
    # 2000 x 3: Capacity(3) = 1904, the walk holds 1829 bytes of payload and
    # name: beyond that no mode fits.
    Case('walk-limit-mode3-full', NARROW3, file_name='r.bin', file_size=1813, password='pw-4', mode=3),
    Case('walk-limit-refused', NARROW3, file_name='r.bin', file_size=1814, password='pw-4', expect='fail'),
    # 5000 x 2: one row to draw from, counted while 50 of its cells are
    # free: 4890 positions, 4875 bytes of payload with a 5-byte name.
    Case('walk-limit-two-rows', ROWS2, file_name='w.bin', file_size=4864, password='pw-4', mode=3),
    Case('walk-limit-two-rows-refused', ROWS2, file_name='w.bin', file_size=4865, password='pw-4',
         expect='fail'),
    Case('sealed-text', BIG24, text='Versiegelt: nur mit dem Passwort.', password='correct horse', seal=True),
    Case('sealed-file-32bit', MID32, file_name='report.txt', file_size=1200, password='Passwört', seal=True),
    Case('sealed-noise-file', None, file_name='n.bin', file_size=700, password='noise', seal=True,
         short_dir=True),
]


class StealthCase:
    def __init__(self, name, cover, text=None, file_name=None, file_size=0, out='png',
                 cover_png=False, largest=0, wrong_password=False, expect='ok', slow=0):
        self.name = name
        self.cover = cover                # (w, h, bits, seed)
        self.text = text
        self.file_name = file_name
        self.file_size = file_size
        self.out = out                    # the CLI's output format: 'png' or 'bmp'
        self.cover_png = cover_png        # the cover is given as a PNG (else a BMP)
        # A file sized so that its zlib stream and stored name take the
        # picture's largest size plus this many bytes (1: one byte over).
        self.largest = largest
        self.wrong_password = wrong_password
        self.expect = expect              # 'ok', 'too large' or 'too small'
        self.password = 'Stealth-' + name[-6:]
        self.seed = len(name)
        self.slow = slow


# The smallest picture that holds a stealth image has 1707 pixels (N = 5121,
# spread 8); one pixel less holds none.
STEALTH_CASES = [
    StealthCase('stealth-text-24bit-png', (64, 64, 24, 21), text='Treffen um zwölf — am Brunnen.',
                cover_png=True, wrong_password=True),
    StealthCase('stealth-longname-file-32bit-bmp', (101, 99, 32, 22), file_name=LONG_NAME, file_size=300,
                out='bmp'),
    StealthCase('stealth-file-32bit-png-alpha', (77, 53, 32, 23), file_name='report.txt', file_size=150,
                cover_png=True),
    StealthCase('stealth-smallest-picture-largest-file', (569, 3, 24, 24), file_name='x.bin', largest=0,
                out='bmp'),
    StealthCase('stealth-largest-file-odd-size', (97, 61, 24, 25), file_name='größte.dat', largest=0),
    StealthCase('stealth-one-byte-over-largest', (97, 61, 24, 25), file_name='größte.dat', largest=1,
                expect='too large'),
    StealthCase('stealth-too-small-picture', (853, 2, 24, 26), text='zu klein', expect='too small'),
    # P > 2^20: the payload is coded in two blocks.
    StealthCase('stealth-two-blocks', (600, 589, 24, 27), text='zwei Blöcke ' * 40, out='bmp', slow=1),
]


# ---------------------------------------------------------------------------
# Running both sides
# ---------------------------------------------------------------------------

SHORT_ROOT = [None]


class Failure(Exception):
    pass


def run(cmd, stdin=None):
    p = subprocess.run(cmd, input=stdin, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return p.returncode, p.stdout, p.stderr


def key_args(case, decoding):
    if case.quiz is not None:
        if decoding:
            return [a for ans in case.answers for a in ('--answer', ans)]
        return [a for q in case.quiz for a in ('--quiz',) + q]
    return ['--password', case.password]


def describe_difference(a, b):
    """First differing byte, and the pixel it belongs to."""
    if len(a) != len(b):
        head = 'sizes differ (cli %d, ref %d); ' % (len(a), len(b))
    else:
        head = ''
    n = min(len(a), len(b))
    first = next((i for i in range(n) if a[i] != b[i]), None)
    if first is None:
        return head + 'common prefix equal'
    text = head + 'first difference at byte %d (cli %02X, ref %02X)' % (first, a[first], b[first])
    img = ref.DibImage()
    if first >= 54 and img.read(a):
        off = first - 54 - (len(img.header) - 40)
        stride = img.stride
        row, col = divmod(off, stride)
        bpp = img.bits // 8
        x, ch = divmod(col, bpp)
        y = img.height - row
        text += '; pixel (x=%d, y=%d) channel %d' % (x, y, ch)
        diffs = sum(1 for i in range(n) if a[i] != b[i])
        text += '; %d bytes differ in total' % diffs
    elif first < 54:
        text += ' (file or information header)'
    return text


def png_of(bmp):
    """The picture of a 24- or 32-bit bitmap file as a PNG (RGBA for 32 bits,
    the fourth byte as alpha)."""
    image = ref.DibImage()
    image.read(bmp)
    bpp = image.bits // 8

    def px(x, y):
        o = (image.height - y) * image.stride + x * bpp
        return tuple(image.pixels[o:o + bpp])

    return png_model.write_png(image.width, image.height, px, image.bits == 32)


def picture_rows(data):
    """(width, height, bits, rows without padding, top row first) of a BMP
    or PNG file as the model loads it."""
    image = ref.DibImage()
    if not image.read(data):
        return None
    used = image.width * image.bits // 8
    rows = [bytes(image.pixels[r * image.stride:r * image.stride + used]) for r in range(image.height)]
    return image.width, image.height, image.bits, rows[::-1]


def compare_pictures(cli_img, ref_img):
    a, b = picture_rows(cli_img), picture_rows(ref_img)
    if a is None:
        return ['the cli image does not load in the model']
    if a[:3] != b[:3]:
        return ['cli image is %dx%dx%d, the reference %dx%dx%d' % (a[:3] + b[:3])]
    for y, (ra, rb) in enumerate(zip(a[3], b[3])):
        if ra != rb:
            x = next(i for i in range(len(ra)) if ra[i] != rb[i]) // (a[2] // 8)
            return ['pixels differ first at (%d, %d)' % (x, y + 1)]
    return []


def run_case(case, cli, work):
    notes = []
    os.makedirs(work, exist_ok=True)
    # Payload and its name.
    if case.text is not None:
        data = case.text.encode('utf-8')
        name = ''
        payload_args = ['--text', case.text]
    else:
        # A short folder keeps the whole path within 30 bytes, so that a
        # mode-4 name is recognised before its closing Marker.
        folder = os.path.join(SHORT_ROOT[0], case.name[:2]) if case.short_dir \
            else os.path.join(work, 'Ordner mit Leerzeichen')
        os.makedirs(folder, exist_ok=True)
        path = os.path.abspath(os.path.join(folder, case.file_name))
        data = bytes(case.file_size) if case.zeros else lcg_bytes(case.seed, case.file_size)
        with open(path, 'wb') as f:
            f.write(data)
        name = path
        payload_args = ['--file', path]
    payload = ref.compress(data)

    # Container.
    cont_args = ['--noise']
    cont = None
    if case.container is not None:
        w, h, bits, seed = case.container[:4]
        extra = case.container[4] if len(case.container) > 4 else b''
        xres, yres = (case.container[5], case.container[6]) if len(case.container) > 6 else (0, 0)
        fields = case.container[7] if len(case.container) > 7 else {}
        cont = container(w, h, bits, seed, extra, xres, yres, **fields)
        cpath = os.path.join(work, 'container.png' if case.png else 'container.bmp')
        with open(cpath, 'wb') as f:
            f.write(png_of(cont) if case.png else cont)
        cont_args = ['--container', cpath]
    if case.shrink:
        cont_args.append('--shrink')

    if cont is not None:
        check_largest_payload(cli, cpath, cont)

    # CLI encode.
    cli_out = os.path.join(work, 'cli.png' if case.png else 'cli.bmp')
    cmd = [cli, 'encode', '--out', cli_out] + cont_args + payload_args + key_args(case, False) \
        + ['--speed', str(case.speed)]
    rc, out, err = run(cmd)
    cli_msg = err.decode(errors='replace').strip()

    # Reference encode.
    res = ref.encode(cont, payload, name, password=case.password, quiz=case.quiz,
                     speed=case.speed, shrink=case.shrink, original_size=len(data))
    if case.expect != 'ok':
        return check_refusal(case, res, rc, cli_msg, notes)
    if rc != 0:
        raise Failure('cli encode failed (%d): %s' % (rc, cli_msg))
    with open(cli_out, 'rb') as f:
        cli_img = f.read()
    if case.shrink and res.shrunk_to is not None:
        check_shrink(res, cli_img, notes)
    if not res.ok:
        raise Failure('reference encode failed: %s' % res.message)
    if case.mode is not None and res.mode != case.mode:
        raise Failure('reference chose EmbedMode %d (case expected %d)' % (res.mode, case.mode))
    ref_img = res.image
    ref_out = os.path.join(work, 'ref.bmp')
    with open(ref_out, 'wb') as f:
        f.write(ref_img)

    problems = []
    if case.png:
        # The model loads the PNG cover as it loads the BMP one, and the
        # CLI's PNG holds exactly the pixels of the model's BMP encode.
        with open(cpath, 'rb') as f:
            if picture_rows(f.read()) != picture_rows(cont):
                problems.append('the model loads the PNG cover differently from its BMP')
        problems += compare_pictures(cli_img, ref_img)
    elif cli_img != ref_img:
        problems.append('encoded images differ: ' + describe_difference(cli_img, ref_img))

    # Reference decodes the CLI image.
    problems += check_ref_decode(case, cli_img, data, name, 'cli image')
    # CLI decodes the reference image.
    if case.cli_decode:
        problems += check_cli_decode(case, cli, ref_out, data, name, work)
    if case.wrong_key:
        problems += check_wrong_key(case, cli, ref_out, ref_img, cont, work)
        notes.append('wrong key refused by both')
    if problems:
        raise Failure('; '.join(problems))
    notes.append('EmbedMode %d, payload %d bytes, image %d bytes' % (res.mode, len(payload), len(ref_img)))
    return notes


def check_largest_payload(cli, cpath, cont):
    """info's largest payload is the model's: the most EmbedMode 3 takes
    after an empty question header with a 50-byte name."""
    rc, out, err = run([cli, 'info', '--json', cpath])
    if rc != 0:
        raise Failure('cli info failed (%d): %s' % (rc, err.decode(errors='replace').strip()))
    image = ref.DibImage()
    image.read(cont)
    want = ref.largest_payload(image)
    got = json.loads(out)['largest_payload']
    if got != (want or None):
        raise Failure('cli info gives the largest payload %r, the model %d' % (got, want))


def expected_name(name, mode):
    if not name:
        return b''
    if mode == 4:
        return ref.stored_name(name, ref.NOISE_NAME_LIMIT)
    return ref.stored_name(name)


def check_ref_decode(case, image, data, name, what):
    d = ref.decode(image, password=case.password, answers=case.answers)
    problems = []
    if d.outcome == ref.NOTHING_DECODED:
        return ['reference could not decode the %s (%s)' % (what, d.detail)]
    if d.data != data:
        problems.append('reference decode of the %s gave other data' % what)
    if 'mode 4' in d.detail:
        # The bare name, at most 30 bytes: the closing Marker is always
        # recognised after it.
        want = expected_name(name, 4)
        if d.name != want:
            problems.append('reference read name %r from the %s, expected %r' % (d.name, what, want))
    elif d.name != expected_name(name, 0):
        problems.append('reference read name %r from the %s, expected %r'
                        % (d.name, what, expected_name(name, 0)))
    if case.quiz is not None:
        want_q = [(q.encode(), h.encode()) for q, h, _ in case.quiz if q]
        got_q = [(q, h) for q, h, _ in d.questions]
        if got_q != want_q:
            problems.append('questions read back %r' % got_q)
    return problems


def check_cli_decode(case, cli, image_path, data, name, work):
    problems = []
    if name:
        outdir = os.path.join(work, 'cli-decoded')
        shutil.rmtree(outdir, ignore_errors=True)
        os.makedirs(outdir)
        rc, out, err = run([cli, 'decode', image_path] + key_args(case, True) + ['--out-dir', outdir])
        files = os.listdir(outdir)
        if rc != 0 or len(files) != 1:
            return ['cli could not decode the reference image (%d): %s'
                    % (rc, err.decode(errors='replace').strip())]
        with open(os.path.join(outdir, files[0]), 'rb') as f:
            got = f.read()
        if got != data:
            problems.append('cli decode of the reference image gave other file bytes')
        want = expected_name(name, 4 if case.mode == 4 else 0).decode('utf-8', 'replace')
        if files[0] != want:
            problems.append('cli saved the file as %r, expected %r' % (files[0], want))
    else:
        rc, out, err = run([cli, 'decode', image_path] + key_args(case, True))
        if rc != 0:
            return ['cli could not decode the reference image (%d): %s'
                    % (rc, err.decode(errors='replace').strip())]
        if out != data:
            problems.append('cli decode of the reference image printed other text (%d bytes, expected %d)'
                            % (len(out), len(data)))
    return problems


def write_payload(case, work):
    """(data, name, payload arguments) of a case, its file written."""
    if case.text is not None:
        return case.text.encode('utf-8'), '', ['--text', case.text]
    folder = os.path.join(SHORT_ROOT[0], case.name[:2]) if case.short_dir \
        else os.path.join(work, 'Ordner mit Leerzeichen')
    os.makedirs(folder, exist_ok=True)
    path = os.path.abspath(os.path.join(folder, case.file_name))
    data = lcg_bytes(case.seed, case.file_size)
    with open(path, 'wb') as f:
        f.write(data)
    return data, path, ['--file', path]


def run_sealed_case(case, cli, work):
    """The reference opens the CLI's sealed image (keyed with T' directly)
    and the CLI opens the reference's."""
    os.makedirs(work, exist_ok=True)
    data, name, payload_args = write_payload(case, work)
    cont, cont_args = None, ['--noise']
    if case.container is not None:
        cont = container(*case.container[:4])
        cpath = os.path.join(work, 'container.bmp')
        with open(cpath, 'wb') as f:
            f.write(cont)
        cont_args = ['--container', cpath]
    cli_out = os.path.join(work, 'cli.bmp')
    rc, _, err = run([cli, 'encode', '--out', cli_out, '--seal'] + cont_args + payload_args
                     + key_args(case, False))
    if rc != 0:
        raise Failure('cli sealed encode failed (%d): %s' % (rc, err.decode(errors='replace').strip()))
    with open(cli_out, 'rb') as f:
        cli_img = f.read()
    problems = []
    d = ref.decode(cli_img, password=case.password, sealed=True)
    if d.outcome == ref.NOTHING_DECODED or 'sealed' not in d.detail or d.data != data:
        problems.append('reference did not open the cli sealed image (%s)' % d.detail)
    res = ref.encode(cont, ref.compress(data), name, password=case.password, seal=True)
    if not res.ok:
        raise Failure('reference sealed encode failed: %s' % res.message)
    ref_out = os.path.join(work, 'ref.bmp')
    with open(ref_out, 'wb') as f:
        f.write(res.image)
    case.mode = res.mode
    problems += check_cli_decode(case, cli, ref_out, data, name, work)
    if problems:
        raise Failure('; '.join(problems))
    return ['sealed, EmbedMode %d: each side opens the other\'s image' % res.mode]


def check_refusal(case, res, rc, cli_msg, notes):
    if res.ok:
        raise Failure('reference encoded although the case expects a refusal')
    if rc != 1 or res.message not in cli_msg:
        raise Failure('reference refuses with %r, cli gave exit %d %r' % (res.message, rc, cli_msg))
    notes.append('both refuse: %s' % res.message)
    return notes


def cheap_wrong_key(case, image, password=None):
    """A wrong key whose (random) ModeByte asks for speed 0 or for one of
    the zero-pass values 5..7: speeds 1 to 4 would cost the Python model
    minutes of strengthening."""
    for i in range(64):
        if case.quiz is not None and password is None:
            wrong = dict(password=None, answers=[case.answers[0], '%s %d' % (case.answers[-1], i)])
            args = ['--answer', wrong['answers'][0], '--answer', wrong['answers'][1]]
        else:
            wrong = dict(password='%s-wrong-%d' % (password or case.password, i), answers=None)
            args = ['--password', wrong['password']]
        speed = (ref.peek_mode_byte(image, **wrong) >> 3) & 7
        if speed == 0 or speed >= 5:
            return wrong, args
    raise Failure('no cheap wrong key found')


def check_wrong_key(case, cli, image_path, image, cont, work):
    problems = []
    wrong, args = cheap_wrong_key(case, image)
    d = ref.decode(image, **wrong)
    if d.outcome != ref.NOTHING_DECODED:
        problems.append('reference decoded with a wrong key')
    outdir = os.path.join(work, 'wrong')
    os.makedirs(outdir, exist_ok=True)
    rc, _, _ = run([cli, 'decode', image_path] + args + ['--out-dir', outdir])
    if rc != 1:
        problems.append('cli decode with a wrong key gave exit %d' % rc)
    if cont is not None:
        wrong, args = cheap_wrong_key(case, cont, password='plain')
        if ref.decode(cont, **wrong).outcome != ref.NOTHING_DECODED:
            problems.append('reference decoded an unencoded container')
        cpath = os.path.join(work, 'container.png' if case.png else 'container.bmp')
        rc, _, _ = run([cli, 'decode', cpath] + args + ['--out-dir', outdir])
        if rc != 1:
            problems.append('cli decode of an unencoded container gave exit %d' % rc)
    return problems


def check_shrink(res, cli_img, notes):
    """The size rule first, so that a wrong size is named as such; the bytes
    are compared with the rest of the image afterwards."""
    img = ref.DibImage()
    if not img.read(cli_img):
        raise Failure('cli wrote an unreadable image')
    got = (img.width, img.height)
    if got != res.shrunk_to or img.bits != 24:
        raise Failure('cli rescaled to %r at %d bits, reference size rule gives %r at 24 bits'
                      % (got, img.bits, res.shrunk_to))
    notes.append('rescaled to %dx%d' % got)


# ---------------------------------------------------------------------------
# Stealth images: the CLI writes, the extractor written from the format
# document reads
# ---------------------------------------------------------------------------

def stealth_payload(case, work, cover):
    """(data, name, payload arguments) of a stealth case, its file written."""
    if case.text is not None:
        return case.text.encode('utf-8'), '', ['--text', case.text]
    folder = os.path.join(work, 'Ordner mit Leerzeichen')
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, case.file_name)
    size = case.file_size
    if case.file_size == 0:
        # lcg bytes do not compress: the stream grows with the file, byte for byte.
        w, h = cover[:2]
        room = stealth_extract.sizes(w, h)[1] + case.largest - len(ref.stored_name(path))
        size = room - (len(ref.compress(lcg_bytes(case.seed, room))) - room)
    data = lcg_bytes(case.seed, size)
    with open(path, 'wb') as f:
        f.write(data)
    return data, path, ['--file', path]


def stealth_changes(cover, image):
    """Problems with the changes from cover to image: each R, G, B sample
    changes by at most 1, alpha and size not at all."""
    a, b = picture_rows(cover), picture_rows(image)
    if b is None or a[:3] != b[:3]:
        return ['the stealth image is not a picture of the cover\'s size and depth']
    bpp = a[2] // 8
    for y, (ra, rb) in enumerate(zip(a[3], b[3])):
        for i in range(len(ra)):
            if abs(ra[i] - rb[i]) > (0 if i % bpp == 3 else 1):
                return ['sample %d of row %d changed from %d to %d' % (i, y, ra[i], rb[i])]
    return []


def stealth_open(image, password, data, name, what):
    res = stealth_extract.extract(image, os.fsencode(password))
    if not res.ok:
        return ['the extractor opened nothing in the %s (%s)' % (what, res.reason)], res
    problems = []
    if res.content != data:
        problems.append('the extractor read other content (%d bytes, expected %d)' % (len(res.content), len(data)))
    want = ref.stored_name(name) if name else b''
    if res.name != want:
        problems.append('the extractor read the stored name %r, expected %r' % (res.name, want))
    return problems, res


def stealth_refusal(case, cover, rc, msg):
    if rc != 1:
        raise Failure('cli encoded although the case expects "%s" (exit %d)' % (case.expect, rc))
    safe, largest = stealth_extract.sizes(*cover[:2])
    if case.expect == 'too large' and ('%d bytes' % largest not in msg or '%d bytes' % safe not in msg):
        raise Failure('cli refusal does not give both sizes %d and %d: %s' % (safe, largest, msg))
    if case.expect == 'too small' and (largest != 0 or 'too small' not in msg):
        raise Failure('cli refused, the document gives sizes %d, %d: %s' % (safe, largest, msg))
    return ['cli refuses: %s' % msg]


def run_stealth_case(case, cli, work):
    os.makedirs(work, exist_ok=True)
    cover = container(*case.cover)
    cpath = os.path.join(work, 'cover.png' if case.cover_png else 'cover.bmp')
    with open(cpath, 'wb') as f:
        f.write(png_of(cover) if case.cover_png else cover)
    data, name, payload_args = stealth_payload(case, work, case.cover)
    out = os.path.join(work, 'stealth.' + case.out)
    rc, _, err = run([cli, 'encode', '--out', out, '--container', cpath, '--stealth',
                      '--password', case.password] + payload_args)
    msg = err.decode(errors='replace').strip()
    if case.expect != 'ok':
        return stealth_refusal(case, case.cover, rc, msg)
    if rc != 0:
        raise Failure('cli stealth encode failed (%d): %s' % (rc, msg))
    with open(out, 'rb') as f:
        image = f.read()
    problems = stealth_changes(cover, image)
    more, res = stealth_open(image, case.password, data, name, 'cli image')
    problems += more
    notes = []
    if case.wrong_password:
        for what, picture in (('cli image', image), ('untouched cover', cover)):
            if stealth_extract.extract(picture, os.fsencode(case.password + '!')).ok:
                problems.append('a wrong password opened the %s' % what)
        notes.append('a wrong password opens neither the image nor the cover')
    if problems:
        raise Failure('; '.join(problems))
    samples = 3 * case.cover[0] * case.cover[1]
    notes.insert(0, 'envelope %d bytes in %d samples' % (res.envelope_bytes, samples))
    return notes


# Envelopes written by stealth_embed, read by lumaquill-cli and by the
# extractor: (name, plaintext, what both must give: ('text', the text up to
# its first zero byte), ('file', the name it is saved under), or None for
# nothing opened).  The cover, salt and password are fixed so that the
# images are too; the password was chosen so that the CLI's classic and
# sealed attempts before stealth are quick.
FIXTURE_COVER = (70, 50, 24, 31)
FIXTURE_SALT = bytes(range(100, 116))
FIXTURE_PASSWORD = 'fixture-6'
FIXTURE_CONTENT = b'stealth fixture content'
FIXTURE_STREAM = zlib.compress(FIXTURE_CONTENT)
# 20 * (3 * floor(212 * 50 / 3) - 4096) bytes: a classic decode's cap for a
# 70 x 50 picture at 24 bits (rows of 210 bytes padded to 212).
FIXTURE_CAP = 130060
STEALTH_FIXTURES = [
    ('text', b'\0' + FIXTURE_STREAM, ('text', FIXTURE_CONTENT)),
    ('text-with-a-zero-byte', b'\0' + zlib.compress(b'bis hier\0und nicht weiter'), ('text', b'bis hier')),
    ('path-in-name', stealth_embed.plaintext_of(b'dir/sub\\c.txt', FIXTURE_STREAM), ('file', 'c.txt')),
    ('windows-1252-name', stealth_embed.plaintext_of(b'caf\xe9 \x80\x81.txt', FIXTURE_STREAM),
     ('file', 'café €_.txt')),
    ('format-and-control-characters', stealth_embed.plaintext_of(
        '..a\u202eb\u200bc\u061c\x01.txt'.encode(), FIXTURE_STREAM), ('file', '__abc_.txt')),
    ('dot-dot-after-drops', stealth_embed.plaintext_of('.\u200b.'.encode(), FIXTURE_STREAM), ('file', 'decoded.bin')),
    ('bytes-after-the-stream', stealth_embed.plaintext_of(b'a.txt', FIXTURE_STREAM + b'tail'), ('file', 'a.txt')),
    ('name-length-51', b'\x33' + b'n' * 47 + b'.txt' + FIXTURE_STREAM, None),
    ('content-at-the-cap', stealth_embed.plaintext_of(b'cap.bin', zlib.compress(bytes(FIXTURE_CAP), 9)),
     ('file', 'cap.bin')),
    ('content-over-the-cap', stealth_embed.plaintext_of(b'cap.bin', zlib.compress(bytes(FIXTURE_CAP + 1), 9)),
     None),
]


def cli_reads(cli, path, password, work):
    """('text', bytes), ('file', saved name, bytes) or None."""
    outdir = os.path.join(work, 'out')
    shutil.rmtree(outdir, ignore_errors=True)
    os.makedirs(outdir)
    rc, out, _ = run([cli, 'decode', path, '--password', password, '--out-dir', outdir])
    if rc != 0:
        return None
    files = os.listdir(outdir)
    if not files:
        return 'text', out
    with open(os.path.join(outdir, files[0]), 'rb') as f:
        return 'file', files[0], f.read()


def run_stealth_fixtures(cli, work):
    """lumaquill-cli opens images the document's plain writer made, and
    agrees with the extractor on what each opens to."""
    os.makedirs(work, exist_ok=True)
    cover = container(*FIXTURE_COVER)
    problems = []
    for name, plaintext, want in STEALTH_FIXTURES:
        image = stealth_embed.embed(cover, FIXTURE_PASSWORD.encode(), plaintext, salt=FIXTURE_SALT)
        path = os.path.join(work, name + '.bmp')
        with open(path, 'wb') as f:
            f.write(image)
        got = cli_reads(cli, path, FIXTURE_PASSWORD, work)
        res = stealth_extract.extract(image, FIXTURE_PASSWORD.encode())
        mine = None if not res.ok else ('text', res.text) if res.is_text \
            else ('file', stealth_extract.safe_name(res.name))
        if got is not None and got[0] == 'file':
            if got[2] != res.content:
                problems.append('%s: the cli saved other bytes than the extractor read' % name)
            got = got[:2]
        if got != want or mine != want:
            problems.append('%s: cli %r, extractor %r, expected %r' % (name, got, mine, want))
    if problems:
        raise Failure('; '.join(problems))
    return ['%d envelopes of the document\'s plain writer read alike' % len(STEALTH_FIXTURES)]


def check_argon2_tool():
    """T' of 'correct horse' from the reference Argon2 implementation (the
    argon2 tool), a second Argon2id besides libsodium's.  S0 holds no zero
    byte, so the tool takes its 16 raw bytes as its salt argument."""
    tool = shutil.which('argon2')
    if tool is None or not ref.HAVE_NACL:
        return None
    assert b'\0' not in ref.SEAL_KEY_SALT
    rc, out, err = run([tool.encode(), ref.SEAL_KEY_SALT, b'-id', b'-t', b'3', b'-m', b'16', b'-p', b'1',
                        b'-l', b'32', b'-r'], stdin=b'correct horse')
    if rc != 0:
        raise Failure('argon2 tool failed: %s' % err.decode(errors='replace').strip())
    return out.strip() == ref.sealed_key_text(b'correct horse')


def find_cli(given):
    for c in ([given] if given else DEFAULT_CLIS):
        if c and os.path.isfile(c) and os.access(c, os.X_OK):
            return os.path.abspath(c)
    sys.exit('lumaquill-cli not found; build it and pass --cli PATH')


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('--cli')
    ap.add_argument('--only')
    ap.add_argument('--keep', action='store_true')
    ap.add_argument('--fast', action='store_true')
    ap.add_argument('--all', action='store_true')
    args = ap.parse_args()
    cli = find_cli(args.cli)
    ref.self_test()
    stealth_extract.self_test()
    root = tempfile.mkdtemp(prefix='lumaquill-compare-')
    SHORT_ROOT[0] = tempfile.mkdtemp(prefix='lq', dir='/tmp')
    passed = failed = 0
    only = set(args.only.split(',')) if args.only else None
    t_all = time.time()
    if not only:
        agreed = check_argon2_tool()
        if agreed is None:
            print('SKIP argon2-tool                           the argon2 tool or python3-nacl is missing')
        elif agreed:
            passed += 1
            print('PASS argon2-tool                           T\' of "correct horse" equal from both Argon2id')
        else:
            failed += 1
            print('FAIL argon2-tool                           the argon2 tool gives another T\'')
    for case in CASES:
        if only and case.name not in only:
            continue
        if case.slow > (0 if args.fast else 2 if args.all else 1):
            continue
        if case.seal and not ref.HAVE_NACL:
            print('SKIP %-32s        python3-nacl (PyNaCl) is not installed: sealed images not compared'
                  % case.name)
            continue
        t0 = time.time()
        try:
            runner = run_sealed_case if case.seal else run_case
            notes = runner(case, cli, os.path.join(root, case.name))
            passed += 1
            extra = getattr(case, 'cli_saved_as', None)
            if extra is not None:
                notes.append('cli saved the mode-4 file as %r' % extra)
            print('PASS %-32s %5.1fs  %s' % (case.name, time.time() - t0, '; '.join(notes)))
        except Failure as e:
            failed += 1
            print('FAIL %-32s %5.1fs  %s' % (case.name, time.time() - t0, e))
        sys.stdout.flush()
    for case in STEALTH_CASES:
        if only and case.name not in only:
            continue
        if case.slow > (0 if args.fast else 1):
            continue
        if not stealth_extract.HAVE_NACL:
            print('SKIP %-32s        python3-nacl (PyNaCl) is not installed: stealth images not read'
                  % case.name)
            continue
        t0 = time.time()
        try:
            notes = run_stealth_case(case, cli, os.path.join(root, case.name))
            passed += 1
            print('PASS %-32s %5.1fs  %s' % (case.name, time.time() - t0, '; '.join(notes)))
        except Failure as e:
            failed += 1
            print('FAIL %-32s %5.1fs  %s' % (case.name, time.time() - t0, e))
        sys.stdout.flush()
    if (not only or 'stealth-fixtures' in only) and stealth_extract.HAVE_NACL:
        t0 = time.time()
        try:
            notes = run_stealth_fixtures(cli, os.path.join(root, 'stealth-fixtures'))
            passed += 1
            print('PASS %-32s %5.1fs  %s' % ('stealth-fixtures', time.time() - t0, '; '.join(notes)))
        except Failure as e:
            failed += 1
            print('FAIL %-32s %5.1fs  %s' % ('stealth-fixtures', time.time() - t0, e))
    if args.keep:
        print('inputs and outputs kept in', root)
    else:
        shutil.rmtree(root, ignore_errors=True)
        shutil.rmtree(SHORT_ROOT[0], ignore_errors=True)
    print('total %.1fs' % (time.time() - t_all))
    print('%d passed, %d failed' % (passed, failed))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
