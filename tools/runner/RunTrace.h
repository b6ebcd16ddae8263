#pragma once
// The trace the headless runner writes: one line per frame,
//   frame scene phase step rng hero_x hero_y hero_vx hero_vy hero_hp world_hash
// then the sound and music requests of that frame (" se=N", a stage's
// " bgm=N" and a menu scene's music slot " scenebgm=N", in the order they
// were made). Positions and speeds are C hex floats, the
// random generator's state is hex, and world_hash is a 64-bit FNV-1a of the
// stage's objects and counters.

#include <cstdint>
#include <string>
#include <vector>

namespace runner {

// 64-bit FNV-1a, fed value by value.
class cFnv1a {
 public:
  void Add(const void* data, std::size_t size);
  template <class T>
  void AddValue(const T& value) {
    Add(&value, sizeof value);
  }
  std::uint64_t Value() const { return m_Hash; }

 private:
  std::uint64_t m_Hash = 0xcbf29ce484222325ull;
};

// Every character's, item's key, position, speed, hit points and flags, the
// number of shots, the stage and common variables, score, lives and time.
std::uint64_t WorldHash();

// The line of frame `frame` with the requests made during it.
std::string TraceLine(std::int64_t frame, const std::vector<std::string>& requests);

}  // namespace runner
