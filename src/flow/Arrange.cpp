#include "flow/Arrange.h"

#include <algorithm>
#include <array>
#include <deque>
#include <set>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/Command.h"
#include "data/Progress.h"
#include "data/Vocabulary.h"
#include "flow/CmdParamDesc.h"
#include "flow/FieldRef.h"
#include "flow/StatusOperation.h"
#include "world/CharaBase.h"
#include "world/FlowState.h"
#include "world/GameScene.h"
#include "world/Hero.h"

namespace {

constexpr int kArrangeParamCount = 5;

// ---- where a parameter lives -------------------------------------------------------

// The movement field of parameter `param` of a command of `type`.
cFieldRef MoveField(cEdMove& move, int type, int param) {
  switch (type) {
    case FLOW_CMD_STRAIGHT_MOVE:
    case FLOW_CMD_RUSH_MOVE: {
      int16_t* fields[] = {&move.m_nTargetX,       &move.m_nTargetOffsetX, &move.m_nTargetY,
                           &move.m_nTargetOffsetY, &move.m_nAngle,         &move.m_nAnglePerCopy};
      return param >= 0 && param < 6 ? Field(*fields[param]) : cFieldRef{};
    }
    case FLOW_CMD_HOMING_MOVE: {
      int16_t* fields[] = {&move.m_nHoming,        &move.m_nHomingPerCopy, &move.m_nTargetX,
                           &move.m_nTargetOffsetX, &move.m_nTargetY,       &move.m_nTargetOffsetY};
      return param >= 0 && param < 6 ? Field(*fields[param]) : cFieldRef{};
    }
    case FLOW_CMD_WARP: {
      int16_t* fields[] = {&move.m_nDistance, &move.m_nDistancePerCopy, &move.m_nTargetX,
                           &move.m_nTargetY,  &move.m_nTargetOffsetX,   &move.m_nTargetOffsetY};
      return param >= 0 && param < 6 ? Field(*fields[param]) : cFieldRef{};
    }
    default:
      return cFieldRef{};
  }
}

// The shot field of parameter `param` of a command of `type`, by the labels
// of its parameter table.
cFieldRef ShotField(cEdShot& shot, int type, int param) {
  switch (type) {
    case FLOW_CMD_SHOT: {
      const cFieldRef fields[] = {
          Field(shot.m_nGraphic),          Field(shot.m_z),
          Field(shot.m_nFormationParams[0]), Field(shot.m_nFormationParams[1]),
          Field(shot.m_nFormationParams[2]), Field(shot.m_nCount),
          Field(shot.m_nCopies),           Field(shot.m_nAngle),
          Field(shot.m_nAnglePerCopy),     Field(shot.m_nSpread),
          Field(shot.m_nOffsetX),          Field(shot.m_nOffsetXPerCopy),
          Field(shot.m_nOffsetY),          Field(shot.m_nOffsetYPerCopy),
          Field(shot.m_nFaction),          Field(shot.m_nMotionParams[0]),
          Field(shot.m_nMotionParams[1]),  Field(shot.m_nMotionParams[2]),
          Field(shot.m_nSpeed),            Field(shot.m_nSpeedPerCopy),
          Field(shot.m_nAccel),            Field(shot.m_nAccelPerCopy),
          Field(shot.m_nDistance),         Field(shot.m_nDistancePerCopy),
          Field(shot.m_nLifetime),         Field(shot.m_nLifetimePerCopy),
          Field(shot.m_nClashStrength),    Field(shot.m_nPower),
          Field(shot.m_nImpact),
      };
      return param >= 0 && param < static_cast<int>(std::size(fields)) ? fields[param] : cFieldRef{};
    }
    case FLOW_CMD_SWORD: {
      const cFieldRef fields[] = {Field(shot.m_nFaction), Field(shot.m_z), Field(shot.m_nPower), Field(shot.m_nImpact)};
      return param >= 0 && param < 4 ? fields[param] : cFieldRef{};
    }
    case FLOW_CMD_SUMMON_BLOCK: {
      const cFieldRef fields[] = {Field(shot.m_nFormationParams[0]), Field(shot.m_nFormationParams[1]),
                                  Field(shot.m_nFormationParams[2]), Field(shot.m_nCount),
                                  Field(shot.m_nOffsetX),            Field(shot.m_nOffsetY)};
      return param >= 0 && param < 6 ? fields[param] : cFieldRef{};
    }
    case FLOW_CMD_SUMMON_CHARA: {
      // A character or item summon keeps its lifetime where a shot keeps its range.
      const cFieldRef fields[] = {Field(shot.m_nDistance),           Field(shot.m_nFaction),
                                  Field(shot.m_nFormationParams[0]), Field(shot.m_nFormationParams[1]),
                                  Field(shot.m_nFormationParams[2]), Field(shot.m_nCount),
                                  Field(shot.m_nOffsetX),            Field(shot.m_nOffsetY)};
      return param >= 0 && param < 8 ? fields[param] : cFieldRef{};
    }
    case FLOW_CMD_SUMMON_ITEM: {
      const cFieldRef fields[] = {Field(shot.m_nDistance),           Field(shot.m_nFormationParams[0]),
                                  Field(shot.m_nFormationParams[1]), Field(shot.m_nFormationParams[2]),
                                  Field(shot.m_nCount),              Field(shot.m_nOffsetX),
                                  Field(shot.m_nOffsetY)};
      return param >= 0 && param < 7 ? fields[param] : cFieldRef{};
    }
    default:
      return cFieldRef{};
  }
}

// The integer parameter an arrange parameter number stands for (-1 none).
int IntParamIndex(int type, int param) {
  switch (type) {
    case FLOW_CMD_STAGE_CLEAR: {
      constexpr int map[] = {1, 6, 7, 3, 4};
      return param >= 0 && param < 5 ? map[param] : -1;
    }
    case FLOW_CMD_MESSAGE: {
      constexpr int map[] = {13, 1, 2, 3, 4};
      return param >= 0 && param < 5 ? map[param] : -1;
    }
    case FLOW_CMD_SET_TARGET: {
      constexpr int map[] = {2, 10, 13};
      return param >= 0 && param < 3 ? map[param] : -1;
    }
    case FLOW_CMD_STATUS:
      return param == 0 ? 8 : param == 1 ? 9 : -1;
    case FLOW_CMD_ERASE:
      return param == 0 ? 1 : -1;
    case FLOW_CMD_CHANGE_GRAPHIC:
      return param == 0 ? 1 : param == 1 ? 2 : -1;
    case FLOW_CMD_EFFECT:
      return param >= 0 && param < 5 ? param + 2 : -1;
    case FLOW_CMD_PICTURE: {
      // Number 0, the picture itself, is not a parameter an arrange reaches.
      constexpr int map[] = {-1, 2, 3, 4, 5, 7};
      return param >= 0 && param < 6 ? map[param] : -1;
    }
    case FLOW_CMD_SCREEN_COLOR:
      return param >= 0 && param < 4 ? param : -1;
    case FLOW_CMD_BACKGROUND:
      return param == 0 ? 0 : -1;
    default:
      return -1;
  }
}

// The field of parameter `param` of a command: in its movement or shot
// parameters, or one of its integer parameters.
cFieldRef MoveParamField(cCommand& command, int param) {
  cEdMove* move = command.m_Move.Get();
  return move != nullptr ? MoveField(*move, command.FlowEquivalentType(), param) : cFieldRef{};
}

cFieldRef ShotParamField(cCommand& command, int param) {
  cEdShot* shot = command.m_Shot.Get();
  return shot != nullptr ? ShotField(*shot, command.FlowEquivalentType(), param) : cFieldRef{};
}

cFieldRef IntParamField(cCommand& command, int param) {
  const int index = IntParamIndex(command.FlowEquivalentType(), param);
  if (index < 0 || index >= static_cast<int>(command.m_Params.size())) return cFieldRef{};
  return Field(command.m_Params[index]);
}

template <cFieldRef (*tFieldOf)(cCommand&, int)>
bool GetParam(const cCommand& command, int param, int32_t& value) {
  // Reading through the field does not change the command.
  const cFieldRef ref = tFieldOf(const_cast<cCommand&>(command), param);
  if (!ref) return false;
  value = ReadField(ref);
  return true;
}

template <cFieldRef (*tFieldOf)(cCommand&, int)>
void SetParam(cCommand& command, int param, int32_t value) {
  if (const cFieldRef ref = tFieldOf(command, param)) WriteField(ref, value);
}

constexpr tArrangeGetter GetMoveParam = GetParam<MoveParamField>;
constexpr tArrangeGetter GetShotParam = GetParam<ShotParamField>;
constexpr tArrangeGetter GetIntParam = GetParam<IntParamField>;
constexpr tArrangeSetter SetMoveParam = SetParam<MoveParamField>;
constexpr tArrangeSetter SetShotParam = SetParam<ShotParamField>;
constexpr tArrangeSetter SetIntParam = SetParam<IntParamField>;

bool GetNothing(const cCommand&, int, int32_t&) { return false; }
void SetNothing(cCommand&, int, int32_t) {}

// ---- limits ------------------------------------------------------------------------------

// The limits of parameter `param` of a command of `type`: its row, or the
// formation or motion table for the command's kind. False when the command's
// kind lies outside those tables (the value is then left alone).
bool ParamLimits(const cCommand& command, int type, int param, const cCmdParamDesc& row, int32_t& min,
                 int32_t& max) {
  min = row.m_Min;
  max = row.m_Max;
  int formationParam = 0;
  if ((type == FLOW_CMD_SHOT || type == FLOW_CMD_SUMMON_CHARA) && param >= 2 && param <= 4) formationParam = param - 1;
  if (type == FLOW_CMD_SUMMON_BLOCK && param >= 0 && param <= 2) formationParam = param + 1;
  if (type == FLOW_CMD_SUMMON_ITEM && param >= 1 && param <= 3) formationParam = param;
  const cEdShot* shot = command.m_Shot.Get();
  if (formationParam != 0) {
    const cParamDesc* desc = shot != nullptr ? FindFormationParam(shot->m_nFormation, formationParam) : nullptr;
    if (desc == nullptr) return false;
    min = desc->m_Min;
    max = desc->m_Max;
  }
  if (type == FLOW_CMD_SHOT && param >= 15 && param <= 17) {
    const cParamDesc* desc = shot != nullptr ? FindMotionParam(shot->m_nMotion, param - 14) : nullptr;
    if (desc == nullptr) return false;
    min = desc->m_Min;
    max = desc->m_Max;
  }
  return true;
}

// The operand of an entry: a common (from 1) or stage variable, or the
// character's own variable. False for a number outside its list or an
// unknown source.
bool EntryOperand(const cArrangeEntry& entry, cCharaBase& chara, int32_t& operand) {
  const int number = entry.m_nOperand;
  switch (entry.m_nSource) {
    case 0:
      if (number < 1 || number >= static_cast<int>(g_Progress.m_CommonVars.size())) return false;
      operand = g_Progress.m_CommonVars[number];
      return true;
    case 1:
      if (g_GameScene == nullptr || number < 1 || number >= static_cast<int>(g_GameScene->m_StageVars.size())) {
        return false;
      }
      operand = g_GameScene->m_StageVars[number];
      return true;
    case 2:
      if (number < 0 || number >= static_cast<int>(chara.m_Vars.size())) return false;
      operand = chara.m_Vars[number];
      return true;
    default:
      return false;
  }
}

cArrangeEntry EntryOf(const cCommand& command) {
  int32_t p[kArrangeParamCount] = {};
  const int count = std::min<int>(kArrangeParamCount, static_cast<int>(command.m_Params.size()));
  for (int i = 0; i < count; ++i) p[i] = command.m_Params[i];
  return cArrangeEntry{p[0], p[1], p[2], p[3], p[4]};
}

int32_t ParamOrZero(const cCommand& command, int index) {
  return index < static_cast<int>(command.m_Params.size()) ? command.m_Params[index] : 0;
}

// How many more copies of a block of `block` commands a list of `size`
// commands (the loop no longer counted) may take, out of `wanted`.
int64_t CopiesWithinCap(int64_t size, int64_t block, int64_t wanted) {
  const int64_t room = size < kMaxExpandedCommands ? (kMaxExpandedCommands - size) / block : 0;
  return std::min(wanted, room);
}

// How the unrolling of a list ended (the worst cut when there were several).
enum eLoopExpansion : int {
  LOOPS_UNROLLED = 0,  // every loop unrolled
  LOOPS_CAPPED = 1,    // a block repeated fewer times, to keep within the command cap
  LOOPS_ENDLESS = 2,   // a loop over a loop that hands itself on for ever: both dropped
  LOOPS_STOPPED = 3,   // the unrolled-loop bound reached: the loops left were dropped
};

// The lists already reported, by owner and commands: every copy of a
// character, every summon and every new load of the stage unrolls the same
// list again, and one line tells all there is to tell.
std::set<std::string>& ReportedLoopCuts() {
  static std::set<std::string> reported;
  return reported;
}

std::string LoopCutKey(const std::string& owner, const cSafeVector<cCommand>& commands) {
  std::string key = owner;
  for (const cCommand& command : commands) {
    key += FormatText("|%d %d %d %d", command.m_nSet, command.m_nType, command.m_nDuration, command.m_bRunWithNext);
    for (const int32_t param : command.m_Params) key += FormatText(" %d", param);
    key += ' ';
    key += command.m_strText;
  }
  return key;
}

// One line in the report for a list whose loops were not unrolled in full;
// `commands` is the list as it came, before the unrolling.
void ReportLoopCut(eLoopExpansion outcome, const std::string& owner, const cSafeVector<cCommand>& commands) {
  if (outcome == LOOPS_UNROLLED) return;
  if (!ReportedLoopCuts().insert(LoopCutKey(owner, commands)).second) return;
  if (outcome == LOOPS_CAPPED) {
    ReportPrintfLog("loop expansion of %s stopped at %d commands", owner.c_str(), kMaxExpandedCommands);
  } else if (outcome == LOOPS_ENDLESS) {
    ReportPrintfLog("loop expansion of %s met a loop repeating twice a single loop that repeats twice, which "
                    "never ends; the two loops are dropped",
                    owner.c_str());
  } else {
    ReportPrintfLog("loop expansion of %s stopped after %d unrolled loops; the loops left are dropped",
                    owner.c_str(), kMaxLoopUnrollSteps);
  }
}

// The copies a loop adds to a list of `size` commands (the loop no longer
// counted) from the `following` commands after it, and the length of its block.
struct cLoopUnroll {
  int64_t copies = 0;
  int block = 0;
};

cLoopUnroll UnrollOf(const cCommand& loop, int64_t size, int following) {
  cLoopUnroll unroll;
  unroll.block = std::clamp<int32_t>(ParamOrZero(loop, 1), 0, following);
  if (unroll.block == 0) return unroll;
  const int64_t wanted = std::max<int64_t>(ParamOrZero(loop, 0), 1) - 1;
  unroll.copies = CopiesWithinCap(size, unroll.block, wanted);
  return unroll;
}

// One copy of a one-command block: the list neither grows nor shrinks.
bool HandsOnItsBlock(const cLoopUnroll& unroll) { return unroll.copies == 1 && unroll.block == 1; }

}  // namespace

