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
