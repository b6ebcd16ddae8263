#include "platform/ShadeRows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "platform/SoftwareDevice.h"

namespace {

using plat::cPixelSurface;
using plat::eRowKernels;
using plat::sStageState;
namespace TextureOp = plat::TextureOp;

// Every kernel set this machine runs, narrowest first.
std::vector<eRowKernels> RunnableKernelSets() {
  std::vector<eRowKernels> sets;
  for (int set = 0; set <= static_cast<int>(plat::WidestRowKernels()); ++set) sets.push_back(static_cast<eRowKernels>(set));
  return sets;
}

const char* KernelSetName(eRowKernels set) {
  switch (set) {
    case eRowKernels::Portable:
      return "portable";
    case eRowKernels::Sse2:
      return "SSE2";
    case eRowKernels::Avx2:
      return "AVX2";
  }
  return "?";
}

// Puts a kernel set in use for a scope, and the one before back after it.
class cKernelSetScope {
 public:
  explicit cKernelSetScope(eRowKernels set) : m_Before(plat::UseRowKernels(set)) {}
  ~cKernelSetScope() { plat::UseRowKernels(m_Before); }
  cKernelSetScope(const cKernelSetScope&) = delete;
  cKernelSetScope& operator=(const cKernelSetScope&) = delete;

