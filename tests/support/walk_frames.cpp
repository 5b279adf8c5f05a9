// How many walking steps from the start a screenshot shows: draws the HUD's
// position line after 0, 1, 2, ... MoveCamera steps (with "left", steps to
// the left as A takes them), as the game does, and prints the best match and
// its count of differing pixels.
//   walk_frames <800x600 file.ppm> <most steps> [left]

#include "game/main.h"
#include "toolkit/platform/GL.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using namespace TovarToolkit;

static const int kWidth = 800, kHeight = 600, kTop = 35, kRows = 35; // the line's band, from the top
static bool Cyan(const unsigned char* p) { return p[0] < 90 && p[1] > 180 && p[2] > 180; }

int main(int argc, char** argv)
{
    const bool left = argc == 4 && std::string(argv[3]) == "left";
    std::ifstream in(argc == 3 || left ? argv[1] : "", std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    in >> magic >> width >> height >> maxval;
    in.get();
    std::vector<unsigned char> shot(static_cast<size_t>(kWidth) * kHeight * 3);
    if (!in || magic != "P6" || width != kWidth || height != kHeight || maxval != 255 ||
        !in.read(reinterpret_cast<char*>(shot.data()), static_cast<std::streamsize>(shot.size()))) {
        std::fprintf(stderr, "usage: walk_frames <800x600 8-bit binary PPM> <most steps> [left]\n");
        return 2;
    }
    TW.maxperspective = 10000.0f;
    if (!TW.Create("walk_frames", kWidth, kHeight, 16))
        return 2;
    SetFixedGLState();
    Font.CreateGLFont("Comic Sans MS");
    glClearColor(0, 0, 0, 1);

    PlaceCameraAtStart();
    int best = -1;
    long bestDiffer = -1;
    std::vector<unsigned char> rgba(static_cast<size_t>(kWidth) * kRows * 4);
    for (int steps = 0; steps <= std::atoi(argv[2]); ++steps) {
        Camera.Update();
        if (steps > 0 && left)
            Camera.StrafeCamera(-CameraSpeed);
        else if (steps > 0)
            Camera.MoveCamera(CameraSpeed);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        DrawCameraPosCoords();
        glReadPixels(0, kHeight - kTop - kRows, kWidth, kRows, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        long differ = 0;
        for (int y = 0; y < kRows; ++y) // GL rows count from the bottom
            for (int x = 0; x < kWidth; ++x)
                differ += Cyan(&rgba[(static_cast<size_t>(kRows - 1 - y) * kWidth + x) * 4]) !=
                          Cyan(&shot[(static_cast<size_t>(kTop + y) * kWidth + x) * 3]);
        if (best < 0 || differ < bestDiffer)
            best = steps, bestDiffer = differ;
    }
    TW.Destroy();
    std::printf("%d %ld\n", best, bestDiffer);
    return 0;
}
