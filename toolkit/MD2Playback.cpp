// MD2 playback: the shared animation clock, stepping and switching
// animations, and drawing a pose from vertex arrays, with the back faces of
// a closed model left out where that uncovers nothing.

#include "toolkit/MD2.h"

#include "toolkit/Frustum.h"
#include "toolkit/platform/GL.h"

#include <cstring>
#include <map>
#include <utility>

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
// coordinate) pair, the triangles as indices into them. 16-bit indices, since
// some GL implementations draw nothing from 32-bit ones: the decoder's limit
// of 4096 faces makes at most 12288 entries, but a model filled in by hand
// may need more. Such a model is refused (left empty, so drawn as nothing)
// rather than drawn with indices wrapped onto the wrong corners.
const size_t kMaxEntries = 65536;

void BuildCorners(TovarMD2DrawArrays& arrays, const TovarMD23DObject& first, int faces)
{
    arrays.vertexOf.clear();
    arrays.texCoords.clear();
    arrays.indices.clear();
    arrays.positions.clear();
    arrays.posed = false;
    ++arrays.builds;
    const TovarVector2f* tex = first.pTexVerts;
    std::map<std::pair<int, int>, unsigned short> entries;
    // The decoder checked every index against the model's counts.
    for (int f = 0; f < faces; ++f) {
        const TovarFace& face = first.pFaces[f];
        for (int c = 0; c < 3; ++c) {
            std::pair<int, int> key(face.vertIndex[c], tex ? face.coordIndex[c] : 0);
            auto found = entries.find(key);
            if (found == entries.end()) {
                if (arrays.vertexOf.size() == kMaxEntries) {
                    arrays.vertexOf.clear();
                    arrays.texCoords.clear();
                    arrays.indices.clear();
                    return;
                }
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
}

// ---- When back faces may be left out ----

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
    TovarFrustum view; // in model space
    view.FromMatrices(projection, modelview);
    if (!view.SphereBeyondNear(TovarVector3f(), reach))
        return false;
    // A projection's determinant is negative unless it mirrors.
    const bool mirrored = (Det4(modelview) < 0.0f) != (Det4(projection) > 0.0f);
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