namespace {

// Where the arrangeable parameters of each type live.
enum eParamPlace : uint8_t { PLACE_NONE, PLACE_MOVE, PLACE_SHOT, PLACE_INT, PLACE_NOWHERE };

constexpr eParamPlace kParamPlaces[kFlowCmdTypeCount] = {
    PLACE_NONE, PLACE_NONE, PLACE_MOVE, PLACE_NOWHERE, PLACE_NOWHERE, PLACE_MOVE, PLACE_MOVE, PLACE_NOWHERE,
    PLACE_NONE, PLACE_NONE, PLACE_NONE, PLACE_SHOT,    PLACE_SHOT,    PLACE_SHOT, PLACE_SHOT, PLACE_SHOT,
    PLACE_NONE, PLACE_INT,  PLACE_NONE, PLACE_INT,     PLACE_MOVE,    PLACE_INT,  PLACE_INT,  PLACE_NONE,
    PLACE_INT,  PLACE_NONE, PLACE_INT,  PLACE_NONE,    PLACE_NONE,    PLACE_INT,  PLACE_NONE, PLACE_NONE,
    PLACE_INT,  PLACE_INT,  PLACE_INT,  PLACE_NONE,    PLACE_NONE,    PLACE_NONE, PLACE_NONE, PLACE_NONE,
};

template <class tAccess>
constexpr std::array<tAccess, kFlowCmdTypeCount> MakeAccessTable(tAccess move, tAccess shot, tAccess integer,
                                                                  tAccess nowhere) {
  std::array<tAccess, kFlowCmdTypeCount> table{};
  for (int type = 0; type < kFlowCmdTypeCount; ++type) {
    switch (kParamPlaces[type]) {
      case PLACE_MOVE:
        table[type] = move;
        break;
      case PLACE_SHOT:
        table[type] = shot;
        break;
      case PLACE_INT:
        table[type] = integer;
        break;
      case PLACE_NOWHERE:
        table[type] = nowhere;
        break;
      default:
        table[type] = nullptr;
        break;
    }
  }
  return table;
}

}  // namespace

