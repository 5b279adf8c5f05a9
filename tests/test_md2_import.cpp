// MD2 import: decoding, the shared per-model tables, the dump, re-import, and
// files that break the format's limits, each refused with its reason.

#include "test_md2_writer.h"
#include "support/TempDir.h"
#include "toolkit/MD2.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <sstream>

using namespace TovarToolkit;
using md2test::Build;
using md2test::Model;

namespace {

// A text file with its line ends as LF (the dump has CR LF on Windows).
std::string ReadText(const std::string& name)
{
    std::string text = ReadWholeFile(name), out;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    return out;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

class MD2Import : public ::testing::Test {
protected:
    bool Import(const std::string& bytes, TovarMD23DModel* model, bool dump = false, const std::string& dumpName = "")
    {
        std::string path = dir.file("model.md2");
        md2test::WriteBytes(path, bytes);
        return loader.ImportMD2(model, path.c_str(), dump, dumpName.c_str());
    }

    TempDir dir;
    TovarMD2Loader loader;
};

// A snapshot of what an import leaves in the model, to prove a refused file
// changed nothing.
struct ModelState {
    int objects, animations, anim, frame;
    size_t tables;
    const TovarVector3f* verts0;
    explicit ModelState(const TovarMD23DModel& m)
        : objects(m.numOfObjects), animations(m.numOfAnimations), anim(m.currentAnim), frame(m.currentFrame),
          tables(m.pObject.size() + m.pAnimations.size()),
          verts0(m.pObject.empty() ? nullptr : m.pObject[0].pVerts)
    {
    }
    bool operator==(const ModelState& o) const
    {
        return objects == o.objects && animations == o.animations && anim == o.anim && frame == o.frame &&
               tables == o.tables && verts0 == o.verts0;
    }
};

} // namespace

TEST_F(MD2Import, VersionMustBeEightButMagicIsFree)
{
    TovarMD23DModel model;
    ASSERT_TRUE(Import(Build(md2test::Named({"stand01", "stand02", "stand03"})), &model));
    model.currentFrame = 2;
    ModelState before(model);

    Model old = md2test::Named({"walk1", "walk2"});
    old.version = 7;
    EXPECT_FALSE(Import(Build(old), &model));
    EXPECT_EQ(loader.LastError(),
              dir.file("model.md2") + ": the header says version 7; only version 8 can be read");
    EXPECT_TRUE(ModelState(model) == before);
    EXPECT_STREQ(model.pAnimations[0].Name, "stand");

    EXPECT_FALSE(loader.ImportMD2(&model, dir.file("missing.md2").c_str(), false, ""));
    EXPECT_EQ(loader.LastError(), dir.file("missing.md2") + ": the file cannot be opened");
    EXPECT_TRUE(ModelState(model) == before);

    for (std::int32_t magic : {0, -1, 0x12345678}) {
        Model m = md2test::Named({"a1", "a2"});
        m.magic = magic;
        TovarMD23DModel other;
        EXPECT_TRUE(Import(Build(m), &other)) << magic;
        EXPECT_EQ(loader.LastError(), ""); // a success forgets the earlier refusal
        EXPECT_EQ(other.numOfObjects, 2);
    }
}

TEST_F(MD2Import, NoFramesGivesAnEmptyModelAndTwoDumpLines)
{
    Model m = md2test::Named({});
    TovarMD23DModel model;
    std::string dump = dir.file("dump.xml");
    ASSERT_TRUE(Import(Build(m), &model, true, dump));
    EXPECT_EQ(model.numOfObjects, 0);
    EXPECT_EQ(model.numOfAnimations, 0);
    EXPECT_EQ(model.numOfMaterials, 0);
    EXPECT_TRUE(model.pObject.empty());
    EXPECT_TRUE(model.pAnimations.empty());
    EXPECT_TRUE(model.pMaterials.empty());
    EXPECT_EQ(ReadText(dump), "<Model>\n<TotalFrames>0</TotalFrames>\n");
}

TEST_F(MD2Import, DecodesVerticesWithTheAxisSwap)
{
    Model m = md2test::Named({"a1", "a2"});
    m.frames[1].verts[2] = {{10, 20, 30}};
    m.frames[1].scale[0] = 0.5f;
    m.frames[1].scale[1] = 1.0f;
    m.frames[1].scale[2] = 2.0f;
    m.frames[1].translate[0] = 1.0f;
    m.frames[1].translate[1] = 2.0f;
    m.frames[1].translate[2] = 3.0f;
    TovarMD23DModel model;
    ASSERT_TRUE(Import(Build(m), &model));
    const TovarVector3f& v = model.pObject[1].pVerts[2];
    EXPECT_FLOAT_EQ(v.x, 6.0f);
    EXPECT_FLOAT_EQ(v.y, 63.0f);
    EXPECT_FLOAT_EQ(v.z, -22.0f);
    // Unit scale, no translation: (b0, b2, -b1).
    const TovarVector3f& w = model.pObject[0].pVerts[1];
    EXPECT_FLOAT_EQ(w.x, 11.0f);
    EXPECT_FLOAT_EQ(w.y, 33.0f);
    EXPECT_FLOAT_EQ(w.z, -20.0f);
}

TEST_F(MD2Import, TexCoordsAreScaledAndFlipped)
{
    Model m = md2test::Named({"a1", "a2"});
    m.texCoords = {{{64, 0}}, {{0, 256}}, {{128, 64}}, {{-32, 32}}};
    TovarMD23DModel model;
    ASSERT_TRUE(Import(Build(m), &model));
    const TovarVector2f* t = model.pObject[0].pTexVerts;
    ASSERT_NE(t, nullptr);
    EXPECT_FLOAT_EQ(t[0].x, 0.25f);
    EXPECT_FLOAT_EQ(t[0].y, 1.0f);
    EXPECT_FLOAT_EQ(t[1].x, 0.0f);
    EXPECT_FLOAT_EQ(t[1].y, 0.0f);
    EXPECT_FLOAT_EQ(t[2].x, 0.5f);
    EXPECT_FLOAT_EQ(t[2].y, 0.75f);
    EXPECT_FLOAT_EQ(t[3].x, -0.125f); // signed 16-bit
}

TEST_F(MD2Import, OnlyTheFirstObjectHoldsFacesAndTexCoords)
{
    Model m = md2test::Named({"run1", "run2", "run3"});
    m.numVertices = 400;
    m.frames[0].verts.resize(400);
    m.triangles.push_back({{3, 2, 399, 1, 0, 3}}); // an index above 255 must survive the 16-bit decode
    TovarMD23DModel model;
    ASSERT_TRUE(Import(Build(m), &model));
    ASSERT_EQ(model.numOfObjects, 3);
    ASSERT_EQ(model.pObject.size(), 3u);
    for (int j = 0; j < 3; ++j) {
        const TovarMD23DObject& o = model.pObject[static_cast<size_t>(j)];
        EXPECT_EQ(o.numOfVerts, 400);
        EXPECT_EQ(o.numOfFaces, 3);
        EXPECT_EQ(o.numTexVertex, 4);
        EXPECT_EQ(o.materialID, 0);
        EXPECT_FALSE(o.bHasTexture);
        EXPECT_EQ(o.strName[0], '\0');
        EXPECT_NE(o.pVerts, nullptr);
        EXPECT_EQ(o.pNormals, nullptr);
        EXPECT_EQ(o.pTexVerts != nullptr, j == 0);
        EXPECT_EQ(o.pFaces != nullptr, j == 0);
    }
    const TovarFace& f = model.pObject[0].pFaces[2];
    EXPECT_EQ(f.vertIndex[0], 3);
    EXPECT_EQ(f.vertIndex[1], 2);
    EXPECT_EQ(f.vertIndex[2], 399);
    EXPECT_EQ(f.coordIndex[0], 1);
    EXPECT_EQ(f.coordIndex[1], 0);
    EXPECT_EQ(f.coordIndex[2], 3);
    EXPECT_EQ(model.currentAnim, 0);
    EXPECT_EQ(model.currentFrame, 0);
}

TEST_F(MD2Import, ClosedOnlyWhenEveryShellHasItsTwinsAndFacesOutInEveryFrame)
{
    Model cube;
    md2test::AddCube(cube);
    Model missing = cube, flipped = cube, repeated = cube, inside = cube, two = cube, mixed = cube, doubled = cube,
          touching = cube, mirrored = cube;
    missing.triangles.pop_back();
    std::swap(flipped.triangles[5][1], flipped.triangles[5][2]);
    repeated.triangles[5][2] = repeated.triangles[5][1];
    for (auto& t : inside.triangles)
        std::swap(t[1], t[2]);
    md2test::AddCube(two, 40);
    md2test::AddCube(mixed, 40);
    // A smaller cube joined to the first only at its far corner: a shell of
    // its own, which the larger one's volume must not outweigh.
    md2test::AddCube(touching, 20, 4, 7);
    for (size_t i = 12; i < 24; ++i) { // the second cube inside out
        std::swap(mixed.triangles[i][1], mixed.triangles[i][2]);
        std::swap(touching.triangles[i][1], touching.triangles[i][2]);
    }
    doubled.triangles.push_back(cube.triangles[3]);
    mirrored.frames.push_back(cube.frames[0]);
    mirrored.frames[1].scale[0] = -1.0f; // its mirror image in the second frame
    // Closed and wound clockwise, or not closed.
    const std::vector<std::pair<const Model*, int>> cases = {
        {&cube, 1}, {&missing, 0}, {&flipped, 0}, {&repeated, 0}, {&inside, 2},   {&two, 1},
        {&mixed, 0}, {&doubled, 0}, {&touching, 0}, {&mirrored, 0}};
    for (size_t c = 0; c < cases.size(); ++c) {
        TovarMD23DModel m;
        ASSERT_TRUE(Import(Build(*cases[c].first), &m));
        EXPECT_EQ(m.closed ? 1 + m.clockwise : 0, cases[c].second) << "case " << c;
    }
}

TEST_F(MD2Import, DumpLayout)
{
    Model m = md2test::Named({"stand01", "stand02", "stand03"});
    m.frames[0].scale[0] = 0.5f;
    m.frames[0].verts[0] = {{25, 0, 0}};
    m.frames[0].translate[1] = 1e6f;
    std::string dump = dir.file("dump.xml");
    TovarMD23DModel model;
    ASSERT_TRUE(Import(Build(m), &model, true, dump));

    std::string text = ReadText(dump);
    std::vector<std::string> lines = Lines(text);
    const size_t F = 3, V = 4, T = 2;
    ASSERT_EQ(lines.size(), 5 + F * (2 + 2 * V) + T);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(lines[0], "<Model>");
    EXPECT_EQ(lines[1], "<TotalFrames>3</TotalFrames>");
    EXPECT_EQ(lines[2], "<Frame number = \"0\">");
    EXPECT_EQ(lines[3], "<Vertices>4</Vertices>");
    EXPECT_EQ(lines[4], "<TexCoord>0,0</TexCoord>");
    EXPECT_EQ(lines[5], "<Vertice>12.5,0,-1e+06</Vertice>");
    EXPECT_EQ(lines[12], "<Frame number = \"1\">");
    EXPECT_EQ(lines[15], "<Vertice>11,30,-22</Vertice>"); // frame 1, vertex 0: bytes (11, 22, 30)
    EXPECT_EQ(lines[lines.size() - 5], "<TotalTriangles>2</TotalTriangles>");
    EXPECT_EQ(lines[lines.size() - 4], "<Triangle>0,1,2</Triangle>");
    EXPECT_EQ(lines[lines.size() - 3], "<Triangle>0,2,3</Triangle>");
    EXPECT_EQ(lines[lines.size() - 2], "</Frame>");
    EXPECT_EQ(lines[lines.size() - 1], "</Model>");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "</Frame>"), 1);

    // The dump is rewritten, not appended to, by the next import.
    ASSERT_TRUE(Import(Build(md2test::Named({"a1"})), &model, true, dump));
    EXPECT_EQ(Lines(ReadText(dump)).size(), 5u + 1 * (2 + 2 * 4) + 2);
}

