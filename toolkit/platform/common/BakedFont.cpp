#include "toolkit/platform/common/BakedFont.h"

#include "toolkit/File.h"

#include <cmath>
#include <cstring>

namespace TovarToolkit {

namespace {

const unsigned char kMagic[4] = {'T', 'V', 'F', 'B'};
const std::int64_t kHeaderBytes = 16;
const std::int64_t kGlyphHeaderBytes = 1 + 6 * 4 + 4;
const std::int64_t kTriangleBytes = 3 * 2 * 4;
const unsigned kPresent = 1, kFailed = 2;
// Character codes are bytes: a font covers at most codes 0 to 255.
const std::uint32_t kCodes = 256;

float* MetricField(GLYPHMETRICSFLOAT& m, int i)
{
    float* fields[6] = {&m.gmfBlackBoxX, &m.gmfBlackBoxY, &m.gmfptGlyphOrigin.x, &m.gmfptGlyphOrigin.y,
                        &m.gmfCellIncX, &m.gmfCellIncY};
    return fields[i];
}

// What keeps a glyph out of the file, or null.
const char* GlyphProblem(const TovarBakedGlyph& glyph)
{
    GLYPHMETRICSFLOAT m = glyph.metrics;
    for (int i = 0; i < 6; ++i) {
        if (!std::isfinite(*MetricField(m, i)))
            return "a metric is not a finite number";
        if (!glyph.present && *MetricField(m, i) != 0.0f)
            return "a code without a glyph has metrics";
    }
    if (glyph.vertices.size() % 6 != 0)
        return "its vertices do not make whole triangles";
    if (!glyph.present && !glyph.vertices.empty())
        return "a code without a glyph has triangles";
    for (float v : glyph.vertices)
        if (!std::isfinite(v))
            return "a vertex is not a finite number";
    return nullptr;
}

void PutU32(std::vector<unsigned char>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

void PutF32(std::vector<unsigned char>& out, float f)
{
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    PutU32(out, u);
}

} // namespace

bool DecodeBakedFont(const unsigned char* bytes, std::size_t size, const std::string& name, TovarBakedFont& font,
                     std::string& reason)
{
    font = TovarBakedFont();
    auto refuse = [&](const std::string& why) {
        reason = name + ": " + why;
        font = TovarBakedFont();
        return false;
    };
    ByteReader in(bytes, size);
    if (!in.Has(0, kHeaderBytes) || std::memcmp(in.At(0), kMagic, sizeof kMagic) != 0)
        return refuse("not a baked font");
    if (in.U32(4) != kBakedFontVersion)
        return refuse("baked font version " + std::to_string(in.U32(4)) + ", expected "
                      + std::to_string(kBakedFontVersion));
    const std::uint32_t first = in.U32(8), count = in.U32(12);
    if (first > kCodes || count > kCodes - first)
        return refuse("codes " + std::to_string(first) + " and " + std::to_string(count)
                      + " more are not all byte codes");

    font.first = first;
    font.glyphs.resize(count);
    std::int64_t at = kHeaderBytes;
    for (std::uint32_t c = 0; c < count; ++c) {
        const std::string code = "code " + std::to_string(first + c) + ": ";
        if (!in.Has(at, kGlyphHeaderBytes))
            return refuse(code + "the file ends early");
        TovarBakedGlyph& glyph = font.glyphs[c];
        unsigned flags = in.U8(at);
        if (flags & ~(kPresent | kFailed))
            return refuse(code + "unknown flags " + std::to_string(flags));
        glyph.present = (flags & kPresent) != 0;
        glyph.failed = (flags & kFailed) != 0;
        for (int i = 0; i < 6; ++i)
            *MetricField(glyph.metrics, i) = in.F32(at + 1 + 4 * i);
        const std::int64_t triangles = in.U32(at + 25);
        at += kGlyphHeaderBytes;
        if (!in.Has(at, triangles * kTriangleBytes))
            return refuse(code + "the file ends inside its " + std::to_string(triangles) + " triangles");
        glyph.vertices.resize(static_cast<std::size_t>(triangles) * 6);
        for (float& v : glyph.vertices) {
            v = in.F32(at);
            at += 4;
        }
        if (const char* problem = GlyphProblem(glyph))
            return refuse(code + problem);
    }
    if (at != in.Size())
        return refuse(std::to_string(in.Size() - at) + " bytes after the last code");
    return true;
}

bool EncodeBakedFont(const TovarBakedFont& font, std::vector<unsigned char>& bytes, std::string& reason)
{
    bytes.clear();
    if (font.first > kCodes || font.glyphs.size() > kCodes - font.first) {
        reason = "a baked font holds byte codes only";
        return false;
    }
    bytes.insert(bytes.end(), kMagic, kMagic + sizeof kMagic);
    PutU32(bytes, kBakedFontVersion);
    PutU32(bytes, font.first);
    PutU32(bytes, static_cast<std::uint32_t>(font.glyphs.size()));
    for (std::size_t c = 0; c < font.glyphs.size(); ++c) {
        const TovarBakedGlyph& glyph = font.glyphs[c];
        if (const char* problem = GlyphProblem(glyph)) {
            reason = "code " + std::to_string(font.first + c) + ": " + problem;
            bytes.clear();
            return false;
        }
        bytes.push_back(static_cast<unsigned char>((glyph.present ? kPresent : 0) | (glyph.failed ? kFailed : 0)));
        GLYPHMETRICSFLOAT m = glyph.metrics;
        for (int i = 0; i < 6; ++i)
            PutF32(bytes, *MetricField(m, i));
        PutU32(bytes, static_cast<std::uint32_t>(glyph.vertices.size() / 6));
        for (float v : glyph.vertices)
            PutF32(bytes, v);
    }
    return true;
}

} // namespace TovarToolkit
