#pragma once

// The game: its state, its global objects and every free function, declared
// here so that tests and other programs can reach them.

#include "game/entity.h"
#include "toolkit/TovarToolkit.h"

// ---- Game state ---------------------------------------------------------------

extern int EnemyDamage;          // health one player bullet takes from an enemy
extern int EnemyWaitTimeToShoot; // enemy fire interval, frames
extern int PlayerHealth;
extern int Winheight;
extern int Winwidth;
extern const char* Wintitle;
extern float CameraSpeed;        // walk and strafe step per frame
extern bool UseCameraNewMovement; // free flight instead of a level walk
extern bool fullscreen;
extern int player_score;
extern int WaitTime;           // player fire cool-down, frames
extern int EnemyShootWaitTime; // enemy fire cool-down shared by the wave, frames
extern int level;
extern TovarToolkit::TovarBoundingSphere PlayerBSphere;
extern bool gameover;

// ---- Bullets ------------------------------------------------------------------

// One shot of the player (Owner 1) or of an enemy (Owner 0).
class Bullet {
public:
    TovarToolkit::TovarVector3f Pos;
    TovarToolkit::TovarVector3f Vec; // direction; a unit vector from the first step on
    bool Used;                       // false marks a free slot
    int Length;                      // frames flown
    int MaxLength;
    float Speed;
    int Owner;
    float Gravity;

    Bullet();
    void ProcessMovement();
    void ProcessLength();
};

// The pool of every bullet; it grows by one slot when a shooter finds none free.
class BulletsList {
public:
    Bullet* Bullets;
    int totalbullets;

    BulletsList();
    ~BulletsList();
    BulletsList(const BulletsList&) = delete;
    BulletsList& operator=(const BulletsList&) = delete;
    void Add();
    void SetUsed(int ID, bool val);
    void SetLengthAndMaxLength(int ID, int length, int maxlength);
};

// ---- Global objects, in construction order -----------------------------------

extern TovarToolkit::TovarLog TLog;
extern TovarToolkit::TovarFont Font;
extern TovarToolkit::TovarCamera Camera;
extern TovarToolkit::TovarTexture Crosshair;
extern TovarToolkit::TovarTexture Floor;
extern TovarToolkit::TovarTexture OgroSkin;
extern TovarToolkit::TovarTexture ParticleTex;
extern TovarToolkit::TovarMD2Loader MD2Load;
extern TovarToolkit::TovarMD23DModel OgroMDL;
extern TEntityList EnemyList;
extern BulletsList BList;

// ---- Entry, start-up and the frame -------------------------------------------

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
int Init();
// The GL state set once at start-up; every frame relies on it.
void SetFixedGLState();
void Update();
// The eye at (5, 4, 10) looking at (0, 3, 0): where every game starts.
void PlaceCameraAtStart();
// One frame of the main loop, run when no message is waiting: mouse look,
// DrawGLScene, the buffer swap and CheckKeys. Without drawing it runs the
// same rules through StepGame and needs no window: tests and soaks.
void RunFrame(bool draw = true);
// Whether the player is away from the window (TovarWindow::Away): then it
// waits a little and returns true, and no frame runs. On the return, the
// time away is taken out of the animation clock and the pointer goes back to
// the middle, so that play resumes where it was.
bool WaitWhileAway();
// The last frame drawn again, with "Paused" over it, where the platform
// does not say so itself: what a player who left the window sees there.
void ShowPausedFrame();
// The animation clock's milliseconds: the platform's tick count less the
// time spent away; it stands still while the player is away.
DWORD GameTicks();
// Whether a failed start shows its reason in a message box as well: only
// when nobody sees standard error.
bool ShowsFailureInABox();
// Steps the game and draws the result.
void DrawGLScene();
// Draws what the last DrawGLScene drew again, without a step of the rules.
void RedrawLastFrame();
// The rules of one frame, which DrawGLScene runs first: bullets, enemies,
// waves, hits and the cool-downs. Needs no GL context.
void StepGame();
// Creatures wholly outside the view are not sent to GL (on by default); the
// animation runs the same either way, so no pixel changes.
extern bool CullUnseen;
// How many creatures the last drawn frame sent to GL.
extern int CreaturesDrawn;

// ---- Waves, fire and controls --------------------------------------------------

void ReBuildEnemyes();
bool CheckIfPlayerIsOutOfArea();
void Enemy_Shoot(int i);
// Takes the first free slot of BList for a shot at 3.5 units a frame for 1000
// frames; when every slot is in flight the pool grows instead and nothing is
// fired (false).
bool FireBullet(TovarToolkit::TovarVector3f from, TovarToolkit::TovarVector3f direction, int owner);
void CheckKeys();
bool IsPlayerColliding_View();
bool IsPlayerColliding_Pos();

// ---- Drawing primitives and heads-up texts --------------------------------------

void DrawBox(TovarToolkit::TovarTexture* Tex);
void DrawFloor(float x, float y, float z, float width, float height, TovarToolkit::TovarTexture* Tex);
void DrawCrossHair(TovarToolkit::TovarTexture* Texture);
void DrawCameraPosCoords();
void DrawCameraViewCoords();
void DrawTotalEnemyes();
void DrawPlayerScore();
void DrawPlayerLevel();
void DrawPlayerHealth();
void DrawGameOver();
// "Paused" on a dark band across the middle, over whatever the frame shows.
void DrawPaused();
// The six heads-up texts, in the frame's order.
void DrawHeadsUpTexts();

// ---- Sound ------------------------------------------------------------------------

// The moments the game is heard, each one file of Sounds\.
enum GameSound {
    SoundPlayerShot,
    SoundEnemyShot,
    SoundCreatureHit,
    SoundCreatureFalls,
    SoundNewWave,
    SoundPlayerHit,
    SoundGameOver,
    GameSoundCount
};
// Reads the sounds and opens the audio device, muted when QUELLIN_MUTE is 1.
// A sound that cannot be read, or a missing device, is silence and one line
// on standard error, never a failed start.
void StartSounds();
void StopSounds();
// Starts a sound; nothing before StartSounds, so the rules can call it always.
void PlayGameSound(GameSound sound);
void ToggleSoundMuted();
bool SoundMuted();
