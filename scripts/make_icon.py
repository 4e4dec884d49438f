#!/usr/bin/env python3
"""Draw Kesh's application icon and write it as res/kesh.ico.

The picture is a sheet of paper with a folded corner and a few lines of
text, stamped in the lower right with a red seal that carries a white "K".
Every size is rasterised from the same geometry with supersampling, so the
edges are antialiased; geometry is snapped to whole pixels at the small
sizes so the outline stays crisp.

The 16, 32 and 48 pixel images are stored as 32-bit BMPs (with an AND mask
for programs that ignore alpha) and the 256 pixel image as PNG, which is
what Windows expects inside an .ico.  Only the standard library is used and
the output is byte-for-byte reproducible.

Usage: scripts/make_icon.py [output.ico]   (default: res/kesh.ico)
"""

import os
import struct
import sys
import zlib

SIZES = (16, 32, 48, 256)

PAPER = (255, 253, 246)
OUTLINE = (71, 85, 105)
FOLD = (226, 221, 205)
TEXT_LINE = (148, 163, 184)
SEAL_RED = (198, 40, 40)
SEAL_INK = (255, 248, 240)


def _inside_convex(px, py, poly):
    """True when (px, py) is inside the convex polygon given clockwise in
    screen coordinates (y grows downwards)."""
    n = len(poly)
    for i in range(n):
        x0, y0 = poly[i]
        x1, y1 = poly[(i + 1) % n]
        if (x1 - x0) * (py - y0) - (y1 - y0) * (px - x0) < 0:
            return False
    return True


def _near_segment(px, py, seg, half_width):
    (x0, y0), (x1, y1) = seg
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / length2))
    cx, cy = x0 + t * dx - px, y0 + t * dy - py
    return cx * cx + cy * cy <= half_width * half_width


def _in_round_rect(px, py, left, top, right, bottom, radius):
    if px < left or px > right or py < top or py > bottom:
        return False
    cx = min(max(px, left + radius), right - radius)
    cy = min(max(py, top + radius), bottom - radius)
    return (px - cx) ** 2 + (py - cy) ** 2 <= radius * radius


class Geometry:
    """All shapes of the icon in pixel coordinates for one image size."""

    def __init__(self, size):
        s = float(size)
        small = size <= 48

        def snap(v):
            return float(round(v * s)) if small else v * s

        self.outline = max(1.0, float(round(s / 32.0)) if small else s / 32.0)
        left, top, right, bottom = snap(0.12), snap(0.03), snap(0.80), snap(0.94)
        fold = snap(0.22)
        self.page = [(left, top), (right - fold, top), (right, top + fold),
                     (right, bottom), (left, bottom)]
        w = self.outline
        self.paper = [(left + w, top + w), (right - fold - w * 0.414, top + w),
                      (right - w, top + fold + w * 0.414), (right - w, bottom - w),
                      (left + w, bottom - w)]
        self.fold = [(right - fold, top), (right, top + fold), (right - fold, top + fold)]
        self.fold_inner = [(right - fold + w, top + 2.41 * w), (right - 2.41 * w, top + fold - w),
                           (right - fold + w, top + fold - w)]

        line_height = max(1.0, round(s / 20.0)) if small else s / 20.0
        if size <= 16:
            rows = (0.34, 0.53)
        elif size <= 32:
            rows = (0.32, 0.45, 0.58)
        else:
            rows = (0.30, 0.40, 0.50, 0.60)
        self.text_lines = []
        for i, row in enumerate(rows):
            y = snap(row)
            x_end = snap(0.66 if i else 0.52)
            self.text_lines.append((snap(0.22), y, x_end, y + line_height))

        seal = 0.62 if size <= 16 else 0.54
        sl, st = snap(1.0 - seal), snap(1.0 - seal)
        sr, sb = float(size), float(size)
        if size > 16:
            sr, sb = snap(0.98), snap(0.98)
        self.seal = (sl, st, sr, sb, (sr - sl) * 0.10)
        span = sr - sl
        if size >= 32:
            inset = span * 0.09
            band = max(1.0, span * 0.045)
            self.seal_border = ((sl + inset, st + inset, sr - inset, sb - inset, span * 0.05),
                                (sl + inset + band, st + inset + band, sr - inset - band,
                                 sb - inset - band, span * 0.03))
        else:
            self.seal_border = None

        def at(u, v):
            x, y = sl + u * span, st + v * span
            return (float(round(x)), float(round(y))) if small else (x, y)

        margin = 0.24 if size >= 32 else 0.18
        stem_x = margin + 0.04
        self.k_half = span * 0.085 if size >= 32 else 1.0
        self.k_strokes = [
            (at(stem_x, margin), at(stem_x, 1.0 - margin)),
            (at(stem_x + 0.02, 0.56), at(1.0 - margin, margin)),
            (at(0.44, 0.47), at(1.0 - margin + 0.01, 1.0 - margin)),
        ]

    def color_at(self, x, y):
        """RGBA of the topmost shape under the point, or None if transparent."""
        sl, st, sr, sb, radius = self.seal
        if _in_round_rect(x, y, sl, st, sr, sb, radius):
            for stroke in self.k_strokes:
                if _near_segment(x, y, stroke, self.k_half):
                    return SEAL_INK
            if self.seal_border is not None:
                outer, inner = self.seal_border
                if _in_round_rect(x, y, *outer) and not _in_round_rect(x, y, *inner):
                    return SEAL_INK
            return SEAL_RED
        if _inside_convex(x, y, self.fold):
            return FOLD if _inside_convex(x, y, self.fold_inner) else OUTLINE
        if _inside_convex(x, y, self.page):
            if not _inside_convex(x, y, self.paper):
                return OUTLINE
            for left, top, right, bottom in self.text_lines:
                if left <= x < right and top <= y < bottom:
                    return TEXT_LINE
            return PAPER
        return None


def render(size):
    """Rows of (r, g, b, a) tuples, top row first."""
    geometry = Geometry(size)
    grid = 8 if size <= 48 else 4
    offsets = [(i + 0.5) / grid for i in range(grid)]
    samples = grid * grid
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = covered = 0
            for oy in offsets:
                for ox in offsets:
                    colour = geometry.color_at(px + ox, py + oy)
                    if colour is not None:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        covered += 1
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / covered), round(g / covered), round(b / covered),
                            round(255 * covered / samples)))
        rows.append(row)
    return rows


def encode_bmp(rows):
    """An icon image as BITMAPINFOHEADER + bottom-up BGRA + AND mask."""
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(pixels) + bytes(mask)


def encode_png(rows):
    size = len(rows)

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data
                + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = bytearray()
    for row in rows:
        raw.append(0)
        for pixel in row:
            raw += bytes(pixel)
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9))
            + chunk(b'IEND', b''))


def build_ico():
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, encode_png(rows) if size >= 256 else encode_bmp(rows)))
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = argv[1] if len(argv) > 1 else os.path.join(root, 'res', 'kesh.ico')
    data = build_ico()
    with open(target, 'wb') as f:
        f.write(data)
    print('wrote %s (%d bytes)' % (target, len(data)))


if __name__ == '__main__':
    main(sys.argv)
