#pragma once

// GL 1.x scenes written once and built twice (tests/CMakeLists.txt): in
// namespace DesktopGL against the desktop's own GL, in LayerGL against the
// browser's fixed-function layer, its names renamed. Each scene sets every
// state it uses and draws into the current 800 x 600 context.

#include "toolkit/platform/GL.h"

#include <vector>

#define TOVAR_SCENES(ns)                                                                                     \
    namespace ns {                                                                                           \
    void Immediate();                                                                                        \
    void Textures();                                                                                         \
    void Blending();                                                                                         \
    void Culling();                                                                                          \
    /* Lists, nested and called through a base; returns the modelview and colour left behind. */            \
    std::vector<float> Lists();                                                                              \
    /* What glGenLists, glIsList and glDeleteLists answer in turn. */                                        \
    std::vector<unsigned> ListNames();                                                                       \
    void Arrays();                                                                                           \
    /* The matrices each step leaves, one after the other, and the errors. */                                \
    std::vector<float> Matrices();                                                                           \
    /* A frame like the game's: floor, creatures from arrays (posed by `pose`), crosshair, text in lists; */ \
    /* `eye` moves the camera. */                                                                            \
    void Frame(float pose, float eye);                                                                       \
    /* Lines of text from a font's lists at `base`, in the HUD's scale and depth, then a few big. */       \
    void Text(GLuint base);                                                                                  \
    /* Pixels as glReadPixels gives them, into a buffer filled with 0xAB first. */                           \
    std::vector<unsigned char> Read(int x, int y, int w, int h, GLenum format, int alignment);               \
    }

TOVAR_SCENES(DesktopGL)
TOVAR_SCENES(LayerGL)
