#include "flow/CodeLanguage.h"

int RunCode(std::string_view, cCharaBase&) { return 0; }
void CmdRunCode(cCharaBase&, cCommand&) {}
int32_t ReduceParens(std::string_view, cCharaBase&) { return 0; }
int32_t EvalStatement(std::string_view, cCharaBase&) { return 0; }
