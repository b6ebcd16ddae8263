// The second status operation, vanish, item, graphic, animation, effect,
// picture, colour, background, sound and music commands (flow types 23 to
// 36; item types 8 to 21).

#include <cmath>
#include <vector>

#include "core/ErrorBox.h"
#include "core/Log.h"
#include "core/SoundRequest.h"
#include "data/Command.h"
#include "data/Database.h"
#include "data/Effect.h"
#include "data/Palette.h"
#include "data/Picture.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "flow/FlowCommands.h"
#include "graphics/BitmapLoad.h"
#include "graphics/DrawContext.h"
#include "graphics/Surface.h"
#include "world/Chara.h"
#include "world/CharaBase.h"
#include "world/FlowState.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/Shot.h"
#include "world/StageGraphics.h"
#include "world/StageSetup.h"

namespace {

bool IsHero(const cCharaBase& chara) { return dynamic_cast<const cHero*>(&chara) != nullptr; }

// The character or its target in slot `whose` - 1 (whose 1..4); null for an
// empty slot.
cCharaBase* ObjectOf(cCharaBase& chara, int whose) {
  if (whose == 0) return &chara;
  const int slot = whose - 1;
  if (slot < 0 || slot >= static_cast<int>(chara.m_Targets.size())) return nullptr;
  return chara.m_Targets[slot];
}

// A character is taken off at the end of its step; the hero loses its hit
// points. Another character than the running one asks for the death check.
void KillObject(cCharaBase& object, const cCharaBase& running) {
  if (IsHero(object))
    object.m_Hp = 0;
  else
    object.m_bVanished = 1;
  if (&object != &running && g_GameScene != nullptr) g_GameScene->m_bHpCheck = 1;
}

// Halves away from zero, as the size of an effect is rounded.
int RoundHalfAway(double v) { return static_cast<int>(v < 0 ? std::ceil(v - 0.5) : std::floor(v + 0.5)); }

// The top-left (map dots) of a w x h presentation placed by position kind:
// 0 screen centre, 1 the character's centre, 2 the hero's centre, 3 screen
// cell, 4 stage cell; offsets added.
void PlaceByKind(cCharaBase& chara, int kind, int cellX, int cellY, int offX, int offY, int w, int h, double& x,
                 double& y) {
  const double camX = CameraX(), camY = CameraY();
  switch (kind) {
    case 1:
    case 2: {
      // The centre of the object's graphic on the screen, as the rest of the
      // player takes an object's centre; its collision box may sit anywhere
      // within the graphic.
      const cCharaBase* object = kind == 1 ? &chara : StageHero();
      const double cx = object != nullptr ? camX + object->m_ScrLeft + (object->m_GfxW >> 1) : camX + 320;
      const double cy = object != nullptr ? camY + object->m_ScrTop + (object->m_GfxH >> 1) : camY + 240;
      x = cx - (w >> 1) + offX;
      y = cy - (h >> 1) + offY;
      break;
    }
    case 3:
      x = camX + cellX * 32 + offX;
      y = camY + cellY * 32 + offY;
      break;
    case 4: {
      const int marginX = g_GameScene != nullptr ? g_GameScene->m_ScrollX.m_Margin : 0;
      const int marginY = g_GameScene != nullptr ? g_GameScene->m_ScrollY.m_Margin : 0;
      x = (cellX + marginX) * 32 + offX;
      y = (cellY + marginY) * 32 + offY;
      break;
    }
    default:
      x = camX + 320 - (w >> 1) + offX;
      y = camY + 240 - (h >> 1) + offY;
      break;
  }
}

// The parameters of the picture command. The wait at 6 was put in before the
// size, which it moved to 7 (files from before it get 1 there, so their
// pictures still stop the game); the replace flag and its ID came in
// together, at 12 and 13.
enum ePictureParam : int {
  PICTURE_INDEX = 0,              // Picture database entry; 0 removes every picture
  PICTURE_PLACE = 1,              // 0 screen centre, 1 own centre, 2 hero's centre, 3 screen cell, 4 stage cell
  PICTURE_CELL_X = 2,
  PICTURE_CELL_Y = 3,
  PICTURE_OFFSET_X = 4,           // dots
  PICTURE_OFFSET_Y = 5,
  PICTURE_WAIT = 6,               // stop the game while shown (key or timed display)
  PICTURE_SIZE = 7,               // percent
  PICTURE_DISPLAY = 8,            // 0 until the key, 1 until the stage ends, 2 timed
  PICTURE_TIME = 9,               // tenths of a second, for the timed display
  PICTURE_LAYER = 10,             // 0 behind the objects, else in front
  PICTURE_SCREEN_FIXED = 11,      // kept at its place on the screen instead of in the world
  PICTURE_REPLACE = 12,           // replaces the shown picture of the same ID
  PICTURE_ID = 13,
  PICTURE_COUNT_WHEN_FROZEN = 14, // the time runs on while the game is stopped
};

void RemovePicture(tPictureList::iterator it) {
  if (it->m_lpSurface != nullptr) DDEraseSurfaceList(g_PictureSurfaces, g_PictureSurfaceDefs, it->m_lpSurface);
  g_GameScene->m_Pictures.erase(it);
}

}  // namespace

