// The scenes of Scenes.h; SCENES is DesktopGL or LayerGL.

#include "gl_layer/Scenes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

namespace SCENES {

namespace {

void Reset(float r = 0.2f, float g = 0.3f, float b = 0.4f)
{
    for (GLenum cap : {GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_ALPHA_TEST})
        glDisable(cap);
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 800.0 / 600.0, 0.1, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(1.5, 2.0, 6.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glColor4f(1, 1, 1, 1);
    glDepthFunc(GL_LEQUAL);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// A texture of w x h with `n` components, each pixel from its place.
GLuint MakeTexture(int w, int h, GLenum format, int n, bool mipmaps, unsigned seed)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(w * h * n));
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>((i * seed + (i / n / w) * 37 + (i % n) * 91) * 2654435761u >> 24);
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmaps ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    if (mipmaps)
        gluBuild2DMipmaps(GL_TEXTURE_2D, format, w, h, format, GL_UNSIGNED_BYTE, pixels.data());
    else
        glTexImage2D(GL_TEXTURE_2D, 0, format, w, h, 0, format, GL_UNSIGNED_BYTE, pixels.data());
    return id;
}

void Quad(float x, float y, float w, float h, float s = 1.0f, float t = 1.0f)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(x, y);
    glTexCoord2f(s, 0), glVertex2f(x + w, y);
    glTexCoord2f(s, t), glVertex2f(x + w, y + h);
    glTexCoord2f(0, t), glVertex2f(x, y + h);
    glEnd();
}

// Pixel coordinates: one unit a pixel, the origin at the lower left.
void Flat()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 800, 0, 600, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

} // namespace

void Immediate()
{
    Reset();
    glEnable(GL_DEPTH_TEST);
    glBegin(GL_TRIANGLES);
    glColor3f(1, 0, 0), glVertex3f(-1, -1, 0);
    glColor3f(0, 1, 0), glVertex3f(1, -1, 0.5f);
    glColor3f(0, 0, 1), glVertex3f(0, 1, -0.5f);
    glColor3ub(250, 200, 0), glVertex3d(-0.5, -0.2, 0.4), glVertex3d(1.5, 0.3, -0.3), glVertex3d(0.2, 1.2, 0.6);
    glEnd();
    glPushMatrix();
    glTranslatef(-2.2f, 0.2f, 0);
    glRotatef(30, 0, 1, 0);
    glScalef(0.8f, 1.2f, 1);
    glBegin(GL_QUADS);
    glColor4f(0.9f, 0.1f, 0.7f, 1), glVertex2f(-0.5f, -0.5f), glVertex2f(0.5f, -0.5f);
    glColor4f(0.1f, 0.9f, 0.7f, 1), glVertex2f(0.5f, 0.5f), glVertex2f(-0.5f, 0.5f);
    glEnd();
    glPopMatrix();
    glPushMatrix();
    glTranslated(2.2, -1.3, -1.0);
    glRotatef(-50, 1, 1, 0.3f);
    const GLenum modes[] = {GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN, GL_POLYGON, GL_QUAD_STRIP, GL_LINE_LOOP, GL_POINTS};
    for (int m = 0; m < 6; ++m) {
        glBegin(modes[m]);
        for (int i = 0; i < 7; ++i) {
            const float a = i * 0.9f;
            glColor3f(0.5f + 0.5f * std::sin(a + m), 0.5f + 0.5f * std::cos(a), m / 6.0f);
            // Apart, so that no depth test between them decides a pixel.
            const GLdouble v[3] = {0.5 * std::cos(a) + (m % 3) * 1.1 - 1.1, 0.5 * std::sin(a) + m / 3 * 1.1 - 0.6, 0.1 * i};
            glVertex3dv(v);
        }
        glEnd();
    }
    glPopMatrix();
    glBegin(GL_LINES);
    glColor3f(1, 1, 1), glVertex4f(-3, -2, 0, 1), glVertex4f(3, 2, 0, 2);
    glEnd();
    glBegin(GL_LINE_STRIP);
    glVertex3f(-3, 1.5f, 0), glVertex3f(-2, 2, 0), glVertex3f(-1, 1.6f, 0.3f);
    glEnd();
}

