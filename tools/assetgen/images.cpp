// The three images of the game: the crosshair, the floor and the bullet glow.

#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/noise.h"

#include "toolkit/Texture.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

namespace AssetGen {

std::string JoinPath(const std::string& dir, const std::string& relative)
{
    return (std::filesystem::path(dir) / std::filesystem::path(relative)).string();
}

bool MakeDirectories(const std::string& dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return std::filesystem::is_directory(dir, ec);
}

bool WriteImage(const std::string& file, int width, int height, const unsigned char* rgb)
{
    const std::filesystem::path parent = std::filesystem::path(file).parent_path();
    if (!parent.empty() && !MakeDirectories(parent.string()))
        return false;
    TovarToolkit::TovarTexture writer;
    return writer.WriteBMP(file.c_str(), width, height, rgb);
}

namespace {

void Put(std::vector<unsigned char>& rgb, int width, int x, int y, double r, double g, double b)
{
    unsigned char* p = rgb.data() + (std::size_t(y) * width + x) * 3;
    p[0] = ToByte(r);
    p[1] = ToByte(g);
    p[2] = ToByte(b);
}

// ---- Crosshair --------------------------------------------------------------------

// White on black: the game adds it to the frame, so black is see-through.
// A ring and four ticks with a gap in the middle, antialiased by counting
// which of 8 x 8 sample points of a pixel fall on the shape (integer tests).
bool Crosshair(const std::string& outdir)
{
    const int size = 64;
    const int sub = 8;                   // samples per pixel and axis
    const int c = size * sub;            // the centre, in 1/16 pixel units
    const auto units = [](int pixels) { return pixels * 2 * sub; };
    std::vector<unsigned char> rgb(std::size_t(size) * size * 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int hits = 0;
            for (int sy = 0; sy < sub; ++sy)
                for (int sx = 0; sx < sub; ++sx) {
                    const int u = (x * sub + sx) * 2 + 1 - c, v = (y * sub + sy) * 2 + 1 - c;
                    const long r2 = long(u) * u + long(v) * v;
                    const int au = u < 0 ? -u : u, av = v < 0 ? -v : v;
                    const bool ring = r2 >= long(units(19)) * units(19) && r2 <= long(units(22)) * units(22);
                    const bool tickH = av <= units(1) && au >= units(7) && au <= units(29);
                    const bool tickV = au <= units(1) && av >= units(7) && av <= units(29);
                    const bool dot = r2 <= long(units(2)) * units(2);
                    if (ring || tickH || tickV || dot)
                        ++hits;
                }
            const double level = double(hits) / (sub * sub);
            Put(rgb, size, x, y, level, level, level);
        }
    return WriteImage(JoinPath(outdir, "Images/crosshair.bmp"), size, size, rgb.data());
}

// ---- Particle ---------------------------------------------------------------------

// A soft round glow, white-hot in the middle and warm at the rim, fading to
// black at the edge so that the additive blend leaves no square behind.
bool Particle(const std::string& outdir)
{
    const int size = 64;
    const double radius = 31.0;
    std::vector<unsigned char> rgb(std::size_t(size) * size * 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - size / 2.0, dy = y + 0.5 - size / 2.0;
            const double t = Clamp01(1.0 - (dx * dx + dy * dy) / (radius * radius));
            const double glow = t * t;
            const double t4 = glow * glow;
            const double core = t4 * t4;
            Put(rgb, size, x, y, glow + core, glow * 0.78 + core, glow * 0.42 + core);
        }
    return WriteImage(JoinPath(outdir, "Images/Particle.bmp"), size, size, rgb.data());
}

// ---- Floor ------------------------------------------------------------------------

// Weathered flagstones with grass in the joints. The floor texture is
// stretched once over the whole arena, so it carries its own large-scale
// variation: broad patches where moss and grass take over, and drier, paler
// ground elsewhere. Fine detail stays low in contrast, since the game
// samples level 0 only and strong high frequencies would shimmer.
struct Stones {
    static const int kCell = 48; // pixels between stone centres, about 47 units in the arena
    std::uint32_t seed;