TEST_F(MD2Import, DumpOnlyWhenAskedAndNeverDecidesTheResult)
{
    std::string bytes = Build(md2test::Named({"a1", "a2"}));
    std::string existing = dir.file("existing.xml");
    md2test::WriteBytes(existing, "keep me");
    TovarMD23DModel model;
    EXPECT_TRUE(Import(bytes, &model, false, existing));
    EXPECT_EQ(ReadWholeFile(existing), "keep me");
    std::string absent = dir.file("absent.xml");
    EXPECT_TRUE(Import(bytes, &model, false, absent));
    EXPECT_FALSE(std::filesystem::exists(absent));

    // A dump that cannot be written is lost quietly; the import still succeeds.
    EXPECT_TRUE(Import(bytes, &model, true, dir.file("no/such/dir/dump.xml")));
    EXPECT_EQ(model.numOfObjects, 2);

    // A refused file leaves no dump behind.
    Model bad = md2test::Named({"a1", "a2"});
    bad.triangles[1][1] = 9;
    std::string badDump = dir.file("bad.xml");
    EXPECT_FALSE(Import(Build(bad), &model, true, badDump));
    EXPECT_FALSE(std::filesystem::exists(badDump));
}

TEST_F(MD2Import, ReimportReplacesTheEarlierModel)
{
    TovarMD23DModel model;
    ASSERT_TRUE(Import(Build(md2test::Named(md2test::Concat({md2test::Sequence("stand", 1, 5),
                                                              md2test::Sequence("run", 1, 3)}))),
                       &model));
    EXPECT_EQ(model.numOfAnimations, 2);
    model.currentAnim = 1;
    model.currentFrame = 6;

    ASSERT_TRUE(Import(Build(md2test::Named({"jump1", "jump2", "jump3"})), &model));
    EXPECT_EQ(model.numOfObjects, 3);
    EXPECT_EQ(model.pObject.size(), 3u);
    EXPECT_EQ(model.numOfAnimations, 1);
    ASSERT_EQ(model.pAnimations.size(), 1u);
    EXPECT_STREQ(model.pAnimations[0].Name, "jump");
    EXPECT_EQ(model.currentAnim, 0);
    EXPECT_EQ(model.currentFrame, 0);
    EXPECT_EQ(model.Texture.ID, 0u);

    // Clearing releases the arrays and forgets them, so the destructor and a
    // later import do not release them again.
    loader.Clear3DObjects(&model);
    for (const TovarMD23DObject& o : model.pObject) {
        EXPECT_EQ(o.pVerts, nullptr);
        EXPECT_EQ(o.pFaces, nullptr);
        EXPECT_EQ(o.pTexVerts, nullptr);
    }
    EXPECT_EQ(model.numOfObjects, 3);
    ASSERT_TRUE(Import(Build(md2test::Named({"a1", "a2"})), &model));
    EXPECT_NE(model.pObject[1].pVerts, nullptr);
}

