#include "toolkit/BSphere.h"
#include "toolkit/Math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace TovarToolkit;

TEST(Vector3f, IsEqualUsesAStrictAbsoluteTolerance)
{
    TovarVector3f a(1, 2, 3);
    EXPECT_TRUE(a.IsEqual(TovarVector3f(1.0009f, 2.0009f, 3.0009f)));
    EXPECT_FALSE(a.IsEqual(TovarVector3f(1, 2, 3.0011f)));
    EXPECT_FALSE(TovarVector3f(0, 0, 0).IsEqual(TovarVector3f(0.001f, 0, 0)));
    // Absolute, not relative: large values compare with the same 0.001.
    EXPECT_TRUE(TovarVector3f(1000, 0, 0).IsEqual(TovarVector3f(1000.0005f, 0, 0)));
}

TEST(Vector3f, LengthsDistancesAndArithmetic)
{
    TovarVector3f v(3, 4, 12);
    EXPECT_FLOAT_EQ(v.GetLength(), 13.0f);
    EXPECT_FLOAT_EQ(v.GetLengthSquare(), 169.0f);
    TovarVector3f p(1, 2, 3), q(4, 6, 3);
    EXPECT_FLOAT_EQ(p.GetDist(q), 5.0f);
    EXPECT_EQ(p.GetDist(q), q.GetDist(p));
    EXPECT_FLOAT_EQ(v.DotProduct(p, q), 4 + 12 + 9);

    TovarVector3f d = TovarVector3f(1, 2, 3) / 3.0f;
    EXPECT_EQ(d.x, 1.0f / 3.0f); // a true division, not a multiplication by 1/3
    EXPECT_EQ(d.y, 2.0f / 3.0f);
    TovarVector3f c = TovarVector3f(1, 0, 0) ^ TovarVector3f(0, 1, 0);
    EXPECT_TRUE(c.IsEqual(TovarVector3f(0, 0, 1)));

    v.Normalize();
    EXPECT_NEAR(v.GetLength(), 1.0f, 1e-6f);
    float inv = 1.0f / 13.0f;
    EXPECT_EQ(v.x, 3.0f * inv); // multiplies by the reciprocal
}

TEST(Vector2f, DistanceIgnoresTheVectorItIsCalledOn)
{
    TovarVector2f a(0, 0), b(3, 4);
    EXPECT_FLOAT_EQ(TovarVector2f(100, 100).GetDist(a, b), 5.0f);
    EXPECT_EQ(TovarVector2f(-7, 2).GetDist(a, b), a.GetDist(a, b));
    EXPECT_TRUE(TovarVector2f(1, 1).IsEqual(TovarVector2f(1.0009f, 0.9991f)));
    EXPECT_FALSE(TovarVector2f(1, 1).IsEqual(TovarVector2f(1.001f, 1)));
}

TEST(Vector4f, ComparisonIsExactAndNaNIsNeverEqual)
{
    float nan = std::numeric_limits<float>::quiet_NaN();
    TovarVector4f a(1, 2, 3, 4), b(1, 2, 3, 99);
    EXPECT_TRUE(a == b); // w is not compared
    EXPECT_FALSE(a != b);
    TovarVector4f n(nan, 2, 3, 4);
    EXPECT_FALSE(n == n);
    EXPECT_TRUE(n != n);
    EXPECT_FALSE(a == TovarVector4f(1, 2, 3.0000005f, 4));
}

TEST(Vector4f, NormalOfAZeroVectorLeavesItAlone)
{
    TovarVector4f z(0, 0, 0, 5);
    z.Normal();
    EXPECT_EQ(z.x, 0.0f);
    EXPECT_EQ(z.w, 5.0f);

    TovarVector4f v(0, 3, 4, 10);
    v.Normal();
    EXPECT_FLOAT_EQ(v.y, 0.6f);
    EXPECT_FLOAT_EQ(v.w, 2.0f); // w is scaled with the rest
}

TEST(Vector4f, InPlaceOperationsKeepW)
{
    TovarVector4f v(1, 2, 3, 7);
    v += TovarVector4f(1, 1, 1, 100);
    v *= 2.0f;
    v -= TovarVector4f(1, 1, 1, 100);
    EXPECT_EQ(v.x, 3.0f);
    EXPECT_EQ(v.w, 7.0f);
    v /= 4.0f;
    EXPECT_EQ(v.x, 3.0f * (1.0f / 4.0f));
    EXPECT_EQ(v.w, 7.0f);
    TovarVector4f q = TovarVector4f(1, 1, 1, 1) / 3.0f; // multiplies by 1/3
    EXPECT_EQ(q.x, 1.0f * (1.0f / 3.0f));
}

