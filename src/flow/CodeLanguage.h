#pragma once
// The code language of the command "コードの実行" (flow command 37, item and
// system command 22): one statement of integer arithmetic and assignment over
// the characters' statuses, the common and stage variables and a few system
// values, for example `my.hp = my.hp + rand(1,10)`.
//
// A statement, as this algorithm accepts it:
//
//   statement := word (" "+ word)*          only spaces separate words (a tab
//                                           is part of a word)
//   word      := operator | [object "."] operand
//   operator  := "=" | "+" | "-" | "*" | "/" | "%"
//                priorities * / % first, then + -, then =; each applied
//                from the left ("a = b = 3" fails, "2 - 3 - 4" is -5)
//   object    := my | tg | tg1 .. tg4 | pl | sys
//                the running character, its target slots 1 to 4 ("tg" is
//                1), the hero, no character
//   operand   := C<n> | S<n>                 common / stage variable n
//              | status name                 v1..v8 hp sp mhp msp cid z mark
//                                            sight power imp def impd stop getsc
//              | system name                 time scrlx scrly score life
//              | anything else               its leading integer (atoi): "-5"
//                                            is -5, "abc" is 0, "1+2" is 1
//
// Before the words are read, parentheses and calls are replaced, from the
// left, by their decimal values: "(" opening a word evaluates up to its
// matching ")"; "name(" inside a word is a call, and the whole word up to the
// ")" is replaced: rand(a,b) draws RandomRange between its two arguments,
// any other name is dropped and its parenthesis evaluated. So
// `my.v1=rand(1,5)` is one word that becomes a bare number. Values of
// variables and statuses are read when their word is read, after every
// parenthesis; rand draws in the order the calls stand.
//
// "=" stores the right value, limited to the left token's range, with the
// left token's width, and has side effects: hp below 1 on a character other
// than the running one asks the play step for a death check; mhp and msp
// pull hp and sp into [1, new maximum]; sight of a player-operated character
// sets its light radius and rebuilds the light surfaces; scrlx and scrly
// restart the camera's automatic scroll at the new speed. "+ - *" wrap at 32
// bits; "/" and "%" truncate toward zero (INT_MIN / -1 gives INT_MIN, and
// its remainder 0), and by 0 they fail.
//
// Errors show a message (ErrorBoxf) unless said otherwise, raise g_CodeError
// and end the statement; assignments already made stay. An empty target
// slot, a missing hero or a status of "sys" fails without a message; a
// variable number outside its list fails with a report line. An operator
// with nothing on its left or right reports the index like a checked vector
// (report line and the close request). Parentheses nest at most
// kCodeMaxDepth deep.
//
// Compatibility: with the system data's old-evaluation switch set, an
// operation leaves its right operand in the list (so `my.v1 = 1 + 2 + 3`
// stores 3).

#include <cstdint>
#include <string>
#include <string_view>

class cCharaBase;
class cCommand;

inline constexpr int kCodeMaxDepth = 256;

// The words of the language, each list ended by an empty text.
extern const char* const kCodeFunctions[];
extern const char* const kCodeOperators[];
extern const int kCodeOpPriority[];
extern const char* const kCodeObjects[];
extern const char* const kCodeVarPrefixes[];
extern const char* const kCodeSystemVars[];

// The status names: the status they name (eCharaStatus, StatusOperation.h),
// the variable for v1 to v8, and the range of an assignment (hp and sp: up to
// the character's maximum, read when the word is read).
struct cCodeStatusName {
  const char* m_Name;
  int32_t m_nStatus;
  int32_t m_nVar;
  int32_t m_Min;
  int32_t m_Max;
};
extern const cCodeStatusName kCodeStatusNames[];

enum eCodeTokenKind : int {
  CODE_TOKEN_VALUE = 0,
  CODE_TOKEN_VARIABLE = 1,
  CODE_TOKEN_STATUS = 2,
  CODE_TOKEN_SYSTEM = 3,
  CODE_TOKEN_OPERATOR = 4,
};

// One token of a statement.
struct cCodeToken {
  int32_t m_nKind = CODE_TOKEN_VALUE;
  // The number; for variables, statuses and system values the value when the
  // word was read.
  int32_t m_nValue = 0;
  int32_t* m_pVar = nullptr;  // the variable a variable token stands for
  int32_t m_nWidth = 4;       // bytes stored by "=": 1, 2 or 4
  int32_t m_nOp = 0;          // index into kCodeOperators
  int32_t m_Min = -999999;
  int32_t m_Max = 999999;
  int32_t m_nStatus = 0;      // eCharaStatus
  int32_t m_nVarIndex = 0;    // the character variable of status 0
  int32_t m_nSystem = 0;      // eSystemStatus
  cCharaBase* m_pOwner = nullptr;

  // 1 for the kinds "=" can store into.
  bool HasTarget() const {
    return m_nKind == CODE_TOKEN_VARIABLE || m_nKind == CODE_TOKEN_STATUS || m_nKind == CODE_TOKEN_SYSTEM;
  }
};

// Raised by every error of the language; RunCode clears it first.
extern int g_CodeError;

// Runs one statement for `chara`: 1 on success, 0 after an error. On success
// a change of the character's hp or sp shows its gauge with the change.
int RunCode(std::string_view text, cCharaBase& chara);
// RunCode on the command's text.
void CmdRunCode(cCharaBase& chara, cCommand& command);
// The value of `text` after its parentheses and calls were replaced.
int32_t ReduceParens(std::string_view text, cCharaBase& chara);
// The value of a statement without parentheses.
int32_t EvalStatement(std::string_view text, cCharaBase& chara);
