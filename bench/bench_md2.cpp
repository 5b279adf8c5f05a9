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
    // One row of the benchmark table (see scripts/bench.sh).
    std::printf("| model import (%d frames, %d vertices, %d triangles) | %.2f ms | min %.2f, max %.2f over %d "
                "rounds |\n",
                model.numOfObjects, first.numOfVerts, first.numOfFaces, ms[ms.size() / 2], ms.front(), ms.back(),
                rounds);
    return 0;
}
