// The code language of the code command: any text, run as a statement for a
// character with a target and a hero, must end without a crash, a sanitizer
// report or unbounded work. The first byte chooses the old evaluation, the
// rest is the statement.

#include <string>
#include <string_view>

#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "flow/CodeLanguage.h"
#include "fuzz/FuzzSupport.h"
#include "platform/MessageBox.h"
#include "world/CharaBase.h"
#include "world/GameScene.h"
#include "world/Hero.h"

namespace {

struct cCodeWorld {
  cCodeWorld() {
    plat::SetMessageBoxSink([](const std::string&, const std::string&, UINT) { return IDOK; });
    g_Stage.ApplyHitLevel(2);
    g_GameScene = &m_Scene;
    Player.resize(1);
    m_Chara.m_Data.m_nMhp = 100;
    m_Chara.m_Hp = 50;
    m_Chara.SetTarget(0, &Player[0], 1);
    m_Chara.SetTarget(2, &m_Target, 1);
  }

  cGameScene m_Scene;
  cCharaBase m_Chara;
  cCharaBase m_Target;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static cCodeWorld world;
  if (size == 0) return 0;
  g_System.m_bExpressionSwitch = data[0] & 1;
  const std::string_view code(reinterpret_cast<const char*>(data + 1), size - 1);
  RunCode(code, world.m_Chara);
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  const char* const statements[] = {
      "my.hp = my.hp + rand(1,10)",
      "C1 = (S2 + 3) * tg3.v4 / 2 % 7",
      "tg.mhp = pl.sp - -5",
      "sys.life = time",
      "my.v1 = rand(rand(1,5),(2 - 9)) = 3",
      "scrlx = 999 my.sight = 4",
      "xx.hp =",
  };
  std::vector<std::vector<std::uint8_t>> seeds;
  for (const char* statement : statements) {
    for (std::uint8_t mode : {0, 1}) {
      std::vector<std::uint8_t> seed{mode};
      seed.insert(seed.end(), statement, statement + std::string_view(statement).size());
      seeds.push_back(seed);
    }
  }
  return seeds;
}
