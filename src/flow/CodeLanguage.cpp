#include "flow/CodeLanguage.h"

#include <cctype>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/ErrorBox.h"
#include "core/Log.h"
#include "core/Numeric.h"
#include "core/SafeAccess.h"
#include "data/Command.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "data/SystemData.h"
#include "flow/StatusOperation.h"
#include "world/CharaBase.h"
#include "world/GameScene.h"
#include "world/Hero.h"
#include "world/Random.h"

const char* const kCodeFunctions[] = {"rand", ""};
const char* const kCodeOperators[] = {"=", "+", "-", "*", "/", "%", ""};
const int kCodeOpPriority[] = {2, 1, 1, 0, 0, 0};
const char* const kCodeObjects[] = {"my", "tg", "tg1", "tg2", "tg3", "tg4", "pl", "sys", ""};
const char* const kCodeVarPrefixes[] = {"C", "S", ""};
const char* const kCodeSystemVars[] = {"time", "scrlx", "scrly", "score", "life", ""};

// hp and sp have their maximum from the character (0 here stands for it).
const cCodeStatusName kCodeStatusNames[] = {
    {"v1", STATUS_VAR, 1, -999999, 999999},    {"v2", STATUS_VAR, 2, -999999, 999999},
    {"v3", STATUS_VAR, 3, -999999, 999999},    {"v4", STATUS_VAR, 4, -999999, 999999},
    {"v5", STATUS_VAR, 5, -999999, 999999},    {"v6", STATUS_VAR, 6, -999999, 999999},
    {"v7", STATUS_VAR, 7, -999999, 999999},    {"v8", STATUS_VAR, 8, -999999, 999999},
    {"hp", STATUS_HP, 0, 0, 0},                {"sp", STATUS_SP, 0, 0, 0},
    {"mhp", STATUS_MHP, 0, 1, 999999},         {"msp", STATUS_MSP, 0, 1, 999999},
    {"cid", STATUS_CID, 0, 0, 99},             {"z", STATUS_Z, 0, 0, 7},
    {"mark", STATUS_MARK, 0, 0, 119},          {"sight", STATUS_SIGHT, 0, 0, 40},
    {"power", STATUS_POWER, 0, -999999, 999999}, {"imp", STATUS_IMP, 0, -20, 20},
    {"def", STATUS_DEF, 0, 0, 999999},         {"impd", STATUS_IMPD, 0, 0, 20},
    {"stop", STATUS_STOP, 0, 0, 200},          {"getsc", STATUS_GETSC, 0, -999999, 999999},
    {"", 0, 0, 0, 0},
};

namespace {

enum eCodeOp : int { OP_ASSIGN = 0, OP_ADD, OP_SUB, OP_MUL, OP_DIV, OP_REM };
enum eCodeObject : int { OBJ_MY = 0, OBJ_TG, OBJ_TG1, OBJ_TG2, OBJ_TG3, OBJ_TG4, OBJ_PL, OBJ_SYS };

constexpr char kBlank = ' ';

// The index of `word` in a list ended by "", or -1.
int FindName(const char* const* names, std::string_view word) {
  for (int i = 0; names[i][0] != '\0'; ++i) {
    if (word == names[i]) return i;
  }
  return -1;
}

const cCodeStatusName* FindStatusName(std::string_view word) {
  for (const cCodeStatusName* entry = kCodeStatusNames; entry->m_Name[0] != '\0'; ++entry) {
    if (word == entry->m_Name) return entry;
  }
  return nullptr;
}

// The leading integer of a text, as atoi reads it, held at the 32-bit limits
// when it is longer than they allow.
int32_t LeadingInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])) != 0) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{1} << 32) value = int64_t{1} << 32;  // far past either limit, and no overflow
  }
  return ClampToI32(negative ? -value : value);
}

void Fail() { g_CodeError = 1; }

void FailWithBox(const char* format, std::string_view text = {}) {
  ErrorBoxf(format, std::string(text).c_str());
  Fail();
}

// A variable of a list for a C or S word; null, with a report line, for a
// number outside the list, which must not land on another variable.
int32_t* VariableFor(cSafeVector<int32_t>& list, std::string_view digits) {
  const int index = LeadingInteger(digits);
  if (index >= 0 && index < static_cast<int>(list.size())) return &list[index];
  ReportPrintfLog("err V[%d] ( %d , %d )", index, static_cast<int>(list.size()), static_cast<int>(sizeof(int32_t)));
  return nullptr;
}

cCodeToken ValueToken(int32_t value) {
  cCodeToken token;
  token.m_nValue = value;
  return token;
}

// Reads the words of a statement into tokens.
class cTokenizer {
 public:
  cTokenizer(std::string_view text, cCharaBase& chara) : m_Text(text), m_Chara(chara) {}

