// Counts the pixels of one colour class inside a rectangle of a binary PPM
// (P6) screenshot; the end-to-end tests judge what the game showed with it.
//
//   pixel_count <file.ppm> <x> <y> <w> <h> <sky|cyan|warm|bright|dark>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

bool InClass(const char* name, int r, int g, int b)
{
    if (!std::strcmp(name, "sky")) // the clear colour (0.7, 0.7, 1.0)
        return std::abs(r - 178) < 14 && std::abs(g - 178) < 14 && b > 240;
    if (!std::strcmp(name, "cyan")) // the heads-up text
        return r < 90 && g > 180 && b > 180;
    if (!std::strcmp(name, "warm")) // reds and browns: the creature, never sky or floor
        return r > g + 25 && r > b + 40;
    if (!std::strcmp(name, "bright"))
        return r > 235 && g > 235 && b > 235;
    if (!std::strcmp(name, "dark")) // under the game-over shade
        return r < 90 && g < 90 && b < 110;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s <file.ppm> <x> <y> <w> <h> <class>\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    in >> magic >> width >> height >> maxval;
    in.get();
    if (!in || magic != "P6" || width <= 0 || height <= 0 || maxval != 255) {
        std::fprintf(stderr, "%s: not an 8-bit binary PPM\n", argv[1]);
        return 2;
    }
    std::vector<unsigned char> data(static_cast<size_t>(width) * height * 3);
    if (!in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()))) {
        std::fprintf(stderr, "%s: truncated\n", argv[1]);
        return 2;
    }
    int x0 = std::atoi(argv[2]), y0 = std::atoi(argv[3]);
    int x1 = x0 + std::atoi(argv[4]), y1 = y0 + std::atoi(argv[5]);
    long count = 0;
    for (int y = y0 < 0 ? 0 : y0; y < y1 && y < height; ++y)
        for (int x = x0 < 0 ? 0 : x0; x < x1 && x < width; ++x) {
            const unsigned char* p = &data[(static_cast<size_t>(y) * width + x) * 3];
            count += InClass(argv[6], p[0], p[1], p[2]) ? 1 : 0;
        }
    std::printf("%ld\n", count);
    return 0;
}
