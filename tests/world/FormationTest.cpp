// Where the formations put their objects: the straight lines, the fan and the
// explosion around the shooter, lightning from the edge of the view and the
// encirclement around a reference, and the launch point that turns with the
// angle. 16-dot objects from a 32-dot shooter facing left; positions are
// world dots of each object's top-left corner.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "ShotTestSupport.h"
#include "world/GameScene.h"

namespace {

using shottest::cShotFixture;
using shottest::sBox;

using tPlaces = std::vector<std::pair<int, int>>;

tPlaces PlacesOfShots() {
  tPlaces places;
  for (cShot& shot : g_ShotList.m_Shots) places.emplace_back(static_cast<int>(shot.m_X), static_cast<int>(shot.m_Y));
  return places;
}

class FormationTest : public cShotFixture {
 protected:
  void SetUp() override { m_Box = BoxOf(AddChara(12, 8)); }

  // Fires `settings` from the shooter; where its objects went.
  tPlaces FireFrom(cEdShot settings) {
    ClearShots();
    Fire(*g_CharaList.Nth(0), settings);
    return PlacesOfShots();
  }

  static int CameraX() { return static_cast<int>(g_GameScene->m_ScrollX.m_Position); }
  static int CameraY() { return static_cast<int>(g_GameScene->m_ScrollY.m_Position); }

