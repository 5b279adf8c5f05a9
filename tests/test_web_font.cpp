// The browser's font beside the desktop's: the baked file holds the
// triangles and metrics the desktop's outline code makes, and its lists,
// made by the browser's GL layer, draw the desktop font's pixels (both in
// EGL pbuffers, see support/EglContexts.h); and a broken baked font refused.

#include "gl_layer/Scenes.h"
#include "support/EglContexts.h"
#include "support/TempDir.h"

#include "toolkit/platform/common/BakedFont.h"
#include "toolkit/platform/common/FontHandles.h"
#include "toolkit/platform/common/OutlineGlyphs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// The browser's outline call and the layer's list calls, renamed in this
// program (tests/CMakeLists.txt); its font handles are the desktop's.
BOOL WebUseFontOutlinesA(HDC, DWORD, DWORD, DWORD, float, float, int, LPGLYPHMETRICSFLOAT);
extern "C" GLuint TovarGLES2_glGenLists(GLsizei);

using namespace TovarToolkit;

namespace {

class WebTest : public ::testing::Test {
protected:
    static TempDir* dir;
    static int baked; // fontbake's exit status
    HDC__ dc;

    static void SetUpTestSuite()
    {
        dir = new TempDir;
        std::filesystem::create_directory(dir->path() / "Fonts");
        baked = std::system(("\"" QUELLIN_BINARY_DIR "/tools/fontbake\" \"" + dir->file("Fonts/HUD.font") + "\"").c_str());
    }
    static void TearDownTestSuite() { delete dir; }

    void SetUp() override
    {
        SelectObject(&dc, CreateFontA(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                      "Comic Sans MS"));
    }

    // The browser's lists and metrics for codes 0 to 254, built in `folder`.
    BOOL BuildWebFont(const std::filesystem::path& folder, GLuint& base, GLYPHMETRICSFLOAT* metrics)
    {
        auto here = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        base = TovarGLES2_glGenLists(256);
        BOOL ok = WebUseFontOutlinesA(&dc, 0, 255, base, 0.0f, 0.0f, WGL_FONT_POLYGONS, metrics);
        std::filesystem::current_path(here);
        return ok;
    }
};
TempDir* WebTest::dir = nullptr;
int WebTest::baked = -1;

} // namespace

