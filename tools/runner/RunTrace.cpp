#include "RunTrace.h"

#include <cstdio>

#include "core/Scene.h"
#include "core/SceneManager.h"
#include "data/Progress.h"
#include "world/Chara.h"
#include "world/Shot.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/Item.h"
#include "world/Random.h"

namespace runner {

void cFnv1a::Add(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) {
    m_Hash ^= bytes[i];
    m_Hash *= 0x100000001b3ull;
  }
}

namespace {

void AddObject(cFnv1a& hash, const cGameObj& object) {
  hash.AddValue(object.m_Key);
  hash.AddValue(object.m_X);
  hash.AddValue(object.m_Y);
  hash.AddValue(object.m_VX);
  hash.AddValue(object.m_VY);
  hash.AddValue(object.m_Active);
  hash.AddValue(object.m_Facing);
}

void AddChara(cFnv1a& hash, const cCharaBase& chara) {
  AddObject(hash, chara);
  hash.AddValue(chara.m_Hp);
  hash.AddValue(chara.m_Sp);
  hash.AddValue(chara.m_bDead);
}

}  // namespace

std::uint64_t WorldHash() {
  cFnv1a hash;
  for (const cHero& hero : Player) AddChara(hash, hero);
  for (const cChara& chara : g_CharaList) AddChara(hash, chara);
  for (const cItem& item : g_ItemList) AddObject(hash, item);
  hash.AddValue(ShotCount());
  if (g_GameScene != nullptr) {
    for (int32_t value : g_GameScene->m_StageVars) hash.AddValue(value);
    hash.AddValue(g_GameScene->m_nTimeLeft);
    hash.AddValue(g_GameScene->m_nPlayTime);
  }
  for (int32_t value : g_Progress.m_CommonVars) hash.AddValue(value);
  hash.AddValue(g_Progress.m_nScore);
  hash.AddValue(g_Progress.m_nStageScore);
  hash.AddValue(g_Progress.m_nLives);
  return hash.Value();
}

std::string TraceLine(std::int64_t frame, const std::vector<std::string>& requests) {
  const int sceneType = g_SceneManager.m_nCurScene;
  const cScene* scene = g_SceneManager.Scene(sceneType);
  const int phase = scene != nullptr ? scene->m_nStep : -1;
  const int step = scene != nullptr ? scene->m_nSubStep : 0;
  double x = 0, y = 0, vx = 0, vy = 0;
  int hp = 0;
  if (sceneType == SCENE_GAME && !Player.empty()) {
    const cHero& hero = Player[0];
    x = hero.m_X;
    y = hero.m_Y;
    vx = hero.m_VX;
    vy = hero.m_VY;
    hp = hero.m_Hp;
  }
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%lld %d %d %d %08x %a %a %a %a %d %016llx", static_cast<long long>(frame),
                sceneType, phase, step, g_Random.State(), x, y, vx, vy, hp,
                static_cast<unsigned long long>(WorldHash()));
  std::string line = buffer;
  for (const std::string& request : requests) line += " " + request;
  return line;
}

}  // namespace runner
