// The stage clear, warp and target commands (types 17, 20 and 21; item
// types 2, 5 and 6; the flow operation is in SummonCommands.cpp, game wait
// and message in MessageCommands.cpp). Warp and target are still to come:
// until then they do nothing.

#include <algorithm>
#include <string>

#include "core/ErrorBox.h"
#include "core/PathUtil.h"
#include "data/Command.h"
#include "data/Progress.h"
#include "data/WorldMap.h"
#include "flow/FlowCommands.h"
#include "world/GameScene.h"
#include "world/Hero.h"

namespace {

int Param(const cCommand& command, int index) {
  return index >= 0 && index < static_cast<int>(command.m_Params.size()) ? command.m_Params[index] : 0;
}

// Next-stage choices of parameter 0.
enum eNextStage : int {
  NEXT_STAGE_FOLLOWING = 0,    // "次のステージへ"
  NEXT_STAGE_NUMBER = 1,       // "番号で指定"
  NEXT_STAGE_PATH = 2,         // "パスで指定"
  NEXT_STAGE_WORLD_CLEAR = 3,  // "ワールドクリア"
};

void ChooseNextStage(cStageClearState& clear, cCommand& command) {
  switch (Param(command, 0)) {
    case NEXT_STAGE_FOLLOWING:
      clear.m_nNextStageNo = g_Progress.m_nStageNo + 1;
      clear.m_strNextStageName.clear();
      break;
    case NEXT_STAGE_NUMBER:
      clear.m_nNextStageNo = Param(command, 1);
      clear.m_strNextStageName.clear();
      break;
    case NEXT_STAGE_PATH:
      clear.m_nNextStageNo = g_Progress.m_nStageNo;
      if (command.m_strText.empty()) {
        ErrorBoxf("ステージファイル %s が不正です。\nステージファイルとして認識できません。", "");
        clear.m_strNextStageName.clear();
        break;
      }
      // The command keeps its text in the reduced form: the name and a point.
      if (command.m_strText.back() != '.') {
        RemoveExtensionString(command.m_strText);
        command.m_strText += '.';
      }
      clear.m_strNextStageName = command.m_strText;
      break;
    case NEXT_STAGE_WORLD_CLEAR:
      clear.m_nNextStageNo = 0;
      clear.m_strNextStageName.clear();
      break;
    default:
      break;
  }
}

}  // namespace

int CmdStageClear(cCharaBase&, cCommand& command) {
  if (g_GameScene != nullptr) ChooseNextStage(g_GameScene->m_StageClear, command);
  if (Param(command, 2) != 0) {
    // Within the map on both sides: a negative position would index the
    // map's grid outside it later.
    g_Progress.m_nMapX = std::clamp(Param(command, 3), 0, std::max(g_WorldMap.m_nWidth - 1, 0));
    g_Progress.m_nMapY = std::clamp(Param(command, 4), 0, std::max(g_WorldMap.m_nHeight - 1, 0));
    g_Progress.m_bBackToMap = 0;
  }
  if (Param(command, 5) != 0) {
    g_Progress.m_bHeroStartSet = 1;
    g_Progress.m_nHeroStartX = Param(command, 6);
    g_Progress.m_nHeroStartY = Param(command, 7);
    int facing = Param(command, 8);
    if (facing == 2) {
      const cHero* hero = StageHero();
      facing = hero != nullptr ? hero->m_Facing : 0;
    }
    g_Progress.m_nHeroStartFacing = facing;
  } else {
    g_Progress.m_bHeroStartSet = 0;
  }
  return 1;
}

int CmdWarp(cCharaBase&, cCommand&) { return 0; }
// cCharaBase::SetTarget keeps the links.
int CmdSetTarget(cCharaBase&, cCommand&) { return 0; }
