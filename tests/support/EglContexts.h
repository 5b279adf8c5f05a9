#pragma once

// Two contexts of Mesa's EGL on its surfaceless platform, each drawing into
// an 800 x 600 pbuffer of the same 8-bit RGBA, 24-bit depth format: one with
// the desktop's GL 1.x, one with OpenGL ES 2 for the browser's fixed-function
// layer. No display needed. The layer's GLES2 calls are counted.

#include "toolkit/platform/gles2/Layer.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <vector>

struct GLES2Counts {
    int draws = 0, uploads = 0, switches = 0; // switches: capabilities turned on or off
    long uploadBytes = 0;
};

class EglContexts {
public:
    static const int kWidth = 800, kHeight = 600;

    // Null where the machine has no surfaceless EGL with both APIs.
    static EglContexts* Open()
    {
        static EglContexts* contexts = [] {
            EglContexts* c = new EglContexts;
            if (!c->Init()) {
                delete c;
                c = nullptr;
            }
            return c;
        }();
        return contexts;
    }

    void MakeDesktopCurrent() { Current(EGL_OPENGL_API, desktopSurface_, desktop_); }
    void MakeLayerCurrent() { Current(EGL_OPENGL_ES_API, layerSurface_, layer_); }

    // The layer bound afresh to its context, every GL state at its initial
    // value; with or without instanced drawing.
    bool StartLayer(bool instancing = true)
    {
        MakeLayerCurrent();
        Counts() = GLES2Counts();
        TovarGLES2::Functions f = functions_;
        if (!instancing)
            f.DrawElementsInstanced = nullptr, f.DrawArraysInstanced = nullptr, f.VertexAttribDivisor = nullptr;
        return TovarGLES2::Start(f, kWidth, kHeight);
    }

    static GLES2Counts& Counts()
    {
        static GLES2Counts counts;
        return counts;
    }

private:
    bool Init()
    {
        auto platformDisplay =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (!platformDisplay)
            return false;
        display_ = platformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        EGLint major = 0, minor = 0;
        if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, &major, &minor))
            return false;
        const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT | EGL_OPENGL_ES2_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8,
                                 EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8, EGL_DEPTH_SIZE, 24, EGL_NONE};
        EGLConfig configs[64];
        EGLint count = 0;
        eglChooseConfig(display_, wanted, configs, 64, &count);
        // Exactly 8 bits a channel: the list starts with deeper ones.
        EGLConfig config = nullptr;
        for (EGLint i = 0; i < count && !config; ++i) {
            EGLint red = 0, depth = 0;
            eglGetConfigAttrib(display_, configs[i], EGL_RED_SIZE, &red);
            eglGetConfigAttrib(display_, configs[i], EGL_DEPTH_SIZE, &depth);
            if (red == 8 && depth == 24)
                config = configs[i];
        }
        if (!config)
            return false;
        const EGLint size[] = {EGL_WIDTH, kWidth, EGL_HEIGHT, kHeight, EGL_NONE};
        desktopSurface_ = eglCreatePbufferSurface(display_, config, size);
        layerSurface_ = eglCreatePbufferSurface(display_, config, size);
        eglBindAPI(EGL_OPENGL_API);
        desktop_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, nullptr);
        eglBindAPI(EGL_OPENGL_ES_API);
        const EGLint es2[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
        layer_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, es2);
        if (!desktopSurface_ || !layerSurface_ || !desktop_ || !layer_)
            return false;
        MakeLayerCurrent();
#define TOVAR_TEST_EGL_LOAD(ret, name, params) \
    functions_.name = reinterpret_cast<ret(*) params>(eglGetProcAddress("gl" #name));
        TOVAR_GLES2_FUNCTIONS(TOVAR_TEST_EGL_LOAD)
#undef TOVAR_TEST_EGL_LOAD
        functions_.DrawElementsInstanced = reinterpret_cast<decltype(functions_.DrawElementsInstanced)>(
            eglGetProcAddress("glDrawElementsInstanced"));
        functions_.DrawArraysInstanced =
            reinterpret_cast<decltype(functions_.DrawArraysInstanced)>(eglGetProcAddress("glDrawArraysInstanced"));
        functions_.VertexAttribDivisor =
            reinterpret_cast<decltype(functions_.VertexAttribDivisor)>(eglGetProcAddress("glVertexAttribDivisor"));
        real_ = functions_;
        functions_.DrawArrays = [](GLenum mode, GLint first, GLsizei count) {
            ++Counts().draws;
            real_.DrawArrays(mode, first, count);
        };
        functions_.DrawElements = [](GLenum mode, GLsizei count, GLenum type, const void* indices) {
            ++Counts().draws;
            real_.DrawElements(mode, count, type, indices);
        };
        functions_.DrawElementsInstanced = [](GLenum mode, GLsizei count, GLenum type, const void* indices,
                                              GLsizei instances) {
            ++Counts().draws;
            real_.DrawElementsInstanced(mode, count, type, indices, instances);
        };
        functions_.BufferData = [](GLenum target, GLsizeiptr size, const void* data, GLenum usage) {
            ++Counts().uploads;
            Counts().uploadBytes += data ? size : 0;
            real_.BufferData(target, size, data, usage);
        };
        functions_.BufferSubData = [](GLenum target, GLintptr offset, GLsizeiptr size, const void* data) {
            ++Counts().uploads;
            Counts().uploadBytes += size;
            real_.BufferSubData(target, offset, size, data);
        };
        functions_.Enable = [](GLenum cap) {
            ++Counts().switches;
            real_.Enable(cap);
        };
        functions_.Disable = [](GLenum cap) {
            ++Counts().switches;
            real_.Disable(cap);
        };
        return true;
    }

    void Current(EGLenum api, EGLSurface surface, EGLContext context)
    {
        eglBindAPI(api);
        eglMakeCurrent(display_, surface, surface, context);
    }

    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLSurface desktopSurface_ = EGL_NO_SURFACE, layerSurface_ = EGL_NO_SURFACE;
    EGLContext desktop_ = EGL_NO_CONTEXT, layer_ = EGL_NO_CONTEXT;
    TovarGLES2::Functions functions_;
    static inline TovarGLES2::Functions real_;
};