void Textures()
{
    Reset();
    const GLuint rgb = MakeTexture(64, 64, GL_RGB, 3, true, 7);
    const GLuint npot = MakeTexture(37, 21, GL_RGBA, 4, true, 11);
    const GLuint luminance = MakeTexture(16, 16, GL_LUMINANCE, 1, false, 5);
    const GLuint alpha = MakeTexture(8, 8, GL_ALPHA, 1, false, 3);
    glEnable(GL_TEXTURE_2D);
    // A floor into the distance, repeated, its far end from small levels.
    glBindTexture(GL_TEXTURE_2D, rgb);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex3f(-4, -1, 2);
    glTexCoord2f(6, 0), glVertex3f(4, -1, 2);
    glTexCoord2f(6, 30), glVertex3f(4, -1, -60);
    glTexCoord2f(0, 30), glVertex3f(-4, -1, -60);
    glEnd();
    // Each level of both, drawn a texel a pixel.
    Flat();
    glBindTexture(GL_TEXTURE_2D, rgb);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
    for (int size = 64, x = 10; size >= 1; size /= 2, x += size + 4)
        Quad(static_cast<float>(x), 500, static_cast<float>(size), static_cast<float>(size));
    glBindTexture(GL_TEXTURE_2D, npot);
    for (int w = 32, h = 16, x = 10; w >= 1; w /= 2, h = h > 1 ? h / 2 : 1, x += w + 4)
        Quad(static_cast<float>(x), 440, static_cast<float>(w), static_cast<float>(h));
    glColor3f(1.0f, 0.6f, 0.2f);
    glBindTexture(GL_TEXTURE_2D, luminance);
    Quad(300, 420, 96, 96, 2, 2);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, alpha);
    Quad(350, 380, 80, 80);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    GLuint names[] = {rgb, npot, luminance, alpha};
    glDeleteTextures(4, names);
}

void Blending()
{
    Reset(0.7f, 0.7f, 1.0f);
    Flat();
    const GLuint texture = MakeTexture(32, 32, GL_RGBA, 4, false, 13);
    glColor3f(0.3f, 0.6f, 0.2f);
    Quad(0, 0, 800, 300);
    glEnable(GL_BLEND);
    // The game's shade, its bullets and crosshair, and adding light.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0, 0, 0, 0.7f);
    Quad(50, 50, 300, 400);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
    glColor4f(1, 1, 1, 1);
    Quad(200, 200, 128, 128);
    glBlendFunc(GL_ONE, GL_ONE);
    glColor4f(0.2f, 0.1f, 0.3f, 0.5f);
    Quad(400, 100, 128, 256, 2, 4);
    glDisable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glColor4f(1, 1, 1, 1);
    glAlphaFunc(GL_GREATER, 0.5f);
    Quad(560, 100, 128, 128);
    glAlphaFunc(GL_LEQUAL, 0.25f);
    Quad(560, 300, 128, 128);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &texture);
}

void Culling()
{
    Reset();
    Flat();
    struct Setting {
        bool cull;
        GLenum face, front;
    } settings[] = {{false, GL_BACK, GL_CCW}, {true, GL_BACK, GL_CCW}, {true, GL_FRONT, GL_CCW},
                    {true, GL_BACK, GL_CW},   {true, GL_FRONT_AND_BACK, GL_CCW}};
    for (int s = 0; s < 5; ++s) {
        if (settings[s].cull)
            glEnable(GL_CULL_FACE);
        else
            glDisable(GL_CULL_FACE);
        glCullFace(settings[s].face);
        glFrontFace(settings[s].front);
        glBegin(GL_TRIANGLES);
        for (int t = 0; t < 4; ++t) {
            const float x = 20.0f + s * 150, y = 50.0f + t * 130;
            glColor3f(t % 2 ? 1.0f : 0.2f, 0.5f, t % 2 ? 0.2f : 1.0f);
            glVertex2f(x, y), glVertex2f(t % 2 ? x + 60 : x + 120, t % 2 ? y + 100 : y);
            glVertex2f(t % 2 ? x + 120 : x + 60, t % 2 ? y : y + 100);
        }
        glEnd();
    }
    glDisable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
}

