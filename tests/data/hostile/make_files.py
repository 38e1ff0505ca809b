#!/usr/bin/env python3
"""Writes the hand-made hostile files of every format folder and their lines in
its expected.txt.

Each file is small and shows one fault a reader must refuse (or survive) without
reading out of bounds or allocating without bound. Run it from anywhere; it
rewrites the folders beside it, keeping the lines of files it does not make (the
crashers a fuzzer found). The codes are the readers' result names."""
import base64
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def le16(v):
    return struct.pack('<H', v & 0xFFFF)


def le32(v):
    return struct.pack('<I', v & 0xFFFFFFFF)


def be16(v):
    return struct.pack('>H', v & 0xFFFF)


def be32(v):
    return struct.pack('>I', v & 0xFFFFFFFF)


def dib_header(width, height, bits, compression=0, clr_used=0, size=40):
    return (le32(size) + struct.pack('<ii', width, height) + le16(1) + le16(bits) +
            le32(compression) + le32(0) + le32(0) + le32(0) + le32(clr_used) + le32(0))


# --- BMP ---------------------------------------------------------------------

def bmp(info, pixels, off_bits=None, bf_size=None):
    off = 14 + len(info) if off_bits is None else off_bits
    total = 14 + len(info) + len(pixels)
    return b'BM' + le32(total if bf_size is None else bf_size) + le32(0) + le32(off) + info + pixels


def bmp_files():
    gray = b''.join(bytes([i, i, i, 0]) for i in range(4))
    yield 'valid-1x1.bmp', bmp(dib_header(1, 1, 24, clr_used=2) + bytes(8), bytes(4)), 'ImageOk'
    yield 'truncated-file-header.bmp', b'BM' + le32(70) + bytes(6), 'ImageBadFormat'
    yield 'header-size-past-end.bmp', bmp(le32(0xFFFFFFF0) + dib_header(1, 1, 24)[4:], bytes(12)), \
        'ImageBadFormat'
    yield 'colour-table-count-huge.bmp', bmp(dib_header(4, 2, 8, clr_used=0xFFFFFFFF), bytes(16)), \
        'ImageBadFormat'
    yield 'rows-beyond-file.bmp', bmp(dib_header(60000, 60000, 24), bytes(16)), 'ImageBadFormat'
    yield 'image-size-overflows.bmp', bmp(dib_header(0x7FFFFFFF, -0x80000000, 32), bytes(16)), \
        'ImageBadFormat'
    # Run-length data is not judged by the file's length, so only the image limit stops it.
    yield 'rle-huge-dimensions.bmp', bmp(dib_header(60000, 60000, 8, 1, 4) + gray, bytes([0, 1])), \
        'ImageOutOfMemory'
    # The pixel offset lies beyond the end: no data, and nothing read from there.
    yield 'rle-offset-past-end.bmp', bmp(dib_header(4, 2, 8, 1, 4) + gray, bytes([0, 1]),
                                         off_bits=0xFFFFFFFF), 'ImageOk'


# --- ICO and CUR -------------------------------------------------------------

def dib_block(width, height, bits, entry_rows=None, clr_used=0):
    rows = height if entry_rows is None else entry_rows
    colors = clr_used or ((1 << bits) if bits <= 8 else 0)
    stride = (width * bits + 31) // 32 * 4
    mask_stride = (width + 31) // 32 * 4
    return (dib_header(width, 2 * rows, bits, clr_used=clr_used) + bytes(4 * colors) +
            bytes(stride * rows) + bytes(mask_stride * rows))


def icon_file(kind, entries, count=None):
    """entries: (width, height, word4, word6, data, bytes_in_res or None, offset or None)."""
    head = le16(0) + le16(kind) + le16(len(entries) if count is None else count)
    offset = 6 + 16 * len(entries)
    directory = b''
    blobs = b''
    for width, height, w4, w6, data, size, at in entries:
        directory += bytes([width, height, 0, 0]) + le16(w4) + le16(w6)
        directory += le32(len(data) if size is None else size)
        directory += le32(offset + len(blobs) if at is None else at)
        blobs += data
    return head + directory + blobs


def png_chunk(kind, data):
    return be32(len(data)) + kind + data + be32(zlib.crc32(kind + data))


PNG_SIGNATURE = b'\x89PNG\r\n\x1a\n'


def png_file(width, height, depth, color, raw_rows, extra=b''):
    ihdr = be32(width) + be32(height) + bytes([depth, color, 0, 0, 0])
    return (PNG_SIGNATURE + png_chunk(b'IHDR', ihdr) + extra +
            png_chunk(b'IDAT', zlib.compress(raw_rows)) + png_chunk(b'IEND', b''))


