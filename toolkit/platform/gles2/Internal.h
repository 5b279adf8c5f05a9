#pragma once

// The layer's state, shared by its units. Nothing outside
// toolkit/platform/gles2/ includes this.

#include "toolkit/platform/gles2/Layer.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace TovarGLES2 {

// Column-major, as GL keeps it.
struct Matrix {
    float m[16];
};

Matrix IdentityMatrix();
// a x b, summed in the order a desktop GL sums, so that the same calls give
// the same floats.
Matrix Multiply(const Matrix& a, const Matrix& b);
bool IsIdentity(const Matrix& a);

// ---- GL state, in the groups glPushAttrib saves ----------------------------------

struct CurrentState { // GL_CURRENT_BIT
    float color[4] = {1, 1, 1, 1};
    float texCoord[4] = {0, 0, 0, 1};
    float normal[3] = {0, 0, 1};
};

struct EnableState { // GL_ENABLE_BIT
    bool texture2D = false, blend = false, depthTest = false, cullFace = false, alphaTest = false;
    bool texGenS = false, texGenT = false, normalize = false, polygonSmooth = false, dither = true;
    std::map<GLenum, bool> others; // caps outside the subset, kept only to be reported back
};

struct ColorState { // GL_COLOR_BUFFER_BIT
    GLenum blendSrc = GL_ONE, blendDst = GL_ZERO;
    GLenum alphaFunc = GL_ALWAYS;
    float alphaRef = 0.0f;
    float clearColor[4] = {0, 0, 0, 0};
    bool colorMask[4] = {true, true, true, true};
};

struct DepthState { // GL_DEPTH_BUFFER_BIT
    GLenum func = GL_LESS;
    bool mask = true;
    float clear = 1.0f;
};

struct PolygonState { // GL_POLYGON_BIT
    GLenum cullFace = GL_BACK, frontFace = GL_CCW;
};

struct TextureState { // GL_TEXTURE_BIT
    GLuint binding = 0; // the caller's name
    GLenum genModeS = GL_EYE_LINEAR, genModeT = GL_EYE_LINEAR;
};

struct ViewportState { // GL_VIEWPORT_BIT
    GLint viewport[4] = {0, 0, 0, 0};
    float depthRange[2] = {0, 1};
};

struct Attributes {
    CurrentState current;
    EnableState enable;
    ColorState color;
    DepthState depth;
    PolygonState polygon;
    TextureState texture;
    ViewportState viewport;
    GLenum matrixMode = GL_MODELVIEW; // GL_TRANSFORM_BIT
    GLuint listBase = 0;              // GL_LIST_BIT
};

struct ClientArray {
    bool enabled = false;
    GLint size = 4;
    GLenum type = GL_FLOAT;
    GLsizei stride = 0;
    const void* pointer = nullptr;
};

struct ClientState {
    ClientArray vertex, color, texCoord, normal;
    GLint packAlignment = 4, unpackAlignment = 4;
};

// A texture: the caller's name stands for one of the context's.
struct Texture {
    GLuint real = 0;
    GLsizei width = 0, height = 0; // of level 0; 0 while it has no image
    GLenum format = 0;
    GLenum minFilter = GL_NEAREST_MIPMAP_LINEAR, magFilter = GL_LINEAR, wrapS = GL_REPEAT, wrapT = GL_REPEAT;
};

// ---- What is drawn ---------------------------------------------------------------

// A vertex as given: object space, with the current colour, texture
// coordinates and normal at the time.
struct SourceVertex {
    float position[4];
    float color[4];
    float texCoord[4];
    float normal[3];
};

// A vertex of the frame's stream: clip space, a 16-bit colour (8 bits would
// round a colour such as 0.7 differently from a desktop GL), and texture
// coordinates. 32 bytes.
struct StreamVertex {
    float position[4];
    std::uint16_t color[4];
    float texCoord[2];
};

// What decides whether two runs of primitives can be one draw.
struct DrawState {
    std::uint32_t program = 0; // a key of ProgramKey bits
    GLuint texture = 0;        // the context's name; 0 untextured
    GLenum blendSrc = 0, blendDst = 0, depthFunc = 0, cullFace = 0, frontFace = 0;
    float alphaRef = 0.0f;
    bool blend = false, depthTest = false, depthMask = false, cull = false;
    std::uint8_t colorMask = 0xF;

