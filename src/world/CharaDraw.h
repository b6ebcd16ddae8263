#pragma once
// How characters, items and icons are put on the screen: the surface and
// cell a graphic kind and index stand for (SelectGraphicSource), the pattern
// a character shows (its base animation and its playback list), its drawing
// through the drawer of its running chara effect (CharaEffectDraw.cpp), its
// mark, gauges, death sequence, the hero's area marks and light, and the
// carried-item hint.
//
// Sheets hold 15 cells of 32 x 32 per column: cell i at column i / 15, row
// i % 15. A source cell outside its sheet is never drawn (the character kind
// falls back to cell (0, 0) of the first sheet instead).
//
// Drawing advances state (animations, chara effects, gauges, death frames)
// unless `noAdvance` is set; the scene's draw pass passes its frozen flag.

#include <array>
#include <cstdint>

struct DDSURFACEDATA;
class cCharaBase;
class cChara;
class cHero;
class cItem;
class cGameObj;

// Where a graphic's cell is: the surfaces for the object's facing and the
// other one, the copies stretched drawing reads, the flash blend, and the
// cell's top-left.
struct cGraphicSource {
  DDSURFACEDATA* image = nullptr;
  DDSURFACEDATA* imageCopy = nullptr;
  DDSURFACEDATA* opposite = nullptr;
  DDSURFACEDATA* oppositeCopy = nullptr;
  DDSURFACEDATA* stretch = nullptr;
  DDSURFACEDATA* stretchOpposite = nullptr;
  int32_t blend = 0;
  uint32_t blendColour = 0;
  int32_t blendOp = 0;
  int32_t multiCell = 0;
  uint8_t cellMul = 1;
  int32_t sx = 0;
  int32_t sy = 0;
  // Dots of one cell side (32 x the multiplier).
  int CellSize() const { return 32 * cellMul; }
};

enum eGraphicUse : int {
  GRAPHIC_USE_NONE = 0,
  GRAPHIC_USE_CHARA = 1,  // facing picks the image
  GRAPHIC_USE_ITEM = 2,   // two frames side by side
};

// Fixes the mark, work and big work surfaces for the run's back end.
void SelectDrawSurfaces();
DDSURFACEDATA* WorkSurface();
DDSURFACEDATA* BigWorkSurface();

cGraphicSource SelectGraphicSource(int use, int kind, int a, int b, const cGameObj* object, int c);
// A 16 x 16 icon of a graphic (message windows, carried items).
void DrawKindIcon(DDSURFACEDATA* target, int x, int y, int kind, int c, int d);

// The pattern this frame: the chosen playback entry's, else the base
// animation's; advances both unless `noAdvance`.
int PickCurrentAnime(cCharaBase& chara, int noAdvance);
// The graphic row with the animation set's offsets; sets the flash blend of
// `source` while the character is invincible.
int GraphicRowFor(cCharaBase& chara, cGraphicSource* source);

void DrawChara(cCharaBase& chara, DDSURFACEDATA* target, int noAdvance);
// Runs the chara effect without drawing (hidden characters); clears it when
// it ends.
void AdvanceCharaEffect(cCharaBase& chara, int noAdvance);
// 1 when the death sequence is over.
int DrawDying(cCharaBase& chara, DDSURFACEDATA* target, int noAdvance);
// The HP (which 0) or SP (1) gauge above the character.
void DrawCharaGauge(cCharaBase& chara, DDSURFACEDATA* target, int which);
inline void DrawHpGauge(cCharaBase& chara, DDSURFACEDATA* target) { DrawCharaGauge(chara, target, 0); }
inline void DrawSpGauge(cCharaBase& chara, DDSURFACEDATA* target) { DrawCharaGauge(chara, target, 1); }
// The hero: DrawChara, then its area marks.
void DrawHero(cHero& hero, DDSURFACEDATA* target, int noAdvance);
// The darkness around a hero with a light.
void DrawHeroLight(cHero& hero, DDSURFACEDATA* target);
// The icon of the item an ordinary character carries, shown above its head.
void DrawItemIcon(cChara& chara, DDSURFACEDATA* target);
// The area of a distance condition around an ordinary character, when the
// condition asks for it to be shown: lines the length of the screen at the
// character's edges widened by the distance, or a circle of that radius.
// `phase` (0..31) steps the colour through four shades.
class cCond;
void DrawRangeCondition(const cChara& chara, DDSURFACEDATA* target, const cCond& cond, int phase);
// An item on the stage.
void DrawItem(cItem& item, DDSURFACEDATA* target, int noAdvance);
// A shot or a sword swing (nothing when its cEdShot hides it).
class cShot;
void DrawShot(cShot& shot, DDSURFACEDATA* target, int noAdvance);
// The hero whose object key it is, else the ordinary character with that
// key, else null.
cCharaBase* FindPlayerRecord(int32_t key);

// ---- chara-effect drawers (CharaEffectDraw.cpp) ----
// (character, target, source, noAdvance, draw) -> 1 when the effect ended.
// `draw` 0 only advances.
using tCharaEffectDrawer = int (*)(cCharaBase&, DDSURFACEDATA*, const cGraphicSource&, int, int);
inline constexpr int kCharaEffectKinds = 17;
extern const std::array<tCharaEffectDrawer, kCharaEffectKinds> kCharaEffectDrawers;
// The drawer of the character's running effect (kind 0 when none runs or
// its kind is outside the table).
tCharaEffectDrawer CharaEffectDrawerFor(const cCharaBase& chara);
// Draws the cell at the character's screen rectangle, plain or with the
// flash blend; `opposite` draws the other facing.
void DrawSourceCell(cCharaBase& chara, DDSURFACEDATA* target, const cGraphicSource& source, int x, int y, int w, int h);
