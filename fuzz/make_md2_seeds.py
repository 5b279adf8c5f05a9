#!/usr/bin/env python3
"""Rebuilds the MD2 seed corpus in corpus/fuzz_md2/: a few small models
written field by field, and three frames cut from the game's own model.
The files are committed; this is only for remaking them."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "fuzz_md2")
GAME_MODEL = os.path.join(HERE, "..", "data", "Models", "Ogro", "tris.md2")


def model(frames, verts, texcoords, triangles, skins=1, glcmds=b"", skin=(256, 256)):
    """frames: list of (name, scale, translate, [(b0, b1, b2), ...])."""
    frame_size = 40 + 4 * verts
    o_skins = 68
    o_tex = o_skins + 64 * skins
    o_tris = o_tex + 4 * len(texcoords)
    o_frames = o_tris + 12 * len(triangles)
    o_gl = o_frames + frame_size * len(frames)
    o_end = o_gl + len(glcmds)
    out = struct.pack("<4s16i", b"IDP2", 8, skin[0], skin[1], frame_size, skins, verts, len(texcoords),
                      len(triangles), len(glcmds) // 4, len(frames), o_skins, o_tex, o_tris, o_frames, o_gl, o_end)
    for s in range(skins):
        out += ("models/seed/skin%d.pcx" % s).encode().ljust(64, b"\0")
    for u, v in texcoords:
        out += struct.pack("<2h", u, v)
    for t in triangles:
        out += struct.pack("<6h", *t)
    for name, scale, translate, vs in frames:
        out += struct.pack("<3f3f", *scale, *translate) + name.encode().ljust(16, b"\0")
        for v in vs:
            out += bytes(v) + b"\0"
    return out + glcmds


def quad_frames(names):
    return [(n, (0.5, 1.0, 2.0), (1.0, 2.0, 3.0),
             [(10 + j + k, 20 + 2 * j, 30 + 3 * k) for k in range(4)]) for j, n in enumerate(names)]


QUAD_TEX = [(0, 0), (128, 0), (128, 128), (0, 256)]
QUAD_TRIS = [(0, 1, 2, 0, 1, 2), (0, 2, 3, 0, 2, 3)]


def cut(path, keep):
    """The game's model with only the frames listed in keep."""
    with open(path, "rb") as f:
        data = f.read()
    h = list(struct.unpack("<17i", data[:68]))
    frame_size, o_frames = h[4], h[14]
    frames = b"".join(data[o_frames + j * frame_size:o_frames + (j + 1) * frame_size] for j in keep)
    h[10] = len(keep)
    h[15] = h[16] = o_frames + len(frames)
    return struct.pack("<17i", *h) + data[68:o_frames] + frames


def main():
    os.makedirs(OUT, exist_ok=True)
    seeds = {
        "quad_3frames.md2": model(quad_frames(["stand01", "stand02", "run1"]), 4, QUAD_TEX, QUAD_TRIS),
        "no_frames.md2": model([], 4, QUAD_TEX, QUAD_TRIS),
        "odd_names.md2": model(quad_frames(["a00", "a01", "b40", "7", "death", "pain101", "pain102"]), 4,
                               QUAD_TEX, QUAD_TRIS),
        "glcmds_2skins.md2": model(quad_frames(["jump1", "jump2"]), 4, QUAD_TEX, QUAD_TRIS, skins=2,
                                   glcmds=struct.pack("<4i", 3, 0, 0, 0), skin=(64, 32)),
        "ogro_cut.md2": cut(GAME_MODEL, [0, 40, 46]),
    }
    for name, data in seeds.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
