// md2info <model.md2> [--dump <file.xml>]
// Prints an MD2 file's header, skin names, frame names and the animation
// table the importer builds from them; with --dump, also writes the
// importer's XML-like dump. Reads any file: a broken one gets its header
// printed as it stands and "import: refused".

#include "toolkit/File.h"
#include "toolkit/MD2.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace TovarToolkit;

namespace {

std::int32_t I32(const unsigned char* p)
{
    return static_cast<std::int32_t>(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                                     (std::uint32_t(p[3]) << 24));
}

std::vector<unsigned char> ReadAll(const char* name)
{
    std::vector<unsigned char> bytes;
    FILE* f = OpenFile(name, "rb");
    if (!f)
        return bytes;
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

// Printable text from at most `size` bytes, stopping at the first NUL.
std::string Text(const unsigned char* p, size_t size)
{
    std::string s;
    for (size_t i = 0; i < size && p[i]; ++i)
        s += (p[i] >= 32 && p[i] < 127) ? static_cast<char>(p[i]) : '?';
    return s;
}

bool Inside(long long offset, long long length, size_t size)
{
    return offset >= 0 && length >= 0 && offset + length <= static_cast<long long>(size);
}

} // namespace

int main(int argc, char** argv)
{
    const char* file = nullptr;
    const char* dump = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dump") == 0 && i + 1 < argc)
            dump = argv[++i];
        else if (!file)
            file = argv[i];
        else
            file = nullptr, i = argc;
    }
    if (!file) {
        std::fprintf(stderr, "usage: md2info <model.md2> [--dump <file.xml>]\n");
        return 2;
    }

    const std::vector<unsigned char> bytes = ReadAll(file);
    std::printf("file: %s (%zu bytes)\n", file, bytes.size());
    if (bytes.size() < 68) {
        std::printf("too short for a header\nimport: refused\n");
        return 1;
    }
    static const char* const names[17] = {
        "magic", "version", "skinWidth", "skinHeight", "frameSize", "numSkins", "numVertices",
        "numTexCoords", "numTriangles", "numGlCommands", "numFrames", "offsetSkins", "offsetTexCoords",
        "offsetTriangles", "offsetFrames", "offsetGlCommands", "offsetEnd"};
    std::int32_t h[17];
    for (int i = 0; i < 17; ++i)
        h[i] = I32(bytes.data() + 4 * i);
    std::printf("magic: \"%s\" (0x%08x)\n", Text(bytes.data(), 4).c_str(), static_cast<unsigned>(h[0]));
    for (int i = 1; i < 17; ++i)
        std::printf("%s: %d\n", names[i], h[i]);

    const int numSkins = h[5], frameSize = h[4], numFrames = h[10];
    if (numSkins > 0 && numSkins <= 32 && Inside(h[11], 64LL * numSkins, bytes.size())) {
        std::printf("skins:\n");
        for (int s = 0; s < numSkins; ++s)
            std::printf("  %d %s\n", s, Text(bytes.data() + h[11] + 64 * s, 64).c_str());
    }
    if (numFrames > 0 && frameSize >= 40 && Inside(h[14], static_cast<long long>(frameSize) * numFrames, bytes.size())) {
        std::printf("frames:\n");
        for (int j = 0; j < numFrames; ++j)
            std::printf("  %d %s\n", j, Text(bytes.data() + h[14] + static_cast<long long>(frameSize) * j + 24, 16).c_str());
    }

    TovarMD2Loader loader;
    TovarMD23DModel model;
    if (!loader.ImportMD2(&model, file, dump != nullptr, dump ? dump : "")) {
        std::printf("import: refused\n");
        return 1;
    }
    std::printf("animations: %d\n", model.numOfAnimations);
    for (int a = 0; a < model.numOfAnimations; ++a) {
        const TovarMD2AnimationInfo& info = model.pAnimations[static_cast<size_t>(a)];
        std::printf("  %d %s start %d end %d\n", a, info.Name, info.startFrame, info.endFrame);
    }
    std::printf("import: ok\n");
    if (dump)
        std::printf("dump: %s\n", dump);
    return 0;
}
