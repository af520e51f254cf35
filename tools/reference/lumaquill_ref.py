#!/usr/bin/env python3
"""Independent reference model of Lumaquill's stored format (encoder and decoder).

Python 3, standard library (and PyNaCl for sealed images).  Every step that the stored image depends on
is modelled to the bit: the chained SHA-1 context (whose finalisation does not
reset it and leaves byte groups reversed in its buffer), the generators, the
password strengthening, the pixel walk, the embedding modes and the container
layout.  Python floats are IEEE-754 doubles with each operation rounded to
nearest, and int() truncates toward zero, which is exactly the arithmetic the
generators are defined with.

Public entry points:
    encode(container, payload, name, password=None, quiz=None, speed=0,
           shrink=False, original_size=0, seal=False, seal_salt=None, seal_nonce=None) -> EncodeResult
    decode(image_bytes, password=None, answers=None, sealed=False) -> DecodeResult
    compress(data) -> bytes   (zlib stream at the default level)
Sealed images (seal=True, passwords only) need PyNaCl (Debian's
python3-nacl) for Argon2id and XChaCha20-Poly1305; HAVE_NACL says whether it
is there.  Everything else uses the standard library only.
Rescaled ("shrunk") containers are modelled too: scaled_image() stretches
by area averaging when reducing and bilinear interpolation when enlarging,
in integers only (see its comment).
"""

import hashlib
import math
import os
import struct
import zlib

import png_model

try:
    import nacl.bindings
    import nacl.exceptions
    import nacl.pwhash
    HAVE_NACL = True
except ImportError:  # sealed images cannot be made or opened
    HAVE_NACL = False

MASK32 = 0xFFFFFFFF

# ---------------------------------------------------------------------------
# Byte order helpers
# ---------------------------------------------------------------------------


def le32(b, o=0):
    return b[o] | (b[o + 1] << 8) | (b[o + 2] << 16) | (b[o + 3] << 24)


def be32(b, o=0):
    return (b[o] << 24) | (b[o + 1] << 16) | (b[o + 2] << 8) | b[o + 3]


def pack_le32(v):
    return struct.pack('<I', v & MASK32)


def s32(v):
    """Reinterpret a 32-bit pattern as a signed 32-bit integer."""
    v &= MASK32
    return v - (1 << 32) if v & 0x80000000 else v


def c_div(a, b):
    """Integer division truncating toward zero, as in C."""
    q = abs(a) // abs(b)
    return q if (a >= 0) == (b >= 0) else -q


# ---------------------------------------------------------------------------
# The runtime generator: one state shared by every user in a run
# ---------------------------------------------------------------------------


class RuntimeRandom:
    def __init__(self, seed=1):
        self.state = seed & MASK32
        self.draws = 0

    def srand(self, seed):
        self.state = seed & MASK32

    def rand(self):
        self.state = (self.state * 214013 + 2531011) & MASK32
        self.draws += 1
        return (self.state >> 16) & 0x7FFF


# ---------------------------------------------------------------------------
# Digests
# ---------------------------------------------------------------------------


def _rol(v, n):
    return ((v << n) | (v >> (32 - n))) & MASK32


class Sha1Context:
    """SHA-1 whose Final does not reset the chain.

    Compress leaves each four-byte group of the buffer byte-reversed; Final
    places the two count words little-endian at buffer[56..63] without
    reversing those two groups.  A fresh context per digest gives the standard
    SHA-1; the strengthening chain depends on the extra rules.
    """

    def __init__(self):
        self.h = [0, 0, 0, 0, 0]
        self.count_lo = 0
        self.count_hi = 0
        self.buf = bytearray(64)

    def init(self):
        self.h = [0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0]
        self.count_lo = 0
        self.count_hi = 0

    def _read_reverse_group(self, i):
        buf = self.buf
        o = 4 * i
        w = be32(buf, o)
        buf[o:o + 4] = buf[o:o + 4][::-1]
        return w

    def _compress(self):
        self._compress_words([self._read_reverse_group(i) for i in range(16)])

    def _compress_words(self, w16):
        w = list(w16)
        for i in range(16, 80):
            t = w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16]
            w.append(((t << 1) | (t >> 31)) & MASK32)
        a, b, c, d, e = self.h
        # Four loops instead of a branch per round: this runs millions of
        # times in the strengthening chain.
        for i in range(0, 20):
            t = (((a << 5) | (a >> 27)) + ((b & c) | (~b & d)) + e + 0x5A827999 + w[i]) & MASK32
            e, d, c, b, a = d, c, ((b << 30) | (b >> 2)) & MASK32, a, t
        for i in range(20, 40):
            t = (((a << 5) | (a >> 27)) + (b ^ c ^ d) + e + 0x6ED9EBA1 + w[i]) & MASK32
            e, d, c, b, a = d, c, ((b << 30) | (b >> 2)) & MASK32, a, t
        for i in range(40, 60):
            t = (((a << 5) | (a >> 27)) + ((b & c) | (b & d) | (c & d)) + e + 0x8F1BBCDC + w[i]) & MASK32
            e, d, c, b, a = d, c, ((b << 30) | (b >> 2)) & MASK32, a, t
        for i in range(60, 80):
            t = (((a << 5) | (a >> 27)) + (b ^ c ^ d) + e + 0xCA62C1D6 + w[i]) & MASK32
            e, d, c, b, a = d, c, ((b << 30) | (b >> 2)) & MASK32, a, t
        h = self.h
        self.h = [(h[0] + a) & MASK32, (h[1] + b) & MASK32, (h[2] + c) & MASK32,
                  (h[3] + d) & MASK32, (h[4] + e) & MASK32]

    def update(self, data):
        data = bytes(data)
        n = len(data)
        j = (self.count_lo >> 3) % 64
        lo = self.count_lo + 8 * n
        self.count_hi = (self.count_hi + (lo >> 32)) & MASK32
        self.count_lo = lo & MASK32
        pos = 0
        if j > 0 and n >= 64 - j:
            self.buf[j:64] = data[:64 - j]
            self._compress()
            pos = 64 - j
            j = 0
        while n - pos >= 64:
            self.buf[0:64] = data[pos:pos + 64]
            self._compress()
            pos += 64
        rest = data[pos:]
        self.buf[j:j + len(rest)] = rest

    def final(self):
        buf = self.buf
        j = (self.count_lo >> 3) % 64
        buf[j] = 0x80
        if j >= 56:
            buf[j + 1:64] = bytes(63 - j)
            self._compress()
            buf[0:56] = bytes(56)
        else:
            buf[j + 1:56] = bytes(55 - j)
        w = [self._read_reverse_group(i) for i in range(14)]
        w += [self.count_hi, self.count_lo]
        buf[56:60] = pack_le32(self.count_hi)
        buf[60:64] = pack_le32(self.count_lo)
        self._compress_words(w)
        return b''.join(struct.pack('>I', x) for x in self.h)


def sha1(data):
    """Standard SHA-1 (a fresh context per digest)."""
    return hashlib.sha1(bytes(data)).digest()


def md5(data):
    return hashlib.md5(bytes(data)).digest()


# ---------------------------------------------------------------------------
# Generators
# ---------------------------------------------------------------------------

MT_N = 351
UNIT_SCALE = struct.unpack('<d', struct.pack('<Q', 0x3DF0000000100000))[0]


