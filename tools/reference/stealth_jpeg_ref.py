#!/usr/bin/env python3
"""Reads stealth JPEGs, written from doc/stealth-format.md alone.

A pure-Python JPEG coefficient reader (8-bit, baseline or progressive
Huffman, 1 or 3 components, restart intervals) gives the elements of
section 14 in their order; the stealth format of sections 2 to 9 then gives
the salt, the keys, the length and the envelope.  Needs PyNaCl
(python3-nacl) for Argon2id and XChaCha20-Poly1305.

Usage:  stealth_jpeg_ref.py FILE.jpg PASSWORD
        prints the stored name (or "text") and writes the content to stdout.
"""

import hashlib
import struct
import sys
import zlib

# ---------------------------------------------------------------- JPEG

ZIGZAG = [0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5, 12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6, 7,
          14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46,
          53, 60, 61, 54, 47, 55, 62, 63]


class JpegError(Exception):
    pass


class Bits:
    """The bits of one restart interval's entropy-coded bytes (stuffing removed)."""

    def __init__(self, data):
        self.bits = ''.join(format(b, '08b') for b in data) + '1' * 32
        self.pos = 0

    def read(self, n):
        if n == 0:
            return 0
        v = int(self.bits[self.pos:self.pos + n], 2)
        self.pos += n
        return v

    def huffman(self, table):
        for length in range(1, 17):
            symbol = table.get(self.bits[self.pos:self.pos + length])
            if symbol is not None:
                self.pos += length
                return symbol
        raise JpegError('bad Huffman code')

    def extend(self, s):
        v = self.read(s)
        return v - (1 << s) + 1 if s and v < (1 << (s - 1)) else v


def huffman_table(counts, symbols):
    table, code, k = {}, 0, 0
    for length in range(1, 17):
        for _ in range(counts[length - 1]):
            table[format(code, '0%db' % length)] = symbols[k]
            code += 1
            k += 1
        code <<= 1
    return table


def split_scan(data, pos):
    """The scan's restart intervals, each unstuffed, and where the next marker starts."""
    segments, current = [], bytearray()
    while pos < len(data):
        b = data[pos]
        if b != 0xFF:
            current.append(b)
            pos += 1
            continue
        nxt = data[pos + 1] if pos + 1 < len(data) else 0xD9
        if nxt == 0x00:
            current.append(0xFF)
            pos += 2
        elif 0xD0 <= nxt <= 0xD7:
            segments.append(bytes(current))
            current = bytearray()
            pos += 2
        elif nxt == 0xFF:
            pos += 1
        else:
            break
    segments.append(bytes(current))
    return segments, pos


