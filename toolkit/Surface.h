#pragma once

// The shape of a triangle mesh, from plain indices and positions: whether its
// surface shuts on itself and which way its faces are wound seen from
// outside, and the radius about the origin that holds it. Knows no model
// type, so any mesh can be asked, frame by frame.

#include "toolkit/Math.h"

#include <vector>

namespace TovarToolkit {

struct TovarSurfaceShape {
    // Every shell (faces joined through shared edges; faces that only touch
    // at a vertex are apart) shuts on itself: each directed edge is met by
    // exactly one twin running the other way, and no face repeats a vertex
    // or is listed twice. And every shell encloses a volume of the same sign
    // in every frame, which tells the winding seen from outside.
    bool closed = false;
    bool clockwise = false; // seen from outside; false unless closed
};

// `indices`: three per triangle, each an index into every frame's
// `vertices` positions. An index outside them makes the mesh not closed.
TovarSurfaceShape ExamineSurface(const std::vector<int>& indices, int vertices,
                                 const std::vector<const TovarVector3f*>& frames);

// The radius about the origin that holds every position of every frame.
float SurfaceRadius(int vertices, const std::vector<const TovarVector3f*>& frames);

} // namespace TovarToolkit
