#pragma once

// The six planes of a view volume, taken from the projection and modelview
// matrices (column-major, as GL keeps them), and a test that tells when a
// sphere lies wholly outside. The test errs on the side of "maybe inside":
// it is used to skip drawing, and skipping must never lose a pixel.

#include "toolkit/Math.h"

namespace TovarToolkit {

class TovarFrustum {
public:
    TovarFrustum();

    void FromMatrices(const float projection[16], const float modelview[16]);
    // From the current GL matrices; needs a current context.
    void FromGL();
    // True only when no point of the sphere can be inside the volume.
    bool SphereOutside(TovarVector3f center, float radius) const;
    // True only when every point of the sphere lies beyond the near plane,
    // on the side the view looks into.
    bool SphereBeyondNear(TovarVector3f center, float radius) const;

private:
    float m_planes[6][4]; // a x + b y + c z + d >= 0 inside, (a, b, c) of unit length
};

} // namespace TovarToolkit