  sBox m_Box;
};

struct sFormationCase {
  const char* name;
  int formation, direction, count, param1;
  std::function<tPlaces(const sBox&)> places;
};

// I = parameter 1 x 16 between objects, G = parameter 1 x 8; (cx, cy) the
// shooter's collision centre.
TEST_F(FormationTest, LinesFansAndExplosionsStartAtTheShootersSides) {
  const sFormationCase cases[] = {
      {"straight A left, 3 at I 16", FORMATION_STRAIGHT_A, 2, 3, 1,
       [](const sBox& b) {
         const int x = b.left + 1 - 16, y = b.cy - 2 * 8 - 3 * 8;
         return tPlaces{{x, y}, {x, y + 32}, {x, y + 64}};
       }},
      {"straight A up, 2 side by side", FORMATION_STRAIGHT_A, 6, 2, 0,
       [](const sBox& b) { return tPlaces{{b.cx - 16, b.top - 16}, {b.cx, b.top - 16}}; }},
      {"straight A right", FORMATION_STRAIGHT_A, 3, 1, 0, [](const sBox& b) { return tPlaces{{b.right + 1, b.cy - 8}}; }},
      {"straight A down", FORMATION_STRAIGHT_A, 7, 1, 0, [](const sBox& b) { return tPlaces{{b.cx - 8, b.bottom + 1}}; }},
      {"straight B left, stacked up from the feet", FORMATION_STRAIGHT_B, 2, 2, 1,
       [](const sBox& b) {
         const int x = b.left + 1 - 16, y = b.bottom - 16 + 1;
         return tPlaces{{x, y}, {x, y - 32}};
       }},
      {"straight B up, beside a shooter facing left", FORMATION_STRAIGHT_B, 6, 1, 0,
       [](const sBox& b) { return tPlaces{{b.left + 1 - 16, b.bottom - 16 + 1}}; }},
      {"fan left", FORMATION_FAN, 2, 2, 30,
       [](const sBox& b) { return tPlaces{{b.left - 16 + 1, b.cy - 8}, {b.left - 16 + 1, b.cy - 8}}; }},
      {"fan up", FORMATION_FAN, 6, 1, 30, [](const sBox& b) { return tPlaces{{b.cx - 8, b.top - 16}}; }},
      {"explosion", FORMATION_EXPLOSION, 2, 3, 0,
       [](const sBox& b) { return tPlaces(3, {b.cx - 8, b.cy - 8}); }},
  };
  for (const sFormationCase& c : cases) {
    SCOPED_TRACE(c.name);
    cEdShot settings = Settings(c.formation, c.count);
    settings.m_nDirection = static_cast<uint8_t>(c.direction);
    settings.m_nFormationParams[0] = static_cast<int16_t>(c.param1);
    EXPECT_EQ(FireFrom(settings), c.places(m_Box));
  }
}

// The shooter as its own reference: Q its drawn centre. Lightning comes from
// the edge of the view behind its direction, its rows centred on Q; the
// encirclement stands r = 2 half blocks around Q, each position rounded.
TEST_F(FormationTest, LightningAndEncirclementStandAroundTheirReference) {
  const int camX = CameraX(), camY = CameraY();
  const int qx = m_Box.gx, qy = m_Box.gy;
  struct sCase {
    const char* name;
    int formation, direction, count, param1, rows, rowGap;
    tPlaces places;
  } cases[] = {
      {"lightning left", FORMATION_LIGHTNING, 2, 2, 1, 1, 0,
       {{camX + 640 - 16, qy - 8}, {camX + 640 - 16 - 32, qy - 8}}},
      {"lightning down", FORMATION_LIGHTNING, 7, 2, 1, 1, 0, {{qx - 8, camY}, {qx - 8, camY + 32}}},
      {"lightning left in two rows 2 half blocks apart", FORMATION_LIGHTNING, 2, 1, 0, 2, 2,
       {{camX + 640 - 16, qy - 8 - 16}, {camX + 640 - 16, qy - 8 + 16}}},
      {"encirclement", FORMATION_ENCIRCLE, 2, 4, 2, 1, 0,
       {{qx - 8 + 32, qy - 8}, {qx - 8, qy - 8 + 32}, {qx - 8 - 31, qy - 8}, {qx - 8, qy - 8 - 31}}},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    cEdShot settings = Settings(c.formation, c.count);
    settings.m_nDirection = static_cast<uint8_t>(c.direction);
    settings.m_nReference = 2;  // the shooter
    settings.m_nFormationParams[0] = static_cast<int16_t>(c.param1);
    settings.m_nFormationParams[1] = static_cast<int16_t>(c.rows);
    settings.m_nFormationParams[2] = static_cast<int16_t>(c.rowGap);
    EXPECT_EQ(FireFrom(settings), c.places);
  }
}

// With the launch point turning, the line leaves the shooter toward the
// angle: its middle object's centre 16 + 8 dots from the shooter's centre
// along the direction of travel (velocity (-cos a, -sin a)), the others
// I + 16 = 32 dots apart across it; each velocity along the angle. Positions
// are truncated, so within 2 dots.
TEST_F(FormationTest, TheRotatedLaunchPointTurnsWithTheAngle) {
  for (int angle : {30, 90, 135, 200, 270, 315}) {
    SCOPED_TRACE(angle);
    cEdShot settings = Settings(FORMATION_STRAIGHT_A, 3);
    settings.m_bRotateLaunch = 1;
    settings.m_nAngle = static_cast<int16_t>(angle);
    settings.m_nFormationParams[0] = 1;
    const tPlaces places = FireFrom(settings);
    ASSERT_EQ(places.size(), 3u);
    const double a = angle * M_PI / 180;
    const double travelX = -std::cos(a), travelY = -std::sin(a);
    const double acrossX = std::sin(a), acrossY = -std::cos(a);
    const double cx = m_Box.left + 16, cy = m_Box.top + 16;
    for (int i = 0; i < 3; ++i) {
      const double ox = places[i].first + 8, oy = places[i].second + 8;
      EXPECT_NEAR(ox, cx + 24 * travelX + (i - 1) * 32 * acrossX, 2.0) << "object " << i;
      EXPECT_NEAR(oy, cy + 24 * travelY + (i - 1) * 32 * acrossY, 2.0) << "object " << i;
      const cShot& shot = Shot(i);
      EXPECT_NEAR(shot.m_MotionVX, travelX, 1e-9);
      EXPECT_NEAR(shot.m_MotionVY, travelY, 1e-9);
    }
  }
}

}  // namespace