std::vector<float> Lists()
{
    Reset();
    Flat();
    const GLuint texture = MakeTexture(16, 16, GL_RGB, 3, false, 17);
    const GLuint base = glGenLists(6);
    // "Glyphs": triangles, a fan and a loop, each with its advance.
    glNewList(base, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    glVertex3d(0, 0, 0), glVertex3d(30, 0, 0), glVertex3d(15, 45, 0);
    glEnd();
    glBegin(GL_TRIANGLES);
    glVertex3f(0, 48, 0), glVertex3f(30, 48, 0), glVertex3f(15, 60, 0);
    glEnd();
    glTranslatef(35, 0, 0);
    glEndList();
    glNewList(base + 1, GL_COMPILE);
    glBegin(GL_TRIANGLE_FAN);
    for (int i = 0; i < 8; ++i)
        glVertex2f(12 + 12 * std::cos(i * 0.8f), 20 + 18 * std::sin(i * 0.8f));
    glEnd();
    glBegin(GL_LINE_LOOP);
    glVertex2f(0, 0), glVertex2f(24, 5), glVertex2f(20, 40);
    glEnd();
    glTranslatef(30, 0, 0);
    glEndList();
    // Its own colour, texture and matrix steps, and a nested call.
    glNewList(base + 2, GL_COMPILE);
    glPushMatrix();
    glRotatef(20, 0, 0, 1);
    glColor3f(0.9f, 0.4f, 0.1f);
    glCallList(base);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(0, 0), glTexCoord2f(1, 0), glVertex2f(40, 0);
    glTexCoord2f(1, 1), glVertex2f(40, 40), glTexCoord2f(0, 1), glVertex2f(0, 40);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
    glTranslatef(50, 0, 0);
    glEndList();
    glNewList(base + 3, GL_COMPILE); // a space
    glTranslatef(20, 0, 0);
    glEndList();

    glTranslatef(20, 500, 0);
    glColor3ub(0, 250, 250);
    const unsigned char text[] = {0, 3, 1, 2, 0, 9, 1, 3, 0};
    glListBase(base + 4);
    glPushAttrib(GL_LIST_BIT);
    glListBase(base);
    glCallLists(sizeof text, GL_UNSIGNED_BYTE, text);
    glPopAttrib();
    glTranslatef(-300, -120, 0);
    const GLbyte second[] = {-4, -3, -2}; // under the restored base + 4: base to base + 2
    glCallLists(3, GL_BYTE, second);
    const GLubyte pairs[] = {0, 1, 0, 3, 0, 0};
    glListBase(base);
    glTranslatef(-150, -120, 0);
    glCallLists(3, GL_2_BYTES, pairs);
    // Compiled and run at once, calling through the base.
    glNewList(base + 5, GL_COMPILE_AND_EXECUTE);
    glTranslatef(0, -150, 0);
    glCallLists(2, GL_UNSIGNED_BYTE, text + 2);
    glEndList();
    glCallList(base + 5);
    std::vector<float> left(20);
    glGetFloatv(GL_MODELVIEW_MATRIX, left.data());
    glGetFloatv(GL_CURRENT_COLOR, left.data() + 16);
    glDeleteLists(base, 6);
    glDeleteTextures(1, &texture);
    return left;
}

std::vector<unsigned> ListNames()
{
    std::vector<unsigned> out;
    const GLuint a = glGenLists(3);
    out.push_back(glIsList(a + 2)), out.push_back(glIsList(a + 3));
    const GLuint b = glGenLists(2);
    glDeleteLists(a, 2);
    out.push_back(glIsList(a)), out.push_back(glIsList(a + 2));
    const GLuint c = glGenLists(2);
    out.push_back(b - a), out.push_back(c - a), out.push_back(glGenLists(0));
    glDeleteLists(a, 3), glDeleteLists(b, 2), glDeleteLists(c, 2);
    out.push_back(glIsList(b + 1));
    return out;
}

void Arrays()
{
    Reset();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    const GLuint texture = MakeTexture(32, 32, GL_RGB, 3, false, 19);
    glBindTexture(GL_TEXTURE_2D, texture);
    // A 20 x 20 grid, indexed, textured: drawn from buffers.
    const int n = 20;
    std::vector<float> positions, coords;
    std::vector<GLushort> indices;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            positions.insert(positions.end(), {i / 19.0f - 0.5f, j / 19.0f - 0.5f, 0.1f * std::sin(i * 0.7f)});
            coords.insert(coords.end(), {i / 6.0f, j / 9.0f});
        }
    for (int j = 0; j + 1 < n; ++j)
        for (int i = 0; i + 1 < n; ++i) {
            const GLushort a = static_cast<GLushort>(j * n + i);
            indices.insert(indices.end(), {a, GLushort(a + 1), GLushort(a + n), GLushort(a + 1), GLushort(a + n + 1), GLushort(a + n)});
        }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    glTexCoordPointer(2, GL_FLOAT, 0, coords.data());
    for (int k = 0; k < 3; ++k) {
        glPushMatrix();
        glTranslatef(-1.5f + 1.5f * k, 0.8f, 0);
        glRotatef(25.0f * k, 0, 1, 0);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_SHORT, indices.data());
        glPopMatrix();
        // The same memory, new contents: the next draw must show them.
        for (size_t v = 2; v < positions.size(); v += 3)
            positions[v] = -positions[v] + 0.05f * k;
    }
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    // Interleaved position and colour, 8-bit indices, then a few quads.
    struct Vertex {
        float x, y;
        GLubyte rgba[4];
    } strip[100];
    GLubyte order[100];
    for (int i = 0; i < 100; ++i) {
        strip[i] = {-2.5f + i * 0.05f, -1.2f + (i % 2) * 0.4f,
                    {GLubyte(i * 2), GLubyte(255 - i * 2), GLubyte(i % 2 * 255), 255}};
        order[i] = static_cast<GLubyte>(i);
    }
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(Vertex), &strip[0].x);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(Vertex), strip[0].rgba);
    glDrawElements(GL_TRIANGLE_STRIP, 100, GL_UNSIGNED_BYTE, order);
    glTranslatef(0, -0.6f, 0);
    glDrawArrays(GL_QUADS, 10, 40);
    glDrawArrays(GL_LINE_STRIP, 0, 6);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDeleteTextures(1, &texture);
}

