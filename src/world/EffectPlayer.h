#pragma once
// cEffectPlayer: an animated effect (Effect.dat) playing at a place in the
// world, for the effect command and for hits. The scene keeps them in its
// effect list (m_Effects); the stage drawing draws each one every frame and
// removes it once Draw reports the end of its animation.

#include <cstdint>

#include "world/AnimePlayer.h"

struct DDSURFACEDATA;
class cEffect;

// A rectangle with inclusive edges, in world dots.
struct cEffectRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

class cEffectPlayer {
 public:
  cEffectPlayer() = default;
  // Effect `index` with its top-left at (x, y) in world dots, drawn width by
  // height (scaled when the width is not the entry's). An index outside
  // Effect.dat is reported and entry 0 plays.
  cEffectPlayer(int index, double x, double y, int width, int height, int animateWhileFrozen);
  // A hit effect centred on the overlap of two hit rectangles (or on (0, 0)
  // when they do not overlap), jittered by up to 4 x scale dots, at `scale`
  // times the entry's size when the entry is scalable.
  cEffectPlayer(int index, const cEffectRect& a, const cEffectRect& b, int scale);

  // (Re)loads the effect's frame script and starts it.
  void Start(int index);
  // Draws the current cell to `target` and, unless frozen (or animating while
  // frozen), advances a tick first: 1 when the effect has finished.
  int Draw(DDSURFACEDATA* target, int frozen);
  // The sum of the frame durations in frames (the effect command's wait).
  int TotalFrames() const;

  // ---- members, in order ----
  int32_t m_nEffect = 0;
  double m_X = 0.0;
  double m_Y = 0.0;
  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  int32_t m_bScaled = 0;
  cAnimePlayer m_Anime;
  int32_t m_bAnimateWhileFrozen = 0;

 private:
  const cEffect& Entry() const;
};
