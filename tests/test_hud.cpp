#include "support/GLWindow.h"

#include "game/main.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace TovarToolkit;

namespace {

const int kWidth = 800;
const int kHeight = 600;

struct Frame {
    int w = kWidth, h = kHeight;
    std::vector<unsigned char> rgb = std::vector<unsigned char>(w * h * 3);
    const unsigned char* at(int x, int y) const { return &rgb[(y * w + x) * 3]; }
};

Frame ReadFrame(int w = kWidth, int h = kHeight)
{
    Frame f{w, h};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, f.rgb.data());
    return f;
}

bool IsCyan(const unsigned char* p) { return p[0] < 80 && p[1] > 150 && p[2] > 150; }

struct Ink {
    int count = 0;
    int minX = 1 << 20, maxX = -1;
};

Ink CyanIn(const Frame& f, int y0, int y1)
{
    Ink ink;
    for (int y = std::max(y0, 0); y <= std::min(y1, f.h - 1); ++y)
        for (int x = 0; x < f.w; ++x)
            if (IsCyan(f.at(x, y))) {
                ++ink.count;
                ink.minX = std::min(ink.minX, x);
                ink.maxX = std::max(ink.maxX, x);
            }
    return ink;
}

// Window position of a point given in the HUD's font units (scaled by 0.008
// in eye space), under the window's own projection.
std::array<double, 2> Project(double fx, double fy)
{
    GLdouble identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble wx, wy, wz;
    gluProject(fx * 0.008, fy * 0.008, -31 * 0.008, identity, projection, viewport, &wx, &wy, &wz);
    return {wx, wy};
}

// The rows a line with its baseline at font height y may cover.
std::array<int, 2> Band(double y)
{
    return {static_cast<int>(std::floor(Project(0, y - 0.35)[1])),
            static_cast<int>(std::ceil(Project(0, y + 0.9)[1]))};
}

Ink LineInk(const Frame& f, double y)
{
    auto band = Band(y);
    return CyanIn(f, band[0], band[1]);
}

double FontUnitInPixels() { return Project(1, 0)[0] - Project(0, 0)[0]; }

// What the camera sets before the world is drawn; the HUD must not depend on it.
void CameraView()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(5, 4, 10, 0, 3, 0, 0, 1, 0);
}