def ico_files():
    good = dib_block(2, 2, 32)
    yield 'valid-2x2.ico', icon_file(1, [(2, 2, 1, 32, good, None, None)]), 'IconOk'
    yield 'truncated-directory.ico', icon_file(1, [(2, 2, 1, 32, good, None, None)], count=3), \
        'IconBadFormat'
    # offset + size wraps around 32 bits.
    yield 'entry-offset-wraps.ico', icon_file(1, [(2, 2, 1, 32, good, 0x20, 0xFFFFFFF0)]), \
        'IconBadFormat'
    # Both entries share one image block: legal, and each gets its own copy.
    shared = icon_file(1, [(2, 2, 1, 32, good, None, None), (2, 2, 1, 32, b'', len(good), 38)])
    yield 'entries-share-a-block.ico', shared, 'IconOk'
    # The entry points at the file header and directory, read as a DIB header.
    yield 'entry-points-at-directory.ico', icon_file(1, [(2, 2, 1, 32, good, 22, 0)]), \
        'IconBadFormat'
    yield 'huge-dimensions.ico', icon_file(1, [(0, 0, 1, 32, dib_header(65535, 131070, 32), None,
                                               None)]), 'IconBadFormat'
    bad_crc = bytearray(png_file(1, 1, 8, 0, b'\x00\x00'))
    bad_crc[29] ^= 1  # the IHDR CRC
    yield 'png-entry-bad-crc.ico', icon_file(1, [(1, 1, 1, 32, bytes(bad_crc), None, None)]), \
        'IconBadFormat'


def cur_files():
    good = dib_block(2, 2, 1)
    yield 'valid-2x2.cur', icon_file(2, [(2, 2, 1, 1, good, None, None)]), 'IconOk'
    yield 'no-images.cur', icon_file(2, []), 'IconBadFormat'
    huge_table = dib_header(2, 4, 1, clr_used=0xFFFFFFFF) + bytes(24)
    yield 'colour-table-count-huge.cur', icon_file(2, [(2, 2, 0, 0, huge_table, None, None)]), \
        'IconBadFormat'
    yield 'rows-past-entry.cur', icon_file(2, [(2, 2, 0, 0, good[:-5], None, None)]), 'IconBadFormat'


# --- ANI ---------------------------------------------------------------------

def riff_chunk(kind, data, size=None):
    pad = b'\x00' if len(data) % 2 else b''
    return kind + le32(len(data) if size is None else size) + data + pad


def riff_list(kind, chunks):
    return riff_chunk(b'LIST', kind + b''.join(chunks))


def anih(frames, flags=1):
    return riff_chunk(b'anih', b''.join(le32(v) for v in (36, frames, frames, 0, 0, 0, 0, 10, flags)))


def ani_file(chunks, riff_size=None, form=b'RIFF'):
    body = b'ACON' + b''.join(chunks)
    return form + le32(len(body) if riff_size is None else riff_size) + body


def ani_files():
    cursor = icon_file(2, [(2, 2, 1, 1, dib_block(2, 2, 1), None, None)])
    frames = riff_list(b'fram', [riff_chunk(b'icon', cursor)])
    yield 'valid-1-frame.ani', ani_file([anih(1), frames]), 'IconOk'
    # Writers often state a RIFF size larger than what they wrote; the file bounds the walk.
    yield 'riff-size-beyond-file.ani', ani_file([anih(1), frames], riff_size=0xFFFFFFFF), 'IconOk'
    yield 'rifx.ani', ani_file([anih(1), frames], form=b'RIFX'), 'IconUnsupported'
    yield 'no-icon-flag.ani', ani_file([anih(1, flags=0), frames]), 'IconUnsupported'
    yield 'chunk-size-past-end.ani', ani_file([riff_chunk(b'anih', bytes(36), size=0xFFFFFFF0)]), \
        'IconBadFormat'
    yield 'second-anih.ani', ani_file([anih(1), anih(1), frames]), 'IconBadFormat'
    # The cursor inside the "icon" chunk points its entry past the chunk.
    broken = icon_file(2, [(2, 2, 1, 1, b'', 64, 0x1000)])
    yield 'icon-entry-outside-chunk.ani', ani_file([anih(1), riff_list(b'fram', [riff_chunk(
        b'icon', broken)])]), 'IconBadFormat'
    # A "fram" list that states more bytes than the file holds.
    yield 'list-size-past-end.ani', ani_file([anih(1), b'LIST' + le32(0x7FFFFFF0) + b'fram' +
                                              riff_chunk(b'icon', cursor)]), 'IconBadFormat'