class MersenneGen:
    def __init__(self):
        self.state = [0] * MT_N
        self.index = MT_N
        self.seed(100)

    def seed(self, s):
        s &= MASK32
        for i in range(MT_N):
            s = (s * 29943829 - 1) & MASK32
            self.state[i] = s
        self.index = MT_N

    def _regenerate(self):
        st = self.state
        for i in range(MT_N):
            y = (st[i] & 0xFFF80000) | (st[(i + 1) % MT_N] & 0x0007FFFF)
            st[i] = st[(i + 175) % MT_N] ^ (y >> 1) ^ (0xEABD75F5 if y & 1 else 0)
        self.index = 0

    def next32(self):
        if self.index >= MT_N:
            self._regenerate()
        y = self.state[self.index]
        self.index += 1
        y ^= y >> 11
        y ^= (y << 7) & 0x655E5280
        y ^= (y << 15) & 0xFFD58000
        y ^= y >> 17
        return y & MASK32

    def next_unit(self):
        return self.next32() / 4294967296.0  # exact: y × 2^-32

    def range(self, lo, hi):
        u = self.next_unit()
        n = float(s32(hi - lo + 1))
        t = s32(int(u * n) + lo)
        if t > hi:
            t = hi
        if hi < lo:
            return -0x80000000
        return t


def _isaac_mix(a, b, c, d, e, f, g, h):
    a ^= (b << 11) & MASK32; d = (d + a) & MASK32; b = (b + c) & MASK32
    b ^= c >> 2;             e = (e + b) & MASK32; c = (c + d) & MASK32
    c ^= (d << 8) & MASK32;  f = (f + c) & MASK32; d = (d + e) & MASK32
    d ^= e >> 16;            g = (g + d) & MASK32; e = (e + f) & MASK32
    e ^= (f << 10) & MASK32; h = (h + e) & MASK32; f = (f + g) & MASK32
    f ^= g >> 4;             a = (a + f) & MASK32; g = (g + h) & MASK32
    g ^= (h << 8) & MASK32;  b = (b + g) & MASK32; h = (h + a) & MASK32
    h ^= a >> 9;             c = (c + h) & MASK32; a = (a + b) & MASK32
    return a, b, c, d, e, f, g, h


class IsaacCore:
    """ISAAC, 32-bit words, 256-word tables, without deviation."""

    def __init__(self):
        self.rsl = [0] * 256
        self.mem = [0] * 256
        self.a = self.b = self.c = 0
        self.cnt = 0

    def generate(self):
        mm = self.mem
        r = self.rsl
        self.c = (self.c + 1) & MASK32
        a = self.a
        b = (self.b + self.c) & MASK32
        for i in range(256):
            x = mm[i]
            m = i & 3
            if m == 0:
                a ^= (a << 13) & MASK32
            elif m == 1:
                a ^= a >> 6
            elif m == 2:
                a ^= (a << 2) & MASK32
            else:
                a ^= a >> 16
            a = (mm[(i + 128) & 255] + a) & MASK32
            y = (mm[(x >> 2) & 255] + a + b) & MASK32
            mm[i] = y
            b = (mm[(y >> 10) & 255] + x) & MASK32
            r[i] = b
        self.a = a
        self.b = b

    def init_seeded(self):
        self.a = self.b = self.c = 0
        v = [0x9E3779B9] * 8
        for _ in range(4):
            v = list(_isaac_mix(*v))
        for table in (self.rsl, self.mem):
            for i in range(0, 256, 8):
                v = [(v[k] + table[i + k]) & MASK32 for k in range(8)]
                v = list(_isaac_mix(*v))
                self.mem[i:i + 8] = v
        self.generate()
        self.cnt = 256

    def next32(self):
        if self.cnt != 0:
            self.cnt -= 1
        else:
            self.generate()
            self.cnt = 255
        return self.rsl[self.cnt]

    def next_unit(self):
        return self.next32() * UNIT_SCALE


class Tt800Core:
    def __init__(self):
        self.x = [0] * 25
        self.k = 0

    def next_unit(self):
        x = self.x
        if self.k == 25:
            for j in range(18):
                x[j] = x[j + 7] ^ (x[j] >> 1)
            for j in range(18, 25):
                x[j] = x[j - 18] ^ (x[j] >> 1)
            self.k = 0
        y = x[self.k]
        self.k += 1
        y ^= (y << 7) & 0x2B5B2500
        y ^= (y << 15) & 0xDB8B0000
        y ^= y >> 16
        return (y & MASK32) * UNIT_SCALE


class IsaacGen:
    def __init__(self, rt):
        self.rt = rt
        self.mt = MersenneGen()
        self.isaac = IsaacCore()
        self.tt = Tt800Core()

    def reseed(self, key):
        assert len(key) == 36
        d = sha1(key)
        self.mt.seed(le32(d, 0))
        self.rt.srand(le32(d, 4))
        block = bytes(self.rt.rand() & 0xFF for _ in range(1024))
        self.isaac.rsl = [le32(block, 4 * i) for i in range(256)]
        self.isaac.mem = [0] * 256
        self.isaac.init_seeded()
        block = bytes(self.rt.rand() & 0xFF for _ in range(100))
        self.tt.x = [le32(block, 4 * i) for i in range(25)]
        self.tt.k = 0

    def next_unit(self):
        m = self.mt.next_unit()
        s = self.isaac.next_unit() + m
        s = self.tt.next_unit() + s
        if s >= 1.0:
            s = s - 1.0
        return s

    def range(self, lo, hi):
        n = s32(hi - lo + 1)
        if n <= 0:
            return -1
        t = int(self.next_unit() * float(n))
        if t >= n:
            t -= n
        return lo + t


# ---------------------------------------------------------------------------
# Key material
# ---------------------------------------------------------------------------

SPEED_PASSES = {0: 1000, 1: 100000, 2: 500000, 3: 1000000, 4: 10000000}

# Mangle is a pure function of its inputs; the slow passes are remembered so
# that encoding and decoding with one key strengthen it once per process.
_MANGLE_MEMO = {}


class KeyMaterial:
    def __init__(self, rt):
        self.rt = rt
        self.password_digest = bytes(20)
        self.password_md5 = bytes(16)
        self.reset()

    def reset(self):
        self.marker = bytes(20)
        self.quizlock_present = 0
        self.mode_fixed = 0
        self.position_seed = bytes(36)
        self.whitening_seed = bytes(36)
        self.speed = 2
        self.mode = 0
        self.level_byte = 128
        self.check_byte = 128
        self.questions = None  # list of (question bytes, hint bytes, answer key)

    def derive_marker(self):
        self.level_byte = self.password_digest[9]
        self.check_byte = self.password_digest[10]
        self.rt.srand(le32(self.password_digest, 4))
        self.marker = bytes(self.rt.rand() % 255 for _ in range(20))

    def publish_seeds(self):
        self.position_seed = self.password_digest + self.password_md5
        self.whitening_seed = self.password_md5 + self.password_digest

    def mangle(self, speed):
        key = (self.password_digest, self.password_md5, speed)
        if key not in _MANGLE_MEMO:
            self._mangle(speed)
            _MANGLE_MEMO[key] = (self.password_digest, self.password_md5)
        self.password_digest, self.password_md5 = _MANGLE_MEMO[key]
        self.publish_seeds()

    def _mangle(self, speed):
        ctx = Sha1Context()
        ctx.init()
        gen = MersenneGen()
        gen.seed(le32(self.password_digest, 0))
        passes = SPEED_PASSES.get(speed, 0)
        block = self.password_digest + self.password_md5
        for _ in range(passes):
            ctx.update(block)
            self.password_digest = ctx.final()
            self.password_md5 = md5(self.password_digest)
            if gen.range(0, 1) == 1:
                block = self.password_md5 + self.password_digest
            else:
                block = self.password_digest + self.password_md5
        ctx.update(block)
        self.password_digest = ctx.final()
        self.publish_seeds()


