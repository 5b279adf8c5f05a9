#pragma once

// The asset generator makes the game's default data set from nothing but
// code, so that the committed files under data/ can be rebuilt byte for byte.
// Each generator writes its own part under the output folder; all arithmetic
// that reaches a pixel is integer or plain IEEE double (+ - * / and sqrt, no
// contraction), so every machine produces the same bytes.

#include <string>

namespace AssetGen {

// Images/crosshair.bmp, Images/Floor.bmp, Images/Particle.bmp.
bool GenerateImages(const std::string& outdir);
// Models/Ogro/tris.md2 and Models/Ogro/Skin.bmp.
bool GenerateCreature(const std::string& outdir);
// Icons/quellin.png: the 128 x 128 icon of the desktop menus; quellin-192.png
// and quellin-512.png, the same for the browser's home screens (not read by
// the game).
bool GenerateIcon(const std::string& outdir);

// Sounds/*.wav: the seven sounds of the game, 16-bit mono at 22050 Hz.
bool GenerateSounds(const std::string& outdir);

// Helpers shared by the generators.
std::string JoinPath(const std::string& dir, const std::string& relative);
bool MakeDirectories(const std::string& dir);
// Writes rgb (width x height, bottom row first) as a 24-bit BMP.
bool WriteImage(const std::string& file, int width, int height, const unsigned char* rgb);

} // namespace AssetGen
