// MD2 importer: any bytes give either false with the model as it was, or a
// model whose every array holds what its counts say and whose indices are in
// range. Each accepted input is imported twice into the same model, so that
// the leak checker sees whether a re-import releases the first.

#include "FuzzFile.h"

#include "toolkit/MD2.h"

#include <cstdlib>
#include <cstring>

using namespace TovarToolkit;

namespace {

void Check(const TovarMD23DModel& m)
{
    if (m.numOfObjects < 0 || m.numOfObjects > 512 || static_cast<size_t>(m.numOfObjects) != m.pObject.size())
        std::abort();
    if (static_cast<size_t>(m.numOfAnimations) != m.pAnimations.size() || m.numOfMaterials != 0)
        std::abort();
    for (const TovarMD2AnimationInfo& a : m.pAnimations) {
        if (!std::memchr(a.Name, '\0', 16) || a.Name[0] == '\0')
            std::abort();
        if (a.endFrame < 1 || a.endFrame >= m.numOfObjects)
            std::abort();
    }
    if (m.pObject.empty())
        return;
    const TovarMD23DObject& first = m.pObject[0];
    for (size_t j = 0; j < m.pObject.size(); ++j) {
        const TovarMD23DObject& o = m.pObject[j];
        if (!o.pVerts || o.pNormals || (j > 0 && (o.pTexVerts || o.pFaces)))
            std::abort();
        if (o.numOfVerts != first.numOfVerts || o.numOfFaces != first.numOfFaces)
            std::abort();
        FuzzTouch(reinterpret_cast<const unsigned char*>(o.pVerts),
                  static_cast<long long>(o.numOfVerts) * static_cast<long long>(sizeof(TovarVector3f)));
    }
    if (!first.pTexVerts || !first.pFaces)
        std::abort();
    FuzzTouch(reinterpret_cast<const unsigned char*>(first.pTexVerts),
              static_cast<long long>(first.numTexVertex) * static_cast<long long>(sizeof(TovarVector2f)));
    for (int f = 0; f < first.numOfFaces; ++f)
        for (int c = 0; c < 3; ++c) {
            const TovarFace& face = first.pFaces[f];
            if (face.vertIndex[c] < 0 || face.vertIndex[c] >= first.numOfVerts)
                std::abort();
            if (face.coordIndex[c] < 0 || face.coordIndex[c] >= first.numTexVertex)
                std::abort();
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* file = FuzzInputFile(data, size);
    if (!file)
        return 0;
    TovarMD2Loader loader;
    TovarMD23DModel model;
    if (!loader.ImportMD2(&model, file, false, "")) {
        if (model.numOfObjects != 0 || !model.pObject.empty() || !model.pAnimations.empty())
            std::abort();
        return 0;
    }
    Check(model);
    // Stepping through the table touches only the model, no GL.
    for (int i = 0; i <= model.numOfAnimations; ++i) {
        loader.ChangeAnimation(&model);
        if (model.currentFrame < 0 || model.currentFrame >= (model.numOfObjects > 0 ? model.numOfObjects : 1))
            std::abort();
    }
    loader.SetAnimation(&model, "stand");
    if (!loader.ImportMD2(&model, file, false, ""))
        std::abort(); // the same bytes must import again
    Check(model);
    return 0;
}
