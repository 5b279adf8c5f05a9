#include "toolkit/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace TovarToolkit {

namespace {

int FindShell(std::vector<int>& parent, int f)
{
    while (parent[static_cast<size_t>(f)] != f) {
        int& up = parent[static_cast<size_t>(f)];
        up = parent[static_cast<size_t>(up)];
        f = up;
    }
    return f;
}

std::uint64_t EdgeKey(int from, int to) { return std::uint64_t(std::uint32_t(from)) << 32 | std::uint32_t(to); }

// Six times the signed volume each shell encloses in one frame, against the
// size of its terms, so that a flat shell (both sides of one sheet) counts
// as none. 1 or -1 when every shell agrees on the sign, 0 otherwise.
int VolumeSign(const std::vector<int>& indices, const std::vector<int>& shellOf, const TovarVector3f* p)
{
    const size_t faces = indices.size() / 3;
    std::vector<double> volume(faces, 0.0), scale(faces, 0.0);
    for (size_t f = 0; f < faces; ++f) {
        const TovarVector3f& a = p[indices[3 * f]];
        const TovarVector3f& b = p[indices[3 * f + 1]];
        const TovarVector3f& c = p[indices[3 * f + 2]];
        // In double: the float determinant loses the sign of thin shells.
        const double term = double(a.x) * (double(b.y) * c.z - double(b.z) * c.y) -
                            double(a.y) * (double(b.x) * c.z - double(b.z) * c.x) +
                            double(a.z) * (double(b.x) * c.y - double(b.y) * c.x);
        volume[static_cast<size_t>(shellOf[f])] += term;
        scale[static_cast<size_t>(shellOf[f])] += std::fabs(term);
    }
    int sign = 0;
    for (size_t s = 0; s < faces; ++s) {
        if (static_cast<size_t>(shellOf[s]) != s)
            continue; // not a shell's root
        if (!(std::fabs(volume[s]) > 1e-9 * scale[s]))
            return 0;
        const int here = volume[s] > 0.0 ? 1 : -1;
        if (sign != 0 && here != sign)
            return 0;
        sign = here;
    }
    return sign;
}

} // namespace

TovarSurfaceShape ExamineSurface(const std::vector<int>& indices, int vertices,
                                 const std::vector<const TovarVector3f*>& frames)
{
    TovarSurfaceShape shape;
    const size_t faces = indices.size() / 3;
    if (faces == 0 || indices.size() % 3 != 0 || frames.empty())
        return shape;
    for (size_t f = 0; f < faces; ++f) {
        const int* v = &indices[3 * f];
        for (int c = 0; c < 3; ++c)
            if (v[c] < 0 || v[c] >= vertices)
                return shape;
        if (v[0] == v[1] || v[1] == v[2] || v[2] == v[0])
            return shape;
    }

    // Each directed edge once: twice would be a face listed twice, or two
    // faces wound against each other. And each one's twin present, whose
    // face joins its shell.
    std::vector<std::pair<std::uint64_t, int>> edges;
    edges.reserve(faces * 3);
    for (size_t f = 0; f < faces; ++f)
        for (int c = 0; c < 3; ++c)
            edges.emplace_back(EdgeKey(indices[3 * f + c], indices[3 * f + (c + 1) % 3]), static_cast<int>(f));
    std::sort(edges.begin(), edges.end());
    for (size_t e = 1; e < edges.size(); ++e)
        if (edges[e].first == edges[e - 1].first)
            return shape;
    std::vector<int> parent(faces);
    for (size_t f = 0; f < faces; ++f)
        parent[f] = static_cast<int>(f);
    for (const auto& edge : edges) {
        const std::uint64_t twin = edge.first << 32 | edge.first >> 32;
        auto found = std::lower_bound(edges.begin(), edges.end(), std::make_pair(twin, 0));
        if (found == edges.end() || found->first != twin)
            return shape;
        parent[static_cast<size_t>(FindShell(parent, edge.second))] = FindShell(parent, found->second);
    }
    std::vector<int> shellOf(faces);
    for (size_t f = 0; f < faces; ++f)
        shellOf[f] = FindShell(parent, static_cast<int>(f));

    // A shell that turns inside out in any frame shows its inside there.
    int sign = 0;
    for (const TovarVector3f* frame : frames) {
        if (!frame)
            return shape;
        const int here = VolumeSign(indices, shellOf, frame);
        if (here == 0 || (sign != 0 && here != sign))
            return shape;
        sign = here;
    }
    shape.closed = true;
    shape.clockwise = sign < 0;
    return shape;
}

float SurfaceRadius(int vertices, const std::vector<const TovarVector3f*>& frames)
{
    float largest = 0.0f;
    for (const TovarVector3f* frame : frames) {
        if (!frame)
            continue;
        for (int k = 0; k < vertices; ++k) {
            const TovarVector3f& v = frame[k];
            largest = std::max(largest, v.x * v.x + v.y * v.y + v.z * v.z);
        }
    }
    return std::sqrt(largest);
}

} // namespace TovarToolkit
