// The enemy: a stocky horned brute with a club. Ellipsoids, tapered tubes and
// boxes hang on a small skeleton; every frame poses the skeleton, and the
// result is written as an MD2 model (Models/Ogro/tris.md2) with a painted
// skin atlas (Models/Ogro/Skin.bmp).
//
// Model space is the file's: x forward, y to the creature's left, z up. The
// feet stand at z = -25 and the skull's top is near z = +20, so that the game,
// which scales the model by 0.2 and puts it at y = 0, stands it on the floor
// at y = -5 with its head at the player's eye height.

#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/noise.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace AssetGen {

namespace {

// ---- Arithmetic that gives the same bits everywhere ---------------------------------

const double kPi = 3.14159265358979323846;

// Our own sine: libm's may differ in the last bit between systems, and a
// differing bit can change a quantised vertex.
double Sin(double x)
{
    x -= 2.0 * kPi * std::floor(x / (2.0 * kPi) + 0.5);
    if (x > kPi / 2)
        x = kPi - x;
    else if (x < -kPi / 2)
        x = -kPi - x;
    const double x2 = x * x;
    double term = x, sum = x;
    for (int n = 1; n <= 10; ++n) {
        term *= -x2 / double((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

double Cos(double x)
{
    return Sin(x + kPi / 2);
}

double Rad(double degrees)
{
    return degrees * (kPi / 180.0);
}

struct Vec3 {
    double x, y, z;
};

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }

Vec3 Cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 Normalized(Vec3 a)
{
    const double length = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    return a * (1.0 / length);
}

struct Mat3 {
    double m[3][3];
};

Mat3 Identity()
{
    return {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
}

Mat3 operator*(const Mat3& a, const Mat3& b)
{
    Mat3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    return r;
}

Vec3 operator*(const Mat3& a, Vec3 v)
{
    return {a.m[0][0] * v.x + a.m[0][1] * v.y + a.m[0][2] * v.z,
            a.m[1][0] * v.x + a.m[1][1] * v.y + a.m[1][2] * v.z,
            a.m[2][0] * v.x + a.m[2][1] * v.y + a.m[2][2] * v.z};
}

// Swings a hanging limb forward by `degrees` (its downward axis turns toward
// +x); an upright part tilts backward by the same rotation.
Mat3 Swing(double degrees)
{
    const double c = Cos(Rad(degrees)), s = Sin(Rad(degrees));
    return {{{c, 0, -s}, {0, 1, 0}, {s, 0, c}}};
}

// Turns a hanging limb out toward +y (the creature's left).
Mat3 Roll(double degrees)
{
    const double c = Cos(Rad(degrees)), s = Sin(Rad(degrees));
    return {{{1, 0, 0}, {0, c, -s}, {0, s, c}}};
}

// Turns toward the creature's left, about the up axis.
Mat3 Yaw(double degrees)
{
    const double c = Cos(Rad(degrees)), s = Sin(Rad(degrees));
    return {{{c, -s, 0}, {s, c, 0}, {0, 0, 1}}};
}

// An orientation whose z axis is `axis` (a unit vector off the y axis), for
// parts laid along a direction.
Mat3 AlongAxis(Vec3 axis)
{
    const Vec3 y = {0, 1, 0};
    const Vec3 x = Normalized(Cross(y, axis));
    const Vec3 yy = Cross(axis, x);
    return {{{x.x, yy.x, axis.x}, {x.y, yy.y, axis.y}, {x.z, yy.z, axis.z}}};
}

// ---- The skin atlas: 4 x 4 cells of 64 pixels, one material per cell -------------------

const int kSkinSize = 256;

enum Material {
    kSkin, kBelly, kHead, kEye,
    kHorn, kLeather, kWood, kClubHead,
    kForearm, kHand, kTooth, kJaw,
    kFoot, kMetal, kBrow, kNeck,
    kMaterialCount
};

struct Region {
    int x, y, w, h;
};

Region RegionOf(Material m)
{
    return {(m % 4) * 64, (m / 4) * 64, 64, 64};
}

struct Colour {
    double r, g, b;
};

Colour Mix(Colour a, Colour b, double t)
{
    return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t)};
}

Colour Scaled(Colour a, double s)
{
    return {a.r * s, a.g * s, a.b * s};
}

// Mottled green hide, the base of every skin-covered part.
Colour Hide(int px, int py, double tone)
{
    const Colour light = {0.42, 0.55, 0.25}, dark = {0.20, 0.30, 0.12};
    Colour c = Mix(dark, light, Fractal(px, py, 16, 11, 2) * 0.8 + 0.1);
    const double spots = Fractal(px, py, 8, 23, 2);
    if (spots > 0.62)
        c = Mix(c, Colour{0.16, 0.20, 0.10}, Clamp01((spots - 0.62) * 6.0));
    return Scaled(c, tone);
}

// u, v in [0, 1] across the cell; px, py the atlas pixel (for noise).
Colour Paint(Material m, double u, double v, int px, int py)
{
    switch (m) {
    case kSkin:
        return Hide(px, py, 1.0);
    case kNeck:
        return Hide(px, py, 0.9);
    case kBelly: {
        // Pale, folded belly: darker creases across it.
        const Colour pale = {0.72, 0.62, 0.38};
        Colour c = Scaled(pale, 0.85 + 0.2 * Fractal(px, py, 8, 31, 2));
        const double fold = Sin(v * kPi * 7.0);
        if (fold > 0.8)
            c = Scaled(c, 1.0 - (fold - 0.8) * 2.0);
        return c;
    }
    case kHead: {
        Colour c = Hide(px, py, 1.05);
        // A dark bristly crest along the top of the skull.
        if (v < 0.3 && (u > 0.35 && u < 0.65 ? true : v < 0.15)) {
            const double hair = Fractal(px * 4, py, 4, 41, 2);
            c = Mix(c, Colour{0.12, 0.08, 0.05}, 0.6 + 0.4 * hair);
        }
        // Wrinkles over the eyes at the front.
        if (u > 0.4 && u < 0.6 && v > 0.38 && v < 0.46 && (px % 3) == 0)
            c = Scaled(c, 0.7);
        return c;
    }
    case kEye: {
        // Yellow with a red rim and a black slit facing forward.
        Colour c = Mix(Colour{0.95, 0.80, 0.10}, Colour{0.80, 0.20, 0.05}, Clamp01((std::fabs(u - 0.5) - 0.2) * 4.0));
        if (std::fabs(u - 0.5) < 0.05 && v > 0.25 && v < 0.75)
            c = Colour{0.02, 0.02, 0.02};
        return c;
    }
    case kHorn: {
        // Ivory darkening toward the tip (v = 1), with growth rings.
        Colour c = Mix(Colour{0.90, 0.85, 0.70}, Colour{0.35, 0.28, 0.20}, v);
        if (Sin(v * kPi * 10.0) > 0.7)
            c = Scaled(c, 0.8);
        return Scaled(c, 0.9 + 0.1 * ValueNoise(px, py, 4, 53));
    }
    case kLeather: {
        Colour c = Scaled(Colour{0.42, 0.26, 0.14}, 0.75 + 0.35 * Fractal(px, py, 16, 61, 2));
        // Stitches along the edges.
        if ((v < 0.1 || v > 0.9) && (px % 6) < 3)
            c = Colour{0.80, 0.72, 0.55};
        return c;
    }
    case kWood: {
        const double grain = Sin(u * kPi * 12.0 + 3.0 * Fractal(px, py, 8, 71, 2));
        return Scaled(Colour{0.50, 0.33, 0.16}, 0.8 + 0.2 * grain);
    }
    case kClubHead: {
        Colour c = Scaled(Colour{0.36, 0.22, 0.10}, 0.8 + 0.3 * Fractal(px, py, 8, 83, 2));
        // Iron studs on a grid.
        const int sx = (px % 16) - 8, sy = (py % 16) - 8;
        const int r2 = sx * sx + sy * sy;
        if (r2 < 10)
            c = Mix(Colour{0.85, 0.85, 0.90}, Colour{0.35, 0.35, 0.40}, double(r2) / 10.0);
        return c;
    }
    case kForearm: {
        Colour c = Hide(px, py, 0.95);
        // Dark bands around the forearms and shins.
        const double band = Sin(v * kPi * 8.0 + 2.0 * ValueNoise(px, py, 8, 97));
        if (band > 0.55)
            c = Mix(c, Colour{0.10, 0.14, 0.06}, 0.7);
        return c;
    }
    case kHand: {
        Colour c = Hide(px, py, 0.75);
        // Pale claws at the front of the fist.
        if (v > 0.45 && v < 0.8 && std::fabs(u - 0.5) < 0.18 && (px % 6) < 3)
            c = Colour{0.88, 0.84, 0.72};
        return c;
    }
    case kTooth:
        return Scaled(Colour{0.95, 0.92, 0.78}, 0.9 + 0.1 * ValueNoise(px, py, 4, 101));
    case kJaw: {
        Colour c = Hide(px, py, 0.95);
        // A row of teeth and a dark mouth along the front of the jaw's top.
        if (std::fabs(u - 0.5) < 0.2 && v > 0.25 && v < 0.45) {
            const bool tooth = (px % 5) < 3 && v < 0.38;
            c = tooth ? Colour{0.95, 0.92, 0.80} : Colour{0.25, 0.05, 0.05};
        }
        return c;
    }
    case kFoot: {
        Colour c = Scaled(Colour{0.30, 0.28, 0.16}, 0.8 + 0.3 * Fractal(px, py, 8, 113, 2));
        // Claws at the front edge.
        if (u > 0.75 && (py % 10) < 5)
            c = Colour{0.88, 0.84, 0.72};
        return c;
    }
    case kMetal: {
        const double shine = 0.5 + 0.5 * Sin(u * kPi * 2.0);
        return Mix(Colour{0.30, 0.30, 0.34}, Colour{0.85, 0.86, 0.90}, shine * (1.0 - 0.5 * v));
    }
    case kBrow:
        return Hide(px, py, 0.7);
    default:
        return {1.0, 0.0, 1.0};
    }
}


// Rows bottom first, as the BMP writer expects; atlas row 0 is the top.
std::vector<unsigned char> PaintSkin()
{
    std::vector<unsigned char> rgb(std::size_t(kSkinSize) * kSkinSize * 3);
    for (int py = 0; py < kSkinSize; ++py)
        for (int px = 0; px < kSkinSize; ++px) {
            const Material m = static_cast<Material>((py / 64) * 4 + px / 64);
            const Region r = RegionOf(m);
            const Colour c = Paint(m, (px - r.x + 0.5) / r.w, (py - r.y + 0.5) / r.h, px, py);
            unsigned char* p = rgb.data() + (std::size_t(kSkinSize - 1 - py) * kSkinSize + px) * 3;
            p[0] = ToByte(c.r);
            p[1] = ToByte(c.g);
            p[2] = ToByte(c.b);
        }
    return rgb;
}

// ---- The skeleton ------------------------------------------------------------------

enum Bone {
    kRoot, kSpine, kHeadBone, kUpperArmL, kForearmL, kUpperArmR, kForearmR, kThighL, kShinL, kThighR, kShinR,
    kBoneCount
};

struct BoneDef {
    Bone parent;
    Vec3 joint; // in the parent's frame
};

// Index = Bone. The root sits at the pelvis; limbs hang straight down at rest.
const BoneDef kBones[kBoneCount] = {
    {kRoot, {0, 0, -8}},
    {kRoot, {0, 0, 1}},
    {kSpine, {2, 0, 15}},
    {kSpine, {0, 10.5, 13}},
    {kUpperArmL, {0, 0, -8}},
    {kSpine, {0, -10.5, 13}},
    {kUpperArmR, {0, 0, -8}},
    {kRoot, {0, 5.5, 0}},
    {kThighL, {0, 0, -8.5}},
    {kRoot, {0, -5.5, 0}},
    {kThighR, {0, 0, -8.5}},
};

// ---- The mesh ------------------------------------------------------------------------

enum Tag { kBody, kFootTag, kClubTag };

struct Vertex {
    Bone bone;
    Vec3 local;
    Vec3 breathCentre;
    double breath; // how much the breathing swells this vertex
    Tag tag;
};

struct Triangle {
    int vertex[3];
    int tex[3];
};

class Mesh {
public:
    std::vector<Vertex> vertices;
    std::vector<std::pair<int, int>> texCoords;
    std::vector<Triangle> triangles;

    // What the next parts hang on.
    Bone bone = kRoot;
    double breath = 0.0;
    Tag tag = kBody;

    // An ellipsoid with its poles on the orientation's z axis; u = 0.5 of the
    // material faces the orientation's +x.
    void Ellipsoid(Vec3 centre, Vec3 radii, int slices, int stacks, Material material,
                   const Mat3& orient = Identity())
    {
        const int first = static_cast<int>(vertices.size());
        auto ring = [&](int stack, int slice) {
            if (stack == 0)
                return first;
            if (stack == stacks)
                return first + 1 + (stacks - 1) * slices;
            return first + 1 + (stack - 1) * slices + slice % slices;
        };
        AddVertex(centre + orient * Vec3{0, 0, radii.z}, centre);
        for (int k = 1; k < stacks; ++k) {
            const double theta = kPi * k / stacks;
            for (int s = 0; s < slices; ++s) {
                const double phi = 2.0 * kPi * s / slices - kPi;
                const Vec3 p = {radii.x * Sin(theta) * Cos(phi), radii.y * Sin(theta) * Sin(phi),
                                radii.z * Cos(theta)};
                AddVertex(centre + orient * p, centre);
            }
        }
        AddVertex(centre + orient * Vec3{0, 0, -radii.z}, centre);

        for (int k = 0; k < stacks; ++k)
            for (int s = 0; s < slices; ++s) {
                const int a = ring(k, s), b = ring(k + 1, s), c = ring(k + 1, s + 1), d = ring(k, s + 1);
                const int ta = Tex(material, s, slices, k, stacks), tb = Tex(material, s, slices, k + 1, stacks);
                const int tc = Tex(material, s + 1, slices, k + 1, stacks), td = Tex(material, s + 1, slices, k, stacks);
                if (k == 0)
                    AddTriangle(a, b, c, ta, tb, tc);
                else if (k == stacks - 1)
                    AddTriangle(a, b, d, ta, tb, td);
                else {
                    AddTriangle(a, b, c, ta, tb, tc);
                    AddTriangle(a, c, d, ta, tc, td);
                }
            }
    }

    // A tube through the given points, narrowing to the radii given; a last
    // radius of 0 closes it in a point. An end with a radius is capped flat,
    // even where it is buried in whatever the tube grows from: a model whose
    // every edge is shared by two triangles can have its back faces skipped.
    void Tube(const std::vector<Vec3>& points, const std::vector<double>& radii, int sides, Material material)
    {
        const int n = static_cast<int>(points.size());
        std::vector<int> rings;
        for (int i = 0; i < n; ++i) {
            const Vec3 along = Normalized(i + 1 < n ? points[i + 1] - points[i] : points[i] - points[i - 1]);
            const Vec3 helper = std::fabs(along.z) < 0.9 ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
            const Vec3 u = Normalized(Cross(along, helper));
            const Vec3 w = Cross(along, u);
            rings.push_back(static_cast<int>(vertices.size()));
            if (radii[i] == 0.0) {
                AddVertex(points[i], points[i]);
                continue;
            }
            for (int s = 0; s < sides; ++s) {
                const double phi = 2.0 * kPi * s / sides;
                AddVertex(points[i] + (u * Cos(phi) + w * Sin(phi)) * radii[i], points[i]);
            }
        }
        for (int i = 0; i + 1 < n; ++i)
            for (int s = 0; s < sides; ++s) {
                const int a = rings[i] + s, d = rings[i] + (s + 1) % sides;
                const int ta = Tex(material, s, sides, i, n - 1), td = Tex(material, s + 1, sides, i, n - 1);
                const int tb = Tex(material, s, sides, i + 1, n - 1), tc = Tex(material, s + 1, sides, i + 1, n - 1);
                if (radii[i + 1] == 0.0) {
                    AddTriangle(a, d, rings[i + 1], ta, td, tb);
                    continue;
                }
                const int b = rings[i + 1] + s, c = rings[i + 1] + (s + 1) % sides;
                AddTriangle(a, d, c, ta, td, tc);
                AddTriangle(a, c, b, ta, tc, tb);
            }
        Cap(rings[0], sides, material, 0, n - 1, false);
        if (radii[n - 1] != 0.0)
            Cap(rings[n - 1], sides, material, n - 1, n - 1, true);
    }

    // A flat fan over a ring of `sides` vertices from `first`, facing back
    // along the tube (or forward, at its far end), textured like the ring.
    void Cap(int first, int sides, Material material, int j, int m, bool far)
    {
        for (int s = 1; s + 1 < sides; ++s) {
            const int t0 = Tex(material, 0, sides, j, m), t1 = Tex(material, s, sides, j, m);
            const int t2 = Tex(material, s + 1, sides, j, m);
            if (far)
                AddTriangle(first, first + s, first + s + 1, t0, t1, t2);
            else
                AddTriangle(first, first + s + 1, first + s, t0, t2, t1);
        }
    }

    void Box(Vec3 centre, Vec3 half, Material material, const Mat3& orient = Identity())
    {
        const int first = static_cast<int>(vertices.size());
        for (int i = 0; i < 8; ++i) {
            const Vec3 corner = {(i & 1) ? half.x : -half.x, (i & 2) ? half.y : -half.y, (i & 4) ? half.z : -half.z};
            AddVertex(centre + orient * corner, centre);
        }
        // Corners of each face, counter-clockwise seen from outside.
        static const int faces[6][4] = {{1, 3, 7, 5}, {0, 4, 6, 2}, {2, 6, 7, 3},
                                        {0, 1, 5, 4}, {4, 5, 7, 6}, {0, 2, 3, 1}};
        for (const auto& f : faces) {
            const int t0 = Tex(material, 0, 1, 1, 1), t1 = Tex(material, 1, 1, 1, 1);
            const int t2 = Tex(material, 1, 1, 0, 1), t3 = Tex(material, 0, 1, 0, 1);
            AddTriangle(first + f[0], first + f[1], first + f[2], t0, t1, t2);
            AddTriangle(first + f[0], first + f[2], first + f[3], t0, t2, t3);
        }
    }

private:
    std::map<std::pair<int, int>, int> texIndex_;

    void AddVertex(Vec3 p, Vec3 centre)
    {
        vertices.push_back({bone, p, centre, breath, tag});
    }

    void AddTriangle(int a, int b, int c, int ta, int tb, int tc)
    {
        triangles.push_back({{a, b, c}, {ta, tb, tc}});
    }

    // The skin pixel of grid point (i of n across, j of m down) inside the
    // material's cell, one pixel in from its edges.
    int Tex(Material material, int i, int n, int j, int m)
    {
        const Region r = RegionOf(material);
        const int u = r.x + 1 + (i * (r.w - 2) + n / 2) / n;
        const int v = r.y + 1 + (j * (r.h - 2) + m / 2) / m;
        auto found = texIndex_.emplace(std::make_pair(u, v), static_cast<int>(texCoords.size()));
        if (found.second)
            texCoords.emplace_back(u, v);
        return found.first->second;
    }
};

Mesh BuildCreature()
{
    Mesh mesh;

    mesh.bone = kRoot;
    mesh.Ellipsoid({0, 0, -1}, {6.5, 8.5, 4.5}, 8, 4, kLeather); // hips in leather breeches
    mesh.Box({5.8, 0, -6.5}, {0.6, 4.0, 4.0}, kLeather, Swing(8)); // loincloth flap

    mesh.bone = kSpine;
    mesh.breath = 1.0;
    mesh.Ellipsoid({0.5, 0, 9}, {7.5, 10.5, 8.5}, 10, 6, kSkin); // chest
    mesh.Ellipsoid({3.0, 0, 2.5}, {6.5, 8.5, 6.5}, 8, 5, kBelly); // belly
    mesh.breath = 0.3;
    mesh.Ellipsoid({1.0, 0, 14}, {4.5, 5.5, 3.5}, 6, 4, kNeck);      // neck and hump
    mesh.Ellipsoid({0, 9.5, 12.5}, {4.2, 4.2, 4.0}, 6, 4, kSkin);   // left shoulder
    mesh.Ellipsoid({0, -9.5, 12.5}, {4.2, 4.2, 4.0}, 6, 4, kSkin);  // right shoulder
    mesh.Ellipsoid({-0.5, -9.5, 15.2}, {3.0, 3.2, 1.3}, 6, 3, kMetal); // a pauldron on the club arm
    mesh.breath = 0.0;

    mesh.bone = kHeadBone;
    mesh.Ellipsoid({2.5, 0, 5}, {5.5, 5, 5.5}, 8, 6, kHead);
    mesh.Ellipsoid({6.6, 0, 6.6}, {1.8, 5.0, 1.4}, 8, 3, kBrow);
    mesh.Ellipsoid({5.0, 0, 1.6}, {4.2, 4.8, 2.8}, 8, 4, kJaw);
    mesh.Ellipsoid({7.6, 0, 4.2}, {1.6, 1.3, 1.4}, 6, 3, kBrow); // nose
    mesh.Ellipsoid({7.0, 2.2, 5.2}, {1.3, 1.3, 1.3}, 5, 3, kEye);
    mesh.Ellipsoid({7.0, -2.2, 5.2}, {1.3, 1.3, 1.3}, 5, 3, kEye);
    for (double side : {1.0, -1.0}) {
        mesh.Tube({{2.5, 4.0 * side, 8.0}, {2.2, 7.5 * side, 9.6}, {1.4, 9.2 * side, 11.4}, {0.6, 9.6 * side, 13.0}},
                  {1.5, 1.0, 0.55, 0.0}, 6, kHorn);
        mesh.Tube({{7.6, 2.9 * side, 2.4}, {8.3, 3.2 * side, 5.0}}, {0.7, 0.0}, 5, kTooth); // tusks
    }

    for (int side = 0; side < 2; ++side) {
        mesh.bone = side == 0 ? kUpperArmL : kUpperArmR;
        mesh.Ellipsoid({0, 0, -4}, {3.2, 3.2, 5.2}, 7, 4, kSkin);
        mesh.bone = side == 0 ? kForearmL : kForearmR;
        mesh.Ellipsoid({0.3, 0, -4}, {3.3, 3.3, 5.0}, 7, 4, kForearm);
        mesh.Ellipsoid({0.6, 0, -9.3}, {2.9, 2.7, 2.9}, 6, 4, kHand);
        mesh.bone = side == 0 ? kThighL : kThighR;
        mesh.Ellipsoid({0, 0, -4.2}, {4.0, 3.8, 5.6}, 7, 4, kSkin);
        mesh.bone = side == 0 ? kShinL : kShinR;
        mesh.Ellipsoid({0, 0, -3.2}, {3.3, 3.2, 4.6}, 7, 4, kForearm);
        mesh.tag = kFootTag;
        mesh.Box({1.6, 0.0, -7.0}, {3.8, 2.4, 1.5}, kFoot);
        mesh.tag = kBody;
    }

    // The club, held in the right fist and hanging forward and down.
    mesh.bone = kForearmR;
    mesh.tag = kClubTag;
    const Vec3 grip = {0.6, 0, -9.3};
    const Vec3 along = Normalized({0.75, 0, -0.66});
    const Vec3 end = grip + along * 16.0;
    mesh.Tube({grip - along * 3.0, end}, {0.8, 0.9}, 6, kWood);
    const Vec3 head = grip + along * 13.0;
    const Mat3 tilt = AlongAxis(along);
    mesh.Ellipsoid(head, {2.8, 2.8, 5.5}, 6, 4, kClubHead, tilt);
    for (int i = 0; i < 4; ++i) {
        const double a = kPi / 2 * i + kPi / 4;
        const Vec3 out = tilt * Vec3{2.6 * Cos(a), 2.6 * Sin(a), 0};
        mesh.Tube({head + out * 0.9, head + out * 1.55}, {0.7, 0.0}, 4, kMetal);
    }
    mesh.tag = kBody;
    return mesh;
}

// ---- Poses ---------------------------------------------------------------------------

struct Pose {
    double tilt = 0;   // the whole body leans back (death), degrees
    double lift = 0;   // height above the ground (jump)
    double lean = 8;   // the torso leans forward
    double twist = 0;  // the torso turns left
    double breath = 0; // chest swell, a fraction
    double nod = 0;    // the head tips forward
    double turn = 0;   // the head turns left
    double shoulder[2] = {5, 5}; // arms swing forward; [0] left, [1] right
    double spread[2] = {8, 8};   // arms turn out
    double elbow[2] = {15, 15};  // forearms bend forward
    double hip[2] = {4, 4};      // legs swing forward
    double knee[2] = {8, 8};     // shins bend back
    bool lying = false;          // rests on its whole body, not its feet
};

struct Placed {
    Mat3 rotation;
    Vec3 origin;
};

std::vector<Vec3> PoseMesh(const Mesh& mesh, const Pose& p)
{
    Mat3 local[kBoneCount];
    for (Mat3& m : local)
        m = Identity();
    local[kRoot] = Swing(p.tilt);
    local[kSpine] = Yaw(p.twist) * Swing(-p.lean);
    local[kHeadBone] = Yaw(p.turn) * Swing(-p.nod + p.lean * 0.6); // keeps looking ahead while hunched
    local[kUpperArmL] = Roll(p.spread[0]) * Swing(p.shoulder[0]);
    local[kUpperArmR] = Roll(-p.spread[1]) * Swing(p.shoulder[1]);
    local[kForearmL] = Swing(p.elbow[0]);
    local[kForearmR] = Swing(p.elbow[1]);
    local[kThighL] = Roll(3) * Swing(p.hip[0]);
    local[kThighR] = Roll(-3) * Swing(p.hip[1]);
    local[kShinL] = Swing(-p.knee[0]);
    local[kShinR] = Swing(-p.knee[1]);

    Placed placed[kBoneCount];
    for (int b = 0; b < kBoneCount; ++b) {
        if (b == kRoot) {
            placed[b] = {local[b], kBones[b].joint};
            continue;
        }
        const Placed& parent = placed[kBones[b].parent];
        placed[b] = {parent.rotation * local[b], parent.origin + parent.rotation * kBones[b].joint};
    }

    std::vector<Vec3> out;
    double ground = 1e9;
    for (const Vertex& v : mesh.vertices) {
        const Vec3 swollen = v.breathCentre + (v.local - v.breathCentre) * (1.0 + p.breath * v.breath);
        const Placed& b = placed[v.bone];
        const Vec3 w = b.origin + b.rotation * swollen;
        out.push_back(w);
        const bool support = p.lying || v.tag == kFootTag;
        if (support && w.z < ground)
            ground = w.z;
    }
    // Stand on the floor: the feet's lowest point (lying, the lowest of all) at z = -25.
    const double shift = -25.0 - ground + p.lift;
    for (Vec3& w : out)
        w.z += shift;
    return out;
}

struct Frame {
    std::string name;
    std::vector<Vec3> positions;
};

std::vector<Frame> Animate(const Mesh& mesh)
{
    std::vector<Frame> frames;
    auto add = [&](const std::string& name, const Pose& p) { frames.push_back({name, PoseMesh(mesh, p)}); };
    char name[16];

    // Idle: breathing, a nodding head, arms swaying out of step.
    for (int i = 0; i < 40; ++i) {
        const double a = 2.0 * kPi * i / 40.0;
        Pose p;
        p.breath = 0.06 * Sin(a);
        p.lean = 8 + 3 * Sin(a);
        p.nod = 5 * Sin(a + 0.6);
        p.turn = 6 * Sin(a + 1.0);
        p.shoulder[0] = 5 + 8 * Sin(a);
        p.shoulder[1] = 5 - 6 * Sin(a + 0.4);
        p.spread[0] = 9 + 4 * (1 + Sin(a));
        p.spread[1] = 9 + 4 * (1 + Sin(a));
        p.elbow[0] = 18 + 8 * Sin(a + 1.0);
        p.elbow[1] = 15 + 5 * Sin(a + 1.4);
        p.knee[0] = p.knee[1] = 9 + 3 * Sin(a);
        p.hip[0] = p.hip[1] = 4 + 1.5 * Sin(a);
        std::snprintf(name, sizeof name, "stand%02d", i + 1);
        add(name, p);
    }
    // Run: legs and arms in opposition, leaning into it, bobbing.
    for (int i = 0; i < 6; ++i) {
        const double a = 2.0 * kPi * i / 6.0;
        Pose p;
        p.lean = 22;
        p.nod = -8;
        p.twist = 8 * Sin(a);
        p.hip[0] = 6 + 34 * Sin(a);
        p.hip[1] = 6 - 34 * Sin(a);
        p.knee[0] = 20 + 35 * (0.5 + 0.5 * Cos(a));
        p.knee[1] = 20 + 35 * (0.5 - 0.5 * Cos(a));
        p.shoulder[0] = 5 - 35 * Sin(a);
        p.shoulder[1] = 10 + 20 * Sin(a);
        p.elbow[0] = 45;
        p.elbow[1] = 30;
        p.lift = 0.8 * (0.5 - 0.5 * Cos(2 * a)); // off the ground between strides
        std::snprintf(name, sizeof name, "run%d", i + 1);
        add(name, p);
    }
    // Attack: the club goes back over the head and comes down in front.
    {
        static const double shoulderR[8] = {10, -50, -130, -165, -120, 10, 55, 35};
        static const double elbowR[8] = {20, 60, 95, 70, 25, 10, 15, 18};
        static const double shoulderL[8] = {5, 20, 30, 30, 10, -25, -20, 0};
        static const double lean[8] = {10, 2, -8, -10, 5, 28, 32, 18};
        static const double twist[8] = {0, -12, -22, -22, -5, 18, 15, 6};
        for (int i = 0; i < 8; ++i) {
            Pose p;
            p.shoulder[1] = shoulderR[i];
            p.elbow[1] = elbowR[i];
            p.spread[1] = 14;
            p.shoulder[0] = shoulderL[i];
            p.spread[0] = 18;
            p.lean = lean[i];
            p.twist = twist[i];
            p.nod = -lean[i] * 0.3;
            p.hip[0] = 18;
            p.hip[1] = -10;
            p.knee[0] = p.knee[1] = 14;
            std::snprintf(name, sizeof name, "attack%d", i + 1);
            add(name, p);
        }
    }
    // Pain: a flinch backwards, arms thrown out, head back.
    {
        static const double hurt[4] = {0.6, 1.0, 0.7, 0.3};
        for (int i = 0; i < 4; ++i) {
            const double h = hurt[i];
            Pose p;
            p.lean = 8 - 22 * h;
            p.nod = -25 * h;
            p.turn = 10 * h;
            p.spread[0] = p.spread[1] = 8 + 30 * h;
            p.shoulder[0] = p.shoulder[1] = 5 - 25 * h;
            p.elbow[0] = p.elbow[1] = 15 + 30 * h;
            p.knee[0] = p.knee[1] = 8 + 14 * h;
            p.hip[0] = p.hip[1] = 4 + 10 * h;
            std::snprintf(name, sizeof name, "pain%d", i + 1);
            add(name, p);
        }
    }
    // Jump: crouch, spring, tuck in the air, land.
    {
        static const double knee[6] = {55, 10, 60, 50, 20, 45};
        static const double hip[6] = {45, 5, 55, 45, 15, 35};
        static const double lean[6] = {28, 5, 15, 12, 5, 22};
        static const double arms[6] = {-40, 60, 80, 70, 30, -20};
        static const double lift[6] = {0, 3, 8, 9, 4, 0};
        for (int i = 0; i < 6; ++i) {
            Pose p;
            p.knee[0] = p.knee[1] = knee[i];
            p.hip[0] = p.hip[1] = hip[i];
            p.lean = lean[i];
            p.shoulder[0] = p.shoulder[1] = arms[i];
            p.elbow[0] = p.elbow[1] = 30;
            p.lift = lift[i];
            std::snprintf(name, sizeof name, "jump%d", i + 1);
            add(name, p);
        }
    }
    // Death: topples backwards and lies on its back.
    {
        static const double tilt[6] = {12, 32, 55, 75, 88, 90};
        static const double knee[6] = {25, 45, 35, 15, 5, 5};
        static const double arms[6] = {-30, -70, -110, -140, -150, -150};
        for (int i = 0; i < 6; ++i) {
            Pose p;
            p.tilt = tilt[i];
            p.lean = 8 - 10 * i / 5.0;
            p.nod = -10 - 4 * i;
            p.knee[0] = p.knee[1] = knee[i];
            p.hip[0] = p.hip[1] = knee[i] * 0.8;
            p.shoulder[0] = arms[i];
            p.spread[0] = 20 + 6 * i;
            // The club arm stays down by the side, so the club points up
            // from the floor rather than into it.
            p.shoulder[1] = -6.0 * i;
            p.spread[1] = 25 + 5 * i;
            p.elbow[1] = 30 + 6 * i;
            p.lying = true;
            std::snprintf(name, sizeof name, "death%d", i + 1);
            add(name, p);
        }
    }
    return frames;
}

// ---- The MD2 file ----------------------------------------------------------------------

void PutI32(std::string& out, std::int32_t v)
{
    const std::uint32_t u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((u >> (8 * i)) & 0xff));
}

void PutI16(std::string& out, int v)
{
    const std::uint16_t u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
    out.push_back(static_cast<char>(u & 0xff));
    out.push_back(static_cast<char>(u >> 8));
}

void PutF32(std::string& out, float f)
{
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    PutI32(out, static_cast<std::int32_t>(bits));
}

// Version 8: header, one skin name, texture coordinates, triangles, frames.
// Each frame is quantised to bytes over its own bounding box. No GL command
// list is written; the game does not read one.
std::string WriteMD2(const Mesh& mesh, const std::vector<Frame>& frames)
{
    const int numVertices = static_cast<int>(mesh.vertices.size());
    const int numTex = static_cast<int>(mesh.texCoords.size());
    const int numTris = static_cast<int>(mesh.triangles.size());
    const int numFrames = static_cast<int>(frames.size());
    const int frameSize = 40 + 4 * numVertices;
    const int offsetSkins = 68;
    const int offsetTex = offsetSkins + 64;
    const int offsetTris = offsetTex + 4 * numTex;
    const int offsetFrames = offsetTris + 12 * numTris;
    const int offsetEnd = offsetFrames + frameSize * numFrames;

    std::string out;
    for (std::int32_t v : {0x32504449, 8, kSkinSize, kSkinSize, frameSize, 1, numVertices, numTex, numTris, 0,
                           numFrames, offsetSkins, offsetTex, offsetTris, offsetFrames, offsetEnd, offsetEnd})
        PutI32(out, v);
    std::string skin = "Models/Ogro/Skin.bmp";
    skin.resize(64, '\0');
    out += skin;
    for (const auto& t : mesh.texCoords) {
        PutI16(out, t.first);
        PutI16(out, t.second);
    }
    for (const Triangle& t : mesh.triangles) {
        for (int v : t.vertex)
            PutI16(out, v);
        for (int v : t.tex)
            PutI16(out, v);
    }
    for (const Frame& f : frames) {
        double lo[3] = {1e9, 1e9, 1e9}, hi[3] = {-1e9, -1e9, -1e9};
        for (const Vec3& p : f.positions) {
            const double c[3] = {p.x, p.y, p.z};
            for (int a = 0; a < 3; ++a) {
                lo[a] = c[a] < lo[a] ? c[a] : lo[a];
                hi[a] = c[a] > hi[a] ? c[a] : hi[a];
            }
        }
        float scale[3], translate[3];
        for (int a = 0; a < 3; ++a) {
            // Steps of 1/64: exact in a float, so reading back gives the same numbers.
            translate[a] = static_cast<float>(std::floor(lo[a] * 64.0) / 64.0);
            scale[a] = static_cast<float>(std::ceil((hi[a] - translate[a]) / 255.0 * 4096.0) / 4096.0);
            if (scale[a] <= 0.0f)
                scale[a] = 1.0f / 4096.0f;
        }
        for (float s : scale)
            PutF32(out, s);
        for (float t : translate)
            PutF32(out, t);
        char name[16] = {};
        std::memcpy(name, f.name.data(), f.name.size() < 15 ? f.name.size() : 15);
        out.append(name, sizeof name);
        for (const Vec3& p : f.positions) {
            const double c[3] = {p.x, p.y, p.z};
            for (int a = 0; a < 3; ++a) {
                double q = std::floor((c[a] - translate[a]) / scale[a] + 0.5);
                q = q < 0 ? 0 : q > 255 ? 255 : q;
                out.push_back(static_cast<char>(static_cast<unsigned char>(q)));
            }
            out.push_back(0); // normal index: not used by the game
        }
    }
    return out;
}

} // namespace

bool GenerateCreature(const std::string& outdir)
{
    const Mesh mesh = BuildCreature();
    if (mesh.vertices.size() > 2048 || mesh.triangles.size() > 4096)
        return false;
    const std::string md2 = WriteMD2(mesh, Animate(mesh));

    const std::string dir = JoinPath(outdir, "Models/Ogro");
    if (!MakeDirectories(dir))
        return false;
    FILE* f = std::fopen(JoinPath(dir, "tris.md2").c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(md2.data(), 1, md2.size(), f) == md2.size();
    if (std::fclose(f) != 0 || !written)
        return false;

    const std::vector<unsigned char> skin = PaintSkin();
    return WriteImage(JoinPath(dir, "Skin.bmp"), kSkinSize, kSkinSize, skin.data());
}

} // namespace AssetGen
