// Whether a mesh is closed, shell by shell and frame by frame, and which way
// it is wound: only such a mesh may leave its back faces out.

#include "toolkit/Surface.h"

#include <gtest/gtest.h>

#include <utility>

using namespace TovarToolkit;

namespace {

struct Mesh {
    std::vector<int> indices;
    std::vector<std::vector<TovarVector3f>> frames{1};

    // A cube of side `size` at `at`, wound counter-clockwise seen from
    // outside; `corner0` stands in for its first corner, to share a vertex.
    void AddCube(float at, float size, int corner0 = -1)
    {
        static const int quads[6][4] = {{1, 3, 7, 5}, {0, 4, 6, 2}, {2, 6, 7, 3},
                                        {0, 1, 5, 4}, {4, 5, 7, 6}, {0, 2, 3, 1}};
        int base = static_cast<int>(frames[0].size());
        for (auto& f : frames)
            for (int i = 0; i < 8; ++i)
                f.push_back(TovarVector3f(at + size * (i & 1), at + size * (i >> 1 & 1), at + size * (i >> 2 & 1)));
        for (const auto& q : quads)
            for (int half = 0; half < 2; ++half)
                for (int c : {q[0], q[1 + half], q[2 + half]})
                    indices.push_back(c == 0 && corner0 >= 0 ? corner0 : base + c);
    }
    void Flip(size_t fromFace, size_t toFace)
    {
        for (size_t f = fromFace; f < toFace; ++f)
            std::swap(indices[3 * f + 1], indices[3 * f + 2]);
    }
    TovarSurfaceShape Examine() const
    {
        std::vector<const TovarVector3f*> p;
        for (const auto& f : frames)
            p.push_back(f.data());
        return ExamineSurface(indices, static_cast<int>(frames[0].size()), p);
    }
};

// 0: not closed; 1: closed, counter-clockwise; 2: closed, clockwise.
int Verdict(const Mesh& m)
{
    TovarSurfaceShape s = m.Examine();
    return s.closed ? 1 + s.clockwise : 0;
}

} // namespace

TEST(Surface, EveryShellClosedAndWoundOneWayOut)
{
    Mesh cube;
    cube.AddCube(0, 10);
    Mesh missing = cube, flipped = cube, repeated = cube, inside = cube, doubled = cube, apart = cube,
         mixed = cube, touching = cube, outOfRange = cube, flat;
    missing.indices.resize(missing.indices.size() - 3);
    flipped.Flip(5, 6);
    repeated.indices[17] = repeated.indices[16];
    inside.Flip(0, 12);
    doubled.indices.insert(doubled.indices.end(), cube.indices.begin() + 6, cube.indices.begin() + 9);
    apart.AddCube(40, 10);
    mixed.AddCube(40, 10);
    mixed.Flip(12, 24);
    // A smaller cube inside out, sharing the first one's far corner: joined
    // only through that vertex, it is a shell of its own, and the larger
    // cube's volume must not hide its sign.
    touching.AddCube(10, 4, 7);
    touching.Flip(12, 24);
    outOfRange.indices[4] = 8;
    flat.frames[0] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    flat.indices = {0, 1, 2, 0, 2, 1};

    const std::pair<const char*, std::pair<const Mesh*, int>> cases[] = {
        {"cube", {&cube, 1}},
        {"a face missing", {&missing, 0}},
        {"a face flipped", {&flipped, 0}},
        {"a face repeats a vertex", {&repeated, 0}},
        {"inside out", {&inside, 2}},
        {"a face listed twice", {&doubled, 0}},
        {"two cubes apart", {&apart, 1}},
        {"two cubes apart, one inside out", {&mixed, 0}},
        {"two cubes sharing a vertex, one inside out", {&touching, 0}},
        {"an index past the positions", {&outOfRange, 0}},
        {"both sides of one sheet", {&flat, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Verdict(*c.second.first), c.second.second) << c.first;

    // Sharing a vertex, both outward: two shells, closed.
    Mesh joined = cube;
    joined.AddCube(10, 4, 7);
    EXPECT_EQ(Verdict(joined), 1);
}

TEST(Surface, EveryFrameCounts)
{
    Mesh m;
    m.frames.resize(3);
    m.AddCube(0, 10);
    EXPECT_EQ(Verdict(m), 1);
    // Its mirror image in the last frame is wound the other way round.
    for (TovarVector3f& v : m.frames[2])
        v.x = -v.x;
    EXPECT_EQ(Verdict(m), 0);
    // A frame that squashes it flat encloses nothing.
    for (TovarVector3f& v : m.frames[2])
        v = TovarVector3f(-v.x, v.y, 0);
    EXPECT_EQ(Verdict(m), 0);

    std::vector<const TovarVector3f*> p = {m.frames[0].data(), m.frames[1].data(), m.frames[2].data()};
    m.frames[1][6] = TovarVector3f(-30, 40, 0); // 50 from the origin
    EXPECT_FLOAT_EQ(SurfaceRadius(8, p), 50.0f);
}