 private:
  eRowKernels m_Before;
};

struct sRowRandom {
  std::uint32_t state = 0x2468ACE1u;
  std::uint32_t Next() {
    state = state * 214013u + 2531011u;
    return state >> 8 | (state & 0xFF) << 24;
  }
};

cPixelSurface SurfaceOf(int width, int height) {
  cPixelSurface s;
  EXPECT_TRUE(s.Create(width, height, plat::ePixelDepth::Argb32));
  return s;
}

TEST(ShadeRowsTest, SetsNarrowerThanTheWidestCanBePutInUse) {
  const eRowKernels widest = plat::WidestRowKernels();
  EXPECT_EQ(plat::UseRowKernels(eRowKernels::Portable), widest);
  EXPECT_EQ(plat::UseRowKernels(eRowKernels::Avx2), eRowKernels::Portable);
  // Asked for more than the machine runs, the widest is what is in use.
  EXPECT_EQ(plat::UseRowKernels(widest), widest);
}

// The blend of every source channel value at every alpha over every
// destination channel value, by each kernel set, against the per-pixel rule.
// A row of 256 pixels holds one destination value under every source value;
// the three colour channels and alpha carry different values so a channel
// mixed up with another shows. Rows are 256 long: the wide loops, their
// 32-pixel blocks and no tail; the tails are the table test's.
TEST(ShadeRowsTest, BlendOfEveryValuePairMatchesThePerPixelRule) {
  std::vector<std::uint32_t> source(256), row(256), expected(256);
  for (eRowKernels set : RunnableKernelSets()) {
    const cKernelSetScope scope(set);
    for (std::uint32_t alpha = 0; alpha < 256; ++alpha) {
      for (std::uint32_t s = 0; s < 256; ++s) source[s] = alpha << 24 | s << 16 | (255 - s) << 8 | (s * 7 & 0xFF);
      for (std::uint32_t d = 0; d < 256; ++d) {
        const std::uint32_t under = (d * 3 & 0xFF) << 24 | d << 16 | (d ^ 0x5A) << 8 | (255 - d);
        for (int k = 0; k < 256; ++k) {
          row[k] = under;
          expected[k] = plat::BlendSourceAlpha(source[k], under);
        }
        plat::BlendRow(row.data(), source.data(), 256);
        ASSERT_EQ(row, expected) << KernelSetName(set) << ", alpha " << alpha << ", destination " << d;
        plat::BlendRow(row.data(), source.data(), 256, &under);
        ASSERT_EQ(row, expected) << KernelSetName(set) << " on a fill, alpha " << alpha << ", destination " << d;
      }
    }
  }
}

// Every shade kind the draws choose (the texel as it is, opaque, the affine
// forms of each constant operation, the general evaluator) stored and
// blended, over a destination and over a fill, read in order, stretched,
// mirrored and drawn as a quad, at widths around the four- and eight-pixel
// steps and the 32-pixel blocks, by every kernel set: the pixels of the
// generic evaluator, EvaluateStage and then BlendSourceAlpha, per texel.
TEST(ShadeRowsTest, EveryShadeKindAtEveryWidthMatchesTheGenericEvaluator) {
  constexpr int kTexW = 301, kDstW = 310, kRows = 2;
  sRowRandom random;
  // Runs of 40 transparent and 40 opaque texels hold whole 32-pixel blocks
  // wherever a row starts; after them the edge alphas and random ones.
  const std::uint32_t edgeAlphas[] = {0, 1, 127, 128, 254, 255};
  cPixelSurface texture = SurfaceOf(kTexW, kRows);
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kTexW; ++x) {
      const int at = (x + 37 * y) % kTexW;
      std::uint32_t alpha = random.Next() >> 24;
      if (at < 40) {
        alpha = 0;
      } else if (at < 80) {
        alpha = 255;
      } else if (at % 3 != 0) {
        alpha = edgeAlphas[(at / 3) % 6];
      }
      texture.SetPixel(x, y, alpha << 24 | (random.Next() & 0xFFFFFF));
    }
  }
  cPixelSurface background = SurfaceOf(kDstW, kRows + 1);
  for (int y = 0; y <= kRows; ++y)
    for (int x = 0; x < kDstW; ++x) background.SetPixel(x, y, random.Next());

  struct sNamedStage {
    const char* name;
    sStageState stage;  // blended or not as the loop says
  };
  constexpr auto D = plat::eStageArg::Diffuse;
  constexpr auto F = plat::eStageArg::TextureFactor;
  const sNamedStage stages[] = {
      {"texel", {TextureOp::SelectArg1, TextureOp::SelectArg1, D, D, 0xFFFFFFFF, 0xFFFFFFFF}},
      {"texel by white", {TextureOp::Modulate, TextureOp::Modulate, D, D, 0xFFFFFFFF, 0xFFFFFFFF}},
      {"opaque", {TextureOp::SelectArg1, TextureOp::Disable, D, D, 0xFFFFFFFF, 0xFFFFFFFF}},
      {"affine disable", {TextureOp::Disable, TextureOp::Modulate, D, D, 0xC0803010, 0xFFFFFFFF}},
      {"affine select texel", {TextureOp::SelectArg1, TextureOp::Modulate, D, D, 0x7F123456, 0xFFFFFFFF}},
      {"affine select constant", {TextureOp::SelectArg2, TextureOp::SelectArg1, F, D, 0xFFFFFFFF, 0x80FF0102}},
      {"affine modulate", {TextureOp::Modulate, TextureOp::Modulate, D, D, 0xC080A0FF, 0xFFFFFFFF}},
      {"affine modulate by factor", {TextureOp::Modulate, TextureOp::Modulate, F, F, 0xFFFFFFFF, 0x01FE7F80}},
      {"affine blend diffuse alpha", {TextureOp::BlendDiffuseAlpha, TextureOp::SelectArg1, D, D, 0x60FF2040, 0xFFFFFFFF}},
      {"affine blend factor alpha", {TextureOp::BlendFactorAlpha, TextureOp::BlendFactorAlpha, F, F, 0xFFFFFFFF, 0x60FF2040}},
      {"affine constant alpha", {TextureOp::Modulate, TextureOp::SelectArg2, D, D, 0x80FF4020, 0xFFFFFFFF}},
      {"general add", {TextureOp::Add, TextureOp::Modulate, D, D, 0xC0404040, 0xFFFFFFFF}},
      {"general modulate 2x", {TextureOp::Modulate2x, TextureOp::Modulate4x, F, F, 0xFFFFFFFF, 0x9F6040C0}},
      {"general blend texture alpha", {TextureOp::BlendTextureAlpha, TextureOp::AddSigned, D, D, 0x8033CC99, 0xFFFFFFFF}},
      {"general subtract", {TextureOp::Subtract, TextureOp::AddSmooth, D, D, 0x40102030, 0xFFFFFFFF}},
  };
  struct sColumns {
    const char* name;
    int sx;
    int sw(int width) const { return mirrored ? -width : (stretched ? width - width / 3 - 1 : width); }
    bool stretched, mirrored;
  };
  const sColumns columnModes[] = {{"in order", 3, false, false}, {"stretched", 5, true, false}, {"mirrored", 290, false, true}};
  const int widths[] = {1, 3, 4, 5, 7, 8, 9, 15, 16, 17, 33, 300};
  const std::uint32_t fillValue = 0x7F30A0C0;

  for (eRowKernels set : RunnableKernelSets()) {
    const cKernelSetScope scope(set);
    for (const sNamedStage& named : stages) {
      for (bool blend : {true, false}) {
        sStageState stage = named.stage;
        stage.alphaBlend = blend;
        for (int width : widths) {
          for (const sColumns& columns : columnModes) {
            const int sw = columns.sw(width);
            if (sw == 0) continue;
            for (const std::uint32_t* fill : {static_cast<const std::uint32_t*>(nullptr), &fillValue}) {
              const int x = 2;
              cPixelSurface dst = background.Clone();
              ASSERT_TRUE(fill != nullptr ? plat::DrawTexturedRectOnFill(dst, x, 1, width, kRows, *fill, &texture,
                                                                         columns.sx, 0, sw, kRows, stage)
                                          : plat::DrawTexturedRect(dst, x, 1, width, kRows, &texture, columns.sx, 0,
                                                                   sw, kRows, stage));
              for (int y = 0; y <= kRows; ++y) {
                for (int px = 0; px < kDstW; ++px) {
                  std::uint32_t want = background.GetPixel(px, y);
                  const int j = px - x;
                  if (y >= 1 && j >= 0 && j < width) {
                    // Pixel-centre sampling, wrapped: floor((j + 0.5) sw / width).
                    const long long scaled = (2LL * j + 1) * sw;
                    long long offset = scaled / (2LL * width);
                    if (scaled % (2LL * width) != 0 && scaled < 0) --offset;
                    const long long column = ((columns.sx + offset) % kTexW + kTexW) % kTexW;
                    const std::uint32_t shaded =
                        plat::EvaluateStage(texture.GetPixel(static_cast<int>(column), y - 1), stage);
                    const std::uint32_t under = fill != nullptr ? *fill : want;
                    want = blend ? plat::BlendSourceAlpha(shaded, under) : shaded;
                  }
                  const std::uint32_t got = dst.GetPixel(px, y);
                  if (got != want) {
                    char where[200];
                    std::snprintf(where, sizeof where, "%s kernels, %s, %s, width %d, %s%s: at %d,%d %08X, expected %08X",
                                  KernelSetName(set), named.name, blend ? "blended" : "stored", width, columns.name,
                                  fill != nullptr ? ", on a fill" : "", px, y, got, want);
                    FAIL() << where;
                  }
                }
              }
            }
          }
          // The quad rasteriser's spans: the same texels in order (wrapped past
          // the texture's edge), as a quad.
          const float l = 1.5f, r = 1.5f + static_cast<float>(width), t = 0.5f, b = 0.5f + kRows;
          const float u0 = 3, u1 = 3.0f + static_cast<float>(width);
          const plat::sQuadVertex quad[4] = {{l, t, u0, 0}, {l, b, u0, kRows}, {r, t, u1, 0}, {r, b, u1, kRows}};
          cPixelSurface dst = background.Clone();
          ASSERT_TRUE(plat::DrawTexturedQuad(dst, quad, &texture, stage));
          for (int y = 1; y <= kRows; ++y) {
            for (int j = 0; j < width; ++j) {
              const std::uint32_t shaded = plat::EvaluateStage(texture.GetPixel((3 + j) % kTexW, y - 1), stage);
              const std::uint32_t under = background.GetPixel(2 + j, y);
              ASSERT_EQ(dst.GetPixel(2 + j, y), blend ? plat::BlendSourceAlpha(shaded, under) : shaded)
                  << KernelSetName(set) << " kernels, " << named.name << (blend ? ", blended" : ", stored")
                  << ", width " << width << ", as a quad at " << j << "," << y;
            }
          }
        }
      }
    }
  }
}

