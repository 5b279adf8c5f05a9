#!/usr/bin/env bash
# Rebuilds the seed corpus in corpus/<target>/: small valid and borderline
# files from ImageMagick's convert, and a few written byte by byte for what
# convert does not produce (a top-down BMP, a PCX with padded lines and runs
# that cross them). The files are committed; this is only for remaking them.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p corpus && cd corpus
mkdir -p fuzz_bmp fuzz_tga fuzz_pcx

grad() { echo "-size $1 gradient:red-blue"; }
# 40 colours along the rows: more than 4 bits can index.
wide() { echo "-size 3x40 gradient:red-blue -rotate 90"; }

# BMP
convert $(grad 5x3) -type TrueColor BMP3:fuzz_bmp/rgb24_5x3.bmp
convert $(grad 8x4) -type TrueColor BMP3:fuzz_bmp/rgb24_8x4.bmp
convert $(grad 5x3) -colors 12 -type Palette -compress None BMP3:fuzz_bmp/pal4_5x3.bmp
convert $(wide) -type Palette -compress None BMP3:fuzz_bmp/pal8_40x3.bmp
convert $(wide) -type Palette -compress RLE BMP3:fuzz_bmp/rle8_40x3.bmp
convert $(grad 9x2) -monochrome BMP3:fuzz_bmp/mono_9x2.bmp
convert $(grad 5x3) -alpha set -channel A -evaluate set 50% +channel BMP:fuzz_bmp/argb32_5x3.bmp
convert $(grad 5x3) -define bmp:subtype=RGB565 BMP:fuzz_bmp/rgb565_5x3.bmp
convert $(grad 5x3) -define bmp:subtype=RGB555 BMP:fuzz_bmp/rgb555_5x3.bmp
convert $(grad 5x3) -alpha set -channel A -evaluate set 50% +channel -define bmp:subtype=ARGB4444 \
  BMP:fuzz_bmp/argb4444_5x3.bmp
