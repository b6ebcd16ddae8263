#pragma once
// The arrange and loop commands: commands that change other commands.
//
// "アレンジ" (flow command 38, item and system command 23) queues an
// arithmetic change of one numbered parameter of a later command: the entry
// (cArrangeEntry, world/FlowState.h) waits on the running flow state (on the
// hero for item commands) and is applied to the next command that starts, when
// that command has the entry's target type; the result is limited by the
// parameter table (CmdParamDesc.h). The command's definition itself changes,
// so an arranged value stays for later runs of that command, and an arrange
// in an item's command list stays with the palette's item.
//
// Where parameter n of each type lives:
//   2, 5, 6, 20  fields of the command's movement parameters (cEdMove);
//   11 to 15     fields of its shot parameters (cEdShot);
//   17, 19, 21, 22, 24, 26, 29, 32, 33, 34  its integer parameters, by a map;
//   3, 4, 7      nowhere (their tables are empty): nothing changes.
// A parameter number outside its type's rows, an operand variable outside
// its list (common variable 0 included) and an unknown operand source change
// nothing. The formation rows take their limits from the formation table for
// the command's formation kind, the motion rows of the shot from the motion
// table.
//
// "ループ" (flow command 39, item and system command 24) repeats the block of
// its parameter 1 following commands parameter 0 times. Loops are unrolled
// when flows are installed (and when an item's list is set up), first loop
// first, each time in the list as it then stands, until none is left. The
// work is bounded: a list grows to at most kMaxExpandedCommands commands; a
// loop adding one copy of a block that is only a loop doing the same never
// ends, and the two are dropped; and after kMaxLoopUnrollSteps unrolled loops
// the loops left are dropped. A cut is reported once per owner and list, with
// the owner, however often the same list is unrolled again, and the list
// plays as far as it was unrolled.

#include <array>
#include <cstdint>
#include <string>

#include "core/SafeVector.h"
#include "data/Command.h"

class cCharaBase;
class cHero;
struct cArrangeEntry;
struct cFlowState;

inline constexpr int kMaxExpandedCommands = 65536;
// Far more unrolled loops than any list within the command cap needs.
inline constexpr int kMaxLoopUnrollSteps = 4 * kMaxExpandedCommands;

// Read and write parameter n of a command as a 32-bit value (a write
// narrows to the field's width); a getter answers false when the command has
// no such field. Indexed by type: present for every type with parameter rows
// and for types 3, 4 and 7 (which reach nothing), null for the others.
using tArrangeGetter = bool (*)(const cCommand& command, int param, int32_t& value);
using tArrangeSetter = void (*)(cCommand& command, int param, int32_t value);
extern const std::array<tArrangeGetter, kFlowCmdTypeCount> kArrangeGetters;
extern const std::array<tArrangeSetter, kFlowCmdTypeCount> kArrangeSetters;

// The arrange command: for a flow command the entry goes to the scene's
// current flow state (none: nothing), for an item or system command to the
// hero.
void CmdArrange(cCharaBase& chara, cCommand& command);
// Every pending entry of the flow state / of the hero, in order; the callers
// empty the lists.
void ApplyFlowArranges(cCommand& command, cCharaBase& chara, cFlowState& state);
void ApplyHeroArranges(cCommand& command, cHero& hero);
void ApplyArrange(cCommand& command, const cArrangeEntry& entry, cCharaBase& chara);

// A loop command of either set.
bool IsLoopCommand(const cCommand& command);
// Unrolls the first loop command: 1 when there was one, else 0.
int ExpandFirstLoop(cSafeVector<cCommand>& commands);
// Unrolls every loop command, as ExpandFirstLoop would repeatedly, within
// the bounds above; a cut is reported naming `owner` (e.g. "flow 2 of
// character 5").
void ExpandLoopCommands(cSafeVector<cCommand>& commands, const std::string& owner = "a command list");
