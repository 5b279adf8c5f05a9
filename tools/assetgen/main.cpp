// assetgen <outdir>: writes the game's default data set under outdir.

#include "tools/assetgen/assetgen.h"

#include <cstdio>

namespace {

struct Generator {
    const char* name;
    bool (*run)(const std::string& outdir);
};

// One line per part of the data set.
const Generator kGenerators[] = {
    {"images", AssetGen::GenerateImages},
    {"creature", AssetGen::GenerateCreature},
    {"icon", AssetGen::GenerateIcon},
    {"sounds", AssetGen::GenerateSounds},
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <outdir>\n", argc > 0 ? argv[0] : "assetgen");
        return 2;
    }
    const std::string outdir = argv[1];
    if (!AssetGen::MakeDirectories(outdir)) {
        std::fprintf(stderr, "assetgen: cannot create %s\n", outdir.c_str());
        return 1;
    }
    for (const Generator& g : kGenerators) {
        if (!g.run(outdir)) {
            std::fprintf(stderr, "assetgen: %s failed\n", g.name);
            return 1;
        }
    }
    return 0;
}