def question_set(quiz):
    """Slots from (question, hint, answer) triples, compacted.

    A slot whose question is empty is unused and contributes nothing, not
    even its answer, to the key text.  Returns (slots, key text bytes).
    """
    slots = []
    for question, hint, answer in list(quiz)[:5]:
        q, h, a = (_utf8(question), _utf8(hint), _utf8(answer))
        if q:
            slots.append((q, h, a, sha1(a)))
    return slots, b''.join(s[2] for s in slots)


def _utf8(text):
    return text.encode('utf-8') if isinstance(text, str) else bytes(text)


# ---------------------------------------------------------------------------
# Bitmap image
# ---------------------------------------------------------------------------


class BmpError(Exception):
    pass


class DibImage:
    def __init__(self):
        self.header = None   # 40-byte info header + colour table
        self.pixels = None
        self.pixel_bytes = 0

    # header fields
    def _hfield(self, fmt, off):
        return struct.unpack_from(fmt, self.header, off)[0]

    @property
    def width(self):
        return self._hfield('<i', 4) if self.header else 0

    @property
    def height(self):
        return self._hfield('<i', 8) if self.header else 0

    @property
    def bits(self):
        return self._hfield('<H', 14) if self.header else 0

    @property
    def compression(self):
        return self._hfield('<I', 16)

    @staticmethod
    def color_count_of(info):
        used = struct.unpack_from('<I', info, 32)[0] & 0xFFFF
        if used:
            return used
        bits = struct.unpack_from('<H', info, 14)[0]
        return {1: 2, 4: 16, 8: 256}.get(bits, 0)

    @property
    def stride(self):
        return ((self.bits * self.width + 31) // 32) * 4

    def is_valid(self):
        return self.pixels is not None

    def read(self, data):
        self.header = self.pixels = None
        length = len(data)
        if png_model.is_png(data):
            return self._read_png(data)
        if length < 14 or data[0:2] != b'BM':
            return 0
        if length < 54:
            return 0
        info = data[14:54]
        n = self.color_count_of(info)
        if length < 54 + 4 * n:
            self.header = bytearray(info)
            return 0
        self.header = bytearray(data[14:54 + 4 * n])
        self.pixel_bytes = length - 54 - 4 * n
        self.pixels = bytearray(data[54 + 4 * n:])
        # Complete rows of a bottom-up uncompressed image are what the rest
        # of the model assumes; anything else is refused.
        if self.height <= 0 or self.width <= 0 or self.compression != 0 \
                or struct.unpack_from('<I', self.header, 0)[0] != 40 \
                or self.pixel_bytes < self.stride * self.height:
            self.header = self.pixels = None
            return 0
        return length

    def _read_png(self, data):
        """A PNG loads as the BMP of the same picture would (png_model)."""
        try:
            header, rows = png_model.read_png(data)
        except (png_model.PngError, zlib.error, KeyError, IndexError, struct.error, TypeError):
            return 0
        self.header = bytearray(header)
        self.pixels = rows
        self.pixel_bytes = len(rows)
        return len(data)

    def write(self):
        hdr = self.header
        bits, width, height = self.bits, self.width, self.height
        if self.compression in (1, 2):
            image_size = self._hfield('<I', 20)
        else:
            image_size = (((bits * width + 31) // 32) * 4 * height) & MASK32
            struct.pack_into('<I', hdr, 20, image_size)
        header_size = self._hfield('<I', 0)
        palette = len(hdr) - 40
        fh = b'BM' + struct.pack('<IHHI', 14 + header_size + palette + image_size,
                                 0, 0, 14 + header_size + palette)
        return fh + bytes(hdr) + bytes(self.pixels[:self.stride * height])

    def _offset(self, x, y):
        r = self.height - y
        if x < 0 or x > self.width - 1 or r < 0 or r > self.height - 1:
            raise BmpError('pixel (%d, %d) outside the picture' % (x, y))
        return r * self.stride + x * (self.bits // 8)

    def get_pixel(self, x, y):
        o = self._offset(x, y)
        p = self.pixels
        if self.bits == 24:
            return p[o] | (p[o + 1] << 8) | (p[o + 2] << 16)
        if self.bits == 32:
            return le32(p, o)
        raise BmpError('unsupported bit count')

    def set_pixel(self, x, y, value):
        o = self._offset(x, y)
        p = self.pixels
        if self.bits == 24:
            p[o] = value & 0xFF
            p[o + 1] = (value >> 8) & 0xFF
            p[o + 2] = (value >> 16) & 0xFF
        elif self.bits == 32:
            p[o:o + 4] = pack_le32(value)
        else:
            raise BmpError('unsupported bit count')


def make_bmp(width, height, bits, pixel_fn, extra=b'', xres=0, yres=0,
             colors_used=0, image_size=0, offset=None):
    """A bottom-up bitmap file; pixel_fn(x, y) gives (b, g, r[, fourth]).

    colors_used adds a colour table of its low 16 bits entries; image_size
    and offset fill those header fields with arbitrary values (readers
    ignore the offset and writers recompute the image size).
    """
    stride = ((bits * width + 31) // 32) * 4
    bpp = bits // 8
    rows = bytearray(stride * height)
    for r in range(height):
        y = height - r
        for x in range(width):
            px = pixel_fn(x, y)
            o = r * stride + x * bpp
            rows[o:o + bpp] = bytes(px[:bpp]) + bytes(bpp - len(px[:bpp]))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, image_size, xres, yres,
                       colors_used, 0)
    table = bytes((i * 37 + k) & 0xFF for i in range(colors_used & 0xFFFF) for k in range(4))
    start = 54 + len(table)
    fh = b'BM' + struct.pack('<IHHI', start + len(rows) + len(extra), 0, 0,
                             start if offset is None else offset)
    return fh + info + table + bytes(rows) + extra


# ---------------------------------------------------------------------------
# Container preparation
# ---------------------------------------------------------------------------


def noise_side(size):
    return int(math.sqrt(float(size // 3 + 4096))) + 3


def capacity_for(width, height, bits, mode):
    """Capacity of a width x height picture, saturated to the int32 range."""
    p = 0
    if bits >= 8 and width > 0 and height > 0:
        p = ((width * bits + 31) >> 5) * height * 4 // (bits // 8)
    value = {0: p // 8, 1: p // 3, 2: p // 2, 3: p, 4: 3 * p, 5: 3 * p}.get(mode, 0) - 4096
    return max(-2 ** 31, min(2 ** 31 - 1, value))


def decodable_bytes(capacity5):
    """A decode restores at most 20 x Capacity(5) bytes."""
    return 20 * capacity5 if capacity5 > 0 else 0


# The picture limits every reader and writer shares: the longest side, and
# the most bytes of stored rows (a picture has at least three bytes a
# pixel, which bounds its pixels).
MAX_SIDE = 1 << 16
MAX_ROW_BYTES = 1 << 30


def fits_limits(width, height, bits):
    return (0 < width <= MAX_SIDE and 0 < height <= MAX_SIDE and width * height <= MAX_ROW_BYTES // 3
            and ((bits * width + 31) // 32) * 4 * height <= MAX_ROW_BYTES)


def noise_side_for(size, original_size):
    """The usual noise side, raised until the picture's decode can restore
    original_size bytes, while the picture stays within the limits."""
    n = noise_side(size)
    while decodable_bytes(capacity_for(n + 2, n + 2, 24, 5)) < original_size:
        if not fits_limits(n + 3, n + 3, 24):
            break
        n += 1
    return n


def too_large_to_decode(original_size, decodable):
    return ('This data is too large to be decoded again from this image: it has %d bytes, and a decode '
            'of this image restores at most %d bytes. Use a larger picture.' % (original_size, decodable))


def noise_image(n, rt):
    width = height = n + 2
    stride = ((24 * width + 31) // 32) * 4
    rows = bytes(rt.rand() % 255 for _ in range(stride * height))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, stride * height, 0, 0, 0, 0)
    fh = b'BM' + struct.pack('<IHHI', 54 + stride * height, 0, 0, 54)
    return fh + info + rows


def _f32(v):
    return struct.unpack('<f', struct.pack('<f', v))[0]


def shrink_target(size):
    return (3 * size + 4096) & MASK32


def _area_weights(src, dst):
    """dst <= src: destination i covers [i*src, (i+1)*src) and source j covers
    [j*dst, (j+1)*dst), in 1/dst of a source pixel; the weight is the
    overlap.  Every destination's weights sum to src."""
    axis = []
    for i in range(dst):
        begin, end = i * src, (i + 1) * src
        taps = []
        j = begin // dst
        while j * dst < end:
            taps.append((j, min(end, (j + 1) * dst) - max(begin, j * dst)))
            j += 1
        axis.append(taps)
    return src, axis


def _bilinear_weights(src, dst):
    """dst > src: destination i samples at n / (2*dst) source pixels with
    n = max(0, (2i+1)*src - dst); source j = n // (2*dst) gets 2*dst - f and
    source min(j+1, src-1) gets f = n % (2*dst)."""
    axis = []
    for i in range(dst):
        n = max(0, (2 * i + 1) * src - dst)
        j, f = divmod(n, 2 * dst)
        taps = [(j, 2 * dst - f)]
        if f:
            taps.append((min(j + 1, src - 1), f))
        axis.append(taps)
    return 2 * dst, axis


def _axis_weights(src, dst):
    return _area_weights(src, dst) if dst <= src else _bilinear_weights(src, dst)


def scaled_image(img, width, height):
    """The whole 24- or 32-bit img stretched to width x height, as a 24-bit
    bmp.  Each channel is sum(wx * wy * value) over the column and row taps,
    plus half the total weight, divided (truncating) by the total weight
    Wx * Wy: the weighted average rounded half up.  Rows are taken in
    storage order (bottom-up); padding bytes are 0."""
    bpp = img.bits // 8
    wx_total, columns = _axis_weights(img.width, width)
    wy_total, rows = _axis_weights(img.height, height)
    total = wx_total * wy_total
    src_stride = img.stride
    stride = ((24 * width + 31) // 32) * 4
    filtered = {}

    def filter_row(j):
        if j not in filtered:
            base = j * src_stride
            row = []
            for taps in columns:
                sums = [0, 0, 0]
                for sx, w in taps:
                    at = base + sx * bpp
                    for c in range(3):
                        sums[c] += w * img.pixels[at + c]
                row.extend(sums)
            filtered[j] = row
        return filtered[j]

    out = bytearray()
    for taps in rows:
        acc = [0] * (3 * width)
        for sy, w in taps:
            row = filter_row(sy)
            for c in range(3 * width):
                acc[c] += w * row[c]
        out += bytes((v + total // 2) // total for v in acc)
        out += bytes(stride - 3 * width)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, stride * height, 0, 0, 0, 0)
    fh = b'BM' + struct.pack('<IHHI', 54 + stride * height, 0, 0, 54)
    return fh + info + bytes(out)


def shrink_size(width, height, target):
    """Size of the rescaled container for a shrink target."""
    t = _f32(float(target))
    w = _f32(float(width))
    scale = math.sqrt(t / (float(height) * w))
    return int(w * scale + 3.0), int(float(height) * scale + 3.0)


# ---------------------------------------------------------------------------
# Engine
# ---------------------------------------------------------------------------

QUESTION_SIGNATURE = bytes.fromhex('0A1B2C3D4E5F6A7B8C9D') * 2
HEADER_SKIP_PIXELS = 60
NAME_LIMIT = 50
# An EmbedMode 4 name must leave room for its closing Marker within the 50
# bytes the reader takes.
NOISE_NAME_LIMIT = 30
# The longest extension (its '.' included) a cut name keeps.
MAX_KEPT_EXTENSION = 16
MODE_NONE = 6

TEXT_DECODED, FILE_WRITTEN, NOTHING_DECODED = 0, 1, 2


PIXELS_PER_BYTE = (8, 3, 2, 1)


def walk_positions_left(width, height, remaining):
    """Positions the walk still hands out, the current one included, with
    remaining interior cells free.  They come while remaining >= 100, and the
    random draws (uniform over the (w - 1) x (h - 1) cells) then always find
    a free one in pictures of 3 rows or more; a 2-row picture, which has no
    row for the fallback scan, is counted only while 50 cells of its row are
    free; a 1-row picture has none."""
    positions = remaining - 99
    if height < 2:
        return 0
    if height == 2:
        free_cells = (width - 1) - (2 * (width - 2) - remaining)
        positions = min(positions, free_cells - 49)
    return max(positions, 0)


def run_positions(mode, size, name_bytes):
    """Mode header (2 bytes in EmbedMode 1), payload, End, name field, End;
    an End is an end pixel and the CheckByte."""
    ppb = PIXELS_PER_BYTE[mode]
    return 2 * 3 + ppb * (size + name_bytes) + 2 * (1 + ppb)


def largest_payload(img):
    """info's largest payload: EmbedMode 3 after a question header without
    questions, with a 50-byte name, below Capacity(3) when that is positive,
    at most Capacity(5)."""
    w, h = img.width, img.height
    rows = h - 2 if h > 2 else h
    positions = walk_positions_left(w, h, rows * (w - 2) - HEADER_SKIP_PIXELS)
    room = positions - run_positions(3, 0, NAME_LIMIT)
    largest = room
    cap3 = capacity_for(w, h, img.bits, 3)
    if cap3 > 0:
        largest = min(largest, cap3 - 1)
    largest = min(largest, capacity_for(w, h, img.bits, 5))
    return max(largest, 0)


class UsedPixelMap:
    def __init__(self, width=100, height=100):
        self.resize(width, height)

    def resize(self, width, height):
        self.width = width
        self.height = height
        self.reset()

    def reset(self):
        self.cells = bytearray(self.width * self.height)
        rows = self.height - 2 if self.height > 2 else self.height
        self.remaining = rows * (self.width - 2)

    def free(self, x, y):
        return self.cells[y * self.width + x] == 0

    def mark(self, x, y):
        if 0 <= x < self.width and 0 <= y < self.height:
            i = y * self.width + x
            if self.cells[i] == 0:
                self.cells[i] = 1
                self.remaining -= 1


class StegEngine(DibImage):
    def __init__(self, rt):
        super().__init__()
        self.rt = rt
        self.used = UsedPixelMap()
        self.keys = KeyMaterial(rt)
        self.fallback_scan = 0
        self.header_mode = 0
        self.cur = (-1, -1)
        self.position_gen = IsaacGen(rt)
        self.whitening_gen = IsaacGen(rt)
        self.write_index = 0
        self.read_index = 0
        self.last_write_ok = True
        self.closing_complete = True
        self.key_text = None       # the key text as typed, which opens a sealed envelope
        self.sealed_key = False    # keyed with T' of key_text: an envelope must open

    # -- container -------------------------------------------------------
    def is_usable(self):
        return self.is_valid() and self.bits >= 24

    def load_container(self, data):
        self.read(data)
        if not self.is_usable():
            return False
        self.used.resize(self.width, self.height)
        self.fallback_scan = 0
        return True

    def capacity(self, mode):
        # Saturates instead of wrapping: no stored image is that large.
        return capacity_for(self.width, self.height, self.bits, mode)

    def positions_left(self):
        return walk_positions_left(self.width, self.height, self.used.remaining)

    def choose_mode(self, size, name_bytes=0):
        # Called once the question header is written: the rest of the walk
        # must hold the mode's run.  A mode whose capacity is zero or
        # negative never fits; a container too small for even the densest
        # mode's capacity has only the walk to go by.
        rated = self.capacity(3) > 0
        positions = self.positions_left()
        for mode in range(4):
            cap = self.capacity(mode)
            if rated and not (cap > 0 and size < cap):
                continue
            if run_positions(mode, size, name_bytes) <= positions:
                return mode
        return MODE_NONE

    # -- walk ------------------------------------------------------------
    def next_position(self):
        w, h = self.width, self.height
        if self.used.remaining < 100:
            return (-1, -1)
        if self.fallback_scan or self.header_mode:
            return self._scan(w - 1, h - 1)
        attempts = (2 * w * h) & MASK32
        for _ in range(attempts):
            x = self.position_gen.range(1, w - 1)
            y = self.position_gen.range(1, h - 1)
            if self.used.free(x, y):
                return (x, y)
        self.fallback_scan = 1
        return self._scan(w - 2, h - 2)

    def _scan(self, xmax, ymax):
        for y in range(1, ymax + 1):
            for x in range(1, xmax + 1):
                if self.used.free(x, y):
                    return (x, y)
        return (-1, -1)

    def advance(self):
        self.cur = self.next_position()

    def write_pixel(self, x, y, value):
        self.set_pixel(x, y, value)
        self.used.mark(x, y)

    # -- bytes -----------------------------------------------------------
    def _bounds_fail(self):
        x, y = self.cur
        return y > self.height or x < 0 or y < 0

    def write_byte(self, value):
        if not self.is_valid() or self.cur[0] == -1:
            return False
        if not self.header_mode:
            value ^= self.whitening_gen.range(0, 255)
        mode = self.keys.mode
        if mode == 4:
            x, y = self.cur
            px = self.get_pixel(x, y)
            shift = 8 * self.write_index
            px = (px & ~(0xFF << shift) & MASK32) | (value << shift)
            self.write_pixel(x, y, px)
            self.write_index += 1
            if self.write_index == 3:
                self.write_index = 0
                self.advance()
            return True
        k = 0
        while k < 8:
            if self._bounds_fail():
                return False
            x, y = self.cur
            px = self.get_pixel(x, y)
            ch = [px & 0xFF, (px >> 8) & 0xFF, (px >> 16) & 0xFF]  # blue, green, red
            if mode == 0:
                c = self.rt.rand() % 3
                ch[c] = (ch[c] & ~1) | ((value >> k) & 1)
                k += 1
            elif mode == 1:
                for c in (2, 1, 0):
                    if k < 8:
                        ch[c] = (ch[c] & ~1) | ((value >> k) & 1)
                        k += 1
            elif mode == 2:
                for c in (2, 1, 0):
                    if k < 8:
                        ch[c] = (ch[c] & ~3) | ((value >> k) & 3)
                        k += 2
            elif mode == 3:
                ch[2] = (ch[2] & ~7) | (value & 7)
                ch[1] = (ch[1] & ~7) | ((value >> 3) & 7)
                ch[0] = (ch[0] & ~3) | ((value >> 6) & 3)
                k = 9
            else:
                raise ValueError('mode %d cannot be written' % mode)
            if (ch[0] + ch[1] + ch[2]) // 3 == self.keys.level_byte:
                ch[0] = ch[0] + 8 if ch[0] <= 128 else ch[0] - 8
            px = (px & 0xFF000000) | ch[0] | (ch[1] << 8) | (ch[2] << 16)
            self.write_pixel(x, y, px)
            self.advance()
        return True

    def read_byte(self, ignore_end):
        """Returns (ok, value)."""
        if not self.is_valid():
            return False, 0
        out = 0
        mode = self.keys.mode
        if mode == 4:
            if self._bounds_fail():
                return False, out
            x, y = self.cur
            px = self.get_pixel(x, y)
            out = (px >> (8 * self.read_index)) & 0xFF
            if not self.header_mode:
                out ^= self.whitening_gen.range(0, 255)
            self.used.mark(x, y)
            self.read_index += 1
            if self.read_index == 3:
                self.read_index = 0
                self.advance()
                if self._bounds_fail():
                    return False, out
                self.used.mark(*self.cur)
            return True, out
        k = 0
        while k < 8:
            if self._bounds_fail():
                return False, out
            x, y = self.cur
            px = self.get_pixel(x, y)
            ch = [px & 0xFF, (px >> 8) & 0xFF, (px >> 16) & 0xFF]
            if (ch[0] + ch[1] + ch[2]) // 3 == self.keys.level_byte and not ignore_end:
                self.used.mark(x, y)
                return False, 255
            if mode == 0:
                c = self.rt.rand() % 3
                out |= (ch[c] & 1) << k
                k += 1
            elif mode == 1:
                for c in (2, 1, 0):
                    if k < 8:
                        out |= (ch[c] & 1) << k
                        k += 1
            elif mode == 2:
                for c in (2, 1, 0):
                    if k < 8:
                        out |= (ch[c] & 3) << k
                        k += 2
            elif mode == 3:
                out = (ch[2] & 7) | ((ch[1] & 7) << 3) | ((ch[0] & 3) << 6)
                k = 9
            self.used.mark(x, y)
            self.advance()
        out &= 0xFF
        if not self.header_mode:
            out ^= self.whitening_gen.range(0, 255)
        return True, out

    def write_end_pixel(self):
        if not self.is_valid() or self.cur[0] == -1:
            return False
        x, y = self.cur
        px = self.get_pixel(x, y)
        ch = [px & 0xFF, (px >> 8) & 0xFF, (px >> 16) & 0xFF]
        level = self.keys.level_byte
        i = 0
        while (ch[0] + ch[1] + ch[2]) // 3 != level:
            if ch[i] > level:
                ch[i] -= 1
            elif ch[i] < level:
                ch[i] += 1
            i = (i + 1) % 3
        px = (px & 0xFF000000) | ch[0] | (ch[1] << 8) | (ch[2] << 16)
        self.write_pixel(x, y, px)
        self.advance()
        self.last_write_ok = self.write_byte(self.keys.check_byte)
        return True

    def write_buffer(self, data):
        for b in data:
            if not self.write_byte(b):
                return False
        return True

    def read_buffer(self, count, ignore_end):
        """Returns (result, field bytes)."""
        dest = bytearray()
        marker = self.keys.marker
        i = 0
        while i < count:
            ok, b = self.read_byte(ignore_end)
            if not ok and not ignore_end:
                return b == 255, bytes(dest)
            dest.append(b)
            if self.keys.mode == 4 and i >= 19 and b == marker[19] \
                    and bytes(dest[i - 19:i + 1]) == marker:
                return False, bytes(dest[:i - 19])
            i += 1
        return True, bytes(dest)

    # -- layout ----------------------------------------------------------
    def _start_header(self):
        self.used.reset()
        self.fallback_scan = 0
        saved = (self.keys.level_byte, self.keys.check_byte, self.keys.mode)
        self.header_mode = 1
        self.keys.level_byte = self.keys.check_byte = 128
        self.advance()
        self.keys.mode = 1
        return saved

    def write_header(self):
        km = self.keys
        slots = km.questions if km.quizlock_present and km.questions else []
        n = min(len(slots), 5)
        saved = self._start_header()
        if n > 0:
            self.write_buffer(QUESTION_SIGNATURE)
            self.write_byte(n)
        else:
            for _ in range(HEADER_SKIP_PIXELS):
                self.used.mark(*self.cur)
                self.advance()
        for question, hint, _answer, key in slots[:n]:
            for field in (question, hint, key):
                self.write_buffer(field)
                self.write_end_pixel()
        km.level_byte, km.check_byte, km.mode = saved
        self.header_mode = 0
        return True

    def write_name(self, name):
        ok = self.write_buffer(stored_name(name))
        return self._end_complete() and ok

    def encode(self, data, name):
        km = self.keys
        if not self.is_usable():
            return False, 'Invalid container image.'
        self.write_index = self.read_index = 0
        self.write_header()
        name_field = len(stored_name(name)) if name else 0
        mode = km.mode if km.mode_fixed else self.choose_mode(len(data), name_field)
        if mode < MODE_NONE and not self._readable_back(mode, len(data)):
            mode = MODE_NONE
        if mode >= MODE_NONE:
            return False, 'Could not find a suitable encoder.'
        mode_byte = (mode & 7) | ((km.speed << 3) & 0xFF)
        km.publish_seeds()
        self.position_gen.reseed(km.position_seed)
        self.whitening_gen.reseed(km.whitening_seed)
        km.mode = 1
        self.write_buffer(bytes([0, mode_byte]))
        km.mode = mode
        km.mangle(km.speed)
        self.position_gen.reseed(km.position_seed)
        self.whitening_gen.reseed(km.whitening_seed)
        if not self.write_buffer(data):
            return False, 'Unable to encode data.'
        # The closing writes are not examined: a walk that runs out here
        # still gives a successful run, with an incomplete container.
        self.closing_complete = self._close_body(mode, _utf8(name))
        return True, ''

    def _readable_back(self, mode, size):
        """The reader takes at most Capacity(5) bytes of body before its
        closing field (none when that is not positive); EmbedMode 4 must fit
        the Marker in them too."""
        cap = self.capacity(5)
        return cap > 0 and size + (20 if mode == 4 else 0) <= cap

    def _close_body(self, mode, name_bytes):
        """Writes the fields after the payload; False when any write ran
        out of positions."""
        km = self.keys
        if mode == 4:
            ok = self.write_buffer(km.marker)
            if name_bytes:
                ok = self.write_buffer(stored_name(name_bytes, NOISE_NAME_LIMIT)) and ok
            return self.write_buffer(km.marker) and ok
        ok = self._end_complete()
        if name_bytes:
            return self.write_name(name_bytes) and ok
        return self._end_complete() and ok

    def _end_complete(self):
        """WriteEndPixel, telling whether the end pixel and its CheckByte
        both found a position."""
        if not self.write_end_pixel():
            return False
        return self.last_write_ok

    def read_header(self):
        km = self.keys
        self._start_header()
        cap = self.capacity(5)
        _, sig = self.read_buffer(20, True)
        if sig != QUESTION_SIGNATURE:
            km.quizlock_present = 0
            self.header_mode = 0
            return []
        ok, n = self.read_byte(False)
        # Without room for a field (Capacity(5) <= 0) the image is taken as
        # one without questions; such an image cannot be decoded anyway.
        if n == 0 or n > 5 or cap <= 0:
            km.quizlock_present = 0
            self.header_mode = 0
            return []
        km.quizlock_present = 1
        slots = []
        for _ in range(n):
            fields = []
            for _field in range(3):
                _, buf = self.read_buffer(cap, False)
                fields.append(buf)
                self.used.mark(*self.cur)
                self.advance()
                self.read_byte(False)
            question, hint, key = fields
            slots.append((_cut_zero(question), _cut_zero(hint), key[:20]))
        self.header_mode = 0
        return slots

    def read_mode_header(self):
        """First steps of Decode: keys the generators from the unstrengthened
        digests and reads the two mode-header bytes."""
        km = self.keys
        self.write_index = self.read_index = 0
        km.publish_seeds()
        self.position_gen.reseed(km.position_seed)
        self.whitening_gen.reseed(km.whitening_seed)
        km.mode = 1
        _, hdr = self.read_buffer(2, False)
        return hdr + bytes(2 - len(hdr))

    def decode(self):
        """Returns (outcome, payload bytes, name bytes, detail)."""
        km = self.keys
        cap = self.capacity(5)
        if cap <= 0:
            return NOTHING_DECODED, None, None, 'no input buffer'
        hdr = self.read_mode_header()
        km.mode = hdr[1] & 7
        speed = (hdr[1] >> 3) & 7
        km.mangle(speed)
        self.position_gen.reseed(km.position_seed)
        self.whitening_gen.reseed(km.whitening_seed)
        _, payload = self.read_buffer(cap, False)
        if km.mode != 4:
            self.used.mark(*self.cur)
            self.advance()
            _, check = self.read_byte(False)
            if check != km.check_byte:
                return NOTHING_DECODED, None, None, 'check byte'
        _, name = self.read_buffer(NAME_LIMIT, False)
        name = _cut_zero(name)
        try:
            d = zlib.decompressobj()
            out = d.decompress(payload, 20 * cap)
            if not d.eof or d.unconsumed_tail:
                raise zlib.error('incomplete or too large')
        except zlib.error as e:
            return NOTHING_DECODED, None, name, 'uncompress: %s' % e
        detail = 'mode %d speed %d' % (km.mode, speed)
        # Looked at before a text is cut at its first zero byte.
        # Only T' finds a sealed image's payload; under any other key an
        # envelope that does not open is a classic payload, as stored.
        if out.startswith(SEAL_TAG):
            opened = open_envelope(out, self.key_text, 20 * cap)
            if opened is not None:
                out = opened
                detail += ' sealed'
            elif self.sealed_key:
                return NOTHING_DECODED, None, name, detail + ' sealed: does not open'
            else:
                detail += ' stored as it is'
        return (FILE_WRITTEN if name else TEXT_DECODED), out, name, detail


def _cut_zero(b):
    i = b.find(0)
    return b if i < 0 else b[:i]


def _cut(b, limit, utf8):
    if len(b) <= limit:
        return b
    i = limit
    while utf8 and i > 0 and (b[i] & 0xC0) == 0x80:
        i -= 1
    return b[:i]


def _is_utf8(b):
    try:
        b.decode('utf-8', 'strict')
        return True
    except UnicodeDecodeError:
        return False


def stored_name(name, limit=NAME_LIMIT):
    """The stored name of a payload file: the part after the last backslash
    or slash, at most limit bytes (50, or 30 in EmbedMode 4).  A longer name
    keeps its extension (from its last '.', when that is not the first byte
    and the extension is at most 16 bytes) and cuts the part before it; a cut
    never splits a UTF-8 character."""
    b = _utf8(name)
    cut = max(b.rfind(b'\\'), b.rfind(b'/'))
    b = b[cut + 1:]
    if len(b) <= limit:
        return b
    utf8 = _is_utf8(b)
    dot = b.rfind(b'.')
    if dot <= 0 or len(b) - dot > MAX_KEPT_EXTENSION:
        return _cut(b, limit, utf8)
    ext = b[dot:]
    return _cut(b[:dot], limit - len(ext), utf8) + ext


# ---------------------------------------------------------------------------
# Sealed images
# ---------------------------------------------------------------------------

# The envelope: tag (8) || salt S (16) || nonce N (24) || XChaCha20-Poly1305-
# IETF(K, N, additional data = tag, plaintext = the zlib stream of the
# content) with K = Argon2id(T, S); it is then compressed and stored like any
# payload.  The stored format is keyed with T' = the lowercase hex digits of
# Argon2id(T, S0), S0 = SHA-256('Lumaquill sealed image key')[:16].
SEAL_TAG = b'LQSEAL01'
SEAL_SALT_BYTES = 16
SEAL_NONCE_BYTES = 24
SEAL_MAC_BYTES = 16
SEAL_HEADER_BYTES = len(SEAL_TAG) + SEAL_SALT_BYTES + SEAL_NONCE_BYTES
SEAL_OVERHEAD = SEAL_HEADER_BYTES + SEAL_MAC_BYTES
SEAL_OPSLIMIT = 3
SEAL_MEMLIMIT = 64 * 1024 * 1024
SEAL_KEY_SALT = hashlib.sha256(b'Lumaquill sealed image key').digest()[:16]


def argon2id(text, salt):
    """Argon2id v1.3, 3 passes, 64 MiB, one lane, 32 bytes."""
    return nacl.pwhash.argon2id.kdf(32, bytes(text), bytes(salt),
                                    opslimit=SEAL_OPSLIMIT, memlimit=SEAL_MEMLIMIT)


def sealed_key_text(text):
    """T': the key text that keys the stored format of a sealed image."""
    return argon2id(text, SEAL_KEY_SALT).hex().encode('ascii')


def seal_envelope(plaintext, text, salt=None, nonce=None):
    salt = os.urandom(SEAL_SALT_BYTES) if salt is None else bytes(salt)
    nonce = os.urandom(SEAL_NONCE_BYTES) if nonce is None else bytes(nonce)
    key = argon2id(text, salt)
    sealed = nacl.bindings.crypto_aead_xchacha20poly1305_ietf_encrypt(bytes(plaintext), SEAL_TAG, nonce, key)
    return SEAL_TAG + salt + nonce + sealed


def open_envelope(envelope, text, cap):
    """The content (the plaintext stream restored within cap bytes), or None
    when there is no key text, the envelope is short or does not
    authenticate, or its stream does not restore."""
    if text is None or len(envelope) < SEAL_OVERHEAD or not HAVE_NACL:
        return None
    salt = envelope[len(SEAL_TAG):len(SEAL_TAG) + SEAL_SALT_BYTES]
    nonce = envelope[len(SEAL_TAG) + SEAL_SALT_BYTES:SEAL_HEADER_BYTES]
    try:
        stream = nacl.bindings.crypto_aead_xchacha20poly1305_ietf_decrypt(
            bytes(envelope[SEAL_HEADER_BYTES:]), SEAL_TAG, bytes(nonce), argon2id(text, salt))
    except nacl.exceptions.CryptoError:
        return None
    try:
        d = zlib.decompressobj()
        out = d.decompress(stream, cap)
        if not d.eof or d.unconsumed_tail:
            return None
    except zlib.error:
        return None
    return out


# ---------------------------------------------------------------------------
# Flows
# ---------------------------------------------------------------------------


def compress(data):
    return zlib.compress(bytes(data))


class EncodeResult:
    def __init__(self):
        self.ok = False
        self.message = ''
        self.image = None          # bmp bytes when ok
        self.mode = None
        self.shrunk_to = None      # (width, height) when a shrink applies
        self.runtime_draws = 0
        self.closing_complete = None   # False: the walk ran out after the payload


def encode(container, payload, name='', password=None, quiz=None, speed=0, shrink=False, original_size=0,
           seal=False, seal_salt=None, seal_nonce=None):
    """Encode flow: container is bmp bytes, or None for a pure-noise image.

    payload is the compressed stream (see compress()); name is the payload
    file's path, or empty for text; quiz is a list of up to five (question,
    hint, answer) triples used instead of a password.  When shrink applies,
    the container is rescaled (scaled_image) and shrunk_to gives its size.  A run
    whose walk ran out after the payload succeeds with closing_complete
    False, as the closing writes are not examined.  original_size is the
    size of what payload was compressed from: the container must be able to
    give that many bytes back.  seal (passwords only) stores the compressed
    envelope of the payload, keyed with T'; salt and nonce are random unless
    given.
    """
    res = EncodeResult()
    rt = RuntimeRandom()
    eng = StegEngine(rt)
    if container is not None and not eng.load_container(container):
        res.message = 'No container image selected.'
        return res
    km = eng.keys
    km.reset()
    slots = question_set(quiz)[0] if quiz is not None else []
    key = key_text(password, quiz)
    if seal:
        assert quiz is None, 'sealing is for passwords only'
        envelope = seal_envelope(payload, key, seal_salt, seal_nonce)
        # A decode restores the envelope and then the content within the same
        # cap, so the container must give back the larger of the two.
        original_size = max(original_size, len(envelope))
        payload = compress(envelope)
        key = sealed_key_text(key)
    km.password_digest, km.password_md5 = sha1(key), md5(key)
    km.derive_marker()
    km.speed = speed
    if slots:
        km.quizlock_present = 1
        km.questions = slots
    size = len(payload)
    if container is None:
        n = noise_side_for(size, original_size)
        # Refused before the picture is made, so nothing is drawn.
        if not fits_limits(n + 2, n + 2, 24) or decodable_bytes(capacity_for(n + 2, n + 2, 24, 5)) < original_size:
            res.message = ('This data is too large for a pure noise image: its picture would be larger than '
                           'Lumaquill reads back, at most %d pixels a side, %d pixels and %d MiB of pixel rows. '
                           'Use a smaller file.' % (MAX_SIDE, MAX_ROW_BYTES // 3, MAX_ROW_BYTES >> 20))
            return res
        eng.load_container(noise_image(n, rt))
        km.mode_fixed = 1
        km.mode = 4
    if shrink:
        target = shrink_target(size)
        if target < eng.pixel_bytes:
            w, h = shrink_size(eng.width, eng.height, target)
            # Near the limits the rescaled picture would pass them: the
            # container is then kept.
            if fits_limits(w, h, 24) and decodable_bytes(capacity_for(w, h, 24, 5)) >= original_size:
                res.shrunk_to = (w, h)
                eng.load_container(scaled_image(eng, w, h))
    decodable = decodable_bytes(eng.capacity(5))
    if decodable < original_size:
        res.message = too_large_to_decode(original_size, decodable)
        return res
    ok, msg = eng.encode(payload, name)
    res.ok, res.message = ok, msg
    res.mode = km.mode
    res.runtime_draws = rt.draws
    res.closing_complete = eng.closing_complete
    if ok:
        res.image = eng.write()
    return res


class DecodeResult:
    def __init__(self):
        self.outcome = NOTHING_DECODED
        self.data = None           # decompressed payload
        self.name = None           # stored name bytes
        self.questions = []        # (question, hint, answer key) read from the header
        self.detail = ''


def _keyed_engine(image, password, answers, res, sealed=False):
    """Loads the image, reads its question header and hands the key over,
    as the decode flow does before the run (keyed with T' when sealed)."""
    eng = StegEngine(RuntimeRandom())
    if not eng.load_container(image):
        res.detail = 'No container image selected.'
        return None
    res.questions = eng.read_header()
    if res.questions:
        given = [_utf8(a) for a in (answers or [])]
        key = b''.join(given[:len(res.questions)])
    else:
        key = _utf8(password or '')
    eng.key_text = None if res.questions else key
    if sealed and not res.questions:
        key = sealed_key_text(key)
        eng.sealed_key = True
    km = eng.keys
    km.password_digest, km.password_md5 = sha1(key), md5(key)
    km.derive_marker()
    km.derive_marker()
    return eng


def decode(image, password=None, answers=None, sealed=False):
    """sealed: keyed with T' directly (lumaquill tries T first, then T')."""
    res = DecodeResult()
    eng = _keyed_engine(image, password, answers, res, sealed)
    if eng is not None:
        res.outcome, res.data, res.name, res.detail = eng.decode()
    return res


def key_text(password=None, quiz=None):
    """The bytes that are hashed into the password digests."""
    if quiz is not None:
        return question_set(quiz)[1]
    return _utf8(password or '')


def marker_for(key):
    """The 20-byte Marker that DeriveMarker gives for a key text."""
    km = KeyMaterial(RuntimeRandom())
    km.password_digest = sha1(key)
    km.derive_marker()
    return km.marker


def peek_mode_byte(image, password=None, answers=None):
    """The ModeByte that a decode with this key would read (a wrong key
    reads a random one, whose speed bits may ask for millions of passes)."""
    res = DecodeResult()
    eng = _keyed_engine(image, password, answers, res)
    return None if eng is None else eng.read_mode_header()[1]


# ---------------------------------------------------------------------------
# Known-answer self test
# ---------------------------------------------------------------------------


def self_test():
    def hx(b):
        return b.hex().upper()

    c = Sha1Context(); c.init(); c.update(b'abc')
    assert hx(c.final()) == 'A9993E364706816ABA3E25717850C26C9CD0D89D'
    assert hx(c.final()) == '745485E8CF69F7762F2A0DD7E7C6CB12E33EFFBC'
    c = Sha1Context(); c.init(); c.update(bytes(36))
    assert hx(c.final()) == '8696CF0F4655636CC93C566C1BE2DAD311DA646C'
    c.update(bytes(36))
    assert hx(c.final()) == 'FF68195D36E139A8B1A167900DB2D3AFB1CE0F5E'
    c = Sha1Context(); c.init(); c.update(b'')
    assert hx(c.final()) == 'DA39A3EE5E6B4B0D3255BFEF95601890AFD80709'
    for n in (55, 56, 63, 64, 65, 119, 120, 200):
        data = bytes((i * 7 + 3) & 0xFF for i in range(n))
        c = Sha1Context(); c.init()
        c.update(data[:n // 3]); c.update(data[n // 3:])
        assert c.final() == sha1(data), n

    g = MersenneGen()
    assert [g.next32() for _ in range(3)] == [0xF3AAD750, 0x5C676702, 0x2F1932F2]
    g = MersenneGen()
    assert [g.range(0, 1) for _ in range(8)] == [1, 0, 0, 0, 0, 1, 0, 1]
    g.seed(0)
    assert g.state[0] == 0xFFFFFFFF
    g = MersenneGen()
    assert g.range(5, 4) == -0x80000000 and g.index == 1

    core = IsaacCore(); core.init_seeded(); core.generate()
    assert core.rsl[:4] == [0xF650E4C8, 0xE448E96D, 0x98DB2FB4, 0xF5FAD54F]

    rt = RuntimeRandom()
    gen = IsaacGen(rt)
    gen.reseed(bytes(36))
    assert [gen.range(0, 255) for _ in range(8)] == [63, 250, 101, 156, 61, 179, 90, 44]
    assert gen.range(7, 6) == -1

    km = KeyMaterial(rt)
    km.password_digest, km.password_md5 = bytes(20), bytes(16)
    km.mangle(5)
    assert hx(km.password_digest) == '8696CF0F4655636CC93C566C1BE2DAD311DA646C'
    assert km.password_md5 == bytes(16)
    km.password_digest, km.password_md5 = bytes(20), bytes(16)
    km.mangle(0)
    assert hx(km.password_digest) == '728BE92F69774C48E407F83F6B6A7FAE5A0AD0A6'
    assert hx(km.password_md5) == '5F1866BA56578A9E7F63A59852C9741E'
    assert km.position_seed[:20] == km.password_digest
    assert km.whitening_seed[:16] == km.password_md5

    assert noise_side(0) + 2 == 69 and noise_side(8) + 2 == 69
    assert noise_side(1000) + 2 == 71 and noise_side(30000) + 2 == 123
    assert shrink_size(100, 100, shrink_target(1000)) == (87, 87)
    assert shrink_size(100, 100, shrink_target(5000)) == (141, 141)
    assert shrink_size(640, 480, shrink_target(8)) == (77, 58)
    assert shrink_size(640, 480, shrink_target(20000)) == (295, 222)
    assert shrink_target(8634) == 29998 and shrink_target(8635) == 30001
    kept = [s for s in range(6000)
            if not shrink_target(s) < ((24 * (noise_side(s) + 2) + 31) // 32) * 4 * (noise_side(s) + 2)]
    assert kept == list(range(5035, 5040)) + list(range(5223, 6000))
    # The stretch's worked examples (the C++ tests hold the same ones).
    two = DibImage()
    two.read(make_bmp(2, 1, 24, lambda x, y: (0, 0, 100 * x)))
    assert [scaled_image(two, 5, 1)[54 + 3 * i + 2] for i in range(5)] == [0, 10, 50, 90, 100]
    three = DibImage()
    three.read(make_bmp(3, 1, 24, lambda x, y: ((0, 90, 200)[x], 0, 0)))
    assert [scaled_image(three, 2, 1)[54 + 3 * i] for i in range(2)] == [30, 163]

    eng = StegEngine(RuntimeRandom())
    eng.load_container(make_bmp(640, 480, 24, lambda x, y: (0, 0, 0)))
    assert [eng.capacity(m) for m in (0, 1, 2, 3, 4)] == [34304, 98304, 149504, 303104, 917504]
    assert eng.choose_mode(34303) == 0 and eng.choose_mode(34304) == 1
    assert eng.choose_mode(303104) == MODE_NONE
    eng.load_container(make_bmp(100, 100, 24, lambda x, y: (0, 0, 0)))
    assert [eng.capacity(m) for m in (0, 1, 2, 3, 4)] == [-2846, -763, 904, 5904, 25904]
    assert eng.choose_mode(903) == 2 and eng.choose_mode(904) == 3
    assert eng.choose_mode(5904) == MODE_NONE
    # 2000 x 3: Capacity(3) = 1904, but the walk hands out 1998 - 99
    # positions; after 60 for the question header a text of 1829 bytes fills
    # them (6 + 1829 + 2 x 2), one of 1830 fits no mode.
    eng.load_container(make_bmp(2000, 3, 24, lambda x, y: (0, 0, 0)))
    eng.used.remaining -= HEADER_SKIP_PIXELS
    assert eng.choose_mode(1829) == 3 and eng.choose_mode(1830) == MODE_NONE
    assert largest_payload(eng) == 1829 - NAME_LIMIT
    assert walk_positions_left(5000, 2, 2 * 4998) == 4999 - 49
    assert walk_positions_left(5000, 1, 4998) == 0

    # EmbedMode 3 byte 0xA5 on a grey-200 pixel.
    eng.load_container(make_bmp(5, 5, 24, lambda x, y: (200, 200, 200)))
    eng.keys.mode, eng.header_mode, eng.cur = 3, 1, (1, 1)
    eng.write_byte(0xA5)
    assert eng.get_pixel(1, 1) == (205 << 16) | (204 << 8) | 202
    # End pixel from black.
    eng.cur = (2, 1)
    eng.set_pixel(2, 1, 0)
    eng.write_end_pixel()
    assert eng.get_pixel(2, 1) == 0x808080

    assert stored_name('C:\\data\\report.txt') == b'report.txt'
    assert stored_name('/a/b\\c/' + 'é' * 30) == ('é' * 25).encode()
    assert stored_name('x' * 49 + 'é') == ('x' * 49).encode()

    assert SEAL_KEY_SALT.hex() == 'e540e505fbf6e8dbee81a543d2f72c7c'
    if HAVE_NACL:
        # T' of 'correct horse', also given by the reference argon2 tool.
        assert sealed_key_text(b'correct horse') == \
            b'32bc619782d0438a6d2f07a80cccd8fa7089d947b702348e9ce258a5b215f8dc'
        e = seal_envelope(b'abc', b'correct horse', bytes(range(16)), bytes(range(16, 40)))
        assert e.hex() == ('4c515345414c3031000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f'
                           '2021222324252627eed7faeed4ac444eaf89221b8b534e75f98f2c')
    return True


if __name__ == '__main__':
    self_test()
    print('self test passed')
