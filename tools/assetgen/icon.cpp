// The game's icon: a round badge with the arena's sky and floor, a horned
// creature's head and the crosshair over it, at 128 pixels for desktop menus
// and at 192 and 512 for the browser's home screens. Written as a PNG
// compressed by a small deflate of our own (runs and repeated rows, the fixed
// codes), so no compression library is needed and the bytes never depend on
// one.

#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/noise.h"

#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace AssetGen {

namespace {

struct Rgba {
    double r, g, b, a;
};

// Alpha-blends c over base (straight alpha in, straight alpha out).
Rgba Over(const Rgba& base, const Rgba& c)
{
    const double a = c.a + base.a * (1.0 - c.a);
    if (a <= 0.0)
        return {0.0, 0.0, 0.0, 0.0};
    const auto mix = [&](double top, double under) { return (top * c.a + under * base.a * (1.0 - c.a)) / a; };
    return {mix(c.r, base.r), mix(c.g, base.g), mix(c.b, base.b), a};
}

// The icon at one point, in units where the badge spans [-1, 1] on each axis,
// y growing downward.
Rgba Sample(double x, double y)
{
    const double r2 = x * x + y * y;
    if (r2 > 0.97 * 0.97)
        return {0.0, 0.0, 0.0, 0.0};
    Rgba c;
    if (r2 > 0.88 * 0.88) {
        c = {0.12, 0.13, 0.16, 1.0}; // the badge's rim
    } else if (y < 0.18) {
        const double t = (y + 0.88) / 1.06; // pale at the horizon, deeper above
        c = {0.45 + 0.25 * t, 0.62 + 0.20 * t, 0.86 + 0.08 * t, 1.0};
    } else {
        // Flagstones: a grey-green floor with darker joints.
        const double u = x * 6.0 + 10.0, v = (y - 0.18) * 9.0;
        const bool joint = (u - std::floor(u)) < 0.12 || (v - std::floor(v)) < 0.16;
        c = joint ? Rgba{0.24, 0.30, 0.16, 1.0} : Rgba{0.52, 0.52, 0.46, 1.0};
    }

    // The creature's head with two horns curving up and out.
    const double hx = x / 0.36, hy = (y - 0.22) / 0.44;
    const bool head = hx * hx + hy * hy <= 1.0;
    bool horn = false;
    for (double side : {-1.0, 1.0}) {
        // A horn is the band between two circles, cut off above the head.
        const double cx = side * 0.62, cy = -0.02;
        const double dx = x - cx, dy = y - cy;
        const double d2 = dx * dx + dy * dy;
        horn = horn || (d2 <= 0.42 * 0.42 && d2 >= 0.30 * 0.30 && y < 0.12 && side * x < side * cx + 0.02 &&
                        y > -0.62 + 0.9 * std::fabs(x - cx));
    }
    if (horn)
        c = Over(c, {0.86, 0.80, 0.64, 1.0});
    if (head)
        c = Over(c, {0.47 + 0.15 * hy, 0.24, 0.14, 1.0});
    for (double side : {-1.0, 1.0}) {
        const double ex = x - side * 0.15, ey = y - 0.12;
        if (ex * ex / (0.075 * 0.075) + ey * ey / (0.05 * 0.05) <= 1.0)
            c = Over(c, {1.0, 0.86, 0.22, 1.0});
    }

    // The crosshair: a ring and four ticks with a gap in the middle.
    const double ax = std::fabs(x), ay = std::fabs(y);
    const bool ring = r2 >= 0.58 * 0.58 && r2 <= 0.65 * 0.65;
    const bool ticks = (ay <= 0.025 && ax >= 0.20 && ax <= 0.80) || (ax <= 0.025 && ay >= 0.20 && ay <= 0.80);
    if (ring || ticks)
        c = Over(c, {1.0, 1.0, 1.0, 0.9});
    return c;
}

// ---- PNG ------------------------------------------------------------------------

void PutBE32(std::vector<unsigned char>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

std::uint32_t Crc32(const unsigned char* p, std::size_t n)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

void PutChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data)
{
    PutBE32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBE32(out, Crc32(out.data() + start, out.size() - start));
}

// Bits packed as deflate packs them, least significant first.
class BitWriter {
public:
    void Put(std::uint32_t value, int bits)
    {
        for (int i = 0; i < bits; ++i) {
            if (used_ == 0)
                out.push_back(0);
            out.back() = static_cast<unsigned char>(out.back() | ((value >> i) & 1u) << used_);
            used_ = (used_ + 1) & 7;
        }
    }
    // Huffman codes go most significant bit first.
    void PutCode(std::uint32_t code, int bits)
    {
        for (int i = bits - 1; i >= 0; --i)
            Put(code >> i, 1);
    }
    std::vector<unsigned char> out;

private:
    int used_ = 0;
};

// A literal byte, the end of the block (256) or a length's code (257 and
// up), in the fixed Huffman codes.
void PutSymbol(BitWriter& w, int symbol)
{
    if (symbol < 144)
        w.PutCode(0x30 + symbol, 8);
    else if (symbol < 256)
        w.PutCode(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        w.PutCode(symbol - 256, 7);
    else
        w.PutCode(0xC0 + symbol - 280, 8);
}

// "Repeat `length` bytes from `distance` back."
void PutMatch(BitWriter& w, int length, int distance)
{
    static const int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                        31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                         2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static const int kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                          33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                          1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    int l = 28;
    while (kLengthBase[l] > length)
        --l;
    PutSymbol(w, 257 + l);
    w.Put(static_cast<std::uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    int d = 29;
    while (kDistanceBase[d] > distance)
        --d;
    w.PutCode(static_cast<std::uint32_t>(d), 5);
    w.Put(static_cast<std::uint32_t>(distance - kDistanceBase[d]), d < 4 ? 0 : d / 2 - 1);
}

// A zlib stream of one deflate block. Filtered rows of an icon are mostly
// runs and copies of the row above, so matches are looked for only one byte,
// one pixel and one row back.
std::vector<unsigned char> Zlib(const std::vector<unsigned char>& raw, std::size_t rowBytes)
{
    BitWriter w;
    w.Put(0x78, 8);
    w.Put(0x01, 8);
    w.Put(1, 1); // the last block
    w.Put(1, 2); // fixed codes
    const std::size_t distances[] = {1, 4, rowBytes};
    for (std::size_t i = 0; i < raw.size();) {
        std::size_t best = 0, bestDistance = 0;
        for (std::size_t d : distances) {
            if (d > i || d > 32768)
                continue;
            std::size_t n = 0;
            while (n < 258 && i + n < raw.size() && raw[i + n] == raw[i + n - d])
                ++n;
            if (n > best) {
                best = n;
                bestDistance = d;
            }
        }
        if (best >= 3) {
            PutMatch(w, static_cast<int>(best), static_cast<int>(bestDistance));
            i += best;
        } else {
            PutSymbol(w, raw[i++]);
        }
    }
    PutSymbol(w, 256);
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    std::vector<unsigned char> z = w.out;
    PutBE32(z, b << 16 | a);
    return z;
}

int Paeth(int a, int b, int c)
{
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Each row behind the filter byte of PNG's five that leaves the smallest
// differences, the usual choice of PNG writers.
std::vector<unsigned char> FilteredRows(int width, int height, const std::vector<unsigned char>& rgba)
{
    const std::size_t stride = std::size_t(width) * 4;
    std::vector<unsigned char> raw, row(stride), best(stride);
    raw.reserve((stride + 1) * height);
    for (int y = 0; y < height; ++y) {
        const unsigned char* cur = rgba.data() + std::size_t(y) * stride;
        const unsigned char* up = y > 0 ? cur - stride : nullptr;
        long bestSum = -1;
        int bestFilter = 0;
        for (int filter = 0; filter < 5; ++filter) {
            long sum = 0;
            for (std::size_t x = 0; x < stride; ++x) {
                const int a = x >= 4 ? cur[x - 4] : 0, b = up ? up[x] : 0, c = up && x >= 4 ? up[x - 4] : 0;
                const int predicted = filter == 1 ? a : filter == 2 ? b : filter == 3 ? (a + b) / 2
                                                                    : filter == 4 ? Paeth(a, b, c) : 0;
                row[x] = static_cast<unsigned char>(cur[x] - predicted);
                sum += row[x] < 128 ? row[x] : 256 - row[x];
            }
            if (bestSum < 0 || sum < bestSum) {
                bestSum = sum;
                bestFilter = filter;
                best.swap(row);
            }
        }
        raw.push_back(static_cast<unsigned char>(bestFilter));
        raw.insert(raw.end(), best.begin(), best.end());
    }
    return raw;
}

// rgba: width x height, top row first, 4 bytes a pixel.
bool WritePng(const std::string& file, int width, int height, const std::vector<unsigned char>& rgba)
{
    std::vector<unsigned char> header;
    PutBE32(header, static_cast<std::uint32_t>(width));
    PutBE32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, filters by row, no interlace

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", Zlib(FilteredRows(width, height, rgba), std::size_t(width) * 4 + 1));
    PutChunk(png, "IEND", {});

    const std::filesystem::path parent = std::filesystem::path(file).parent_path();
    if (!parent.empty() && !MakeDirectories(parent.string()))
        return false;
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && written;
}

bool WriteIcon(const std::string& file, int size)
{
    const int sub = 4; // samples per pixel and axis, for smooth edges
    std::vector<unsigned char> rgba(std::size_t(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // Averaged with premultiplied alpha, so transparent samples add no colour.
            double r = 0.0, g = 0.0, b = 0.0, a = 0.0;
            for (int sy = 0; sy < sub; ++sy)
                for (int sx = 0; sx < sub; ++sx) {
                    const double u = ((x * sub + sx) * 2 + 1) / double(size * sub) - 1.0;
                    const double v = ((y * sub + sy) * 2 + 1) / double(size * sub) - 1.0;
                    const Rgba c = Sample(u, v);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            unsigned char* p = rgba.data() + (std::size_t(y) * size + x) * 4;
            p[0] = ToByte(a > 0.0 ? r / a : 0.0);
            p[1] = ToByte(a > 0.0 ? g / a : 0.0);
            p[2] = ToByte(a > 0.0 ? b / a : 0.0);
            p[3] = ToByte(a / (sub * sub));
        }
    return WritePng(file, size, size, rgba);
}

} // namespace

bool GenerateIcon(const std::string& outdir)
{
    return WriteIcon(JoinPath(outdir, "Icons/quellin.png"), 128) &&
           WriteIcon(JoinPath(outdir, "Icons/quellin-192.png"), 192) &&
           WriteIcon(JoinPath(outdir, "Icons/quellin-512.png"), 512);
}

} // namespace AssetGen
