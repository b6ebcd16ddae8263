#include "world/Sword.h"

#include "data/Database.h"
#include "data/SwordType.h"
#include "world/CharaBase.h"
#include "world/Formation.h"
#include "world/Shot.h"

cShot* SwingSword(cCharaBase& owner, cEdShot& edShot) {
  // The sword's size comes from the first frame of its type; a bad type
  // index or an empty frame list falls back to the first entry.
  FormationStep step;
  const auto& types = g_Database.m_SwordTypes;
  if (!types.empty()) {
    const cSwordType& type = types[edShot.m_nMotion];
    if (!type.m_Steps.empty()) {
      step.m_Width = type.m_Steps[0].m_nWidth;
      step.m_Height = type.m_Steps[0].m_nHeight;
    }
  }
  cShot sword;
  sword.Init(g_ShotList.m_nNextKey, owner, FORMATION_OBJECT_SWORD, edShot, step);
  cShot* added = g_ShotList.AddShot(sword);
  if (added != nullptr) ++g_ShotList.m_nNextKey;
  return added;
}
