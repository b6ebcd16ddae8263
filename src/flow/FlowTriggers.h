#pragma once
// Triggers and the condition kinds that read characters: which flows of a
// character start when the event named by their trigger happens (eFlowTrigger,
// data/Flow.h), the key-input sequences that gate them, and the condition
// kinds 5 (state values), 6 (states) and 7 (distance). Kind 4 is the status
// condition (StatusOperation.h); kinds 1 to 3 and the lists are the world's
// (world/Conditions.h).
//
// The gates of FireFlowTrigger, in order, for every flow state of the
// character:
//   1. the flow's trigger is the one raised;
//   2. the per-frame guard, early form (the system data's early-guard switch
//      set, retrigger switch clear): a flow triggered this frame is skipped,
//      otherwise it is marked triggered;
//   3. not running, paused, stopped forever, nor started this frame;
//   4. trigger 0 only: the flow's group (when it has one) neither runs nor
//      started this frame;
//   5. a flow-ID filter of 1 or more: the flow's ID equals it;
//   6. the per-frame guard, late form (both switches clear);
//   7. the conditions and then the key conditions hold; with the flow's
//      other-object option and an object given, the object sits in the flow's
//      target slot while they are tested, and the slot's previous content is
//      put back when they fail;
//   8. the flow records the held key slot of device 0 and starts.
// With the retrigger switch set there is no per-frame guard.
//
// Key sequences are matched on the key histories of device 0 (g_KeyInput):
// per key, the last 32 runs of held and not held, newest first. A position
// counts frames back from the present. The newest key condition must match at
// the present; each older one where the newer one's run began, or up to the
// flow's key tolerance frames earlier, or one frame later when the newer one
// does not also match there (unless the strict-order switch is set). A
// condition matches by its rule over its tested keys (0 all, 1 one or more, 2
// exactly one); a key "押" passes when held for its minimum to maximum frames
// (any frames with the immediate flag), "離" when released. The read position
// then moves back by the run it matched on (rule 0 the shortest of its keys'
// runs, rule 1 the longest, rule 2 the one key's), counted from the position
// to the run's start. Facing-relative directions are mirrored (1 and 2, 5 and
// 7, 6 and 8) while the character faces left.

class cCharaBase;
class cCond;
class cKeyCond;
class cKeyInput;
struct cFlowState;

void FireFlowTrigger(cCharaBase& chara, int trigger, cCharaBase* other, int flowIdFilter);

// 1 when the flow's key sequence fires now: always without key conditions;
// with the flow's key-hold option on every check while it matches; otherwise
// only on the first check it matches (the key edge latch). A group flow of
// trigger 0 held back by the latch releases its group at the end of the pass.
bool KeyConditionsHold(cCharaBase& chara, cFlowState& state);
// The sequence matcher behind KeyConditionsHold.
bool MatchKeySequence(cCharaBase& chara, cFlowState& state, int tolerance);
// One key condition at `position` frames back on `keys`; on a match `runFrames`
// is how far the read position moves back.
bool KeyCondMatchesAt(const cCharaBase& chara, const cKeyCond& cond, const cKeyInput& keys, int position,
                      int& runFrames);

// Kind 5: a state value of the character, a target or the system against the
// condition's value. The system's values are the stage's automatic-scroll
// switches (selector 0 horizontal, 1 vertical).
bool StatusCondition2Holds(cCharaBase& chara, const cCond& cond);
// Kind 6: facing left or right, standing, on screen, exists; negated by a
// comparison byte of 1. An empty target slot fails either way.
bool StatusCondition3Holds(cCharaBase& chara, const cCond& cond);
// Kind 7: the hero or a target within (or, negated, outside) a range of the
// character: a horizontal band (both sides, ahead, behind), a vertical band
// (both sides, ahead, behind by facing) or a circle round the centres.
bool RangeConditionHolds(cCharaBase& chara, const cCond& cond);
