// Import time of the game's model: how long start-up spends in ImportMD2.
// Prints figures; never fails on a slow machine.

#include "toolkit/MD2.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace TovarToolkit;

int main(int argc, char** argv)
{
    const std::string path =
        argc > 1 ? argv[1] : std::string(QUELLIN_SOURCE_DIR) + "/data/Models/Ogro/tris.md2";
    const int rounds = 200;
    TovarMD2Loader loader;
    TovarMD23DModel model;
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        // Re-importing into one model also measures releasing the last import.
        auto start = std::chrono::steady_clock::now();
        if (!loader.ImportMD2(&model, path.c_str(), false, "")) {
            std::fprintf(stderr, "bench_md2: cannot import %s\n", path.c_str());
            return 1;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    const TovarMD23DObject& first = model.pObject[0];
    std::printf("model: %s\n", path.c_str());
    std::printf("frames %d, vertices %d, triangles %d, animations %d\n", model.numOfObjects, first.numOfVerts,
                first.numOfFaces, model.numOfAnimations);
    std::printf("import over %d rounds: min %.3f ms, median %.3f ms, max %.3f ms\n", rounds, ms.front(),
                ms[ms.size() / 2], ms.back());
    return 0;
}
