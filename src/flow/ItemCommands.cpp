#include "data/Flow.h"
#include "flow/FlowCommands.h"
#include "flow/FlowRuntime.h"
#include "world/CharaBase.h"
#include "world/GameScene.h"
#include "world/Hero.h"

int RunItemCommand(cCharaBase& chara, cCommand& command) {
  const int type = command.m_nType;
  // The type byte comes from the data: one outside the table runs nothing.
  if (type < 0 || type >= kItemCmdTypeCount) return 0;
  return kItemCmdHandlers[type](chara, command);
}

int CmdChangeFlow(cCharaBase& chara, cCommand& command, int deferred) {
  cHero* hero = StageHero();
  if (deferred == 0 && hero != nullptr && g_GameScene != nullptr && g_GameScene->m_pCurChara == hero) {
    // The hero's own flows are being walked: the change waits for the end of
    // its flow pass.
    hero->m_ChangeFlowQueue.push_back(command);
    return 0;
  }
  const int mode = command.m_Params.size() > 0 ? command.m_Params[0] : -1;
  const int flowId = command.m_Params.size() > 1 ? (command.m_Params[1] & 0xFF) : 0;
  switch (mode) {
    case 0:
      InstallFlows(chara, command.m_Flows, 1, -1);
      break;
    case 1:
      InstallFlows(chara, command.m_Flows, 1, RemoveFlowsById(chara, flowId));
      break;
    case 2:
      RemoveFlowsById(chara, flowId);
      break;
    default:
      break;
  }
  return 0;
}
