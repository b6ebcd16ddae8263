#pragma once
// The global objects the shell defines in Globals.cpp that have no header of
// their own, and the one way tests put the shell's globals back to their
// state at process start.

#include "data/Database.h"  // g_AnimeScripts, g_EffectScripts
#include "world/Random.h"    // g_Random

// Puts back, as at process start: the scene manager (its scenes deleted, every
// member zero, the player's scene factory), the fonts and their digit strips
// (released) with their definitions, the start-up dialog's choices,
// the window placement, the System.ini settings, the frame-rate figures, the test-play flag, the
// presentation choice, the random generator, the frame scripts, the game
// world's globals (ResetWorldGlobalsForTests), the music manager and the sound
// effects. Tests only.
void ResetAppGlobalsForTests();
