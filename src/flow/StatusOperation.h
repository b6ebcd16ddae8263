#pragma once
// Status values, the status condition (kind 4) and the status operation
// (flow command 22 "ステータスの操作", item and system command 7).
//
// A status is a numbered value of a character (selectors 0 to 14 below) or
// of the system (time, the two automatic-scroll speeds, score, lives). Both
// the condition and the operation take an operand from one of four sources:
// 0 a constant, 1 a random number between two values (RandomRange, the
// smaller first), 2 a status of a subject, 3 a common or stage variable.
// Subjects: 0 the character itself, 1 to 4 its target slots ("ターゲット1" to
// "ターゲット4"), 5 the system. An empty target slot makes a condition fail
// and an operation do nothing.
//
// Character statuses (selector: field, width, range in an operation):
//   0 character variable n   32   -999999 .. 999999
//   1 HP                     32         0 .. 999999, then through AddHp
//   2 SP                     32         0 .. 999999, then through AddSp
//   3 max HP                 32         0 .. 999999 (HP lowered to it)
//   4 max SP                 32         0 .. 999999 (SP lowered to it)
//   5 character ID            8         0 .. 99
//   6 Z order                 8         0 .. 7
//   7 emblem number          16         0 .. 119
//   8 sight (half blocks)     8         0 .. 40
//   9 body-attack power      32   -999999 .. 999999
//  10 body-attack impact      8       -20 .. 20
//  11 defence                32         0 .. 999999
//  12 impact resistance       8         0 .. 20
//  13 ease of stopping       16         0 .. 200
//  14 score when defeated    32   -999999 .. 999999
// System values: 0 time left 0 .. 999, 1 and 2 the stage's horizontal and
// vertical automatic-scroll speeds -480 .. 480, 3 score 0 .. 999999, 4 lives
// 0 .. 99 (while lives are infinite they read 0 and never change).
//
// Operations (shared with the arrange command): 0 set, 1 add, 2 subtract
// (current - operand), 3 multiply, 4 divide (truncating), 5 remainder (sign
// of the current value), 6 percent (current x operand / 100, halves away
// from zero); then the result is limited to the target's range. Products are
// taken in 64 bits, so an overflowing product ends at the range's maximum
// or minimum by its sign.

#include <cstdint>

class cCharaBase;
class cCommand;
class cCond;

enum eStatusOp : int {
  STATUS_OP_SET = 0,
  STATUS_OP_ADD = 1,
  STATUS_OP_SUB = 2,
  STATUS_OP_MUL = 3,
  STATUS_OP_DIV = 4,
  STATUS_OP_REM = 5,
  STATUS_OP_PERCENT = 6,
};

enum eCharaStatus : int {
  STATUS_VAR = 0,
  STATUS_HP = 1,
  STATUS_SP = 2,
  STATUS_MHP = 3,
  STATUS_MSP = 4,
  STATUS_CID = 5,
  STATUS_Z = 6,
  STATUS_MARK = 7,
  STATUS_SIGHT = 8,
  STATUS_POWER = 9,
  STATUS_IMP = 10,
  STATUS_DEF = 11,
  STATUS_IMPD = 12,
  STATUS_STOP = 13,
  STATUS_GETSC = 14,
  STATUS_COUNT = 15,
};

enum eSystemStatus : int {
  SYSTEM_TIME = 0,
  SYSTEM_SCROLL_X = 1,
  SYSTEM_SCROLL_Y = 2,
  SYSTEM_SCORE = 3,
  SYSTEM_LIVES = 4,
  SYSTEM_STATUS_COUNT = 5,
};

// Subjects and operand sources.
inline constexpr int kSubjectSelf = 0;
inline constexpr int kSubjectSystem = 5;
enum eOperandSource : int {
  OPERAND_CONSTANT = 0,
  OPERAND_RANDOM = 1,
  OPERAND_STATUS = 2,
  OPERAND_VARIABLE = 3,
};

// Modes of an HP or SP operation: the operand as given, as a percentage of
// the maximum, or of the current value.
enum eHpMode : int {
  HP_MODE_PLAIN = 0,
  HP_MODE_PERCENT_OF_MAX = 1,
  HP_MODE_PERCENT_OF_CURRENT = 2,
};

// A status's width in bits and its range in an operation.
struct cStatusRange {
  int32_t m_Width;
  int32_t m_Min;
  int32_t m_Max;
};
cStatusRange CharaStatusRange(int selector);
cStatusRange SystemStatusRange(int selector);

// value limited to [min, max].
constexpr int32_t ClampToRange(int64_t value, int32_t min, int32_t max) {
  return value < min ? min : value > max ? max : static_cast<int32_t>(value);
}

// a x b / 100 to the nearest integer, halves away from zero, in 64 bits.
int64_t PercentRounded(int64_t a, int64_t b);

// One operation on `current` by `operand`, limited to [min, max]. False, and
// `result` left alone, for a division or remainder by 0 and an unknown
// operation (the operation then does nothing).
bool StatusApplyOp(int32_t current, int32_t operand, int op, int32_t min, int32_t max, int32_t& result);

// The character (or null) a subject 0 to 4 names for `chara`.
cCharaBase* SubjectChara(cCharaBase& chara, int subject);

// The value of status `selector` (0 to 14) of `chara` as it stands, and the
// store of a value already within the status's range, narrowed to the
// status's width. Variable `varIndex` (selector 0) must lie in the list.
int32_t CharaStatusValue(const cCharaBase& chara, int selector, int varIndex);
void StoreCharaStatus(cCharaBase& chara, int selector, int varIndex, int32_t value);
// Stores system value `selector`, already within its range: time left,
// automatic-scroll speed (SetAutoScrollSpeed), score or lives.
void StoreSystemStatus(int selector, int32_t value);
// Sets the stage's automatic-scroll speed of an axis (eScrollAxis) and
// restarts the camera's automatic scroll of that axis, when the stage
// scrolls by itself on it.
void SetAutoScrollSpeed(int axis, int32_t speed);

// Reads status `selector` of `chara` (variable `varIndex` for selector 0).
// False when it cannot be read: a variable index outside the list, the sight
// of a computer-operated character, an unknown selector. Reading the ease of
// stopping refreshes the character's deceleration.
bool ReadCharaStatus(cCharaBase& chara, int selector, int varIndex, int32_t& value);
// Reads system value `selector` (time reads 0 while the stage has no time
// limit, lives 0 while infinite). False for an unknown selector, or the time
// without a game scene.
bool ReadSystemStatus(int selector, int32_t& value);

// Condition kind 4.
bool EvalStatusCondition(const cCond& cond, cCharaBase& chara);
// The status operation: flow command 22 runs it with its command, item and
// system command 7 for the hero.
void CmdStatusOperation(cCharaBase& chara, cCommand& command);
