// The game's costs, measured in a real window and printed as rows of one
// table: start-up to the first presented frame, step by step; the frame at
// levels 1 to 40 as the game draws it (the creatures' back faces left out)
// and with every face drawn, and at level 40 also in the two orders of
// drawing the game leaves off, beside a reference that draws the same
// creatures through plain vertex arrays from one blended copy of the pose;
// the hit pass at level 100 with a full bullet pool; the peak memory at
// level 40. It measures and prints; it never fails on a slow machine.
//
//   bench_game [data dir] [frames per level]

#include "bench/StandingWave.h"
#include "game/main.h"
#include "toolkit/platform/GL.h"

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

using namespace TovarToolkit;
using Clock = std::chrono::steady_clock;

namespace {

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// CPU time of the whole process, every thread (the rasteriser's included):
// on a shared machine it shows the cost where wall time shows the queue.
double CpuMilliseconds()
{
    timespec ts = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Row(const char* what, const char* value, const char* note = "")
{
    std::printf("| %s | %s | %s |\n", what, value, note);
}

void RowMs(const char* what, double ms, const char* note = "")
{
    char value[64];
    std::snprintf(value, sizeof value, "%.2f ms", ms);
    Row(what, value, note);
}

// The reference: the same frame (floor, creatures, crosshair, texts), with
// the creatures sent as one triangle soup per creature from a copy of the
// pose blended once per frame.
struct Reference {
    std::vector<float> positions, texCoords;
    int corners = 0;
    unsigned startTick = 0;

    void Blend()
    {
        const TovarMD23DObject& first = OgroMDL.pObject[0];
        int current = OgroMDL.currentFrame;
        int next = (current + 1) % OgroMDL.pAnimations[0].endFrame;
        if (next == 0)
            next = OgroMDL.pAnimations[0].startFrame;
        const TovarMD23DObject& a = OgroMDL.pObject[static_cast<size_t>(current)];
        const TovarMD23DObject& b = OgroMDL.pObject[static_cast<size_t>(next)];
        float t = static_cast<float>((GetTickCount() - startTick) % 200) / 200.0f;
        positions.clear();
        texCoords.clear();
        for (int f = 0; f < first.numOfFaces; ++f)
            for (int c = 0; c < 3; ++c) {
                const TovarVector3f& p1 = a.pVerts[first.pFaces[f].vertIndex[c]];
                const TovarVector3f& p2 = b.pVerts[first.pFaces[f].vertIndex[c]];
                positions.push_back(p1.x + t * (p2.x - p1.x));
                positions.push_back(p1.y + t * (p2.y - p1.y));
                positions.push_back(p1.z + t * (p2.z - p1.z));
                const TovarVector2f& uv = first.pTexVerts[first.pFaces[f].coordIndex[c]];
                texCoords.push_back(uv.x);
                texCoords.push_back(uv.y);
            }
        corners = static_cast<int>(positions.size() / 3);
    }

    void Frame()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        Camera.Look();
        glPushMatrix();
        glEnable(GL_TEXTURE_2D);
        DrawFloor(0, -5, 0, 500, 500, &Floor);
        glDisable(GL_TEXTURE_2D);
        glPopMatrix();
        Blend();
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, positions.data());
        glTexCoordPointer(2, GL_FLOAT, 0, texCoords.data());
        for (int i = 0; i < EnemyList.TotalEntities; ++i) {
            const TovarVector3f& p = EnemyList.Entity[i].Position;
            glPushMatrix();
            glEnable(GL_TEXTURE_2D);
            glTranslatef(p.x, p.y, p.z);
            glScalef(0.2f, 0.2f, 0.2f);
            glRotatef(100, 0, 1, 0);
            glBindTexture(GL_TEXTURE_2D, OgroSkin.ID);
            glDrawArrays(GL_TRIANGLES, 0, corners);
            glDisable(GL_TEXTURE_2D);
            glPopMatrix();
        }
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        DrawCrossHair(&Crosshair);
        DrawHeadsUpTexts();
        glFlush();
    }
};

// The drawing settings a frame row is taken with.
struct Setting {
    const char* name; // appended to the row's name
    bool cull, nearestFirst, floorAfter;
};

const Setting kEveryFace = {", every face drawn", false, false, false};

