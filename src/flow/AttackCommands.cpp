// The shot and sword commands (types 11 and 12).

#include "core/SoundRequest.h"
#include "data/Command.h"
#include "data/StageData.h"
#include "flow/AttackCommands.h"
#include "flow/FlowCommands.h"
#include "world/CharaBase.h"
#include "world/FlowState.h"
#include "world/Formation.h"
#include "world/Shot.h"
#include "world/Sword.h"

void PlayCommandSound(const cCommand& command, const cCharaBase& chara) {
  if (command.m_bSoundOnScreen == 0 || chara.m_OnScreen != 0) PlayDataSound(command.m_nSound);
}

void AdvanceTenthCounter(cCmdState& state) {
  ++state.m_StepCounter;
  if (int64_t{state.m_StepCounter} >= int64_t{6} * g_Stage.SubStepsAtLeastOne()) state.m_StepCounter = 0;
}

int CmdShot(cCharaBase& chara, cCmdState& state) {
  cCommand* command = state.m_pCommand;
  if (command == nullptr) return 0;
  if (state.m_StepCounter == 0 && command->m_Shot) {
    PlayCommandSound(*command, chara);
    FireShot(g_ShotList, chara, state, *command->m_Shot, FORMATION_OBJECT_SHOT);
  }
  AdvanceTenthCounter(state);
  return 0;
}

int CmdSword(cCharaBase& chara, cCmdState& state) {
  cCommand* command = state.m_pCommand;
  if (command == nullptr || state.m_StepCounter != 0) return 0;
  PlayCommandSound(*command, chara);
  if (command->m_Shot) SwingSword(chara, *command->m_Shot);
  ++state.m_StepCounter;
  return 0;
}