const std::array<tArrangeGetter, kFlowCmdTypeCount> kArrangeGetters =
    MakeAccessTable<tArrangeGetter>(GetMoveParam, GetShotParam, GetIntParam, GetNothing);
const std::array<tArrangeSetter, kFlowCmdTypeCount> kArrangeSetters =
    MakeAccessTable<tArrangeSetter>(SetMoveParam, SetShotParam, SetIntParam, SetNothing);

// ---- arrange -----------------------------------------------------------------------------

void CmdArrange(cCharaBase&, cCommand& command) {
  const cArrangeEntry entry = EntryOf(command);
  if (command.m_nSet == 0) {
    cFlowState* state = g_GameScene != nullptr ? g_GameScene->m_pCurFlowState : nullptr;
    if (state != nullptr) state->m_Arranges.push_back(entry);
    return;
  }
  if (cHero* hero = StageHero()) hero->m_Arranges.push_back(entry);
}

void ApplyFlowArranges(cCommand& command, cCharaBase& chara, cFlowState& state) {
  for (const cArrangeEntry& entry : state.m_Arranges) ApplyArrange(command, entry, chara);
}

void ApplyHeroArranges(cCommand& command, cHero& hero) {
  for (const cArrangeEntry& entry : hero.m_Arranges) ApplyArrange(command, entry, hero);
}

