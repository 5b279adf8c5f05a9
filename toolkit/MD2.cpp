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

// Bumped whenever any model's arrays are replaced or released, so that the
// draw cache never mistakes new arrays at old addresses for the ones it saw.
unsigned g_modelGeneration = 0;

// The model as vertex arrays: one entry per distinct (vertex, texture
// coordinate) pair of the faces, and the triangles as indices into them.
struct DrawCache {
    const TovarMD23DModel* model = nullptr;
    unsigned generation = 0;
    const TovarFace* faces = nullptr;
    const TovarVector2f* texVerts = nullptr;
    int numFaces = -1;
    int numVerts = -1;
    std::vector<int> vertexOf;     // per entry: the model's vertex index
    std::vector<float> texCoords;  // per entry: s, t
    std::vector<float> positions;  // per entry: x, y, z of the last pose
    // Three per face. 16-bit: the decoder's limit of 4096 faces makes at most
    // 12288 entries, and some GL implementations draw nothing from 32-bit ones.
    std::vector<unsigned short> indices;
    bool blended = false;
    int from = 0;
    int to = 0;
    float t = 0.0f;
    bool blend = false;
};

DrawCache g_drawCache;

// The faces as vertex arrays, built once per model.
void BuildCorners(DrawCache& cache, const TovarMD23DObject& first, int faces)
{
    cache.vertexOf.clear();
    cache.texCoords.clear();
    cache.indices.clear();
    const TovarVector2f* tex = first.pTexVerts;
    std::map<std::pair<int, int>, unsigned short> entries;
    // The decoder checked every index against the model's counts.
    for (int f = 0; f < faces; ++f) {
        const TovarFace& face = first.pFaces[f];
        for (int c = 0; c < 3; ++c) {
            std::pair<int, int> key(face.vertIndex[c], tex ? face.coordIndex[c] : 0);
            auto found = entries.find(key);
            if (found == entries.end()) {
                unsigned short entry = static_cast<unsigned short>(cache.vertexOf.size());
                found = entries.emplace(key, entry).first;
                cache.vertexOf.push_back(key.first);
                cache.texCoords.push_back(tex ? tex[key.second].x : 0.0f);
                cache.texCoords.push_back(tex ? tex[key.second].y : 0.0f);
            }
            cache.indices.push_back(found->second);
        }
    }
    cache.positions.assign(cache.vertexOf.size() * 3, 0.0f);
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
    : numOfObjects(0), numOfMaterials(0), numOfAnimations(0), currentAnim(0), currentFrame(0)
{
}

TovarMD23DModel::~TovarMD23DModel()
{
    ++g_modelGeneration;
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
    ++g_modelGeneration;
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
    ++g_modelGeneration;
    // Pointers are nulled so that the model's destructor or a later import
    // does not release them a second time.
    for (int i = 0; i < n; ++i)
        ReleaseObjectArrays(Model->pObject[static_cast<size_t>(i)]);
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
    if (!Model)
        return 0.0f;
    float largest = 0.0f;
    for (const TovarMD23DObject& object : Model->pObject) {
        if (!object.pVerts)
            continue;
        for (int k = 0; k < object.numOfVerts; ++k) {
            const TovarVector3f& v = object.pVerts[k];
            largest = std::max(largest, v.x * v.x + v.y * v.y + v.z * v.z);
        }
    }
    return std::sqrt(largest);
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

void TovarMD2Loader::DrawFrames(const TovarMD23DModel* Model, int from, int to, float t, bool blend) const
{
    const TovarMD23DObject& first = Model->pObject[0];
    const TovarMD23DObject& current = Model->pObject[static_cast<size_t>(from)];
    const TovarMD23DObject& next = Model->pObject[static_cast<size_t>(to)];
    // The decoder checked every index against the model's counts; only a
    // model cleared since then has nothing left to draw.
    if (!first.pFaces || !current.pVerts || !next.pVerts)
        return;

    const TovarVector2f* tex = first.pTexVerts;
    const int faces = first.numOfFaces;
    const int verts = current.numOfVerts;

    DrawCache& cache = g_drawCache;
    if (cache.model != Model || cache.generation != g_modelGeneration || cache.faces != first.pFaces ||
        cache.texVerts != tex || cache.numFaces != faces || cache.numVerts != verts) {
        BuildCorners(cache, first, faces);
        cache.model = Model;
        cache.generation = g_modelGeneration;
        cache.faces = first.pFaces;
        cache.texVerts = tex;
        cache.numFaces = faces;
        cache.numVerts = verts;
        cache.blended = false;
    }
    if (cache.indices.empty())
        return;

    // Every creature of a frame shows the same pose, so the blend is worked
    // out once per pose rather than once per triangle corner of each one.
    if (!cache.blended || cache.from != from || cache.to != to || cache.t != t || cache.blend != blend) {
        for (size_t i = 0; i < cache.vertexOf.size(); ++i) {
            const TovarVector3f& p1 = current.pVerts[cache.vertexOf[i]];
            float* out = &cache.positions[3 * i];
            if (!blend) {
                out[0] = p1.x;
                out[1] = p1.y;
                out[2] = p1.z;
                continue;
            }
            const TovarVector3f& p2 = next.pVerts[cache.vertexOf[i]];
            out[0] = p1.x + t * (p2.x - p1.x);
            out[1] = p1.y + t * (p2.y - p1.y);
            out[2] = p1.z + t * (p2.z - p1.z);
        }
        cache.from = from;
        cache.to = to;
        cache.t = t;
        cache.blend = blend;
        cache.blended = true;
    }

    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, cache.positions.data());
    if (tex) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 0, cache.texCoords.data());
    }
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(cache.indices.size()), GL_UNSIGNED_SHORT,
                   cache.indices.data());
    if (tex)
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
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
    DrawFrames(Model, Pose.from, Pose.to, Pose.t, Pose.blend);
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
    DrawFrames(Model, FrameNum, FrameNum, 0.0f, false);
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