    bool operator==(const DrawState& o) const
    {
        return program == o.program && texture == o.texture && blend == o.blend && depthTest == o.depthTest
            && depthMask == o.depthMask && cull == o.cull && colorMask == o.colorMask
            && (!blend || (blendSrc == o.blendSrc && blendDst == o.blendDst)) && (!depthTest || depthFunc == o.depthFunc)
            && (!cull || (cullFace == o.cullFace && frontFace == o.frontFace)) && alphaRef == o.alphaRef;
    }
    bool operator!=(const DrawState& o) const { return !(*this == o); }
};

enum ProgramKey : std::uint32_t {
    kTextured = 1,      // modulated by the bound texture
    kAlphaTexture = 2,  // an alpha-only texture: colour from the vertex, alpha from both
    kTransformed = 4,   // positions in object space, multiplied by a matrix in the shader
    kInstanced = 8,     // that matrix an attribute, one per instance
    kAlphaTestShift = 4 // 3 bits: the alpha function less GL_NEVER, plus 1; 0 without the test
};

// A buffer that keeps what it holds, so that the same bytes are not sent
// twice: the client's arrays of a draw are compared with it byte for byte.
struct CachedBuffer {
    GLuint buffer = 0;
    std::vector<unsigned char> bytes;
    std::uint64_t lastUse = 0;
    std::uint64_t flushUsed = 0; // the flush whose commands draw from it
};

// One attribute of an array draw: which cached buffer, in which format.
struct ArraySource {
    int cache = -1; // -1: the attribute takes a constant
    GLint size = 0;
    GLenum type = 0;
};

struct Command {
    DrawState state;
    GLenum primitive = GL_TRIANGLES;
    GLint first = 0; // stream: the first vertex
    GLsizei count = 0;
    bool arrays = false;
    // Array draws only:
    ArraySource position, color, texCoord;
    int elements = -1; // the cached index buffer; -1 draws the arrays in order
    GLenum indexType = 0;
    float mvp[16];
    float constantColor[4];
    float constantTexCoord[2];
    // Set when sent: this and the next instances - 1 commands go as one
    // instanced draw, their matrices from instanceFirst on.
    GLsizei instances = 1;
    std::size_t instanceFirst = 0;
};

struct Program {
    GLuint program = 0;
    GLint mvp = -1, alphaRef = -1, sampler = -1;
    float lastMvp[16];
    bool mvpSet = false;
    float lastAlphaRef = -1.0f;
    bool failed = false;
};

// The state of the real context as last set, so that nothing is sent twice.
struct RealState {
    GLuint program = 0, texture = 0, arrayBuffer = 0, elementBuffer = 0;
    bool blend = false, depthTest = false, depthMask = true, cull = false;
    GLenum blendSrc = GL_ONE, blendDst = GL_ZERO, depthFunc = GL_LESS, cullFace = GL_BACK, frontFace = GL_CCW;
    std::uint8_t colorMask = 0xF;
    static const int kAttributes = 7; // position, colour, coordinates, four matrix columns
    bool attribEnabled[kAttributes] = {};
    GLuint divisor[kAttributes] = {};
    // What each attribute points at: a buffer, a format and an offset.
    struct Pointer {
        GLuint buffer = 0;
        GLint size = 0;
        GLenum type = 0;
        GLsizei stride = 0;
        std::size_t offset = 0;
    } pointer[kAttributes];
    float constant[kAttributes][4];
    bool constantSet[kAttributes] = {};
    GLint viewport[4] = {0, 0, 0, 0};
    float depthRange[2] = {0, 1};
    float clearColor[4] = {0, 0, 0, 0};
    float clearDepth = 1.0f;
    GLint packAlignment = 4, unpackAlignment = 4;
};

// A display list: its steps, and its vertices already in triangles, lines
// or points, in object space.
struct ListStep {
    enum Kind {
        Draw, Color, TexCoord, Normal, Translate, Rotate, Scale, MultMatrix, LoadIdentity, PushMatrix,
        PopMatrix, MatrixMode, CallList, ListBase, Enable, Disable, BindTexture, BlendFunc
    } kind;
    GLenum primitive = 0; // Draw
    std::uint32_t first = 0, count = 0;
    float v[16] = {};     // the arguments
    GLenum e[2] = {0, 0};
    GLuint name = 0;
};

struct ListVertex {
    SourceVertex v;
    bool ownColor, ownTexCoord, ownNormal; // set inside the list; else the current one at replay
};

struct List {
    std::vector<ListStep> steps;
    std::vector<ListVertex> vertices;
};

struct MatrixStack {
    std::vector<Matrix> stack; // back() is the top
    std::size_t depth;
    explicit MatrixStack(std::size_t d) : stack(1, IdentityMatrix()), depth(d) {}
    Matrix& Top() { return stack.back(); }
};