void ApplyArrange(cCommand& command, const cArrangeEntry& entry, cCharaBase& chara) {
  const int type = command.m_nSet == 0 ? command.m_nType : command.m_nType + kItemToFlowCmdOffset;
  if (type != entry.m_nTargetType || type < 0 || type >= kFlowCmdTypeCount) return;
  if (kArrangeSetters[type] == nullptr || kArrangeGetters[type] == nullptr) return;
  // A number beyond the type's rows (every number, for a type without rows)
  // changes nothing.
  if (type >= static_cast<int>(kCmdParamDesc.size())) return;
  const cSafeVector<cCmdParamDesc>& rows = kCmdParamDesc[type];
  const int param = entry.m_nParam;
  if (param < 0 || param >= static_cast<int>(rows.size())) return;

  int32_t current = 0;
  if (!kArrangeGetters[type](command, param, current)) return;
  int32_t operand = 0;
  if (!EntryOperand(entry, chara, operand)) return;
  int32_t min = 0;
  int32_t max = 0;
  if (!ParamLimits(command, type, param, rows[param], min, max)) return;
  int32_t result = 0;
  // A division by 0 or an unknown operation leaves the value (still limited).
  if (!StatusApplyOp(current, operand, entry.m_nOperation, min, max, result)) result = ClampToRange(current, min, max);
  kArrangeSetters[type](command, param, result);
}