void ClearTo(float r, float g, float b)
{
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// A square texture from rows of texels, top row first; 'W' white, anything else black.
GLuint MakeTexture(const std::vector<std::string>& rows)
{
    int n = static_cast<int>(rows.size());
    std::vector<unsigned char> texels;
    for (int y = n - 1; y >= 0; --y)
        for (char c : rows[y])
            for (int k = 0; k < 3; ++k)
                texels.push_back(c == 'W' ? 255 : 0);
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, n, n, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    return id;
}

std::array<GLdouble, 16> Modelview()
{
    std::array<GLdouble, 16> m;
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

class HudTest : public GLWindowTest {
protected:
    static void SetUpTestSuite()
    {
        GLWindowTest::SetUpTestSuite();
        if (!TW.hRC)
            return;
        // The fixed state Init sets before the font is built.
        SetFixedGLState();
        Font.CreateGLFont("Comic Sans MS");
    }

    void SetUp() override
    {
        GLWindowTest::SetUp();
        TW.ReSize(kWidth, kHeight);
        Camera.m_vPosition = TovarVector3f(5, 4, 10);
        Camera.m_vView = TovarVector3f(0, 3, 0);
        level = 1;
        player_score = 0;
        PlayerHealth = 100;
        EnemyList.Set(5);
        for (int i = 0; i < 5; ++i)
            EnemyList.Entity[i].Health = 100;
    }
};

// The six lines: baseline heights in font units, top to bottom.
const double kLineY[] = {10, 6, 2, 0, -2, -4};

} // namespace

// ---- Heads-up texts -------------------------------------------------------------

TEST_F(HudTest, SixLinesSitInTheirRowsJustInsideTheRightEdge)
{
    ClearTo(0, 0, 0);
    CameraView();
    auto before = Modelview();
    glColor4f(0.3f, 0.2f, 0.1f, 0.5f);
    DrawHeadsUpTexts();

    auto after = Modelview();
    for (int i = 0; i < 16; ++i)
        EXPECT_DOUBLE_EQ(after[i], before[i]);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_EQ(colour[2], 1.0f);
    EXPECT_EQ(colour[3], 1.0f);

    Frame f = ReadFrame();
    const double right = Project(17, 0)[0];
    ASSERT_GT(right, kWidth - 20);
    ASSERT_LT(right, kWidth);
    const double unit = FontUnitInPixels();
    int inBands = 0;
    for (double y : kLineY) {
        Ink ink = LineInk(f, y);
        SCOPED_TRACE("line at y = " + std::to_string(y));
        EXPECT_GT(ink.count, 40);
        EXPECT_LE(ink.maxX, right + 1);
        EXPECT_GE(ink.maxX, right - 0.3 * unit);
        EXPECT_LT(ink.minX, right - 3 * unit);
        inBands += ink.count;
    }
    EXPECT_EQ(CyanIn(f, 0, kHeight - 1).count, inBands) << "cyan outside the six rows";
}

TEST_F(HudTest, LongerValuesGrowLeftwardFromTheSameRightEnd)
{
    auto measure = [&](void (*draw)(), double y) {
        ClearTo(0, 0, 0);
        CameraView();
        draw();
        return LineInk(ReadFrame(), y);
    };

    player_score = 5;
    Ink shortScore = measure(DrawPlayerScore, 0);
    player_score = 12345;
    Ink longScore = measure(DrawPlayerScore, 0);
    EXPECT_NEAR(longScore.maxX, shortScore.maxX, 1);
    // The four more digits, and nothing else, go to the left.
    float digits = 0;
    for (unsigned char c : std::string("1234"))
        digits += Font.GlyphInfo[c].gmfCellIncX;
    EXPECT_NEAR(shortScore.minX - longScore.minX, digits * FontUnitInPixels(), 2);

    Camera.m_vPosition = TovarVector3f(0, 0, 0);
    Ink shortPos = measure(DrawCameraPosCoords, 10);
    Camera.m_vPosition = TovarVector3f(-12345.5f, 4, 10);
    Ink longPos = measure(DrawCameraPosCoords, 10);
    EXPECT_NEAR(longPos.maxX, shortPos.maxX, 1);
    EXPECT_LT(longPos.minX, shortPos.minX);
    EXPECT_LT(longPos.minX, kWidth / 2) << "the position line reaches past the centre";
}

TEST_F(HudTest, TotalEnemiesCountsOnlyTheLiving)
{
    auto drawn = [&] {
        ClearTo(0, 0, 0);
        DrawTotalEnemyes();
        return ReadFrame().rgb;
    };
    auto reference = [&](int n) {
        ClearTo(0, 0, 0);
        glPushMatrix();
        glLoadIdentity();
        glScalef(0.008f, 0.008f, 0.008f);
        glColor3ub(0, 250, 250);
        Font.DrawTextA(17, -4, -31, "Total Enemies: %i", n);
        glColor4f(1, 1, 1, 1);
        glPopMatrix();
        return ReadFrame().rgb;
    };

    EnemyList.Entity[1].Health = 0;
    EnemyList.Entity[3].Health = -20;
    EXPECT_TRUE(drawn() == reference(3));
    EXPECT_FALSE(drawn() == reference(5)) << "the comparison tells counts apart";

    for (int i = 0; i < 5; ++i)
        EnemyList.Entity[i].Health = 0;
    EXPECT_TRUE(drawn() == reference(0));

    EnemyList.Set(0);
    EXPECT_TRUE(drawn() == reference(0));
}

TEST_F(HudTest, GameOverLinesStandNearTheMiddle)
{
    ClearTo(0, 0, 0);
    CameraView();
    DrawGameOver();
    Frame f = ReadFrame();

    const double unit = FontUnitInPixels();
    Ink first = CyanIn(f, static_cast<int>(Project(0, 0.95)[1]), static_cast<int>(Project(0, 1.9)[1]));
    Ink second = CyanIn(f, static_cast<int>(Project(0, -0.35)[1]), static_cast<int>(Project(0, 0.85)[1]));
    EXPECT_GT(first.count, 40);
    EXPECT_GT(second.count, 200);
    EXPECT_NEAR(first.maxX, Project(1, 1)[0] - 0.1 * unit, 0.2 * unit);
    EXPECT_NEAR(second.maxX, Project(7, 0)[0] - 0.1 * unit, 0.2 * unit);
    // "Game Over" is as long as its glyphs' advances (the face, and with it
    // the length, differs by platform), the second line near twenty units.
    double advance = 0.0;
    for (unsigned char c : std::string("Game Over"))
        advance += Font.GlyphInfo[c].gmfCellIncX;
    EXPECT_NEAR(first.maxX - first.minX, advance * unit, 0.5 * unit);
    EXPECT_GT(second.maxX - second.minX, 15 * unit);
    EXPECT_EQ(CyanIn(f, 0, kHeight - 1).count, first.count + second.count);
}

// ---- Crosshair, floor and box ----------------------------------------------------

TEST_F(HudTest, CrossHairShowsInTheMiddleOverTheWorld)
{
    TovarTexture tex;
    tex.ID = MakeTexture({"BBBB", "BWWB", "BWWB", "BBBB"});

    ClearTo(0, 0, 0);
    CameraView();
    // A red wall just in front of the eye, covering the view.
    glDisable(GL_TEXTURE_2D);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(0.6f, 0, 0);
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, -0.5f);
    glVertex3f(1, -1, -0.5f);
    glVertex3f(1, 1, -0.5f);
    glVertex3f(-1, 1, -0.5f);
    glEnd();
    glPopMatrix();

    auto before = Modelview();
    glEnable(GL_BLEND);
    DrawCrossHair(&tex);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    auto after = Modelview();
    for (int i = 0; i < 16; ++i)
        EXPECT_DOUBLE_EQ(after[i], before[i]);

    Frame f = ReadFrame();
    auto white = [&](int x, int y) {
        const unsigned char* p = f.at(x, y);
        return p[0] > 240 && p[1] > 240 && p[2] > 240;
    };
    auto wall = [&](int x, int y) {
        const unsigned char* p = f.at(x, y);
        return p[0] > 140 && p[0] < 170 && p[1] < 10 && p[2] < 10;
    };
    // Half the quad (the white texels) is about 9 pixels each way from the centre.
    int left = 400, rightEdge = 399, bottom = 300, top = 299;
    while (left > 0 && white(left - 1, 300))
        --left;
    while (rightEdge < kWidth - 1 && white(rightEdge + 1, 300))
        ++rightEdge;
    while (bottom > 0 && white(400, bottom - 1))
        --bottom;
    while (top < kHeight - 1 && white(400, top + 1))
        ++top;
    ASSERT_TRUE(white(400, 300)) << "no crosshair in the middle";
    EXPECT_NEAR((left + rightEdge) / 2.0, 400, 2);
    EXPECT_NEAR((bottom + top) / 2.0, 300, 2);
    EXPECT_NEAR(rightEdge - left + 1, 18, 4);
    EXPECT_NEAR(top - bottom + 1, 18, 4);
    // Black texels add nothing: the wall shows through the border unchanged.
    EXPECT_TRUE(wall(400 + 14, 300));
    EXPECT_TRUE(wall(400, 300 - 14));
    EXPECT_TRUE(wall(400 + 40, 300));
}