// ---- Malformed files: each is refused and the model stays as it was ----

class MD2Malformed : public MD2Import {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Import(Build(md2test::Named({"keep1", "keep2"})), &model));
        before = ModelState(model);
    }
    // `reason` is what the refusal says after the file's name.
    void ExpectRefused(const std::string& bytes, const std::string& reason)
    {
        EXPECT_FALSE(Import(bytes, &model)) << reason;
        EXPECT_EQ(loader.LastError(), dir.file("model.md2") + ": " + reason);
        EXPECT_TRUE(ModelState(model) == before) << reason;
    }
    void ExpectAccepted(const std::string& bytes, const std::string& what)
    {
        TovarMD23DModel other;
        EXPECT_TRUE(Import(bytes, &other)) << what;
    }
    std::string Patched(std::string bytes, md2test::Field field, std::int32_t value)
    {
        md2test::PutI32(bytes, field, value);
        return bytes;
    }

    TovarMD23DModel model;
    ModelState before{model};
};

TEST_F(MD2Malformed, TruncatedAnywhere)
{
    std::string bytes = Build(md2test::Named({"a1", "a2", "a3"}));
    for (size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_FALSE(Import(bytes.substr(0, size), &model)) << size;
        const std::string ends =
            dir.file("model.md2") + ": the file ends at byte " + std::to_string(size) + " of the ";
        EXPECT_EQ(loader.LastError().substr(0, ends.size()), ends);
    }
    EXPECT_TRUE(ModelState(model) == before);
    ExpectAccepted(bytes, "whole");
}

