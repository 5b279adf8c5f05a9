// fontbake OUTPUT: the HUD font's glyphs, made by the desktop's outline code
// exactly as TovarFont::CreateGLFont asks for them, baked into a file for the
// browser build, which has neither FreeType nor a tessellator.

#include "toolkit/platform/common/OutlineGlyphs.h"
#include "toolkit/platform/common/BakedFont.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace TovarToolkit;
using namespace TovarPlatform;

namespace {

int Fail(const std::string& why)
{
    std::fprintf(stderr, "fontbake: %s\n", why.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fontbake OUTPUT\n");
        return 2;
    }
    const char* output = argv[1];

    // CreateGLFont's request: "Comic Sans MS", height -12, FW_BOLD, not
    // italic; codes 0 to 254, deviation 0, filled polygons. The height does
    // not matter: outlines come in em units.
    OutlineFontRequest request;
    request.face = "Comic Sans MS";
    request.weight = FW_BOLD;
    const DWORD first = 0, count = 255;
    std::vector<OutlineGlyph> glyphs;
    std::string faceFile;
    if (!MakeOutlineGlyphs(request, first, count, 0.0f, WGL_FONT_POLYGONS, glyphs, &faceFile))
        return Fail("no face for \"" + request.face + "\" could be found and read");

    TovarBakedFont baked;
    baked.first = first;
    baked.glyphs.resize(glyphs.size());
    std::size_t triangles = 0, failed = 0;
    for (std::size_t c = 0; c < glyphs.size(); ++c) {
        const OutlineGlyph& glyph = glyphs[c];
        TovarBakedGlyph& out = baked.glyphs[c];
        out.present = glyph.present;
        out.failed = glyph.failed;
        out.metrics = glyph.metrics;
        failed += glyph.failed;
        // GL keeps vertices as floats, so floats lose nothing the lists had.
        for (std::size_t v = 0; v < glyph.triangles.size(); v += 3) {
            if (glyph.triangles[v + 2] != 0.0)
                return Fail("code " + std::to_string(first + c) + " is not flat");
            out.vertices.push_back(static_cast<float>(glyph.triangles[v]));
            out.vertices.push_back(static_cast<float>(glyph.triangles[v + 1]));
        }
        triangles += glyph.triangles.size() / 9;
    }

    std::vector<unsigned char> bytes;
    std::string reason;
    if (!EncodeBakedFont(baked, bytes, reason))
        return Fail(reason);
    FILE* f = std::fopen(output, "wb");
    if (!f)
        return Fail(std::string(output) + ": cannot be written");
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    written = std::fclose(f) == 0 && written;
    if (!written) {
        // No part of a file is left to pass for the face; but only a regular
        // file is removed, never a device written to.
        struct stat st;
        if (stat(output, &st) == 0 && S_ISREG(st.st_mode))
            std::remove(output);
        return Fail(std::string(output) + ": cannot be written to its end");
    }
    std::printf("fontbake: %s: %zu codes, %zu triangles, %zu bytes, from %s\n", output, glyphs.size(), triangles,
                bytes.size(), faceFile.c_str());
    if (failed)
        std::printf("fontbake: the outline code failed on %zu codes, as it does on the desktop\n", failed);
    return 0;
}