namespace {

// (s, t) and (x, y, z) of one vertex.
typedef std::array<float, 5> TexVertex;

// Every vertex a drawing sends, in object coordinates, through feedback with
// its texture coordinate.
std::vector<TexVertex> Sent(void (*draw)())
{
    static std::vector<GLfloat> buffer(1 << 16);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-10, 10, -10, 10, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRotatef(30, 1, 0, 0); // the floor seen edge-on would have no area
    glRotatef(20, 0, 1, 0);
    GLdouble model[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);

    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint n = glRenderMode(GL_RENDER);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    std::vector<TexVertex> out;
    for (GLint i = 0; i < n;) {
        GLint token = static_cast<GLint>(buffer[i++]);
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        GLint count = static_cast<GLint>(buffer[i++]);
        for (GLint k = 0; k < count; ++k, i += 11) {
            GLdouble x, y, z;
            gluUnProject(buffer[i], buffer[i + 1], buffer[i + 2], model, projection, viewport, &x, &y, &z);
            float q = buffer[i + 10];
            out.push_back({buffer[i + 7] / q, buffer[i + 8] / q, float(x), float(y), float(z)});
        }
    }
    return out;
}

void ExpectSameVertices(const std::vector<TexVertex>& sent, const std::vector<TexVertex>& table)
{
    auto close = [](const TexVertex& a, const TexVertex& b) {
        for (int k = 0; k < 5; ++k)
            if (std::fabs(a[k] - b[k]) > 2e-3f)
                return false;
        return true;
    };
    ASSERT_FALSE(sent.empty());
    for (const TexVertex& want : table) {
        bool found = std::any_of(sent.begin(), sent.end(), [&](const TexVertex& v) { return close(v, want); });
        EXPECT_TRUE(found) << "missing (" << want[0] << "," << want[1] << ") at (" << want[2] << ","
                           << want[3] << "," << want[4] << ")";
    }
    for (const TexVertex& got : sent) {
        bool known = std::any_of(table.begin(), table.end(), [&](const TexVertex& v) { return close(v, got); });
        EXPECT_TRUE(known) << "stray (" << got[0] << "," << got[1] << ") at (" << got[2] << "," << got[3]
                           << "," << got[4] << ")";
    }
}

TovarTexture* gTex = nullptr;

} // namespace