TEST_F(MD2Malformed, CountsAtAndPastTheFormatLimits)
{
    // Each file is built at the limit, then its count is raised by one.
    {
        Model m = md2test::Named({"a1"});
        m.numSkins = 32;
        std::string bytes = Build(m);
        ExpectAccepted(bytes, "32 skins");
        ExpectRefused(Patched(bytes, md2test::kNumSkins, 33), "the header gives 33 skins; a model has 0 to 32");
        ExpectRefused(Patched(bytes, md2test::kNumSkins, -1), "the header gives -1 skins; a model has 0 to 32");
    }
    {
        Model m = md2test::Named({"a1"});
        m.numVertices = 2048;
        std::string bytes = Build(m);
        ExpectAccepted(bytes, "2048 vertices");
        std::string more = Patched(bytes, md2test::kNumVertices, 2049);
        more = Patched(more, md2test::kFrameSize, 40 + 4 * 2049);
        more.append(4, '\0');
        ExpectRefused(more, "the header gives 2049 vertices; a model has 0 to 2048");
        ExpectRefused(Patched(bytes, md2test::kNumVertices, -1), "the header gives -1 vertices; a model has 0 to 2048");
    }
    {
        Model m = md2test::Named({"a1"});
        m.triangles.assign(4096, {{0, 1, 2, 0, 1, 2}});
        std::string bytes = Build(m);
        ExpectAccepted(bytes, "4096 triangles");
        m.triangles.push_back({{0, 1, 2, 0, 1, 2}});
        ExpectRefused(Build(m), "the header gives 4097 triangles; a model has 0 to 4096");
        ExpectRefused(Patched(bytes, md2test::kNumTriangles, -1),
                      "the header gives -1 triangles; a model has 0 to 4096");
        ExpectRefused(Patched(bytes, md2test::kNumTriangles, INT_MAX),
                      "the header gives 2147483647 triangles; a model has 0 to 4096");
    }
    {
        Model m = md2test::Named(md2test::Sequence("f", 1, 512));
        std::string bytes = Build(m);
        ExpectAccepted(bytes, "512 frames");
        m.frames.push_back(m.frames.back());
        ExpectRefused(Build(m), "the header gives 513 frames; a model has 0 to 512");
        ExpectRefused(Patched(bytes, md2test::kNumFrames, -1), "the header gives -1 frames; a model has 0 to 512");
    }
    {
        std::string bytes = Build(md2test::Named({"a1"}));
        ExpectRefused(Patched(bytes, md2test::kNumTexCoords, -1), "the header gives -1 texture coordinates");
        ExpectRefused(Patched(bytes, md2test::kNumTexCoords, INT_MAX),
                      "the file ends at byte " + std::to_string(bytes.size()) +
                          " of the 8589934720 its texture coordinates need"); // 132 + 4 * INT_MAX
    }
}