  // False after an error (the statement then ends with 0).
  bool Read(std::vector<cCodeToken>& tokens) {
    std::string word;
    for (size_t i = 0; i <= m_Text.size(); ++i) {
      const char c = i < m_Text.size() ? m_Text[i] : kBlank;
      if (c == kBlank) {
        if (!word.empty() && !Complete(word, tokens)) return false;
        word.clear();
        continue;
      }
      if (c == '.') {
        if (!TakePrefix(word)) return false;
        word.clear();
        continue;
      }
      word += c;
    }
    return true;
  }

 private:
  bool TakePrefix(const std::string& word) {
    const int object = FindName(kCodeObjects, word);
    if (object >= 0) {
      m_Object = object;
      m_TokenSincePrefix = false;
      return true;
    }
    // After a token the unknown prefix is passed over; the object stays "my".
    if (m_TokenSincePrefix) return true;
    FailWithBox("オブジェクト \"%s.\" が認識できません！", word);
    return false;
  }

  bool Complete(const std::string& word, std::vector<cCodeToken>& tokens) {
    cCodeToken token;
    const bool made = Make(word, token);
    m_Object = OBJ_MY;
    if (!made) return false;
    tokens.push_back(token);
    m_TokenSincePrefix = true;
    return true;
  }

  // The character of the current object; false for an empty slot or no hero.
  bool ResolveObject(cCharaBase*& owner) {
    switch (m_Object) {
      case OBJ_MY:
        owner = &m_Chara;
        return true;
      case OBJ_TG:
      case OBJ_TG1:
        owner = m_Chara.Target(0);
        break;
      case OBJ_TG2:
      case OBJ_TG3:
      case OBJ_TG4:
        owner = m_Chara.Target(m_Object - OBJ_TG1);
        break;
      case OBJ_PL:
        owner = StageHero();
        break;
      default:
        owner = nullptr;
        return true;
    }
    return owner != nullptr;
  }

  bool Make(const std::string& word, cCodeToken& token) {
    const int op = FindName(kCodeOperators, word);
    if (op >= 0) {
      token.m_nKind = CODE_TOKEN_OPERATOR;
      token.m_nOp = op;
      return true;
    }
    cCharaBase* owner = nullptr;
    if (!ResolveObject(owner)) {
      Fail();
      return false;
    }
    if (word[0] == 'C' || word[0] == 'S') return MakeVariable(word, token);
    if (const cCodeStatusName* status = FindStatusName(word)) return MakeStatus(*status, owner, token);
    const int system = FindName(kCodeSystemVars, word);
    if (system >= 0) return MakeSystem(system, token);
    token = ValueToken(LeadingInteger(word));
    return true;
  }

  bool MakeVariable(const std::string& word, cCodeToken& token) {
    int32_t* slot = nullptr;
    if (word[0] == 'C') {
      slot = VariableFor(g_Progress.m_CommonVars, std::string_view(word).substr(1));
    } else if (g_GameScene != nullptr) {
      slot = VariableFor(g_GameScene->m_StageVars, std::string_view(word).substr(1));
    }
    if (slot == nullptr) {
      Fail();
      return false;
    }
    token.m_nKind = CODE_TOKEN_VARIABLE;
    token.m_pVar = slot;
    token.m_nValue = *slot;
    return true;
  }

  bool MakeStatus(const cCodeStatusName& status, cCharaBase* owner, cCodeToken& token) {
    // "sys" has no character whose status could be read.
    if (owner == nullptr) {
      Fail();
      return false;
    }
    token.m_nKind = CODE_TOKEN_STATUS;
    token.m_pOwner = owner;
    token.m_nStatus = status.m_nStatus;
    token.m_nVarIndex = status.m_nVar;
    token.m_nValue = CharaStatusValue(*owner, status.m_nStatus, status.m_nVar);
    token.m_nWidth = CharaStatusRange(status.m_nStatus).m_Width / 8;
    token.m_Min = status.m_Min;
    token.m_Max = status.m_Max;
    if (status.m_nStatus == STATUS_HP) token.m_Max = owner->m_Data.m_nMhp;
    if (status.m_nStatus == STATUS_SP) token.m_Max = owner->m_Data.m_nMsp;
    return true;
  }