struct Layer {
    Functions gl;
    bool started = false;
    Attributes attrib;
    std::vector<std::pair<GLbitfield, Attributes>> attribStack;
    ClientState client;
    GLenum error = GL_NO_ERROR;

    MatrixStack modelview{32}, projection{32}, texture{32};
    bool mvpValid = false;
    Matrix mvp; // projection x modelview, as last worked out

    std::map<GLuint, Texture> textures;
    GLuint nextTexture = 1;

    // Immediate mode.
    bool inBegin = false;
    GLenum beginMode = 0;
    std::vector<SourceVertex> primitive;
    std::vector<std::uint8_t> primitiveOwn; // while compiling: bits 1, 2, 4 for colour, coordinates, normal set by the list

    // Display lists.
    std::map<GLuint, std::unique_ptr<List>> lists;
    GLuint highestList = 0; // the highest name glGenLists has handed out
    bool compiling = false, compileAndExecute = false;
    GLuint compilingName = 0;
    std::unique_ptr<List> compiled;
    bool listColor = false, listTexCoord = false, listNormal = false;
    CurrentState compileCurrent; // what the list's own calls have set so far
    int replayDepth = 0;

    // The frame.
    std::vector<StreamVertex> stream;
    std::vector<Command> commands;
    bool drawStateValid = false;
    DrawState drawState;

    // The context's objects and state.
    RealState real;
    std::map<std::uint32_t, Program> programs;
    GLuint streamBuffer = 0;
    std::vector<unsigned char> uploaded; // what the stream buffer holds
    GLuint instanceBuffer = 0;
    std::vector<float> instances; // the matrices of this flush's instanced draws
    std::vector<unsigned char> instancesUploaded;
    std::vector<CachedBuffer> arrayCache, elementCache;
    std::uint64_t useClock = 0, flushes = 0;
    std::vector<unsigned char> scratch;
    std::vector<std::uint32_t> order;
    std::set<std::string> told; // what Unsupported has said
};

Layer& L();

// ---- Shared steps ----------------------------------------------------------------

void SetError(GLenum error);
// One line on standard error the first time `what` is asked for.
void Unsupported(const char* what);
void UnsupportedEnum(const char* call, GLenum value);

Matrix& CurrentMatrix();
const Matrix& ModelViewProjection();
void MatrixChanged();

// The state a draw made now would be drawn with.
const DrawState& CurrentDrawState();
void DrawStateChanged();

// Appends primitives to the frame's stream (or to the list being compiled):
// `mode` as glBegin takes it, the vertices as given.
void EmitPrimitive(GLenum mode, const SourceVertex* vertices, std::size_t count);
// Writes vertices already in primitive order (triangles, lines, points) to
// the stream, transformed with the current matrices.
void AppendToStream(GLenum primitive, const SourceVertex* vertices, const std::uint32_t* order, std::size_t count);
// Records an array draw from buffers; see Arrays.cpp.
void AppendCommand(const Command& command);

// Whether a vertex of `mode` primitives can go to the stream merged with
// others: GL_TRIANGLES, GL_LINES or GL_POINTS for what `mode` makes.
GLenum PrimitiveClass(GLenum mode);
// The order in which `count` vertices of `mode` make the primitives of its
// class; false for an unknown mode.
bool PrimitiveOrder(GLenum mode, std::size_t count, std::vector<std::uint32_t>& order);

bool ListCompiling();
// A list step of `kind` naming a list or a texture, or carrying two enums.
ListStep MakeStep(ListStep::Kind kind, GLuint name, GLenum e0 = 0, GLenum e1 = 0);
// While a list is compiled, a call goes into it as `step`; true when that is
// all the call does (GL_COMPILE).
bool Recorded(const ListStep& step);
// Replays a list: false when it does not exist.
bool ReplayList(GLuint name);

// Sends the recorded frame when a change cannot wait for it (a texture
// replaced, the viewport moved, pixels read).
void FlushIfPending();
// The caller's texture of that name; null if there is none.
const Texture* FindTexture(GLuint name);

bool Live(); // a context is bound: real GL calls may be made

// Equal bytes, compared a machine word at a time.
bool SameBytes(const void* a, const void* b, std::size_t n);
// Binds a buffer of the context unless it is bound already.
void BindRealBuffer(GLenum target, GLuint buffer);
// Binds a texture of the context unless it is bound already.
void BindRealTexture(GLuint texture);
void RealPixelStore(GLenum pname, GLint value);

} // namespace TovarGLES2
