// Window class, window, GL context and buffer swap in the browser: the one
// window is the page's canvas, its context WebGL 1, and the GL 1.x calls
// are our own fixed-function layer's (toolkit/platform/gles2/).

#include "toolkit/platform/common/MessageQueue.h"
#include "toolkit/platform/gles2/Layer.h"
#include "toolkit/platform/web/Internal.h"

#include <emscripten.h>


namespace {

HWND g_window = nullptr;
HGLRC g_drawing = nullptr; // the context the GL layer draws into
double g_lastSwapMs = 0.0; // when the last SwapBuffers gave control back

// The page's own notice for a lost context, where the page has one.
EM_JS(void, tovar_graphics_lost, (), {
    if (Module['onGraphicsLost'])
        Module['onGraphicsLost']();
});

// The browser took the context away (the GPU was reset, or the page asked
// through WEBGL_lose_context). Nothing more can be drawn: the layer stops
// sending, the game is told its window closes, so that it ends as it would
// and writes its log, and the page says why. Consuming the event lets the
// browser restore a context, which a reload then uses.
EM_BOOL ContextLost(int, const void*, void*)
{
    TovarGLES2::Stop();
    g_drawing = nullptr;
    if (g_window)
        TovarCommon::Post(g_window, WM_CLOSE, 0, 0);
    tovar_graphics_lost();
    return EM_TRUE;
}

// A hidden page gets no animation frames: hiding it ends the wait too, so
// that the game sees it is away and waits with its clocks.
EM_ASYNC_JS(double, tovar_next_animation_frame, (), {
    return await new Promise(function(resolve) {
        if (document.hidden) {
            resolve(performance.now());
            return;
        }
        var done = false;
        function finish(time) {
            if (done)
                return;
            done = true;
            document.removeEventListener('visibilitychange', onHidden);
            resolve(time);
        }
        function onHidden() {
            if (document.hidden)
                finish(performance.now());
        }
        document.addEventListener('visibilitychange', onHidden);
        requestAnimationFrame(finish);
    });
});

// The page counts the frames shown and notes when the first one came, for
// its own use and for whoever measures it.
EM_JS(void, tovar_frame_presented, (), {
    if (!Module['framesPresented']) {
        Module['framesPresented'] = 0;
        Module['firstFrameAt'] = performance.now();
    }
    Module['framesPresented']++;
});

// A message to ourselves: the browser runs what is waiting (input, drawing
// the page) and comes back at once. A zero timeout would do the same but for
// the browser's rule that nested timeouts wait at least 4 ms.
EM_ASYNC_JS(void, tovar_yield, (), {
    await new Promise(function(resolve) {
        var channel = new MessageChannel();
        channel.port1.onmessage = function() { resolve(); };
        channel.port2.postMessage(0);
    });
});

} // namespace

namespace TovarWeb {

HWND CurrentWindow() { return g_window; }

double WaitForAnimationFrame() { return tovar_next_animation_frame(); }

} // namespace TovarWeb

HWND CreateWindowExA(DWORD, LPCSTR lpClassName, LPCSTR, DWORD, int, int, int nWidth, int nHeight, HWND,
                     HMENU, HINSTANCE, void*)
{
    // A page has one canvas: a second window has nowhere to go.
    WNDPROC proc = TovarCommon::ClassProcedure(lpClassName);
    if (g_window || !proc || nWidth <= 0 || nHeight <= 0)
        return nullptr;
    // The drawing buffer keeps the window's size; the page scales the canvas
    // to fit the screen.
    if (emscripten_set_canvas_element_size(TOVAR_WEB_CANVAS, nWidth, nHeight) != EMSCRIPTEN_RESULT_SUCCESS)
        return nullptr;

    HWND window = new HWND__;
    window->proc = proc;
    window->dc.window = window;
    window->width = nWidth;
    window->height = nHeight;
    g_window = window;
    TovarWeb::ListenForInput(true);
    return window;
}

BOOL ShowWindow(HWND hWnd, int) { return hWnd ? TRUE : FALSE; }
BOOL SetForegroundWindow(HWND hWnd) { return hWnd ? TRUE : FALSE; }
HWND SetFocus(HWND) { return nullptr; }

