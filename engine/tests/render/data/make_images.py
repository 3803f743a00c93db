#!/usr/bin/env python3
"""Writes the small image files the render tests and the image fuzz target
start from. Run: make_images.py OUTPUT_FOLDER. Every file is built byte by
byte here, so the set can be remade anywhere; halves.jpg alone was written
once by SDL2_image's JPEG writer (16x8, left half red, right half blue,
quality 95) and is kept as it is, and so is chunk_past_end.png, which the
image fuzz target found: a PNG whose tRNS chunk runs past the end of the file
(it once made libpng loop forever under SDL2_image)."""
import struct, zlib, sys, os

def png(w, h, rows, color_type=6, bit_depth=8, extra_chunks=b'', plte=None, trns=None):
    def chunk(t, d):
        return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    raw = b''.join(b'\x00' + r for r in rows)
    out = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, bit_depth, color_type, 0, 0, 0))
    if plte: out += chunk(b'PLTE', plte)
    if trns: out += chunk(b'tRNS', trns)
    out += extra_chunks + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b'')
    return out

def rgba_rows(pix, w, h):
    return [b''.join(bytes(pix[y*w+x]) for x in range(w)) for y in range(h)]

def bmp_core(w, h, pix):  # the 12-byte OS/2 core header, 24-bit, bottom-up
    rowsize = (w*3 + 3) & ~3
    data = b''
    for y in reversed(range(h)):
        r = b''.join(bytes([p[2], p[1], p[0]]) for p in pix[y*w:(y+1)*w])
        data += r + b'\x00' * (rowsize - len(r))
    info = struct.pack('<IHHHH', 12, w, h, 1, 24)
    return b'BM' + struct.pack('<IHHI', 14 + 12 + len(data), 0, 0, 26) + info + data

def bmp32_top_down(w, h, pix):  # BITMAPV4-style header with an alpha mask, rows top-down
    data = b''.join(bytes([p[2], p[1], p[0], p[3]]) for p in pix)
    info = struct.pack('<IiiHHIIiiII', 108, w, -h, 1, 32, 3, len(data), 2835, 2835, 0, 0)
    info += struct.pack('<IIII', 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000) + b'\x00' * (108 - 56)
    return b'BM' + struct.pack('<IHHI', 14 + 108 + len(data), 0, 0, 14 + 108) + info + data

def bmp24(w, h, pix):  # pix rgba list, bottom-up
    rowsize = (w*3 + 3) & ~3
    data = b''
    for y in reversed(range(h)):
        r = b''.join(bytes([p[2], p[1], p[0]]) for p in pix[y*w:(y+1)*w])
        data += r + b'\x00' * (rowsize - len(r))
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + 40 + len(data), 0, 0, 54) + info + data

def gif(w, h, indices, palette, transparent=None, screen=None):
    sw, sh = screen or (w, h)
    out = b'GIF89a' + struct.pack('<HHBBB', sw, sh, 0xF1, 0, 0)  # global table of 4 entries
    pal = b''.join(bytes(c) for c in palette) + b'\x00' * (12 - 3*len(palette))
    out += pal
    if transparent is not None:
        out += b'\x21\xF9\x04' + bytes([1, 0, 0, transparent]) + b'\x00'
    out += b'\x2C' + struct.pack('<HHHHB', 0, 0, w, h, 0)
    # LZW, min code size 2, clear before every code so the code size stays 3.
    codes = []
    for i in indices:
        codes += [4, i]
    codes.append(5)
    bits = 0; nbits = 0; data = bytearray()
    for c in codes:
        bits |= c << nbits; nbits += 3
        while nbits >= 8:
            data.append(bits & 0xff); bits >>= 8; nbits -= 8
    if nbits: data.append(bits & 0xff)
    out += b'\x02' + bytes([len(data)]) + bytes(data) + b'\x00' + b'\x3B'
    return out

def tiff(w, h, pix, big_endian=False):
    e = '>' if big_endian else '<'
    data = b''.join(bytes(p) for p in pix)
    entries = [(256, 3, 1, w), (257, 3, 1, h), (258, 3, 4, None), (259, 3, 1, 1), (262, 3, 1, 2),
               (273, 4, 1, 8), (277, 3, 1, 4), (278, 3, 1, h), (279, 4, 1, len(data)), (284, 3, 1, 1), (338, 3, 1, 2)]
    ifd_off = 8 + len(data)
    bps_off = ifd_off + 2 + 12*len(entries) + 4
    ifd = struct.pack(e + 'H', len(entries))
    for tag, typ, cnt, val in entries:
        if tag == 258:
            ifd += struct.pack(e + 'HHII', tag, typ, cnt, bps_off)
        elif typ == 3:
            ifd += struct.pack(e + 'HHIHH', tag, typ, cnt, val, 0)
        else:
            ifd += struct.pack(e + 'HHII', tag, typ, cnt, val)
    ifd += struct.pack(e + 'I', 0) + struct.pack(e + 'HHHH', 8, 8, 8, 8)
    head = (b'MM\x00\x2A' if big_endian else b'II\x2A\x00') + struct.pack(e + 'I', ifd_off)
    return head + data + ifd

four = [(255,0,0,255),(0,255,0,255),(0,0,255,255),(255,255,0,255)]
def write(name, b):
    open(name, 'wb').write(b)

alpha = [(255,0,0,0),(0,255,0,255),(0,0,255,128),(255,255,255,64)]

if __name__ == '__main__':
    d = sys.argv[1]
    os.makedirs(d, exist_ok=True)
    write(f'{d}/four.png', png(2, 2, rgba_rows(four, 2, 2)))
    write(f'{d}/alpha.png', png(2, 2, rgba_rows(alpha, 2, 2)))
    write(f'{d}/rgb.png', png(2, 1, [bytes([255,0,0, 0,0,255])], color_type=2))
    write(f'{d}/palette.png', png(2, 1, [bytes([0, 1])], color_type=3, plte=bytes([255,0,0, 0,0,255]), trns=bytes([128])))
    write(f'{d}/four.bmp', bmp24(2, 2, four))
    write(f'{d}/four_core.bmp', bmp_core(2, 2, four))
    write(f'{d}/alpha_top_down.bmp', bmp32_top_down(2, 2, alpha))
    write(f'{d}/four.gif', gif(2, 2, [0,1,2,3], [(255,0,0),(0,255,0),(0,0,255),(255,255,0)], transparent=3))
    write(f'{d}/smallframe.gif', gif(1, 2, [0,1], [(255,0,0),(0,255,0)], screen=(3, 4)))
    write(f'{d}/four.tif', tiff(2, 2, four))
    write(f'{d}/four_be.tif', tiff(2, 2, four, True))
    # Declares 100000 x 100000 pixels in a 69-byte file.
    write(f'{d}/huge.png', png(100000, 100000, [b'\x00' * 4]))
    whole = png(2, 2, rgba_rows(four, 2, 2))
    write(f'{d}/truncated.png', whole[:45])
    write(f'{d}/notimage.png', b'This is a text file with an image name.\n')
