#pragma once

// The wave of a level as the frame benchmarks draw it: every creature
// standing in rows 60 to 250 units in front of the eye, all in view, all
// animating. Shared by the desktop and the browser benchmarks, so that their
// rows measure the same frame.

// Stands the current wave's creatures in rows in front of the eye.
void StandInView(int creatures);
// Puts the wave back before a frame, so every frame is alike (the chase would
// bunch them up); fire is held and the player cannot die.
void PrepareFrame();
