// The layer's table of GLES2 entry points in the browser: Emscripten's own
// WebGL calls under their emscripten_gl* names, which stay apart from the
// layer's GL 1.x names.

#include <webgl/webgl1.h>
#include <webgl/webgl1_ext.h>

#include "toolkit/platform/gles2/Layer.h"

namespace TovarGLES2 {

Functions WebGLFunctions(bool instancing)
{
    Functions f;
#define TOVAR_GLES2_WEBGL(ret, name, params) f.name = emscripten_gl##name;
    TOVAR_GLES2_FUNCTIONS(TOVAR_GLES2_WEBGL)
#undef TOVAR_GLES2_WEBGL
    if (instancing) {
        // The extension takes the index offset as a number.
        f.DrawElementsInstanced = [](GLenum mode, GLsizei count, GLenum type, const void* indices, GLsizei n) {
            emscripten_glDrawElementsInstancedANGLE(mode, count, type, reinterpret_cast<GLintptr>(indices), n);
        };
        f.DrawArraysInstanced = emscripten_glDrawArraysInstancedANGLE;
        f.VertexAttribDivisor = emscripten_glVertexAttribDivisorANGLE;
    }
    return f;
}

} // namespace TovarGLES2
