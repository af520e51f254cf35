#!/usr/bin/env python3
"""Reads Lumaquill's stealth images, written from doc/stealth-format.md alone.

Python 3 standard library, PyNaCl (Debian's python3-nacl) for Argon2id and
XChaCha20-Poly1305, and png_model for PNG files.  Lossless WebP pictures are
not read: the standard library has no WebP decoder.  The functions follow
the document's sections: elements (1), plan (2), keystreams (3), public
order (4), syndrome-trellis codes (5), keys (6), keyed order (7), length
(8), payload and envelope (9), sizes (10); self_test() checks the vectors
of section 13.

Usage:  stealth_extract.py IMAGE --password PW [--out-dir DIR]
        A text is printed to standard output; a file is written into DIR
        (default: the current folder) under its made-safe stored name.
Exit status 0 when the image opens, 1 when it opens nothing under this
password, 2 when the picture cannot be read.
"""

import argparse
import functools
import hashlib
import os
import struct
import sys
import unicodedata
import zlib

sys.dont_write_bytecode = True  # leave no cache folder in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import png_model  # noqa: E402

try:
    import nacl.bindings
    import nacl.exceptions
    HAVE_NACL = True
except ImportError:  # nothing can be opened without Argon2id
    HAVE_NACL = False


# ---------------------------------------------------------------------------
# 1. Elements and parities
# ---------------------------------------------------------------------------

class PictureError(Exception):
    pass


class Picture:
    """Width, height and the R, G, B samples in reading order (top row
    first, each row left to right): sample index = element number."""

    def __init__(self, width, height, bits, samples):
        self.width = width
        self.height = height
        self.bits = bits
        self.samples = samples

    def parities(self, elements):
        s = self.samples
        return [s[e] & 1 for e in elements]


def samples_of_rows(width, height, bytes_per_pixel, row_of):
    """R, G, B of every pixel, top row first; row_of(y) gives the stored row
    of picture row y with pixels as B, G, R[, A]."""
    out = bytearray(3 * width * height)
    o = 0
    for y in range(height):
        row = row_of(y)
        for x in range(width):
            p = x * bytes_per_pixel
            out[o] = row[p + 2]
            out[o + 1] = row[p + 1]
            out[o + 2] = row[p]
            o += 3
    return out


BMP_FILE_HEADER = 14
BMP_INFO_MIN = 40


