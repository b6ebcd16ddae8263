#pragma once
// cAnimePlayer: the animation sequencer of every stage object, of every entry
// of a character's animation playback list and of every running effect. It
// holds a set of animations, each a short script of rows (cAnimeFrame,
// data/FrameScript.h), and a cursor that advances one tick per Update. The
// caller turns the pattern it returns into a source cell.
//
// A script row {pattern, duration, lock}: a pattern of 0 or more is shown for
// `duration` calls (a duration of 0 is left on the very next call); the
// control patterns are -1 hold (the previous row is shown again, for good),
// -2 loop (back to row 0), -3 jump (start the animation numbered by the row's
// duration at its row 0) and -4 end (a one-shot animation has finished: it is
// returned, and the caller removes the player or its entry). A row whose lock
// is nonzero cannot be interrupted by a start that is not forced.
//
// Damaged scripts never stop the game: an animation number outside the set is
// reported once per player and refused, a jump to one holds the row before
// the jump, a hold on the first row stays there, and an animation that runs
// past its last row without a control row holds its last row. Control
// patterns can therefore be returned (-1 only from a first row, -4 always);
// drawing shows no cell for a negative pattern.

#include <cstdint>

#include "core/SafeVector.h"
#include "data/FrameScript.h"

class cAnimePlayer {
 public:
  // No animations; animation, row and tick 0.
  cAnimePlayer() = default;

  // Replaces every animation by those of `scripts` (animation n = scripts[n])
  // and resets the counters to 0. Each animation keeps its rows up to and
  // including its first row with a negative pattern; a script with no such
  // row is taken whole. The lock of each row is the low byte of its third
  // value.
  void Setup(const cFrameScriptTable& scripts);

  // Unless `force` is set, refused (0) while the current row's lock is
  // nonzero; an animation number outside the set is refused (0) too.
  // Otherwise animation n starts at row 0, tick 0 (starting the current
  // animation restarts it): 1.
  int SetAnime(int n, int force);
  // 1 at once, changing nothing, when n is already the current animation;
  // otherwise SetAnime.
  int ChangeAnime(int n, int force);

  // Advances one tick and returns the pattern of the row now current: 0 with
  // no animations. When the tick reaches the row's duration the next row
  // becomes current and its control pattern (if any) is applied once.
  int32_t Update();
  // The current row's pattern, without advancing; 0 with no animations.
  int32_t GetPattern() const;

  // Drops every animation and zeroes the counters.
  void Clear();

  int AnimeCount() const { return static_cast<int>(m_Animes.size()); }
  int CurrentAnime() const { return m_nAnime; }
  int CurrentRow() const { return m_nRow; }
  int Tick() const { return m_nTick; }
  const cFrameScriptTable& Animes() const { return m_Animes; }

 private:
  bool HasRow(int anime, int row) const;
  const cAnimeFrame& CurrentFrame() const;
  void ReportMissingAnime(int n);

  cFrameScriptTable m_Animes;
  int32_t m_nAnime = 0;
  int32_t m_nRow = 0;
  int32_t m_nTick = 0;
  // A bad animation number was reported: later ones are not, so a damaged
  // script asked every frame does not fill the report.
  bool m_bReported = false;
};