// The wide loops store a block of 32 pixels as it is when every alpha in it
// is 255. White texels carry 255 in every byte, so a test that read any byte
// but the alpha would store a white sprite's soft edge or hole as opaque.
// Each row holds four such blocks with one texel that is not opaque at a
// different step of eight in each, or blocks all opaque or all 254; the
// stage that weighs the alpha toward 255 makes 255 of a texel alpha of 254.
TEST(ShadeRowsTest, WhiteBlocksAreStoredAsTheyAreOnlyWhereEveryAlphaIs255) {
  constexpr int kW = 128;
  const int holeAt[] = {0, 9, 18, 31};  // in the four blocks of a row
  const std::uint32_t holeAlphas[] = {0, 128, 253, 254};
  constexpr int kRows = 2 + static_cast<int>(std::size(holeAlphas));
  cPixelSurface texture = SurfaceOf(kW, kRows);
  for (int x = 0; x < kW; ++x) {
    texture.SetPixel(x, 0, 0xFFFFFFFF);
    texture.SetPixel(x, kRows - 1, 0xFEFFFFFF);
    for (int r = 0; r < static_cast<int>(std::size(holeAlphas)); ++r) {
      const bool hole = x % 32 == holeAt[x / 32];
      texture.SetPixel(x, 1 + r, (hole ? holeAlphas[r] : 255) << 24 | 0xFFFFFF);
    }
  }
  // No channel of the destination or the fill is 255, so a pixel stored
  // where it should have been blended shows.
  sRowRandom random;
  cPixelSurface background = SurfaceOf(kW, kRows);
  for (int y = 0; y < kRows; ++y)
    for (int x = 0; x < kW; ++x) background.SetPixel(x, y, random.Next() & 0x7F7F7F7F);
  const std::uint32_t fillValue = 0x40206080;

  constexpr auto D = plat::eStageArg::Diffuse;
  constexpr auto F = plat::eStageArg::TextureFactor;
  const struct {
    const char* name;
    sStageState stage;
  } stages[] = {
      {"texel", {TextureOp::SelectArg1, TextureOp::SelectArg1, D, D, 0xFFFFFFFF, 0xFFFFFFFF}},
      {"white constant colour", {TextureOp::SelectArg2, TextureOp::SelectArg1, F, D, 0xFFFFFFFF, 0x00FFFFFF}},
      {"alpha toward opaque", {TextureOp::SelectArg1, TextureOp::BlendFactorAlpha, D, D, 0xFFFFFFFF, 0x64FFFFFF}},
  };
  for (eRowKernels set : RunnableKernelSets()) {
    const cKernelSetScope scope(set);
    for (const auto& named : stages) {
      for (const std::uint32_t* fill : {static_cast<const std::uint32_t*>(nullptr), &fillValue}) {
        cPixelSurface dst = background.Clone();
        ASSERT_TRUE(fill != nullptr
                        ? plat::DrawTexturedRectOnFill(dst, 0, 0, kW, kRows, *fill, &texture, 0, 0, kW, kRows, named.stage)
                        : plat::DrawTexturedRect(dst, 0, 0, kW, kRows, &texture, 0, 0, kW, kRows, named.stage));
        for (int y = 0; y < kRows; ++y) {
          for (int x = 0; x < kW; ++x) {
            const std::uint32_t under = fill != nullptr ? *fill : background.GetPixel(x, y);
            const std::uint32_t want =
                plat::BlendSourceAlpha(plat::EvaluateStage(texture.GetPixel(x, y), named.stage), under);
            ASSERT_EQ(dst.GetPixel(x, y), want) << KernelSetName(set) << " kernels, " << named.name
                                                << (fill != nullptr ? ", on a fill" : "") << ", row " << y << " at "
                                                << x;
          }
        }
      }
    }
  }
}