class Jpeg:
    def __init__(self, data):
        if data[:2] != b'\xff\xd8':
            raise JpegError('not a JPEG')
        self.quant, self.dc, self.ac = {}, {}, {}
        self.restart = 0
        self.components = []
        self.parse(data, 2)

    def parse(self, data, pos):
        while pos < len(data):
            if data[pos] != 0xFF:
                raise JpegError('marker expected')
            marker = data[pos + 1]
            pos += 2
            if marker == 0xD9:
                return
            if marker == 0xFF or 0xD0 <= marker <= 0xD7 or marker == 0x01:
                pos -= 1
                continue
            length = struct.unpack('>H', data[pos:pos + 2])[0]
            body = data[pos + 2:pos + length]
            pos += length
            if marker == 0xDB:
                self.define_quant(body)
            elif marker == 0xC4:
                self.define_huffman(body)
            elif marker == 0xDD:
                self.restart = struct.unpack('>H', body[:2])[0]
            elif marker in (0xC0, 0xC1, 0xC2):
                self.frame(body, marker == 0xC2)
            elif 0xC3 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
                raise JpegError('not a Huffman-coded baseline or progressive JPEG')
            elif marker == 0xDA:
                pos = self.scan(body, data, pos)
        raise JpegError('no end of image')

    def define_quant(self, body):
        i = 0
        while i < len(body):
            precision, ident = body[i] >> 4, body[i] & 15
            size = 2 if precision else 1
            values = [int.from_bytes(body[i + 1 + size * z:i + 1 + size * (z + 1)], 'big') for z in range(64)]
            table = [0] * 64
            for z, v in enumerate(values):
                table[ZIGZAG[z]] = v
            self.quant[ident] = table
            i += 1 + 64 * size

    def define_huffman(self, body):
        i = 0
        while i < len(body):
            kind, ident = body[i] >> 4, body[i] & 15
            counts = list(body[i + 1:i + 17])
            symbols = list(body[i + 17:i + 17 + sum(counts)])
            (self.ac if kind else self.dc)[ident] = huffman_table(counts, symbols)
            i += 17 + sum(counts)

    def frame(self, body, progressive):
        if body[0] != 8:
            raise JpegError('not 8-bit')
        self.progressive = progressive
        self.height, self.width = struct.unpack('>HH', body[1:5])
        count = body[5]
        if count not in (1, 3):
            raise JpegError('not greyscale or colour')
        for c in range(count):
            ident, hv, tq = body[6 + 3 * c:9 + 3 * c]
            self.components.append({'id': ident, 'h': hv >> 4, 'v': hv & 15, 'tq': tq})
        hmax = max(c['h'] for c in self.components)
        vmax = max(c['v'] for c in self.components)
        self.mcux = -(-self.width // (8 * hmax))
        self.mcuy = -(-self.height // (8 * vmax))
        for c in self.components:
            c['bw'] = -(-self.width * c['h'] // (8 * hmax))
            c['bh'] = -(-self.height * c['v'] // (8 * vmax))
            c['pw'] = self.mcux * c['h']
            c['blocks'] = [[0] * 64 for _ in range(self.mcux * c['h'] * self.mcuy * c['v'])]

    def scan(self, body, data, pos):
        count = body[0]
        by_id = {c['id']: c for c in self.components}
        members = []
        for k in range(count):
            comp = by_id[body[1 + 2 * k]]
            members.append((comp, body[2 + 2 * k] >> 4, body[2 + 2 * k] & 15))
        ss, se, ahal = body[1 + 2 * count:4 + 2 * count]
        ah, al = ahal >> 4, ahal & 15
        segments, pos = split_scan(data, pos)
        units = self.units(members)
        per = self.restart if self.restart else len(units)
        for s, segment in enumerate(segments):
            state = {'bits': Bits(segment), 'eobrun': 0, 'pred': {id(m[0]): 0 for m in members}}
            for unit in units[s * per:(s + 1) * per]:
                for comp, td, ta, index in unit:
                    self.decode_block(state, comp, td, ta, comp['blocks'][index], ss, se, ah, al)
        return pos

    def units(self, members):
        """The scan's MCUs, each a list of (component, dc table, ac table, block index)."""
        if len(members) == 1:
            comp, td, ta = members[0]
            return [[(comp, td, ta, by * comp['pw'] + bx)] for by in range(comp['bh']) for bx in range(comp['bw'])]
        units = []
        for my in range(self.mcuy):
            for mx in range(self.mcux):
                unit = []
                for comp, td, ta in members:
                    for v in range(comp['v']):
                        for h in range(comp['h']):
                            unit.append((comp, td, ta, (my * comp['v'] + v) * comp['pw'] + mx * comp['h'] + h))
                units.append(unit)
        return units

    def decode_block(self, state, comp, td, ta, block, ss, se, ah, al):
        bits = state['bits']
        if ss == 0:
            if ah == 0:
                diff = bits.extend(bits.huffman(self.dc[td]))
                state['pred'][id(comp)] += diff
                block[0] = state['pred'][id(comp)] << al
            elif bits.read(1):
                block[0] |= 1 << al
            if not self.progressive:
                self.decode_ac_first(state, self.ac[ta], block, 1, 63, 0)
            return
        if ah == 0:
            self.decode_ac_first(state, self.ac[ta], block, ss, se, al)
        else:
            self.decode_ac_refine(state, self.ac[ta], block, ss, se, al)

    @staticmethod
    def decode_ac_first(state, table, block, ss, se, al):
        bits = state['bits']
        if state['eobrun'] > 0:
            state['eobrun'] -= 1
            return
        k = ss
        while k <= se:
            rs = bits.huffman(table)
            r, s = rs >> 4, rs & 15
            if s == 0:
                if r < 15:
                    state['eobrun'] = (1 << r) - 1 + bits.read(r)
                    return
                k += 16
                continue
            k += r
            block[ZIGZAG[k]] = bits.extend(s) << al
            k += 1

    @staticmethod
    def refine(bits, block, z, p1):
        if bits.read(1) and block[z] & p1 == 0:
            block[z] += p1 if block[z] >= 0 else -p1

    def decode_ac_refine(self, state, table, block, ss, se, al):
        bits = state['bits']
        p1 = 1 << al
        k = ss
        if state['eobrun'] == 0:
            while k <= se:
                rs = bits.huffman(table)
                r, s = rs >> 4, rs & 15
                if s:
                    s = p1 if bits.read(1) else -p1
                elif r != 15:
                    state['eobrun'] = (1 << r) + bits.read(r)
                    break
                while k <= se:
                    z = ZIGZAG[k]
                    if block[z] != 0:
                        self.refine(bits, block, z, p1)
                    else:
                        if r == 0:
                            break
                        r -= 1
                    k += 1
                if s:
                    block[ZIGZAG[k]] = s
                k += 1
        if state['eobrun'] > 0:
            while k <= se:
                z = ZIGZAG[k]
                if block[z] != 0:
                    self.refine(bits, block, z, p1)
                k += 1
            state['eobrun'] -= 1

    def elements(self):
        """Every coefficient of every coded block, in the order of section 14."""
        values = []
        for comp in self.components:
            for by in range(comp['bh']):
                for bx in range(comp['bw']):
                    values.extend(comp['blocks'][by * comp['pw'] + bx])
        return values


# ------------------------------------------------------------- stealth

# The first 64 columns of the trellis code (section 5).
COLUMNS_FIXED = bytes.fromhex(
    '5d7b5963514f477f654b6d75715f6943'
    '676f4d534d7757536f5b7f51456d4957'
    '7d7f614d6f6d45416b575f4165795345'
    '574b45515f6d795759455575 6b596365'.replace(' ', ''))
assert len(COLUMNS_FIXED) == 64


class Keystream:
    def __init__(self, key):
        self.key, self.block, self.counter, self.used = key, b'', 0, 64

    def byte(self):
        if self.used == 64:
            self.block = hashlib.blake2b(struct.pack('<Q', self.counter), key=self.key, digest_size=64).digest()
            self.counter += 1
            self.used = 0
        self.used += 1
        return self.block[self.used - 1]

    def word(self):
        return self.byte() | self.byte() << 8 | self.byte() << 16 | self.byte() << 24

    def below(self, bound):
        return (self.word() * bound) >> 32


def public_key(label):
    return hashlib.blake2b(label.encode(), digest_size=32).digest()


def column_table():
    stream = Keystream(public_key('Lumaquill stealth columns'))
    table = list(COLUMNS_FIXED)
    for k in range(256):
        u = stream.byte()
        if k >= 64:
            table.append((u & 0x7F) | 0x41)
    return table


def extract(parities, m, table):
    n = len(parities)
    message, rows = [], 0
    for j in range(m):
        start, end = j * n // m, (j + 1) * n // m
        for t in range(start, end):
            if parities[t] & 1:
                rows ^= table[(t - start) % 256]
        message.append(rows & 1)
        rows >>= 1
    return message


def to_bytes(bits):
    out = bytearray(len(bits) // 8)
    for k, bit in enumerate(bits):
        out[k // 8] |= bit << (k % 8)
    return bytes(out)


def open_stealth_jpeg(data, password):
    """(stored name, content), or None when nothing opens."""
    import nacl.bindings
    import nacl.pwhash
    jpeg = Jpeg(data)
    values = jpeg.elements()
    parity = [v & 1 for v in values]
    n_all = len(values)
    spread = min(64, n_all // 640)
    if spread < 8 or n_all > 2 ** 31:
        return None
    s_count, l_count = 128 * spread, 32 * spread
    p_count = n_all - s_count - l_count
    table = column_table()
    order = list(range(n_all))
    stream = Keystream(public_key('Lumaquill stealth public order'))
    for i in range(s_count):
        j = i + stream.below(n_all - i)
        order[i], order[j] = order[j], order[i]
    salt = to_bytes(extract([parity[e] for e in order[:s_count]], 128, table))
    master = nacl.pwhash.argon2id.kdf(32, password, salt, opslimit=3, memlimit=67108864)

    def subkey(label, size):
        return hashlib.blake2b(label.encode(), key=master, digest_size=size).digest()

    tail = order[s_count:]
    stream = Keystream(subkey('Lumaquill stealth order', 32))
    for i in range(len(tail) - 1):
        j = i + stream.below(len(tail) - i)
        tail[i], tail[j] = tail[j], tail[i]
    mask = struct.unpack('<I', subkey('Lumaquill stealth length', 32)[:4])[0]
    field = to_bytes(extract([parity[e] for e in tail[:l_count]], 32, table))
    length = struct.unpack('<I', field)[0] ^ mask
    if length < 17 or 8 * length > p_count:
        return None
    payload = tail[l_count:]
    blocks = -(-p_count // 2 ** 20)
    m = 8 * length
    bits = []
    for b in range(blocks):
        elements = payload[b * p_count // blocks:(b + 1) * p_count // blocks]
        bits += extract([parity[e] for e in elements], (b + 1) * m // blocks - b * m // blocks, table)
    envelope = to_bytes(bits)
    aad = b'Lumaquill stealth 1' + struct.pack('<II', jpeg.width, jpeg.height)
    try:
        plain = nacl.bindings.crypto_aead_xchacha20poly1305_ietf_decrypt(
            envelope, aad, subkey('Lumaquill stealth envelope nonce', 24),
            subkey('Lumaquill stealth envelope key', 32))
    except Exception:
        return None
    name_length = plain[0]
    if name_length > 50 or name_length > len(plain) - 1:
        return None
    return plain[1:1 + name_length].decode('utf-8', 'replace'), zlib.decompress(plain[1 + name_length:])


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[-2], file=sys.stderr)
        return 2
    with open(sys.argv[1], 'rb') as f:
        opened = open_stealth_jpeg(f.read(), sys.argv[2].encode())
    if opened is None:
        print('nothing opened', file=sys.stderr)
        return 1
    print(opened[0] or 'text', file=sys.stderr)
    sys.stdout.buffer.write(opened[1])
    return 0


if __name__ == '__main__':
    sys.exit(main())