std::vector<float> Matrices()
{
    std::vector<float> out;
    auto take = [&out](GLenum which) {
        float m[16];
        glGetFloatv(which, m);
        out.insert(out.end(), m, m + 16);
    };
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 800.0 / 600.0, 0.1f, 10000.0f);
    take(GL_PROJECTION_MATRIX);
    glLoadIdentity();
    glFrustum(-1.3, 0.9, -0.7, 1.1, 0.5, 70);
    glOrtho(-3, 5, -2, 4, -1, 9);
    take(GL_PROJECTION_MATRIX);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(5.0, 4.0, 10.0, 0.0, 3.0, 0.0, 0.0, 0.1, 0.0);
    take(GL_MODELVIEW_MATRIX);
    glPushMatrix();
    glTranslatef(12.5f, -5.0f, 131.0f);
    glScalef(0.1f, 0.1f, 0.1f);
    const float axes[4][3] = {{0, 1, 0}, {0, 0, -1}, {1, 0, 0}, {0.3f, -2.0f, 0.7f}};
    for (const float* axis : axes) {
        glRotatef(-90.0f + axis[1] * 17.0f, axis[0], axis[1], axis[2]);
        take(GL_MODELVIEW_MATRIX);
    }
    const GLdouble m[16] = {1, 0.5, 0, 0, 0, 1, 0.25, 0, 0.1, 0, 1, 0, 3, 4, 5, 1};
    glMultMatrixd(m);
    take(GL_MODELVIEW_MATRIX);
    glPopMatrix();
    take(GL_MODELVIEW_MATRIX);
    glLoadIdentity();
    glScaled(0.0025, 0.0025, 0.0025);
    glTranslated(0.0, 0.0, -0.1001);
    take(GL_MODELVIEW_MATRIX);
    glPopMatrix(); // one too many
    out.push_back(static_cast<float>(glGetError()));
    glMatrixMode(GL_PROJECTION);
    for (int i = 0; i < 40; ++i)
        glPushMatrix();
    out.push_back(static_cast<float>(glGetError()));
    for (int i = 0; i < 40; ++i)
        glPopMatrix();
    glGetError();
    glMatrixMode(GL_MODELVIEW);
    return out;
}

