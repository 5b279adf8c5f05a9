#pragma once

// MD2 models: import (version 8) into per-frame meshes, the table of named
// animations, and playback blended between frames on one shared clock of
// five frames a second. Limits: 2048 vertices, 4096 triangles, 512 frames;
// no normals or GL commands are drawn; every model shares the one clock.

#include "toolkit/MD2Decoder.h"
#include "toolkit/Math.h"
#include "toolkit/Texture.h"
#include "toolkit/platform/Platform.h"

#include <string>
#include <vector>

namespace TovarToolkit {

// ---- The animation clock ----------------------------------------------------

// One clock serves every model and loader. It reads TickCount(); replays
// and tests hand it another millisecond source here (null restores the
// system's).
void SetAnimationTickSource(DWORD (*source)());
// Puts the clock back as it is at program start: the next step starts it.
void ResetAnimationClock();

// ---- The converted model ----------------------------------------------------

struct TovarFace {
    int vertIndex[3];
    int coordIndex[3];
};

struct TovarMD2MaterialInfo {
    char strName[255];
    char strFile[255];
    unsigned char color[3];
    int texureId;
    float uTile;
    float vTile;
    float uOffset;
    float vOffset;
};

struct TovarMD2AnimationInfo {
    char Name[255];
    int startFrame;
    int endFrame;
};

// What one Animate call shows: the frame it starts from, the frame it blends
// toward and how far (t may pass 1 on the call that switches frames).
struct TovarMD2Pose {
    int from;
    int to;
    float t;
    bool blend;
};

// What playback keeps for one model: its faces as indexed vertex arrays,
// built on its first draw, and the last pose blended into them, redone only
// when the pose changes. Each model keeps its own, so models drawn in turn
// undo nothing of each other's. The counts say how often each was worked out.
struct TovarMD2DrawArrays {
    const TovarFace* faces = nullptr; // what the arrays were built from
    const TovarVector2f* texVerts = nullptr;
    int numFaces = -1;
    int numVerts = -1;
    std::vector<int> vertexOf;          // per entry: the model's vertex index
    std::vector<float> texCoords;       // per entry: s, t
    std::vector<float> positions;       // per entry: x, y, z of the pose below
    std::vector<unsigned short> indices; // three per face
    bool posed = false;
    TovarMD2Pose pose = {};
    unsigned builds = 0;
    unsigned blends = 0;
};

// One frame of the model. Only object 0 holds the faces and texture
// coordinates; every frame shares them.
struct TovarMD23DObject {
    int numOfVerts;
    int numOfFaces;
    int numTexVertex;
    int materialID;
    bool bHasTexture;
    char strName[255];
    TovarVector3f* pVerts;
    TovarVector3f* pNormals;
    TovarVector2f* pTexVerts;
    TovarFace* pFaces;
};

class TovarMD23DModel {
public:
    int numOfObjects;
    int numOfMaterials;
    int numOfAnimations;
    int currentAnim;
    int currentFrame;
    TovarTexture Texture;
    std::vector<TovarMD2AnimationInfo> pAnimations;
    std::vector<TovarMD2MaterialInfo> pMaterials;
    std::vector<TovarMD23DObject> pObject;

    // Worked out on import (toolkit/Surface.h). The radius about the origin
    // holds every vertex of every frame. A closed model's surface shuts on
    // itself, shell by shell and in every frame, and `clockwise` tells the
    // winding of its faces seen from outside. Only a closed model may skip
    // its back faces.
    float radius;
    bool closed;
    bool clockwise;
    TovarMD2DrawArrays drawArrays;

    TovarMD23DModel();
    ~TovarMD23DModel();
    TovarMD23DModel(const TovarMD23DModel&) = delete;
    TovarMD23DModel& operator=(const TovarMD23DModel&) = delete;
};

// The model's radius (see above): a bound for culling, kept since import. A
// blend with t above 1 reaches past it (see DrawPose).
float TovarMD2Radius(const TovarMD23DModel* Model);

class TovarMD2Loader {
public:
    TovarMD2Loader();

    bool ImportMD2(TovarMD23DModel* pModel, const char* strFileName, bool dump, const char* DumpFileName);
    void Clear3DObjects(TovarMD23DModel* Model);

    void Animate(TovarMD23DModel* Model, TovarTexture* Texture);
    // Animate in two halves, for a caller that draws only what can be seen:
    // the clock step (false when there is nothing to draw), then the drawing.
    // Stepping without drawing keeps the animation exactly as if it drew.
    bool StepAnimation(TovarMD23DModel* Model, TovarMD2Pose* Pose);
    void DrawPose(TovarMD23DModel* Model, TovarTexture* Texture, const TovarMD2Pose& Pose);
    void RenderSingleFrame(TovarMD23DModel* Model, TovarTexture* Texture, int FrameNum);
    bool SetAnimation(TovarMD23DModel* Model, const char* AnimName);
    void ChangeAnimation(TovarMD23DModel* Model);

    // On: a closed model is drawn without the faces turned away from the eye,
    // wherever leaving them out uncovers nothing (see MD2Playback.cpp). Off
    // (the default): every face, as for an open model. The two pictures part
    // at a few outline pixels, where a face turned away ties in depth with
    // its neighbour and may win on rounding; so a caller asks for the cull.
    void SetBackFaceCulling(bool on) { m_CullBackFaces = on; }
    bool BackFaceCulling() const { return m_CullBackFaces; }

    // Why the last ImportMD2 returned false, naming the file ("tris.md2:
    // triangle 12 uses vertex 900 of 660"); empty when it succeeded.
    const std::string& LastError() const { return m_Refusal; }

private:
    bool ReadMD2Data(const char* strFileName);
    void ConvertDataStructures(TovarMD23DModel* pModel, bool dump, const char* DumpFileName);
    void CleanUp();
    void ParseAnimations(TovarMD23DModel* pModel);
    float ReturnCurrentTime(TovarMD23DModel* Model, int NextFrame);
    void BindModelTexture(TovarTexture* Tex);
    void DumpFrames(const char* DumpFileName) const;
    void DrawFrames(TovarMD23DModel* Model, const TovarMD2Pose& Pose) const;

    TovarMD2Data m_Data;   // the file being imported; empty between imports
    std::string m_Refusal; // why the last import was refused; empty after a success
    bool m_CullBackFaces = false;
};

} // namespace TovarToolkit
