#include "game/main.h"

#include "toolkit/platform/GL.h"

#include <cstdio>
#include <string>

using namespace TovarToolkit;

// ---- Game state, with the values a fresh start has -----------------------------

int EnemyDamage = 50;
int EnemyWaitTimeToShoot = 100;
int PlayerHealth = 100;
int Winheight = 600;
int Winwidth = 800;
const char* Wintitle = "TovarToolkit Quellin";
float CameraSpeed = 0.5f;
bool UseCameraNewMovement = false;
bool fullscreen = false;
int player_score = 0;
int WaitTime = 0;
int EnemyShootWaitTime = 0;
int level = 0;
bool gameover = false;

// ---- Global objects; destroyed in reverse order, the log last -----------------

TovarLog TLog;
TovarFont Font;
TovarCamera Camera;
TovarTexture Crosshair;
TovarTexture Floor;
TovarTexture OgroSkin;
TovarTexture ParticleTex;
TovarMD2Loader MD2Load;
TovarMD23DModel OgroMDL;
TEntityList EnemyList;
TovarBoundingSphere PlayerBSphere;
BulletsList BList;

namespace {

const int kFramesPerSecond = 60;
const long long kWaitPieceMicro = 2000;

std::string Format(const char* format, const char* title, int width, int height, int bits, int full)
{
    int length = std::snprintf(nullptr, 0, format, title, width, height, bits, full);
    if (length < 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(&text[0], text.size(), format, title, width, height, bits, full);
    text.resize(static_cast<size_t>(length));
    return text;
}

// Why Init stopped, naming the file; the log keeps its own fixed lines, so
// this goes to standard error.
std::string g_initFailure;

bool LoadStartupImage(TovarTexture& texture, const char* file)
{
    if (texture.LoadBMPFile(file))
        return true;
    g_initFailure = texture.LastError();
    return false;
}

} // namespace

int Init()
{
    g_initFailure.clear();
    if (!LoadStartupImage(Crosshair, "Images\\crosshair.bmp"))
        return 0;
    if (!LoadStartupImage(Floor, "Images\\Floor.bmp"))
        return 0;
    if (!LoadStartupImage(ParticleTex, "Images\\Particle.bmp"))
        return 0;
    if (!LoadStartupImage(OgroSkin, "Models\\Ogro\\Skin.bmp"))
        return 0;
    if (!MD2Load.ImportMD2(&OgroMDL, "Models\\Ogro\\tris.md2", false, "")) {
        g_initFailure = MD2Load.LastError();
        return 0;
    }

    SetFixedGLState();
    Font.CreateGLFont("Comic Sans MS");

    PlaceCameraAtStart();

    EnemyList.Set(level * 5);
    ReBuildEnemyes();
    return 1;
}

void SetFixedGLState()
{
    glShadeModel(GL_SMOOTH);
    glClearColor(0.7f, 0.7f, 1.0f, 1.0f); // pale blue sky
    glClearDepth(1.0f);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_POLYGON_SMOOTH);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
}

void Update() { Camera.Update(); }

void PlaceCameraAtStart()
{
    // The up vector is short on purpose; everything that reads it normalises.
    Camera.PositionCamera(5, 4, 10, 0, 3, 0, 0, 0.1f, 0);
}

void RunFrame(bool draw)
{
    Camera.Update();
    if (!gameover)
        Camera.ViewByMouse(Winwidth, Winheight, 2.0f);
    if (draw)
        DrawGLScene();
    else
        StepGame();
    if (gameover)
        TovarPlatform::SetCursorVisible(true);
    if (draw)
        SwapBuffers(hdc);
    CheckKeys(); // acts on the state the next frame draws
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    TLog.Init("TovarToolkitLog.xml");
    TLog.WriteMsg("Configuring Window...", "SysMsg");
    TW.maxperspective = 10000.0f;
    TLog.WriteMsg(Format("Creating Window \"%s\" %ix%ix%ix%i", Wintitle, Winwidth, Winheight, 32,
                         fullscreen ? 1 : 0)
                      .c_str(),
                  "SysMsg");
    if (!TW.Create(Wintitle, Winwidth, Winheight, 16)) {
        std::fprintf(stderr, "Quellin cannot start: the %dx%d window cannot be made\n", Winwidth, Winheight);
        return 1;
    }

    TLog.WriteMsg("Initializing stuff...", "SysMsg");
    const bool started = Init() != 0;
    if (!started) {
        TLog.WriteMsg("Failed to initialize.", "SysErrMsg");
        std::fprintf(stderr, "Quellin cannot start: %s\n", g_initFailure.c_str());
        PostQuitMessage(0);
    }
    TLog.WriteMsg("Stuff initialized", "SysMsg");
    // After Init, so a failed start opens no device; the first wave comes
    // in silence, before the first frame.
    if (started)
        StartSounds();

    // Every rule counts frames, so the frame rate is the game's pace: 60 a
    // second on every display.
    ApplySwapIntervalFor(kFramesPerSecond);
    TovarFramePacer pacer(kFramesPerSecond);

    MSG msg = {};
    bool done = false;
    bool escaped = false;
    while (!done) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                done = true;
            } else {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            continue; // no frame while messages are waiting
        }
        if (TW.CheckKey(VK_ESCAPE)) {
            done = escaped = true;
            continue;
        }
        if (pacer.TimeToNextFrame() > 0) {
            // Too early for the next frame: wait in short pieces, so that
            // input keeps being taken while we wait.
            pacer.Wait(kWaitPieceMicro);
            continue;
        }
        pacer.FrameStarted();
        RunFrame();
    }

    StopSounds();
    TW.Destroy();
    // A failed start ends the run as a failure. Escape is a normal end; the
    // quit message carries its own code.
    if (!started)
        return 1;
    return escaped ? 0 : static_cast<int>(msg.wParam);
}
