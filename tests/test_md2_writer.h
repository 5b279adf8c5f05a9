#pragma once

// The tests' own MD2 writer: a model described field by field, written with
// the standard layout (header, skins, texture coordinates, triangles, frames),
// and helpers to corrupt the bytes afterwards.

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace md2test {

struct Frame {
    float scale[3] = {1.0f, 1.0f, 1.0f};
    float translate[3] = {0.0f, 0.0f, 0.0f};
    char name[16] = {};
    std::vector<std::array<unsigned char, 3>> verts;

    void SetName(const std::string& text)
    {
        std::memset(name, 0, sizeof name);
        std::memcpy(name, text.data(), text.size() < sizeof name ? text.size() : sizeof name);
    }
};

struct Model {
    std::int32_t magic = 0x32504449; // "IDP2"
    std::int32_t version = 8;
    std::int32_t skinWidth = 256;
    std::int32_t skinHeight = 256;
    int numSkins = 1;
    int numVertices = 0;
    std::vector<std::array<std::int16_t, 2>> texCoords;
    std::vector<std::array<std::int16_t, 6>> triangles; // 3 vertex, then 3 texture indices
    std::vector<Frame> frames;
    int framePadding = 0; // extra bytes after each frame's vertices
};

// Header field offsets, for tests that patch the written bytes.
enum Field {
    kMagic = 0, kVersion = 4, kSkinWidth = 8, kSkinHeight = 12, kFrameSize = 16, kNumSkins = 20,
    kNumVertices = 24, kNumTexCoords = 28, kNumTriangles = 32, kNumGlCommands = 36, kNumFrames = 40,
    kOffsetSkins = 44, kOffsetTexCoords = 48, kOffsetTriangles = 52, kOffsetFrames = 56,
    kOffsetGlCommands = 60, kOffsetEnd = 64
};

inline void PutU32(std::string& bytes, size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xff);
}

inline void PutI32(std::string& bytes, size_t at, std::int32_t value)
{
    PutU32(bytes, at, static_cast<std::uint32_t>(value));
}

inline std::int32_t GetI32(const std::string& bytes, size_t at)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t(static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)])) << (8 * i);
    return static_cast<std::int32_t>(v);
}

inline void AppendI32(std::string& bytes, std::int32_t value)
{
    bytes.append(4, '\0');
    PutI32(bytes, bytes.size() - 4, value);
}

inline void AppendI16(std::string& bytes, std::int16_t value)
{
    auto v = static_cast<std::uint16_t>(value);
    bytes.push_back(static_cast<char>(v & 0xff));
    bytes.push_back(static_cast<char>(v >> 8));
}

inline void AppendF32(std::string& bytes, float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    AppendI32(bytes, static_cast<std::int32_t>(bits));
}

