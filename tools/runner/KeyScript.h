#pragma once
// The key script of the headless runner: which keys are held from which
// frame on, and the answers given to the dialogs and message boxes met on
// the way.
//
// Text form (RunnerUsage() in HeadlessRun.h prints it too), one entry a line
// ('#' starts a comment):
//   FRAME KEY...              the keys held from FRAME on, until the next line
//   FRAME                     from FRAME on no key is held
//   FRAME answer yes|no|cancel
//   FRAME answer text TEXT    (the rest of the line)
//   FRAME answer file PATH
// An answer goes to the next dialog or message box met at or after FRAME;
// those of the start-up, before the first frame, take the answers of frame 0.
// Keys are virtual-key names without a prefix (LEFT, RIGHT, UP, DOWN, SPACE,
// RETURN, ESCAPE, F1..F12, A..Z, 0..9, SHIFT, CONTROL) or a hex code (0x5A).

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace runner {

struct sAnswer {
  enum class eKind { kYes, kNo, kCancel, kText, kFile };
  std::int64_t frame = 0;
  eKind kind = eKind::kYes;
  std::string value;
};

class cKeyScript {
 public:
  // Parses the script text; false with the line and the reason in `error`.
  bool Parse(const std::string& text, std::string& error);

  // The keys held at `frame` (the last key line at or before it).
  const std::vector<int>& KeysAt(std::int64_t frame) const;

  // The first answer due at or before `frame` that was not used yet, taken
  // off the script; false when none is due.
  bool TakeAnswer(std::int64_t frame, sAnswer& answer);

 private:
  std::map<std::int64_t, std::vector<int>> m_KeyLines;
  std::deque<sAnswer> m_Answers;
};

// The virtual-key code of a key name or hex code; -1 for an unknown name.
int VirtualKeyFromName(const std::string& name);

}  // namespace runner
