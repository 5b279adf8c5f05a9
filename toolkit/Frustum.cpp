#include "toolkit/Frustum.h"

#include "toolkit/platform/GL.h"

#include <cmath>

namespace TovarToolkit {

TovarFrustum::TovarFrustum()
{
    // Until it is set, nothing is outside.
    for (auto& plane : m_planes) {
        plane[0] = plane[1] = plane[2] = 0.0f;
        plane[3] = 1.0f;
    }
}

void TovarFrustum::FromMatrices(const float projection[16], const float modelview[16])
{
    // clip = projection * modelview; the planes are sums and differences of
    // its rows (w ± x, w ± y, w ± z). Worked in double to keep them tight.
    double clip[16];
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += static_cast<double>(projection[k * 4 + row]) * modelview[col * 4 + k];
            clip[col * 4 + row] = sum;
        }
    auto at = [&](int row, int col) { return clip[col * 4 + row]; };
    for (int p = 0; p < 6; ++p) {
        int axis = p / 2;
        double sign = (p % 2 == 0) ? 1.0 : -1.0;
        double plane[4];
        for (int col = 0; col < 4; ++col)
            plane[col] = at(3, col) + sign * at(axis, col);
        double length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        if (!(length > 0.0) || !std::isfinite(length)) {
            // A degenerate plane cannot rule anything out.
            m_planes[p][0] = m_planes[p][1] = m_planes[p][2] = 0.0f;
            m_planes[p][3] = 1.0f;
            continue;
        }
        for (int col = 0; col < 4; ++col)
            m_planes[p][col] = static_cast<float>(plane[col] / length);
    }
}

void TovarFrustum::FromGL()
{
    float projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    FromMatrices(projection, modelview);
}

namespace {

double Distance(const float plane[4], TovarVector3f p)
{
    return static_cast<double>(plane[0]) * p.x + static_cast<double>(plane[1]) * p.y +
           static_cast<double>(plane[2]) * p.z + plane[3];
}

// Covers the rounding of the planes and of the drawn vertices.
double Margin(float radius) { return 1e-3 * (1.0 + std::fabs(static_cast<double>(radius))); }

} // namespace

bool TovarFrustum::SphereOutside(TovarVector3f center, float radius) const
{
    for (const auto& plane : m_planes)
        if (Distance(plane, center) < -(static_cast<double>(radius) + Margin(radius)))
            return true;
    return false;
}

bool TovarFrustum::SphereBeyondNear(TovarVector3f center, float radius) const
{
    const float* plane = m_planes[4]; // the near plane: w + z >= 0
    if (plane[0] == 0.0f && plane[1] == 0.0f && plane[2] == 0.0f)
        return false; // unset or degenerate: it cannot vouch for anything
    return Distance(plane, center) > static_cast<double>(radius) + Margin(radius); // false for NaN too
}

} // namespace TovarToolkit
