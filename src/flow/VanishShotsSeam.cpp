// The shot side of the vanish command until the shot lists are merged in:
// there are no shots to vanish.

#include "flow/FlowCommands.h"

void VanishShotGroup(int, int) {}
void VanishChildShots(cCharaBase&) {}