// A surface shaded over itself in place (the screen tint) at every width, by
// every kernel set: each pixel is read before it is written.
TEST(ShadeRowsTest, InPlaceTintAtEveryWidthReadsEachPixelBeforeWritingIt) {
  sRowRandom random;
  constexpr int kW = 300;
  cPixelSurface screen = SurfaceOf(kW, 1);
  for (int x = 0; x < kW; ++x) screen.SetPixel(x, 0, random.Next() | (x < 100 ? 0xFF000000u : 0));
  const std::uint32_t diffuses[] = {0x80FF4020, 0x01FFFFFF, 0xFE102030};
  for (eRowKernels set : RunnableKernelSets()) {
    const cKernelSetScope scope(set);
    for (std::uint32_t diffuse : diffuses) {
      sStageState tint;
      tint.alphaOp = TextureOp::Modulate;
      tint.diffuse = diffuse;
      for (int width : {1, 7, 8, 9, 31, 32, 33, 65, kW}) {
        cPixelSurface dst = screen.Clone();
        ASSERT_TRUE(plat::DrawTexturedRect(dst, 0, 0, width, 1, &dst, 0, 0, width, 1, tint));
        for (int x = 0; x < kW; ++x) {
          const std::uint32_t before = screen.GetPixel(x, 0);
          const std::uint32_t want = x < width ? plat::BlendSourceAlpha(plat::EvaluateStage(before, tint), before) : before;
          ASSERT_EQ(dst.GetPixel(x, 0), want) << KernelSetName(set) << " kernels, diffuse " << std::hex << diffuse
                                              << std::dec << ", width " << width << ", at " << x;
        }
      }
    }
  }
}

}  // namespace
