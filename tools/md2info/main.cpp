// md2info <model.md2> [--dump <file.xml>]
// Prints an MD2 file's header, skin names, frame names and the animation
// table the importer builds from them; with --dump, also writes the
// importer's XML-like dump. Reads any file: a broken one gets its header
// printed as it stands, then "import: refused" and the reason, and the exit
// status is 1.

#include "toolkit/File.h"
#include "toolkit/MD2.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace TovarToolkit;

namespace {

// Printable text from at most `size` bytes, stopping at the first NUL.
std::string Text(const unsigned char* p, size_t size)
{
    std::string s;
    for (size_t i = 0; i < size && p[i]; ++i)
        s += (p[i] >= 32 && p[i] < 127) ? static_cast<char>(p[i]) : '?';
    return s;
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

    std::vector<unsigned char> bytes;
    std::string reason;
    if (!ReadWholeFile(file, bytes, &reason)) {
        std::printf("file: %s\nimport: refused\nreason: %s\n", file, reason.c_str());
        return 1;
    }
    const ByteReader in(bytes);
    std::printf("file: %s (%zu bytes)\n", file, bytes.size());
    if (!in.Has(0, 68)) {
        std::printf("too short for a header\n");
    } else {
        static const char* const names[17] = {
            "magic", "version", "skinWidth", "skinHeight", "frameSize", "numSkins", "numVertices",
            "numTexCoords", "numTriangles", "numGlCommands", "numFrames", "offsetSkins", "offsetTexCoords",
            "offsetTriangles", "offsetFrames", "offsetGlCommands", "offsetEnd"};
        std::int32_t h[17];
        for (int i = 0; i < 17; ++i)
            h[i] = in.S32(4 * i);
        std::printf("magic: \"%s\" (0x%08x)\n", Text(in.At(0), 4).c_str(), static_cast<unsigned>(h[0]));
        for (int i = 1; i < 17; ++i)
            std::printf("%s: %d\n", names[i], h[i]);

        const int numSkins = h[5], frameSize = h[4], numFrames = h[10];
        if (numSkins > 0 && numSkins <= 32 && in.Has(h[11], 64LL * numSkins)) {
            std::printf("skins:\n");
            for (int s = 0; s < numSkins; ++s)
                std::printf("  %d %s\n", s, Text(in.At(h[11] + 64LL * s), 64).c_str());
        }
        if (numFrames > 0 && frameSize >= 40 && in.Has(h[14], static_cast<long long>(frameSize) * numFrames)) {
            std::printf("frames:\n");
            for (int j = 0; j < numFrames; ++j)
                std::printf("  %d %s\n", j,
                            Text(in.At(h[14] + static_cast<long long>(frameSize) * j + 24), 16).c_str());
        }
    }

    TovarMD2Loader loader;
    TovarMD23DModel model;
    if (!loader.ImportMD2(&model, file, dump != nullptr, dump ? dump : "")) {
        std::printf("import: refused\nreason: %s\n", loader.LastError().c_str());
        return 1;
    }
    std::printf("animations: %d\n", model.numOfAnimations);
    for (int a = 0; a < model.numOfAnimations; ++a) {
        const TovarMD2AnimationInfo& info = model.pAnimations[static_cast<size_t>(a)];
        std::printf("  %d %s start %d end %d\n", a, info.Name, info.startFrame, info.endFrame);
    }
    // Whether playback may leave out the faces turned away (see MD2.h).
    std::printf("surface: %s\nradius: %g\n",
                model.closed ? (model.clockwise ? "closed, faces wound clockwise seen from outside"
                                                : "closed, faces wound counter-clockwise seen from outside")
                             : "open: every face is drawn",
                static_cast<double>(model.radius));
    std::printf("import: ok\n");
    if (dump)
        std::printf("dump: %s\n", dump);
    return 0;
}
