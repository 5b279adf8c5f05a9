#include "toolkit/MD2Decoder.h"

#include "toolkit/File.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace TovarToolkit {

namespace {

// What the format allows; a header past these is not a model we can hold.
const int kMaxTriangles = 4096;
const int kMaxVertices = 2048;
const int kMaxFrames = 512;
const int kMaxSkins = 32;
const int kHeaderSize = 68;
const int kSkinSize = 64;
const int kTexCoordSize = 4;
const int kTriangleSize = 12;
const int kFrameHeadSize = 40;
const int kFrameNameOffset = 24;
const int kFrameNameSize = 16;
const int kMaxFrameSize = 8320;

std::string Format(const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

// A count must lie in [0, most]; most < 0 means no upper limit of its own.
bool CountFits(int count, int most)
{
    return count >= 0 && (most < 0 || count <= most);
}

class Decoder {
public:
    Decoder(const ByteReader& in, const std::string& name, TovarMD2Data& data, std::string& reason)
        : in_(in), name_(name), data_(data), reason_(reason)
    {
    }

    bool Run()
    {
        if (!in_.Has(0, kHeaderSize))
            return Refuse(Format("the file ends at byte %lld of the %d its header needs",
                                 static_cast<long long>(in_.Size()), kHeaderSize));
        int* const fields[] = {&h_.magic, &h_.version, &h_.skinWidth, &h_.skinHeight, &h_.frameSize,
                               &h_.numSkins, &h_.numVertices, &h_.numTexCoords, &h_.numTriangles,
                               &h_.numGlCommands, &h_.numFrames, &h_.offsetSkins, &h_.offsetTexCoords,
                               &h_.offsetTriangles, &h_.offsetFrames, &h_.offsetGlCommands, &h_.offsetEnd};
        for (int i = 0; i < kHeaderSize / 4; ++i)
            *fields[i] = in_.S32(4 * i);
        // The magic is not checked, as readers of this format never did.
        if (h_.version != 8)
            return Refuse(Format("the header says version %d; only version 8 can be read", h_.version));
        return CheckHeader() && ReadTriangles() && ReadFrames();
    }

private:
    bool Refuse(const std::string& why)
    {
        reason_ = name_ + ": " + why;
        return false;
    }

    bool CheckHeader()
    {
        struct Count {
            int value, most;
            const char* what;
        } counts[] = {{h_.numSkins, kMaxSkins, "skins"},
                      {h_.numVertices, kMaxVertices, "vertices"},
                      {h_.numTexCoords, -1, "texture coordinates"},
                      {h_.numTriangles, kMaxTriangles, "triangles"},
                      {h_.numFrames, kMaxFrames, "frames"}};
        for (const Count& c : counts) {
            if (CountFits(c.value, c.most))
                continue;
            if (c.most < 0)
                return Refuse(Format("the header gives %d %s", c.value, c.what));
            return Refuse(Format("the header gives %d %s; a model has 0 to %d", c.value, c.what, c.most));
        }
        // Texture coordinates are divided by the skin's size.
        if (h_.skinWidth <= 0 || h_.skinHeight <= 0)
            return Refuse(Format("the skin is %d x %d pixels; it needs a size above 0", h_.skinWidth,
                                 h_.skinHeight));
        const int frameNeeds = kFrameHeadSize + 4 * h_.numVertices;
        if (h_.numFrames > 0 && (h_.frameSize < frameNeeds || h_.frameSize > kMaxFrameSize))
            return Refuse(Format("frames of %d bytes cannot hold %d vertices (that takes %d to %d bytes)",
                                 h_.frameSize, h_.numVertices, frameNeeds, kMaxFrameSize));

        struct Section {
            int offset;
            std::int64_t length;
            const char* what;
        } sections[] = {
            {h_.offsetSkins, std::int64_t(h_.numSkins) * kSkinSize, "skin names"},
            {h_.offsetTexCoords, std::int64_t(h_.numTexCoords) * kTexCoordSize, "texture coordinates"},
            {h_.offsetTriangles, std::int64_t(h_.numTriangles) * kTriangleSize, "triangles"},
            {h_.offsetFrames, std::int64_t(h_.numFrames) * h_.frameSize, "frames"},
        };
        for (const Section& s : sections) {
            if (s.length == 0 || in_.Has(s.offset, s.length))
                continue;
            if (s.offset < 0)
                return Refuse(Format("the %s start at byte %d, before the file", s.what, s.offset));
            return Refuse(Format("the file ends at byte %lld of the %lld its %s need",
                                 static_cast<long long>(in_.Size()), static_cast<long long>(s.offset + s.length),
                                 s.what));
        }
        return true;
    }

    bool ReadTriangles()
    {
        data_.texCoords.resize(static_cast<size_t>(h_.numTexCoords));
        for (int i = 0; i < h_.numTexCoords; ++i) {
            const std::int64_t at = h_.offsetTexCoords + std::int64_t(i) * kTexCoordSize;
            data_.texCoords[static_cast<size_t>(i)] = {in_.S16(at), in_.S16(at + 2)};
        }
        data_.triangles.resize(static_cast<size_t>(h_.numTriangles));
        for (int i = 0; i < h_.numTriangles; ++i) {
            const std::int64_t at = h_.offsetTriangles + std::int64_t(i) * kTriangleSize;
            TovarMD2Face& face = data_.triangles[static_cast<size_t>(i)];
            for (int c = 0; c < 3; ++c) {
                face.vertexIndices[c] = in_.S16(at + 2 * c);
                face.textureIndices[c] = in_.S16(at + 6 + 2 * c);
            }
            // Playback indexes with these and never checks: one bad triangle
            // refuses the whole file.
            for (int c = 0; c < 3; ++c) {
                if (face.vertexIndices[c] < 0 || face.vertexIndices[c] >= h_.numVertices)
                    return Refuse(
                        Format("triangle %d uses vertex %d of %d", i, face.vertexIndices[c], h_.numVertices));
                if (face.textureIndices[c] < 0 || face.textureIndices[c] >= h_.numTexCoords)
                    return Refuse(Format("triangle %d uses texture coordinate %d of %d", i, face.textureIndices[c],
                                         h_.numTexCoords));
            }
        }
        return true;
    }

    bool ReadFrames()
    {
        data_.frames.resize(static_cast<size_t>(h_.numFrames));
        for (int j = 0; j < h_.numFrames; ++j) {
            const std::int64_t at = h_.offsetFrames + std::int64_t(j) * h_.frameSize;
            TovarMD2Frame& frame = data_.frames[static_cast<size_t>(j)];
            // The animation table reads the name as a C string.
            const unsigned char* name = in_.At(at + kFrameNameOffset);
            if (!std::memchr(name, '\0', kFrameNameSize))
                return Refuse(Format("the name of frame %d does not end within its %d bytes", j, kFrameNameSize));
            std::memcpy(frame.strName, name, sizeof frame.strName);

            float scale[3], translate[3];
            for (int c = 0; c < 3; ++c) {
                scale[c] = in_.F32(at + 4 * c);
                translate[c] = in_.F32(at + 12 + 4 * c);
            }
            frame.pVertices.resize(static_cast<size_t>(h_.numVertices));
            for (int k = 0; k < h_.numVertices; ++k) {
                const unsigned char* b = in_.At(at + kFrameHeadSize + 4 * k);
                TovarMD2Triangle& v = frame.pVertices[static_cast<size_t>(k)];
                // The file's z is up; the model's y is. The file's y, negated,
                // becomes the model's z.
                v.vertex[0] = b[0] * scale[0] + translate[0];
                v.vertex[1] = b[2] * scale[2] + translate[2];
                v.vertex[2] = -(b[1] * scale[1] + translate[1]);
                v.normal[0] = v.normal[1] = v.normal[2] = 0.0f;
            }
        }
        data_.header = h_;
        return true;
    }

    const ByteReader& in_;
    const std::string& name_;
    TovarMD2Data& data_;
    std::string& reason_;
    TovarMD2Header h_ = {};
};

} // namespace

bool DecodeMD2(const unsigned char* bytes, std::size_t size, const std::string& name, TovarMD2Data& data,
               std::string& reason)
{
    data = TovarMD2Data();
    const ByteReader in(bytes, size);
    if (Decoder(in, name, data, reason).Run())
        return true;
    data = TovarMD2Data();
    return false;
}

} // namespace TovarToolkit
