#include "game/main.h"

#include "toolkit/platform/GL.h"

using namespace TovarToolkit;

namespace {

// Heads-up text is placed in eye space, so it stays put while the camera
// moves. The places are laid out for 4:3, where the right ends (x = 17) lie
// just inside the right edge. A window narrower than that gets the same
// layout scaled to its width, about the line of sight: every text stays
// whole, with the same small right margin in proportion (about 4 pixels at
// 800 pixels wide). Wider windows show it unscaled, exactly as at 4:3.
void BeginHudText()
{
    GLint viewport[4] = {0, 0, 4, 3};
    glGetIntegerv(GL_VIEWPORT, viewport);
    float scale = 1.0f;
    if (viewport[2] * 3 < viewport[3] * 4)
        scale = 0.75f * static_cast<float>(viewport[2]) / static_cast<float>(viewport[3]);
    glPushMatrix();
    glLoadIdentity();
    glScalef(0.008f * scale, 0.008f * scale, 0.008f); // the depth stays: only the size scales
    glColor3ub(0, 250, 250);
}

void EndHudText()
{
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glPopMatrix();
}

} // namespace

void DrawBox(TovarTexture* Tex)
{
    glBindTexture(GL_TEXTURE_2D, Tex->ID);
    glBegin(GL_QUADS);
    // z = +1
    glTexCoord2f(0, 0); glVertex3f(-1, -1, 1);
    glTexCoord2f(1, 0); glVertex3f(1, -1, 1);
    glTexCoord2f(1, 1); glVertex3f(1, 1, 1);
    glTexCoord2f(0, 1); glVertex3f(-1, 1, 1);
    // z = -1
    glTexCoord2f(1, 0); glVertex3f(-1, -1, -1);
    glTexCoord2f(1, 1); glVertex3f(-1, 1, -1);
    glTexCoord2f(0, 1); glVertex3f(1, 1, -1);
    glTexCoord2f(0, 0); glVertex3f(1, -1, -1);
    // y = +1
    glTexCoord2f(0, 1); glVertex3f(-1, 1, -1);
    glTexCoord2f(0, 0); glVertex3f(-1, 1, 1);
    glTexCoord2f(1, 0); glVertex3f(1, 1, 1);
    glTexCoord2f(1, 1); glVertex3f(1, 1, -1);
    // y = -1
    glTexCoord2f(1, 1); glVertex3f(-1, -1, -1);
    glTexCoord2f(0, 1); glVertex3f(1, -1, -1);
    glTexCoord2f(0, 0); glVertex3f(1, -1, 1);
    glTexCoord2f(1, 0); glVertex3f(-1, -1, 1);
    // x = +1
    glTexCoord2f(1, 0); glVertex3f(1, -1, -1);
    glTexCoord2f(1, 1); glVertex3f(1, 1, -1);
    glTexCoord2f(0, 1); glVertex3f(1, 1, 1);
    glTexCoord2f(0, 0); glVertex3f(1, -1, 1);
    // x = -1
    glTexCoord2f(0, 0); glVertex3f(-1, -1, -1);
    glTexCoord2f(1, 0); glVertex3f(-1, -1, 1);
    glTexCoord2f(1, 1); glVertex3f(-1, 1, 1);
    glTexCoord2f(0, 1); glVertex3f(-1, 1, -1);
    glEnd();
}

void DrawFloor(float x, float y, float z, float width, float height, TovarTexture* Tex)
{
    glPushMatrix();
    glTranslatef(x, y, z);
    glBindTexture(GL_TEXTURE_2D, Tex->ID);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex3f(width, 0, height);
    glTexCoord2f(1, 0); glVertex3f(-width, 0, height);
    glTexCoord2f(1, 1); glVertex3f(-width, 0, -height);
    glTexCoord2f(0, 1); glVertex3f(width, 0, -height);
    glEnd();
    glPopMatrix();
}

void DrawCrossHair(TovarTexture* Texture)
{
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glLoadIdentity();
    // A hair beyond the near plane (0.1): exactly on it, clipping would decide
    // by rounding whether the crosshair shows at all.
    glTranslated(0.0, 0.0, -0.1001);
    glScalef(0.0025f, 0.0025f, 0.0025f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, Texture->ID);
    glBegin(GL_QUADS);
    glTexCoord2f(1, 1); glVertex2f(1, 1);
    glTexCoord2f(1, 0); glVertex2f(1, -1);
    glTexCoord2f(0, 0); glVertex2f(-1, -1);
    glTexCoord2f(0, 1); glVertex2f(-1, 1);
    glEnd();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

void DrawCameraPosCoords()
{
    BeginHudText();
    Font.DrawTextA(17, 10, -31, "Position(%f,%f,%f)", Camera.m_vPosition.x, Camera.m_vPosition.y,
                   Camera.m_vPosition.z);
    EndHudText();
}

void DrawCameraViewCoords()
{
    BeginHudText();
    Font.DrawTextA(17, 6, -31, "View(%f,%f,%f)", Camera.m_vView.x, Camera.m_vView.y, Camera.m_vView.z);
    EndHudText();
}

void DrawTotalEnemyes()
{
    int totalenemyes = EnemyList.CountLiving();
    BeginHudText();
    Font.DrawTextA(17, -4, -31, "Total Enemies: %i", totalenemyes);
    EndHudText();
}

void DrawPlayerScore()
{
    BeginHudText();
    Font.DrawTextA(17, 0, -31, "Score: %i", player_score);
    EndHudText();
}

void DrawPlayerLevel()
{
    BeginHudText();
    Font.DrawTextA(17, 2, -31, "Level: %i", level);
    EndHudText();
}

void DrawPlayerHealth()
{
    BeginHudText();
    Font.DrawTextA(17, -2, -31, "Health: %i", PlayerHealth);
    EndHudText();
}

void DrawHeadsUpTexts()
{
    DrawCameraPosCoords();
    DrawCameraViewCoords();
    DrawTotalEnemyes();
    DrawPlayerScore();
    DrawPlayerHealth();
    DrawPlayerLevel();
}

void DrawPaused()
{
    // Twice the size of the other texts, on a dark band that reads over sky
    // and floor alike.
    BeginHudText();
    glScalef(2.0f, 2.0f, 1.0f);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    glBegin(GL_QUADS);
    glVertex3f(-20.0f, 0.6f, -31.0f);
    glVertex3f(20.0f, 0.6f, -31.0f);
    glVertex3f(20.0f, 2.4f, -31.0f);
    glVertex3f(-20.0f, 2.4f, -31.0f);
    glEnd();
    glDisable(GL_BLEND);
    glColor3ub(0, 250, 250);
    Font.DrawTextA(1.5f, 1, -31, "Paused");
    EndHudText();
}

void DrawGameOver()
{
    BeginHudText();
    Font.DrawTextA(1, 1, -31, "Game Over");
    EndHudText();

    BeginHudText();
    Font.DrawTextA(7, 0, -31, "Press the \"SPACE BAR\" To restart the game");
    EndHudText();
}
