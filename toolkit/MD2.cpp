#include "toolkit/MD2.h"

#include "toolkit/File.h"
#include "toolkit/platform/GL.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <utility>
#include <string>

namespace TovarToolkit {

namespace {

const float kFrameDuration = 200.0f; // ms per animation frame

// ---- The shared animation clock ----

DWORD (*g_tickSource)() = nullptr;
bool g_clockRunning = false;
// The last switch is kept as the raw 32-bit tick so that differences stay
// exact and survive the counter's wrap; a float would lose milliseconds
// after a few hours of uptime.
DWORD g_lastTick = 0;
float elapsedTime = 0.0f;

DWORD ReadTicks()
{
    return g_tickSource ? g_tickSource() : TovarPlatform::TickCount();
}

// Each dump element opens, writes and closes the file, so a dump cut short by
// a crash still holds everything written before it.
void AppendDump(const char* name, const std::string& text, bool truncate)
{
    FILE* f = OpenFile(name, truncate ? "w" : "a");
    if (!f)
        return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

std::string FormatFloat(float value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(value));
    return buffer;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

void ReleaseObjectArrays(TovarMD23DObject& object)
{
    delete[] object.pFaces;
    delete[] object.pNormals;
    delete[] object.pVerts;
    delete[] object.pTexVerts;
    object.pFaces = nullptr;
    object.pNormals = nullptr;
    object.pVerts = nullptr;
    object.pTexVerts = nullptr;
}

int AnimationCount(const TovarMD23DModel* model)
{
    int n = model->numOfAnimations;
    int stored = static_cast<int>(model->pAnimations.size());
    return n < stored ? n : stored;
}

// A frame number from the table or a caller may point outside the model (a
// group numbered from 0 starts one before its first frame, -1 at the very
// start); playback keeps to frames that exist.
int ClampFrame(const TovarMD23DModel* model, int frame)
{
    int last = static_cast<int>(model->pObject.size()) - 1;
    if (frame > last)
        frame = last;
    if (frame < 0)
        frame = 0;
    return frame;
}

// The faces as vertex arrays: one entry per distinct (vertex, texture
// coordinate) pair, the triangles as indices into them. 16-bit indices: the
// decoder's limit of 4096 faces makes at most 12288 entries, and some GL
// implementations draw nothing from 32-bit ones.
void BuildCorners(TovarMD2DrawArrays& arrays, const TovarMD23DObject& first, int faces)
{
    arrays.vertexOf.clear();
    arrays.texCoords.clear();
    arrays.indices.clear();
    const TovarVector2f* tex = first.pTexVerts;
    std::map<std::pair<int, int>, unsigned short> entries;
    // The decoder checked every index against the model's counts.
    for (int f = 0; f < faces; ++f) {
        const TovarFace& face = first.pFaces[f];
        for (int c = 0; c < 3; ++c) {
            std::pair<int, int> key(face.vertIndex[c], tex ? face.coordIndex[c] : 0);
            auto found = entries.find(key);
            if (found == entries.end()) {
                unsigned short entry = static_cast<unsigned short>(arrays.vertexOf.size());
                found = entries.emplace(key, entry).first;
                arrays.vertexOf.push_back(key.first);
                arrays.texCoords.push_back(tex ? tex[key.second].x : 0.0f);
                arrays.texCoords.push_back(tex ? tex[key.second].y : 0.0f);
            }
            arrays.indices.push_back(found->second);
        }
    }
    arrays.positions.assign(arrays.vertexOf.size() * 3, 0.0f);
    arrays.posed = false;
    ++arrays.builds;
}

// ---- Whether a model is closed ----

int FindPiece(std::vector<int>& parent, int v)
{
    while (parent[static_cast<size_t>(v)] != v) {
        int& up = parent[static_cast<size_t>(v)];
        up = parent[static_cast<size_t>(up)];
        v = up;
    }
    return v;
}

// Sets the model's closed and clockwise (see TovarMD23DModel). From an eye
// outside such a surface, every face turned away lies behind one turned
// toward the eye, so the faces turned away can be left out. Each piece is
// judged alone: one inside-out piece among right ones would pass a test of
// the total volume, and then show its inside.
void ExamineSurface(TovarMD23DModel* model)
{
    model->closed = false;
    model->clockwise = false;
    if (model->pObject.empty())
        return;
    const TovarMD23DObject& first = model->pObject[0];
    const int faces = first.numOfFaces, verts = first.numOfVerts;
    if (!first.pFaces || !first.pVerts || faces <= 0)
        return;

    std::vector<std::uint64_t> edges;
    edges.reserve(static_cast<size_t>(faces) * 3);
    std::vector<int> parent(static_cast<size_t>(verts));
    for (int v = 0; v < verts; ++v)
        parent[static_cast<size_t>(v)] = v;
    for (int f = 0; f < faces; ++f) {
        const int* v = first.pFaces[f].vertIndex;
        if (v[0] == v[1] || v[1] == v[2] || v[2] == v[0])
            return;
        for (int c = 0; c < 3; ++c) {
            const int a = v[c], b = v[(c + 1) % 3];
            edges.push_back(std::uint64_t(std::uint32_t(a)) << 32 | std::uint32_t(b));
            parent[static_cast<size_t>(FindPiece(parent, a))] = FindPiece(parent, b);
        }
    }
    // Each directed edge once (twice would be two faces wound against each
    // other), and its twin present.
    std::sort(edges.begin(), edges.end());
    if (std::adjacent_find(edges.begin(), edges.end()) != edges.end())
        return;
    for (std::uint64_t e : edges)
        if (!std::binary_search(edges.begin(), edges.end(), e << 32 | e >> 32))
            return;

    // Six times the signed volume of each piece, and the size of its terms,
    // so that a flat piece (both sides of one sheet) counts as no volume.
    std::vector<double> volume(static_cast<size_t>(verts), 0.0), scale(static_cast<size_t>(verts), 0.0);
    for (int f = 0; f < faces; ++f) {
        const int* v = first.pFaces[f].vertIndex;
        const TovarVector3f& a = first.pVerts[v[0]];
        const TovarVector3f& b = first.pVerts[v[1]];
        const TovarVector3f& c = first.pVerts[v[2]];
        const double term = double(a.x) * (double(b.y) * c.z - double(b.z) * c.y) -
                            double(a.y) * (double(b.x) * c.z - double(b.z) * c.x) +
                            double(a.z) * (double(b.x) * c.y - double(b.y) * c.x);
        const size_t piece = static_cast<size_t>(FindPiece(parent, v[0]));
        volume[piece] += term;
        scale[piece] += std::fabs(term);
    }
    int sign = 0;
    for (size_t p = 0; p < volume.size(); ++p) {
        if (scale[p] == 0.0)
            continue; // no faces in this piece
        if (!(std::fabs(volume[p]) > 1e-9 * scale[p]))
            return;
        const int s = volume[p] > 0.0 ? 1 : -1;
        if (sign != 0 && s != sign)
            return;
        sign = s;
    }
    model->closed = sign != 0;
    model->clockwise = sign < 0;
}

float ModelRadius(const TovarMD23DModel* model)
{
    float largest = 0.0f;
    for (const TovarMD23DObject& object : model->pObject) {
        if (!object.pVerts)
            continue;
        for (int k = 0; k < object.numOfVerts; ++k) {
            const TovarVector3f& v = object.pVerts[k];
            largest = std::max(largest, v.x * v.x + v.y * v.y + v.z * v.z);
        }
    }
    return std::sqrt(largest);
}

// ---- When back faces may be left out ----

// Column-major, as GL keeps matrices: a 3 x 3 whose columns start
// `stride` floats apart.
float Det3(const float* m, int stride)
{
    const float* a = m;
    const float* b = m + stride;
    const float* c = m + 2 * stride;
    return a[0] * (b[1] * c[2] - b[2] * c[1]) - b[0] * (a[1] * c[2] - a[2] * c[1]) +
           c[0] * (a[1] * b[2] - a[2] * b[1]);
}

float Det4(const float m[16])
{
    float det = 0.0f;
    for (int c = 0; c < 4; ++c) {
        float minor[9]; // without row 0 and column c
        int n = 0;
        for (int j = 0; j < 4; ++j)
            if (j != c)
                for (int i = 1; i < 4; ++i)
                    minor[n++] = m[j * 4 + i];
        det += (c % 2 == 0 ? 1.0f : -1.0f) * m[c * 4] * Det3(minor, 3);
    }
    return det;
}

// Leaving out a closed model's faces turned away changes no pixel only while
// each of them hides behind one turned toward the eye: the model lies wholly
// beyond the near plane (so the eye is outside it and no cut opens it), and
// its faces hide each other (depth test and depth writes on, a depth test of
// less or equal, no blending, alpha test or stencil). A mirroring transform
// turns the winding round on screen. User clip planes are not looked at:
// the toolkit sets none. Says which winding faces the eye.
bool BackFacesHidden(const TovarMD23DModel* model, float reach, GLenum* front)
{
    if (!model->closed)
        return false;
    GLint depthFunc = 0;
    GLboolean depthWrites = GL_FALSE;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    if (!glIsEnabled(GL_DEPTH_TEST) || !depthWrites || (depthFunc != GL_LESS && depthFunc != GL_LEQUAL) ||
        glIsEnabled(GL_BLEND) || glIsEnabled(GL_ALPHA_TEST) || glIsEnabled(GL_STENCIL_TEST))
        return false;

    float modelview[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // The near plane in model space: clip z + w >= 0, rows 2 and 3 of
    // projection x modelview.
    float plane[4];
    for (int j = 0; j < 4; ++j) {
        float sum = 0.0f;
        for (int k = 0; k < 4; ++k)
            sum += (projection[k * 4 + 2] + projection[k * 4 + 3]) * modelview[j * 4 + k];
        plane[j] = sum;
    }
    const float normal = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
    if (!(plane[3] > reach * normal)) // false for NaN too
        return false;
    // A projection's determinant is negative unless it mirrors.
    const bool mirrored = (Det3(modelview, 4) < 0.0f) != (Det4(projection) > 0.0f);
    *front = model->clockwise != mirrored ? GL_CW : GL_CCW;
    return true;
}

} // namespace

void SetAnimationTickSource(DWORD (*source)())
{
    g_tickSource = source;
}

void ResetAnimationClock()
{
    g_clockRunning = false;
    g_lastTick = 0;
    elapsedTime = 0.0f;
}

// ---- The model ----

TovarMD23DModel::TovarMD23DModel()
    : numOfObjects(0), numOfMaterials(0), numOfAnimations(0), currentAnim(0), currentFrame(0), radius(0.0f),
      closed(false), clockwise(false)
{
}

TovarMD23DModel::~TovarMD23DModel()
{
    for (TovarMD23DObject& object : pObject)
        ReleaseObjectArrays(object);
}

// ---- The loader ----

TovarMD2Loader::TovarMD2Loader() {}

bool TovarMD2Loader::ImportMD2(TovarMD23DModel* pModel, const char* strFileName, bool dump, const char* DumpFileName)
{
    CleanUp(); // a loader that was left mid-import starts clean
    if (!pModel) {
        m_Refusal = "no model was given to import into";
        return false;
    }
    if (!ReadMD2Data(strFileName)) {
        CleanUp();
        return false;
    }
    m_Refusal.clear();
    // Written only for a file that was read and checked whole, so a refused
    // file leaves no half dump behind.
    if (dump)
        DumpFrames(DumpFileName);
    // Only now is the caller's model changed.
    ConvertDataStructures(pModel, dump, DumpFileName);
    CleanUp();
    return true;
}

bool TovarMD2Loader::ReadMD2Data(const char* strFileName)
{
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(strFileName, bytes, &m_Refusal))
        return false;
    return DecodeMD2(bytes.data(), bytes.size(), NativePath(strFileName), m_Data, m_Refusal);
}

void TovarMD2Loader::DumpFrames(const char* DumpFileName) const
{
    const TovarMD2Header& h = m_Data.header;
    AppendDump(DumpFileName, "<Model>\n<TotalFrames>" + std::to_string(h.numFrames) + "</TotalFrames>\n", true);
    for (int j = 0; j < h.numFrames; ++j) {
        const TovarMD2Frame& frame = m_Data.frames[static_cast<size_t>(j)];
        AppendDump(DumpFileName,
                   "<Frame number = \"" + std::to_string(j) + "\">\n<Vertices>" + std::to_string(h.numVertices) +
                       "</Vertices>\n",
                   false);
        for (const TovarMD2Triangle& vertex : frame.pVertices) {
            const float* v = vertex.vertex;
            AppendDump(DumpFileName,
                       "<TexCoord>0,0</TexCoord>\n<Vertice>" + FormatFloat(v[0]) + "," + FormatFloat(v[1]) + "," +
                           FormatFloat(v[2]) + "</Vertice>\n",
                       false);
        }
    }
}

void TovarMD2Loader::ConvertDataStructures(TovarMD23DModel* pModel, bool dump, const char* DumpFileName)
{
    // Whatever an earlier import left in the model is released, not leaked.
    for (TovarMD23DObject& object : pModel->pObject)
        ReleaseObjectArrays(object);
    std::vector<TovarMD23DObject>().swap(pModel->pObject);
    std::vector<TovarMD2AnimationInfo>().swap(pModel->pAnimations);
    std::vector<TovarMD2MaterialInfo>().swap(pModel->pMaterials);
    pModel->Texture.Release();
    pModel->numOfObjects = 0;
    pModel->numOfMaterials = 0;
    pModel->numOfAnimations = 0;
    pModel->currentAnim = 0;
    pModel->currentFrame = 0;
    pModel->drawArrays = TovarMD2DrawArrays();

    const TovarMD2Header& h = m_Data.header;
    pModel->numOfObjects = h.numFrames;
    ParseAnimations(pModel);

    pModel->pObject.reserve(static_cast<size_t>(pModel->numOfObjects));
    for (int j = 0; j < pModel->numOfObjects; ++j) {
        TovarMD23DObject object;
        std::memset(&object, 0, sizeof object);
        object.numOfVerts = h.numVertices;
        object.numTexVertex = h.numTexCoords;
        object.numOfFaces = h.numTriangles;

        TovarMD2Frame& frame = m_Data.frames[static_cast<size_t>(j)];
        object.pVerts = new TovarVector3f[object.numOfVerts];
        for (int k = 0; k < object.numOfVerts; ++k) {
            const float* v = frame.pVertices[static_cast<size_t>(k)].vertex;
            object.pVerts[k] = TovarVector3f(v[0], v[1], v[2]);
        }
        std::vector<TovarMD2Triangle>().swap(frame.pVertices);

        if (j == 0) {
            object.pTexVerts = new TovarVector2f[object.numTexVertex];
            object.pFaces = new TovarFace[object.numOfFaces];
            for (int i = 0; i < object.numTexVertex; ++i) {
                const TovarMD2TexCoord& uv = m_Data.texCoords[static_cast<size_t>(i)];
                object.pTexVerts[i].x = uv.u / static_cast<float>(h.skinWidth);
                // The skin's top row (v = 0) is the texture's top, t = 1.
                object.pTexVerts[i].y = 1.0f - uv.v / static_cast<float>(h.skinHeight);
            }
            if (dump)
                AppendDump(DumpFileName,
                           "<TotalTriangles>" + std::to_string(object.numOfFaces) + "</TotalTriangles>\n", false);
            for (int i = 0; i < object.numOfFaces; ++i) {
                TovarFace& face = object.pFaces[i];
                for (int c = 0; c < 3; ++c) {
                    face.vertIndex[c] = m_Data.triangles[static_cast<size_t>(i)].vertexIndices[c];
                    face.coordIndex[c] = m_Data.triangles[static_cast<size_t>(i)].textureIndices[c];
                }
                if (dump)
                    AppendDump(DumpFileName,
                               "<Triangle>" + std::to_string(face.vertIndex[0]) + "," +
                                   std::to_string(face.vertIndex[1]) + "," + std::to_string(face.vertIndex[2]) +
                                   "</Triangle>\n",
                               false);
            }
            if (dump) {
                AppendDump(DumpFileName, "</Frame>\n", false);
                AppendDump(DumpFileName, "</Model>\n", false);
            }
        }
        pModel->pObject.push_back(object);
    }
    pModel->radius = ModelRadius(pModel);
    ExamineSurface(pModel);
}

void TovarMD2Loader::CleanUp()
{
    m_Data = TovarMD2Data();
}

void TovarMD2Loader::Clear3DObjects(TovarMD23DModel* Model)
{
    if (!Model)
        return;
    int n = Model->numOfObjects;
    if (n > static_cast<int>(Model->pObject.size()))
        n = static_cast<int>(Model->pObject.size());
    // Pointers are nulled so that the model's destructor or a later import
    // does not release them a second time.
    for (int i = 0; i < n; ++i)
        ReleaseObjectArrays(Model->pObject[static_cast<size_t>(i)]);
    Model->drawArrays = TovarMD2DrawArrays();
}

// ---- Animation table ----

void TovarMD2Loader::ParseAnimations(TovarMD23DModel* pModel)
{
    std::string lastName;
    TovarMD2AnimationInfo animation;
    std::memset(&animation, 0, sizeof animation);

    for (int i = 0; i < pModel->numOfObjects; ++i) {
        const char* name = m_Data.frames[static_cast<size_t>(i)].strName; // NUL-terminated: checked on decoding
        size_t length = std::strlen(name);
        int number = 0;
        size_t baseLength = length;
        if (length >= 2 && IsDigit(name[length - 2])) {
            number = name[length - 2] - '0';
            if (IsDigit(name[length - 1]))
                number = number * 10 + (name[length - 1] - '0');
            baseLength = length - 2;
        } else if (length >= 2 && IsDigit(name[length - 1])) {
            number = name[length - 1] - '0';
            baseLength = length - 1;
        }
        std::string baseName(name, baseLength);

        if (baseName != lastName || i == pModel->numOfObjects - 1) {
            if (!lastName.empty()) {
                std::memcpy(animation.Name, lastName.c_str(), lastName.size() + 1);
                animation.endFrame = i;
                pModel->pAnimations.push_back(animation);
                std::memset(&animation, 0, sizeof animation);
                pModel->numOfAnimations++;
            }
            animation.startFrame = number - 1 + i;
        }
        lastName = baseName;
    }
}

// ---- Playback ----

float TovarMD2Radius(const TovarMD23DModel* Model)
{
    return Model ? Model->radius : 0.0f;
}

float TovarMD2Loader::ReturnCurrentTime(TovarMD23DModel* Model, int NextFrame)
{
    DWORD now = ReadTicks();
    if (!g_clockRunning) {
        // The first reading starts the clock rather than measuring from 0,
        // which would leap by the whole uptime.
        g_clockRunning = true;
        g_lastTick = now;
        elapsedTime = 0.0f;
        return 0.0f;
    }
    DWORD elapsed = now - g_lastTick; // unsigned: correct across the wrap
    elapsedTime = static_cast<float>(elapsed);
    float t = elapsedTime / kFrameDuration;
    if (elapsed >= static_cast<DWORD>(kFrameDuration)) {
        g_lastTick = now;
        Model->currentFrame = NextFrame;
    }
    return t;
}

void TovarMD2Loader::BindModelTexture(TovarTexture* Tex)
{
    if (Tex)
        glBindTexture(GL_TEXTURE_2D, Tex->ID);
}

void TovarMD2Loader::DrawFrames(TovarMD23DModel* Model, const TovarMD2Pose& Pose) const
{
    const TovarMD23DObject& first = Model->pObject[0];
    const TovarMD23DObject& current = Model->pObject[static_cast<size_t>(Pose.from)];
    const TovarMD23DObject& next = Model->pObject[static_cast<size_t>(Pose.to)];
    // The decoder checked every index against the model's counts; only a
    // model cleared since then has nothing left to draw.
    if (!first.pFaces || !current.pVerts || !next.pVerts)
        return;

    const TovarVector2f* tex = first.pTexVerts;
    TovarMD2DrawArrays& arrays = Model->drawArrays;
    if (arrays.faces != first.pFaces || arrays.texVerts != tex || arrays.numFaces != first.numOfFaces ||
        arrays.numVerts != current.numOfVerts) {
        BuildCorners(arrays, first, first.numOfFaces);
        arrays.faces = first.pFaces;
        arrays.texVerts = tex;
        arrays.numFaces = first.numOfFaces;
        arrays.numVerts = current.numOfVerts;
    }
    if (arrays.indices.empty())
        return;

    // Every creature of a frame shows the same pose, so the blend is worked
    // out once per pose rather than once per triangle corner of each one.
    const TovarMD2Pose& last = arrays.pose;
    if (!arrays.posed || last.from != Pose.from || last.to != Pose.to || last.t != Pose.t ||
        last.blend != Pose.blend) {
        const float t = Pose.t;
        for (size_t i = 0; i < arrays.vertexOf.size(); ++i) {
            const TovarVector3f& p1 = current.pVerts[arrays.vertexOf[i]];
            float* out = &arrays.positions[3 * i];
            if (!Pose.blend) {
                out[0] = p1.x;
                out[1] = p1.y;
                out[2] = p1.z;
                continue;
            }
            const TovarVector3f& p2 = next.pVerts[arrays.vertexOf[i]];
            out[0] = p1.x + t * (p2.x - p1.x);
            out[1] = p1.y + t * (p2.y - p1.y);
            out[2] = p1.z + t * (p2.z - p1.z);
        }
        arrays.pose = Pose;
        arrays.posed = true;
        ++arrays.blends;
    }

    // Past t = 1 the blend reaches beyond both frames, by at most (t - 1)
    // times their distance apart, itself within two radii.
    const float reach = Pose.blend && Pose.t > 1.0f ? Model->radius * (1.0f + 2.0f * (Pose.t - 1.0f)) : Model->radius;
    GLenum front = GL_CCW;
    const bool cull = m_CullBackFaces && BackFacesHidden(Model, reach, &front);
    GLboolean wasCulling = GL_FALSE;
    GLint cullMode = GL_BACK, frontFace = GL_CCW;
    if (cull) {
        // Put back as found: the floor, bullets and texts drawn after the
        // model have two sides.
        wasCulling = glIsEnabled(GL_CULL_FACE);
        glGetIntegerv(GL_CULL_FACE_MODE, &cullMode);
        glGetIntegerv(GL_FRONT_FACE, &frontFace);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glFrontFace(front);
    }

    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, arrays.positions.data());
    if (tex) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, arrays.texCoords.data());
    }
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(arrays.indices.size()), GL_UNSIGNED_SHORT,
                   arrays.indices.data());
    if (tex)
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);

    if (cull) {
        if (!wasCulling)
            glDisable(GL_CULL_FACE);
        glCullFace(static_cast<GLenum>(cullMode));
        glFrontFace(static_cast<GLenum>(frontFace));
    }
}