TEST_F(WebTest, TheBakedFileHoldsWhatTheTessellatorMakesAndDrawsLikeTheDesktopFont)
{
    ASSERT_EQ(baked, 0);
    std::ifstream in(dir->file("Fonts/HUD.font"), std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TovarBakedFont font;
    std::string reason;
    ASSERT_TRUE(DecodeBakedFont(bytes.data(), bytes.size(), "HUD.font", font, reason)) << reason;

    TovarPlatform::OutlineFontRequest request;
    request.face = "Comic Sans MS";
    request.weight = FW_BOLD;
    std::vector<TovarPlatform::OutlineGlyph> made;
    ASSERT_TRUE(TovarPlatform::MakeOutlineGlyphs(request, 0, 255, 0.0f, WGL_FONT_POLYGONS, made));
    ASSERT_EQ(font.first, 0u);
    ASSERT_EQ(font.glyphs.size(), made.size());
    for (size_t c = 0; c < made.size(); ++c) {
        const TovarBakedGlyph& g = font.glyphs[c];
        EXPECT_EQ(g.present, made[c].present) << c;
        EXPECT_EQ(std::memcmp(&g.metrics, &made[c].metrics, sizeof g.metrics), 0) << c;
        ASSERT_EQ(g.vertices.size() * 3, made[c].triangles.size() * 2) << c;
        for (size_t v = 0; v < g.vertices.size(); ++v)
            ASSERT_EQ(g.vertices[v], static_cast<float>(made[c].triangles[v / 2 * 3 + v % 2])) << c;
    }

    // The browser's font: the desktop font's metrics, bit for bit, and its pixels.
    EglContexts* egl = EglContexts::Open();
    if (!egl)
        GTEST_SKIP() << "no surfaceless EGL with both desktop GL and GLES2";
    egl->MakeDesktopCurrent();
    GLYPHMETRICSFLOAT desktopMetrics[256] = {};
    const GLuint desktopBase = glGenLists(256);
    ASSERT_TRUE(wglUseFontOutlinesA(&dc, 0, 255, desktopBase, 0.0f, 0.0f, WGL_FONT_POLYGONS, desktopMetrics));
    DesktopGL::Text(desktopBase);
    const std::vector<unsigned char> a = DesktopGL::Read(0, 0, 800, 600, GL_RGB, 1);
    ASSERT_TRUE(egl->StartLayer());
    GLuint base = 0;
    GLYPHMETRICSFLOAT metrics[256] = {};
    ASSERT_TRUE(BuildWebFont(dir->path(), base, metrics));
    EXPECT_EQ(std::memcmp(metrics, desktopMetrics, sizeof metrics), 0);
    LayerGL::Text(base);
    const std::vector<unsigned char> b = LayerGL::Read(0, 0, 800, 600, GL_RGB, 1);
    int ink = 0, differ = 0;
    for (size_t i = 0; i < 800 * 600 * 3; i += 3)
        ink += a[i + 1] > 0, differ += std::memcmp(&a[i], &b[i], 3) != 0;
    EXPECT_EQ(differ, 0) << "pixels that differ from the desktop font";
    EXPECT_GT(ink, 20000);
}

TEST_F(WebTest, ABrokenOrMissingFileIsRefused)
{
    TovarBakedFont font;
    font.first = 65;
    font.glyphs.resize(2);
    font.glyphs[0].present = true;
    font.glyphs[0].metrics.gmfCellIncX = 0.5f;
    font.glyphs[0].vertices = {0, 0, 1, 0, 0, 1};
    std::vector<unsigned char> good;
    std::string reason;
    ASSERT_TRUE(EncodeBakedFont(font, good, reason)) << reason;

    auto refused = [&](std::vector<unsigned char> bytes, const char* what) {
        TovarBakedFont out;
        out.first = 7;
        std::string why;
        bool ok = DecodeBakedFont(bytes.data(), bytes.size(), "HUD.font", out, why);
        EXPECT_FALSE(ok) << what;
        EXPECT_TRUE(out.glyphs.empty() && out.first == 0) << what;
        EXPECT_EQ(why.rfind("HUD.font: ", 0), 0u) << what << ": " << why;
    };
    for (size_t n = 0; n < good.size(); ++n)
        refused(std::vector<unsigned char>(good.begin(), good.begin() + n), "truncated");
    auto changed = [&](size_t at, unsigned char value) {
        std::vector<unsigned char> bytes = good;
        bytes[at] = value;
        return bytes;
    };
    refused(changed(0, 'X'), "magic");
    refused(changed(4, 2), "version");
    refused(changed(12, 200), "codes past 255");
    refused(changed(16, 4), "unknown flag");
    refused(changed(16 + 25 + 3, 0x10), "more triangles than bytes");
    std::vector<unsigned char> infinite = good;
    const float inf = INFINITY;
    std::memcpy(&infinite[16 + 29], &inf, 4);
    refused(infinite, "a vertex that is not finite");
    refused(changed(good.size() - 29 + 1, 0x3f), "metrics for a code without a glyph");
    std::vector<unsigned char> longer = good;
    longer.push_back(0);
    refused(longer, "trailing byte");

    font.glyphs[0].vertices.pop_back();
    EXPECT_FALSE(EncodeBakedFont(font, good, reason)) << "half a vertex";

    // The browser's calls: no file, or a broken one, and no font.
    TempDir empty;
    GLuint base = 0;
    GLYPHMETRICSFLOAT metrics[256];
    std::memset(metrics, 0x7f, sizeof metrics);
    EXPECT_FALSE(BuildWebFont(empty.path(), base, metrics));
    EXPECT_EQ(metrics[65].gmfCellIncX, 0.0f) << "a refusal leaves zero metrics";
    std::filesystem::create_directory(empty.path() / "Fonts");
    std::ofstream(empty.file("Fonts/HUD.font"), std::ios::binary).write(reinterpret_cast<const char*>(good.data()), 30);
    EXPECT_FALSE(BuildWebFont(empty.path(), base, metrics));
}