void Apply(const Setting& s)
{
    MD2Load.SetBackFaceCulling(s.cull);
    DrawNearestFirst = s.nearestFirst;
    FloorAfterCreatures = s.floorAfter;
}

std::vector<int> g_order; // the wave's drawing order: scattered, as a real wave's is

void SetLevel(int wanted)
{
    level = wanted - 1;
    ReBuildEnemyes();
    StandInView(EnemyList.TotalEntities);
    // The standing rows run from near to far; a real wave stands anywhere.
    g_order.resize(static_cast<size_t>(EnemyList.TotalEntities));
    for (size_t i = 0; i < g_order.size(); ++i)
        g_order[i] = static_cast<int>(i);
    std::shuffle(g_order.begin(), g_order.end(), std::minstd_rand(7));
}

void PrepareScatteredFrame()
{
    PrepareFrame();
    std::vector<TEntity> stood(EnemyList.Entity, EnemyList.Entity + EnemyList.TotalEntities);
    for (size_t i = 0; i < g_order.size(); ++i)
        EnemyList.Entity[i] = stood[static_cast<size_t>(g_order[i])];
}

// One timed frame: wall and CPU milliseconds, with the swap and glFinish.
template <class Draw>
void TimeFrame(Draw draw, std::vector<double>& wall, std::vector<double>& cpu, bool keep)
{
    PrepareScatteredFrame();
    double c0 = CpuMilliseconds();
    Clock::time_point t0 = Clock::now();
    draw();
    SwapBuffers(hdc);
    glFinish();
    Clock::time_point t1 = Clock::now();
    double c1 = CpuMilliseconds();
    if (keep) { // the first frames of a level warm caches up
        wall.push_back(Milliseconds(t1 - t0));
        cpu.push_back(c1 - c0);
    }
}

// The game's frame under each setting, and the reference, taken in turn,
// so that all see the same load.
void FrameRows(int wantedLevel, int frames, Reference& reference, const std::vector<Setting>& settings)
{
    SetLevel(wantedLevel);
    const Setting shipped = {"", MD2Load.BackFaceCulling(), DrawNearestFirst, FloorAfterCreatures};
    std::vector<std::vector<double>> wall(settings.size()), cpu(settings.size());
    std::vector<double> ref, refCpu;
    int drawn = 0;
    for (int i = 0; i < frames + 10; ++i) {
        for (size_t k = 0; k < settings.size(); ++k) {
            Apply(settings[k]);
            TimeFrame([] { DrawGLScene(); }, wall[k], cpu[k], i >= 10);
            drawn = CreaturesDrawn;
        }
        TimeFrame([&] { reference.Frame(); }, ref, refCpu, i >= 10);
    }
    Apply(shipped);
    const double r = Median(ref);
    for (size_t k = 0; k < settings.size(); ++k) {
        const double g = Median(wall[k]);
        char what[160], value[96], note[160];
        std::snprintf(what, sizeof what, "frame, level %d (%d creatures)%s", wantedLevel, EnemyList.TotalEntities,
                      settings[k].name);
        std::snprintf(value, sizeof value, "%.2f ms (%.0f fps)", g, 1000.0 / g);
        std::snprintf(note, sizeof note, "reference %.2f ms; ratio %.2f; CPU %.1f ms vs %.1f ms; %d drawn", r, g / r,
                      Median(cpu[k]), Median(refCpu), drawn);
        Row(what, value, note);
    }
}

void HitPassRow()
{
    SetLevel(100);
    // Out of chase and fire range, so only the hit pass has work to do.
    for (int i = 0; i < EnemyList.TotalEntities; ++i)
        EnemyList.Entity[i].Position = TovarVector3f(-400.0f + (i % 25) * 30.0f, 0, 300.0f + (i / 25) * 9.0f);
    Camera.PositionCamera(0, 4, -400, 0, 4, -401, 0, 1, 0);
    const int pool = 136; // the most the fire cool-downs let fly at once
    while (BList.totalbullets < pool)
        BList.Add();
    std::vector<double> ms;
    for (int round = 0; round < 300; ++round) {
        for (int i = 0; i < BList.totalbullets; ++i) {
            Bullet& b = BList.Bullets[i];
            b.Used = true;
            b.Owner = i % 2;
            b.Pos = TovarVector3f(-300.0f + i * 4.0f, 50.0f, 0.0f); // between the wave and the player
            b.Vec = TovarVector3f(0, 0, 1);
            b.Speed = 0.0f;
            b.Length = 0;
            b.MaxLength = 1000;
        }
        EnemyShootWaitTime = 100;
        Clock::time_point t0 = Clock::now();
        StepGame();
        ms.push_back(Milliseconds(Clock::now() - t0));
    }
    char what[96];
    std::snprintf(what, sizeof what, "hit pass, level 100 (%d creatures, %d bullets)", EnemyList.TotalEntities,
                  BList.totalbullets);
    RowMs(what, Median(ms), "StepGame: moves, enemies, hits");
}

} // namespace

