#pragma once
// What the attack and summon commands share: the command's sound rule and
// the tenth-of-a-second counter of the commands that repeat.

class cCharaBase;
class cCommand;
struct cCmdState;

// The command's sound, unless it sounds only on screen and the character is
// off it.
void PlayCommandSound(const cCommand& command, const cCharaBase& chara);
// Counts a repeating command's sub-steps: back to 0 after a tenth of a
// second, so the command acts at its first sub-step and every tenth after.
void AdvanceTenthCounter(cCmdState& state);
