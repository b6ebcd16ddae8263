#pragma once
// The global objects the shell defines in Globals.cpp that have no header of
// their own, and the one way tests put the shell's globals back to their
// state at process start.

#include "data/FrameScript.h"
#include "world/Random.h"  // g_Random

// The run-time frame scripts compiled at start-up from the animation and
// effect databases, played by the game world's animation sequencer.
extern cFrameScriptTable g_AnimeScripts;
extern cFrameScriptTable g_EffectScripts;

// Puts back, as at process start: the scene manager (its scenes deleted, every
// member zero, the player's scene factory), the fonts and their digit strips
// (released) with their definitions, the start-up dialog's choices,
// the window placement, the System.ini settings, the frame-rate figures, the test-play flag, the
// presentation choice, the random generator, the frame scripts and the game
// world's globals (ResetWorldGlobalsForTests). Tests only.
void ResetAppGlobalsForTests();