// ---- loop ----------------------------------------------------------------------------------

bool IsLoopCommand(const cCommand& command) {
  return command.m_nSet == 0 ? command.m_nType == FLOW_CMD_LOOP : command.m_nType == FLOW_CMD_LOOP - kItemToFlowCmdOffset;
}

int ExpandFirstLoop(cSafeVector<cCommand>& commands) {
  const auto loop = std::find_if(commands.begin(), commands.end(), IsLoopCommand);
  if (loop == commands.end()) return 0;
  const int at = static_cast<int>(loop - commands.begin());
  const int32_t repeat = ParamOrZero(*loop, 0);
  const int following = static_cast<int>(commands.size()) - at - 1;
  const int block = std::clamp<int32_t>(ParamOrZero(*loop, 1), 0, following);
  if (block > 0) {
    const int64_t wanted = std::max<int64_t>(repeat, 1) - 1;
    const int64_t copies = CopiesWithinCap(static_cast<int64_t>(commands.size()) - 1, block, wanted);
    if (copies < wanted) ReportLoopCut(LOOPS_CAPPED, "a command list", commands);
    cSafeVector<cCommand> repeated;
    repeated.reserve(static_cast<std::size_t>(copies * block));
    for (int64_t i = 0; i < copies; ++i) {
      repeated.insert(repeated.end(), commands.begin() + at + 1, commands.begin() + at + 1 + block);
    }
    commands.insert(commands.begin() + at + 1, std::make_move_iterator(repeated.begin()),
                    std::make_move_iterator(repeated.end()));
  }
  commands.erase(commands.begin() + at);
  return 1;
}