int main(int argc, char** argv)
{
    const char* data = argc > 1 ? argv[1] : QUELLIN_SOURCE_DIR "/data";
    int frames = argc > 2 ? std::atoi(argv[2]) : 100;
    std::filesystem::current_path(data);

    std::printf("| what | median | notes |\n|---|---|---|\n");

    // ---- Start-up, in Init's order, to the first presented frame ----
    Clock::time_point t0 = Clock::now();
    TW.maxperspective = 10000.0f;
    if (!TW.Create(Wintitle, Winwidth, Winheight, 16)) {
        std::fprintf(stderr, "no window (is there a display?)\n");
        return 1;
    }
    Clock::time_point t1 = Clock::now();
    // Frames are timed as fast as they go: no vsync, and no pacer.
    TovarPlatform::SetSwapInterval(0);
    bool ok = Crosshair.LoadBMPFile("Images\\crosshair.bmp") && Floor.LoadBMPFile("Images\\Floor.bmp") &&
              ParticleTex.LoadBMPFile("Images\\Particle.bmp") && OgroSkin.LoadBMPFile("Models\\Ogro\\Skin.bmp");
    Clock::time_point t2 = Clock::now();
    ok = ok && MD2Load.ImportMD2(&OgroMDL, "Models\\Ogro\\tris.md2", false, "");
    Clock::time_point t3 = Clock::now();
    SetFixedGLState();
    ChooseBackFaceCulling();
    Font.CreateGLFont("Comic Sans MS");
    Clock::time_point t4 = Clock::now();
    PlaceCameraAtStart();
    EnemyList.Set(level * 5);
    ReBuildEnemyes();
    Clock::time_point t5 = Clock::now();
    if (!ok) {
        std::fprintf(stderr, "cannot load the data in %s\n", data);
        TW.Destroy();
        return 1;
    }
    Camera.Update();
    DrawGLScene();
    SwapBuffers(hdc);
    glFinish();
    Clock::time_point t6 = Clock::now();
    Row("renderer", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    RowMs("start-up: window and GL context", Milliseconds(t1 - t0), "one run");
    RowMs("start-up: four textures", Milliseconds(t2 - t1), "one run");
    RowMs("start-up: model", Milliseconds(t3 - t2), "one run");
    RowMs("start-up: GL state and font", Milliseconds(t4 - t3), "one run");
    RowMs("start-up: first wave", Milliseconds(t5 - t4), "one run");
    RowMs("start-up: first frame presented", Milliseconds(t6 - t5), "one run");
    RowMs("start-up: in all", Milliseconds(t6 - t0), "one run");

    // ---- Peak memory of the game at level 40, before the reference runs ----
    SetLevel(40);
    for (int i = 0; i < 30; ++i) {
        PrepareFrame();
        DrawGLScene();
        SwapBuffers(hdc);
    }
    struct rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    char value[64];
    std::snprintf(value, sizeof value, "%.1f MiB", usage.ru_maxrss / 1024.0);
    Row("peak memory (resident), level 40", value, "the whole process, GL driver included");

    // ---- Frames, beside the reference ----
    Reference reference;
    reference.startTick = GetTickCount();
    const Setting shipped = {"", MD2Load.BackFaceCulling(), DrawNearestFirst, FloorAfterCreatures};
    for (int wanted : {1, 5, 10, 20})
        FrameRows(wanted, frames, reference, {shipped, kEveryFace});
    // Level 40 also with the two orders of drawing the game leaves off, each
    // with the cull on.
    FrameRows(40, frames, reference,
              {shipped, kEveryFace, {", nearest first", true, true, false}, {", floor after creatures", true, false, true},
               {", nearest first, floor after", true, true, true}});

    HitPassRow();
    TW.Destroy();
    return 0;
}