# --- PNG ---------------------------------------------------------------------

def png_files():
    yield 'valid-1x1.png', png_file(1, 1, 8, 0, b'\x00\x7f'), 'PngOk'
    yield 'truncated-signature.png', PNG_SIGNATURE[:5], 'PngNotPng'
    long_ihdr = bytearray(png_file(1, 1, 8, 0, b'\x00\x7f'))
    long_ihdr[8:12] = be32(0x7FFFFFFF)
    yield 'chunk-length-past-end.png', bytes(long_ihdr), 'PngBadFormat'
    bad_crc = bytearray(png_file(1, 1, 8, 0, b'\x00\x7f'))
    bad_crc[-5] ^= 1  # the IEND CRC
    yield 'bad-crc.png', bytes(bad_crc), 'PngBadCrc'
    # 65535 x 65535 RGBA in a few dozen bytes: refused by the size limit, not inflated.
    yield 'huge-dimensions.png', png_file(65535, 65535, 8, 6, b'\x00' * 5), 'PngOutOfMemory'
    cut = PNG_SIGNATURE + png_chunk(b'IHDR', be32(4) + be32(4) + bytes([8, 0, 0, 0, 0]))
    rows = b''.join(b'\x00' + bytes([y, y + 1, y + 2, y + 3]) for y in range(4))
    cut += png_chunk(b'IDAT', zlib.compress(rows, 0)[:12]) + png_chunk(b'IEND', b'')
    yield 'idat-stream-cut-short.png', cut, 'PngFailed'
    # A complete stream that holds two of the four rows.
    short = PNG_SIGNATURE + png_chunk(b'IHDR', be32(4) + be32(4) + bytes([8, 0, 0, 0, 0]))
    short += png_chunk(b'IDAT', zlib.compress(rows[:10])) + png_chunk(b'IEND', b'')
    yield 'idat-stream-ends-early.png', short, 'PngBadFormat'
    # acTL after the image data breaks the animation's rules.
    actl_late = png_file(1, 1, 8, 0, b'\x00\x7f')
    iend = png_chunk(b'IEND', b'')
    actl_late = actl_late[:-len(iend)] + png_chunk(b'acTL', be32(1) + be32(0)) + iend
    yield 'actl-after-idat.png', actl_late, 'PngBadFormat'
    yield 'palette-missing.png', png_file(1, 1, 8, 3, b'\x00\x00'), 'PngBadFormat'


# --- PSD ---------------------------------------------------------------------

def psd_header(channels, width, height, mode=3, depth=8):
    return (b'8BPS' + be16(1) + bytes(6) + be16(channels) + be32(height) + be32(width) +
            be16(depth) + be16(mode))


def psd_layer_record(top, left, bottom, right, channels, extra=b''):
    record = be32(top) + be32(left) + be32(bottom) + be32(right) + be16(len(channels))
    for channel_id, length in channels:
        record += be16(channel_id) + be32(length)
    return record + b'8BIMnorm' + bytes([255, 0, 0, 0]) + be32(len(extra)) + extra


def psd_rgb(records, channel_data, count=None, width=1, height=1):
    info = be16(len(records) if count is None else count) + b''.join(records) + channel_data
    layers = be32(len(info) + 4) + be32(len(info)) + info
    return psd_header(3, width, height) + be32(0) + be32(0) + layers + be16(0) + bytes(3 * width * height)


def psd_files():
    raw = b''.join(be16(0) + b'\x80' for _ in range(3))
    rgb = [(0, 3), (1, 3), (2, 3)]
    yield 'valid-1x1.psd', psd_rgb([psd_layer_record(0, 0, 1, 1, rgb)], raw), 'PsdOk'
    yield 'truncated-header.psd', psd_header(3, 1, 1)[:20], 'PsdBadFormat'
    long_section = psd_header(3, 1, 1) + be32(0) + be32(0) + be32(0xFFFFFFFF) + bytes(8)
    yield 'section-length-past-end.psd', long_section, 'PsdBadFormat'
    yield 'layer-count-past-section.psd', psd_rgb([psd_layer_record(0, 0, 1, 1, rgb)], raw,
                                                  count=32767), 'PsdBadFormat'
    # A 100000 x 100000 layer in a few hundred bytes: refused before any plane is made.
    yield 'huge-layer.psd', psd_rgb([psd_layer_record(0, 0, 100000, 100000, rgb)], raw), \
        'PsdOutOfMemory'
    indexed = psd_header(1, 50000, 50000, mode=2) + be32(768) + bytes(768) + be32(0) + be32(0)
    yield 'huge-indexed-document.psd', indexed + be16(0), 'PsdOutOfMemory'
    # PackBits row counts that add up to more than the file holds.
    packed = be16(1) + be16(0xFFFF) + b'\x00'
    yield 'packbits-counts-past-end.psd', psd_rgb([psd_layer_record(0, 0, 1, 1, [(0, 5)])], packed), \
        'PsdBadFormat'
    yield 'zip-channel.psd', psd_rgb([psd_layer_record(0, 0, 1, 1, [(0, 3)])], be16(2) + b'\x00'), \
        'PsdUnsupportedCompression'
    yield 'sixteen-bit.psd', psd_header(3, 1, 1, depth=16) + bytes(16), 'PsdUnsupportedMode'


