#pragma once
// Appearance conditions: map cells, characters, items and flows carry a list
// of conditions (cCond, data/Condition.h) with an all-or-any rule and a latch
// switch. The cell is drawn and solid, the object exists on the stage, or the
// flow may start, only while its list holds; once a list with the latch switch
// has held, it holds for good.
//
// The variable kinds are evaluated here: 1 a common variable (the progress
// record's), 2 a stage variable (the game scene's), 3 the character's own
// variable, each against the operand by the comparison (CompareByKind). The
// kinds that read statuses, state values, states and distances (4 to 7) are
// evaluated by the flow interpreter (world/FlowServices.h).

#include "core/SafeVector.h"
#include "data/Condition.h"

class cCharaBase;
class cItem;
struct cFlowState;
struct cMapCell;

// One condition for a character (null: the kinds that read a character fail).
// Any kind other than 1 to 7 fails. A variable index outside its list takes
// the checked-access path.
bool CheckCondition(const cCond& cond, cCharaBase* chara);

// Rule 0: every condition holds (an empty list holds); rule 1: at least one
// holds (an empty list fails); any other rule fails.
bool CheckConditions(const cSafeVector<cCond>& conds, int rule, cCharaBase* chara);

// An owner's list: true at once when the list is empty, or when its latch
// switch is on and it has held before; otherwise CheckConditions with the
// owner's rule, and a list that holds now is latched. A cell, character or
// item tests with the hero as the character; a flow with its own character.
bool CellConditionsHold(cMapCell& cell);
bool CharaConditionsHold(cCharaBase& chara);
bool ItemConditionsHold(cItem& item);
bool FlowConditionsHold(cFlowState& state, cCharaBase& chara);
