#pragma once

#include "toolkit/Math.h"

namespace TovarToolkit {

// Collision volume of an entity, and of the player.
class TovarBoundingSphere {
public:
    TovarVector3f Center;
    float Radius = 0.0f; // owners set the real radius before the first test

    // A point on the surface counts as inside.
    bool IsPointInSphere(const TovarVector3f* point) const;
    bool DoSpheresIntersect(const TovarBoundingSphere* other) const;
    // Gap between the two surfaces; negative when the spheres overlap.
    float SphereIntersectDist(const TovarBoundingSphere* other) const;
};

} // namespace TovarToolkit
