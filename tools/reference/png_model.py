"""A small PNG reader and writer for the reference model (zlib and struct
only), with the same decisions as Lumaquill's loader: the form a picture
takes follows its declared format alone.

- Colour types 4 and 6, and a palette or grey picture with a tRNS chunk,
  become a 32-bit image whose fourth byte is the alpha; everything else
  (RGB with tRNS included) becomes 24-bit.
- Grey expands to R = G = B (1, 2 and 4-bit grey scaled to 0..255),
  palettes to their colours, 16-bit samples keep their high byte; Adam7
  pictures load like plain ones.
- The header is the 40-byte one a plain 24- or 32-bit BMP of the picture
  has: planes 1, compression 0, image size stride x height, all else 0;
  rows bottom-up, B G R [A], padding bytes 0.
"""

import struct
import zlib

SIGNATURE = b'\x89PNG\r\n\x1a\n'
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}
# Adam7: x start, y start, x step, y step.
ADAM7 = ((0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2))


class PngError(Exception):
    pass


def is_png(data):
    return data[:8] == SIGNATURE


def _chunks(data):
    pos = 8
    while True:
        if pos + 12 > len(data):
            raise PngError('cut short')
        length, = struct.unpack_from('>I', data, pos)
        ctype = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        if len(body) != length or pos + 12 + length > len(data):
            raise PngError('cut short')
        crc, = struct.unpack_from('>I', data, pos + 8 + length)
        if zlib.crc32(ctype + body) != crc:
            if ctype[0] & 0x20 == 0:
                raise PngError('bad checksum')
        else:
            yield ctype, body
        if ctype == b'IEND':
            return
        pos += 12 + length


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _unfilter(raw, pos, rows, row_bytes, bpp):
    """Undoes the row filters; returns the rows and the position after them."""
    out = []
    prev = bytearray(row_bytes)
    for _ in range(rows):
        ftype = raw[pos]
        line = bytearray(raw[pos + 1:pos + 1 + row_bytes])
        if len(line) != row_bytes:
            raise PngError('cut short')
        pos += 1 + row_bytes
        if ftype == 1:
            for i in range(bpp, row_bytes):
                line[i] = (line[i] + line[i - bpp]) & 0xFF
        elif ftype == 2:
            for i in range(row_bytes):
                line[i] = (line[i] + prev[i]) & 0xFF
        elif ftype == 3:
            for i in range(row_bytes):
                left = line[i - bpp] if i >= bpp else 0
                line[i] = (line[i] + ((left + prev[i]) >> 1)) & 0xFF
        elif ftype == 4:
            for i in range(row_bytes):
                left = line[i - bpp] if i >= bpp else 0
                upleft = prev[i - bpp] if i >= bpp else 0
                line[i] = (line[i] + _paeth(left, prev[i], upleft)) & 0xFF
        elif ftype != 0:
            raise PngError('unknown filter')
        out.append(line)
        prev = line
    return out, pos