def read_bmp(data):
    """An uncompressed 24- or 32-bit BMP (32 bits may declare bit fields):
    rows bottom-up (or top-down for a negative height), B G R [A], each
    row padded to 4 bytes, pixels from the file header's offset."""
    if len(data) < BMP_FILE_HEADER + BMP_INFO_MIN or data[:2] != b'BM':
        raise PictureError('not a BMP file')
    offset = struct.unpack_from('<I', data, 10)[0]
    info_size, width, height, planes, bits, compression = struct.unpack_from('<IiiHHI', data, 14)
    if info_size < BMP_INFO_MIN or width <= 0 or height == 0:
        raise PictureError('BMP header out of bounds')
    if bits not in (24, 32) or compression not in (0, 3) or (compression == 3 and bits != 32):
        raise PictureError('BMP is not an uncompressed 24- or 32-bit picture')
    top_down = height < 0
    height = abs(height)
    stride = (bits * width + 31) // 32 * 4
    if offset < BMP_FILE_HEADER + info_size or offset + stride * height > len(data):
        raise PictureError('BMP pixels out of the file')

    def row_of(y):
        r = y if top_down else height - 1 - y
        return data[offset + r * stride:offset + (r + 1) * stride]

    return Picture(width, height, bits, samples_of_rows(width, height, bits // 8, row_of))


def read_png(data):
    """A PNG as png_model loads it (the program's loader decisions): a
    40-byte BMP information header and bottom-up rows."""
    try:
        header, rows = png_model.read_png(data)
    except (png_model.PngError, zlib.error, KeyError, IndexError, struct.error, TypeError) as e:
        raise PictureError('unreadable PNG (%s)' % e)
    _, width, height, _, bits = struct.unpack_from('<IiiHH', header, 0)
    stride = (bits * width + 31) // 32 * 4

    def row_of(y):
        r = height - 1 - y
        return rows[r * stride:(r + 1) * stride]

    return Picture(width, height, bits, samples_of_rows(width, height, bits // 8, row_of))


def read_picture(data):
    if png_model.is_png(data):
        return read_png(data)
    if data[:2] == b'BM':
        return read_bmp(data)
    if data[:4] == b'RIFF' and data[8:12] == b'WEBP':
        raise PictureError('WebP pictures are not read by this extractor (no decoder in the standard library)')
    raise PictureError('neither a PNG nor a BMP file')


# ---------------------------------------------------------------------------
# 2. The plan
# ---------------------------------------------------------------------------

SPREAD_MAX = 64
SPREAD_MIN = 8
ELEMENTS_PER_SPREAD = 640
SALT_BITS = 128
LENGTH_BITS = 32
ELEMENTS_MAX = 1 << 31


class Plan:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.n = 3 * width * height
        self.spread = min(SPREAD_MAX, self.n // ELEMENTS_PER_SPREAD)
        self.s = SALT_BITS * self.spread
        self.l = LENGTH_BITS * self.spread
        self.p = self.n - self.s - self.l

    def holds_stealth(self):
        return self.spread >= SPREAD_MIN and self.n <= ELEMENTS_MAX


# ---------------------------------------------------------------------------
# 3. Keystreams
# ---------------------------------------------------------------------------

def blake2b(k, msg, key=b''):
    return hashlib.blake2b(msg, key=key, digest_size=k).digest()


PUBLIC_ORDER_KEY = blake2b(32, b'Lumaquill stealth public order')
COLUMN_TABLE_KEY = blake2b(32, b'Lumaquill stealth columns')


class Keystream:
    """B_0 || B_1 || ..., B_i = BLAKE2b-64(key = K, msg = LE64(i))."""

    def __init__(self, key):
        self.key = key
        self.block = 0
        self.buffer = b''
        self.pos = 0

    def take(self, count):
        while len(self.buffer) - self.pos < count:
            self.buffer = self.buffer[self.pos:] + blake2b(64, struct.pack('<Q', self.block), self.key)
            self.block += 1
            self.pos = 0
        out = self.buffer[self.pos:self.pos + count]
        self.pos += count
        return out

    def word(self):
        return struct.unpack('<I', self.take(4))[0]

    def below(self, b):
        """(word * b) >> 32, one word per draw, 1 <= b <= 2^31."""
        assert 1 <= b <= 1 << 31
        return (self.word() * b) >> 32

    def byte(self):
        return self.take(1)[0]


# ---------------------------------------------------------------------------
# 4. The public order and the salt elements
# ---------------------------------------------------------------------------

def public_order(plan):
    """(salt elements, tail): order[0 .. S) and order[S .. N) after S draws
    of a partial Fisher-Yates shuffle from the front."""
    order = list(range(plan.n))
    stream = Keystream(PUBLIC_ORDER_KEY)
    for i in range(plan.s):
        j = i + stream.below(plan.n - i)
        order[i], order[j] = order[j], order[i]
    return order[:plan.s], order[plan.s:]


# ---------------------------------------------------------------------------
# 5. Syndrome-trellis codes
# ---------------------------------------------------------------------------

CONSTRAINT_HEIGHT = 7
FIXED_COLUMNS = bytes.fromhex(
    '5d 7b 59 63 51 4f 47 7f 65 4b 6d 75 71 5f 69 43'
    '67 6f 4d 53 4d 77 57 53 6f 5b 7f 51 45 6d 49 57'
    '7d 7f 61 4d 6f 6d 45 41 6b 57 5f 41 65 79 53 45'
    '57 4b 45 51 5f 6d 79 57 59 45 55 75 6b 59 63 65')
COLUMN_COUNT = 256


def column_table():
    """T[0 .. 64) fixed; T[k] for 64 <= k < 256 from byte k (counting from
    0) of the column-table stream, bits 0 and h - 1 set."""
    stream = Keystream(COLUMN_TABLE_KEY).take(COLUMN_COUNT)
    high = 1 << (CONSTRAINT_HEIGHT - 1)
    rest = [(u & 0x7F) | 0x01 | high for u in stream[len(FIXED_COLUMNS):]]
    return list(FIXED_COLUMNS) + rest


COLUMNS = column_table()


def syndrome(p, m):
    """The m message bits carried by the parities p[0 .. n), n >= m."""
    n = len(p)
    assert m == 0 or n >= m
    bits = [0] * m
    rows = 0  # bit i holds row j + i
    start = 0
    for j in range(m):
        end = (j + 1) * n // m
        for t in range(start, end):
            if p[t] & 1:
                rows ^= COLUMNS[(t - start) % COLUMN_COUNT]
        bits[j] = rows & 1
        rows >>= 1
        start = end
    return bits


def bits_to_bytes(bits):
    """Least significant bit first; len(bits) is a multiple of 8."""
    out = bytearray(len(bits) // 8)
    for k, b in enumerate(bits):
        out[k >> 3] |= b << (k & 7)
    return bytes(out)


# ---------------------------------------------------------------------------
# 6. Keys
# ---------------------------------------------------------------------------

ARGON2_OPSLIMIT = 3
ARGON2_MEMLIMIT = 67108864
SALT_BYTES = 16
LABELS = {
    'order': (32, b'Lumaquill stealth order'),
    'length': (32, b'Lumaquill stealth length'),
    'envelope_key': (32, b'Lumaquill stealth envelope key'),
    'envelope_nonce': (24, b'Lumaquill stealth envelope nonce'),
}


def read_salt(picture, salt_elements):
    return bits_to_bytes(syndrome(picture.parities(salt_elements), SALT_BITS))


@functools.lru_cache(maxsize=8)
def master_key(password, salt):
    """Argon2id v1.3, 3 passes, 64 MiB, one lane (libsodium's only), 32 bytes."""
    return nacl.bindings.crypto_pwhash_alg(32, password, salt, ARGON2_OPSLIMIT, ARGON2_MEMLIMIT,
                                           nacl.bindings.crypto_pwhash_ALG_ARGON2ID13)


def subkeys(master):
    keys = {name: blake2b(k, label, master) for name, (k, label) in LABELS.items()}
    keys['length_mask'] = struct.unpack_from('<I', keys['length'], 0)[0]
    return keys


# ---------------------------------------------------------------------------
# 7. The keyed order
# ---------------------------------------------------------------------------

class KeyedOrder:
    """The partial Fisher-Yates shuffle from the front of a copy of tail
    (M - 1 draws in all), taken in steps: the first L entries are final
    after the first L steps, so the length is read before the rest."""

    def __init__(self, tail, order_key):
        self.tail = list(tail)
        self.stream = Keystream(order_key)
        self.done = 0

    def steps(self, until):
        """Takes the steps i < until (at most M - 1 in all)."""
        t, m = self.tail, len(self.tail)
        for i in range(self.done, min(until, m - 1)):
            j = i + self.stream.below(m - i)
            t[i], t[j] = t[j], t[i]
        self.done = max(self.done, min(until, m - 1))

    def first(self, count):
        self.steps(count)
        return self.tail[:count]

    def rest(self, start):
        self.steps(len(self.tail))
        return self.tail[start:]


# ---------------------------------------------------------------------------
# 8. The length
# ---------------------------------------------------------------------------

ENVELOPE_MIN = 17  # the 16-byte tag and the name length


def largest_bits(plan):
    return 2 * plan.width * plan.height // 5


def read_length(picture, plan, length_elements, mask):
    """The envelope length E in bytes, or None when out of bounds."""
    f = bits_to_bytes(syndrome(picture.parities(length_elements), LENGTH_BITS))
    e = struct.unpack('<I', f)[0] ^ mask
    if e < ENVELOPE_MIN or 8 * e > largest_bits(plan):
        return None
    return e


# ---------------------------------------------------------------------------
# 9. The payload and the envelope
# ---------------------------------------------------------------------------

BLOCK_ELEMENTS = 1 << 20
TAG_BYTES = 16
NAME_LIMIT = 50
AD_TEXT = b'Lumaquill stealth 1'


def block_count(p):
    return (p + BLOCK_ELEMENTS - 1) // BLOCK_ELEMENTS


def read_envelope(picture, payload_elements, e):
    """The E envelope bytes, from B independent blocks."""
    p, m = len(payload_elements), 8 * e
    blocks = block_count(p)
    bits = []
    for b in range(blocks):
        elements = payload_elements[b * p // blocks:(b + 1) * p // blocks]
        count = (b + 1) * m // blocks - b * m // blocks
        bits += syndrome(picture.parities(elements), count)
    return bits_to_bytes(bits)


def open_envelope(envelope, keys, plan):
    """The plaintext, or None when authentication fails."""
    ad = AD_TEXT + struct.pack('<II', plan.width, plan.height)
    try:
        return nacl.bindings.crypto_aead_xchacha20poly1305_ietf_decrypt(
            envelope, ad, keys['envelope_nonce'], keys['envelope_key'])
    except nacl.exceptions.CryptoError:
        return None


def split_plaintext(plaintext):
    """(stored name, zlib stream), or None for a name length out of bounds."""
    n = plaintext[0]
    if n > NAME_LIMIT or n > len(plaintext) - 1:
        return None
    return plaintext[1:1 + n], plaintext[1 + n:]


INT32_MAX = 2 ** 31 - 1


def content_cap(picture):
    """At most 20 * (3q - 4096) content bytes, q = the row bytes of the
    picture as a bitmap (rows padded to 4 bytes) per pixel size: the cap of
    a classic decode of the same picture (3q - 4096 saturates at 2^31 - 1)."""
    q = (picture.bits * picture.width + 31) // 32 * 4 * picture.height // (picture.bits // 8)
    return 20 * max(0, min(INT32_MAX, 3 * q - 4096))


def inflate(stream, cap):
    """The content of the zlib stream (RFC 1950) that plaintext holds, bytes
    after its end ignored; None when it does not restore within cap bytes."""
    try:
        d = zlib.decompressobj()
        out = d.decompress(stream, cap + 1)
        if not d.eof or len(out) > cap:
            return None
    except zlib.error:
        return None
    return out


# Invisible characters, dropped from a name: the general categories Cf, Zl
# and Zp, the Hangul fillers and the whole Tags block.
HANGUL_FILLERS = frozenset((0x115F, 0x1160, 0x3164, 0xFFA0))


def dropped(ch):
    code = ord(ch)
    return (unicodedata.category(ch) in ('Cf', 'Zl', 'Zp') or code in HANGUL_FILLERS
            or 0xE0000 <= code <= 0xE007F)


FALLBACK_NAME = 'decoded.bin'


def windows_1252(stored):
    """Windows-1252, its five unassigned bytes as the C1 controls of the
    same value (which then become '_')."""
    return ''.join(bytes([b]).decode('cp1252', errors='ignore') or chr(b) for b in stored)


def safe_name(stored):
    """The name a reader saves under: stored names are untrusted."""
    try:
        text = stored.decode('utf-8')
    except UnicodeDecodeError:
        text = windows_1252(stored)
    text = text[max(text.rfind('\\'), text.rfind('/')) + 1:]
    text = ''.join('_' if unicodedata.category(ch) == 'Cc' else ch for ch in text if not dropped(ch))
    if text in ('', '.', '..'):
        return FALLBACK_NAME
    stripped = text.lstrip('.')
    return '_' * (len(text) - len(stripped)) + stripped


# ---------------------------------------------------------------------------
# 10. Sizes
# ---------------------------------------------------------------------------

def sizes(width, height):
    """(safe, largest) in bytes of envelope content."""
    plan = Plan(width, height)
    if not plan.holds_stealth():
        return 0, 0
    safe = width * height // 20
    return max(0, safe // 8 - ENVELOPE_MIN), max(0, largest_bits(plan) // 8 - ENVELOPE_MIN)


# ---------------------------------------------------------------------------
# 12. Reading, step by step
# ---------------------------------------------------------------------------

class Extracted:
    def __init__(self):
        self.ok = False
        self.reason = ''
        self.salt = None
        self.envelope_bytes = None
        self.name = None        # stored name bytes; empty for a text
        self.content = None

    @property
    def is_text(self):
        return self.ok and self.name == b''

    @property
    def text(self):
        """A text ends at its first zero byte, as in classic images."""
        return self.content.split(b'\0', 1)[0]


def extract(data, password):
    """Opens a stealth image (file bytes) with a password (bytes)."""
    res = Extracted()
    picture = read_picture(data)
    plan = Plan(picture.width, picture.height)
    if picture.bits not in (24, 32) or not plan.holds_stealth():
        res.reason = 'the picture is too small or too large for a stealth image'
        return res
    salt_elements, tail = public_order(plan)
    res.salt = read_salt(picture, salt_elements)
    keys = subkeys(master_key(password, res.salt))
    order = KeyedOrder(tail, keys['order'])
    e = read_length(picture, plan, order.first(plan.l), keys['length_mask'])
    if e is None:
        res.reason = 'the length is out of bounds'
        return res
    res.envelope_bytes = e
    plaintext = open_envelope(read_envelope(picture, order.rest(plan.l), e), keys, plan)
    if plaintext is None:
        res.reason = 'the envelope does not authenticate'
        return res
    parts = split_plaintext(plaintext)
    if parts is None:
        res.reason = 'the stored name length is out of bounds'
        return res
    content = inflate(parts[1], content_cap(picture))
    if content is None:
        res.reason = 'the zlib stream does not restore within the cap'
        return res
    res.ok, res.name, res.content = True, parts[0], content
    return res


# ---------------------------------------------------------------------------
# 13. Test vectors
# ---------------------------------------------------------------------------

def self_test():
    assert PUBLIC_ORDER_KEY.hex() == '8cfa2452dc821ed1efe631f51709151115e46beb4cca77106c03e280a107d4ac'
    assert COLUMN_TABLE_KEY.hex() == '7f8fc33a0bae0bd3c86024ac827cd75018fa19aea69428a3cc9b2b70790cd6d8'
    assert bytes(COLUMNS[64:72]) == bytes.fromhex('65 51 45 71 57 5d 57 6f')
    assert COLUMNS[64] == 0x65 and COLUMNS[255] == 0x59 and len(COLUMNS) == 256
    assert all(c & 0x41 == 0x41 and c < 0x80 for c in COLUMNS)
    plan = Plan(64, 64)
    assert (plan.n, plan.spread, plan.s, plan.l, plan.p) == (12288, 19, 2432, 608, 9248)
    assert Plan(117, 117).spread == 64 and Plan(116, 116).spread < 64
    assert public_order(plan)[0][:8] == [4646, 6036, 3306, 11181, 5819, 5330, 8891, 4778]
    for p, m, want in (('100000', 3, '101'), ('010000', 3, '110'), ('000100', 3, '011'),
                       ('001100', 3, '001'), ('010000', 2, '11'), ('001000', 2, '10'),
                       ('100010', 2, '11')):
        got = ''.join(map(str, syndrome([int(c) for c in p], m)))
        assert got == want, (p, m, got, want)
    keys = subkeys(bytes(range(32)))
    assert keys['order'].hex() == 'ba627db1da4d5f050bcc71be6e290717ebeb186561f054b4afafa766242c74d5'
    assert keys['length'].hex() == 'f0c8245a85ae1883361e1508c9e9e4fb4b9f48d5f74bc55c269d125417f109aa'
    assert keys['length_mask'] == 0x5a24c8f0
    assert keys['envelope_key'].hex() == '2ebcce145e9fe2c48f39c01fbb71741e06e9851d971f3b6befd496d7781806e5'
    assert keys['envelope_nonce'].hex() == '6c6389dbee05417aef31770b43ce1b0c1c6e40614d7702eb'
    assert Keystream(keys['order']).take(16).hex() == 'ccfeee8b73eb64c5f4c2335b49c49057'
    stepped, whole = KeyedOrder(range(1000), keys['order']), KeyedOrder(range(1000), keys['order'])
    stepped.first(37)
    assert stepped.rest(0) == whole.rest(0) and sorted(whole.tail) == list(range(1000))
    assert sizes(64, 64) == (8, 187) and sizes(1000, 700) == (4358, 34983) and sizes(40, 40) == (0, 0)
    if HAVE_NACL:
        assert master_key(b'correct horse', bytes(range(16))).hex() == \
            'e3c889ca40ed01e6b6771fc8a5bf16e35ad60b41c9bd5d7e6d63adf51e50b0fd'


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument('image')
    ap.add_argument('--password', required=True)
    ap.add_argument('--out-dir', default='.')
    args = ap.parse_args()
    if not HAVE_NACL:
        sys.exit('python3-nacl (PyNaCl) is needed for Argon2id and XChaCha20-Poly1305')
    self_test()
    with open(args.image, 'rb') as f:
        data = f.read()
    try:
        res = extract(data, os.fsencode(args.password))
    except PictureError as e:
        print('cannot read the picture: %s' % e, file=sys.stderr)
        return 2
    if not res.ok:
        print('opens nothing under this password (%s)' % res.reason, file=sys.stderr)
        return 1
    if res.is_text:
        sys.stdout.buffer.write(res.text)
        return 0
    path = os.path.join(args.out_dir, safe_name(res.name))
    with open(path, 'wb') as f:
        f.write(res.content)
    print('stored name %r, %d bytes written to %s' % (res.name, len(res.content), path))
    return 0


if __name__ == '__main__':
    sys.exit(main())
