// Reads how many steps of a level walk the player has taken since the start,
// from the position line of the heads-up text in a screenshot of the game:
// it draws that line for 0, 1, 2, ... steps of MoveCamera from the start
// pose, exactly as the game does, and prints the count whose text matches.
//
//   walk_frames <file.ppm> <most steps>
//
// Prints "<steps> <mismatched pixels>"; the end-to-end pace test uses it.

#include "game/main.h"
#include "toolkit/platform/GL.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using namespace TovarToolkit;

namespace {

const int kWidth = 800, kHeight = 600;
const int kTop = 35, kRows = 35; // the position line's band, from the top

bool Cyan(int r, int g, int b) { return r < 90 && g > 180 && b > 180; }

bool ReadMask(const char* file, std::vector<bool>& mask)
{
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    in >> magic >> width >> height >> maxval;
    in.get();
    if (!in || magic != "P6" || width != kWidth || height != kHeight || maxval != 255)
        return false;
    std::vector<unsigned char> data(static_cast<size_t>(width) * height * 3);
    if (!in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size())))
        return false;
    mask.assign(static_cast<size_t>(kWidth) * kRows, false);
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const unsigned char* p = &data[(static_cast<size_t>(kTop + y) * kWidth + x) * 3];
            mask[static_cast<size_t>(y) * kWidth + x] = Cyan(p[0], p[1], p[2]);
        }
    return true;
}

long Mismatch(const std::vector<bool>& shot)
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    DrawCameraPosCoords();
    std::vector<unsigned char> rgba(static_cast<size_t>(kWidth) * kRows * 4);
    // GL rows count from the bottom.
    glReadPixels(0, kHeight - kTop - kRows, kWidth, kRows, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    long differ = 0;
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const unsigned char* p = &rgba[(static_cast<size_t>(kRows - 1 - y) * kWidth + x) * 4];
            differ += Cyan(p[0], p[1], p[2]) != shot[static_cast<size_t>(y) * kWidth + x] ? 1 : 0;
        }
    return differ;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <file.ppm> <most steps>\n", argv[0]);
        return 2;
    }
    std::vector<bool> shot;
    if (!ReadMask(argv[1], shot)) {
        std::fprintf(stderr, "%s: not an 800x600 8-bit binary PPM\n", argv[1]);
        return 2;
    }
    int most = std::atoi(argv[2]);
    TW.maxperspective = 10000.0f;
    if (!TW.Create("walk_frames", kWidth, kHeight, 16))
        return 2;
    SetFixedGLState();
    Font.CreateGLFont("Comic Sans MS");

    PlaceCameraAtStart();
    int best = -1;
    long bestDiffer = 0;
    for (int steps = 0; steps <= most; ++steps) {
        if (steps > 0)
            Camera.MoveCamera(CameraSpeed);
        long differ = Mismatch(shot);
        if (best < 0 || differ < bestDiffer) {
            best = steps;
            bestDiffer = differ;
        }
    }
    TW.Destroy();
    std::printf("%d %ld\n", best, bestDiffer);
    return 0;
}
