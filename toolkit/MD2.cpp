// MD2 import: a decoded file turned into the model's per-frame meshes, its
// table of named animations, the optional dump, and the shape playback
// culls on. No GL here: drawing is MD2Playback's.

#include "toolkit/MD2.h"

#include "toolkit/File.h"
#include "toolkit/Surface.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace TovarToolkit {

namespace {

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

} // namespace

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

    // The shape of the whole animation, once: playback culls on it.
    std::vector<int> indices;
    indices.reserve(static_cast<size_t>(h.numTriangles) * 3);
    for (const TovarMD2Face& face : m_Data.triangles)
        indices.insert(indices.end(), face.vertexIndices, face.vertexIndices + 3);
    std::vector<const TovarVector3f*> frames;
    for (const TovarMD23DObject& object : pModel->pObject)
        frames.push_back(object.pVerts);
    const TovarSurfaceShape shape = ExamineSurface(indices, h.numVertices, frames);
    pModel->closed = shape.closed;
    pModel->clockwise = shape.clockwise;
    pModel->radius = SurfaceRadius(h.numVertices, frames);
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

} // namespace TovarToolkit
