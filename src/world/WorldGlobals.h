#pragma once
// The game world's global objects (key input and configuration, the menu
// cursor, the replays, the hero, character and item lists, the map grid, the
// game scene pointer) are defined with every global object in
// app/Globals.cpp and declared in the headers of their objects. Tests put
// them back with this.

// Puts back, as at process start: g_KeyInput (one reset device), g_KeyConfig
// (all zero), g_MenuCursor (one zero level), g_ReplayRec and g_ReplayPrev
// (empty), Player, g_CharaList, g_ItemList, g_ShotList and g_MapGrid (empty), g_GameScene
// (null) and the replay warning's cool-down. Tests only.
void ResetWorldGlobalsForTests();
