#!/usr/bin/env python3
"""Draws Kelvane's icon, a clipboard holding a hex grid, and writes it as a
Windows .ico with three images: 16x16 and 32x32 in 16 colours, 32x32 in 256
colours. Deterministic: the same script always writes the same bytes.

    python3 scripts/make_icon.py resources/kelvane.ico
"""
import struct
import sys

# The 16 colours of the standard VGA palette, in palette order.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def palette256():
    """VGA16 first, then the colours the 256-colour image needs, then a 6x6x6
    cube to fill the table."""
    extra = [
        (150, 96, 48), (118, 72, 32), (186, 130, 72),    # board
        (236, 236, 236), (206, 206, 214),                # clip
        (40, 70, 150), (70, 110, 190),                   # header band
        (32, 32, 64), (0, 110, 120), (250, 250, 246),    # digits, text, paper
    ]
    colours = VGA16 + extra
    for r in range(6):
        for g in range(6):
            for b in range(6):
                if len(colours) < 256:
                    colours.append((r * 51, g * 51, b * 51))
    while len(colours) < 256:
        colours.append((0, 0, 0))
    return colours


def draw(size, rich):
    """Returns rows (top first) of RGB tuples or None for transparent."""
    img = [[None] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                if 0 <= x < size and 0 <= y < size:
                    img[y][x] = c

    if size == 32:
        board, board_edge, board_light = ((150, 96, 48), (118, 72, 32), (186, 130, 72)) if rich \
            else ((0, 0, 128), (0, 0, 0), (0, 0, 255))
        paper = (250, 250, 246) if rich else (255, 255, 255)
        clip, clip_edge = ((236, 236, 236), (128, 128, 128)) if rich else ((192, 192, 192), (128, 128, 128))
        header = (40, 70, 150) if rich else (0, 0, 255)
        digit = (32, 32, 64) if rich else (0, 0, 0)
        text = (0, 110, 120) if rich else (0, 128, 128)
        # Board with rounded corners and a dark edge.
        rect(4, 4, 27, 30, board_edge)
        rect(5, 5, 26, 29, board)
        rect(5, 5, 5, 29, board_light)
        for (x, y) in ((4, 4), (27, 4), (4, 30), (27, 30)):
            img[y][x] = None
        # Paper.
        rect(7, 8, 24, 27, paper)
        # Header band of the dump.
        rect(7, 8, 24, 10, header)
        # Hex grid: four rows of three byte cells and a text column.
        for row in range(4):
            y = 13 + row * 4
            for cell in range(3):
                x = 9 + cell * 4
                rect(x, y, x + 2, y + 1, digit)
            rect(22, y, 23, y + 1, text)
        # The clip at the top, over the board.
        rect(11, 1, 20, 6, clip_edge)
        rect(12, 2, 19, 5, clip)
        rect(14, 2, 17, 3, clip_edge)
        rect(15, 2, 16, 2, None)
    else:
        board, board_edge = (0, 0, 128), (0, 0, 0)
        rect(2, 2, 13, 15, board_edge)
        rect(3, 3, 12, 14, board)
        for (x, y) in ((2, 2), (13, 2), (2, 15), (13, 15)):
            img[y][x] = None
        rect(4, 4, 11, 13, (255, 255, 255))
        rect(4, 4, 11, 5, (0, 0, 255))
        for row in range(3):
            y = 7 + row * 2
            rect(5, y, 6, y, (0, 0, 0))
            rect(8, y, 9, y, (0, 0, 0))
            rect(11, y, 11, y, (0, 128, 128))
        rect(6, 0, 9, 2, (128, 128, 128))
        rect(7, 1, 8, 1, (192, 192, 192))
    return img


def nearest(palette, c):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], c)))


def dib(img, palette, bpp):
    """BITMAPINFOHEADER, palette, XOR bits and AND mask of one icon image."""
    size = len(img)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bpp, 0, 0, 0, 0,
                         len(palette), 0)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    xor_stride = ((size * bpp + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):  # bottom-up rows
        indexes = [0 if c is None else nearest(palette, c) for c in img[y]]
        row = bytearray()
        if bpp == 4:
            for x in range(0, size, 2):
                row.append((indexes[x] << 4) | indexes[x + 1])
        else:
            row.extend(indexes)
        row.extend(b'\0' * (xor_stride - len(row)))
        xor.extend(row)
        bits = bytearray(and_stride)
        for x, c in enumerate(img[y]):
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask.extend(bits)
    return header + pal + bytes(xor) + bytes(mask)


def main(path):
    images = [
        (16, 16, dib(draw(16, False), VGA16, 4)),
        (32, 16, dib(draw(32, False), VGA16, 4)),
        (32, 256, dib(draw(32, True), palette256(), 8)),
    ]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, colours, data in images:
        bpp = 4 if colours == 16 else 8
        out += struct.pack('<BBBBHHII', size, size, colours % 256, 0, 1, bpp, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'resources/kelvane.ico')
