#include "game/main.h"

#include "toolkit/platform/GL.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

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

// A model with no frames, vertices or triangles imports, but draws nothing:
// its creatures would shoot unseen. Empty when the model can be drawn.
std::string WhyModelCannotBeDrawn(const TovarMD23DModel& model, const char* file)
{
    const char* why = nullptr;
    if (model.numOfObjects <= 0 || model.pObject.empty())
        why = "the model has no frames";
    else if (model.pObject[0].numOfVerts <= 0)
        why = "the model has no vertices";
    else if (model.pObject[0].numOfFaces <= 0)
        why = "the model has no triangles";
    return why ? NativePath(file) + ": " + why : std::string();
}

// Whether the working folder holds the game's data.
bool DataInWorkingFolder()
{
    std::error_code ec;
    return std::filesystem::is_directory("Images", ec) && std::filesystem::is_directory("Models", ec);
}

// The line on standard error, and the same line in a message box where
// nobody would see standard error (a start from the desktop).
void ReportStartupFailure(const std::string& why)
{
    const std::string line = "Quellin cannot start: " + why;
    std::fprintf(stderr, "%s\n", line.c_str());
    if (ShowsFailureInABox())
        TovarPlatform::ShowErrorBox(Wintitle, line.c_str());
}

// Time spent away from the window, kept out of the animation clock, so that
// the creatures take up their step where they left it.
bool g_away = false;
bool g_pausedShown = false; // "Paused" is on the frame the window shows
DWORD g_awaySince = 0;
DWORD g_awayTicks = 0;
const long long kAwayWaitMicro = 20000;

} // namespace

bool ShowsFailureInABox() { return TovarPlatform::StandardErrorKind() == TovarPlatform::ErrorStream::None; }

DWORD GameTicks() { return (g_away ? g_awaySince : TovarPlatform::TickCount()) - g_awayTicks; }

bool WaitWhileAway()
{
    if (TW.Away()) {
        if (!g_away) {
            g_away = true;
            g_awaySince = TovarPlatform::TickCount();
        }
        // A minimised window shows nothing; once it shows again, still without
        // the focus, it says why nothing moves.
        if (TW.Minimised)
            g_pausedShown = false;
        else if (!g_pausedShown) {
            ShowPausedFrame();
            g_pausedShown = true;
        }
        TovarPlatform::SleepMicroseconds(kAwayWaitMicro);
        return true;
    }
    if (g_away) {
        g_away = false;
        g_pausedShown = false;
        g_awayTicks += TovarPlatform::TickCount() - g_awaySince;
        // The pointer went its own way meanwhile: the view takes up from the
        // middle, where mouse look keeps it.
        if (!gameover)
            SetCursorPos(Winwidth >> 1, Winheight >> 1);
    }
    return false;
}

void ShowPausedFrame()
{
    if (!TW.hRC || TovarPlatform::ShowsPauseNotice())
        return;
    RedrawLastFrame();
    glDisable(GL_DEPTH_TEST);
    DrawPaused();
    glEnable(GL_DEPTH_TEST);
    SwapBuffers(hdc);
}

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
    g_initFailure = WhyModelCannotBeDrawn(OgroMDL, "Models\\Ogro\\tris.md2");
    if (!g_initFailure.empty())
        return 0;

    SetFixedGLState();
    ChooseBackFaceCulling();
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

void ChooseBackFaceCulling()
{
    // Left out, the faces turned away cost nothing, and the frame about 0.6
    // of what drawing every face costs. The picture changes only where one
    // ties in depth with a face toward the eye, along the outlines: so long
    // as the depth buffer tells a creature's front from its back. With 16
    // bits (the window asks for 16; some drivers give no more) a step is
    // 1.5 units at 100 units, more than a creature is thick: whole parts
    // tie, and leaving the far faces out would change several times as many
    // pixels. Such a buffer gets every face, as it always did.
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    MD2Load.SetBackFaceCulling(depthBits >= 24);
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
    // Started from a shortcut or another folder, a Windows program finds
    // its data, and writes its log, beside itself.
    if (!DataInWorkingFolder())
        TovarPlatform::ChangeToProgramFolder();
    if (!TLog.Init("TovarToolkitLog.xml"))
        std::fprintf(stderr, "Quellin plays without a log: %s\n", TLog.LastError().c_str());
    TLog.WriteMsg("Configuring Window...", "SysMsg");
    TW.maxperspective = 10000.0f;
    TLog.WriteMsg(Format("Creating Window \"%s\" %ix%ix%ix%i", Wintitle, Winwidth, Winheight, 32,
                         fullscreen ? 1 : 0)
                      .c_str(),
                  "SysMsg");
    if (!TW.Create(Wintitle, Winwidth, Winheight, 16)) {
        ReportStartupFailure("the " + std::to_string(Winwidth) + "x" + std::to_string(Winheight) +
                             " window cannot be made");
        return 1;
    }

    TLog.WriteMsg("Initializing stuff...", "SysMsg");
    const bool started = Init() != 0;
    if (!started) {
        TLog.WriteMsg("Failed to initialize.", "SysErrMsg");
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
    SetAnimationTickSource(GameTicks);

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
                // Uncovered, shown again or resized, the window may have lost
                // the paused picture; a timer or the pointer passing over it
                // leaves the picture be.
                if (msg.message == WM_PAINT || msg.message == WM_SIZE || msg.message == WM_ACTIVATE)
                    g_pausedShown = false;
            }
            continue; // no frame while messages are waiting
        }
        if (TW.CheckKey(VK_ESCAPE)) {
            done = escaped = true;
            continue;
        }
        if (WaitWhileAway())
            continue; // no frame while the player is away
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
    // A failed start ends the run as a failure, said once the window is
    // gone. Escape is a normal end; the quit message carries its own code.
    if (!started) {
        ReportStartupFailure(g_initFailure);
        return 1;
    }
    return escaped ? 0 : static_cast<int>(msg.wParam);
}