  bool MakeSystem(int system, cCodeToken& token) {
    token.m_nKind = CODE_TOKEN_SYSTEM;
    token.m_nSystem = system;
    const cStatusRange range = SystemStatusRange(system);
    token.m_Min = range.m_Min;
    token.m_Max = range.m_Max;
    switch (system) {
      case SYSTEM_TIME:
        if (g_GameScene == nullptr) {
          Fail();
          return false;
        }
        token.m_nValue = g_GameScene->m_nTimeLeft;
        break;
      case SYSTEM_SCROLL_X:
        token.m_nValue = g_Stage.m_AutoScrollSpeedX;
        break;
      case SYSTEM_SCROLL_Y:
        token.m_nValue = g_Stage.m_AutoScrollSpeedY;
        break;
      case SYSTEM_SCORE:
        token.m_nValue = g_Progress.m_nScore;
        break;
      case SYSTEM_LIVES:
        if (g_Progress.m_nLives == kInfiniteLives) {
          // Infinite lives read 0, and an assignment can only keep them.
          token.m_nValue = 0;
          token.m_Min = token.m_Max = kInfiniteLives;
        } else {
          token.m_nValue = g_Progress.m_nLives;
        }
        break;
      default:
        break;
    }
    return true;
  }

  std::string_view m_Text;
  cCharaBase& m_Chara;
  int m_Object = OBJ_MY;
  // A word was completed since the last object prefix (none at the start).
  bool m_TokenSincePrefix = false;
};

// Stores an assignment's result, already within the left token's range, and
// runs its side effects.
void Store(const cCodeToken& left, int32_t value, cCharaBase& chara) {
  switch (left.m_nKind) {
    case CODE_TOKEN_VARIABLE:
      *left.m_pVar = value;
      break;
    case CODE_TOKEN_STATUS: {
      cCharaBase& owner = *left.m_pOwner;
      StoreCharaStatus(owner, left.m_nStatus, left.m_nVarIndex, value);
      switch (left.m_nStatus) {
        case STATUS_HP:
          if (&owner != &chara && owner.m_Hp < 1 && g_GameScene != nullptr) g_GameScene->m_bHpCheck = 1;
          break;
        case STATUS_MHP:
          owner.m_Hp = ClampToRange(owner.m_Hp, 1, owner.m_Data.m_nMhp);
          break;
        case STATUS_MSP:
          owner.m_Sp = ClampToRange(owner.m_Sp, 1, owner.m_Data.m_nMsp);
          break;
        case STATUS_SIGHT:
          if (owner.m_Operator == OBJ_BY_PLAYER) {
            owner.m_nLightRadius = int32_t{owner.m_Data.m_nSight} * 16;
            if (g_GameScene != nullptr) g_GameScene->PrepareLightSurfaces();
          }
          break;
        default:
          break;
      }
      break;
    }
    case CODE_TOKEN_SYSTEM:
      StoreSystemStatus(left.m_nSystem, value);
      break;
    default:
      break;
  }
}

// left op right; false after an error.
bool Apply(const cCodeToken& left, int op, const cCodeToken& right, std::string_view statement, cCharaBase& chara,
           int32_t& result) {
  const int64_t a = left.m_nValue;
  const int64_t b = right.m_nValue;
  switch (op) {
    case OP_ASSIGN:
      if (!left.HasTarget()) {
        FailWithBox("代入先が不正です！");
        return false;
      }
      result = ClampToRange(b, left.m_Min, left.m_Max);
      Store(left, result, chara);
      return true;
    case OP_ADD:
      result = WrapToI32(a + b);
      return true;
    case OP_SUB:
      result = WrapToI32(a - b);
      return true;
    case OP_MUL:
      result = WrapToI32(a * b);
      return true;
    case OP_DIV:
    case OP_REM:
      if (b == 0) {
        FailWithBox("0除算が行われました！(%s)", statement);
        return false;
      }
      // In 64 bits INT_MIN / -1 has a quotient to wrap (INT_MIN) and a remainder of 0.
      result = WrapToI32(op == OP_DIV ? a / b : a % b);
      return true;
    default:
      DebugErrorBoxf("演算子のエラー（未定義？）");
      Fail();
      return false;
  }
}

// The position just after the ")" that closes the "(" at `open`, or npos.
size_t MatchingParen(std::string_view text, size_t open) {
  int depth = 0;
  for (size_t i = open; i < text.size(); ++i) {
    if (text[i] == '(') ++depth;
    if (text[i] == ')' && --depth == 0) return i;
  }
  return std::string_view::npos;
}

// The arguments of a call, split at the commas outside inner parentheses.
std::vector<std::string_view> SplitArguments(std::string_view inside) {
  std::vector<std::string_view> arguments;
  int depth = 0;
  size_t start = 0;
  for (size_t i = 0; i < inside.size(); ++i) {
    if (inside[i] == '(') ++depth;
    if (inside[i] == ')') --depth;
    if (inside[i] == ',' && depth == 0) {
      arguments.push_back(inside.substr(start, i - start));
      start = i + 1;
    }
  }
  arguments.push_back(inside.substr(start));
  return arguments;
}

int32_t Reduce(std::string_view text, cCharaBase& chara, int depth);