TEST_F(MD2Malformed, FrameSizeAndSkinSize)
{
    Model m = md2test::Named({"a1", "a2"});
    std::string bytes = Build(m); // frameSize 56
    const std::string holds = " bytes cannot hold 4 vertices (that takes 56 to 8320 bytes)";
    ExpectRefused(Patched(bytes, md2test::kFrameSize, 55), "frames of 55" + holds);
    ExpectRefused(Patched(bytes, md2test::kFrameSize, 0), "frames of 0" + holds);
    ExpectRefused(Patched(bytes, md2test::kFrameSize, -56), "frames of -56" + holds);

    m.framePadding = 8320 - 56;
    ExpectAccepted(Build(m), "frameSize 8320");
    m.framePadding = 8321 - 56;
    ExpectRefused(Build(m), "frames of 8321" + holds);

    ExpectRefused(Patched(bytes, md2test::kSkinWidth, 0), "the skin is 0 x 256 pixels; it needs a size above 0");
    ExpectRefused(Patched(bytes, md2test::kSkinHeight, 0), "the skin is 256 x 0 pixels; it needs a size above 0");
    ExpectRefused(Patched(bytes, md2test::kSkinWidth, -256), "the skin is -256 x 256 pixels; it needs a size above 0");
}

TEST_F(MD2Malformed, EverySectionInsideTheFile)
{
    std::string bytes = Build(md2test::Named({"a1", "a2"}));
    const std::int32_t size = static_cast<std::int32_t>(bytes.size());
    struct Section {
        md2test::Field offset;
        std::int32_t length;
        std::string what;
    } sections[] = {{md2test::kOffsetSkins, 64, "skin names"},
                    {md2test::kOffsetTexCoords, 16, "texture coordinates"},
                    {md2test::kOffsetTriangles, 24, "triangles"},
                    {md2test::kOffsetFrames, 2 * 56, "frames"}};
    const std::string ends = "the file ends at byte " + std::to_string(size) + " of the ";
    for (const Section& s : sections) {
        ExpectRefused(Patched(bytes, s.offset, size - s.length + 1),
                      ends + std::to_string(size + 1) + " its " + s.what + " need");
        ExpectRefused(Patched(bytes, s.offset, -1), "the " + s.what + " start at byte -1, before the file");
        ExpectRefused(Patched(bytes, s.offset, INT_MAX),
                      ends + std::to_string(std::int64_t(INT_MAX) + s.length) + " its " + s.what + " need");
        ExpectRefused(Patched(bytes, s.offset, INT_MIN),
                      "the " + s.what + " start at byte -2147483648, before the file");
    }
    // Ending exactly at the end of the file is fine (the bytes are garbage
    // for this model's skins, which are not used).
    ExpectAccepted(Patched(bytes, md2test::kOffsetSkins, size - 64), "skins ending at the end");

    // Large counts whose byte lengths overflow 32 bits.
    std::string many = Patched(bytes, md2test::kNumTexCoords, 0x40000001);
    ExpectRefused(many, ends + "4294967432 its texture coordinates need"); // 132 + 4 * 0x40000001
}