int CmdStatusOperation2(cCharaBase& chara, cCommand& command) {
  const int whose = command.Param(0), which = command.Param(1), value = command.Param(2);
  if (whose == 5) {
    // The system: the automatic scroll switch of an axis, at the speed the
    // stage has.
    if (which == 0) {
      g_Stage.m_AutoScrollX = value;
      if (g_GameScene != nullptr) g_GameScene->m_ScrollX.SetSpeed(value, g_Stage.m_AutoScrollSpeedX);
    } else if (which == 1) {
      g_Stage.m_AutoScrollY = value;
      if (g_GameScene != nullptr) g_GameScene->m_ScrollY.SetSpeed(value, g_Stage.m_AutoScrollSpeedY);
    }
    return 0;
  }
  cCharaBase* object = ObjectOf(chara, whose);
  if (object == nullptr) return 0;
  switch (which) {
    case 0:
      KillObject(*object, chara);
      break;
    case 1:
      object->m_Data.m_bTransparent = static_cast<uint8_t>(value);
      break;
    case 2:
      object->m_Data.m_bFacingLock = static_cast<uint8_t>(value);
      break;
    case 3:
      if (cHero* hero = dynamic_cast<cHero*>(object)) hero->ApplySizeKind(value, 1);
      break;
    case 4:
      object->m_Data.m_nInvincible = static_cast<uint8_t>(value);
      break;
    case 5: {
      const int oldScale = object->Scale();
      const int newScale = value > 0 ? value : 1;
      object->SetScale(newScale, oldScale);
      object->m_Data.m_nScale = static_cast<uint8_t>(newScale);
      if (cHero* hero = dynamic_cast<cHero*>(object)) hero->BuildAreaMarks();
      break;
    }
    case 6:
      object->m_Data.m_bScrollSync = static_cast<uint8_t>(value);
      object->m_MovesWithScroll = value & 0xFF;
      break;
    default:
      break;
  }
  return 0;
}

void VanishShotGroup(int group, int everywhere) {
  g_ShotList.m_Shots.ForEach([&](cShot& shot) {
    if (shot.Faction() != group || shot.m_Active == 0) return;
    // A shot removed while the shot list is walked only goes once the walk
    // is over (ObjList.h), which serves as its delete request.
    if (everywhere != 0 || shot.m_OnScreen != 0) g_ShotList.EraseShot(shot);
  });
}

void VanishCharaGroup(cCharaBase& running, int group, int everywhere) {
  if (g_GameScene == nullptr || group < 0 || group >= static_cast<int>(g_GameScene->m_CharaGroups.size())) return;
  // The lists are pruned once a sub-step; a character removed since (by the
  // contact checks before an item pickup runs this) must not be reached.
  g_GameScene->PruneGroups();
  const std::vector<cCharaBase*> members = g_GameScene->m_CharaGroups[group];
  for (cCharaBase* other : members) {
    if (other == nullptr || other->m_Active == 0) continue;
    if (everywhere != 0 || other->m_OnScreen != 0) KillObject(*other, running);
  }
}

void VanishChildShots(cCharaBase& chara) {
  // Copied: erasing a shot removes its link from this list.
  const cSafeVector<cShotLink> links = chara.m_ShotLinks;
  for (const cShotLink& link : links) {
    if (link.m_nKind != kLinkChild || link.m_pShot == nullptr || link.m_pShot->m_Active == 0) continue;
    if (g_ShotList.m_Shots.Contains(link.m_pShot)) g_ShotList.EraseShot(*link.m_pShot);
  }
}

void VanishChildCharas(cCharaBase& chara, cCharaBase& running, int depth, bool withShots) {
  if (depth > 1000) return;
  // Copied: killing a child may change the links of this one.
  const cSafeVector<cCharaLink> links = chara.m_CharaLinks;
  for (const cCharaLink& link : links) {
    if (link.m_nKind != kLinkChild || link.m_pChara == nullptr || link.m_pChara->m_Active == 0) continue;
    if (withShots) VanishChildShots(*link.m_pChara);
    VanishChildCharas(*link.m_pChara, running, depth + 1, withShots);
    KillObject(*link.m_pChara, running);
  }
}