bool TovarMD2Loader::StepAnimation(TovarMD23DModel* Model, TovarMD2Pose* Pose)
{
    if (!Model || !Pose || Model->pObject.empty())
        return false;
    Model->currentFrame = ClampFrame(Model, Model->currentFrame);
    int current = Model->currentFrame;

    int animations = AnimationCount(Model);
    if (animations <= 0) {
        // Nothing to play: show the frame we are on, still.
        *Pose = TovarMD2Pose{current, current, 0.0f, false};
        return true;
    }
    if (Model->currentAnim < 0 || Model->currentAnim >= animations)
        Model->currentAnim = 0;

    const TovarMD2AnimationInfo& animation = Model->pAnimations[static_cast<size_t>(Model->currentAnim)];
    int next = animation.endFrame > 0 ? (current + 1) % animation.endFrame : 0;
    if (next == 0)
        next = animation.startFrame;
    next = ClampFrame(Model, next);

    float t = ReturnCurrentTime(Model, next);
    *Pose = TovarMD2Pose{current, next, t, true};
    return true;
}

void TovarMD2Loader::DrawPose(TovarMD23DModel* Model, TovarTexture* Texture, const TovarMD2Pose& Pose)
{
    if (!Model || Model->pObject.empty())
        return;
    int last = static_cast<int>(Model->pObject.size()) - 1;
    if (Pose.from < 0 || Pose.from > last || Pose.to < 0 || Pose.to > last)
        return;
    BindModelTexture(Texture);
    DrawFrames(Model, Pose);
}

