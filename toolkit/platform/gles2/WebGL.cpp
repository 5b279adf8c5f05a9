// The layer's table of GLES2 entry points in the browser: Emscripten's own
// WebGL calls under their emscripten_gl* names, which stay apart from the
// layer's GL 1.x names.

#include <webgl/webgl1.h>

#include "toolkit/platform/gles2/Layer.h"

namespace TovarGLES2 {

const Functions& WebGLFunctions()
{
    static const Functions table = [] {
        Functions f;
#define TOVAR_GLES2_WEBGL(ret, name, params) f.name = emscripten_gl##name;
        TOVAR_GLES2_FUNCTIONS(TOVAR_GLES2_WEBGL)
#undef TOVAR_GLES2_WEBGL
        return f;
    }();
    return table;
}

} // namespace TovarGLES2