int CmdVanish(cCharaBase& chara, cCommand& command) {
  const int what = command.Param(0), group = command.Param(1), everywhere = command.Param(2);
  switch (what) {
    case 0:
      VanishCharaGroup(chara, group, everywhere);
      break;
    case 1:
      VanishShotGroup(group, everywhere);
      break;
    case 2:
      VanishChildCharas(chara, chara, 0, false);
      break;
    case 3:
      VanishChildShots(chara);
      break;
    case 4:
      VanishChildShots(chara);
      VanishChildCharas(chara, chara, 0, true);
      break;
    case 5:
      VanishChildCharas(chara, chara, 0, true);
      break;
    default:
      break;
  }
  return 0;
}

int CmdGetItem(cCharaBase&, cCommand& command) {
  cHero* hero = StageHero();
  if (hero == nullptr || g_GameScene == nullptr) return 0;
  const int palette = command.Param(0), index = command.Param(1);
  bool report = false;
  if (!cHero::MayRunNestedItemList(report)) {
    if (report) {
      ReportPrintfLog(
          "getting item %d of the %s palette would nest items more than %d deep or run more than %d item lists "
          "in one pickup; it is skipped, as is every get-item of the pickup past those limits",
          index, palette == 0 ? "common" : "stage", kMaxItemNesting, kMaxItemListsPerPickup);
    }
    return 0;
  }
  cSafeVector<cItemData>& items = palette == 0 ? g_CommonPalette.m_Items : g_Stage.m_PaletteItems;
  const int result = hero->RunItemCommands(items[index].m_Commands);
  if (result != 0) g_GameScene->m_nStepResult = result;
  return 0;
}

int CmdChangeGraphic(cCharaBase& chara, cCommand& command) {
  const uint8_t kind = static_cast<uint8_t>(command.Param(0));
  const int16_t graphic = static_cast<int16_t>(command.Param(1));
  chara.m_Data.m_nGraphicKind = kind;
  chara.m_Data.m_nGraphic = graphic;
  chara.m_Graphic = graphic;
  chara.m_Data.m_nZ = static_cast<uint8_t>(static_cast<int16_t>(command.Param(2)));
  return 0;
}

int CmdChangeBaseAnimeSet(cCharaBase& chara, cCommand& command) {
  chara.SetBaseAnimeSet(static_cast<uint16_t>(command.Param(0)), 0);
  return 0;
}

int CmdRunAnime(cCharaBase& chara, cCommand& command) {
  const int anime = command.Param(0);
  cAnimePlayback entry;
  cFrameScriptTable one;
  one.push_back(g_AnimeScripts[anime]);
  entry.m_Player.Setup(one);
  entry.m_Player.SetAnime(0, 1);
  entry.m_AnimeKey =
      g_GameScene != nullptr && g_GameScene->m_pCurFlowState != nullptr ? g_GameScene->m_pCurFlowState->m_FlowKey : -1;
  chara.m_AnimeList.insert(chara.m_AnimeList.begin(), entry);
  return 0;
}

int CmdRunEffect(cCharaBase& chara, cCommand& command) {
  if (g_GameScene == nullptr || g_GameScene->m_bMessageLock != 0) return 0;
  const int index = command.Param(0);
  if (index == 0) {
    g_GameScene->m_Effects.clear();
    return 0;
  }
  const cEffect& entry = g_Database.m_Effects[index];
  const int percent = command.Param(6);
  const int w = RoundHalfAway(percent * entry.m_nCellWidth * 0.01);
  const int h = RoundHalfAway(percent * entry.m_nCellHeight * 0.01);
  double x, y;
  PlaceByKind(chara, command.Param(1), command.Param(2), command.Param(3), command.Param(4), command.Param(5), w,
              h, x, y);
  const int wait = command.Param(7);
  g_GameScene->m_Effects.emplace_back(index, x, y, w, h, wait);
  if (wait != 0) {
    g_GameScene->m_GameWait.Set(GAME_WAIT_EFFECT, 0, g_GameScene->m_Effects.back().TotalFrames(), 0);
    g_GameScene->PauseLoop();
  }
  return 0;
}

int CmdRunCharaEffect(cCharaBase& chara, cCommand& command) {
  chara.m_CharaEffect.Start(static_cast<int16_t>(command.Param(0)), command.Param(1), command.Param(2));
  return 0;
}

int CmdRunScreenEffect(cCharaBase&, cCommand& command) {
  if (g_GameScene == nullptr) return 0;
  g_GameScene->m_ScrEffect.Start(static_cast<int16_t>(command.Param(0)), command.Param(1), command.Param(2));
  if (g_GameScene->m_ScrEffect.m_nEffect == 0) DDSetVirtualBackBuffer(0);
  return 0;
}