TEST_F(MD2Malformed, IndicesOutOfRange)
{
    struct Case {
        int corner;
        std::int16_t value;
        const char* reason; // null: accepted
    } cases[] = {{0, 3, nullptr},
                 {0, 4, "triangle 1 uses vertex 4 of 4"},
                 {1, -1, "triangle 1 uses vertex -1 of 4"},
                 {2, 32767, "triangle 1 uses vertex 32767 of 4"},
                 {2, -32768, "triangle 1 uses vertex -32768 of 4"},
                 {3, 3, nullptr},
                 {3, 4, "triangle 1 uses texture coordinate 4 of 4"},
                 {4, -1, "triangle 1 uses texture coordinate -1 of 4"},
                 {5, 100, "triangle 1 uses texture coordinate 100 of 4"}};
    for (const Case& c : cases) {
        Model m = md2test::Named({"a1", "a2"});
        m.triangles[1][static_cast<size_t>(c.corner)] = c.value;
        if (!c.reason)
            ExpectAccepted(Build(m), std::to_string(c.value));
        else
            ExpectRefused(Build(m), c.reason);
    }
    // No texture coordinates at all: any triangle is out of range.
    Model m = md2test::Named({"a1"});
    m.texCoords.clear();
    ExpectRefused(Build(m), "triangle 0 uses texture coordinate 0 of 0");
    m.triangles.clear();
    ExpectAccepted(Build(m), "neither");
}