void TovarMD2Loader::Animate(TovarMD23DModel* Model, TovarTexture* Texture)
{
    TovarMD2Pose pose;
    if (StepAnimation(Model, &pose))
        DrawPose(Model, Texture, pose);
}

void TovarMD2Loader::RenderSingleFrame(TovarMD23DModel* Model, TovarTexture* Texture, int FrameNum)
{
    if (!Model || Model->pObject.empty())
        return;
    if (FrameNum < 0 || FrameNum >= static_cast<int>(Model->pObject.size()))
        return;
    BindModelTexture(Texture);
    DrawFrames(Model, TovarMD2Pose{FrameNum, FrameNum, 0.0f, false});
}

bool TovarMD2Loader::SetAnimation(TovarMD23DModel* Model, const char* AnimName)
{
    if (!Model)
        return false;
    int animations = AnimationCount(Model);
    // No animation is playing (an empty table, or an index past its end).
    if (animations <= 0 || Model->currentAnim == Model->numOfAnimations)
        return false;
    if (Model->currentAnim >= 0 && Model->currentAnim < animations && AnimName &&
        std::strcmp(Model->pAnimations[static_cast<size_t>(Model->currentAnim)].Name, AnimName) == 0)
        return true;
    ChangeAnimation(Model);
    return false;
}

void TovarMD2Loader::ChangeAnimation(TovarMD23DModel* Model)
{
    if (!Model)
        return;
    int animations = AnimationCount(Model);
    if (animations <= 0)
        return;
    int anim = Model->currentAnim;
    anim = (anim < 0 || anim >= animations) ? 0 : (anim + 1) % animations;
    Model->currentAnim = anim;
    Model->currentFrame = ClampFrame(Model, Model->pAnimations[static_cast<size_t>(anim)].startFrame);
}

} // namespace TovarToolkit