TEST(Vector4f, RotationsAreRightHandedAndRoundLikeFloats)
{
    const double quarter = std::acos(-1.0) / 2;
    TovarVector4f y(0, 1, 0);
    TovarVector4f rx = y.GetRotatedX(quarter); // +Y turns towards +Z
    EXPECT_NEAR(rx.y, 0.0f, 1e-6f);
    EXPECT_NEAR(rx.z, 1.0f, 1e-6f);
    TovarVector4f rz = TovarVector4f(1, 0, 0).GetRotatedZ(quarter); // +X towards +Y
    EXPECT_NEAR(rz.y, 1.0f, 1e-6f);
    TovarVector4f ry = TovarVector4f(0, 0, 1).GetRotatedY(quarter); // +Z towards +X
    EXPECT_NEAR(ry.x, 1.0f, 1e-6f);

    // Sine and cosine are taken in double, rounded to float, multiplied in float.
    TovarVector4f v(0.3f, 0.7f, 1.9f);
    double a = 0.123456789;
    float s = (float)std::sin(a), c = (float)std::cos(a);
    TovarVector4f r = v.GetRotatedX(a);
    EXPECT_EQ(r.y, 0.7f * c - 1.9f * s);
    EXPECT_EQ(r.z, 0.7f * s + 1.9f * c);
}

TEST(Vector4f, CrossProductsAndTriangleNormal)
{
    TovarVector4f c(0, 0, 0, 9);
    c.CrossProduct(TovarVector4f(1, 0, 0), TovarVector4f(0, 1, 0));
    EXPECT_EQ(c.z, 1.0f);
    EXPECT_EQ(c.w, 9.0f);

    TovarVector4f A(1, 0, 0, 0), B(0, 1, 0, 0), C(0, 0, 1, 0), r;
    r.CrossProduct3(A, B, C);
    // Orthogonal to all three in four dimensions.
    EXPECT_EQ(r.DotProduct4(A), 0.0f);
    EXPECT_EQ(r.DotProduct4(B), 0.0f);
    EXPECT_EQ(r.DotProduct4(C), 0.0f);
    EXPECT_NE(r.w, 0.0f);
    TovarVector4f A2(1, 2, 3, 4), B2(-2, 0, 1, 5), C2(3, 1, -1, 2), r2;
    r2.CrossProduct3(A2, B2, C2);
    EXPECT_FLOAT_EQ(r2.DotProduct4(A2), 0.0f);
    EXPECT_FLOAT_EQ(r2.DotProduct4(B2), 0.0f);
    EXPECT_FLOAT_EQ(r2.DotProduct4(C2), 0.0f);

    TovarVector4f tri[3] = {TovarVector4f(0, 0, 0, 2), TovarVector4f(1, 0, 0, 2), TovarVector4f(1, 1, 0, 2)};
    TovarVector4f n(0, 0, 0, 4);
    n.Normalize(tri);
    EXPECT_FLOAT_EQ(n.GetLength(), 1.0f);
    EXPECT_FLOAT_EQ(std::fabs(n.z), 1.0f);

    TovarVector4f e;
    e.ExtendVertexPos(TovarVector4f(2, 2, 2, 0), TovarVector4f(1, 1, 1, 0.5f), 3.0f);
    EXPECT_TRUE(e == TovarVector4f(4, 4, 4));
    EXPECT_EQ(e.w, 0.5f);
}

TEST(BoundingSphere, SurfacePointsAreInside)
{
    TovarBoundingSphere s;
    s.Center = TovarVector3f(10, 0, 20);
    s.Radius = 7.0f;
    TovarVector3f on(17, 0, 20), off(17.001f, 0, 20), in(12, 3, 22);
    EXPECT_TRUE(s.IsPointInSphere(&on));
    EXPECT_FALSE(s.IsPointInSphere(&off));
    EXPECT_TRUE(s.IsPointInSphere(&in));

    TovarBoundingSphere point;
    point.Radius = 0.0f;
    TovarVector3f origin;
    EXPECT_TRUE(point.IsPointInSphere(&origin));

    TovarBoundingSphere other;
    other.Center = TovarVector3f(10, 0, 33);
    other.Radius = 6.0f;
    EXPECT_TRUE(s.DoSpheresIntersect(&other)); // touching
    other.Center.z = 33.5f;
    EXPECT_FALSE(s.DoSpheresIntersect(&other));
    EXPECT_FLOAT_EQ(s.SphereIntersectDist(&other), 0.5f);
}