SVG_OPEN = b"<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink'"


def gzip(data):
    packer = zlib.compressobj(9, zlib.DEFLATED, 16 + zlib.MAX_WBITS)
    return packer.compress(data) + packer.flush()


def svg_files():
    # Read at the document's own size; a refused reference leaves its part out.
    yield 'valid.svg', SVG_OPEN + b" width='4' height='4'><rect width='4' height='4'/></svg>", 'SvgOk'
    entities = b"<!ENTITY l0 'lol'>" + b''.join(
        b'<!ENTITY l%d \'' % i + b'&l%d;' % (i - 1) * 10 + b"'>" for i in range(1, 11))
    yield 'billion-laughs.svg', (b"<?xml version='1.0'?><!DOCTYPE svg [" + entities + b"]>" +
                                 SVG_OPEN + b"><text>&l10;</text></svg>"), 'SvgBadFormat'
    yield 'truncated.svg', SVG_OPEN + b" width='4' height='4'><rect wid", 'SvgBadFormat'
    yield 'external-image.svg', SVG_OPEN + (b" width='4' height='4'><image width='4' height='4' "
                                            b"xlink:href='file:///etc/hostname'/></svg>"), 'SvgOk'
    yield 'external-use.svg', SVG_OPEN + (b" width='4' height='4'>"
                                          b"<use href='/usr/share/icons/x.svg#a'/></svg>"), 'SvgOk'
    yield 'xinclude.svg', SVG_OPEN + (b" xmlns:xi='http://www.w3.org/2001/XInclude' width='4' "
                                      b"height='4'><text><xi:include href='/etc/passwd' parse='text'/>"
                                      b"</text></svg>"), 'SvgOk'
    yield 'network-image.svg', SVG_OPEN + (b" width='4' height='4'><image width='4' height='4' "
                                           b"href='http://192.0.2.1/x.png'/></svg>"), 'SvgOk'
    yield 'self-use.svg', SVG_OPEN + b" width='4' height='4'><use id='a' href='#a'/></svg>", 'SvgOk'
    # An embedded PNG that claims 60000 x 60000 pixels: the renderer may not get
    # the memory to decode it and draws without it.
    huge = (b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', struct.pack('>IIBBBBB', 60000, 60000, 8, 6, 0, 0, 0)) +
            png_chunk(b'IDAT', zlib.compress(bytes(100))) + png_chunk(b'IEND', b''))
    yield 'huge-embedded-png.svg', SVG_OPEN + (b" width='8' height='8'><image width='8' height='8' "
                                               b"href='data:image/png;base64," +
                                               base64.b64encode(huge) + b"'/></svg>"), 'SvgOk'
    yield 'huge-size.svg', SVG_OPEN + b" width='100000000' height='100000000'/>", 'SvgTooLarge'
    yield 'inflates-too-far.svgz', gzip(b' ' * (65 << 20)), 'SvgTooLarge'
    yield 'broken-gzip.svgz', gzip(SVG_OPEN + b'/>')[:20], 'SvgBadFormat'


FORMATS = {'bmp': bmp_files, 'ico': ico_files, 'cur': cur_files, 'ani': ani_files,
           'png': png_files, 'psd': psd_files, 'svg': svg_files}


def main():
    for folder, make in FORMATS.items():
        path = os.path.join(HERE, folder)
        os.makedirs(path, exist_ok=True)
        manifest = os.path.join(path, 'expected.txt')
        kept = []
        made = {}
        for name, data, code in make():
            with open(os.path.join(path, name), 'wb') as out:
                out.write(data)
            made[name] = code
        if os.path.exists(manifest):
            with open(manifest) as old:
                kept = [line for line in old if line.split()[:1] and line.split()[0] not in made]
        with open(manifest, 'w') as out:
            out.writelines(f'{name} {code}\n' for name, code in made.items())
            out.writelines(kept)


if __name__ == '__main__':
    main()