int CmdShowPicture(cCharaBase& chara, cCommand& command) {
  if (g_GameScene == nullptr || g_GameScene->m_bMessageLock != 0) return 0;
  tPictureList& pictures = g_GameScene->m_Pictures;
  const int index = command.Param(PICTURE_INDEX);
  if (index == 0) {
    while (!pictures.empty()) RemovePicture(pictures.begin());
    return 0;
  }
  const int replace = command.Param(PICTURE_REPLACE), id = command.Param(PICTURE_ID);
  if (replace != 0) {
    for (auto it = pictures.begin(); it != pictures.end(); ++it) {
      if (it->m_nValue2 == 0 || it->m_nValue1 != id) continue;
      if (it->m_nPicture == index) return 0;
      RemovePicture(it);
      break;
    }
  }
  const cPicture& entry = g_Database.m_Pictures[index];
  g_PictureSurfaces.emplace_back();
  g_PictureSurfaceDefs.emplace_back();
  DDSURFACEDATA* surface = &g_PictureSurfaces.back();
  DDSURFACEDEF& def = g_PictureSurfaceDefs.back();
  def.Set(entry.m_strFile, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0, 0, 0, 0, 0, 0);
  if (DDCreateSurfaceFromFile(surface, def.szFile, 1, g_DrawLayer.nBpp, 1, DTMEMORYTYPE_SYSTEM, 0, 0, 0, 0, 0) != 0) {
    g_PictureSurfaces.pop_back();
    g_PictureSurfaceDefs.pop_back();
    ErrorBoxf("%s 読み込み失敗！", entry.m_strFile.c_str());
    return 0;
  }
  const int percent = command.Param(PICTURE_SIZE) > 0 ? command.Param(PICTURE_SIZE) : 100;
  const int w = RoundHalfAway(surface->nWidth * percent * 0.01);
  const int h = RoundHalfAway(surface->nHeight * percent * 0.01);
  double x, y;
  PlaceByKind(chara, command.Param(PICTURE_PLACE), command.Param(PICTURE_CELL_X), command.Param(PICTURE_CELL_Y),
              command.Param(PICTURE_OFFSET_X), command.Param(PICTURE_OFFSET_Y), w, h, x, y);
  const int mode = command.Param(PICTURE_DISPLAY);
  const int frames = mode == 2 ? command.Param(PICTURE_TIME) * 6 : 0;
  cPicturePlayer player;
  player.Set(index, x, y, w, h, command.Param(PICTURE_SCREEN_FIXED), command.Param(PICTURE_LAYER) != 0 ? 1 : 0,
             percent, mode, frames, command.Param(PICTURE_COUNT_WHEN_FROZEN), id, replace != 0 ? 1 : 0);
  player.m_lpSurface = surface;
  pictures.push_back(player);
  if (command.Param(PICTURE_WAIT) != 0 && (mode == 0 || mode == 2)) {
    g_GameScene->m_GameWait.Set(GAME_WAIT_MESSAGE, mode == 0 ? 1 : 0, frames, 0);
    g_GameScene->PauseLoop();
    for (auto it = pictures.begin(); it != pictures.end(); ++it) {
      if (it->m_lpSurface != surface) continue;
      RemovePicture(it);
      break;
    }
  }
  return 0;
}

int CmdScreenColor(cCharaBase&, cCommand& command) {
  if (g_GameScene == nullptr) return 0;
  g_GameScene->m_ScreenColor.Set(command.Param(0), command.Param(1), command.Param(2), command.Param(3),
                                 command.Param(4), command.Param(5), command.Param(6), command.Param(7));
  return 0;
}

int CmdChangeBackground(cCharaBase&, cCommand& command) {
  const int n = command.Param(0);
  if (n < 1 || n > static_cast<int>(g_Stage.m_BgLayers.size())) return 0;
  cBgLayer& layer = g_Stage.m_BgLayers[n - 1];
  switch (command.Param(1)) {
    case 0:
      layer.m_bShown = 1;
      break;
    case 1:
      layer.m_bShown = 0;
      break;
    case 2:
      layer.m_bShown = layer.m_bShown != 0 ? 0 : 1;
      break;
    default:
      break;
  }
  return 0;
}

int CmdPlaySound(cCharaBase& chara, cCommand& command) {
  if (command.m_bSoundOnScreen == 0 || chara.m_OnScreen != 0) PlayDataSound(static_cast<int16_t>(command.Param(0)));
  return 0;
}

int CmdPlayBgm(cCharaBase&, cCommand& command) {
  RequestStageBgm(command.Param(0), command.Param(1));
  return 0;
}