TEST_F(HudTest, FloorAndBoxSendTheirTables)
{
    TovarTexture tex;
    tex.ID = MakeTexture({"WB", "BW"});
    gTex = &tex;
    glBindTexture(GL_TEXTURE_2D, 0);

    auto before = Modelview();
    std::vector<TexVertex> floor = Sent([] { DrawFloor(1, 2, 3, 4, 2, gTex); });
    ExpectSameVertices(floor, {{0, 0, 5, 2, 5}, {1, 0, -3, 2, 5}, {1, 1, -3, 2, 1}, {0, 1, 5, 2, 1}});
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), tex.ID);

    glBindTexture(GL_TEXTURE_2D, 0);
    std::vector<TexVertex> box = Sent([] { DrawBox(gTex); });
    ExpectSameVertices(box, {
        {0, 0, -1, -1, 1}, {1, 0, 1, -1, 1}, {1, 1, 1, 1, 1}, {0, 1, -1, 1, 1},
        {1, 0, -1, -1, -1}, {1, 1, -1, 1, -1}, {0, 1, 1, 1, -1}, {0, 0, 1, -1, -1},
        {0, 1, -1, 1, -1}, {0, 0, -1, 1, 1}, {1, 0, 1, 1, 1}, {1, 1, 1, 1, -1},
        {1, 1, -1, -1, -1}, {0, 1, 1, -1, -1}, {0, 0, 1, -1, 1}, {1, 0, -1, -1, 1},
        {1, 0, 1, -1, -1}, {1, 1, 1, 1, -1}, {0, 1, 1, 1, 1}, {0, 0, 1, -1, 1},
        {0, 0, -1, -1, -1}, {1, 0, -1, -1, 1}, {1, 1, -1, 1, 1}, {0, 1, -1, 1, -1},
    });
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), tex.ID);
    auto after = Modelview();
    for (int i = 0; i < 16; ++i)
        EXPECT_DOUBLE_EQ(after[i], before[i]);
    gTex = nullptr;
}

// ---- Frames a person can look at -------------------------------------------------

namespace {

// Writes the frame under the build tree as PPM, and as PNG where ImageMagick is at hand.
void KeepFrame(const Frame& f, const std::string& name)
{
    namespace fs = std::filesystem;
    fs::path dir = fs::path(QUELLIN_BINARY_DIR) / "artifacts";
    fs::create_directories(dir);
    fs::path ppm = dir / (name + ".ppm");
    {
        std::ofstream out(ppm, std::ios::binary);
        out << "P6\n" << f.w << " " << f.h << "\n255\n";
        for (int y = f.h - 1; y >= 0; --y)
            out.write(reinterpret_cast<const char*>(f.at(0, y)), f.w * 3);
        ASSERT_TRUE(out.good());
    }
    std::string convert = "command -v convert >/dev/null 2>&1 && convert '" + ppm.string() + "' '"
        + (dir / (name + ".png")).string() + "'";
    if (std::system(convert.c_str()) != 0)
        std::printf("no PNG made; the frame is in %s\n", ppm.string().c_str());
}

} // namespace