convert $(grad 5x3) -type TrueColor BMP2:fuzz_bmp/os2_rgb24_5x3.bmp
convert $(grad 5x3) -colors 12 -type Palette BMP2:fuzz_bmp/os2_pal4_5x3.bmp
# What convert does not write: RLE4 with every code, 2-bit, 32-bit with
# 10-10-10-2 masks in a 56-byte header, an OS/2 2.x 64-byte header.
python3 - <<'PY'
import struct
def bmp(name, w, h, bits, comp, header, table, rows, colours=0):
    info = struct.pack('<iiHHIIiiII', w, h, 1, bits, comp, 0, 0, 0, colours, 0)
    info = struct.pack('<I', header) + (info + bytes(header))[:header - 4]
    offset = 14 + len(info) + len(table)
    with open('fuzz_bmp/' + name, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', offset + len(rows), 0, 0, offset) + info + table + rows)
pal = lambda n: b''.join(bytes([i * 17 % 256, 255 - i * 9, i * 40 % 256, 0]) for i in range(n))
# 9 x 3: a run, absolute, end of line, delta, a run past the row's end, end of bitmap.
bmp('rle4_9x3.bmp', 9, 3, 4, 2, 40, pal(7),
    bytes([4, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 0, 2, 3, 1, 12, 0x65, 0, 1]), 7)
bmp('pal2_7x2.bmp', 7, 2, 2, 0, 40, pal(3), bytes([0x1B, 0xE4, 0, 0, 0x93, 0x3C, 0, 0]), 3)
masks = struct.pack('<IIII', 0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000)
bmp('bitfields32_1010102_3x2.bmp', 3, -2, 32, 3, 56, b'',
    struct.pack('<6I', 0xFFFFFFFF, 0x40100401, 0x3FF00000, 0x80000000, 0x000FFC00, 0x000003FF))
with open('fuzz_bmp/bitfields32_1010102_3x2.bmp', 'r+b') as f:
    f.seek(54); f.write(masks)
bmp('os2v2_pal8_4x2.bmp', 4, 2, 8, 0, 64, pal(5), bytes([0, 1, 2, 3, 4, 3, 2, 1]), 5)
PY
# 2 x 2, 24-bit, height -2: rows of 6 bytes and 2 of padding, top row first.
{
  printf 'BM\x46\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00'
  printf '\x28\x00\x00\x00\x02\x00\x00\x00\xfe\xff\xff\xff\x01\x00\x18\x00'
  printf '\x00\x00\x00\x00\x10\x00\x00\x00'; head -c 16 /dev/zero
  printf '\x00\x00\xff\x00\xff\x00\x00\x00\xff\x00\x00\xff\xff\xff\x00\x00'
} > fuzz_bmp/topdown_2x2.bmp

# TGA
convert $(grad 6x3) -compress None TGA:fuzz_tga/rgb24_6x3.tga
convert $(grad 6x3) -orient TopLeft -compress None TGA:fuzz_tga/rgb24_topleft.tga
convert $(grad 6x3) -set comment 'Quellin' -compress None TGA:fuzz_tga/rgb24_id.tga
convert $(grad 6x3) -alpha set -channel A -evaluate set 50% +channel -compress None TGA:fuzz_tga/rgba32_6x3.tga
convert $(grad 5x4) -type Grayscale -compress None TGA:fuzz_tga/grey8_5x4.tga
convert $(grad 6x3) -compress RLE TGA:fuzz_tga/rle_6x3.tga

# PCX
convert $(grad 8x4) -type Palette PCX:fuzz_pcx/pal8_8x4.pcx
convert $(grad 5x3) -type Palette PCX:fuzz_pcx/pal8_5x3.pcx
convert $(wide) -type Palette PCX:fuzz_pcx/pal8_40x3.pcx
convert $(grad 8x4) -type TrueColor PCX:fuzz_pcx/rgb_planes_8x4.pcx
# 2 x 2, 4 bytes per line: a run of 3, an empty run, a run of 2 across the
# line end, single bytes, then the palette.
{
  printf '\x0a\x05\x01\x08\x00\x00\x00\x00\x01\x00\x01\x00'; head -c 53 /dev/zero
  printf '\x01\x04\x00'; head -c 60 /dev/zero
  printf '\xc3\x0a\xc0\x63\xc2\x14\x1e\x28\xc2\x32'
  printf '\x0c'; head -c 768 /dev/zero | tr '\0' '\100'
} > fuzz_pcx/runs_padded_2x2.pcx

# Baked fonts: codes 65 and 66 (a triangle, no glyph); codes 0 to 2 (no glyph, a failed one, two triangles).
mkdir -p fuzz_font
python3 - <<'PY'
import struct
g = lambda flags, m, t: bytes([flags]) + struct.pack('<6fI%df' % len(t), *m, len(t) // 6, *t)
def font(name, first, glyphs):
    open('fuzz_font/' + name, 'wb').write(b'TVFB' + struct.pack('<3I', 1, first, len(glyphs)) + b''.join(glyphs))
font('two_65.font', 65, [g(1, [1, 1, 0, 1, .5, 0], [0, 0, 1, 0, 0, 1]), g(0, [0] * 6, [])])
font('three_0.font', 0, [g(0, [0] * 6, []), g(3, [0, 0, 0, 0, .3, 0], []),
                         g(1, [.5, .6, .1, .6, .7, 0], [0, 0, .5, 0, 0, .6, .5, 0, .5, .6, 0, .6])])
PY

# WAV: 16-bit mono, 8-bit stereo after an odd chunk, extensible, cut short.
mkdir -p fuzz_wav
python3 - <<'PY'
import struct
def wav(name, channels, rate, bits, samples, extra=b'', fmt=None, cut=0):
    align = channels * bits // 8
    fmt = fmt or struct.pack('<HHIIHH', 1, channels, rate, rate * align, align, bits)
    body = b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt + extra + b'data' + struct.pack('<I', len(samples)) + samples
    data = b'RIFF' + struct.pack('<I', len(body)) + body
    open('fuzz_wav/' + name, 'wb').write(data[:len(data) - cut])
wav('s16_mono_22050.wav', 1, 22050, 16, struct.pack('<8h', 0, 9000, 18000, 9000, 0, -9000, -18000, -9000))
wav('u8_stereo_8000.wav', 2, 8000, 8, bytes([128, 128, 200, 60, 255, 0, 60, 200]), extra=b'LIST\x03\x00\x00\x00abc\x00')
ext = struct.pack('<HHIIHHHHI', 0xFFFE, 2, 48000, 192000, 4, 16, 22, 16, 3) + struct.pack('<H', 1) + b'\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71'
wav('s16_extensible_48000.wav', 2, 48000, 16, struct.pack('<4h', 1000, -1000, 32767, -32768), fmt=ext)
wav('s16_cut_11025.wav', 1, 11025, 16, struct.pack('<5h', 1, 2, 3, 4, 5), cut=3)
PY