inline std::string Build(const Model& m)
{
    const int frameSize = 40 + 4 * m.numVertices + m.framePadding;
    const int offsetSkins = 68;
    const int offsetTexCoords = offsetSkins + 64 * m.numSkins;
    const int offsetTriangles = offsetTexCoords + 4 * static_cast<int>(m.texCoords.size());
    const int offsetFrames = offsetTriangles + 12 * static_cast<int>(m.triangles.size());
    const int offsetEnd = offsetFrames + frameSize * static_cast<int>(m.frames.size());

    std::string b;
    for (std::int32_t v : {m.magic, m.version, m.skinWidth, m.skinHeight, frameSize, m.numSkins, m.numVertices,
                           static_cast<std::int32_t>(m.texCoords.size()),
                           static_cast<std::int32_t>(m.triangles.size()), 0,
                           static_cast<std::int32_t>(m.frames.size()), offsetSkins, offsetTexCoords,
                           offsetTriangles, offsetFrames, offsetEnd, offsetEnd})
        AppendI32(b, v);
    for (int s = 0; s < m.numSkins; ++s) {
        std::string skin = "models/test/skin" + std::to_string(s) + ".pcx";
        skin.resize(64, '\0');
        b += skin;
    }
    for (const auto& tc : m.texCoords) {
        AppendI16(b, tc[0]);
        AppendI16(b, tc[1]);
    }
    for (const auto& tri : m.triangles)
        for (std::int16_t v : tri)
            AppendI16(b, v);
    for (const Frame& f : m.frames) {
        for (float v : f.scale)
            AppendF32(b, v);
        for (float v : f.translate)
            AppendF32(b, v);
        b.append(f.name, sizeof f.name);
        for (int k = 0; k < m.numVertices; ++k) {
            std::array<unsigned char, 3> v = k < static_cast<int>(f.verts.size()) ? f.verts[static_cast<size_t>(k)]
                                                                                   : std::array<unsigned char, 3>{};
            b.push_back(static_cast<char>(v[0]));
            b.push_back(static_cast<char>(v[1]));
            b.push_back(static_cast<char>(v[2]));
            b.push_back(0); // normal index
        }
        b.append(static_cast<size_t>(m.framePadding), '\0');
    }
    return b;
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A small model whose frames are named as given: four vertices, two
// triangles, four texture coordinates; vertex k of frame j has the bytes
// (10 + j + k, 20 + 2j, 30 + 3k), so every frame differs from its neighbours.
inline Model Named(const std::vector<std::string>& names)
{
    Model m;
    m.numVertices = 4;
    m.texCoords = {{{0, 0}}, {{128, 0}}, {{128, 128}}, {{0, 256}}};
    m.triangles = {{{0, 1, 2, 0, 1, 2}}, {{0, 2, 3, 0, 2, 3}}};
    for (size_t j = 0; j < names.size(); ++j) {
        Frame f;
        f.SetName(names[j]);
        for (int k = 0; k < 4; ++k) {
            int jj = static_cast<int>(j);
            f.verts.push_back({{static_cast<unsigned char>(10 + jj + k), static_cast<unsigned char>(20 + 2 * jj),
                                static_cast<unsigned char>(30 + 3 * k)}});
        }
        m.frames.push_back(f);
    }
    return m;
}

// Adds a closed cube of side `size` bytes at `at` to every frame (a
// one-frame model when there is none), its faces counter-clockwise seen from
// outside; `corner0`, when given, stands in for its first corner.
inline void AddCube(Model& m, int at = 10, int size = 10, int corner0 = -1)
{
    static const int quads[6][4] = {{1, 3, 7, 5}, {0, 4, 6, 2}, {2, 6, 7, 3}, {0, 1, 5, 4}, {4, 5, 7, 6}, {0, 2, 3, 1}};
    if (m.frames.empty()) {
        m.frames.emplace_back();
        m.texCoords = {{{0, 0}}};
    }
    for (Frame& f : m.frames)
        for (int i = 0; i < 8; ++i)
            f.verts.push_back({{static_cast<unsigned char>(at + (i & 1) * size),
                                static_cast<unsigned char>(at + (i >> 1 & 1) * size),
                                static_cast<unsigned char>(at + (i >> 2 & 1) * size)}});
    auto corner = [&](int c) { return static_cast<std::int16_t>(c == 0 && corner0 >= 0 ? corner0 : m.numVertices + c); };
    for (const auto& q : quads)
        for (int half = 0; half < 2; ++half)
            m.triangles.push_back({{corner(q[0]), corner(q[1 + half]), corner(q[2 + half]), 0, 0, 0}});
    m.numVertices += 8;
}

inline std::vector<std::string> Sequence(const std::string& base, int first, int last, bool twoDigits = false)
{
    std::vector<std::string> names;
    for (int i = first; i <= last; ++i) {
        std::string n = std::to_string(i);
        if (twoDigits && n.size() < 2)
            n = "0" + n;
        names.push_back(base + n);
    }
    return names;
}

inline std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

} // namespace md2test
