// A whole-surface fill of a Direct3D render target is owed until the pixels
// are next used, and the quad drawn over them next takes it into its own
// pass. Every case here draws the same fill and blit twice: once with the
// target's pixels read between the two (so the fill is written on its own
// first), once straight after each other (so the quad takes the fill); the
// two targets must match pixel for pixel.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "DrawLayerTestSupport.h"
#include "graphics/Blit.h"
#include "graphics/ColourEffects.h"
#include "graphics/BlendTable.h"
#include "graphics/Present.h"
#include "graphics/SurfaceFill.h"
#include "graphics/TexturedQuad.h"
#include "platform/SoftwareDevice.h"

namespace {

using namespace drawtest;

constexpr int kWidth = 16, kHeight = 12;
constexpr std::uint32_t kFill = 0xFF204060u;

// A 10 x 8 source whose alpha runs 0, 128, 255 across the columns, so every
// row has transparent, translucent and opaque texels.
void MakeAlphaSurface(DDSURFACEDATA& sd, int key) {
  ASSERT_TRUE(DDCreateSurface(&sd, 10, 8, key, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  plat::cPixelSurface& px = PixelsOf(sd);
  const std::uint32_t alphas[3] = {0x00000000u, 0x80000000u, 0xFF000000u};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) px.SetPixel(x, y, alphas[x % 3] | (Marker(x, y) & 0x00FFFFFFu));
}

struct sBlit {
  const char* name;
  int x, y, w, h;     // destination
  int sx, sy, sw, sh;  // source (a negative size mirrors)
  std::uint32_t flags;
  std::uint32_t alphaOp;  // D3DTOP_SELECTARG1 blends by the texel, D3DTOP_DISABLE stores
  std::uint32_t diffuse;
};

const sBlit kBlits[] = {
    {"covers the target, blended by the texel", 0, 0, kWidth, kHeight, 0, 0, 10, 8, 0, D3DTOP_SELECTARG1, 0xFFFFFFFF},
    {"inside the target", 3, 2, 10, 8, 0, 0, 10, 8, 0, D3DTOP_SELECTARG1, 0xFFFFFFFF},
    {"off the left and top edges", -4, -3, 10, 8, 0, 0, 10, 8, 0, D3DTOP_SELECTARG1, 0xFFFFFFFF},
    {"off the right and bottom edges", 9, 7, 10, 8, 0, 0, 10, 8, 0, D3DTOP_SELECTARG1, 0xFFFFFFFF},
    {"shifted and stored opaque", 2, 0, kWidth, kHeight, 0, 0, 10, 8, 0, D3DTOP_DISABLE, 0xFFFFFFFF},
    {"stretched and mirrored", 1, 1, 14, 9, 10, 0, -10, 8, 0, D3DTOP_SELECTARG1, 0xFFFFFFFF},
    {"at half the diffuse alpha", 0, 0, kWidth, kHeight, 0, 0, 10, 8, 0, D3DTOP_MODULATE, 0x80FFFFFF},
    {"at a diffuse alpha of 0", 2, 2, 8, 6, 0, 0, 10, 8, 0, D3DTOP_MODULATE, 0x00FFFFFF},
    {"keyed texels skipped", 2, 1, 10, 8, 0, 0, 10, 8, 1, D3DTOP_SELECTARG1, 0xFFFFFFFF},
};

std::string Describe(const plat::cPixelSurface& expected, const plat::cPixelSurface& actual) {
  for (int y = 0; y < expected.Height(); ++y)
    for (int x = 0; x < expected.Width(); ++x)
      if (expected.GetPixel(x, y) != actual.GetPixel(x, y))
        return "first difference at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
  return "";
}

bool SamePixels(const plat::cPixelSurface& a, const plat::cPixelSurface& b) { return Describe(a, b).empty(); }

void Blit(DDSURFACEDATA& dst, DDSURFACEDATA& src, const sBlit& b) {
  DDSetAlphaOp(b.alphaOp);
  DDSetBlendColor(b.diffuse);
  DDBltEx(&dst, b.x, b.y, b.w, b.h, &src, b.sx, b.sy, b.sw, b.sh, b.flags);
  DDResetAlphaOp();
  DDResetBlendColor();
}

// The blit over a filled target, on a plain and on a keyed target (whose
// quads with flags 0 from a keyed source clear their rectangle first), from a
// plain and from a keyed source, with the fill of an opaque colour and the
// clear of a keyed target to its transparent value.
TEST(OwedFillTest, AQuadOverAFilledTargetDrawsWhatTheFillAndTheQuadDrawOneAfterTheOther) {
  cTestLayer layer(eRoad::Direct3D, kWidth, kHeight);
  ASSERT_TRUE(layer.Started());
  for (int sourceKey = 0; sourceKey <= 1; ++sourceKey) {
    DDSURFACEDATA source;
    MakeAlphaSurface(source, sourceKey);
    for (int targetKey = 0; targetKey <= 1; ++targetKey) {
      for (const bool clear : {false, true}) {
        if (clear && targetKey == 0) continue;  // only a keyed target clears to the transparent value
        for (const sBlit& b : kBlits) {
          SCOPED_TRACE(std::string(b.name) + (sourceKey ? ", keyed source" : "") +
                       (targetKey ? ", keyed target" : "") + (clear ? ", cleared" : ""));
          DDSURFACEDATA apart, fused;
          for (DDSURFACEDATA* target : {&apart, &fused}) {
            ASSERT_TRUE(DDCreateSurface(target, kWidth, kHeight, targetKey, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
            FillAll(*target, kUntouched);
            if (clear) {
              DDFillSurfacePal(target, 0);
            } else {
              DDFillSurfaceRGB(target, kFill);
            }
          }
          ASSERT_TRUE(fused.lpDT->bOwedFill) << "the whole-target fill is to wait for the quad";
          apart.Pixels();  // the fill written on its own
          Blit(apart, source, b);
          Blit(fused, source, b);
          EXPECT_FALSE(fused.lpDT->bOwedFill);
          EXPECT_TRUE(SamePixels(*apart.Pixels(), *fused.Pixels())) << Describe(*apart.Pixels(), *fused.Pixels());
        }
      }
    }
  }
}

// A colour laid over the whole target is owed as well, after any fill it
// owes. Each sequence of drawing calls runs twice, once with the pixels read
// after every call (so nothing stays owed) and once straight through; the
// targets must match.
TEST(OwedFillTest, AColourLaidOverTheWholeTargetShowsAsIfLaidAtOnce) {
  cTestLayer layer(eRoad::Direct3D, kWidth, kHeight);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA source;
  MakeAlphaSurface(source, 0);
  using tStep = void (*)(DDSURFACEDATA&, DDSURFACEDATA&);
  const tStep fill = [](DDSURFACEDATA& t, DDSURFACEDATA&) { DDFillSurfaceRGB(&t, kFill); };
  const tStep lay = [](DDSURFACEDATA& t, DDSURFACEDATA&) { DDLayColor(&t, 0, 0, kWidth, kHeight, 90, 200, 40, 10); };
  const tStep layAgain = [](DDSURFACEDATA& t, DDSURFACEDATA&) { DDLayColor(&t, 0, 0, kWidth, kHeight, 200, 5, 6, 7); };
  const tStep layPart = [](DDSURFACEDATA& t, DDSURFACEDATA&) { DDLayColor(&t, 1, 1, 5, 5, 90, 200, 40, 10); };
  const tStep blit = [](DDSURFACEDATA& t, DDSURFACEDATA& s) { DDBltEx(&t, 3, 2, 10, 8, &s, 0, 0, 10, 8, 0); };
  const tStep fillPart = [](DDSURFACEDATA& t, DDSURFACEDATA&) { DDFillRectRGB(&t, 0, 0, 3, 3, 0xFF445566u); };
  const struct {
    const char* name;
    std::vector<tStep> steps;
  } sequences[] = {
      {"fill, lay", {fill, lay}},
      {"lay, blit", {lay, blit}},
      {"fill, lay, blit", {fill, lay, blit}},
      {"lay, lay again", {lay, layAgain}},
      {"lay, fill", {lay, fill}},
      {"lay, part fill", {lay, fillPart}},
      {"lay, part lay", {lay, layPart}},
  };
  for (const auto& sequence : sequences) {
    SCOPED_TRACE(sequence.name);
    DDSURFACEDATA apart, straight;
    for (DDSURFACEDATA* target : {&apart, &straight}) {
      ASSERT_TRUE(DDCreateSurface(target, kWidth, kHeight, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
      FillAll(*target, 0xC0708090u);
      for (const tStep step : sequence.steps) {
        step(*target, source);
        if (target == &apart) target->Pixels();
      }
    }
    EXPECT_TRUE(SamePixels(*apart.Pixels(), *straight.Pixels())) << Describe(*apart.Pixels(), *straight.Pixels());
  }
}

// What the quad cannot take is written before it draws: a target drawn over
// itself reads the fill, and a source that owes a fill is read filled.
TEST(OwedFillTest, AFillIsWrittenBeforeItsPixelsAreRead) {
  cTestLayer layer(eRoad::Direct3D, kWidth, kHeight);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA target, source;
  ASSERT_TRUE(DDCreateSurface(&target, kWidth, kHeight, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  ASSERT_TRUE(DDCreateSurface(&source, kWidth, kHeight, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));

  // Over itself, shifted: every pixel the copy writes is the fill.
  FillAll(target, kUntouched);
  DDFillSurfaceRGB(&target, kFill);
  DDBltEx(&target, 4, 0, 8, 8, &target, 0, 0, 8, 8, 0);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) ASSERT_EQ(PixelAt(target, x, y), kFill) << x << ", " << y;

  // From a source that owes its fill: the source's fill shows.
  FillAll(source, kUntouched);
  DDFillSurfaceRGB(&source, 0xFF0A0B0Cu);
  DDBltEx(&target, 0, 0, 4, 4, &source, 0, 0, 4, 4, 0);
  EXPECT_EQ(PixelAt(target, 0, 0), 0xFF0A0B0Cu);
  EXPECT_EQ(PixelAt(target, 4, 4), kFill);

  // A fill that covers part of an owing target writes the owed fill first.
  DDFillSurfaceRGB(&target, kFill);
  DDFillRectRGB(&target, 0, 0, 2, 2, 0xFF445566u);
  EXPECT_EQ(PixelAt(target, 1, 1), 0xFF445566u);
  EXPECT_EQ(PixelAt(target, 2, 2), kFill);

  // A translucent whole fill blends with what is there, owed or not.
  DDFillSurfaceRGB(&target, kFill);
  DDFillSurfaceRGB(&target, 0x80FFFFFFu);
  EXPECT_EQ(PixelAt(target, 5, 5), plat::BlendSourceAlpha(0x80FFFFFFu, kFill));
}

// A new empty render target is cleared and a new system-memory texture
// zeroed (its zeros owed like a fill):
// whatever the heap held before (here a released target's pixels) never
// shows, whether the first use reads it whole, draws into a part of it, or
// fills it again and draws cells into it as the shot sheets are built.
TEST(OwedFillTest, ANewEmptyTextureReadsClearedHoweverItIsFirstUsed) {
  cTestLayer layer(eRoad::Direct3D, kWidth, kHeight);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA source;
  MakeAlphaSurface(source, 0);
  const std::uint32_t clear = lpDTCon->dwOpaqueTransmit;
  using tUse = void (*)(DDSURFACEDATA&, DDSURFACEDATA&);
  const struct {
    const char* name;
    tUse use;
    int x, y, w, h;  // the part the use draws; the rest must read as the clear
    bool quad;       // drawn by a quad, which only a render target takes
  } uses[] = {
      {"read whole", [](DDSURFACEDATA&, DDSURFACEDATA&) {}, 0, 0, 0, 0, false},
      {"a part drawn", [](DDSURFACEDATA& t, DDSURFACEDATA& s) { DDBltEx(&t, 3, 2, 4, 4, &s, 0, 0, 4, 4, 0); },
       3, 2, 4, 4, true},
      {"a part filled", [](DDSURFACEDATA& t, DDSURFACEDATA&) { DDFillRectRGB(&t, 1, 1, 2, 2, kFill); }, 1, 1, 2, 2,
       false},
  };
  // A system-memory texture is no render target: it comes zeroed.
  const struct {
    const char* name;
    int memoryType;
    std::uint32_t clear;
  } kinds[] = {{"render target", DTMEMORYTYPE_VIDEO_RT, clear}, {"system memory", DTMEMORYTYPE_SYSTEM, 0u}};
  for (const auto& kind : kinds) {
    for (int key = 0; key <= 1; ++key) {
      for (const auto& use : uses) {
        if (use.quad && kind.memoryType != DTMEMORYTYPE_VIDEO_RT) continue;
        SCOPED_TRACE(std::string(kind.name) + ", " + use.name + (key ? ", keyed" : ""));
        {
          DDSURFACEDATA earlier;
          ASSERT_TRUE(DDCreateSurface(&earlier, kWidth, kHeight, key, 0, kind.memoryType, 0, 0));
          FillAll(earlier, kUntouched);
        }
        DDSURFACEDATA target;
        ASSERT_TRUE(DDCreateSurface(&target, kWidth, kHeight, key, 0, kind.memoryType, 0, 0));
        use.use(target, source);
        const plat::cPixelSurface& px = *target.Pixels();
        for (int y = 0; y < px.Height(); ++y) {
          for (int x = 0; x < px.Width(); ++x) {
            const bool drawn = x >= use.x && x < use.x + use.w && y >= use.y && y < use.y + use.h;
            if (!drawn) ASSERT_EQ(px.GetPixel(x, y), kind.clear) << x << ", " << y;
          }
        }
      }
    }
  }
  // Filled again and drawn in cells: the same pixels as with the clear
  // written at once.
  DDSURFACEDATA apart, straight;
  for (DDSURFACEDATA* target : {&apart, &straight}) {
    ASSERT_TRUE(DDCreateSurface(target, kWidth, kHeight, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
    if (target == &apart) target->Pixels();
    DDFillSurfacePal(target, 0);
    DDBlt(target, 2, 2, 4, 4, &source, 0, 0, 1);
    DDBlt(target, 9, 2, 4, 4, &source, 4, 0, 1);
  }
  EXPECT_TRUE(SamePixels(*apart.Pixels(), *straight.Pixels())) << Describe(*apart.Pixels(), *straight.Pixels());
}

// A new system-memory texture owes its zeros: every road that reads, draws
// into, keeps or makes anew its pixels leaves the texture, and whatever was
// drawn from it, as a texture zeroed when it was made does. The heap holds a
// released texture's pixels where the new one is made, so zeros never paid
// show.
TEST(OwedFillTest, ASystemMemoryTextureDrawsAsOneZeroedWhenMadeOnEveryRoad) {
  cTestLayer layer(eRoad::Direct3D, kWidth, kHeight);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA source;
  MakeAlphaSurface(source, 0);
  using tUse = void (*)(DDSURFACEDATA& sys, DDSURFACEDATA& rt, DDSURFACEDATA& other, DDSURFACEDATA& src);
  const struct {
    const char* name;
    tUse use;
  } uses[] = {
      {"read", [](DDSURFACEDATA& s, DDSURFACEDATA&, DDSURFACEDATA&, DDSURFACEDATA&) { s.Pixels(); }},
      {"source of a blit into a target", [](DDSURFACEDATA& s, DDSURFACEDATA& rt, DDSURFACEDATA&, DDSURFACEDATA&) {
         DDBltEx(&rt, 1, 1, 12, 9, &s, 0, 0, 12, 9, 0);
       }},
      {"source of a keyed blit", [](DDSURFACEDATA& s, DDSURFACEDATA& rt, DDSURFACEDATA&, DDSURFACEDATA&) {
         DDBlt(&rt, 1, 1, 12, 9, &s, 0, 0, 1);
       }},
      {"source of a blit into system memory", [](DDSURFACEDATA& s, DDSURFACEDATA&, DDSURFACEDATA& o, DDSURFACEDATA&) {
         DDBlt(&o, 0, 0, 12, 9, &s, 2, 2, 0);
       }},
      {"translucent source", [](DDSURFACEDATA& s, DDSURFACEDATA& rt, DDSURFACEDATA&, DDSURFACEDATA&) {
         DDTranslucent(&rt, 0, 0, 12, 9, &s, 0, 0, 0, g_BlendTable);
       }},
      {"alpha source", [](DDSURFACEDATA& s, DDSURFACEDATA& rt, DDSURFACEDATA&, DDSURFACEDATA&) {
         DDAlphaBlt(&rt, 0, 0, 12, 9, &s, 0, 0, 0, g_BlendTable, 64);
       }},
      {"quad from it", [](DDSURFACEDATA& s, DDSURFACEDATA& rt, DDSURFACEDATA&, DDSURFACEDATA&) {
         DTDrawQuadNow(DTMakeQuad(&rt, 0, 0, 14, 10, &s, 0, 0, 12, 9, 0));
       }},
      {"blit into it", [](DDSURFACEDATA& s, DDSURFACEDATA&, DDSURFACEDATA&, DDSURFACEDATA& src) {
         DDBlt(&s, 3, 2, 4, 4, &src, 0, 0, 0);
       }},
      {"keyed blit into it", [](DDSURFACEDATA& s, DDSURFACEDATA&, DDSURFACEDATA&, DDSURFACEDATA& src) {
         DDBlt(&s, 3, 2, 8, 6, &src, 0, 0, 1);
       }},
      {"stretched into it", [](DDSURFACEDATA& s, DDSURFACEDATA&, DDSURFACEDATA&, DDSURFACEDATA& src) {
         DDBltEx(&s, 1, 1, 14, 9, &src, 10, 0, -10, 8, 0);
       }},
      {"filled whole", [](DDSURFACEDATA& s, DDSURFACEDATA&, DDSURFACEDATA&, DDSURFACEDATA&) {
         DDFillSurfaceRGB(&s, kFill);
       }},
      {"filled whole, then part", [](DDSURFACEDATA& s, DDSURFACEDATA&, DDSURFACEDATA&, DDSURFACEDATA&) {
         DDFillSurfaceRGB(&s, kFill);
         DDFillRectRGB(&s, 2, 2, 3, 3, 0xFF00FF00u);
       }},
      {"colour changed", [](DDSURFACEDATA& s, DDSURFACEDATA&, DDSURFACEDATA&, DDSURFACEDATA&) {
         DDChangeColor(&s, 0, 0, kWidth, kHeight, 100, 200, 30, 40);
       }},
      {"colour laid", [](DDSURFACEDATA& s, DDSURFACEDATA&, DDSURFACEDATA&, DDSURFACEDATA&) {
         DDLayColor(&s, 2, 2, 8, 6, 100, 200, 30, 40);
       }},
      {"device reset", [](DDSURFACEDATA&, DDSURFACEDATA&, DDSURFACEDATA&, DDSURFACEDATA&) {
         DDSimulateDeviceLoss(true);
         DDRestoreSurface();
       }},
      {"created again on its row", [](DDSURFACEDATA& s, DDSURFACEDATA&, DDSURFACEDATA&, DDSURFACEDATA&) {
         DDFillSurfaceRGB(&s, kFill);
         DDCreateSurface(&s, kWidth, kHeight, 1, 0, DTMEMORYTYPE_SYSTEM, 0, 0);
       }},
      {"created again before use", [](DDSURFACEDATA& s, DDSURFACEDATA&, DDSURFACEDATA&, DDSURFACEDATA&) {
         DDCreateSurface(&s, kWidth, kHeight, 1, 0, DTMEMORYTYPE_SYSTEM, 0, 0);
       }},
      {"made a target on its row", [](DDSURFACEDATA& s, DDSURFACEDATA&, DDSURFACEDATA&, DDSURFACEDATA&) {
         DDCreateSurface(&s, kWidth, kHeight, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0);
       }},
      {"read through a copy row", [](DDSURFACEDATA& s, DDSURFACEDATA& rt, DDSURFACEDATA&, DDSURFACEDATA&) {
         DDSURFACEDATA copy;
         DDCreateSurface(&copy, kWidth, kHeight, 1, 0, DTMEMORYTYPE_SYSTEM, 1, 0);
         copy.lpPrimary = &s;
         DDBlt(&rt, 0, 0, kWidth, kHeight, &copy, 0, 0, 0);
       }},
  };
  for (const auto& use : uses) {
    SCOPED_TRACE(use.name);
    std::vector<std::uint32_t> results[2];
    for (int paid = 0; paid <= 1; ++paid) {
      {
        DDSURFACEDATA earlier[3];
        for (auto& e : earlier) {
          ASSERT_TRUE(DDCreateSurface(&e, kWidth, kHeight, 1, 0, DTMEMORYTYPE_SYSTEM, 0, 0));
          FillAll(e, kUntouched);
        }
      }
      DDSURFACEDATA sys, other, rt;
      ASSERT_TRUE(DDCreateSurface(&sys, kWidth, kHeight, 1, 0, DTMEMORYTYPE_SYSTEM, 0, 0));
      ASSERT_TRUE(DDCreateSurface(&other, kWidth, kHeight, 1, 0, DTMEMORYTYPE_SYSTEM, 0, 0));
      ASSERT_TRUE(DDCreateSurface(&rt, kWidth, kHeight, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
      FillAll(rt, 0xFF112233u);
      FillAll(other, 0xFF445566u);
      if (paid) {  // zeroed when made
        plat::cPixelSurface& tex = *sys.lpDT->lpTexture;
        plat::FillRect(tex, 0, 0, tex.Width(), tex.Height(), 0);
        sys.lpDT->bOwedFill = false;
      }
      use.use(sys, rt, other, source);
      for (DDSURFACEDATA* sd : {&sys, &rt, &other}) {
        const plat::cPixelSurface* px = sd->Pixels();
        ASSERT_NE(px, nullptr);
        for (int y = 0; y < px->Height(); ++y)
          for (int x = 0; x < px->Width(); ++x) results[paid].push_back(px->GetPixel(x, y));
      }
    }
    EXPECT_EQ(results[0], results[1]);
  }
}

}  // namespace
