#include "toolkit/BSphere.h"

namespace TovarToolkit {

bool TovarBoundingSphere::IsPointInSphere(const TovarVector3f* point) const
{
    TovarVector3f d = Center - *point;
    return !(d.GetLengthSquare() > Radius * Radius);
}

bool TovarBoundingSphere::DoSpheresIntersect(const TovarBoundingSphere* other) const
{
    return SphereIntersectDist(other) <= 0.0f;
}

float TovarBoundingSphere::SphereIntersectDist(const TovarBoundingSphere* other) const
{
    return Center.GetDist(other->Center) - (Radius + other->Radius);
}

} // namespace TovarToolkit