void Frame(float pose, float eye)
{
    // The model's arrays live on from frame to frame, at the same addresses,
    // as the game's do.
    static std::vector<float> positions, coords;
    static std::vector<GLushort> indices;
    const GLuint floor = MakeTexture(64, 64, GL_RGB, 3, true, 23);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR); // as the game's textures
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    const GLuint skin = MakeTexture(32, 32, GL_RGB, 3, true, 29);
    const GLuint cross = MakeTexture(16, 16, GL_RGB, 3, true, 31);
    const GLuint glyphs = glGenLists(2);
    for (int g = 0; g < 2; ++g) {
        glNewList(glyphs + g, GL_COMPILE);
        glBegin(GL_TRIANGLES);
        for (int t = 0; t < 20; ++t)
            glVertex3f(t * 0.1f, 0.3f * (g + t % 3), 0), glVertex3f(t * 0.1f + 0.08f, 0, 0), glVertex3f(t * 0.1f, 0.6f, 0);
        glEnd();
        glTranslatef(2.5f, 0, 0);
        glEndList();
    }
    if (positions.empty()) {
        // A "creature": a tube of 30 rings of 10.
        for (int i = 0; i < 300; ++i) {
            positions.insert(positions.end(), {std::cos(i % 10 * 0.628f), i / 10 * 0.07f, std::sin(i % 10 * 0.628f)});
            coords.insert(coords.end(), {(i % 10) / 9.0f, (i / 10) / 29.0f});
        }
        for (int a = 0; a < 290; ++a)
            if (a % 10 < 9)
                indices.insert(indices.end(), {GLushort(a), GLushort(a + 1), GLushort(a + 10), GLushort(a + 1),
                                               GLushort(a + 11), GLushort(a + 10)});
    }
    for (size_t i = 0; i < positions.size(); i += 3)
        positions[i + 1] = (i / 30) * 0.07f + pose * std::sin(i * 0.01f);
    Reset(0.7f, 0.7f, 1.0f);
    glLoadIdentity();
    gluLookAt(eye, 4, 10, 0, 3, 0, 0, 0.1f, 0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, floor);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex3f(-500, -5, -500), glTexCoord2f(0, 50), glVertex3f(-500, -5, 500);
    glTexCoord2f(50, 50), glVertex3f(500, -5, 500), glTexCoord2f(50, 0), glVertex3f(500, -5, -500);
    glEnd();
    glBindTexture(GL_TEXTURE_2D, skin);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    glTexCoordPointer(2, GL_FLOAT, 0, coords.data());
    for (int c = 0; c < 5; ++c) {
        glPushMatrix();
        glTranslatef(-8.0f + 4 * c, 0, -15.0f - 3 * c);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_SHORT, indices.data());
        glPopMatrix();
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(0.0, 0.0, -0.1001);
    glScalef(0.0025f, 0.0025f, 0.0025f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, cross);
    Quad(-1, -1, 2, 2);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glLoadIdentity();
    glScalef(0.008f, 0.008f, 0.008f);
    glColor3ub(0, 250, 250);
    const unsigned char text[] = {0, 1, 1, 0, 1};
    for (int line = 0; line < 6; ++line) {
        glPushMatrix();
        glTranslatef(-10, 10.0f - 3.3f * line, -31);
        glListBase(glyphs);
        glCallLists(sizeof text, GL_UNSIGNED_BYTE, text);
        glPopMatrix();
    }
    glColor4f(1, 1, 1, 1);
    glPopMatrix();
    glFlush();
    const GLuint textures[] = {floor, skin, cross};
    glDeleteTextures(3, textures);
    glDeleteLists(glyphs, 2);
}

void Text(GLuint base)
{
    Reset(0, 0, 0);
    glColor3ub(0, 250, 250);
    // Every printable code, and a few big.
    for (int line = 0; line < 7; ++line) {
        std::string text = "Qg@&8%";
        for (int c = 32 + 38 * line; line < 6 && c < std::min(255, 70 + 38 * line); ++c)
            text += static_cast<char>(c);
        const bool big = line == 6;
        glLoadIdentity();
        glScalef(0.008f, 0.008f, 0.008f);
        glTranslatef(-16.0f, big ? -11.5f : 10.0f - 3.3f * line, -31.0f);
        if (big)
            glScalef(2.5f, 2.5f, 2.5f);
        glListBase(base);
        glCallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.data());
    }
    glFlush();
}

std::vector<unsigned char> Read(int x, int y, int w, int h, GLenum format, int alignment)
{
    const int n = format == GL_RGB ? 3 : 4;
    const int row = (w * n + alignment - 1) / alignment * alignment;
    std::vector<unsigned char> pixels(static_cast<size_t>(row * h + 16), 0xAB);
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glReadPixels(x, y, w, h, format, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return pixels;
}

} // namespace SCENES
