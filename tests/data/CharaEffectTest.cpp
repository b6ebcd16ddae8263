#include "data/CharaEffect.h"

#include <gtest/gtest.h>

#include <array>

#include "RecordRoundTrip.h"
#include "support/ByteBuilder.h"

namespace {

using recordtest::ReadRecordBytes;
using recordtest::RecordBytes;
using recordtest::RoundTrip;
using testsupport::ByteBuilder;
using testsupport::I32;
using testsupport::I32Array;

using Params = std::array<int32_t, kEffectParamCount>;

Params ParamsOf(const cKindEffect& effect) {
  Params p{};
  for (int i = 0; i < kEffectParamCount; ++i) p[static_cast<std::size_t>(i)] = effect.m_Params[i];
  return p;
}

TEST(CharaEffect, ParametersAreOneBlockAfterTheKind) {
  cCharaEffect effect;
  EXPECT_EQ(effect.m_nKind, 1);
  EXPECT_EQ(effect.CountMembers(DATA_VERSION), 2);
  effect.m_strName = "fade";
  effect.m_nKind = 13;
  for (int i = 0; i < kEffectParamCount; ++i) effect.m_Params[i] = 10 * (i + 1);
  EXPECT_EQ(RecordBytes(effect), ByteBuilder().Record({I32(13), I32Array({10, 20, 30, 40, 50})}, {"fade"}).Bytes());
  const cCharaEffect back = RoundTrip(effect);
  EXPECT_EQ(back.m_strName, "fade");
  EXPECT_EQ(back.m_nKind, 13);
  EXPECT_EQ(ParamsOf(back), (Params{10, 20, 30, 40, 50}));

  cScrEffect scr;
  scr.m_nKind = 9;
  scr.m_Params[4] = -3;
  const cScrEffect scrBack = RoundTrip(scr);
  EXPECT_EQ(scrBack.m_nKind, 9);
  EXPECT_EQ(scrBack.m_Params[4], -3);
}

struct CoarsenessCase {
  bool screen;
  int version;
  int kind;
  Params expected;
};

TEST(CharaEffect, FilesBefore511GetTheCoarsenessDefaults) {
  const CoarsenessCase cases[] = {
      {false, 510, 4, {1, 1, 1, 1, 2}},
      {false, 510, 5, {1, 1, 1, 1, 2}},
      {false, 510, 10, {1, 1, 1, 2, 1}},
      {false, 510, 6, {1, 1, 1, 1, 1}},
      {false, 511, 10, {1, 1, 1, 1, 1}},
      {false, 511, 4, {1, 1, 1, 1, 1}},
      {true, 510, 6, {1, 1, 1, 1, 8}},
      {true, 510, 7, {1, 1, 1, 1, 10}},
      {true, 510, 10, {1, 1, 1, 8, 1}},
      {true, 510, 4, {1, 1, 1, 1, 1}},
      {true, 511, 7, {1, 1, 1, 1, 1}},
  };
  for (const CoarsenessCase& c : cases) {
    const auto bytes = ByteBuilder().Record({I32(c.kind), I32Array({1, 1, 1, 1, 1})}, {"e"}).Bytes();
    Params got;
    if (c.screen) {
      cScrEffect effect;
      ReadRecordBytes(effect, bytes, c.version);
      got = ParamsOf(effect);
    } else {
      cCharaEffect effect;
      ReadRecordBytes(effect, bytes, c.version);
      got = ParamsOf(effect);
    }
    EXPECT_EQ(got, c.expected) << (c.screen ? "screen" : "chara") << " kind " << c.kind << " version " << c.version;
  }
}

}  // namespace
