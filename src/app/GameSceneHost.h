#pragma once
// The shell's side of the game scene: the main window's requests that reach
// into the running stage. A close while a modal loop of the scene runs asks
// the scene to end that loop first; the stage music request reads the loop
// flag the stage stored with it and records the tune as playing; a stage file
// or a replay chosen in the title menu starts the run the game scene plays.

struct cMainWndServices;

// Fills the game scene's services of the main window: the close of a modal
// loop, the stage music, starting a run from a stage file, and saving and
// loading the replay files.
void ConnectGameSceneServices(cMainWndServices& services);
