#include "tools/assetgen/noise.h"

namespace AssetGen {

std::uint32_t Hash(std::uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

std::uint32_t Hash3(int x, int y, std::uint32_t seed)
{
    return Hash(std::uint32_t(x) * 0x9E3779B1u ^ Hash(std::uint32_t(y) * 0x85EBCA77u ^ Hash(seed)));
}

double Random01(int x, int y, std::uint32_t seed) { return double(Hash3(x, y, seed) >> 8) / 16777216.0; }

double Smooth(double t) { return t * t * (3.0 - 2.0 * t); }

double Lerp(double a, double b, double t) { return a + (b - a) * t; }

double Clamp01(double v) { return v < 0.0 ? 0.0 : v > 1.0 ? 1.0 : v; }

double ValueNoise(int px, int py, int cell, std::uint32_t seed)
{
    const int ix = px / cell, iy = py / cell;
    const double fx = Smooth(double(px % cell) / cell), fy = Smooth(double(py % cell) / cell);
    const double a = Random01(ix, iy, seed), b = Random01(ix + 1, iy, seed);
    const double c = Random01(ix, iy + 1, seed), d = Random01(ix + 1, iy + 1, seed);
    return Lerp(Lerp(a, b, fx), Lerp(c, d, fx), fy);
}

double Fractal(int px, int py, int cell, std::uint32_t seed, int finest)
{
    double sum = 0.0, weight = 1.0, total = 0.0;
    for (int c = cell; c >= finest; c /= 2, weight *= 0.5, ++seed) {
        sum += weight * ValueNoise(px, py, c, seed);
        total += weight;
    }
    return sum / total;
}

unsigned char ToByte(double v) { return static_cast<unsigned char>(Clamp01(v) * 255.0 + 0.5); }

} // namespace AssetGen