// The value of the call or parenthesis that opens at `open` in a word whose
// text so far is `name` (empty: a parenthesis); false after an error.
bool ReduceGroup(std::string_view text, size_t open, const std::string& name, cCharaBase& chara, int depth,
                 size_t& close, int32_t& value) {
  close = MatchingParen(text, open);
  const bool rand = !name.empty() && name == kCodeFunctions[0];
  if (close == std::string_view::npos || depth >= kCodeMaxDepth) {
    if (rand) {
      FailWithBox("関数 %s で\")\"が見つかりません！", name);
    } else {
      FailWithBox("\")\"が見つかりません！");
    }
    return false;
  }
  const std::string_view inside = text.substr(open + 1, close - open - 1);
  if (!rand) {
    value = Reduce(inside, chara, depth + 1);
    return g_CodeError == 0;
  }
  std::vector<int32_t> arguments;
  for (std::string_view argument : SplitArguments(inside)) {
    arguments.push_back(Reduce(argument, chara, depth + 1));
    if (g_CodeError != 0) return false;
  }
  if (arguments.size() != 2) {
    FailWithBox("関数 %s の引数が不正です！", name);
    return false;
  }
  value = RandomRange(arguments[0], arguments[1]);
  return true;
}

// Replaces, from the left, each parenthesis opening a word and each call in a
// word by its value, then evaluates the statement. Everything before the word
// being read is already free of parentheses, so the text is built once from
// the left.
int32_t Reduce(std::string_view text, cCharaBase& chara, int depth) {
  std::string reduced;
  reduced.reserve(text.size());
  size_t wordStart = 0;  // in `reduced`
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == kBlank) {
      reduced += c;
      wordStart = reduced.size();
      continue;
    }
    if (c != '(') {
      reduced += c;
      continue;
    }
    // A call or parenthesis takes the whole word it stands in.
    const std::string name = reduced.substr(wordStart);
    size_t close = 0;
    int32_t value = 0;
    if (!ReduceGroup(text, i, name, chara, depth, close, value)) return 0;
    reduced.resize(wordStart);
    reduced += std::to_string(value);
    i = close;
  }
  return EvalStatement(reduced, chara);
}

// Reports an operator with no token on one side the way a checked list does.
void ReportMissingOperand(int index, size_t size) {
  ReportSafeIndexFailure(eSafeContainerKind::Vector, index, size, sizeof(cCodeToken));
  Fail();
}

}  // namespace

int RunCode(std::string_view text, cCharaBase& chara) {
  const int32_t hp = chara.m_Hp;
  const int32_t sp = chara.m_Sp;
  g_CodeError = 0;
  ReduceParens(text, chara);
  if (g_CodeError != 0) return 0;
  if (chara.m_Hp != hp) chara.ShowHpGauge(WrapToI32(int64_t{chara.m_Hp} - hp));
  if (chara.m_Sp != sp) chara.ShowSpGauge(WrapToI32(int64_t{chara.m_Sp} - sp));
  return 1;
}

void CmdRunCode(cCharaBase& chara, cCommand& command) { RunCode(command.m_strText, chara); }

int32_t ReduceParens(std::string_view text, cCharaBase& chara) { return Reduce(text, chara, 0); }

int32_t EvalStatement(std::string_view text, cCharaBase& chara) {
  std::vector<cCodeToken> tokens;
  if (!cTokenizer(text, chara).Read(tokens)) return 0;

  const bool keepRight = g_System.m_bExpressionSwitch != 0;
  bool computed = false;
  int32_t last = 0;
  std::vector<cCodeToken> rest;
  for (int priority = 0; priority <= 2; ++priority) {
    // One pass per priority, from the left: an operation's result takes the
    // place of its three tokens, and the next operation of the priority lies
    // to its right.
    rest.clear();
    for (size_t j = 0; j < tokens.size(); ++j) {
      const cCodeToken& token = tokens[j];
      if (token.m_nKind != CODE_TOKEN_OPERATOR || kCodeOpPriority[token.m_nOp] != priority) {
        rest.push_back(token);
        continue;
      }
      const size_t listSize = rest.size() + (tokens.size() - j);
      if (rest.empty()) {
        ReportMissingOperand(-1, listSize);
        return 0;
      }
      if (j + 1 >= tokens.size()) {
        ReportMissingOperand(static_cast<int>(rest.size() + 1), listSize);
        return 0;
      }
      int32_t result = 0;
      if (!Apply(rest.back(), token.m_nOp, tokens[j + 1], text, chara, result)) return 0;
      computed = true;
      last = result;
      rest.back() = ValueToken(result);
      // The old evaluation left the right token in the list.
      if (!keepRight) ++j;
    }
    tokens.swap(rest);
  }
  if (computed) return last;
  return tokens.empty() ? 0 : tokens.back().m_nValue;
}
