#include "world/FootAndItemBlocks.h"

#include "core/SoundRequest.h"
#include "data/BlockData.h"
#include "data/ItemData.h"
#include "data/StageData.h"
#include "world/CharaMotion.h"
#include "world/Contact.h"
#include "world/Hero.h"
#include "world/MapGrid.h"
#include "world/SystemSounds.h"

namespace {

constexpr int kItemBlockSeconds = 60;  // frames between two items of one block

// The cell under the hero's feet when it is solid for the hero, else null.
cMapCell* SolidFootCell(const cHero& hero) {
  const int index = hero.m_nCellBelow;
  if (index < 0 || index >= static_cast<int>(g_MapGrid.size())) return nullptr;
  cMapCell& cell = g_MapGrid[index];
  return CellContactKind(cell, hero.m_PassNo) != 0 ? &cell : nullptr;
}

double StageSubSteps() { return g_Stage.SubStepsAtLeastOneF(); }

// A spring throws the hero up as a full jump of the block's height: the jump
// counts as taken off and held to its end, so the jump key neither restarts
// nor cuts it.
void Spring(cHero& hero, int halfBlocks) {
  PlaySystemSound(kSoundSpring);
  hero.m_VY = JumpSpeedForHeight(static_cast<int8_t>(halfBlocks), 1);
  hero.m_bJumped = 1;
  hero.m_bJumpRising = 1;
  hero.m_bJumpReady = 0;
  hero.m_nJumpHold = JumpSubSteps(hero.m_VY);
}

void StartFootEffect(cHero& hero, const cMapCell& cell) {
  const int subSteps = g_Stage.SubStepsAtLeastOne();
  switch (cell.m_nFootEffect) {
    case FOOT_JUMP:
      Spring(hero, cell.m_nFootValue);
      break;
    case FOOT_NO_JUMP:
      hero.m_bJumpBanned = 1;
      break;
    case FOOT_SPEED:
      hero.m_nFootKind = FOOT_SPEED;
      hero.m_FootValue = cell.m_nFootValue * 0.01;
      hero.m_nFootTimer = subSteps;
      break;
    case FOOT_PUSH_LEFT:
    case FOOT_PUSH_RIGHT:
      hero.m_nFootKind = cell.m_nFootEffect;
      hero.m_FootValue = cell.m_nFootValue * 0.1 / StageSubSteps();
      hero.m_nFootTimer = subSteps;
      break;
    default:
      break;
  }
  if (cell.m_nFootEffect != FOOT_NO_JUMP) hero.m_bJumpBanned = 0;
}

void RunFootEffect(cHero& hero) {
  switch (hero.m_nFootKind) {
    case FOOT_SPEED:
      hero.m_VX *= hero.m_FootValue;
      break;
    case FOOT_PUSH_LEFT:
      hero.m_VX -= hero.m_FootValue;
      if (hero.m_CmdVX > 0) hero.m_CmdVX = 0;
      break;
    case FOOT_PUSH_RIGHT:
      hero.m_VX += hero.m_FootValue;
      if (hero.m_CmdVX < 0) hero.m_CmdVX = 0;
      break;
    default:
      break;
  }
  if (--hero.m_nFootTimer == 0 && hero.m_VY >= 0) hero.m_VY += 1.0;
}

}  // namespace

int ApplyFootBlock(cHero& hero) {
  if (hero.m_Flying != 0) return 0;
  if (hero.m_nFootTimer == 0) {
    if (const cMapCell* cell = SolidFootCell(hero)) StartFootEffect(hero, *cell);
  }
  if (hero.m_nFootTimer > 0) RunFootEffect(hero);
  return 0;
}

int TouchItemBlocks(cHero& hero) {
  if (hero.m_Flying != 0) return 0;
  bool applied = false;
  if (hero.m_nItemBlockTimer == 0) {
    const cMapCell* cell = SolidFootCell(hero);
    const cItemData* item =
        cell != nullptr && cell->m_nItemPalette != 0
            ? GetPaletteItem(g_Stage.PaletteContext(), cell->m_nItemPalette, cell->m_nItemIndex)
            : nullptr;
    if (item != nullptr) {
      const int result = ApplyItemBlock(*item, hero);
      if (result != 0) return result;
      hero.m_nItemBlockTimer = g_Stage.SubStepsAtLeastOne() * kItemBlockSeconds;
      applied = true;
    }
  }
  if (hero.m_nItemBlockTimer > 0) {
    if (hero.m_bAirborne != 0) {
      hero.m_nItemBlockTimer = 0;
    } else {
      --hero.m_nItemBlockTimer;
      // A step onto another cell makes the next block's item come at once.
      if (hero.m_nLastCellBelow != hero.m_nPrevLastCellBelow && !applied) {
        hero.m_nItemBlockTimer = 0;
        if (hero.m_VY >= 0) hero.m_VY += 1.0;
      }
    }
  }
  return 0;
}
