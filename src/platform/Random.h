#pragma once
// The random generator of the game: the classic C run-time rule, so that a
// seed gives the same sequence on every machine and replays stay exact.
//   state = state * 214013 + 2531011 (mod 2^32); value = (state >> 16) & 0x7FFF

#include <cstdint>

namespace plat {

class cRandom {
 public:
  static constexpr int kMax = 0x7FFF;

  explicit cRandom(std::uint32_t seed = 1) : m_State(seed) {}
  void Seed(std::uint32_t seed) { m_State = seed; }
  int Next() {
    m_State = m_State * 214013u + 2531011u;
    return static_cast<int>((m_State >> 16) & 0x7FFF);
  }
  std::uint32_t State() const { return m_State; }

 private:
  std::uint32_t m_State;
};

}  // namespace plat
