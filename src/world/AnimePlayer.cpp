#include "world/AnimePlayer.h"

#include "core/Log.h"

namespace {

// Stands for the row of a player without animations or of an empty one.
const cAnimeFrame kNoFrame{};

}  // namespace

void cAnimePlayer::Setup(const cFrameScriptTable& scripts) {
  m_Animes.clear();
  m_Animes.reserve(scripts.size());
  for (const cFrameScript& script : scripts) {
    cFrameScript& rows = m_Animes.emplace_back();
    for (const cAnimeFrame& frame : script) {
      rows.push_back(cAnimeFrame{frame.m_nPattern, frame.m_nDuration, frame.m_nLock & 0xFF});
      if (frame.m_nPattern < 0) break;
    }
  }
  m_nAnime = 0;
  m_nRow = 0;
  m_nTick = 0;
}

bool cAnimePlayer::HasRow(int anime, int row) const {
  if (anime < 0 || anime >= AnimeCount()) return false;
  return row >= 0 && row < static_cast<int>(m_Animes[anime].size());
}

const cAnimeFrame& cAnimePlayer::CurrentFrame() const {
  if (!HasRow(m_nAnime, m_nRow)) return kNoFrame;
  return m_Animes[m_nAnime][m_nRow];
}

void cAnimePlayer::ReportMissingAnime(int n) {
  if (m_bReported) return;
  m_bReported = true;
  ReportPrintfLog("anime %d : no such animation ( %d )", n, AnimeCount());
}

int cAnimePlayer::SetAnime(int n, int force) {
  if (force == 0 && CurrentFrame().m_nLock != 0) return 0;
  if (n < 0 || n >= AnimeCount()) {
    ReportMissingAnime(n);
    return 0;
  }
  m_nAnime = n;
  m_nRow = 0;
  m_nTick = 0;
  return 1;
}

int cAnimePlayer::ChangeAnime(int n, int force) {
  if (n == m_nAnime) return 1;
  return SetAnime(n, force);
}

int32_t cAnimePlayer::Update() {
  if (m_Animes.empty()) return 0;
  ++m_nTick;
  if (m_nTick >= CurrentFrame().m_nDuration) {
    m_nTick = 0;
    const int previous = m_nRow;
    if (!HasRow(m_nAnime, m_nRow + 1)) return GetPattern();  // no control row: the last row holds
    ++m_nRow;
    const cAnimeFrame& row = CurrentFrame();
    switch (row.m_nPattern) {
      case kAnimePatternJump:
        // SetAnime starts the target at its row 0; a target that does not
        // exist leaves the row before the jump on show.
        if (SetAnime(row.m_nDuration, 1) == 0) m_nRow = previous;
        break;
      case kAnimePatternLoop:
        m_nRow = 0;
        break;
      case kAnimePatternHold:
        if (m_nRow > 0) --m_nRow;
        break;
      default:
        break;
    }
  }
  return GetPattern();
}

int32_t cAnimePlayer::GetPattern() const { return CurrentFrame().m_nPattern; }

void cAnimePlayer::Clear() {
  m_Animes.clear();
  m_nAnime = 0;
  m_nRow = 0;
  m_nTick = 0;
}
