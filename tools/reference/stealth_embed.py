#!/usr/bin/env python3
"""A plain writer of stealth images for test fixtures, from
doc/stealth-format.md: any parities that give the format's messages make a
valid image, so this writer sets them greedily (no distortion costs) and
changes a sample by +1, or -1 at 255.  It lets the comparison hand
lumaquill-cli images the CLI did not write, including envelopes no writer of
the program makes (an overlong name, bytes after the zlib stream).
"""

import os
import struct
import sys

sys.dont_write_bytecode = True  # leave no cache folder in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import stealth_extract as sx  # noqa: E402

import nacl.bindings  # noqa: E402


def message_bits(data, m):
    """The first m bits of data, least significant bit first."""
    return [(data[k >> 3] >> (k & 7)) & 1 for k in range(m)]


def changes_for(p, bits):
    """Indices t into p whose parity must flip so that p carries bits.  Every
    column has bit 0 set, so flipping a segment's first element flips its
    own message bit and only rows after it, which later segments settle."""
    n, m = len(p), len(bits)
    flips, rows, start = [], 0, 0
    for j in range(m):
        end = (j + 1) * n // m
        for t in range(start, end):
            if p[t] & 1:
                rows ^= sx.COLUMNS[(t - start) % sx.COLUMN_COUNT]
        if (rows & 1) != bits[j]:
            flips.append(start)
            rows ^= sx.COLUMNS[0]
        rows >>= 1
        start = end
    return flips


class BmpCover:
    """A bottom-up 24- or 32-bit BMP whose samples change in place."""

    def __init__(self, data):
        self.data = bytearray(data)
        self.picture = sx.read_bmp(bytes(data))
        self.offset = struct.unpack_from('<I', data, 10)[0]
        self.bpp = self.picture.bits // 8
        self.stride = (self.picture.bits * self.picture.width + 31) // 32 * 4

    def byte_of(self, e):
        pixel, c = divmod(e, 3)
        y, x = divmod(pixel, self.picture.width)
        return self.offset + (self.picture.height - 1 - y) * self.stride + x * self.bpp + 2 - c

    def embed(self, elements, bits):
        p = self.picture.parities(elements)
        for t in changes_for(p, bits):
            e = elements[t]
            o = self.byte_of(e)
            step = -1 if self.data[o] == 255 else 1
            self.data[o] += step
            self.picture.samples[e] += step


def plaintext_of(name, stream):
    return bytes([len(name)]) + name + stream


def embed(cover_bmp, password, plaintext, salt=None, envelope_bytes=None):
    """The cover with a stealth image of plaintext under password;
    envelope_bytes overrides the stored length (for out-of-bounds fixtures)."""
    cover = BmpCover(cover_bmp)
    plan = sx.Plan(cover.picture.width, cover.picture.height)
    assert plan.holds_stealth()
    salt = os.urandom(sx.SALT_BYTES) if salt is None else salt
    salt_elements, tail = sx.public_order(plan)
    cover.embed(salt_elements, message_bits(salt, sx.SALT_BITS))
    keys = sx.subkeys(sx.master_key(password, salt))
    order = sx.KeyedOrder(tail, keys['order'])
    ad = sx.AD_TEXT + struct.pack('<II', plan.width, plan.height)
    envelope = nacl.bindings.crypto_aead_xchacha20poly1305_ietf_encrypt(
        plaintext, ad, keys['envelope_nonce'], keys['envelope_key'])
    e = len(envelope) if envelope_bytes is None else envelope_bytes
    cover.embed(order.first(plan.l), message_bits(struct.pack('<I', e ^ keys['length_mask']), sx.LENGTH_BITS))
    payload = order.rest(plan.l)
    blocks = sx.block_count(len(payload))
    bits = message_bits(envelope, 8 * len(envelope))
    for b in range(blocks):
        elements = payload[b * len(payload) // blocks:(b + 1) * len(payload) // blocks]
        cover.embed(elements, bits[b * len(bits) // blocks:(b + 1) * len(bits) // blocks])
    return bytes(cover.data)
