// The second status operation, vanish, item, graphic, animation, effect,
// picture, colour, background, sound and music commands (types 23 to 36;
// item types 8 to 21). Each body is filled with the presentation commands;
// until then the command does nothing.

#include "flow/FlowCommands.h"

// Filled with the presentation commands (state values, and the automatic
// scroll switches of the system).
int CmdStatusOperation2(cCharaBase&, cCommand&) { return 0; }
// Filled with the presentation commands.
int CmdVanish(cCharaBase&, cCommand&) { return 0; }
// Filled with the presentation commands (the hero runs the item's list).
int CmdGetItem(cCharaBase&, cCommand&) { return 0; }
// Filled with the presentation commands.
int CmdChangeGraphic(cCharaBase&, cCommand&) { return 0; }
// Filled with the presentation commands.
int CmdChangeBaseAnimeSet(cCharaBase&, cCommand&) { return 0; }
// Filled with the presentation commands.
int CmdRunAnime(cCharaBase&, cCommand&) { return 0; }
// Filled with the presentation commands.
int CmdRunEffect(cCharaBase&, cCommand&) { return 0; }
// Filled with the presentation commands.
int CmdRunCharaEffect(cCharaBase&, cCommand&) { return 0; }
// Filled with the presentation commands.
int CmdRunScreenEffect(cCharaBase&, cCommand&) { return 0; }
// Filled with the presentation commands.
int CmdShowPicture(cCharaBase&, cCommand&) { return 0; }
// Filled with the presentation commands.
int CmdScreenColor(cCharaBase&, cCommand&) { return 0; }
// Filled with the presentation commands.
int CmdChangeBackground(cCharaBase&, cCommand&) { return 0; }
// Filled with the presentation commands.
int CmdPlaySound(cCharaBase&, cCommand&) { return 0; }
// Filled with the presentation commands.
int CmdPlayBgm(cCharaBase&, cCommand&) { return 0; }
