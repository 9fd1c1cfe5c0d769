#!/usr/bin/env python3
"""Draws the program's icons (16x16 and 32x32, 32-bit with alpha) into
resources/icons/. The images are simple shapes in unit coordinates, drawn
afresh at each size so that the small ones stay crisp."""
import math
import os
import struct

OUT = os.path.join(os.path.dirname(__file__), '..', 'resources', 'icons')


class Canvas:
    def __init__(self, n):
        self.n = n
        self.px = [[(0, 0, 0, 0)] * n for _ in range(n)]

    def _fill(self, inside, color):
        n = self.n
        for y in range(n):
            for x in range(n):
                # pixel centres in unit coordinates
                if inside((x + 0.5) / n, (y + 0.5) / n):
                    self.px[y][x] = color

    def rect(self, x0, y0, x1, y1, color):
        self._fill(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, color)

    def circle(self, cx, cy, r, color):
        self._fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color)

    def polygon(self, pts, color):
        def inside(x, y):
            c = False
            for i in range(len(pts)):
                (ax, ay), (bx, by) = pts[i], pts[i - 1]
                if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                    c = not c
            return c
        self._fill(inside, color)

    def line(self, x0, y0, x1, y1, width, color):
        def inside(x, y):
            dx, dy = x1 - x0, y1 - y0
            t = max(0, min(1, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
            return math.hypot(x - x0 - t * dx, y - y0 - t * dy) <= width / 2
        self._fill(inside, color)


BOARD = (150, 100, 50, 255)
PAPER = (255, 255, 255, 255)
INK = (40, 60, 120, 255)
CLIP = (160, 160, 170, 255)
DARK = (60, 60, 60, 255)


def clipboard(c, paper=PAPER, board=BOARD, ink=INK):
    c.rect(0.12, 0.10, 0.88, 0.97, board)
    c.rect(0.20, 0.20, 0.80, 0.90, paper)
    c.rect(0.35, 0.04, 0.65, 0.20, CLIP)
    for y in (0.36, 0.52, 0.68):
        c.rect(0.28, y, 0.72, y + 0.06, ink)


def program(c):
    clipboard(c)


def running(c):
    clipboard(c, paper=(230, 245, 255, 255))


def paused(c):
    clipboard(c, paper=(200, 200, 200, 255), board=(120, 120, 120, 255), ink=(150, 150, 150, 255))
    c.rect(0.30, 0.30, 0.45, 0.85, (200, 30, 30, 255))
    c.rect(0.55, 0.30, 0.70, 0.85, (200, 30, 30, 255))


def text_lines(c):
    c.rect(0.15, 0.08, 0.85, 0.92, PAPER)
    for y in (0.18, 0.36, 0.54, 0.72):
        c.rect(0.25, y, 0.75 if y < 0.7 else 0.55, y + 0.09, DARK)


def picture(c):
    c.rect(0.05, 0.15, 0.95, 0.85, (120, 180, 240, 255))
    c.circle(0.72, 0.35, 0.10, (250, 220, 40, 255))
    c.polygon([(0.05, 0.85), (0.38, 0.40), (0.70, 0.85)], (40, 140, 60, 255))


def shapes(c):
    c.circle(0.30, 0.30, 0.22, (220, 60, 60, 255))
    c.rect(0.50, 0.50, 0.92, 0.92, (60, 90, 220, 255))
    c.polygon([(0.08, 0.92), (0.30, 0.52), (0.52, 0.92)], (40, 160, 70, 255))


def speaker(c):
    c.rect(0.10, 0.38, 0.32, 0.62, DARK)
    c.polygon([(0.30, 0.38), (0.55, 0.12), (0.55, 0.88), (0.30, 0.62)], DARK)
    c.line(0.66, 0.35, 0.66, 0.65, 0.08, DARK)
    c.line(0.80, 0.22, 0.80, 0.78, 0.08, DARK)


def folder(c):
    c.rect(0.05, 0.20, 0.45, 0.32, (220, 170, 50, 255))
    c.rect(0.05, 0.28, 0.95, 0.90, (240, 195, 70, 255))
    c.rect(0.38, 0.40, 0.78, 0.95, PAPER)
    c.rect(0.45, 0.52, 0.70, 0.57, DARK)
    c.rect(0.45, 0.66, 0.70, 0.71, DARK)


def question(c):
    c.circle(0.5, 0.5, 0.46, (60, 110, 200, 255))
    white = (255, 255, 255, 255)
    c.line(0.34, 0.34, 0.50, 0.20, 0.12, white)
    c.line(0.50, 0.20, 0.66, 0.34, 0.12, white)
    c.line(0.66, 0.34, 0.50, 0.52, 0.12, white)
    c.line(0.50, 0.52, 0.50, 0.62, 0.12, white)
    c.circle(0.5, 0.78, 0.07, white)


def keyboard(c):
    c.rect(0.04, 0.28, 0.96, 0.78, DARK)
    for row, y in enumerate((0.34, 0.48)):
        for k in range(6):
            x = 0.10 + k * 0.14 + row * 0.05
            c.rect(x, y, x + 0.10, y + 0.09, PAPER)
    c.rect(0.25, 0.62, 0.75, 0.71, PAPER)


def history_stack(c):
    for k, shade in enumerate((180, 215, 255)):
        o = 0.10 * k
        c.rect(0.08 + o, 0.08 + o, 0.68 + o, 0.68 + o, (shade, shade, shade, 255))
        c.rect(0.08 + o, 0.08 + o, 0.68 + o, 0.12 + o, INK)
    for y in (0.46, 0.58, 0.70):
        c.rect(0.36, y, 0.80, y + 0.05, DARK)


def no_entry(c):
    c.circle(0.5, 0.5, 0.46, (200, 30, 30, 255))
    c.circle(0.5, 0.5, 0.34, PAPER)
    c.line(0.26, 0.74, 0.74, 0.26, 0.14, (200, 30, 30, 255))


ICONS = {
    'program.ico': program, 'tray_running.ico': running, 'tray_paused.ico': paused,
    'format_text.ico': text_lines, 'format_picture.ico': picture, 'format_shapes.ico': shapes,
    'format_sound.ico': speaker, 'format_files.ico': folder, 'format_other.ico': question,
    'page_keys.ico': keyboard, 'page_history.ico': history_stack, 'page_exclusion.ico': no_entry,
}


def image(draw, n, bpp):
    c = Canvas(n)
    draw(c)
    if bpp == 32:
        rows = b''.join(bytes((b, g, r, a)) for row in reversed(c.px) for (r, g, b, a) in row)
    else:  # 24 bits, transparency by the mask alone
        stride = (n * 3 + 3) // 4 * 4
        rows = b''.join(bytes(v for (r, g, b, a) in row for v in (b, g, r)).ljust(stride, b'\0')
                        for row in reversed(c.px))
    mask_row = ((n + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(c.px):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, bpp, 0, len(rows) + len(mask), 0, 0, 0, 0)
    return header + rows + bytes(mask)


def write_ico(path, draw, bpp):
    images = [image(draw, n, bpp) for n in (16, 32)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip((16, 32), images):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, bpp, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    os.makedirs(OUT, exist_ok=True)
    for name, draw in ICONS.items():
        # The tray icons carry no alpha: the count is drawn over them with
        # plain GDI, which leaves alpha at zero, and the mask decides.
        write_ico(os.path.join(OUT, name), draw, 24 if name.startswith('tray_') else 32)