TEST_F(HudTest, ScreenshotsOfTheHudAndGameOver)
{
    std::vector<std::string> rows(16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            rows[y] += ((x / 4 + y / 4) % 2) ? 'W' : 'B';
    TovarTexture floorTex;
    floorTex.ID = MakeTexture(rows);
    TovarTexture cross;
    cross.ID = MakeTexture({"BBBWBBBB", "BBBWBBBB", "BBBWBBBB", "WWWBWWWB", "BBBWBBBB", "BBBWBBBB",
                            "BBBWBBBB", "BBBBBBBB"});

    player_score = 350;
    level = 3;
    PlayerHealth = 85;
    ClearTo(0.7f, 0.7f, 1.0f);
    // Looking a little up, so that the crosshair stands against the sky.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(5, 4, 10, 0, 5, 0, 0, 1, 0);
    glColor4f(1, 1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    DrawFloor(0, -5, 0, 500, 500, &floorTex);
    glPushMatrix();
    glTranslatef(0, 3, 0);
    DrawBox(&floorTex);
    glPopMatrix();
    DrawCrossHair(&cross);
    DrawHeadsUpTexts();
    Frame hud = ReadFrame();
    KeepFrame(hud, "hud");

    // The sky stays in the top-left corner; the floor fills the bottom row;
    // the crosshair's white texels brighten the sky in the middle.
    const unsigned char* sky = hud.at(5, kHeight - 5);
    EXPECT_NEAR(sky[0], 178, 2);
    EXPECT_NEAR(sky[2], 255, 1);
    const unsigned char* ground = hud.at(kWidth / 2, 2);
    EXPECT_TRUE(ground[0] == ground[2] && (ground[0] < 10 || ground[0] > 245));
    EXPECT_GT(CyanIn(hud, 0, kHeight - 1).count, 500);
    int whiteNearMiddle = 0;
    for (int y = 280; y < 320; ++y)
        for (int x = 380; x < 420; ++x)
            whiteNearMiddle += hud.at(x, y)[0] == 255 && hud.at(x, y)[1] == 255;
    EXPECT_GT(whiteNearMiddle, 30);

    ClearTo(0.1f, 0.1f, 0.1f);
    DrawGameOver();
    Frame over = ReadFrame();
    KeepFrame(over, "gameover");
    EXPECT_GT(CyanIn(over, 0, kHeight - 1).count, 500);
}

// ---- Windows of every shape ------------------------------------------------------

namespace {

// The six texts as drawn before the window's shape counted: at x = 17 in any window.
void FixedHeadsUpTexts()
{
    const TovarVector3f &p = Camera.m_vPosition, &v = Camera.m_vView;
    char text[6][96];
    std::snprintf(text[0], 96, "Position(%f,%f,%f)", p.x, p.y, p.z);
    std::snprintf(text[1], 96, "View(%f,%f,%f)", v.x, v.y, v.z);
    std::snprintf(text[2], 96, "Level: %i", level);
    std::snprintf(text[3], 96, "Score: %i", player_score);
    std::snprintf(text[4], 96, "Health: %i", PlayerHealth);
    std::snprintf(text[5], 96, "Total Enemies: %i", EnemyList.CountLiving());
    glColor3ub(0, 250, 250);
    for (int i = 0; i < 6; ++i) {
        glPushMatrix();
        glLoadIdentity();
        glScalef(0.008f, 0.008f, 0.008f);
        Font.DrawTextA(17, static_cast<float>(kLineY[i]), -31, "%s", text[i]);
        glPopMatrix();
    }
}

// One window large enough for every shape below; each shape is a viewport.
class HudShapeTest : public HudTest {
protected:
    static void SetUpTestSuite()
    {
        TW.maxperspective = 10000.0f;
        ASSERT_TRUE(TW.Create("Quellin test", 1000, 800, 16)) << "no display?";
        SetFixedGLState();
        Font.CreateGLFont("Comic Sans MS");
    }
};

} // namespace

TEST_F(HudShapeTest, NarrowerThan4To3TheLayoutShrinksWithTheWidthAndWiderNothingMoves)
{
    const std::pair<int, int> shapes[] = {{800, 600}, {1000, 600}, {1000, 800}, {800, 800}, {600, 800}};
    Ink at43;
    for (auto [w, h] : shapes) {
        const std::string name = "hud_" + std::to_string(w) + "x" + std::to_string(h);
        SCOPED_TRACE(name);
        TW.ReSize(w, h);
        ClearTo(0, 0, 0);
        DrawHeadsUpTexts();
        Frame f = ReadFrame(w, h);
        KeepFrame(f, name);
        const Ink ink = CyanIn(f, 0, h - 1);
        if (w == kWidth && h == kHeight)
            at43 = ink;
        const bool narrow = w * 3 < h * 4;
        const double k = narrow ? w / 800.0 : h / 600.0; // the text's size against 800 x 600
        EXPECT_GE(ink.minX, 2) << "a text cut off on the left";
        EXPECT_NEAR(ink.count, at43.count * k * k, 0.15 * at43.count * k * k) << "a text cut off";
        if (narrow) {
            EXPECT_NEAR(w - 1 - ink.maxX, (kWidth - 1 - at43.maxX) * k, 1.5) << "the right margin of 4:3";
        } else {
            ClearTo(0, 0, 0);
            FixedHeadsUpTexts();
            EXPECT_TRUE(ReadFrame(w, h).rgb == f.rgb) << "a text moved";
        }
    }
}