    // Distance to the nearest stone centre and to the second nearest, and
    // which stone is nearest.
    void Nearest(int px, int py, double& f1, double& f2, std::uint32_t& id) const
    {
        const int cx = px / kCell, cy = py / kCell;
        f1 = f2 = 1e30;
        id = 0;
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i) {
                const int gx = cx + i, gy = cy + j;
                const double fx = gx * kCell + kCell * (0.15 + 0.7 * Random01(gx, gy, seed));
                const double fy = gy * kCell + kCell * (0.15 + 0.7 * Random01(gx, gy, seed + 1));
                const double dx = px + 0.5 - fx, dy = py + 0.5 - fy;
                const double d = std::sqrt(dx * dx + dy * dy);
                if (d < f1) {
                    f2 = f1;
                    f1 = d;
                    id = Hash3(gx, gy, seed + 2);
                } else if (d < f2) {
                    f2 = d;
                }
            }
    }
};

bool Floor(const std::string& outdir)
{
    const int size = 1024;
    const Stones stones{1001};
    std::vector<unsigned char> rgb(std::size_t(size) * size * 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // Large scale: where the ground is green, and how worn it is.
            const double green = Smooth(Clamp01((Fractal(x, y, 256, 11, 4) - 0.36) * 3.2));
            const double dryness = Fractal(x + 517, y + 229, 128, 23, 4);
            const double grain = Fractal(x, y, 16, 37, 4) - 0.5;
            const double fine = Random01(x, y, 41) - 0.5;

            double f1, f2;
            std::uint32_t id;
            stones.Nearest(x, y, f1, f2, id);
            // Half the distance between the two nearest centres' bisector: 0 on a joint.
            const double edge = (f2 - f1) * 0.5;
            const double tone = double(id >> 8 & 0xFF) / 255.0 - 0.5;
            const double warm = double(id >> 16 & 0xFF) / 255.0 - 0.5;

            // The stone: grey with a slight per-stone tint, lighter where dry,
            // darker toward its rim.
            const double bevel = 0.72 + 0.28 * Smooth(Clamp01(edge / 7.0));
            double sr = (0.50 + 0.10 * tone + 0.04 * warm + 0.10 * dryness + 0.08 * grain + 0.03 * fine) * bevel;
            double sg = (0.48 + 0.10 * tone + 0.01 * warm + 0.10 * dryness + 0.08 * grain + 0.03 * fine) * bevel;
            double sb = (0.44 + 0.10 * tone - 0.03 * warm + 0.08 * dryness + 0.08 * grain + 0.03 * fine) * bevel;

            // Moss creeping over the stones in the green patches.
            const double moss = Clamp01(green * (0.35 + 0.9 * Fractal(x + 91, y + 37, 32, 53, 4)) - 0.25);
            sr = Lerp(sr, 0.26 + 0.06 * grain, moss);
            sg = Lerp(sg, 0.38 + 0.08 * grain, moss);
            sb = Lerp(sb, 0.16 + 0.04 * grain, moss);

            // The joints: earth, and grass where the ground is green. Joints
            // widen where the stones are overgrown.
            const double jointWidth = 2.2 + 3.0 * green;
            const double joint = 1.0 - Smooth(Clamp01((edge - jointWidth) / 1.5 + 1.0));
            const double blade = Random01(x, y / 2, 59) * 0.5 + Fractal(x, y, 8, 61, 4) * 0.5;
            const double jr = Lerp(0.31 + 0.05 * grain, 0.23 + 0.08 * blade, green);
            const double jg = Lerp(0.27 + 0.05 * grain, 0.32 + 0.12 * blade, green);
            const double jb = Lerp(0.21 + 0.04 * grain, 0.13 + 0.04 * blade, green);

            Put(rgb, size, x, y, Lerp(sr, jr, joint), Lerp(sg, jg, joint), Lerp(sb, jb, joint));
        }
    return WriteImage(JoinPath(outdir, "Images/Floor.bmp"), size, size, rgb.data());
}

} // namespace

bool GenerateImages(const std::string& outdir)
{
    return Crosshair(outdir) && Floor(outdir) && Particle(outdir);
}

} // namespace AssetGen