BOOL DestroyWindow(HWND hWnd)
{
    if (!hWnd || hWnd != g_window)
        return FALSE;
    TovarWeb::ListenForInput(false);
    TovarCommon::Forget(hWnd);
    TovarWeb::ResetCursor();
    g_window = nullptr;
    delete hWnd;
    return TRUE;
}

// The page decides the display mode; a program cannot change it.
LONG ChangeDisplaySettingsA(DEVMODEA* lpDevMode, DWORD)
{
    return lpDevMode ? DISP_CHANGE_FAILED : DISP_CHANGE_SUCCESSFUL;
}

HDC GetDC(HWND hWnd) { return hWnd ? &hWnd->dc : nullptr; }

int ReleaseDC(HWND hWnd, HDC hDC) { return hWnd && hDC == &hWnd->dc ? 1 : 0; }

HGLRC wglCreateContext(HDC hdc)
{
    if (!hdc || hdc->pixelFormat == 0)
        return nullptr;
    const PIXELFORMATDESCRIPTOR& pfd = hdc->pfd;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // Opaque: with alpha the page would show through every blended pixel.
    attributes.alpha = pfd.cAlphaBits > 0;
    attributes.depth = pfd.cDepthBits > 0;
    attributes.stencil = pfd.cStencilBits > 0;
    attributes.antialias = false; // the desktop context has no multisampling either
    attributes.majorVersion = 1;  // what the layer is written for
    attributes.minorVersion = 0;
    attributes.enableExtensionsByDefault = true;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(TOVAR_WEB_CANVAS, &attributes);
    if (context <= 0)
        return nullptr;
    emscripten_set_webglcontextlost_callback(TOVAR_WEB_CANVAS, nullptr, EM_FALSE, ContextLost);
    HGLRC rc = new HGLRC__;
    rc->context = context;
    rc->window = hdc->window;
    return rc;
}

BOOL wglMakeCurrent(HDC hdc, HGLRC hglrc)
{
    if (!hglrc)
        return emscripten_webgl_make_context_current(0) == EMSCRIPTEN_RESULT_SUCCESS ? TRUE : FALSE;
    if (!hdc || emscripten_webgl_make_context_current(hglrc->context) != EMSCRIPTEN_RESULT_SUCCESS)
        return FALSE;
    // The layer keeps its state while the same context comes back.
    if (g_drawing != hglrc) {
        // Emscripten turns an extension on for the current context only.
        hglrc->instancing = emscripten_webgl_enable_extension(hglrc->context, "ANGLE_instanced_arrays") == EM_TRUE;
        const HWND window = hglrc->window;
        if (!TovarGLES2::Start(TovarGLES2::WebGLFunctions(hglrc->instancing), window ? window->width : 0,
                               window ? window->height : 0))
            return FALSE;
        g_drawing = hglrc;
    }
    return TRUE;
}

BOOL wglDeleteContext(HGLRC hglrc)
{
    if (!hglrc)
        return FALSE;
    if (g_drawing == hglrc) {
        TovarGLES2::Stop();
        g_drawing = nullptr;
        emscripten_set_webglcontextlost_callback(TOVAR_WEB_CANVAS, nullptr, EM_FALSE, nullptr);
    }
    emscripten_webgl_destroy_context(hglrc->context);
    delete hglrc;
    return TRUE;
}

BOOL SwapBuffers(HDC hdc)
{
    if (!hdc)
        return FALSE;
    TovarGLES2::Flush();
    // The browser shows what was drawn once we give it control; with a swap
    // interval of n that is after n of its frames, with 0 at once. A frame
    // that took longer than those n refreshes has missed its turn already:
    // waiting for the next one would halve the rate of a page that draws a
    // little too slowly, where a desktop without vsync only slows down.
    tovar_frame_presented();
    TovarWeb::FrameShown();
    int frames = TovarWeb::SwapInterval();
    double period = TovarWeb::RefreshPeriodMs();
    if (frames > 0 && period > 0.0 && emscripten_get_now() - g_lastSwapMs > frames * period)
        frames = 0;
    if (frames <= 0)
        tovar_yield();
    for (int i = 0; i < frames; ++i)
        TovarWeb::WaitForAnimationFrame();
    g_lastSwapMs = emscripten_get_now();
    return TRUE;
}
