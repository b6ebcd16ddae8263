#include "flow/Arrange.h"

#include "data/Command.h"

const tArrangeGetter kArrangeGetters[kFlowCmdTypeCount] = {};
const tArrangeSetter kArrangeSetters[kFlowCmdTypeCount] = {};
void CmdArrange(cCharaBase&, cCommand&) {}
void ApplyFlowArranges(cCommand&, cCharaBase&, cFlowState&) {}
void ApplyHeroArranges(cCommand&, cHero&) {}
void ApplyArrange(cCommand&, const cArrangeEntry&, cCharaBase&) {}
int ExpandFirstLoop(cSafeVector<cCommand>&) { return 0; }
void ExpandLoopCommands(cSafeVector<cCommand>&) {}