def _samples(line, count, depth):
    """count samples of a row at the declared depth."""
    if depth == 8:
        return list(line[:count])
    if depth == 16:
        return [line[2 * i] for i in range(count)]  # the high byte
    per_byte = 8 // depth
    mask = (1 << depth) - 1
    return [(line[i // per_byte] >> (8 - depth * (i % per_byte + 1))) & mask for i in range(count)]


def _scale(v, depth):
    return v if depth >= 8 else v * 255 // ((1 << depth) - 1)


def read_png(data):
    """(40-byte header, bottom-up rows) of a PNG file; raises PngError."""
    if not is_png(data):
        raise PngError('not a PNG')
    ihdr = plte = trns = None
    idat = b''
    for ctype, body in _chunks(data):
        if ctype == b'IHDR':
            ihdr = struct.unpack('>IIBBBBB', body)
        elif ctype == b'PLTE':
            plte = body
        elif ctype == b'tRNS':
            trns = body
        elif ctype == b'IDAT':
            idat += body
        elif ctype == b'acTL':
            raise PngError('animated')
    if ihdr is None:
        raise PngError('no header')
    width, height, depth, ctype, _, _, interlace = ihdr
    channels = CHANNELS[ctype]
    raw = zlib.decompress(idat)
    grid = [[None] * width for _ in range(height)]
    passes = ADAM7 if interlace else ((0, 0, 1, 1),)
    bpp = max(1, channels * depth // 8)
    pos = 0
    for x0, y0, dx, dy in passes:
        cols = (width - x0 + dx - 1) // dx if width > x0 else 0
        rows = (height - y0 + dy - 1) // dy if height > y0 else 0
        if cols == 0 or rows == 0:
            continue
        lines, pos = _unfilter(raw, pos, rows, (cols * channels * depth + 7) // 8, bpp)
        for r, line in enumerate(lines):
            s = _samples(line, cols * channels, depth)
            for c in range(cols):
                grid[y0 + r * dy][x0 + c * dx] = s[c * channels:(c + 1) * channels]
    # 16-bit tRNS values are compared with the full sample, so the raw
    # samples are needed for grey tRNS at 16 bits; the high byte rule makes
    # the comparison on the stored value, read again here.
    alpha = ctype in (4, 6) or (ctype in (0, 3) and trns is not None)
    bits = 32 if alpha else 24
    stride = ((bits * width + 31) // 32) * 4
    out = bytearray(stride * height)
    grey_key = None
    if ctype == 0 and trns is not None:
        grey_key = struct.unpack('>H', trns[:2])[0]
    full = _full_grey(raw, ihdr) if grey_key is not None else None
    for y in range(height):
        o = (height - 1 - y) * stride
        for x in range(width):
            s = grid[y][x]
            if ctype == 3:
                i = s[0]
                r, g, b = plte[3 * i:3 * i + 3]
                a = trns[i] if trns is not None and i < len(trns) else 255
            elif ctype in (0, 4):
                r = g = b = _scale(s[0], depth)
                a = s[1] if ctype == 4 else (0 if full is not None and full[y][x] == grey_key else 255)
            else:
                r, g, b = s[0], s[1], s[2]
                a = s[3] if ctype == 6 else 255
            px = bytes((b, g, r, a)) if alpha else bytes((b, g, r))
            out[o + x * len(px):o + (x + 1) * len(px)] = px
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, stride * height, 0, 0, 0, 0)
    return header, out


def _full_grey(raw, ihdr):
    """The grey samples at their declared depth (for tRNS comparison)."""
    width, height, depth, _, _, _, interlace = ihdr
    grid = [[0] * width for _ in range(height)]
    passes = ADAM7 if interlace else ((0, 0, 1, 1),)
    pos = 0
    for x0, y0, dx, dy in passes:
        cols = (width - x0 + dx - 1) // dx if width > x0 else 0
        rows = (height - y0 + dy - 1) // dy if height > y0 else 0
        if cols == 0 or rows == 0:
            continue
        lines, pos = _unfilter(raw, pos, rows, (cols * depth + 7) // 8, max(1, depth // 8))
        for r, line in enumerate(lines):
            for c in range(cols):
                if depth == 16:
                    v = line[2 * c] << 8 | line[2 * c + 1]
                else:
                    v = _samples(line, cols, depth)[c]
                grid[y0 + r * dy][x0 + c * dx] = v
    return grid


def _chunk(ctype, body):
    return struct.pack('>I', len(body)) + ctype + body + struct.pack('>I', zlib.crc32(ctype + body))


def write_png(width, height, pixel_fn, alpha):
    """An 8-bit RGB (or RGBA) PNG; pixel_fn(x, y) gives (b, g, r[, a]) with
    y from 1 at the top, as the BMP maker takes it. Rows use the five
    filters in turn so that a reader meets each."""
    channels = 4 if alpha else 3
    raw = bytearray()
    prev = bytearray(width * channels)
    for y in range(height):
        line = bytearray()
        for x in range(width):
            px = pixel_fn(x, y + 1)
            line += bytes((px[2], px[1], px[0]) + ((px[3] if len(px) > 3 else 255,) if alpha else ()))
        ftype = y % 5
        raw.append(ftype)
        raw += _filter(line, prev, ftype, channels)
        prev = line
    ihdr = struct.pack('>IIBBBBB', width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return SIGNATURE + _chunk(b'IHDR', ihdr) + _chunk(b'IDAT', zlib.compress(bytes(raw))) + _chunk(b'IEND', b'')


def _filter(line, prev, ftype, bpp):
    out = bytearray(len(line))
    for i in range(len(line)):
        left = line[i - bpp] if i >= bpp else 0
        up = prev[i]
        upleft = prev[i - bpp] if i >= bpp else 0
        pred = (0, left, up, (left + up) >> 1, _paeth(left, up, upleft))[ftype]
        out[i] = (line[i] - pred) & 0xFF
    return out
