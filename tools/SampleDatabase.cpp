// The sample game's databases: two animation sets with their animations, one
// effect, chara and screen effects, a picture (a signboard), sounds and music.

#include "SampleGame.h"

namespace samplegame {

namespace {

cAnime MakeAnime(const char* name, std::initializer_list<int> patterns, int nDuration) {
  cAnime anime;
  anime.m_strName = name;
  anime.m_Frames.clear();
  for (int pattern : patterns) anime.m_Frames.emplace_back(pattern, nDuration, 0);
  return anime;
}

template <class tEntry>
tEntry MakeFileEntry(const char* name, const char* file) {
  tEntry entry;
  entry.m_strName = name;
  entry.m_strFile = file;
  return entry;
}

}  // namespace

cDatabase MakeDatabase() {
  cDatabase db;

  // Animations: 0 and 1 as every database has them, then walking and an attack.
  db.m_Animes.push_back(MakeAnime("歩き", {0, 1, 2, 1}, 2));
  db.m_Animes.push_back(MakeAnime("攻撃", {3, 4}, 1));
  db.m_Animes[2].m_Frames[0].m_nLock = 0;
  db.m_Animes[3].m_Frames[0].m_nLock = 1;

  // Animation set 1, the characters': standing still on pattern 0, walking.
  cAnimeSet chara;
  chara.m_strName = "キャラ";
  chara.m_States[ANIME_STATE_STAND] = MakeAnime("立ち", {0}, 1);
  chara.m_States[ANIME_STATE_WALK] = MakeAnime("立ち移動", {0, 1, 2, 1}, 2);
  chara.m_States[ANIME_STATE_FLY] = MakeAnime("飛行", {0}, 1);
  chara.m_States[ANIME_STATE_FLY_MOVE] = MakeAnime("飛行移動", {0, 1}, 2);
  db.m_AnimeSets.push_back(chara);

  // One effect: an explosion of four 32-dot cells.
  cEffect explosion;
  explosion.m_strName = "爆発";
  explosion.m_strFile = "bmp\\Effect\\Explosion.bmp";
  explosion.m_Frames.clear();
  for (int i = 0; i < 4; ++i) explosion.m_Frames.emplace_back(i, 1);
  db.m_Effects[1] = explosion;

  // A flash of the character (kind 1, default values) and a sideways shake of
  // the screen: kind 2, a second a swing, 6 dots each way, two swings.
  db.m_CharaEffects[1].m_strName = "点滅";
  db.m_ScrEffects[1].m_strName = "揺れ";
  db.m_ScrEffects[1].m_nKind = 2;
  db.m_ScrEffects[1].m_Params[0] = 10;
  db.m_ScrEffects[1].m_Params[1] = 6;
  db.m_ScrEffects[1].m_Params[2] = 2;

  db.m_Pictures[1] = MakeFileEntry<cPicture>("看板", "bmp\\Picture\\Sign.bmp");

  db.m_Sounds[1] = MakeFileEntry<cSound>("ジャンプ", "se\\Jump.wav");
  db.m_Sounds.push_back(MakeFileEntry<cSound>("コイン", "se\\Coin.wav"));
  db.m_Sounds.push_back(MakeFileEntry<cSound>("ショット", "se\\Shot.wav"));
  db.m_Sounds.push_back(MakeFileEntry<cSound>("爆発", "se\\Explosion.wav"));

  db.m_Bgms[1] = MakeFileEntry<cBgm>("ステージ", "bgm\\Stage.ogg");
  db.m_Bgms.push_back(MakeFileEntry<cBgm>("ボス", "bgm\\Boss.mid"));
  db.m_Bgms.push_back(MakeFileEntry<cBgm>("タイトル", "bgm\\Title.mid"));
  db.m_Bgms.push_back(MakeFileEntry<cBgm>("マップ", "bgm\\Map.mid"));
  return db;
}

}  // namespace samplegame
