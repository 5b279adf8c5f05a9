#pragma once

// Deterministic value noise for the generated textures: integer hashing and
// plain double arithmetic only, so every machine paints the same bytes.

#include <cstdint>

namespace AssetGen {

std::uint32_t Hash(std::uint32_t x);
// A hash of a lattice point.
std::uint32_t Hash3(int x, int y, std::uint32_t seed);
// A uniform value in [0, 1) for a lattice point.
double Random01(int x, int y, std::uint32_t seed);
double Smooth(double t);
double Lerp(double a, double b, double t);
double Clamp01(double v);
// Value noise with one lattice point every `cell` pixels.
double ValueNoise(int px, int py, int cell, std::uint32_t seed);
// Octaves from `cell` down to `finest` pixels, each half the weight of the
// last; in [0, 1].
double Fractal(int px, int py, int cell, std::uint32_t seed, int finest);
unsigned char ToByte(double v);

} // namespace AssetGen
