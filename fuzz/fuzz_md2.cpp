// MD2 decoder: any bytes give either a refusal with a reason and no data, or
// data whose every table holds what the header says and whose every index is
// in range, so that playback may trust it.

#include "toolkit/MD2Decoder.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace TovarToolkit;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TovarMD2Data md2;
    std::string reason;
    if (!DecodeMD2(data, size, "fuzz.md2", md2, reason)) {
        if (reason.compare(0, 10, "fuzz.md2: ") != 0 || reason.size() <= 10)
            std::abort();
        if (!md2.frames.empty() || !md2.triangles.empty() || !md2.texCoords.empty())
            std::abort();
        return 0;
    }
    const TovarMD2Header& h = md2.header;
    if (h.version != 8 || h.skinWidth <= 0 || h.skinHeight <= 0)
        std::abort();
    if (md2.frames.size() != static_cast<size_t>(h.numFrames) || h.numFrames > 512 ||
        md2.triangles.size() != static_cast<size_t>(h.numTriangles) ||
        md2.texCoords.size() != static_cast<size_t>(h.numTexCoords))
        std::abort();
    for (const TovarMD2Face& face : md2.triangles)
        for (int c = 0; c < 3; ++c)
            if (face.vertexIndices[c] < 0 || face.vertexIndices[c] >= h.numVertices ||
                face.textureIndices[c] < 0 || face.textureIndices[c] >= h.numTexCoords)
                std::abort();
    for (const TovarMD2Frame& frame : md2.frames)
        if (frame.pVertices.size() != static_cast<size_t>(h.numVertices) ||
            !std::memchr(frame.strName, '\0', sizeof frame.strName))
            std::abort();
    return 0;
}
