#pragma once

// The MD2 file format, decoded from bytes. Everything the importer and
// playback rely on (counts, sizes, every index, every frame name) is checked
// here, once; what this decoder accepts is trusted from then on. No GL and no
// file system here, so the decoder runs anywhere, the fuzzer included.

#include <cstddef>
#include <string>
#include <vector>

namespace TovarToolkit {

// ---- The file's records (little-endian, as stored) --------------------------

struct TovarMD2Header {
    int magic;
    int version;
    int skinWidth;
    int skinHeight;
    int frameSize;
    int numSkins;
    int numVertices;
    int numTexCoords;
    int numTriangles;
    int numGlCommands;
    int numFrames;
    int offsetSkins;
    int offsetTexCoords;
    int offsetTriangles;
    int offsetFrames;
    int offsetGlCommands;
    int offsetEnd;
};

struct TovarMD2TexCoord {
    short u, v;
};

struct TovarMD2Face {
    short vertexIndices[3];
    short textureIndices[3];
};

// ---- What a decoded file holds ----------------------------------------------

struct TovarMD2Triangle {
    float vertex[3]; // already in the model's axes: (x, z, -y) of the file
    float normal[3]; // not read from the file: always 0
};

struct TovarMD2Frame {
    char strName[16]; // NUL-terminated
    std::vector<TovarMD2Triangle> pVertices;
};

// Skin names and the GL command list are not kept: nothing uses them.
struct TovarMD2Data {
    TovarMD2Header header = {};
    std::vector<TovarMD2TexCoord> texCoords;
    std::vector<TovarMD2Face> triangles; // every index checked against its table
    std::vector<TovarMD2Frame> frames;   // each with header.numVertices vertices
};

// Decodes a whole MD2 file. On refusal `data` is left empty and `reason` says
// why, starting with `name` ("tris.md2: triangle 12 uses vertex 900 of 660").
bool DecodeMD2(const unsigned char* bytes, std::size_t size, const std::string& name, TovarMD2Data& data,
               std::string& reason);

} // namespace TovarToolkit
