// The committed data set is exactly what the asset generator makes, and the
// game's images are what the game needs.

#include "toolkit/Texture.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;
using TovarToolkit::TovarBMPInfoHeader;
using TovarToolkit::TovarTexture;

namespace {

const fs::path kData = fs::path(QUELLIN_SOURCE_DIR) / "data";

// Paths of the regular files under root, relative to it.
std::set<std::string> FilesUnder(const fs::path& root)
{
    std::set<std::string> files;
    if (!fs::is_directory(root))
        return files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files.insert(fs::relative(entry.path(), root).generic_string());
    return files;
}

} // namespace

TEST(TextureAssets, RegeneratingGivesTheCommittedFilesByteForByte)
{
    TempDir dir;
    const fs::path out = dir.path() / "data";
    const std::string command = std::string("'") + QUELLIN_ASSETGEN + "' '" + out.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    const std::set<std::string> generated = FilesUnder(out);
    for (const char* image : {"Images/crosshair.bmp", "Images/Floor.bmp", "Images/Particle.bmp"})
        EXPECT_EQ(generated.count(image), 1u) << image;
    for (const std::string& name : generated) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(fs::exists(kData / name)) << "generated but not committed";
        const std::string made = ReadWholeFile((out / name).string());
        const std::string committed = ReadWholeFile((kData / name).string());
        EXPECT_EQ(made.size(), committed.size());
        EXPECT_TRUE(made == committed) << "differs from the committed file";
    }
    // Nothing in the generated folders is committed without being generated.
    for (const char* folder : {"Images", "Models", "Icons", "Sounds"})
        for (const std::string& name : FilesUnder(kData / folder))
            EXPECT_EQ(generated.count(std::string(folder) + "/" + name), 1u)
                << "data/" << folder << "/" << name << " is not made by the generator";
}

TEST(TextureAssets, TheGameImagesAreWhatTheGameNeeds)
{
    TovarTexture t;
    TovarBMPInfoHeader info;
    struct Image {
        const char* name;
        int minSize;
    };
    for (const Image& image : {Image{"Images/crosshair.bmp", 32}, Image{"Images/Floor.bmp", 512},
                               Image{"Images/Particle.bmp", 32}}) {
        SCOPED_TRACE(image.name);
        unsigned char* pixels = t.LoadBitmapA((kData / image.name).string().c_str(), &info);
        ASSERT_NE(pixels, nullptr);
        const int w = info.biWidth, h = info.biHeight;
        EXPECT_EQ(info.biBitCount, 24);
        EXPECT_GE(w, image.minSize);
        EXPECT_GE(h, image.minSize);
        EXPECT_EQ(w & (w - 1), 0) << "power-of-two sides keep the mipmaps exact";
        EXPECT_EQ(h & (h - 1), 0);
        if (std::string(image.name) != "Images/Floor.bmp") {
            // Drawn additively: the border must be black to be see-through,
            // and something near the middle must be bright.
            bool borderBlack = true;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (x == 0 || y == 0 || x == w - 1 || y == h - 1)
                        for (int c = 0; c < 3; ++c)
                            borderBlack = borderBlack && pixels[(size_t(y) * w + x) * 3 + c] == 0;
            EXPECT_TRUE(borderBlack);
            int brightest = 0;
            for (int y = h / 2 - 2; y < h / 2 + 2; ++y)
                for (int x = w / 2 - 2; x < w / 2 + 2; ++x)
                    brightest = std::max<int>(brightest, pixels[(size_t(y) * w + x) * 3]);
            EXPECT_GE(brightest, 200);
        }
        delete[] pixels;
    }
}