void ExpandLoopCommands(cSafeVector<cCommand>& commands, const std::string& owner) {
  if (std::none_of(commands.begin(), commands.end(), IsLoopCommand)) return;
  // The commands still to pass, front first. Unrolling the first loop of the
  // list as it stands is unrolling the loop at the front of what is left, with
  // the block taken from what follows it, so one pass does it without
  // re-scanning the list.
  std::deque<const cCommand*> pending;
  for (const cCommand& command : commands) pending.push_back(&command);
  cSafeVector<cCommand> expanded;
  eLoopExpansion outcome = LOOPS_UNROLLED;
  int steps = 0;
  while (!pending.empty()) {
    const cCommand* command = pending.front();
    pending.pop_front();
    if (!IsLoopCommand(*command)) {
      expanded.push_back(*command);
      continue;
    }
    // Other loop chains that never end without growing the list (a loop that
    // hands itself on fails below) are held by counting the unrolled loops.
    if (++steps > kMaxLoopUnrollSteps) {
      outcome = LOOPS_STOPPED;
      continue;
    }
    const int following = static_cast<int>(pending.size());
    const int64_t size = static_cast<int64_t>(expanded.size() + pending.size());
    const cLoopUnroll unroll = UnrollOf(*command, size, following);
    // A loop adding one copy of a one-command block that is again such a loop
    // ([loop 2 x 1, loop 2 x 1, A]) puts that loop twice in front of A, where
    // it puts itself twice in front of A, for ever: both are dropped.
    if (HandsOnItsBlock(unroll) && IsLoopCommand(*pending.front()) &&
        HandsOnItsBlock(UnrollOf(*pending.front(), size, following))) {
      pending.pop_front();
      outcome = std::max(outcome, LOOPS_ENDLESS);
      continue;
    }
    const int32_t repeat = ParamOrZero(*command, 0);
    if (unroll.block > 0 && unroll.copies < std::max<int64_t>(repeat, 1) - 1) outcome = std::max(outcome, LOOPS_CAPPED);
    if (unroll.copies == 0) continue;
    const std::vector<const cCommand*> blockCommands(pending.begin(), pending.begin() + unroll.block);
    for (int64_t i = 0; i < unroll.copies; ++i) {
      pending.insert(pending.begin(), blockCommands.begin(), blockCommands.end());
    }
  }
  ReportLoopCut(outcome, owner, commands);
  commands.swap(expanded);
}