TEST_F(MD2Malformed, FrameNamesMustEndWithinSixteenBytes)
{
    Model m = md2test::Named({"a1", "a2"});
    std::memset(m.frames[1].name, 'x', 16);
    ExpectRefused(Build(m), "the name of frame 1 does not end within its 16 bytes");

    m.frames[0].SetName("abcdefghijklmn12"); // 16 characters, cut to 16 bytes: no NUL
    ExpectRefused(Build(m), "the name of frame 0 does not end within its 16 bytes");

    m.frames[0].SetName("abcdefghijklm01");
    m.frames[1].SetName("abcdefghijklm02");
    TovarMD23DModel ok;
    ASSERT_TRUE(Import(Build(m), &ok));
    ASSERT_EQ(ok.numOfAnimations, 1);
    EXPECT_STREQ(ok.pAnimations[0].Name, "abcdefghijklm");
}

// ---- The game's own model, as committed ----

TEST(MD2GameModel, StandsOnTheFloorAndAnimates)
{
    TovarMD2Loader loader;
    TovarMD23DModel model;
    const std::string path = std::string(QUELLIN_SOURCE_DIR) + "/data/Models/Ogro/tris.md2";
    ASSERT_TRUE(loader.ImportMD2(&model, path.c_str(), false, ""));

    const char* names[] = {"stand", "run", "attack", "pain", "jump", "death"};
    const int starts[] = {0, 40, 46, 54, 58, 64};
    ASSERT_EQ(model.numOfAnimations, 6);
    for (int a = 0; a < 6; ++a) {
        EXPECT_STREQ(model.pAnimations[static_cast<size_t>(a)].Name, names[a]);
        EXPECT_EQ(model.pAnimations[static_cast<size_t>(a)].startFrame, starts[a]);
    }
    ASSERT_EQ(model.numOfObjects, 70);
    EXPECT_TRUE(model.closed) << "its back faces can be left out";
    const TovarMD23DObject& first = model.pObject[0];
    EXPECT_GE(first.numOfFaces, 400);
    EXPECT_LE(first.numOfFaces, 1200);
    for (int i = 0; i < first.numTexVertex; ++i) {
        EXPECT_GE(first.pTexVerts[i].x, 0.0f);
        EXPECT_LE(first.pTexVerts[i].x, 1.0f);
        EXPECT_GE(first.pTexVerts[i].y, 0.0f);
        EXPECT_LE(first.pTexVerts[i].y, 1.0f);
    }

    // The game draws it at 0.2 scale with y = 0 at the model's origin: feet on
    // the floor (y = -5), the top of the head about the eye height (y = 4).
    for (int j = 0; j < 58; ++j) {
        const TovarMD23DObject& o = model.pObject[static_cast<size_t>(j)];
        float low = 1e9f, high = -1e9f;
        for (int k = 0; k < o.numOfVerts; ++k) {
            low = std::min(low, o.pVerts[k].y);
            high = std::max(high, o.pVerts[k].y);
        }
        if (j >= 40 && j < 46) { // running: a foot down, or both just off the ground
            EXPECT_GE(low, -25.2f) << "frame " << j;
            EXPECT_LE(low, -24.0f) << "frame " << j;
        } else {
            EXPECT_NEAR(low, -25.0f, 0.2f) << "frame " << j;
        }
        if (j < 40) {
            EXPECT_NEAR(high, 20.0f, 3.0f) << "frame " << j;
        }
    }

    // The idle loop visibly moves: some vertex travels over half a unit
    // between stand01 and stand11.
    float most = 0.0f;
    for (int k = 0; k < first.numOfVerts; ++k) {
        TovarVector3f d = model.pObject[10].pVerts[k] - first.pVerts[k];
        most = std::max(most, d.GetLength());
    }
    EXPECT_GT(most, 0.5f);
}
